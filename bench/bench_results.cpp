// SPDX-License-Identifier: GPL-3.0-or-later
// What keeping the child's answers costs: the time added on the window's
// thread per answer, also while another program holds the file's lock for
// 10 s, the file's size per 10,000 answers, and the adult's
// queries over 100,000 answers, and the class's over 30 children's 600,000.
//   bench_results [answers for the queries, 100000 by default] [--senza-classe]
#include "ClassOfAnswers.h"
#include "MonthOfAnswers.h"

#include "results/ClassReader.h"
#include "results/ResultsWriter.h"
#include "results/Sqlite.h"
#include "shell/AnswerRecorder.h"
#include "state/WrittenAnswerLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <thread>
#include <vector>

using namespace zampli;

namespace {

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::size_t(p * double(v.size() - 1))];
}

ResultsFile::Report loud()
{
    return [](const QString &line) { std::fprintf(stderr, "%s\n", qPrintable(line)); };
}

// What a window's answer handler does beyond judging: the recorder fills the
// answer in and hands it to the writer's queue. The time it took, in ms.
double recordMs(AnswerRecorder &recorder, int i)
{
    QElapsedTimer t;
    t.start();
    recorder.record(i % 3 ? Answer::Wrong : Answer::Right, {QStringLiteral("E"), QStringLiteral("I")}, 1);
    return double(t.nsecsElapsed()) / 1e6;
}

// Answers while the writer thread writes the earlier ones. One answer
// every 50 µs keeps it busy.
void perAnswer(const QString &path)
{
    ResultsWriter writer(path, QStringLiteral("bench"), loud());
    WrittenAnswerLog log(writer);
    AnswerRecorder recorder(log, FormId::Zampli3);
    recorder.questionAsked();
    std::vector<double> ms;
    constexpr int kAnswers = 20000;
    ms.reserve(kAnswers);
    QElapsedTimer pace;
    pace.start();
    for (int i = 0; i < kAnswers; ++i) {
        while (pace.nsecsElapsed() < qint64(i) * 50000) {
        }
        ms.push_back(recordMs(recorder, i));
    }
    const bool written = writer.sync();
    std::printf("per answer on the window's thread: median %.4f ms, 99th %.4f ms, max %.3f ms (goal: median < 0.1 ms)%s\n",
                percentile(ms, 0.5), percentile(ms, 0.99), percentile(ms, 1.0), written ? "" : " NOT WRITTEN");
}

// Answers every 50 ms, as a quick child gives them, while another
// connection holds the file's write lock for 10 s: the writer meets the lock
// at every round, the window's thread must not notice it.
void perAnswerWhileLocked(const QString &path)
{
    int told = 0; // "occupato", once the writer has met the lock
    ResultsWriter writer(path, QStringLiteral("bench"), [&told](const QString &) { ++told; });
    WrittenAnswerLog log(writer);
    AnswerRecorder recorder(log, FormId::Zampli3);
    recorder.questionAsked();
    recordMs(recorder, 0);
    SqliteDb other;
    if (!writer.sync() || other.open(path, false) != SQLITE_OK || other.exec("BEGIN EXCLUSIVE") != SQLITE_OK) {
        std::printf("per answer while locked: cannot lock %s\n", qPrintable(path));
        return;
    }
    std::vector<double> ms;
    QElapsedTimer held;
    held.start();
    while (held.elapsed() < 10000) {
        ms.push_back(recordMs(recorder, int(ms.size())));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    other.exec("COMMIT");
    const bool written = writer.sync();
    std::printf("per answer on the window's thread, the file locked for 10 s: %zu answers, median %.4f ms, "
                "max %.3f ms (goal: max < 16 ms, within a frame)%s%s\n",
                ms.size(), percentile(ms, 0.5), percentile(ms, 1.0), written ? "" : " NOT WRITTEN",
                told == 1 ? "" : " LOCK NOT MET ONCE");
}

// The main file once the log is folded into it, per 10,000 answers.
void sizePer10000(const QString &path)
{
    int answers = 0;
    {
        ResultsWriter writer(path, QStringLiteral("bench"), loud());
        answers = writeMonthOfAnswers(writer, {QDate(2024, 3, 31), 30, 10000, 7});
    }
    SqliteDb db;
    db.open(path, false);
    db.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    const double mb = double(QFileInfo(path).size()) / 1e6;
    std::printf("database size: %.2f MB for %d answers, %.2f MB per 10,000\n", mb, answers, mb * 10000 / answers);
}

template <class F>
void timed(const char *what, F &&f)
{
    std::vector<double> ms;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("  %-34s median %7.1f ms\n", what, percentile(ms, 0.5));
}

void queries(const QString &path, int wanted, const QString &csv)
{
    int answers = 0;
    {
        ResultsWriter writer(path, QStringLiteral("bench"), loud());
        answers = writeMonthOfAnswers(writer, {QDate(2024, 3, 31), 30, wanted, 11});
    }
    ResultsReader r;
    if (!r.open(path)) {
        std::printf("queries: cannot open: %s\n", qPrintable(r.error()));
        return;
    }
    std::printf("queries over %d answers:\n", answers);
    timed("sessions", [&] { r.sessions(); });
    timed("right and wrong per session and vowel", [&] { r.vowelsBySession(); });
    timed("a matrix per kind of question", [&] { r.confusionByKind(); });
    timed("most missed words", [&] { r.mostMissedWords(10); });
    timed("one week per session and vowel",
          [&] { r.vowelsBySession({.fromMs = QDateTime(QDate(2024, 3, 25), QTime(0, 0)).toMSecsSinceEpoch()}); });
    timed("CSV export", [&] { r.exportCsv(csv); });
}

// A class's year on one computer: 30 children, 200 days, 100 answers a day.
void classQueries(const QString &path)
{
    QElapsedTimer made;
    made.start();
    QString error;
    const int answers = writeClassOfAnswers(path, {QDate(2024, 5, 31)}, error);
    if (answers < 0) {
        std::printf("class: not written: %s\n", qPrintable(error));
        return;
    }
    std::printf("class of 30 children, %d answers, written in %.1f s:\n", answers, double(made.elapsed()) / 1000);
    ResultsReader r;
    if (!r.open(path)) {
        std::printf("class: cannot open: %s\n", qPrintable(r.error()));
        return;
    }
    const qint64 child = r.children().value(7).id;
    ClassReader c(r);
    timed("class overview", [&] { c.classOverview(); });
    timed("what to practise next", [&] { c.practiseNext(); });
    timed("one child's sessions", [&] { r.sessions({.childId = child}); });
    timed("one child's matrices", [&] { r.confusionByKind({.childId = child}); });
    timed("one child's practise next", [&] { c.practiseNext({.childId = child}); });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int wanted = argc > 1 && atoi(argv[1]) > 0 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    perAnswer(dir.filePath("clicks.sqlite"));
    perAnswerWhileLocked(dir.filePath("locked.sqlite"));
    sizePer10000(dir.filePath("size.sqlite"));
    queries(dir.filePath("queries.sqlite"), wanted, dir.filePath("risultati.csv"));
    if (!args.contains(QStringLiteral("--senza-classe")))
        classQueries(dir.filePath("classe.sqlite"));
    return 0;
}
