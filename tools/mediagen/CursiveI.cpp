#include "LetterArt.h"

#include <QFontMetricsF>
#include <QPainterPathStroker>

namespace mediagen {

namespace {

QPainterPath stroked(const QPainterPath &centreLine, qreal width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(centreLine);
}

} // namespace

// A slanted stem between two wavy bars, one on top and one on the line:
// the bars make it an I at a glance, and nothing hangs below the line.
// Drawn in units of the typeface's cap height, its stem and hairlines as
// thick as the typeface's own.
QPainterPath cursiveCapitalI(const QFont &cursive)
{
    const qreal h = QFontMetricsF(cursive).capHeight();
    const auto at = [h](qreal x, qreal y) { return QPointF(x * h, -y * h); };

    QPainterPath top(at(0.02, 0.86));
    top.cubicTo(at(0.00, 1.00), at(0.22, 1.02), at(0.36, 0.96));
    top.cubicTo(at(0.48, 0.91), at(0.58, 0.92), at(0.70, 1.00));

    QPainterPath stem(at(0.38, 0.95));
    stem.cubicTo(at(0.36, 0.60), at(0.33, 0.30), at(0.30, 0.02));

    QPainterPath foot(at(0.00, 0.08));
    foot.cubicTo(at(0.10, 0.00), at(0.20, -0.01), at(0.30, 0.02));
    foot.cubicTo(at(0.42, 0.05), at(0.52, 0.06), at(0.62, 0.00));
    foot.cubicTo(at(0.66, -0.02), at(0.68, 0.04), at(0.64, 0.08));

    QPainterPath letter;
    letter.setFillRule(Qt::WindingFill);
    letter.addPath(stroked(top, 0.03 * h));
    letter.addPath(stroked(stem, 0.07 * h));
    letter.addPath(stroked(foot, 0.03 * h));
    return letter;
}

} // namespace mediagen
