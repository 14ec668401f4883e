// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>
#include <QtMath>

namespace zampli {

// Design positions are twips: 1440 to the inch, 15 to a logical pixel at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr qreal kDesignPixelsPerTwip = 1.0 / kTwipsPerPixel;

// How a design of `design` twips fits into `area` pixels, keeping its proportions:
// the scale in pixels per twip and the offset that centres it.
struct DesignFit {
    qreal pixelsPerTwip = kDesignPixelsPerTwip;
    QPoint offset;

    QRect map(const QRect &twips) const;
    int map(int twips) const { return qRound(twips * pixelsPerTwip); }
    // A font size in points (1 point = 20 twips) as pixels at this scale.
    int fontPixels(qreal points) const { return qMax(1, qRound(points * 20 * pixelsPerTwip)); }
};

DesignFit fitDesign(const QSize &designTwips, const QSize &areaPixels);

// The scale at which a window first opens: comfortably inside the screen's free
// area (bigger than the design's 15 twips to a pixel on a large screen, never
// bigger than the screen). `extraPixels` is room the frame needs, e.g. a menu bar.
qreal openingScale(const QSize &designTwips, const QSize &screenAvailable, const QSize &extraPixels = {});

} // namespace zampli
