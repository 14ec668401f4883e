#include "media/PictureLoader.h"

#include "media/FileNames.h"
#include "media/ProblemLog.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace zampli {

namespace {

// A JPEG cut short still decodes, its missing part grey. Its last scan
// (marker FF DA) then has no end marker (FF D9) after it; neither byte pair
// can occur inside the coded data.
bool isCutJpeg(const QByteArray &format, const QByteArray &bytes)
{
    return format == "jpeg" && bytes.lastIndexOf("\xFF\xD9") < bytes.lastIndexOf("\xFF\xDA");
}

} // namespace

std::optional<QImage> PictureLoader::load(const QString &path) const
{
    QFile file(existingFile(path));
    QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format(); // only known before reading
    QImage image = reader.read();
    if (image.isNull() || isCutJpeg(format, bytes)) {
        log_.missingFile(path);
        return std::nullopt;
    }
    return image;
}

} // namespace zampli
