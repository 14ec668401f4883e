// SPDX-License-Identifier: GPL-3.0-or-later
#include "school/SchoolMirror.h"

#include "safefile/WholeFile.h"
#include "results/ResultsEditor.h"
#include "results/Schema.h"
#include "results/Summaries.h"
#include "results/Sqlite.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTimeZone>
#include <iterator>
#include <sqlite3.h>

namespace zampli {

namespace {

// Answers fetched a page at a time: memory stays small on a first pull of a year.
constexpr int kPage = 5000;

const char kAnswerColumns[] = R"SQL(id, session_id, at_ms, "window", turn, asked, asked_as, asked_style, word,
    chosen, chosen_as, chosen_style, "right", answer_ms)SQL";

QString cacheFolder()
{
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || QDir::isRelativePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/zampli");
}

QString readNote(const QString &path)
{
    QFile f(path + QStringLiteral(".letto"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.read(1024)) : QString();
}

QString noteValue(const QString &note, const QString &key)
{
    const QStringList lines = note.split(QLatin1Char('\n'));
    for (const QString &line : lines)
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1).trimmed();
    return {};
}

// Which of kAnswerColumns are numbers; the rest are text, a null one NULL.
constexpr bool kNumber[] = {true, true, true, false, true, false, false, true, false, false, false, true, true, true};

// The server's answers into the file's, under the server's ids.
bool insertAnswers(Statement &insert, const PgResult &rows)
{
    for (int r = 0; r < rows.rows(); ++r) {
        insert.reset();
        for (int c = 0; c < int(std::size(kNumber)); ++c) {
            if (kNumber[c])
                insert.bind(c + 1, rows.number(r, c));
            else
                insert.bind(c + 1, rows.text(r, c));
        }
        if (insert.step() != SQLITE_DONE)
            return false;
    }
    return true;
}

// The file with its tables, made aside and renamed into place whole: a view
// reading it meanwhile never finds it half made. A file that is not one
// (left half made by an older program) is only a reading: made again.
bool makeMirrorFile(const QString &path, QString &error)
{
    SqliteDb probe;
    QString why;
    if (QFileInfo::exists(path) && openResults(probe, path, true, 2000, why))
        return true;
    probe.close();
    const QString aside = path + QStringLiteral(".nuovo");
    for (const QString &f : {path, aside})
        for (const char *end : {"", "-wal", "-shm"})
            QFile::remove(f + QLatin1String(end));
    QDir().mkpath(QFileInfo(path).path());
    {
        ResultsEditor maker;
        if (!maker.open(aside, ResultsEditor::IfMissing::Make)) {
            error = maker.error();
            return false;
        }
    }
    if (!QFile::rename(aside, path)) {
        error = troubleWith(path, SQLITE_CANTOPEN);
        return false;
    }
    return true;
}

} // namespace

QString SchoolMirror::pathFor(const PgParams &params)
{
    const QByteArray key = params.value("host") + '\n' + params.value("hostaddr") + '\n' + params.value("port") +
                           '\n' + params.value("dbname");
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(12);
    return cacheFolder() + QStringLiteral("/scuola-") + QString::fromLatin1(hash) + QStringLiteral(".sqlite");
}

qint64 SchoolMirror::readMs() const
{
    return noteValue(readNote(path_), QStringLiteral("letto")).toLongLong();
}

QString SchoolMirror::timeZone() const
{
    return noteValue(readNote(path_), QStringLiteral("fuso"));
}

