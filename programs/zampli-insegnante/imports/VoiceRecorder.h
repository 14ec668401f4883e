// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imports/VoiceClean.h"

#include <QMutex>
#include <QObject>
#include <atomic>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

namespace zampli::teacher {

// A word said and a moment of the room before it fit well within this; a
// take left running ends here by itself.
inline constexpr size_t kLongestTake = size_t(kVoiceRate) * 10;

// Records the default microphone through the desktop's sound server, on
// libpulse's own thread, as mono float samples at kVoiceRate. Nothing here
// waits for the server: whether a microphone is there is told later by
// availability().
class VoiceRecorder : public QObject {
    Q_OBJECT
public:
    explicit VoiceRecorder(QObject *parent = nullptr);
    ~VoiceRecorder() override;

    // Connects and looks for a microphone; availability() tells the outcome.
    void probe();
    bool usable() const { return usable_; }
    const QString &reason() const { return reason_; }

    // Starts recording from the microphone, kLongestTake samples at most
    // (then full() is sent); false when it cannot.
    bool start();
    // Stops and hands over what was recorded.
    Samples stop();
    bool recording() const { return stream_ != nullptr; }
    // The loudest sample of the last moment heard, 0..1, for a level meter.
    float level() const { return level_.load(); }
    // How many samples the take holds so far.
    size_t heard() const { return heard_.load(); }

signals:
    void availability(bool usable, const QString &reason);
    // The take holds kLongestTake samples: no more are kept.
    void full();

private:
    static void onContextState(pa_context *context, void *self);
    static void onRead(pa_stream *stream, size_t bytes, void *self);

    pa_threaded_mainloop *loop_ = nullptr;
    pa_context *context_ = nullptr;
    pa_stream *stream_ = nullptr;
    bool usable_ = false;
    QString reason_;
    QMutex mutex_;
    Samples recorded_;
    std::atomic<float> level_{0};
    std::atomic<size_t> heard_{0};
};

} // namespace zampli::teacher
