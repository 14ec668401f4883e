// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Twips.h"

#include <algorithm>

namespace zampli {

namespace {
constexpr qreal kScreenShare = 0.85;
}

QRect DesignFit::map(const QRect &twips) const
{
    // Map the edges, not the size, so neighbouring controls never overlap by rounding.
    const int left = offset.x() + map(twips.x());
    const int top = offset.y() + map(twips.y());
    const int right = offset.x() + map(twips.x() + twips.width());
    const int bottom = offset.y() + map(twips.y() + twips.height());
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

DesignFit fitDesign(const QSize &designTwips, const QSize &areaPixels)
{
    if (designTwips.isEmpty() || areaPixels.isEmpty())
        return {};
    const qreal s = std::min(qreal(areaPixels.width()) / designTwips.width(),
                             qreal(areaPixels.height()) / designTwips.height());
    const QPoint offset(qRound((areaPixels.width() - designTwips.width() * s) / 2),
                        qRound((areaPixels.height() - designTwips.height() * s) / 2));
    return {s, offset};
}

qreal openingScale(const QSize &designTwips, const QSize &screenAvailable, const QSize &extraPixels)
{
    if (designTwips.isEmpty() || screenAvailable.isEmpty())
        return kDesignPixelsPerTwip;
    const qreal w = screenAvailable.width() * kScreenShare - extraPixels.width();
    const qreal h = screenAvailable.height() * kScreenShare - extraPixels.height();
    return std::max(0.01, std::min(w / designTwips.width(), h / designTwips.height()));
}

} // namespace zampli
