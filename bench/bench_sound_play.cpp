// SPDX-License-Identifier: GPL-3.0-or-later
// How long a click that plays a sound holds the window thread: from the
// click to play() returning. The sound thread does the real work; here only
// the posting is measured. Run it with an audio server to see the worst case
// (PULSE_SERVER may point at any server, or at none). Then how long closing
// a player holds the window thread.
#include "media/ProblemLog.h"
#include "sound/WavSoundPlayer.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

using namespace zampli;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWarmUp = 100;
constexpr int kRuns = 1000;
constexpr double kLimitUs = 1000;
// Closing waits for the sound thread; a stuck one would take seconds.
constexpr double kCloseLimitMs = 400;

double percentile(std::vector<double> values, double p)
{
    const auto at = values.begin() + std::ptrdiff_t(p * double(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

// A player asked to play `path`, then closed at once: the time closing takes.
double closingMs(ProblemLog &log, const QString &path)
{
    auto player = std::make_unique<WavSoundPlayer>(log);
    player->play(path);
    const auto start = Clock::now();
    player.reset();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QStringList sounds{dir.filePath("uno.wav"), dir.filePath("due.wav")};
    for (const QString &path : sounds) {
        if (!QFile::copy(QStringLiteral(":/sounds/alert.wav"), path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 2;
        }
    }

    ProblemLog log;
    WavSoundPlayer player(log);
    QPushButton button(QStringLiteral("Ascolta"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked,
                     [&] { player.play(sounds.at(clicks++ % sounds.size())); });

    std::vector<double> micros;
    micros.reserve(kRuns);
    for (int i = 0; i < kWarmUp + kRuns; ++i) {
        const auto start = Clock::now();
        button.click();
        const auto took = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        if (i >= kWarmUp)
            micros.push_back(took);
        // Clicks come apart; let the sound thread catch up as it would.
        app.processEvents();
        QThread::msleep(2);
    }

    const double median = percentile(micros, 0.5);
    const double p95 = percentile(micros, 0.95);
    std::printf("click to play() returning, %d runs: median %.1f us, p95 %.1f us, max %.1f us\n",
                kRuns, median, p95, *std::max_element(micros.begin(), micros.end()));
    const double closeMs = closingMs(log, sounds.front());
    std::printf("closing a player that has just been asked to play: %.1f ms\n", closeMs);
    return median < kLimitUs && closeMs < kCloseLimitMs ? 0 : 1;
}
