#pragma once

// A whole program for timing: silent sound, no message boxes, the real
// clock and generator, and a temporary media folder of full-size pictures.

#include "state/Clock.h"
#include "app/Programma.h"
#include "state/Random.h"
#include "media/ProblemLog.h"
#include "media/SoundPlayer.h"
#include "state/MessageBoxes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace zampli::bench {

struct SilentPlayer final : SoundPlayer {
    void play(const QString &) override {}
};

struct NoBoxes final : MessageBoxes {
    MessageBox::Answer show(const MessageBox &, QWidget *) override { return MessageBox::Answer::No; }
};

struct BenchProgram {
    QTemporaryDir folder;
    SystemRandom random{1};
    SystemClock clock;
    SilentPlayer sound;
    NoBoxes boxes;
    ProblemLog problems;
    Programma program{Services{random, clock, sound, boxes, problems, MediaPaths(folder.path()), [] {}}};
    Modulo1 &m = program.modulo;

    BenchProgram() { writeLetterPictures(); }

    // Letter pictures of the size the default media set has.
    void writeLetterPictures() const
    {
        const MediaPaths &media = m.services.media;
        QDir().mkpath(media.programFolder() + "/jpg");
        for (const char *l : {"A", "E", "I", "O", "U"})
            for (int style = 1; style <= 4; ++style) {
                QImage image(400, 380, QImage::Format_RGB32);
                image.fill(Qt::white);
                QPainter p(&image);
                QFont f(QStringLiteral("Arial"));
                f.setPixelSize(300);
                p.setFont(f);
                p.drawText(image.rect(), Qt::AlignCenter, QString::fromLatin1(l));
                p.end();
                image.save(media.letterPicture(QString::fromLatin1(l), style), "JPG", 90);
            }
    }
};

// Runs `step` and repaints `window` 220 times, the first 20 as a warm-up; prints the median and the 95th
// percentile after `label` and returns the median in milliseconds.
template <class Step> double timeRuns(const QString &label, QWidget *window, Step step)
{
    std::vector<double> ms;
    for (int i = 0; i < 220; ++i) {
        QElapsedTimer t;
        t.start();
        step();
        window->repaint();
        if (i >= 20)
            ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("%s, %zu runs: median %.2f ms, p95 %.2f ms\n", qPrintable(label), ms.size(), median,
                ms[ms.size() * 95 / 100]);
    return median;
}

} // namespace zampli::bench
