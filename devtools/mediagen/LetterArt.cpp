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
    const qreal x = QFontMetricsF(cursive).xHeight();
    const qreal stem = stemWidth(cursive);
    // In units of the x-height from the letter's left, baseline at 0, upwards
    // positive; every line begins on the baseline left of the letter.
    const auto at = [x](qreal px, qreal py) { return QPointF(px * x, -py * x); };
    QPainterPath line(at(-0.55, 0.04));
    QPainterPath dot;
    switch (letter.unicode()) {
    case 'a':
    case 'o': {
        // Up beside the round and over its top, never across it; round
        // anticlockwise from the top. The a goes on up and down its stem,
        // the o out to the right in a small loop at its top.
        const qreal top = letter == QLatin1Char('a') ? 0.48 : 0.36;
        line.cubicTo(at(-0.30, 0.60), at(-0.05, 1.05), at(top, 1.0));
        line.cubicTo(at(top - 0.30, 1.0), at(0.0, 0.80), at(0.0, 0.48));
        line.cubicTo(at(0.0, 0.18), at(0.14, 0.0), at(0.34, 0.0));
        line.cubicTo(at(0.56, 0.0), at(0.72, 0.24), at(0.72, 0.52));
        if (letter == QLatin1Char('a')) {
            line.cubicTo(at(0.72, 0.70), at(0.72, 0.86), at(0.72, 1.0));
            line.lineTo(at(0.72, 0.22));
            line.cubicTo(at(0.72, 0.02), at(0.86, -0.02), at(1.10, 0.34));
        } else {
            line.cubicTo(at(0.72, 0.80), at(0.56, 1.0), at(top, 1.0));
            line.cubicTo(at(0.50, 0.90), at(0.70, 0.86), at(1.02, 0.90));
        }
        break;
    }
    case 'e':
        // Up to the right, round the top loop back to the left, down and
        // round the bottom and out to the right.
        line.cubicTo(at(-0.15, 0.04), at(0.25, 0.30), at(0.46, 0.60));
        line.cubicTo(at(0.58, 0.80), at(0.48, 1.0), at(0.28, 1.0));
        line.cubicTo(at(0.08, 1.0), at(-0.02, 0.76), at(0.0, 0.50));
        line.cubicTo(at(0.0, 0.16), at(0.16, 0.0), at(0.36, 0.0));
        line.cubicTo(at(0.52, 0.0), at(0.64, 0.14), at(0.74, 0.36));
        break;
    case 'i':
        // Up to the top of the stem, down it, round its foot and out; the dot above.
        line.cubicTo(at(-0.10, 0.04), at(0.0, 0.60), at(0.06, 1.0));
        line.lineTo(at(0.06, 0.22));
        line.cubicTo(at(0.06, 0.02), at(0.22, -0.02), at(0.48, 0.36));
        dot.addEllipse(at(0.10, 1.45), stem * 0.62, stem * 0.62);
        break;
    default: {
        // u: up to the first stem, down and round the foot, up to the top
        // again, down the second stem and out in a flick.
        line.cubicTo(at(-0.10, 0.04), at(0.0, 0.60), at(0.0, 1.0));
        line.cubicTo(at(0.0, 0.50), at(-0.08, 0.20), at(0.10, 0.08));
        line.cubicTo(at(0.25, 0.0), at(0.70, 0.0), at(0.80, 0.35));
        line.lineTo(at(0.80, 1.0));
        line.lineTo(at(0.80, 0.20));
        line.cubicTo(at(0.80, 0.0), at(1.0, 0.0), at(1.25, 0.40));
        break;
    }
    }
    QPainterPathStroker pen;
    pen.setWidth(stem);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    QPainterPath whole = pen.createStroke(line);
    whole.addPath(dot);
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
