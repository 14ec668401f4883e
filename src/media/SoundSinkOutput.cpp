#include "media/SoundSinkOutput.h"

#include "media/SoundWav.h"

#include <QAudioSink>
#include <QBuffer>

namespace zampli {

struct SoundSinkOutput::Clip {
    QBuffer reader;
    std::unique_ptr<QAudioSink> sink;
};

SoundSinkOutput::SoundSinkOutput(QAudioDevice device, FailureHandler onFailure)
    : device_(std::move(device)), onFailure_(std::move(onFailure))
{
}

SoundSinkOutput::~SoundSinkOutput() = default;

QString SoundSinkOutput::readablePath(const QUrl &source)
{
    if (source.scheme() == QLatin1String("qrc"))
        return QLatin1Char(':') + source.path();
    return source.toLocalFile();
}

void SoundSinkOutput::load(const QUrl &source)
{
    std::optional<WavSound> sound = loadWav(readablePath(source));
    if (!sound) {
        clips_.erase(source); // an earlier version of the file is not what was asked for
        reportLater(source);
        return;
    }
    auto clip = std::make_unique<Clip>();
    clip->reader.setData(sound->samples);
    clip->reader.open(QIODevice::ReadOnly);
    clip->sink = std::make_unique<QAudioSink>(device_, sound->format);
    clips_[source] = std::move(clip);
}

void SoundSinkOutput::start(const QUrl &source)
{
    Clip *clip = find(source);
    if (!clip)
        return;
    clip->sink->stop();
    clip->reader.seek(0);
    clip->sink->start(&clip->reader);
}

void SoundSinkOutput::stop(const QUrl &source)
{
    if (Clip *clip = find(source))
        clip->sink->stop();
}

SoundSinkOutput::Clip *SoundSinkOutput::find(const QUrl &source) const
{
    const auto it = clips_.find(source);
    return it == clips_.end() ? nullptr : it->second.get();
}

void SoundSinkOutput::reportLater(const QUrl &source)
{
    // Queued, so the router never hears of a failure while it is itself
    // calling into this output.
    QMetaObject::invokeMethod(
        &context_, [this, source] { onFailure_(source); }, Qt::QueuedConnection);
}

} // namespace zampli
