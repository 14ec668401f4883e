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
// A result of migrate() and ownSchema(): the file holds what none of our
// versions ever made (a trigger, a view, a table or index of another
// definition). It is kept aside like a damaged one, never used.
inline constexpr int kForeignSchema = -2;

// SQLITE_OK when every table, index, view and trigger of `db` is one our
// steps up to `version` made, or an index the reader adds (answers_reader_…,
// plain columns of answers); else kForeignSchema, or the SQLite code that failed.
int ownSchema(SqliteDb &db, qint64 version);

// Brings the database up to schemaVersion(), one step a version, each step
// in its own transaction, once ownSchema() found it ours. SQLITE_OK,
// kNewerSchema, kForeignSchema, or the SQLite code that failed.
int migrate(SqliteDb &db);

// Opens the results file at `path` for the adult's programs, waiting up to
// `busyMs` for the child's program. A file of an older version is brought up
// to date first, through a short writable connection when `readOnly`. A file
// of a newer version is only read; one not ours (ownSchema()) is refused. False
// with the Italian reason, naming the file, in `error`; the connection closed again.
bool openResults(SqliteDb &db, const QString &path, bool readOnly, int busyMs, QString &error);

// The folder the results live in: $XDG_STATE_HOME/zampli, by default
// ~/.local/state/zampli.
QString resultsFolder();
// One database per program folder: its name, then a short hash of its path
// with links resolved, so that two copies of the program never share a file
// and one copy reached by two paths never has two. A file named by an older
// program from another spelling of the path is renamed to this name first.
QString resultsDatabasePath(const QString &folder, const QString &programFolder);

} // namespace zampli
