// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sound/ClipCache.h"
#include "sound/SoundOutput.h"

#include <QObject>
#include <functional>
#include <memory>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_operation;

namespace zampli {

// Plays through the desktop's sound server (PulseAudio, or PipeWire in its
// place) with libpulse's own thread. No call here waits for the server: a
// server that hangs delays the sound, never the caller. A server that went
// away is looked for again at the next sound, so sound comes back when the
// desktop restarts its sound service. Each sound heard is a stream of its
// own, closed when it has played out or when the next sound cuts it off.
// Loaded clips stay for a replay within a memory budget, the least recently
// played let go first and loaded again when asked for.
//
// Create, use and destroy it on one thread.
class PulseOutput final : public SoundOutput {
public:
    using FailureHandler = std::function<void(const QUrl &source)>;

    // onFailure is called later, from the event loop, when a source turns out
    // not to load. noServer is called, from any thread, the first time no
    // server can be reached.
    PulseOutput(FailureHandler onFailure, std::function<void()> noServer);
    ~PulseOutput() override;

    PulseOutput(const PulseOutput &) = delete;
    PulseOutput &operator=(const PulseOutput &) = delete;

    void load(const QUrl &source) override;
    void start(const QUrl &source) override;
    void stop(const QUrl &source) override;

private:
    struct Playing;

    // All below run with the main loop locked.
    void connect();
    void openStream();
    void cut();
    void wantsData(pa_stream *stream, size_t bytes);
    static void onContextState(pa_context *context, void *self);
    static void onStreamState(pa_stream *stream, void *self);
    static void onWrite(pa_stream *stream, size_t bytes, void *self);
    static void onDrained(pa_stream *stream, int success, void *self);
    void tellNoServer();

    FailureHandler onFailure_;
    std::function<void()> noServer_;
    bool toldNoServer_ = false;
    QObject context_; // for queued calls to onFailure_ on this thread
    ClipCache clips_;

    pa_threaded_mainloop *loop_ = nullptr;
    pa_context *server_ = nullptr; // connecting or connected; null once it failed
    std::unique_ptr<Playing> playing_; // the sound meant to be heard now
};

} // namespace zampli
