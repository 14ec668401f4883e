// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PictureFile.h"

#include "media/MediaContent.h"
#include "safefile/CappedFile.h"
#include "media/SvgCheck.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace zampli {

namespace {

// A JPEG cut short still decodes, its missing part grey. Its last scan
// (marker FF DA) then has no end marker (FF D9) after it; neither byte pair
// can occur inside the coded data. Judged on the bytes rather than on
// libjpeg's warning, which reaches only a process-wide message handler in
// words of its own that may change.
bool isCutJpeg(const QByteArray &format, const QByteArray &bytes)
{
    return format == "jpeg" && bytes.lastIndexOf("\xFF\xD9") < bytes.lastIndexOf("\xFF\xDA");
}

// Qt's reader says what failed in English: the adult reads our own words.
QString readFault(QImageReader::ImageReaderError error)
{
    switch (error) {
    case QImageReader::FileNotFoundError:
        return QStringLiteral("manca");
    case QImageReader::DeviceError:
        return QStringLiteral("non si riesce a leggere dal disco");
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("non è un'immagine");
    case QImageReader::InvalidDataError:
        return QStringLiteral("immagine danneggiata o incompleta");
    case QImageReader::UnknownError:
        break;
    }
    return QStringLiteral("immagine illeggibile o danneggiata");
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

// A drawing is checked whole before any SVG reader sees it (that reader
// opens the files it names), then drawn at the largest size that fits
// `shown`, so the size it declares costs nothing; with no `shown`, at its
// own size, within a picture's limits.
DecodedPicture decodeDrawing(QIODevice &device, qint64 fileBytes, QSize shown)
{
    if (fileBytes > pictureLimits::kMostDrawingBytes)
        return {{}, QStringLiteral("troppo grande per un disegno: %1").arg(sizeText(fileBytes))};
    QByteArray bytes = device.read(fileBytes);
    if (const QString fault = svgFault(bytes); !fault.isEmpty())
        return {{}, fault};
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "svg");
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return {{}, QStringLiteral("disegno SVG illeggibile")};
    if (const QString fault = shown.isEmpty() ? pictureSizeFault(size, 0) : QString(); !fault.isEmpty())
        return {{}, fault};
    reader.setScaledSize(shown.isEmpty() ? size : size.scaled(shown, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image = reader.read();
    if (image.isNull())
        return {{}, readFault(reader.error())};
    return {std::move(image), {}};
}

// A picture of `fileBytes` from the start of `device`.
DecodedPicture decodeDevice(QIODevice &device, qint64 fileBytes, QSize shown)
{
    // The format is judged once, from the first bytes without parsing, and
    // held to: a file changed meanwhile cannot slip a drawing past its check.
    const QByteArray format = QImageReader::imageFormat(&device);
    if (format.isEmpty())
        return {{}, QStringLiteral("non è un'immagine")};
    if (format == "svg" || format == "svgz")
        return device.seek(0) ? decodeDrawing(device, fileBytes, shown)
                              : DecodedPicture{{}, QStringLiteral("illeggibile")};
    QImageReader header(&device, format);
    header.setAutoDetectImageFormat(false);
    header.setAutoTransform(true);
    const QSize size = header.size();
    if (!size.isValid() || size.isEmpty())
        return {{}, QStringLiteral("immagine illeggibile")};
    if (const QString fault = pictureSizeFault(size, fileBytes); !fault.isEmpty())
        return {{}, fault};
    const bool turned = header.transformation().testFlag(QImageIOHandler::TransformationRotate90);

    QByteArray bytes = device.seek(0) ? device.read(fileBytes) : QByteArray();
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    reader.setScaledSize(decodeSize(size, shown, turned));
    QImage image = reader.read();
    if (image.isNull())
        return {{}, readFault(reader.error())};
    if (isCutJpeg(format, bytes))
        return {{}, QStringLiteral("immagine JPEG incompleta: il file è tagliato")};
    return {std::move(image), {}, turned ? size.transposed() : size};
}

} // namespace

DecodedPicture decodePicture(const QString &path, QSize shown)
{
    CappedFile file = CappedFile::open(path, pictureLimits::kMostBytes);
    if (!file.isOpen())
        return {{}, file.refusal()};
    QFile device;
    if (!device.open(file.fd(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return {{}, QStringLiteral("illeggibile")};
    return decodeDevice(device, file.stamp().bytes, shown);
}

DecodedPicture decodePicture(QByteArray bytes, QSize shown)
{
    if (bytes.size() > pictureLimits::kMostBytes)
        return {{}, QStringLiteral("troppo grande: %1").arg(sizeText(bytes.size()))};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return decodeDevice(buffer, bytes.size(), shown);
}

} // namespace zampli
