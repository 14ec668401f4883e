#include "media/PictureLoader.h"

#include "media/FileNames.h"
#include "media/ProblemLog.h"

#include <QImageReader>

namespace zampli {

std::optional<QImage> PictureLoader::load(const QString &path) const
{
    QImageReader reader(existingFile(path));
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) {
        log_.missingFile(path);
        return std::nullopt;
    }
    return image;
}

} // namespace zampli
