// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <sqlite3.h>

namespace zampli::test {

// `sql` run on the file as another program would run it, with nothing of ours between.
inline bool plant(const QString &db, const char *sql)
{
    sqlite3 *raw = nullptr;
    const bool done = sqlite3_open(db.toUtf8().constData(), &raw) == SQLITE_OK &&
                      sqlite3_exec(raw, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(raw);
    return done;
}

} // namespace zampli::test
