// SPDX-License-Identifier: GPL-3.0-or-later
// A class's computers delivering to one school server: each a ResultsWriter
// and a SchoolDelivery on its own results file, as the child's program runs
// them, a child answering about once a second on each, while the server is
// stopped at once (as a crash) and started again twice. Counts every answer
// on both sides and the time from an answer to its arrival on the server,
// read by polling the server.
//   bench_school_load [--seconds 600] [--computers 30]
#include "PgServer.h"

#include "results/ResultsWriter.h"
#include "results/Schema.h"
#include "results/Sqlite.h"
#include "school/PgConnection.h"
#include "school/SchoolDelivery.h"
#include "school/SchoolSetting.h"
#include "school/ServerSchema.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSet>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using namespace zampli;

namespace {

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

double percentile(std::vector<qint64> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return double(v[std::size_t(p * double(v.size() - 1))]);
}

struct Computer {
    QString name;
    QString copy;
    QString results;
    std::unique_ptr<ResultsWriter> writer;
    std::unique_ptr<SchoolDelivery> delivery;
    qint64 lastAt = 0;
    qint64 sent = 0;
};

AnswerRecord answer(qint64 atMs, int turn)
{
    static const char *const vowels[] = {"A", "E", "I", "O", "U"};
    AnswerRecord a;
    a.atMs = atMs;
    a.window = QStringLiteral("FormZampli4");
    a.turn = turn;
    a.asked = QString::fromLatin1(vowels[turn % 5]);
    a.askedAs = Shown::Voice;
    a.chosen = QString::fromLatin1(vowels[(turn * 7) % 5]);
    a.chosenAs = Shown::Face;
    a.right = a.asked == a.chosen;
    a.answerMs = 900;
    return a;
}

// Reads what arrived since the last look, keeping each answer's delay. Ids
// are handed out before commits, which may land in another order: the
// last few thousand are looked at again, each answer counted once.
class ArrivalWatch {
public:
    ArrivalWatch(PgParams params) : params_(std::move(params)) {}

    void look(std::vector<qint64> &delays)
    {
        if (!db_.isOpen() && !db_.open(params_, {}, 2))
            return;
        PgResult r = db_.exec("SELECT a.id, a.at_ms, s.computer FROM zampli.answers a "
                              "JOIN zampli.sessions s ON s.id = a.session_id WHERE a.id > $1",
                              {QByteArray::number(lastId_ - 5000)});
        if (!db_.check(r)) {
            db_.close();
            return;
        }
        const qint64 now = nowMs();
        for (int i = 0; i < r.rows(); ++i) {
            lastId_ = std::max(lastId_, r.number(i, 0));
            const qint64 at = r.number(i, 1);
            if (!seen_.contains(r.text(i, 2) + QLatin1Char('/') + QString::number(at))) {
                seen_.insert(r.text(i, 2) + QLatin1Char('/') + QString::number(at));
                delays.push_back(now - at);
            }
        }
    }

private:
    PgParams params_;
    PgConnection db_;
    qint64 lastId_ = 0;
    QSet<QString> seen_;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int seconds = 600;
    int computers = 30;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--seconds"))
            seconds = std::max(10, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--computers"))
            computers = std::max(1, args[i + 1].toInt());
    }

