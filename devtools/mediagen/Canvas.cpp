// SPDX-License-Identifier: GPL-3.0-or-later
#include "Canvas.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>

namespace mediagen {

QImage whiteCanvas(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QRect drawnRect(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int left = argb.width(), right = -1, top = argb.height(), bottom = -1;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(row[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QImage centreOnWhite(const QImage &art, QSize size, int margin, qreal maxZoom)
{
    QImage canvas = whiteCanvas(size);
    const QRect drawn = drawnRect(art);
    if (drawn.isEmpty())
        return canvas;
    const QSizeF room(size.width() - 2 * margin, size.height() - 2 * margin);
    const qreal zoom = std::min({room.width() / drawn.width(), room.height() / drawn.height(), maxZoom});
    const QSizeF shown = QSizeF(drawn.size()) * zoom;
    const QRectF target(QPointF((size.width() - shown.width()) / 2, (size.height() - shown.height()) / 2), shown);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, art, drawn);
    return canvas;
}

bool saveJpeg(const QImage &image, const QString &path)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QImageWriter writer(path, "jpg");
    writer.setQuality(90);
    return writer.write(image);
}

} // namespace mediagen
