// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A results file's rows as a test reads them, with the results library alone.
#include "results/Sqlite.h"

#include <QStringList>
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
        for (int c = 0; c < s.columns(); ++c)
            cols << s.text(c);
        out << cols.join(QLatin1Char('|'));
    }
    return out.join(QStringLiteral(" / "));
}

} // namespace zampli::test
