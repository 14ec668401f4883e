// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

class SqliteDb;

// The version of the tables this program writes, kept in PRAGMA user_version.
int schemaVersion();

// A result of migrate(): the file was written by a newer program, whose
// tables this one must not touch.
inline constexpr int kNewerSchema = -1;

// Brings the database up to schemaVersion(), one step a version, each step
// in its own transaction. SQLITE_OK, kNewerSchema, or the SQLite code that failed.
int migrate(SqliteDb &db);

// The folder the results live in: $XDG_STATE_HOME/zampli, by default
// ~/.local/state/zampli.
QString resultsFolder();
// One database per program folder: its name, then a short hash of its path,
// so that two copies of the program never share a file.
QString resultsDatabasePath(const QString &folder, const QString &programFolder);

} // namespace zampli
