#pragma once

#include "media/SoundOutput.h"

#include <QAudioDevice>
#include <QObject>
#include <functional>
#include <map>
#include <memory>

namespace zampli {

// Plays each sound through a QAudioSink of its own, its samples kept in
// memory for the whole run. Not QSoundEffect: in Qt 6.4 it stops its sink as
// soon as it has handed over the last sample, and on PulseAudio that throws
// away what the server still holds, up to half a second of every sound's end
// (measured). Here a sink is only stopped when the next sound cuts it off.
//
// Must be created, used and destroyed on the sound thread: every call may
// wait on the audio server.
class SoundSinkOutput final : public SoundOutput {
public:
    using FailureHandler = std::function<void(const QUrl &source)>;

    // onFailure is called later, from the event loop, when a source turns out
    // not to load.
    SoundSinkOutput(QAudioDevice device, FailureHandler onFailure);
    ~SoundSinkOutput() override;

    void load(const QUrl &source) override;
    void start(const QUrl &source) override;
    void stop(const QUrl &source) override;

    // A file path QFile reads, for a local file or a qrc: resource.
    static QString readablePath(const QUrl &source);

private:
    struct Clip;
    Clip *find(const QUrl &source) const;
    void reportLater(const QUrl &source);

    const QAudioDevice device_;
    FailureHandler onFailure_;
    QObject context_; // for queued calls to onFailure_ on this thread
    std::map<QUrl, std::unique_ptr<Clip>> clips_;
};

} // namespace zampli
