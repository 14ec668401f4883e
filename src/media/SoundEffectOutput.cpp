#include "media/SoundEffectOutput.h"

#include <QSoundEffect>

namespace zampli {

SoundEffectOutput::SoundEffectOutput(FailureHandler onFailure)
    : onFailure_(std::move(onFailure))
{
}

SoundEffectOutput::~SoundEffectOutput() = default;

void SoundEffectOutput::load(const QUrl &source)
{
    auto *effect = new QSoundEffect(&owner_);
    // Queued, so the router never hears of a failure while it is itself
    // calling into this output.
    QObject::connect(
        effect, &QSoundEffect::statusChanged, &owner_,
        [this, effect, source] {
            if (effect->status() == QSoundEffect::Error)
                onFailure_(source);
        },
        Qt::QueuedConnection);
    effect->setSource(source);
    effects_[source] = effect;
}

void SoundEffectOutput::start(const QUrl &source)
{
    if (QSoundEffect *effect = find(source))
        effect->play();
}

void SoundEffectOutput::stop(const QUrl &source)
{
    if (QSoundEffect *effect = find(source))
        effect->stop();
}

QSoundEffect *SoundEffectOutput::find(const QUrl &source) const
{
    const auto it = effects_.find(source);
    return it == effects_.end() ? nullptr : it->second;
}

} // namespace zampli
