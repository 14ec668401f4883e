// SPDX-License-Identifier: GPL-3.0-or-later
// Results files made to harm: a trigger planted in the file, a recursive
// view beside the tables or in place of one, a pipe in place of the answers
// set aside, 20 MB set aside (of answers, or of short lines). For each, the child's program (its writer) and the teacher's
// program (its reader) run in a process of their own and quit as the adult
// quits them; printed: how long after the start each process ended, how long
// after its quit, and its memory peak. A process still there 20 s after its
// quit is killed and said to be so.
//   bench_hostile_results
#include "ResultsPlant.h"
#include "results/PendingAnswers.h"
#include "results/ResultsWriter.h"
#include "results/Sqlite.h"
#include "tabs/results/ResultsLoader.h"
#include "window/TeacherStart.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <poll.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zampli;

namespace {

constexpr int kKillAfterMs = 20000;
constexpr const char *kProgramFolder = "/bench/zampli";

AnswerRecord answerAt(qint64 at, int turn)
{
    AnswerRecord a;
    a.atMs = at;
    a.window = QStringLiteral("FormZampli3");
    a.turn = turn;
    a.asked = QStringLiteral("E");
    a.chosen = turn % 3 ? QStringLiteral("I") : QStringLiteral("E");
    a.chosenAs = Shown::Letter;
    a.chosenStyle = 1;
    a.right = turn % 3 == 0;
    a.answerMs = 1200;
    return a;
}

// A results file of this program with `answers` answers in one session.
bool writeFile(const QString &db, int answers)
{
    ResultsWriter w(db, QString::fromLatin1(kProgramFolder), [](const QString &) {});
    const qint64 start = QDateTime::currentMSecsSinceEpoch() - 3600000;
    w.sessionStarted(start);
    for (int k = 1; k <= answers; ++k)
        w.record(answerAt(start + k * 1000, k));
    return w.sync();
}

qint64 answersIn(const QString &db)
{
    sqlite3 *raw = nullptr;
    qint64 n = -1;
    sqlite3_stmt *s = nullptr;
    if (sqlite3_open_v2(db.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(raw, "SELECT count(*) FROM answers", -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW)
        n = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    sqlite3_close(raw);
    return n;
}

// Answers set aside by a past run: batches of `answers` answers until the
// file holds `bytes` bytes, one batch at least.
bool writePending(const QString &db, int answers, qint64 bytes)
{
    QFile f(pendingPath(db));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const qint64 start = QDateTime::currentMSecsSinceEpoch() - 7200000;
    for (int batch = 0; batch == 0 || f.size() < bytes; ++batch) {
        PendingBatch b{QStringLiteral("lotto-%1").arg(batch), 0, start, {}};
        for (int k = 1; k <= answers; ++k)
            b.events.push_back({ResultsEvent::Kind::Answer, start + k, answerAt(start + k, k), 0});
        if (f.write(pendingLines(b)) < 0)
            return false;
    }
    return true;
}

// What each run prints on its stdout: when the adult quit, in ms from its start.
void sayQuit(const QElapsedTimer &since)
{
    std::printf("%lld\n", static_cast<long long>(since.elapsed()));
    std::fflush(stdout);
}

// The child's program: a session, ten answers a quarter second apart, Esci.
int runChild(const QString &db)
{
    QElapsedTimer since;
    since.start();
    {
        ResultsWriter w(db, QString::fromLatin1(kProgramFolder), [](const QString &line) {
            std::fprintf(stderr, "%s\n", qPrintable(line));
        });
        w.sessionStarted();
        for (int k = 1; k <= 10; ++k) {
            w.record(answerAt(QDateTime::currentMSecsSinceEpoch(), k));
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        sayQuit(since);
    }
    return 0;
}

// The teacher's program: the Risultati tab's reader asked for everything;
// the teacher quits once it answers, or after a second.
int runTeacher(const QString &db, int argc, char **argv)
{
    QElapsedTimer since;
    since.start();
    QApplication app(argc, argv);
    QTranslator qtTexts;
    teacher::prepareTeacherProgram(qtTexts);
    {
        teacher::ResultsLoader loader(db);
        QObject::connect(&loader, &teacher::ResultsLoader::loaded, &app, &QCoreApplication::quit);
        QTimer::singleShot(1000, &app, &QCoreApplication::quit);
        loader.load({});
        app.exec();
        sayQuit(since);
    }
    return 0;
}

struct Run {
    bool ended = false;
    double totalMs = 0;
    double quitMs = -1; // from the start, as the process said
    double peakMb = 0;
};

// `self` run as `role` on `db` in a process of its own, killed once it
// outlives its quit, or its start, by kKillAfterMs.
Run measure(const char *self, const char *role, const QString &db, const QString &home)
{
    int out[2];
    if (::pipe(out) != 0)
        return {};
    QElapsedTimer t;
    t.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        const QByteArray dbName = db.toUtf8();
        ::setenv("XDG_CONFIG_HOME", qPrintable(home + "/config"), 1);
        ::setenv("XDG_STATE_HOME", qPrintable(home + "/state"), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(self, self, "--run", role, dbName.constData(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    Run r;
    QByteArray said;
    rusage usage{};
    int status = 0;
    for (;;) {
        char buf[64];
        while (true) {
            pollfd p{out[0], POLLIN, 0};
            if (::poll(&p, 1, 0) <= 0)
                break;
            const ssize_t n = ::read(out[0], buf, sizeof buf);
            if (n <= 0)
                break;
            said.append(buf, n);
        }
        if (said.contains('\n') && r.quitMs < 0)
            r.quitMs = said.left(said.indexOf('\n')).toDouble();
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid) {
            r.ended = WIFEXITED(status);
            break;
        }
        const double limit = (r.quitMs >= 0 ? r.quitMs : 0) + kKillAfterMs;
        if (double(t.elapsed()) > limit) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    r.totalMs = double(t.nsecsElapsed()) / 1e6;
    r.peakMb = double(usage.ru_maxrss) / 1024.0;
    ::close(out[0]);
    return r;
}

void print(const char *what, const char *who, const Run &r)
{
    if (!r.ended) {
        std::printf("hostile results, %s: %s still running %.0f s after its quit: killed (peak %.0f MB)\n", what, who,
                    (r.totalMs - qMax(0.0, r.quitMs)) / 1000.0, r.peakMb);
        return;
    }
    std::printf("hostile results, %s: %s ended %.0f ms after its start, %.0f ms after its quit, peak %.0f MB\n", what,
                who, r.totalMs, r.totalMs - r.quitMs, r.peakMb);
}

// A fresh state folder of its own for each case: the results file's path
// there, as the child's program names it.
struct Case {
    QTemporaryDir home;
    QString db;
    Case()
    {
        QDir().mkpath(home.filePath("state/zampli"));
        db = home.filePath("state/zampli/zampli-bench.sqlite");
    }
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--run") == 0) {
        const QString db = QString::fromUtf8(argv[3]);
        return qstrcmp(argv[2], "child") == 0 ? runChild(db) : runTeacher(db, 1, argv);
    }
    QCoreApplication app(argc, argv);
    const QByteArray self = QCoreApplication::applicationFilePath().toUtf8();
    constexpr int kFileAnswers = 1000;
    constexpr int kSetAside = 300;

    {
        const char *what = "planted trigger, 300 answers set aside";
        for (const char *who : {"child", "teacher"}) {
            Case c;
            if (!writeFile(c.db, kFileAnswers) ||
                !zampli::test::plant(c.db, "CREATE TRIGGER t AFTER INSERT ON answers BEGIN DELETE FROM answers; END") ||
                !writePending(c.db, kSetAside, 0))
                return 1;
            const Run r = measure(self.constData(), who, c.db, c.home.path());
            print(what, who == QByteArray("child") ? "child's program" : "teacher's program", r);
            if (who == QByteArray("child"))
                std::printf("hostile results, %s: answers in the file after the child's program: %lld of %d\n", what,
                            static_cast<long long>(answersIn(c.db)), kFileAnswers + kSetAside + 10);
        }
    }
    {
        const char *what = "recursive view";
        for (const char *who : {"child", "teacher"}) {
            Case c;
            if (!writeFile(c.db, kFileAnswers) ||
                !zampli::test::plant(c.db, "CREATE VIEW v AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) "
                             "SELECT x FROM c"))
                return 1;
            print(what, who == QByteArray("child") ? "child's program" : "teacher's program",
                  measure(self.constData(), who, c.db, c.home.path()));
        }
    }
    {
        // The same view in place of the table every reading begins with.
        const char *what = "recursive view in place of the answers table";
        for (const char *who : {"child", "teacher"}) {
            Case c;
            if (!writeFile(c.db, kFileAnswers) ||
                !zampli::test::plant(c.db, "DROP TABLE answers; CREATE VIEW answers AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL "
                             "SELECT x+1 FROM c) SELECT x AS id, 1 AS session_id, x AS at_ms, 'FormZampli3' AS window,"
                             " 1 AS turn, 'E' AS asked, 'voce' AS asked_as, 0 AS asked_style, NULL AS word,"
                             " 'E' AS chosen, 'tessera' AS chosen_as, 0 AS chosen_style, 1 AS right,"
                             " 1000 AS answer_ms FROM c"))
                return 1;
            print(what, who == QByteArray("child") ? "child's program" : "teacher's program",
                  measure(self.constData(), who, c.db, c.home.path()));
        }
    }
    {
        const char *what = "FIFO at .in-attesa";
        Case c;
        if (!writeFile(c.db, kFileAnswers) || ::mkfifo(pendingPath(c.db).toUtf8().constData(), 0600) != 0)
            return 1;
        print(what, "child's program", measure(self.constData(), "child", c.db, c.home.path()));
    }
    {
        const char *what = "20 MB .in-attesa of answers";
        Case c;
        if (!writeFile(c.db, kFileAnswers) || !writePending(c.db, 100, 20 << 20))
            return 1;
        print(what, "child's program", measure(self.constData(), "child", c.db, c.home.path()));
    }
    {
        // Ten million lines of two bytes: a line kept apart costs far more than its bytes.
        const char *what = "20 MB .in-attesa of short lines";
        Case c;
        QFile pending(pendingPath(c.db));
        if (!writeFile(c.db, kFileAnswers) || !pending.open(QIODevice::WriteOnly))
            return 1;
        const QByteArray lines = QByteArray("x\n").repeated(1 << 20);
        for (int k = 0; k < 10; ++k)
            pending.write(lines);
        pending.close();
        print(what, "child's program", measure(self.constData(), "child", c.db, c.home.path()));
    }
    return 0;
}
