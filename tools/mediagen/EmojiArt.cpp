// SPDX-License-Identifier: GPL-3.0-or-later
#include "EmojiArt.h"

#include "Canvas.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>

namespace mediagen {

namespace {

// The font's colour bitmaps are drawn at this size; drawing there and
// scaling the picture afterwards looks smoother than asking for a huge font.
constexpr int nativePixelSize = 109;
constexpr int margin = 20;
constexpr qreal maxZoom = 4.0;

bool isJoinerOrSelector(char32_t c)
{
    return c == 0x200D || c == 0xFE0F || c == 0xFE0E || (c >= 0x1F3FB && c <= 0x1F3FF);
}

} // namespace

EmojiArt::EmojiArt()
    : font_(QStringLiteral("Noto Color Emoji"))
{
    font_.setPixelSize(nativePixelSize);
    if (QFontInfo(font_).family() != font_.family())
        error_ = QStringLiteral("font \"Noto Color Emoji\" not found");
}

bool EmojiArt::covers(const QString &emoji) const
{
    const QFontMetricsF metrics(font_);
    for (const char32_t c : emoji.toUcs4()) {
        if (!isJoinerOrSelector(c) && !metrics.inFontUcs4(c))
            return false;
    }
    return true;
}

QImage EmojiArt::render(const QString &emoji) const
{
    const int side = nativePixelSize * 3;
    QImage art(side, side, QImage::Format_ARGB32_Premultiplied);
    art.fill(Qt::transparent);
    {
        QPainter painter(&art);
        painter.setFont(font_);
        painter.drawText(art.rect(), Qt::AlignCenter, emoji);
    }
    return centreOnWhite(art, pictureSize, margin, maxZoom);
}

} // namespace mediagen
