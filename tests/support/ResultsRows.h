// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A results file's rows as a test reads them, with the results library alone.
#include "results/Sqlite.h"

#include <QtTest>
#include <sqlite3.h>

namespace zampli::test {

// The rows `sql` gives, columns split by '|', rows by ' / ': "a|b / c|d". Opened as the program opens it unless
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

} // namespace zampli::test
