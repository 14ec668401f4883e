// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureImport.h"

#include "WordListDocument.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
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
    QImageReader reader(file);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {{}, QStringLiteral("%1 non è un'immagine che il programma sa leggere: scegli una foto o un disegno "
                                   "in JPEG, PNG, GIF, BMP o SVG.").arg(QFileInfo(file).fileName())};
    QSize size = reader.size();
    if (size.isValid()) {
        // The orientation is applied after decoding, to the size asked for.
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        const QSize upright = turned ? size.transposed() : size;
        const QSize shown = fittedSize(upright);
        // Vectors are drawn at the size shown; a bitmap is only ever made smaller.
        if (reader.format() == "svg" || reader.format() == "svgz" || shown.width() < upright.width())
            reader.setScaledSize(turned ? shown.transposed() : shown);
    }
    const QImage image = reader.read();
    if (image.isNull())
        return {{}, QStringLiteral("%1 non si apre (%2): forse è incompleto. Prova con un'altra immagine.")
                        .arg(QFileInfo(file).fileName(), reader.errorString())};
    return {onWhite(image), {}};
}

ImportedPicture importPicture(const QImage &image)
{
    if (image.isNull())
        return {{}, QStringLiteral("Negli appunti non c'è un'immagine: copia prima una figura, poi incollala.")};
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
        return QStringLiteral("L'immagine non è stata salvata (%1).").arg(writer.errorString());
    return saveWhole(path, bytes);
}

} // namespace zampli::teacher
