// SPDX-License-Identifier: GPL-3.0-or-later
// Small real media for tests that carry files around: a WAV and a JPEG
// the program's readers take, each told apart by what it is made from.
#pragma once

#include "WavBytes.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace zampli::test {

// A 16-bit mono WAV at 22.050 Hz whose samples are `tag`'s bytes (padded to
// an even count), so files made from different tags differ.
inline QByteArray wavOf(const QByteArray &tag)
{
    return wavWith({}, tag.isEmpty() ? QByteArray(2, '\0') : tag.size() % 2 ? tag + '\0' : tag);
}

// A JPEG of `width` × `height` in `colour`; with `noise`, random-looking
// pixels from that seed instead, which do not compress.
inline QByteArray jpegOf(QRgb colour, int width = 40, int height = 30, quint32 noise = 0)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    for (quint32 y = 0, state = noise; noise && y < quint32(height); ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, int(y), (state = state * 1664525u + 1013904223u) >> 8);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 100);
    return bytes;
}

// A drawing holding another, written into it as a data: address, that names
// `file`: a reader that drew the inner one would open that file.
inline QByteArray drawingNaming(const QByteArray &file)
{
    const QByteArray inner = "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                             "width='9' height='9'>"
                             "<image width='9' height='9' xlink:href='" + file + "'/></svg>";
    return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
           "width='9' height='9'><image width='9' height='9' "
           "xlink:href='data:image/svg+xml;base64," + inner.toBase64() + "'/></svg>";
}

} // namespace zampli::test