MirrorPull SchoolMirror::pull(PgConnection &db, const std::function<bool(qint64, qint64)> &progress)
{
    MirrorPull out;
    auto serverFailed = [&] {
        out.trouble = db.trouble();
        out.error = db.error();
        db.exec("ROLLBACK");
        return out;
    };
    // One picture of the server: the counts and the answers agree.
    if (!db.run("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"))
        return serverFailed();
    PgResult school = db.exec("SELECT time_zone FROM zampli.school");
    PgResult children = db.exec("SELECT id, name, created_ms FROM zampli.children WHERE erased_ms IS NULL");
    PgResult sessions = db.exec("SELECT s.id, s.copy, s.computer, s.account, s.uid, s.child_id, s.started_ms, "
                                "s.ended_ms, (SELECT count(*) FROM zampli.answers a WHERE a.session_id = s.id) "
                                "FROM zampli.sessions s ORDER BY s.id");
    if (!db.check(school) || !db.check(children) || !db.check(sessions))
        return serverFailed();

    SqliteDb local;
    QString why;
    auto localFailed = [&](const QString &reason) {
        out.trouble = PgConnection::Trouble::None;
        out.error = reason;
        local.exec("ROLLBACK");
        db.exec("ROLLBACK");
        return out;
    };
    if (!makeMirrorFile(path_, why))
        return localFailed(why);
    if (!openResults(local, path_, false, 5000, why))
        return localFailed(why);
    if (local.exec("BEGIN IMMEDIATE") != SQLITE_OK)
        return localFailed(troubleWith(path_, SQLITE_BUSY));
    const auto localTrouble = [&] { return localFailed(troubleWith(path_, sqlite3_errcode(local.handle()))); };

    // Children: names first moved out of the way, so that two swapped names never collide.
    QSet<qint64> childIds;
    for (int r = 0; r < children.rows(); ++r)
        childIds.insert(children.number(r, 0));
    {
        QList<qint64> gone;
        Statement all(local.handle(), "SELECT id FROM children");
        while (all.step() == SQLITE_ROW)
            if (!childIds.contains(all.integer(0)))
                gone << all.integer(0);
        Statement drop(local.handle(), "DELETE FROM children WHERE id = ?1");
        Statement unplay(local.handle(), "DELETE FROM now_playing WHERE child_id = ?1");
        for (qint64 id : std::as_const(gone)) {
            drop.reset(), drop.bind(1, id), unplay.reset(), unplay.bind(1, id);
            if (unplay.step() != SQLITE_DONE || drop.step() != SQLITE_DONE)
                return localTrouble();
        }
        if (local.exec("UPDATE children SET name = char(1) || id") != SQLITE_OK)
            return localTrouble();
        Statement put(local.handle(), "INSERT INTO children(id, name, created_ms, server_id) VALUES(?1, ?2, ?3, ?1) "
                                      "ON CONFLICT(id) DO UPDATE SET name = excluded.name, server_id = excluded.id");
        for (int r = 0; r < children.rows(); ++r) {
            put.reset();
            put.bind(1, children.number(r, 0));
            put.bind(2, children.text(r, 1));
            put.bind(3, children.number(r, 2));
            if (put.step() != SQLITE_DONE)
                return localTrouble();
        }
    }

    // Sessions: those gone from the server go here too, with their answers.
    // The summaries count answers by id, once: answers gone, or come late
    // under an id already passed, have every answer counted again.
    bool recount = false;
    QHash<qint64, qint64> serverCounts;
    for (int r = 0; r < sessions.rows(); ++r)
        serverCounts.insert(sessions.number(r, 0), sessions.number(r, 8));
    {
        QList<qint64> gone;
        Statement all(local.handle(), "SELECT id FROM sessions");
        while (all.step() == SQLITE_ROW)
            if (!serverCounts.contains(all.integer(0)))
                gone << all.integer(0);
        Statement answers(local.handle(), "DELETE FROM answers WHERE session_id = ?1");
        Statement drop(local.handle(), "DELETE FROM sessions WHERE id = ?1");
        recount = recount || !gone.isEmpty();
        for (qint64 id : std::as_const(gone)) {
            answers.reset(), answers.bind(1, id), drop.reset(), drop.bind(1, id);
            if (answers.step() != SQLITE_DONE || drop.step() != SQLITE_DONE)
                return localTrouble();
        }
        Statement put(local.handle(),
                      "INSERT INTO sessions(id, started_ms, ended_ms, program_folder, child_id, uid, origin) "
                      "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?4) ON CONFLICT(id) DO UPDATE SET "
                      "ended_ms = excluded.ended_ms, child_id = excluded.child_id");
        for (int r = 0; r < sessions.rows(); ++r) {
            put.reset();
            put.bind(1, sessions.number(r, 0));
            put.bind(2, sessions.number(r, 6));
            put.bind(3, sessions.number(r, 7));
            put.bind(4, sessions.text(r, 1) + QLatin1Char('/') + sessions.text(r, 2) + QLatin1Char('/') +
                            sessions.text(r, 3));
            if (sessions.isNull(r, 5))
                put.bind(5, QString());
            else
                put.bind(5, sessions.number(r, 5));
            put.bind(6, sessions.text(r, 4));
            if (put.step() != SQLITE_DONE)
                return localTrouble();
        }
    }

    // Answers: those after the last one read, by the server's ids; then
    // every session whose count still differs (a delivery that committed
    // after a later one was read) is read whole.
    Statement insert(local.handle(), "INSERT OR IGNORE INTO answers(id, session_id, at_ms, window, turn, asked, "
                                     "asked_as, asked_style, word, chosen, chosen_as, chosen_style, right, "
                                     "answer_ms) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
    const qint64 before = local.number("SELECT count(*) FROM answers");
    qint64 last = local.number("SELECT coalesce(max(id), 0) FROM answers");
    PgResult waiting = db.exec("SELECT count(*) FROM zampli.answers WHERE id > $1", {QByteArray::number(last)});
    if (!db.check(waiting))
        return serverFailed();
    const qint64 total = waiting.number(0, 0);
    const QByteArray page = QByteArray("SELECT ") + kAnswerColumns +
                            " FROM zampli.answers WHERE id > $1 ORDER BY id LIMIT " + QByteArray::number(kPage);
    PgResult rows; // one page at a time, the last freed as the next comes
    for (qint64 done = 0;;) {
        if (progress && !progress(done, total))
            return localFailed(QStringLiteral("la lettura dal server è stata fermata"));
        rows = db.exec(page.constData(), {QByteArray::number(last)});
        if (!db.check(rows))
            return serverFailed();
        if (!insertAnswers(insert, rows))
            return localTrouble();
        if (rows.rows() == 0)
            break;
        done += rows.rows();
        last = rows.number(rows.rows() - 1, 0);
    }
    {
        QList<qint64> short_;
        Statement counts(local.handle(), "SELECT session_id, count(*) FROM answers GROUP BY session_id");
        QHash<qint64, qint64> localCounts;
        while (counts.step() == SQLITE_ROW)
            localCounts.insert(counts.integer(0), counts.integer(1));
        for (auto it = serverCounts.cbegin(); it != serverCounts.cend(); ++it)
            if (localCounts.value(it.key()) != it.value())
                short_ << it.key();
        const QByteArray whole = QByteArray("SELECT ") + kAnswerColumns + " FROM zampli.answers WHERE session_id = $1";
        recount = recount || !short_.isEmpty();
        for (qint64 id : std::as_const(short_)) {
            rows = db.exec(whole.constData(), {QByteArray::number(id)});
            if (!db.check(rows))
                return serverFailed();
            if (!insertAnswers(insert, rows))
                return localTrouble();
        }
    }
    // Counted in the school's days, as the views count them.
    const QTimeZone zone(school.text(0, 0).toUtf8());
    if ((recount && resetSummaries(local) != SQLITE_OK) || catchUpSummaries(local, {}, zone) != SQLITE_OK)
        return localTrouble();
    out.answersAdded = int(local.number("SELECT count(*) FROM answers") - before);
    db.exec("COMMIT");
    if (local.exec("COMMIT") != SQLITE_OK)
        return localTrouble();
    local.close();
    const QByteArray note = "letto=" + QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + "\nfuso=" +
                            school.text(0, 0).toUtf8() + '\n';
    writeWhole(path_ + QStringLiteral(".letto"), note);
    out.ok = true;
    return out;
}

} // namespace zampli
