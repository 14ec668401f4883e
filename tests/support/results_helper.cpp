// SPDX-License-Identifier: GPL-3.0-or-later
// A second program for the results tests, so that locks and a sudden end
// happen in another process as they would on a real machine.
//   results_helper lock <database> <ms>: holds the write lock until a line
//     (or the end) comes on stdin; prints "locked" once it holds it and, just
//     before letting go, "asked" or, when <ms> passed unasked, "unasked"
//     (and ends with 3): a test left stuck on the lock ends instead of hanging
//   results_helper answer <database>: records answers until killed, printing
//     "<number> <UTC ms>" once each is handed to the writer
#include "results/ResultsWriter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <cstdio>
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

int answerForever(const char *path)
{
    zampli::ResultsWriter writer(QString::fromUtf8(path), QStringLiteral("/tmp/zampli"), [](const QString &line) {
        std::fprintf(stderr, "%s\n", qPrintable(line));
    });
    writer.sessionStarted();
    for (int n = 1;; ++n) {
        zampli::AnswerRecord a;
        a.atMs = QDateTime::currentMSecsSinceEpoch();
        a.window = QStringLiteral("FormZampli3");
        a.turn = n;
        a.asked = QStringLiteral("E");
        a.chosen = QStringLiteral("I");
        a.chosenAs = zampli::Shown::Letter;
        a.chosenStyle = 1;
        writer.record(a);
        std::printf("%d %lld\n", n, static_cast<long long>(a.atMs));
        std::fflush(stdout);
        QThread::msleep(2); // a busy child, faster than any real one
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "lock") == 0)
        return holdLock(argv[2], atoi(argv[3]));
    if (argc == 3 && qstrcmp(argv[1], "answer") == 0)
        return answerForever(argv[2]);
    std::fprintf(stderr, "usage: results_helper lock <database> <ms> | answer <database>\n");
    return 2;
}
