// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace zampli {

// A connection to one database file, closed with the object. Used from one
// thread at a time. The file is data, never instructions: the connection is
// defensive, trusts nothing its schema names (trusted_schema off), fires no
// trigger and runs no view, and takes no value over kMaxValueBytes.
class SqliteDb {
public:
    // Far over any row of ours (an answer is under 1 kB), far under what
    // would exhaust memory if a file asked for it.
    static constexpr int kMaxValueBytes = 1 << 20;

    SqliteDb() = default;
    SqliteDb(const SqliteDb &) = delete;
    SqliteDb &operator=(const SqliteDb &) = delete;
    ~SqliteDb() { close(); }

    // An SQLite result code; SQLITE_OK (0) when open. Only a regular file is
    // opened, never through a link: a pipe or a device at `path` is
    // SQLITE_CANTOPEN. A file not there yet is made unless `readOnly` or
    // `create` is Never.
    enum class Create { IfMissing, Never };
    int open(const QString &path, bool readOnly, Create create = Create::IfMissing);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3 *handle() const { return db_; }

    int exec(const char *sql);
    // The first column of the first row of `sql` as a number; -1 on failure.
    qint64 number(const char *sql, int *rc = nullptr);
    QString message() const; // SQLite's own words for the last failure

private:
    sqlite3 *db_ = nullptr;
    bool readOnly_ = false;
};

// Stops every read of a results file under way in this process on a
// read-only connection, and every read started on one after: for the quit
// of a program whose reading thread must end with it. Connections that
// write are left to finish what they write.
void stopReads();

// What went wrong with the results file `path`, in Italian, for the adult:
// the file named, the cause for an SQLite result code, what to do next.
QString troubleWith(const QString &path, int rc);

// A prepared statement, finalized with the object.
class Statement {
public:
    Statement(sqlite3 *db, const char *sql);
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement();

    int prepared() const { return rc_; }
    void bind(int index, qint64 value);
    void bind(int index, const QString &text); // a null string binds NULL
    int step();
    void reset();
    qint64 integer(int column) const;
    QString text(int column) const;
    sqlite3_stmt *handle() const { return stmt_; }

private:
    sqlite3_stmt *stmt_ = nullptr;
    int rc_ = 0;
};

} // namespace zampli
