// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

class QIODevice;

namespace zampli {

// What a picture may be, for the program's decoder and for every check of a
// picture that comes from outside alike.
namespace pictureLimits {
// No photo comes near it; a sparse 2 GB file or a device stops here unread.
constexpr qint64 kMostBytes = qint64(512) << 20;
// Beyond what any camera makes (200 megapixels, 16320 × 12240) and the
// format's own limit of a side.
constexpr qint64 kMostPixels = 300'000'000;
constexpr int kMostSide = 65535;
// A drawing is text: a few megabytes hold the largest, photos written in included.
constexpr qint64 kMostDrawingBytes = qint64(64) << 20;
} // namespace pictureLimits

// Why a picture of `size` held in `fileBytes` is refused, or nothing:
// absurd dimensions, or far more bytes than such a picture needs.
QString pictureSizeFault(QSize size, qint64 fileBytes);

// Why a file starting with `head` and `fileBytes` long is not a PNG or JPEG
// picture within the limits, judged by content without decoding: its first
// bytes, its header's dimensions.
QString bitmapFault(const QByteArray &head, qint64 fileBytes);

// Why a WAV file's header does not hold, or nothing: not RIFF/WAVE, no
// format or no sound chunk, or a sound chunk declaring more bytes than the
// file has (a recording cut short). Reads from the device's start and
// leaves it there.
QString wavFault(QIODevice &device);

// Why a file a copy brings under `name` ("jpg/ape.jpg", "voci/ape.wav") is
// not what the child's program would use, in Italian; empty when it is, or
// when the name is of neither kind. Pictures may be JPEG, PNG or a drawing
// that passes svgFault(); voices and sounds must pass wavFault().
QString importedFileFault(const QString &name, const QByteArray &bytes);

} // namespace zampli
