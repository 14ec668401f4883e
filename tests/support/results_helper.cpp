// SPDX-License-Identifier: GPL-3.0-or-later
// A second program for the results tests, so that locks and a sudden end
// happen in another process as they would on a real machine.
//   results_helper lock <database> <ms>: holds the write lock until a line
//     (or the end) comes on stdin; prints "locked" once it holds it and, just
//     before letting go, "asked" or, when <ms> passed unasked, "unasked"
//     (and ends with 3): a test left stuck on the lock ends instead of hanging
//   results_helper answer <database>: records one answer for each line that
//     comes on stdin, until killed
//   results_helper read <database>: reads what the teacher's program shows,
//     printing "read" once done, or "refused: <why>" when the file was refused
//   results_helper stop: a read that never ends on its own on a thread, and
//     stopReads() once it runs; prints the read's result code, then that of
//     a read-only connection opened after
//   results_helper play <database>: the child's program: a session, one
//     answer, its quit; prints "ended"
#include "results/ClassReader.h"
#include "results/ResultsWriter.h"
#include "results/Sqlite.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <thread>
#include <poll.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// True when a line or the end came on stdin within ms.
bool askedWithin(int ms)
{
    pollfd in{.fd = STDIN_FILENO, .events = POLLIN, .revents = 0};
    return ::poll(&in, 1, ms) > 0;
}

int holdLock(const char *path, int ms)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(path, &db) != SQLITE_OK || sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot lock %s\n", path);
        return 1;
    }
    std::printf("locked\n");
    std::fflush(stdout);
    const bool asked = askedWithin(ms);
    // Said before the lock goes, so that whoever the lock held hears it first.
    std::printf(asked ? "asked\n" : "unasked\n");
    std::fflush(stdout);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return asked ? 0 : 3;
}

int answerEachLine(const char *path)
{
    zampli::ResultsWriter writer(QString::fromUtf8(path), QStringLiteral("/tmp/zampli"), [](const QString &line) {
        std::fprintf(stderr, "%s\n", qPrintable(line));
    });
    writer.sessionStarted();
    char line[64];
    for (int n = 1; std::fgets(line, sizeof line, stdin);) {
        writer.record({.atMs = QDateTime::currentMSecsSinceEpoch(), .window = "FormZampli3", .turn = n++,
                       .asked = "E", .chosen = "I", .chosenAs = zampli::Shown::Letter, .chosenStyle = 1});
    }
    return 0;
}

int readAsTheTeacher(const char *path)
{
    zampli::ResultsReader reader;
    if (!reader.open(QString::fromUtf8(path))) {
        std::printf("refused: %s\n", qPrintable(reader.error()));
        return 0;
    }
    reader.sessions();
    reader.vowelsBySession();
    reader.problems(false);
    reader.children();
    zampli::ClassReader(reader).classOverview();
    zampli::ClassReader(reader).practiseNext();
    std::printf("read\n");
    return 0;
}

int stopTheReads()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.sqlite"));
    {
        zampli::SqliteDb made;
        if (made.open(path, false) != SQLITE_OK || made.exec("CREATE TABLE t(x)") != SQLITE_OK)
            return 1;
    }
    std::atomic<bool> reading = false; // waited on, never polled
    int rc = -1;
    std::thread reader([&] {
        zampli::SqliteDb db;
        if (db.open(path, true) != SQLITE_OK)
            return;
        reading = true;
        reading.notify_one();
        db.number("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c", &rc);
    });
    reading.wait(false);
    zampli::stopReads();
    reader.join();
    zampli::SqliteDb later;
    std::printf("%d %d\n", rc, later.open(path, true));
    return 0;
}

int playOnce(const char *path)
{
    {
        zampli::ResultsWriter writer(QString::fromUtf8(path), QStringLiteral("/tmp/zampli"), [](const QString &line) {
            std::fprintf(stderr, "%s\n", qPrintable(line));
        });
        writer.sessionStarted();
        writer.record({.atMs = QDateTime::currentMSecsSinceEpoch(), .window = "FormZampli3", .asked = "O",
                       .chosen = "O", .right = true});
    }
    std::printf("ended\n");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "lock") == 0)
        return holdLock(argv[2], atoi(argv[3]));
    if (argc == 3 && qstrcmp(argv[1], "answer") == 0)
        return answerEachLine(argv[2]);
    if (argc == 3 && qstrcmp(argv[1], "read") == 0)
        return readAsTheTeacher(argv[2]);
    if (argc == 2 && qstrcmp(argv[1], "stop") == 0)
        return stopTheReads();
    if (argc == 3 && qstrcmp(argv[1], "play") == 0)
        return playOnce(argv[2]);
    std::fprintf(stderr, "usage: results_helper lock <database> <ms> | answer <database> | read <database> | stop | "
                         "play <database>\n");
    return 2;
}
