// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/Sqlite.h"

#include "safefile/RegularFile.h"

#include <atomic>
#include <mutex>
#include <set>
#include <sqlite3.h>

namespace zampli {

namespace {

// The read-only connections open in the process, for stopReads().
std::mutex readersMutex;
std::set<sqlite3 *> readers; // under readersMutex
std::atomic<bool> readsStopped{false};

// SQLITE_OK when `path` names a regular file, or nothing yet and `mayMake`:
// a pipe there would hold SQLite's first read for good.
int placeOf(const QString &path, bool mayMake)
{
    const RegularFile file(path);
    return file.isOpen() || (file.missing() && mayMake) ? SQLITE_OK : SQLITE_CANTOPEN;
}

// Whatever the file holds is data: nothing in it runs, nothing in it may
// change the file's own structure, no value in it fills the memory.
void distrust(sqlite3 *db)
{
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr); // PRAGMA trusted_schema=OFF
    // Our tables have neither; a file that has them is not ours, and before it is found out they must not run.
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, SqliteDb::kMaxValueBytes);
}

} // namespace

int SqliteDb::open(const QString &path, bool readOnly, Create create)
{
    close();
    if (readOnly && readsStopped)
        return SQLITE_INTERRUPT;
    const bool mayMake = !readOnly && create == Create::IfMissing;
    int rc = path == QLatin1String(":memory:") ? SQLITE_OK : placeOf(path, mayMake);
    if (rc != SQLITE_OK)
        return rc;
    const int flags = readOnly ? SQLITE_OPEN_READONLY : mayMake ? (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)
                                                                : SQLITE_OPEN_READWRITE;
    // No symbolic link is followed to a file elsewhere.
    rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (rc != SQLITE_OK) {
        close();
        return rc;
    }
    distrust(db_);
    readOnly_ = readOnly;
    if (readOnly) {
        std::lock_guard lock(readersMutex);
        readers.insert(db_);
    }
    return SQLITE_OK;
}

void SqliteDb::close()
{
    if (!db_)
        return;
    if (readOnly_) {
        std::lock_guard lock(readersMutex); // no interrupt may reach a connection closing
        readers.erase(db_);
    }
    sqlite3_close_v2(db_);
    db_ = nullptr;
    readOnly_ = false;
}

void stopReads()
{
    std::lock_guard lock(readersMutex);
    readsStopped = true;
    for (sqlite3 *db : readers)
        sqlite3_interrupt(db);
}

int SqliteDb::exec(const char *sql)
{
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

qint64 SqliteDb::number(const char *sql, int *rc)
{
    Statement s(db_, sql);
    int r = s.prepared();
    qint64 value = -1;
    if (r == SQLITE_OK) {
        r = s.step();
        if (r == SQLITE_ROW) {
            value = s.integer(0);
            r = SQLITE_OK;
        }
    }
    if (rc)
        *rc = r;
    return value;
}

QString SqliteDb::message() const
{
    return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString();
}

Statement::Statement(sqlite3 *db, const char *sql)
{
    rc_ = db ? sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) : SQLITE_MISUSE;
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

void Statement::bind(int index, qint64 value)
{
    sqlite3_bind_int64(stmt_, index, value);
}

void Statement::bind(int index, const QString &text)
{
    if (text.isNull()) {
        sqlite3_bind_null(stmt_, index);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

int Statement::step()
{
    if (!stmt_)
        return rc_;
    // A read begun after stopReads() ends at once, as one under way did.
    if (readsStopped.load(std::memory_order_relaxed) && !sqlite3_stmt_busy(stmt_) &&
        sqlite3_db_readonly(sqlite3_db_handle(stmt_), "main") == 1)
        return SQLITE_INTERRUPT;
    return sqlite3_step(stmt_);
}

void Statement::reset()
{
    if (!stmt_)
        return; // never prepared: nothing to reset
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

QString Statement::text(int column) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(stmt_, column)) : QString();
}

QString troubleWith(const QString &path, int rc)
{
    const auto says = [&path](const char *what) { return QString::fromUtf8(what).arg(path); };
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return says("il file dei risultati %1 è occupato da un altro programma: riprova fra poco");
    case SQLITE_CORRUPT:
        return says("il file dei risultati %1 è guasto: avvia ZAMPLI, che recupera le risposte ancora leggibili, "
                    "poi riprova");
    case SQLITE_NOTADB:
        return says("il file %1 non è un file dei risultati di ZAMPLI: avvia ZAMPLI, che lo mette da parte e ne comincia uno nuovo");
    case SQLITE_CANTOPEN:
        return says("il file dei risultati %1 non c'è o non si può aprire: controlla che la cartella esista e "
                    "sia leggibile");
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return says("il file dei risultati %1 non si può modificare: controlla i permessi del file e della sua "
                    "cartella");
    case SQLITE_FULL:
        return says("il disco del file dei risultati %1 è pieno: libera spazio e riprova");
    case SQLITE_INTERRUPT:
        return says("la lettura del file dei risultati %1 è stata interrotta perché il programma si chiude");
    case SQLITE_IOERR:
        return says("errore del disco leggendo o scrivendo il file dei risultati %1: controlla il disco e riprova");
    default:
        return says("il file dei risultati %1 non si può usare (errore %2 del database): chiudi ZAMPLI e riprova")
            .arg(rc);
    }
}

} // namespace zampli
