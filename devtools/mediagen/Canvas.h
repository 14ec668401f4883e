// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

namespace mediagen {

// A white picture of the given size, ready to paint on.
QImage whiteCanvas(QSize size);

// The smallest rectangle holding every pixel that is not fully transparent.
QRect drawnRect(const QImage &image);

// Scales the drawn part of `art` (transparent background) to fit inside
// `size` less `margin` on each side, never enlarging it by more than
// `maxZoom`, and centres it on white.
QImage centreOnWhite(const QImage &art, QSize size, int margin, qreal maxZoom);

// Writes a JPEG at quality 90, creating the folder if needed.
bool saveJpeg(const QImage &image, const QString &path);

} // namespace mediagen
