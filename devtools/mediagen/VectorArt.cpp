// SPDX-License-Identifier: GPL-3.0-or-later
#include "VectorArt.h"

#include "Canvas.h"

#include <QFileInfo>
#include <QPainter>
#include <QSvgRenderer>

namespace mediagen {

namespace {

constexpr int margin = 40;
// The drawn part is found on a trial rendering this many pixels on its long
// side: a pixel of error there is under a pixel in the picture.
constexpr int trialSide = 1200;

// `inner` scaled to fit inside `outer`, proportions kept, centred.
QRectF fitted(QSizeF inner, const QRectF &outer)
{
    const QSizeF size = inner.scaled(outer.size(), Qt::KeepAspectRatio);
    return QRectF(outer.center() - QPointF(size.width() / 2, size.height() / 2), size);
}

void paint(QSvgRenderer &svg, QImage &image, const QRectF &target)
{
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    // Drawings may paint past their view box: nothing outside the target.
    painter.setClipRect(target);
    svg.render(&painter, target);
}

// The part of the view box the drawing paints, in the view box's units.
QRectF paintedBox(QSvgRenderer &svg)
{
    const QRectF box = svg.viewBoxF();
    const QRectF trialRect = fitted(box.size(), QRectF(0, 0, trialSide, trialSide));
    QImage trial(trialRect.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    trial.fill(Qt::transparent);
    paint(svg, trial, QRectF(QPointF(0, 0), trialRect.size()));
    const QRect drawn = drawnRect(trial);
    if (drawn.isEmpty())
        return {};
    const qreal unit = box.width() / trialRect.width();
    // One trial pixel more all round, for the antialiased edge.
    const QRectF painted(box.topLeft() + QPointF(drawn.left() - 1, drawn.top() - 1) * unit,
                         QSizeF(drawn.width() + 2, drawn.height() + 2) * unit);
    return painted.intersected(box);
}

} // namespace

QImage VectorArt::render(const QString &svgPath, QString *error)
{
    if (!QFileInfo::exists(svgPath)) {
        *error = QStringLiteral("%1 is missing (drawings under /usr/share/openclipart come with "
                                "Debian's openclipart-svg package)").arg(svgPath);
        return {};
    }
    QSvgRenderer svg(svgPath);
    if (!svg.isValid() || svg.viewBoxF().isEmpty()) {
        *error = QStringLiteral("%1: not a drawing Qt can read").arg(svgPath);
        return {};
    }
    const QRectF painted = paintedBox(svg);
    if (painted.isEmpty()) {
        *error = QStringLiteral("%1: the drawing paints nothing").arg(svgPath);
        return {};
    }
    svg.setViewBox(painted);
    QImage picture = whiteCanvas(pictureSize);
    const QRectF room = QRectF(QPointF(0, 0), QSizeF(pictureSize)).adjusted(margin, margin, -margin, -margin);
    paint(svg, picture, fitted(painted.size(), room));
    return picture;
}

} // namespace mediagen
