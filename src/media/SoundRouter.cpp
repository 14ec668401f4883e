#include "media/SoundRouter.h"

#include "media/FileNames.h"
#include "media/SoundWav.h"

#include <QFileInfo>

namespace zampli {

SoundRouter::SoundRouter(SoundOutput &output, ReportMissing reportMissing, QUrl defaultSound)
    : output_(output), reportMissing_(std::move(reportMissing)), default_(std::move(defaultSound))
{
}

QUrl SoundRouter::builtInDefault()
{
    return QUrl(QStringLiteral("qrc:/sounds/alert.wav"));
}

void SoundRouter::play(const QString &path)
{
    start(resolve(path));
}

void SoundRouter::loadFailed(const QUrl &source)
{
    if (source == default_ || broken_.contains(source))
        return;
    broken_.insert(source);
    reportMissing_(source.toLocalFile());
    if (source == current_)
        start(default_);
}

QUrl SoundRouter::resolve(const QString &asked)
{
    const QString path = existingFile(asked);
    const QUrl file = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (broken_.contains(file))
        return default_;
    // A loaded sound plays from memory: no need to look at the file again.
    if (loaded_.contains(file) || isPlayableWav(path))
        return file;
    reportMissing_(asked);
    return default_;
}

void SoundRouter::start(const QUrl &source)
{
    if (!current_.isEmpty())
        output_.stop(current_);
    if (!loaded_.contains(source)) {
        output_.load(source);
        loaded_.insert(source);
    }
    output_.start(source);
    current_ = source;
}

} // namespace zampli
