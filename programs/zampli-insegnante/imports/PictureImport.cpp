// SPDX-License-Identifier: GPL-3.0-or-later
#include "imports/PictureImport.h"

#include "core/WriteReason.h"
#include "media/PictureFile.h"
#include "safefile/WholeFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

namespace zampli::teacher {

namespace {

// The size a picture of `size` takes inside the box, proportions kept.
QSize fittedSize(QSize size)
{
    return size.scaled(kPictureSize, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// The picture centred on white; transparent parts become white too.
QImage onWhite(const QImage &image)
{
    QImage out(kPictureSize, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QRect target(QPoint(0, 0), fittedSize(image.size()));
    target.moveCenter(out.rect().center());
    painter.drawImage(target, image);
    return out;
}

} // namespace

ImportedPicture importPicture(const QString &file)
{
    const DecodedPicture decoded = decodePicture(file, kPictureSize);
    if (decoded.image.isNull())
        return {{}, QStringLiteral("%1 non si può usare: %2. Scegli un'altra immagine, una foto o un disegno "
                                   "in JPEG, PNG, GIF, BMP o SVG.").arg(QFileInfo(file).fileName(), decoded.why)};
    return {onWhite(decoded.image), {}};
}

ImportedPicture importPicture(const QImage &image)
{
    if (image.isNull())
        return {{}, QStringLiteral("Negli appunti non c'è un'immagine: copia prima un'immagine, poi incollala.")};
    return {onWhite(image), {}};
}

QString savePicture(const QImage &picture, const QString &path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    if (!writer.write(picture))
        return QStringLiteral("L'immagine non si è potuta trasformare in JPEG: riprova, o scegli un'altra immagine.");
    return copyWriteReason(path, writeWhole(path, bytes));
}

} // namespace zampli::teacher
