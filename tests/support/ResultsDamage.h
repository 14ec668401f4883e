// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Damage done to a results file on purpose: one page of a table's rows
// overwritten, as a bad sector or a torn write leaves it.
#include "results/Sqlite.h"

#include <QtTest>
#include <sqlite3.h>

namespace zampli::test {

// The pages holding the rows of `table`, in file order, once the log is folded in.
inline QList<qint64> leafPages(const QString &db, const char *table)
{
    SqliteDb d;
    if (d.open(db, false) != SQLITE_OK || d.exec("PRAGMA wal_checkpoint(TRUNCATE)") != SQLITE_OK)
        return {};
    Statement s(d.handle(), "SELECT pageno FROM dbstat WHERE name = ?1 AND pagetype = 'leaf' ORDER BY pageno");
    s.bind(1, QString::fromLatin1(table));
    QList<qint64> out;
    while (s.step() == SQLITE_ROW)
        out << s.integer(0);
    return out;
}

// Overwrites page `page` (from 1) with a pattern no page has.
inline bool overwritePage(const QString &db, qint64 page)
{
    qint64 size = 0;
    {
        SqliteDb d;
        if (d.open(db, true) != SQLITE_OK || (size = d.number("PRAGMA page_size")) <= 0)
            return false;
    }
    QFile f(db);
    if (!f.open(QIODevice::ReadWrite) || !f.seek((page - 1) * size))
        return false;
    return f.write(QByteArray(size, char(0xA5))) == size;
}

} // namespace zampli::test
