// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/Sqlite.h"

#include <sqlite3.h>

namespace zampli {

int SqliteDb::open(const QString &path, bool readOnly)
{
    close();
    const int flags = readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // No symbolic link is followed to a file elsewhere.
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (rc != SQLITE_OK)
        close();
    return rc;
}

void SqliteDb::close()
{
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
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
    return stmt_ ? sqlite3_step(stmt_) : rc_;
}

void Statement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columns() const
{
    return sqlite3_column_count(stmt_);
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
    case SQLITE_IOERR:
        return says("errore del disco leggendo o scrivendo il file dei risultati %1: controlla il disco e riprova");
    default:
        return says("il file dei risultati %1 non si può usare (errore %2 del database): chiudi ZAMPLI e riprova")
            .arg(rc);
    }
}

} // namespace zampli
