// SPDX-License-Identifier: GPL-3.0-or-later
#include "school/SchoolDelivery.h"

#include "results/Schema.h"
#include "results/Sqlite.h"
#include "school/PgConnection.h"
#include "school/SchoolSetting.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace zampli {

namespace {

// The server keeps at most this much of a computer's or an account's name.
constexpr int kMaxName = 64;

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

struct WaitingSession {
    qint64 id = 0;
    QString uid;
    qint64 startedMs = 0;
    qint64 endedMs = 0;
    QByteArray child; // the server's id; null: nobody named on the server
    QString origin;
    qint64 held = 0;  // answers the server holds
    qint64 total = 0; // answers the file holds
};

// Sessions the server lacks answers of, or whose end it was not told.
int waitingSessions(SqliteDb &local, qint64 afterId, int limit, std::vector<WaitingSession> &out)
{
    Statement s(local.handle(),
                "SELECT s.id, s.uid, s.started_ms, s.ended_ms, c.server_id, s.origin, coalesce(d.answers, 0), a.n"
                " FROM (SELECT session_id, count(*) AS n FROM answers GROUP BY session_id) AS a"
                " JOIN sessions AS s ON s.id = a.session_id"
                " LEFT JOIN delivered AS d ON d.session_id = s.id"
                " LEFT JOIN children AS c ON c.id = s.child_id"
                " WHERE s.id > ?2 AND (a.n > coalesce(d.answers, 0) OR d.ended_ms IS NULL OR s.ended_ms > d.ended_ms)"
                " ORDER BY s.id LIMIT ?1");
    s.bind(1, qint64(limit));
    s.bind(2, afterId);
    int rc;
    while ((rc = s.step()) == SQLITE_ROW) {
        WaitingSession w;
        w.id = s.integer(0);
        w.uid = s.text(1);
        w.startedMs = s.integer(2);
        w.endedMs = std::max(s.integer(3), w.startedMs);
        if (sqlite3_column_type(s.handle(), 4) != SQLITE_NULL)
            w.child = QByteArray::number(s.integer(4));
        w.origin = s.text(5);
        w.held = s.integer(6);
        w.total = s.integer(7);
        out.push_back(w);
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// A session made by a program that gave it no uid gets one before it goes:
// the server tells sessions apart by it.
int giveUids(SqliteDb &local)
{
    int rc = SQLITE_OK;
    if (local.number("SELECT count(*) FROM sessions WHERE uid IS NULL", &rc) > 0)
        rc = local.exec("UPDATE sessions SET uid = lower(hex(randomblob(16))) WHERE uid IS NULL");
    return rc;
}

// Up to a chunk of the session's answers from the `held`th on, as the
// server reads them; seq is the answer's place in its session, from 1.
int readChunk(SqliteDb &local, const WaitingSession &w, QJsonArray &out)
{
    Statement s(local.handle(),
                "SELECT at_ms, window, turn, asked, asked_as, asked_style, word, chosen, chosen_as,"
                " chosen_style, right, answer_ms FROM answers WHERE session_id = ?1 ORDER BY id LIMIT ?2 OFFSET ?3");
    s.bind(1, w.id);
    s.bind(2, qint64(kDeliveryChunk));
    s.bind(3, w.held);
    qint64 seq = w.held;
    int rc;
    while ((rc = s.step()) == SQLITE_ROW) {
        const QString word = s.text(6);
        out.append(QJsonObject{{"seq", ++seq},
                               {"at_ms", s.integer(0)},
                               {"window", s.text(1)},
                               {"turn", s.integer(2)},
                               {"asked", s.text(3)},
                               {"asked_as", s.text(4)},
                               {"asked_style", s.integer(5)},
                               {"word", word.isNull() ? QJsonValue() : QJsonValue(word)},
                               {"chosen", s.text(7)},
                               {"chosen_as", s.text(8)},
                               {"chosen_style", s.integer(9)},
                               {"right", s.integer(10) != 0 ? 1 : 0},
                               {"answer_ms", s.integer(11)}});
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int recordDelivered(SqliteDb &local, qint64 session, qint64 held, qint64 endedMs)
{
    Statement s(local.handle(), "INSERT INTO delivered(session_id, answers, ended_ms) VALUES(?1, ?2, ?3)"
                                " ON CONFLICT(session_id) DO UPDATE SET answers = excluded.answers,"
                                " ended_ms = excluded.ended_ms");
    s.bind(1, session);
    s.bind(2, held);
    s.bind(3, endedMs);
    const int rc = s.step();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// The key a session goes under: this file's own, or the one it came with.
bool keyOf(const WaitingSession &w, const DeliveryKey &own, DeliveryKey &key)
{
    if (w.origin.isNull()) {
        key = own;
        return true;
    }
    const QStringList parts = w.origin.split(QLatin1Char('/'));
    if (parts.size() != 3)
        return false;
    key = DeliveryKey{parts[0], parts[1], parts[2]};
    return true;
}

QString fileTrouble(SqliteDb &local)
{
    return QStringLiteral("il file dei risultati non si legge ora (%1)").arg(local.message());
}

} // namespace

QString thisComputer()
{
    QFile id(QStringLiteral("/etc/machine-id"));
    QString name;
    if (id.open(QIODevice::ReadOnly))
        name = QString::fromLatin1(id.read(kMaxName + 1)).trimmed();
    if (name.isEmpty())
        name = QSysInfo::machineHostName();
    if (name.isEmpty())
        name = QStringLiteral("computer");
    return name.left(kMaxName);
}

QString thisAccount()
{
    const passwd *pw = getpwuid(geteuid());
    const QString name = pw && pw->pw_name ? QString::fromLocal8Bit(pw->pw_name) : QString();
    return (name.isEmpty() ? QString::number(geteuid()) : name).left(kMaxName);
}

DeliveryOutcome deliverWaiting(SqliteDb &local, PgConnection &server, const DeliveryKey &own, QString &why)
{
    if (giveUids(local) != SQLITE_OK) {
        why = fileTrouble(local);
        return DeliveryOutcome::FileTrouble;
    }
    // A page of sessions at a time: a file of a whole year never has its
    // list in memory at once.
    constexpr int kPage = 1000;
    bool refused = false;
    std::vector<WaitingSession> sessions;
    qint64 after = 0;
    do {
        sessions.clear();
        if (waitingSessions(local, after, kPage, sessions) != SQLITE_OK) {
            why = fileTrouble(local);
            return DeliveryOutcome::FileTrouble;
        }
        if (!sessions.empty())
            after = sessions.back().id;
        for (WaitingSession &w : sessions) {
            DeliveryKey key;
            if (!keyOf(w, own, key))
                continue;
            do {
                QJsonArray chunk;
                if (readChunk(local, w, chunk) != SQLITE_OK) {
                    why = fileTrouble(local);
                    return DeliveryOutcome::FileTrouble;
                }
                PgResult r = server.exec("SELECT zampli.deliver($1, $2, $3, $4, $5, $6, $7, $8)",
                                         {key.copy.toUtf8(), key.computer.toUtf8(), key.account.toUtf8(),
                                          w.uid.toUtf8(), w.child, QByteArray::number(w.startedMs),
                                          QByteArray::number(w.endedMs),
                                          QJsonDocument(chunk).toJson(QJsonDocument::Compact)});
                if (!server.check(r) || r.rows() != 1) {
                    why = server.error();
                    // One session the server will not take leaves the others to go.
                    if (server.trouble() == PgConnection::Trouble::Refused && server.isOpen()) {
                        refused = true;
                        break;
                    }
                    return DeliveryOutcome::ServerTrouble;
                }
                // An erased child's answers are refused for good: done with here too.
                const bool erased = r.text(0, 0) == QLatin1String("cancellato");
                w.held = erased || chunk.isEmpty() ? w.total : w.held + chunk.size();
                if (recordDelivered(local, w.id, w.held, w.endedMs) != SQLITE_OK) {
                    why = fileTrouble(local);
                    return DeliveryOutcome::FileTrouble;
                }
            } while (w.held < w.total);
        }
    } while (sessions.size() == std::size_t(kPage));
    return refused ? DeliveryOutcome::ServerTrouble : DeliveryOutcome::Done;
}

bool recordDeliveryTrouble(SqliteDb &local, const QString &why, qint64 at)
{
    Statement s(local.handle(), "INSERT INTO delivery(one, waiting_since_ms, tried_ms, reason) VALUES(1, ?1, ?1, ?2)"
                                " ON CONFLICT(one) DO UPDATE SET"
                                " waiting_since_ms = coalesce(delivery.waiting_since_ms, excluded.waiting_since_ms),"
                                " tried_ms = excluded.tried_ms, reason = excluded.reason");
    s.bind(1, at);
    s.bind(2, why);
    return s.step() == SQLITE_DONE;
}

bool clearDeliveryTrouble(SqliteDb &local)
{
    // Looked at first: an empty delete still takes the file's write lock.
    int rc = SQLITE_OK;
    if (local.number("SELECT count(*) FROM delivery", &rc) == 0)
        return rc == SQLITE_OK;
    return local.exec("DELETE FROM delivery") == SQLITE_OK;
}

SchoolDelivery::SchoolDelivery(QString copyFolder, QString resultsPath, DeliveryKey key, Report report)
    : SchoolDelivery(std::move(copyFolder), std::move(resultsPath), std::move(key), std::move(report), Timing())
{
}

SchoolDelivery::SchoolDelivery(QString copyFolder, QString resultsPath, DeliveryKey key, Report report, Timing timing)
    : copyFolder_(std::move(copyFolder)), resultsPath_(std::move(resultsPath)), key_(std::move(key)),
      report_(std::move(report)), timing_(timing), stopFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    thread_ = std::thread([this] { run(); });
}

SchoolDelivery::~SchoolDelivery()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    // Ends a wait on the server at once: what it was sending goes again next time.
    const quint64 one = 1;
    if (stopFd_ >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(stopFd_, &one, sizeof one);
    }
    thread_.join();
    if (stopFd_ >= 0)
        ::close(stopFd_);
}

bool SchoolDelivery::stopping()
{
    std::lock_guard lock(mutex_);
    return stop_;
}

void SchoolDelivery::tell(const QString &line)
{
    if (line == told_ || !report_)
        return;
    told_ = line;
    report_(line);
}

bool SchoolDelivery::round(SqliteDb &local, PgConnection &server, QString &connectedWith)
{
    std::vector<WaitingSession> any;
    if (giveUids(local) != SQLITE_OK || waitingSessions(local, 0, 1, any) != SQLITE_OK)
        return true;
    if (any.empty())
        return !clearDeliveryTrouble(local);
    QString error;
    const std::optional<SchoolSetting> setting = readSchoolSetting(copyFolder_, &error);
    if (!setting) {
        if (error.isEmpty()) // the copy has no server any more
            return false;
        tell(error + QStringLiteral(" Le risposte restano su questo computer: fai collegare di nuovo la copia alla "
                                    "scuola dal programma dell'insegnante."));
        recordDeliveryTrouble(local, QStringLiteral("il file della scuola nella copia non si legge"), nowMs());
        return true;
    }
    const std::optional<PgParams> params = parseConnection(setting->connection, &error);
    if (!params) {
        tell(QStringLiteral("Il file della scuola %1: %2. Le risposte restano su questo computer: fai collegare di "
                            "nuovo la copia alla scuola dal programma dell'insegnante.")
                 .arg(schoolSettingPath(copyFolder_), error));
        recordDeliveryTrouble(local, error, nowMs());
        return true;
    }
    if (connectedWith != setting->connection)
        server.close();
    DeliveryKey key = key_;
    key.copy = setting->copyId;
    // A connection kept from an earlier round may have lost a server that
    // restarted since: then once more at once, on a new one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool fresh = !server.isOpen();
        if (fresh) {
            connectedWith.clear();
            if (!server.open(*params, {}, timing_.connectSeconds)) {
                if (!stopping())
                    recordDeliveryTrouble(local, server.error(), nowMs());
                return true;
            }
            connectedWith = setting->connection;
        }
        QString why;
        switch (deliverWaiting(local, server, key, why)) {
        case DeliveryOutcome::Done:
            return !clearDeliveryTrouble(local);
        case DeliveryOutcome::FileTrouble:
            return true;
        case DeliveryOutcome::ServerTrouble:
            if (stopping())
                return true;
            if (server.trouble() == PgConnection::Trouble::Unreachable) {
                server.close();
                if (!fresh)
                    continue;
            }
            recordDeliveryTrouble(local, why, nowMs());
            return true;
        }
    }
    return true;
}

void SchoolDelivery::run()
{
    SqliteDb local;
    PgConnection server;
    server.setInterrupt(stopFd_);
    QString connectedWith;
    qint64 seenVersion = -1;
    int pauseMs = 0; // after a failure; 0 while all goes well
    QDeadlineTimer retryAt;
    while (!stopping()) {
        if (local.isOpen()) {
            // A file the writer set aside and replaced is opened anew.
            int moved = 0;
            if (sqlite3_file_control(local.handle(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || moved)
                local.close();
        }
        bool look;
        if (pauseMs > 0)
            look = retryAt.hasExpired();
        else if (!local.isOpen())
            look = QFileInfo::exists(resultsPath_);
        else
            look = local.number("PRAGMA data_version") != seenVersion;
        if (look) {
            QString error;
            bool again = true;
            if (local.isOpen() || (openResults(local, resultsPath_, false, 500, error) &&
                                   // As the writer: a commit waits for no disk, so the writer never
                                   // waits long for this one. A record lost to a power cut only
                                   // sends its answers again, and the server keeps them once.
                                   local.exec("PRAGMA synchronous=NORMAL") == SQLITE_OK)) {
                // Taken before the round: whatever the writer commits during it is looked at next.
                seenVersion = local.number("PRAGMA data_version");
                again = round(local, server, connectedWith);
            }
            if (again) {
                pauseMs = pauseMs > 0 ? std::min(pauseMs * 2, timing_.lastRetryMs) : timing_.firstRetryMs;
                retryAt = QDeadlineTimer(pauseMs);
                local.close();
            } else {
                pauseMs = 0;
            }
        }
        std::unique_lock lock(mutex_);
        const qint64 waitMs = pauseMs > 0 ? std::max<qint64>(1, retryAt.remainingTime()) : timing_.pollMs;
        wake_.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return stop_; });
    }
}

} // namespace zampli
