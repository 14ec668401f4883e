// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A whole program with fakes all round, whose answers also go to a real
// results database, placed as the child's program places it.
#include "ResultsRows.h"
#include "fakes/Fakes.h"

#include "results/ResultsWriter.h"
#include "results/Schema.h"
#include "state/WrittenAnswerLog.h"

#include <QtTest>
#include <memory>

namespace zampli::test {

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
