// SPDX-License-Identifier: GPL-3.0-or-later
// The Risultati tab over a year of a class (600,000 answers by default): the
// time from a change of filter to the new picture on screen, the longest the
// window's thread stalls meanwhile (the lateness of a 5 ms timer), and, on an
// X server, the teacher's program's start to its window mapped with that file.
// Each figure twice: read from the summaries, and from the answers themselves
// (a copy of the file whose summaries are marked as not telling its answers,
// with the reader's indexes added). Also the time to summarise the year anew,
// as for a file written by an older version.
//   bench_results_pictures [answers, 600000 by default]
#include "MonthOfAnswers.h"
#include "tabs/results/ResultsTab.h"

#include "results/ResultsReader.h"
#include "results/ResultsWriter.h"
#include "results/Schema.h"
#include "results/Sqlite.h"
#include "results/Summaries.h"

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace zampli;
using namespace zampli::teacher;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void run(SqliteDb &db, const QString &sql)
{
    if (db.exec(sql.toUtf8().constData()) != 0)
        qFatal("%s: %s", qPrintable(sql), qPrintable(db.message()));
}

// A month of the generator written twelve times a month apart, each session
// given to one of 25 children: the file of a class after a school year.
int writeYear(const QString &path, const QString &folder, int answers)
{
    {
        ResultsWriter writer(path, folder, [](const QString &l) { qFatal("%s", qPrintable(l)); });
        writeMonthOfAnswers(writer, {QDate::currentDate(), 30, answers / 12, 1});
    }
    SqliteDb db;
    if (db.open(path, false) != 0)
        qFatal("cannot open %s", qPrintable(path));
    const qint64 sessions = db.number("SELECT max(id) FROM sessions");
    const qint64 month = 30LL * 24 * 3600 * 1000;
    run(db, QStringLiteral("BEGIN"));
    for (int k = 1; k < 12; ++k) {
        run(db, QStringLiteral("INSERT INTO sessions(id, started_ms, ended_ms, program_folder)"
                               " SELECT id + %1, started_ms - %2, ended_ms - %2, program_folder FROM sessions"
                               " WHERE id <= %3")
                    .arg(k * sessions).arg(k * month).arg(sessions));
        run(db, QStringLiteral("INSERT INTO answers(session_id, at_ms, window, turn, asked, asked_as, asked_style,"
                               " word, chosen, chosen_as, chosen_style, right, answer_ms)"
                               " SELECT session_id + %1, at_ms - %2, window, turn, asked, asked_as, asked_style,"
                               " word, chosen, chosen_as, chosen_style, right, answer_ms FROM answers"
                               " WHERE session_id <= %3")
                    .arg(k * sessions).arg(k * month).arg(sessions));
    }
    run(db, QStringLiteral("UPDATE sessions SET label = 'Bambino ' || (id % 25 + 1)"));
    // Rows put in by another program than the child's: counted as any importer counts them.
    if (catchUpSummaries(db) != 0)
        qFatal("cannot summarise %s: %s", qPrintable(path), qPrintable(db.message()));
    run(db, QStringLiteral("COMMIT"));
    run(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return int(db.number("SELECT count(*) FROM answers"));
}

// The summaries of the year made again from its answers, as for a file of an older version.
void summariseAnew(const QString &path, int answers)
{
    SqliteDb db;
    if (db.open(path, false) != 0)
        qFatal("cannot open %s", qPrintable(path));
    run(db, QStringLiteral("DELETE FROM summary_mark"));
    QElapsedTimer t;
    t.start();
    if (catchUpSummaries(db) != 0)
        qFatal("cannot summarise %s: %s", qPrintable(path), qPrintable(db.message()));
    std::printf("summaries of %d answers made anew: %.0f ms (once, on the first opening of an older file)\n", answers,
                double(t.nsecsElapsed()) / 1e6);
    run(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

// The lateness of a 5 ms timer: how long the window's thread answered nothing.
class StallMeter {
public:
    StallMeter()
    {
        timer_.setInterval(5);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        worst_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    double stop()
    {
        tick();
        timer_.stop();
        return worst_;
    }

private:
    void tick()
    {
        const double now = double(clock_.nsecsElapsed()) / 1e6;
        worst_ = std::max(worst_, now - last_ - 5);
        last_ = now;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    double last_ = 0, worst_ = 0;
};

// Events until the tab's matrix is no longer `before`, or 60 s.
bool waitForNewPicture(ResultsTab &tab, const ConfusionMatrix &before)
{
    QElapsedTimer limit;
    limit.start();
    while (tab.matrix() == before && limit.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return tab.matrix() != before;
}

// The first reading of the file, then from the teacher's change of the
// first day to the new picture painted.
void filterChanges(ResultsTab &tab, int answers, const char *read)
{
    auto *from = tab.findChild<QDateEdit *>(QStringLiteral("dal"));
    if (!from)
        qFatal("no first-day filter");
    QElapsedTimer first;
    first.start();
    tab.show();
    if (!waitForNewPicture(tab, ConfusionMatrix{}))
        qFatal("the tab showed nothing");
    std::printf("Risultati tab, %d answers, %s: first picture %.0f ms after the tab shows (goal under 300 ms)\n",
                answers, read, double(first.nsecsElapsed()) / 1e6);
    const QDate days[] = {QDate::currentDate().addDays(-7), QDate::currentDate().addYears(-1)};
    StallMeter meter;
    std::vector<double> ms, stalls;
    for (int i = 0; i < 8; ++i) {
        const ConfusionMatrix before = tab.matrix();
        meter.start();
        QElapsedTimer t;
        t.start();
        from->setDate(days[i % 2]);
        if (!waitForNewPicture(tab, before))
            qFatal("no new picture after a change of filter");
        tab.repaint();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        stalls.push_back(meter.stop());
    }
    std::printf("Risultati tab, %d answers, %s: change of filter to new picture median %.0f ms (goal under 100 ms), "
                "longest %.0f ms; window's thread stalled at most %.0f ms (median of the worst %.0f ms; goal under "
                "50 ms)\n",
                answers, read, median(ms), *std::max_element(ms.begin(), ms.end()),
                *std::max_element(stalls.begin(), stalls.end()), median(stalls));
}

// The program placed beside this benchmark, on its own folder whose results
// file is the year just written; timed by the start timer on the X server.
void startUp(const QString &state, const QString &config, const char *read)
{
    const QString bin = QCoreApplication::applicationDirPath();
    if (qEnvironmentVariableIsEmpty("DISPLAY") || !QFile::exists(bin + QStringLiteral("/bench_start_timer"))) {
        std::printf("teacher's start with this file: not measured (needs an X server and bench_start_timer)\n");
        return;
    }
    QProcess timer;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_STATE_HOME"), state);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config); // no folder remembered: the program's own
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    timer.setProcessEnvironment(env);
    timer.setProcessChannelMode(QProcess::ForwardedChannels);
    std::printf("teacher's start with this file, %s (zampli-insegnante against a bare window; goal under 1.25x):\n",
                read);
    std::fflush(stdout);
    timer.start(bin + QStringLiteral("/bench_start_timer"),
                {bin + QStringLiteral("/zampli-insegnante"), bin + QStringLiteral("/bench_floor_window"),
                 QStringLiteral("5")});
    timer.waitForFinished(300000);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int wanted = argc > 1 ? std::atoi(argv[1]) : 600000;
    QTemporaryDir state, config, folder;
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    QDir().mkpath(resultsFolder());
    const QString year = resultsDatabasePath(resultsFolder(), folder.path());
    const int answers = writeYear(year, folder.path(), wanted);
    summariseAnew(year, answers);
    // The same year whose views read the answers themselves.
    QTemporaryDir rawFolder;
    const QString raw = resultsDatabasePath(resultsFolder(), rawFolder.path());
    if (!QFile::copy(year, raw))
        qFatal("cannot copy the year to %s", qPrintable(raw));
    {
        SqliteDb db;
        if (db.open(raw, false) != 0)
            qFatal("cannot open %s", qPrintable(raw));
        run(db, QStringLiteral("UPDATE summary_mark SET odd = 1"));
    }
    if (!ResultsReader::addIndexes(raw))
        qFatal("cannot add the reader's indexes to %s", qPrintable(raw));
    for (const auto &[path, read] : {std::pair{folder.path(), "summaries"}, std::pair{rawFolder.path(), "answers"}}) {
        ResultsTab tab(path);
        tab.resize(1100, 700);
        filterChanges(tab, answers, read);
    }
    // The same year for the program's own folder, where it looks when started bare.
    const QString own = resultsDatabasePath(resultsFolder(), QCoreApplication::applicationDirPath());
    for (const auto &[path, read] : {std::pair{year, "summaries"}, std::pair{raw, "answers"}}) {
        QFile::remove(own);
        if (!QFile::copy(path, own))
            qFatal("cannot copy the year to %s", qPrintable(own));
        startUp(state.path(), config.path(), read);
    }
    QFile::remove(own);
    return 0;
}
