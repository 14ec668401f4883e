// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/Salvage.h"

#include "results/Schema.h"
#include "results/Summaries.h"
#include "results/Sqlite.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <limits>
#include <memory>
#include <sqlite3.h>

namespace zampli {

QString damagedName(const QString &path)
{
    const QString base =
        path + QStringLiteral(".guasto-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = base + QLatin1Char('-') + QString::number(n);
    return aside;
}

namespace {

// The file and its log go aside together: the log may hold the last answers.
bool moveAside(const QString &path, const QString &aside)
{
    if (!QFile::rename(path, aside))
        return false;
    QFile::rename(path + QStringLiteral("-wal"), aside + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    return true;
}

QStringList columnsOf(sqlite3 *db, const QString &table)
{
    const QByteArray sql = "PRAGMA table_info(\"" + table.toUtf8() + "\")";
    Statement s(db, sql.constData());
    QStringList out;
    while (s.step() == SQLITE_ROW)
        out << s.text(1);
    return out;
}

QStringList tablesOf(sqlite3 *db)
{
    Statement s(db, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name");
    QStringList out;
    while (s.step() == SQLITE_ROW)
        out << s.text(0);
    return out;
}

// One table carried from the damaged file to the fresh one in rowid order. A
// stretch that cannot be read is stepped over: a read that starts past it
// seeks through the tree's upper pages, which a damaged leaf leaves intact.
// Reads start at a rowid (>=), never after one (>): seeking past a rowid
// first visits the leaf holding it, the damaged one.
class TableCopy {
public:
    TableCopy(sqlite3 *from, sqlite3 *to, const QString &table, const QStringList &columns)
    {
        const QByteArray cols = '"' + columns.join(QStringLiteral("\", \"")).toUtf8() + '"';
        const QByteArray rows = "SELECT rowid, " + cols + " FROM \"" + table.toUtf8() + "\" WHERE rowid ";
        read_ = std::make_unique<Statement>(from, (rows + ">= ?1 ORDER BY rowid").constData());
        probe_ = std::make_unique<Statement>(from, (rows + ">= ?1 ORDER BY rowid LIMIT 1").constData());
        QByteArray marks = "?";
        for (int c = 1; c < columns.size(); ++c)
            marks += ", ?";
        insert_ = std::make_unique<Statement>(
            to, ("INSERT INTO \"" + table.toUtf8() + "\"(" + cols + ") VALUES(" + marks + ")").constData());
        columns_ = int(columns.size());
    }

    void run()
    {
        qint64 from = std::numeric_limits<qint64>::min();
        qint64 gapFrom = 0; // where the rows that could not be read begin
        bool inGap = false;
        for (;;) {
            read_->reset();
            read_->bind(1, from);
            int rc;
            while ((rc = read_->step()) == SQLITE_ROW) {
                const qint64 id = read_->integer(0);
                if (inGap)
                    gapped += qMax<qint64>(0, id - qMax<qint64>(gapFrom, 1)); // rowids begin at 1
                inGap = false;
                keep(*read_);
                if (id == std::numeric_limits<qint64>::max())
                    return;
                from = id + 1;
            }
            if (rc == SQLITE_DONE)
                return;
            if (!inGap)
                gapFrom = from;
            inGap = true;
            from = nextReadable(from);
            if (from == std::numeric_limits<qint64>::min())
                return; // nothing further can be read
        }
    }

    int copied = 0;
    int refused = 0; // read, but not fit for the fresh tables
    qint64 gapped = 0; // rowids stepped over: rows lost, or never there

private:
    void keep(Statement &row)
    {
        insert_->reset();
        for (int c = 0; c < columns_; ++c)
            sqlite3_bind_value(insert_->handle(), c + 1, sqlite3_column_value(row.handle(), c + 1));
        if (insert_->step() == SQLITE_DONE)
            ++copied;
        else
            ++refused;
    }

    // A whole row reads from `from` on, so a read restarted there moves on.
    bool readsFrom(qint64 from)
    {
        probe_->reset();
        probe_->bind(1, from);
        const int rc = probe_->step();
        return rc == SQLITE_ROW || rc == SQLITE_DONE;
    }

    // The first rowid past `bad` from which reading works: doubling steps
    // to get past the damage, then halving back to its edge.
    qint64 nextReadable(qint64 bad)
    {
        const qint64 after = bad;
        qint64 step = 1;
        while (after <= std::numeric_limits<qint64>::max() - step) {
            const qint64 at = after + step;
            if (readsFrom(at)) {
                qint64 good = at;
                while (good - bad > 1) {
                    const qint64 mid = bad + (good - bad) / 2;
                    (readsFrom(mid) ? good : bad) = mid;
                }
                return good;
            }
            bad = at;
            if (step > std::numeric_limits<qint64>::max() / 2)
                break;
            step *= 2;
        }
        return std::numeric_limits<qint64>::min();
    }

    std::unique_ptr<Statement> read_, probe_, insert_;
    int columns_ = 0;
};

// How many answers the damaged file held, from an index when one still
// reads whole: an index lives on pages of its own.
qint64 answersHeld(sqlite3 *from)
{
    for (const char *sql : {"SELECT count(*) FROM answers INDEXED BY answers_at",
                            "SELECT count(*) FROM answers INDEXED BY answers_session"}) {
        Statement s(from, sql);
        if (s.step() == SQLITE_ROW)
            return s.integer(0);
    }
    return -1;
}

// Answers whose session was lost get one spanning them; links to a lost
// child or a child no longer there are dropped.
int mendLinks(SqliteDb &to, const QString &programFolder)
{
    Statement s(to.handle(), "INSERT INTO sessions(id, started_ms, ended_ms, program_folder, uid)"
                             " SELECT session_id, min(at_ms), max(at_ms), ?1, lower(hex(randomblob(16))) FROM answers"
                             " WHERE session_id NOT IN (SELECT id FROM sessions) GROUP BY session_id");
    s.bind(1, programFolder);
    const int rc = s.step();
    if (rc != SQLITE_DONE)
        return rc;
    return to.exec("UPDATE sessions SET child_id = NULL WHERE child_id NOT IN (SELECT id FROM children);"
                   "DELETE FROM now_playing WHERE child_id NOT IN (SELECT id FROM children);");
}

int recordProblem(SqliteDb &to, const QString &path, const SalvageReport &r)
{
    Statement s(to.handle(), "INSERT INTO problems(at_ms, kind, count, detail) VALUES(?1, 'file guasto', ?2, ?3)");
    s.bind(1, QDateTime::currentMSecsSinceEpoch());
    s.bind(2, qint64(r.answersLost));
    s.bind(3, salvageText(path, r));
    const int rc = s.step();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// Every readable row of `aside` into a fresh file at `fresh`, in one transaction.
bool copyReadable(const QString &aside, const QString &fresh, const QString &path, const QString &programFolder,
                  SalvageReport &r)
{
    SqliteDb from, to;
    if (to.open(fresh, false) != SQLITE_OK || migrate(to) != SQLITE_OK || to.exec("BEGIN") != SQLITE_OK)
        return false;
    if (from.open(aside, true) == SQLITE_OK) {
        // Rows come only from tables: a view of the same name is never run.
        const QStringList inAside = tablesOf(from.handle());
        for (const QString &table : tablesOf(to.handle())) {
            // Summaries are made anew from the answers saved, never carried over.
            if (!inAside.contains(table) || table.startsWith(QLatin1String("summary_")))
                continue;
            QStringList common;
            const QStringList had = columnsOf(from.handle(), table);
            for (const QString &c : columnsOf(to.handle(), table))
                if (had.contains(c))
                    common << c;
            if (common.isEmpty())
                continue;
            TableCopy copy(from.handle(), to.handle(), table, common);
            copy.run();
            if (table == QLatin1String("answers")) {
                r.answersSaved = copy.copied;
                const qint64 held = answersHeld(from.handle());
                r.answersLost = int(qMax<qint64>(copy.refused + copy.gapped, held - copy.copied));
                r.lostCounted = held >= 0;
            }
        }
    }
    from.close();
    QFile::remove(aside + QStringLiteral("-shm")); // made by the reading itself
    return mendLinks(to, programFolder) == SQLITE_OK && recordProblem(to, path, r) == SQLITE_OK &&
           catchUpSummaries(to) == SQLITE_OK && to.exec("COMMIT") == SQLITE_OK;
}

QString counted(int n, const char *one, const char *many)
{
    return n == 1 ? QString::fromUtf8(one) : QString::fromUtf8(many).arg(QLocale(QLocale::Italian).toString(n));
}

} // namespace

SalvageReport salvageDamaged(const QString &path, const QString &programFolder, bool foreign)
{
    SalvageReport r;
    r.foreign = foreign;
    const QString aside = damagedName(path);
    if (!moveAside(path, aside))
        return r;
    r.aside = aside;
    const QString fresh = path + QStringLiteral(".recupero");
    QFile::remove(fresh);
    QFile::remove(fresh + QStringLiteral("-journal"));
    if (copyReadable(aside, fresh, path, programFolder, r) && QFile::rename(fresh, path)) {
        r.replaced = true;
        return r;
    }
    QFile::remove(fresh);
    QFile::remove(fresh + QStringLiteral("-journal"));
    return r;
}

QString salvageText(const QString &path, const SalvageReport &r)
{
    const QString saved = r.answersSaved == 0 ? QStringLiteral("nessuna risposta recuperata")
                                              : counted(r.answersSaved, "1 risposta recuperata", "%1 risposte recuperate");
    QString lost = r.answersLost == 0 ? QStringLiteral("nessuna persa") : counted(r.answersLost, "1 persa", "%1 perse");
    if (!r.lostCounted)
        lost = r.answersLost == 0 ? QStringLiteral("quante siano perse non si può sapere")
                                  : QStringLiteral("almeno ") + lost;
    if (r.foreign)
        return QStringLiteral("file dei risultati %1 cambiato da un altro programma (contiene parti che ZAMPLI non "
                              "scrive): %2, %3. Il file cambiato è stato messo da parte come %4, senza usarlo: si può "
                              "cancellare dalla scheda Risultati del programma per l'insegnante")
            .arg(path, saved, lost, r.aside);
    return QStringLiteral("file dei risultati %1 guasto: %2, %3. Il file guasto è stato messo da parte come %4: "
                          "si può cancellare dalla scheda Risultati del programma per l'insegnante")
        .arg(path, saved, lost, r.aside);
}

} // namespace zampli
