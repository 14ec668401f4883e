// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The keyboard's focus ring as the X server shows it round a control.

#include <QImage>
#include <QScreen>
#include <QWidget>
#include <climits>

namespace zampli::test {

// How far either side of the edges of `w` the screen is read.
constexpr int kRingSearch = 40;

// The ring seen on screen across the edges of `w`: a light band then a dark
// one, read inwards across the middle of each side, from outside the control
// to within it (where the control meets the window's edge the ring comes
// inside). The thinnest of the four sides, in pixels; 0 where either band is
// missing or they come the other way round.
inline int ringOnScreen(const QWidget *w)
{
    const QPoint at = w->mapToGlobal(QPoint()) - QPoint(kRingSearch, kRingSearch);
    const QSize size = w->size() + QSize(2 * kRingSearch, 2 * kRingSearch);
    const QImage shot = w->screen()->grabWindow(0, at.x(), at.y(), size.width(), size.height()).toImage();
    const auto dark = [](QColor c) { return qMax(c.red(), qMax(c.green(), c.blue())) < 48; };
    const auto light = [](QColor c) { return qMin(c.red(), qMin(c.green(), c.blue())) > 207; };
    const int midX = shot.width() / 2, midY = shot.height() / 2;
    const int reach = 2 * kRingSearch;
    struct Side { QPoint from, step; };
    int thinnest = INT_MAX;
    for (const Side &s : {Side{{midX, 0}, {0, 1}}, Side{{0, midY}, {1, 0}}, Side{{midX, shot.height() - 1}, {0, -1}},
                          Side{{shot.width() - 1, midY}, {-1, 0}}}) {
        int best = 0;
        QPoint p = s.from;
        for (int i = 0; i < reach && shot.rect().contains(p); ++i, p += s.step) {
            if (!light(shot.pixelColor(p)))
                continue;
            int lightRun = 0, darkRun = 0;
            QPoint q = p;
            for (; shot.rect().contains(q) && light(shot.pixelColor(q)); q += s.step)
                ++lightRun;
            for (; shot.rect().contains(q) && dark(shot.pixelColor(q)); q += s.step)
                ++darkRun;
            if (darkRun)
                best = qMax(best, lightRun + darkRun);
            p = q - s.step;
            i += lightRun + darkRun - 1;
        }
        thinnest = qMin(thinnest, best);
    }
    return thinnest;
}

} // namespace zampli::test
