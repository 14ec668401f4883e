// SPDX-License-Identifier: GPL-3.0-or-later
#include "LetterArt.h"

#include <QFontMetricsF>
#include <QPainterPathStroker>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

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

// A pointed nib: thick where the line runs down, a hairline where it runs
// up or across, round at both ends. The width follows the direction, so a
// stroke swells and thins smoothly and no seam shows where it turns.
QPainterPath nibLine(const QPainterPath &line, qreal hair, qreal stem)
{
    constexpr int kSteps = 240;
    constexpr qreal kNear = 0.004; // of the line's length, for its direction
    const auto point = [&line](qreal t) { return line.pointAtPercent(std::clamp(t, 0.0, 1.0)); };
    const auto direction = [&](qreal t) {
        const QPointF d = point(t + kNear) - point(t - kNear);
        return d / std::max(1e-9, std::hypot(d.x(), d.y()));
    };
    // Screen y grows downwards.
    const auto width = [&](qreal t) { return hair + (stem - hair) * std::max(0.0, direction(t).y()); };
    QPolygonF left, right;
    for (int i = 0; i <= kSteps; ++i) {
        const qreal t = qreal(i) / kSteps;
        const QPointF d = direction(t);
        const QPointF offset = QPointF(-d.y(), d.x()) * (width(t) / 2);
        left << point(t) + offset;
        right.prepend(point(t) - offset);
    }
    QPainterPath ribbon;
    ribbon.addPolygon(left + right);
    ribbon.closeSubpath();
    for (const qreal t : {0.0, 1.0}) {
        QPainterPath cap;
        cap.addEllipse(point(t), width(t) / 2, width(t) / 2);
        ribbon = ribbon.united(cap);
    }
    return ribbon;
}

// Drawing in units of the typeface's cap height, baseline at 0, upwards
// positive, leaning right as the typeface's own capitals do, with a nib as
// thick as the typeface's stems and hairlines.
class Pen {
public:
    explicit Pen(const QFont &cursive) : h_(QFontMetricsF(cursive).capHeight()) {}

    QPointF at(qreal x, qreal y) const { return QPointF((x + kLean * y) * h_, -y * h_); }
    void draw(const QPainterPath &line) { letter_ = letter_.united(nibLine(line, 0.03 * h_, 0.075 * h_)); }
    const QPainterPath &letter() const { return letter_; }

private:
    static constexpr qreal kLean = 0.12;
    qreal h_;
    QPainterPath letter_;
};

} // namespace

// A pointed arch: a hairline up from the line to the top, a stem down to
// the line that ends in a short flick up and away, and a bar across. The
// leg stays open: a loop at its foot would read as "Ab".
QPainterPath cursiveCapitalA(const QFont &cursive)
{
    Pen pen(cursive);
    const auto at = [&pen](qreal x, qreal y) { return pen.at(x, y); };

    QPainterPath up(at(0.00, 0.02));
    up.cubicTo(at(0.14, 0.30), at(0.30, 0.80), at(0.44, 1.00));
    pen.draw(up);

    QPainterPath down(at(0.44, 1.00));
    down.cubicTo(at(0.50, 0.70), at(0.58, 0.30), at(0.62, 0.08));
    down.cubicTo(at(0.64, -0.01), at(0.72, -0.01), at(0.82, 0.08));
    pen.draw(down);

    // From leg to leg and no further: an end standing out would be a knob.
    QPainterPath bar(at(0.18, 0.40));
    bar.cubicTo(at(0.30, 0.45), at(0.44, 0.37), at(0.56, 0.42));
    pen.draw(bar);
    return pen.letter();
}

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
    // Ends on its way out: a curl back here would thicken into a knob.
    foot.cubicTo(at(0.42, 0.05), at(0.52, 0.06), at(0.64, 0.02));

    QPainterPath letter;
    letter.setFillRule(Qt::WindingFill);
    letter.addPath(stroked(top, 0.03 * h));
    letter.addPath(stroked(stem, 0.07 * h));
    letter.addPath(stroked(foot, 0.03 * h));
    return letter;
}

// A closed oval begun and ended at the top, where a small loop comes back
// to it: nothing below the line, so it never reads as a Q. The loop ends on
// the oval's own line: past it, its round end would stand out as a knob.
QPainterPath cursiveCapitalO(const QFont &cursive)
{
    Pen pen(cursive);
    const auto at = [&pen](qreal x, qreal y) { return pen.at(x, y); };
    // Four quarter arcs from the top round to the left, then the loop.
    constexpr qreal cx = 0.40, cy = 0.50, rx = 0.34, ry = 0.49, k = 0.5523;
    QPainterPath line(at(cx, cy + ry));
    line.cubicTo(at(cx - k * rx, cy + ry), at(cx - rx, cy + k * ry), at(cx - rx, cy));
    line.cubicTo(at(cx - rx, cy - k * ry), at(cx - k * rx, cy - ry), at(cx, cy - ry));
    line.cubicTo(at(cx + k * rx, cy - ry), at(cx + rx, cy - k * ry), at(cx + rx, cy));
    line.cubicTo(at(cx + rx, cy + k * ry), at(cx + k * rx, cy + ry), at(cx, cy + ry));
    line.cubicTo(at(cx - 0.14, cy + ry), at(cx - 0.16, cy + 0.30), at(cx - 0.06, cy + 0.28));
    line.cubicTo(at(cx + 0.04, cy + 0.26), at(cx + 0.12, cy + 0.33), at(cx + 0.19, cy + 0.40));
    pen.draw(line);
    return pen.letter();
}

// A hook on top, down into a round bowl, up to the top again, a straight
// stem back to the line and a short flick up and away: the flick never turns
// back, so no second bowl makes it read as "Ub".
QPainterPath cursiveCapitalU(const QFont &cursive)
{
    Pen pen(cursive);
    const auto at = [&pen](qreal x, qreal y) { return pen.at(x, y); };

    QPainterPath bowl(at(0.00, 0.80));
    bowl.cubicTo(at(0.00, 0.96), at(0.12, 1.02), at(0.20, 0.94));
    bowl.cubicTo(at(0.24, 0.70), at(0.12, 0.40), at(0.14, 0.22));
    bowl.cubicTo(at(0.16, 0.06), at(0.26, 0.00), at(0.38, 0.00));
    bowl.cubicTo(at(0.56, 0.00), at(0.64, 0.18), at(0.66, 0.40));
    bowl.cubicTo(at(0.68, 0.62), at(0.68, 0.82), at(0.68, 0.98));
    pen.draw(bowl);

    QPainterPath stem(at(0.68, 0.98));
    stem.cubicTo(at(0.68, 0.66), at(0.66, 0.30), at(0.68, 0.08));
    stem.cubicTo(at(0.70, -0.01), at(0.78, -0.01), at(0.88, 0.08));
    pen.draw(stem);
    return pen.letter();
}

} // namespace mediagen
