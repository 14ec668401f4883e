#pragma once

#include <QImage>
#include <QString>
#include <optional>

namespace zampli {

class ProblemLog;

// Loads the JPEG pictures of the media folder. A file that is missing or
// cannot be decoded, or is cut short, gives no picture and is reported once,
// naming it.
class PictureLoader {
public:
    explicit PictureLoader(ProblemLog &log) : log_(log) {}
    std::optional<QImage> load(const QString &path) const;

private:
    ProblemLog &log_;
};

} // namespace zampli
