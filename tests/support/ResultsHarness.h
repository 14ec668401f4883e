// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A whole program with fakes all round, whose answers also go to a real
// results database, placed as the child's program places it.
#include "fakes/Fakes.h"

#include "results/ResultsWriter.h"
#include "results/Schema.h"
#include "results/Sqlite.h"
#include "state/WrittenAnswerLog.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sqlite3.h>

namespace zampli::test {

// The rows of a query, columns split by '|', rows by ' / '.
// The rows `sql` gives, "a|b / c|d". Opened as the program opens it unless
// read-only, so a file left by a killed one recovers.
inline QString queryRows(const QString &path, const char *sql, bool readOnly = false)
{
    SqliteDb db;
    if (db.open(path, readOnly) != SQLITE_OK)
        return QStringLiteral("cannot open");
    Statement s(db.handle(), sql);
    QStringList out;
    while (s.step() == SQLITE_ROW) {
        QStringList cols;
        for (int c = 0; c < sqlite3_column_count(s.handle()); ++c)
            cols << s.text(c);
        out << cols.join(QLatin1Char('|'));
    }
    return out.join(QStringLiteral(" / "));
}

// A name given to a session by hand, as the teacher's earlier versions let
// her: the reader filters by it, the editor erases by it.
inline void labelByHand(const QString &path, qint64 session, const QString &label)
{
    SqliteDb db;
    QCOMPARE(db.open(path, false), SQLITE_OK);
    Statement s(db.handle(), "UPDATE sessions SET label = ?2 WHERE id = ?1");
    s.bind(1, session);
    s.bind(2, label);
    QCOMPARE(s.step(), SQLITE_DONE);
    QCOMPARE(sqlite3_changes(db.handle()), 1);
}

struct WithResults {
    // The state folder is `stateHome`, or a temporary one.
    explicit WithResults(const QString &stateHome = {})
    {
        qputenv("XDG_STATE_HOME", (stateHome.isEmpty() ? state.path() : stateHome).toUtf8());
        db = resultsDatabasePath(resultsFolder(), h.folder.path());
        h.writeVowelPictures();
    }
    ~WithResults() { h.answers.also = nullptr; }
    // Starts the writer as the child's program does, telling through its ProblemLog.
    void start(ResultsWriter::Timing timing = {})
    {
        writer = std::make_unique<ResultsWriter>(db, h.folder.path(), [this](const QString &l) { h.log.note(l); },
                                                 timing);
        log = std::make_unique<WrittenAnswerLog>(*writer);
        h.answers.also = log.get();
    }
    // What the adult was told about the results.
    QStringList told() const { return h.problems.filter(QStringLiteral("risultati")); }
    QString rows(const char *sql) const { return queryRows(db, sql); }
    // Where answers that could not be written by the end wait for the next start.
    QString pending() const { return db + QStringLiteral(".in-attesa"); }

    QTemporaryDir state;
    Harness h;
    QString db;
    std::unique_ptr<ResultsWriter> writer;
    std::unique_ptr<WrittenAnswerLog> log;
};

} // namespace zampli::test
