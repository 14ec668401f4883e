// SPDX-License-Identifier: GPL-3.0-or-later
#include "LetterArt.h"

#include "Canvas.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>

namespace mediagen {

namespace {

constexpr qreal margin = 36.0 * LetterArt::pictureSize.width() / LetterArt::unitWidth;

QPainterPath glyph(const QFont &font, QChar letter)
{
    // Glyph contours may overlap; even-odd filling would punch holes there.
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addText(0, 0, font, QString(letter));
    return path;
}

// The typeface's stem: the width of the small i at half the x-height,
// read in tenths of a pixel across the glyph.
qreal stemWidth(const QFont &font)
{
    const QPainterPath i = glyph(font, QLatin1Char('i'));
    const QRectF box = i.boundingRect();
    const qreal middle = -QFontMetricsF(font).xHeight() / 2;
    constexpr qreal step = 0.1;
    qreal widest = 0, run = 0;
    for (qreal x = box.left(); x <= box.right(); x += step) {
        run = i.contains(QPointF(x, middle)) ? run + step : 0;
        widest = std::max(widest, run);
    }
    return widest;
}

} // namespace

QPainterPath cursiveSmallWithEntry(const QFont &cursive, QChar letter)
{
    const QPainterPath own = glyph(cursive, letter);
    const QRectF box = own.boundingRect();
    const qreal x = QFontMetricsF(cursive).xHeight();
    const qreal stem = stemWidth(cursive);
    // From the baseline, left of the letter, up to where the pen meets it:
    // the top of the first stem for i and u, the eye's left side for e.
    // For a and o it rises beside the round and comes over its top, never
    // across it.
    const QPointF start(box.left() - x * 0.55, -stem / 2);
    QPainterPath entry(start);
    switch (letter.unicode()) {
    case 'a':
    case 'o': {
        const QPointF top(box.left() + box.width() * (letter == QLatin1Char('a') ? 0.6 : 0.5), -x + stem / 2);
        entry.cubicTo(QPointF(box.left() - x * 0.3, -x * 0.75), QPointF(box.left() + box.width() * 0.1, -x * 1.2),
                      top);
        break;
    }
    case 'e': entry.quadTo(QPointF(box.left() - x * 0.1, start.y()), QPointF(box.left() + stem / 2, -x * 0.45)); break;
    default: entry.quadTo(QPointF(box.left() - x * 0.1, start.y()), QPointF(box.left() + stem / 2, -x + stem / 2)); break;
    }
    QPainterPathStroker pen;
    pen.setWidth(stem);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (letter == QLatin1Char('u')) {
        // On from the entry: down the first stem, round the foot, up to the
        // top again, down the second stem and out in a flick.
        const qreal first = box.left() + stem / 2, second = first + x * 0.8, top = -x + stem / 2, foot = -stem / 2;
        entry.cubicTo(QPointF(first, -x * 0.5), QPointF(first - x * 0.08, -x * 0.2), QPointF(first + x * 0.1, -x * 0.08));
        entry.cubicTo(QPointF(first + x * 0.25, foot + stem * 0.2), QPointF(second - x * 0.1, foot),
                      QPointF(second, -x * 0.35));
        entry.lineTo(QPointF(second, top));
        entry.lineTo(QPointF(second, -x * 0.2));
        entry.cubicTo(QPointF(second, foot), QPointF(second + x * 0.2, foot), QPointF(second + x * 0.45, -x * 0.4));
        QPainterPath whole = pen.createStroke(entry);
        whole.setFillRule(Qt::WindingFill);
        return whole;
    }
    QPainterPath whole = own.united(pen.createStroke(entry));
    whole.setFillRule(Qt::WindingFill);
    return whole;
}

QFont LetterArt::referenceFont(const QString &family, bool bold, QString *error)
{
    QFont font(family);
    font.setPixelSize(referenceSize);
    font.setBold(bold);
    font.setKerning(false);
    if (QFontInfo(font).family() != family)
        *error = QStringLiteral("font \"%1\" not found").arg(family);
    return font;
}

LetterArt::LetterArt(const QFont &font, const QString &letters, qreal stroke,
                     QHash<QChar, QPainterPath> replacements)
    : font_(font)
    , stroke_(stroke * pictureSize.width() / unitWidth)
    , replacements_(std::move(replacements))
{
    scale_ = fitScale(letters);
}

QPainterPath LetterArt::outline(QChar letter) const
{
    const auto replaced = replacements_.constFind(letter);
    if (replaced != replacements_.cend())
        return *replaced;
    return glyph(font_, letter);
}

qreal LetterArt::fitScale(const QString &letters) const
{
    qreal width = 1, height = 1;
    for (const QChar letter : letters) {
        const QRectF box = outline(letter).boundingRect();
        width = std::max(width, box.width());
        height = std::max(height, box.height());
    }
    return std::min((pictureSize.width() - 2 * margin) / width,
                    (pictureSize.height() - 2 * margin) / height);
}

QImage LetterArt::render(QChar letter) const
{
    QImage canvas = whiteCanvas(pictureSize);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(pictureSize.width() / 2.0, pictureSize.height() / 2.0);
    painter.scale(scale_, scale_);
    const QPainterPath path = outline(letter);
    painter.translate(-path.boundingRect().center());
    painter.fillPath(path, Qt::black);
    if (stroke_ > 0) {
        const QPen pen(Qt::black, stroke_ / scale_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.strokePath(path, pen);
    }
    return canvas;
}

} // namespace mediagen
