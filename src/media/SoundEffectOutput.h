#pragma once

#include "media/SoundOutput.h"

#include <QObject>
#include <functional>
#include <map>

class QSoundEffect;

namespace zampli {

// Plays through QSoundEffect, one per source, kept for the whole run. Must be
// created, used and destroyed on the sound thread: every call may wait on the
// audio server.
class SoundEffectOutput final : public SoundOutput {
public:
    using FailureHandler = std::function<void(const QUrl &source)>;

    // onFailure is called later, from the event loop, when a source turns out
    // not to load.
    explicit SoundEffectOutput(FailureHandler onFailure);
    ~SoundEffectOutput() override;

    void load(const QUrl &source) override;
    void start(const QUrl &source) override;
    void stop(const QUrl &source) override;

private:
    QSoundEffect *find(const QUrl &source) const;

    FailureHandler onFailure_;
    QObject owner_; // parent of the effects
    std::map<QUrl, QSoundEffect *> effects_;
};

} // namespace zampli
