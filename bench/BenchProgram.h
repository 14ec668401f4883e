// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A whole program for timing: the program folder's own media (the benchmarks
// sit beside the program), no message boxes, a generator and a clock of its
// own, and silent sound unless a player is handed in.

#include "app/Programma.h"
#include "media/ProblemLog.h"
#include "media/SoundPlayer.h"
#include "ProcMemory.h"
#include "Settle.h"
#include "shell/Controls.h"
#include "shell/Form.h"
#include "state/AnswerLog.h"
#include "state/Clock.h"
#include "state/MessageBoxes.h"
#include "rules/Random.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <malloc.h>
#include <vector>

namespace zampli::bench {

struct SilentPlayer final : SoundPlayer {
    void play(const QString &) override {}
};

struct NoBoxes final : MessageBoxes {
    MessageBox::Answer show(const MessageBox &, QWidget *) override { return MessageBox::Answer::No; }
};

// The real clock, put forward on demand so a voice's wait is over at once.
struct BenchClock final : Clock {
    SystemClock system;
    double ahead = 0;
    double secondsSinceMidnight() const override
    {
        return std::fmod(system.secondsSinceMidnight() + ahead, kSecondsPerDay);
    }
};

struct BenchProgram {
    SystemRandom random{1};
    BenchClock clock;
    SilentPlayer silent;
    NoBoxes boxes;
    ProblemLog problems;
    NoAnswerLog noAnswers;
    Programma program;
    Modulo1 &m = program.modulo;

    explicit BenchProgram(SoundPlayer *sound = nullptr, AnswerLog *answers = nullptr)
        : program(Services{random, clock, sound ? *sound : silent, boxes, problems, answers ? *answers : noAnswers,
                           MediaPaths(QCoreApplication::applicationDirPath()), [] {}})
    {
    }
};

// Deletes the windows that closed: unloading leaves them to the event loop.
inline void deleteClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The heap in use (live allocations, from the allocator) and the resident
// size, in MB: the first moves only with what the program holds.
struct Memory {
    double heap = 0, rss = 0;
};
inline Memory memoryNow()
{
    const struct mallinfo2 m = mallinfo2();
    return {double(m.uordblks + m.hblkhd) / (1024.0 * 1024.0), proc::rssMb()};
}

struct Timings {
    double median = 0, p99 = 0;
};

// Runs `step` and lets the event loop finish the event as it would after a
// click: the window repaints what changed. `runs` times after 20 for warm-up;
// the median and the 99th percentile in milliseconds.
template <class Step> Timings timeRuns(int runs, Step step)
{
    std::vector<double> ms;
    for (int i = 0; i < 20 + runs; ++i) {
        QElapsedTimer t;
        t.start();
        step(i);
        QCoreApplication::processEvents();
        if (i >= 20)
            ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 99 / 100)]};
}

} // namespace zampli::bench
