// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PictureFile.h"

#include "media/MediaFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QLocale>

namespace zampli {

namespace {

// No photo comes near it; a sparse 2 GB file or a device stops here unread.
constexpr qint64 kMostBytes = qint64(512) << 20;
// Beyond what any camera makes (200 megapixels, 16320 × 12240) and the
// format's own limit of a side.
constexpr qint64 kMostPixels = 300'000'000;
constexpr int kMostSide = 65535;
// Coded pixels never take more than raw ones; metadata and thumbnails on top.
constexpr qint64 kBytesPerPixel = 4;
constexpr qint64 kMetadataBytes = qint64(16) << 20;

// A JPEG cut short still decodes, its missing part grey. Its last scan
// (marker FF DA) then has no end marker (FF D9) after it; neither byte pair
// can occur inside the coded data.
bool isCutJpeg(const QByteArray &format, const QByteArray &bytes)
{
    return format == "jpeg" && bytes.lastIndexOf("\xFF\xD9") < bytes.lastIndexOf("\xFF\xDA");
}

QString pixels(QSize size)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    return QStringLiteral("%1 × %2 pixel").arg(italian.toString(size.width()), italian.toString(size.height()));
}

// The size to decode at: the file's own divided by the largest of 2, 4 and 8
// that leaves it no smaller than shown. A JPEG decodes at these by leaving
// out detail, cheaper than decoding it whole; what is left to scale is small.
QSize decodeSize(QSize file, QSize shown, bool turned)
{
    const QSize seen = turned ? file.transposed() : file;
    int k = 1;
    while (!shown.isEmpty() && k < 8 && seen.width() / (2 * k) >= shown.width()
           && seen.height() / (2 * k) >= shown.height())
        k *= 2;
    return {(file.width() + k - 1) / k, (file.height() + k - 1) / k};
}

// Why a header's size is refused, or nothing.
QString headerFault(QSize size, qint64 fileBytes)
{
    if (size.width() > kMostSide || size.height() > kMostSide || qint64(size.width()) * size.height() > kMostPixels)
        return QStringLiteral("dimensioni assurde nell'intestazione: %1").arg(pixels(size));
    if (fileBytes > qint64(size.width()) * size.height() * kBytesPerPixel + kMetadataBytes)
        return QStringLiteral("troppo grande per un'immagine di %1: %2").arg(pixels(size), sizeText(fileBytes));
    return {};
}

} // namespace

DecodedPicture decodePicture(const QString &path, QSize shown)
{
    MediaFile file = MediaFile::open(path, kMostBytes);
    if (!file.isOpen())
        return {{}, file.refusal(), {}};
    QFile device;
    if (!device.open(file.fd(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return {{}, QStringLiteral("illeggibile"), {}};
    QImageReader header(&device);
    header.setAutoTransform(true);
    const QSize size = header.size();
    if (!size.isValid() || size.isEmpty())
        return {{}, header.format().isEmpty() ? QStringLiteral("non è un'immagine") : QStringLiteral("immagine illeggibile"), {}};
    if (const QString fault = headerFault(size, file.stamp().bytes); !fault.isEmpty())
        return {{}, fault, size};
    const bool turned = header.transformation().testFlag(QImageIOHandler::TransformationRotate90);

    QByteArray bytes = device.seek(0) ? device.read(file.stamp().bytes) : QByteArray();
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format(); // only known before reading
    reader.setScaledSize(decodeSize(size, shown, turned));
    QImage image = reader.read();
    if (image.isNull())
        return {{}, QStringLiteral("immagine illeggibile o danneggiata"), size};
    if (isCutJpeg(format, bytes))
        return {{}, QStringLiteral("immagine JPEG incompleta: il file è tagliato"), size};
    return {std::move(image), {}, size};
}

} // namespace zampli