    test::PgServer server;
    const QString why = server.start();
    if (!why.isEmpty()) {
        std::fprintf(stderr, "school load: %s\n", qPrintable(why));
        return 1;
    }
    bool ok = false;
    server.sql(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE classe"), &ok);
    // The test server commits without waiting for its log, for speed; a
    // school's server waits, and only then is a confirmed answer kept
    // through a stop like these.
    if (ok)
        server.sql(QStringLiteral("postgres"), QStringLiteral("ALTER DATABASE classe SET synchronous_commit = on"), &ok);
    const auto owner = parseConnection(server.connection(QStringLiteral("classe"), server.superuser()));
    PgConnection db;
    PreparedSchool made;
    QString error;
    if (!ok || !owner || !db.open(*owner) || !prepareSchool(db, made, error)) {
        std::fprintf(stderr, "school load: no class database: %s\n", qPrintable(error + db.error()));
        return 1;
    }
    db.close();

    QTemporaryDir root;
    const QString copyId = newCopyId();
    std::vector<std::unique_ptr<Computer>> pcs;
    std::atomic<int> told{0};
    for (int i = 0; i < computers; ++i) {
        auto c = std::make_unique<Computer>();
        c->name = QStringLiteral("pc-%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        c->copy = root.path() + QLatin1Char('/') + c->name + QStringLiteral("/copia");
        c->results = root.path() + QLatin1Char('/') + c->name + QStringLiteral("/risultati.sqlite");
        QDir().mkpath(c->copy);
        writeSchoolSetting(c->copy,
                           SchoolSetting{server.connection(QStringLiteral("classe"), made.roles.computers,
                                                           made.computersPassword),
                                         copyId});
        auto report = [&told](const QString &line) {
            ++told;
            std::fprintf(stderr, "%s\n", qPrintable(line));
        };
        c->writer = std::make_unique<ResultsWriter>(c->results, c->copy, report);
        c->delivery = std::make_unique<SchoolDelivery>(c->copy, c->results,
                                                       DeliveryKey{{}, c->name, QStringLiteral("alunni")}, report);
        pcs.push_back(std::move(c));
    }

    std::mutex delaysMutex;
    std::vector<qint64> delays;
    std::atomic<bool> watching{true};
    std::thread watcher([&] {
        ArrivalWatch watch(*owner);
        std::vector<qint64> found;
        while (watching.load()) {
            watch.look(found);
            {
                std::lock_guard lock(delaysMutex);
                delays.insert(delays.end(), found.begin(), found.end());
            }
            found.clear();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        watch.look(found);
        std::lock_guard lock(delaysMutex);
        delays.insert(delays.end(), found.begin(), found.end());
    });

    // The children: each computer an answer about once a second, a new
    // session every 100 answers.
    QElapsedTimer clock;
    clock.start();
    const qint64 spanMs = qint64(seconds) * 1000;
    const qint64 restarts[] = {spanMs / 3, 2 * spanMs / 3};
    int restarted = 0;
    qint64 downSince = -1;
    const int downMs = 3000;
    qint64 downTotalMs = 0;
    QRandomGenerator random(20261207);
    int turn = 0;
    while (clock.elapsed() < spanMs) {
        const qint64 t = clock.elapsed();
        if (downSince < 0 && restarted < 2 && t >= restarts[restarted]) {
            server.stop();
            downSince = t;
        } else if (downSince >= 0 && t - downSince >= downMs) {
            const QString again = server.start();
            if (!again.isEmpty()) {
                std::fprintf(stderr, "school load: the server did not start again: %s\n", qPrintable(again));
                return 1;
            }
            downTotalMs += clock.elapsed() - downSince;
            downSince = -1;
            ++restarted;
        }
        ++turn;
        for (auto &c : pcs) {
            if (random.bounded(10) != 0)
                continue; // one tick in ten: about an answer a second
            if (c->sent % 100 == 0 && c->sent > 0) {
                c->writer->sessionEnded(c->lastAt);
                c->writer->sessionStarted(nowMs());
            }
            c->lastAt = std::max(nowMs(), c->lastAt + 1);
            c->writer->record(answer(c->lastAt, turn));
            ++c->sent;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    qint64 sent = 0;
    for (auto &c : pcs) {
        c->writer->sync();
        sent += c->sent;
    }
    // Everything the computers hold is on the server within a minute of the last answer.
    const QString countSql = QStringLiteral("SELECT count(*) FROM zampli.answers");
    QElapsedTimer drain;
    drain.start();
    qint64 arrived = 0;
    while (drain.elapsed() < 120000 && (arrived = server.sql("classe", countSql).toLongLong()) < sent)
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const qint64 drainMs = drain.elapsed();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    watching = false;
    watcher.join();

    const qint64 distinct =
        server.sql("classe", "SELECT count(DISTINCT (s.computer, a.at_ms)) FROM zampli.answers a "
                             "JOIN zampli.sessions s ON s.id = a.session_id")
            .toLongLong();
    qint64 local = 0, waiting = 0;
    for (auto &c : pcs) {
        c->delivery.reset();
        c->writer.reset();
        SqliteDb f;
        QString e;
        if (openResults(f, c->results, true, 1000, e)) {
            local += f.number("SELECT count(*) FROM answers");
            waiting += f.number("SELECT coalesce(sum(max(0, n - coalesce(d.answers, 0))), 0) FROM "
                                "(SELECT session_id, count(*) AS n FROM answers GROUP BY session_id) AS a "
                                "LEFT JOIN delivered AS d ON d.session_id = a.session_id");
        }
    }

    std::printf("school load: %d computers, %d s, server restarted %d times (%.1f s down in all)\n", computers,
                seconds, restarted, double(downTotalMs) / 1000);
    std::printf("  answers given %lld, in the computers' files %lld, on the server %lld (%lld distinct): "
                "lost %lld, duplicated %lld; still waiting on the computers %lld\n",
                qlonglong(sent), qlonglong(local), qlonglong(arrived), qlonglong(distinct),
                qlonglong(sent - distinct), qlonglong(arrived - distinct), qlonglong(waiting));
    std::printf("  from answer to server: p50 %.0f ms, p99 %.0f ms, max %.0f ms over %zu answers seen arrive; "
                "last answers on the server %lld ms after the last was given\n",
                percentile(delays, 0.5), percentile(delays, 0.99), percentile(delays, 1.0), delays.size(),
                qlonglong(drainMs));
    if (told.load() > 0)
        std::printf("  %d lines told to the adult\n", told.load());
    return sent == distinct && arrived == distinct && local == sent ? 0 : 1;
}
