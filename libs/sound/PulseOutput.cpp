// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/PulseOutput.h"

#include "sound/Diagnostics.h"

#include <pulse/pulseaudio.h>

#include <chrono>

namespace zampli {

namespace {

using Clock = std::chrono::steady_clock;

// A sound asked for while the server could not take it is still played when
// the server answers within this time; later it would only puzzle the child.
constexpr auto kStillWanted = std::chrono::milliseconds(1000);
// How much the server buffers ahead. The server sets its own delay to a
// fraction of it (measured: 80 ms for 200 ms, 30 ms for 100 ms): short
// enough for a voice to follow the click at once, long enough not to break
// up on a busy machine.
constexpr pa_usec_t kBufferedUs = 100'000;

// Holds the main loop's lock for a scope.
class Locked {
public:
    explicit Locked(pa_threaded_mainloop *loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~Locked() { pa_threaded_mainloop_unlock(loop_); }
    Locked(const Locked &) = delete;
    Locked &operator=(const Locked &) = delete;

private:
    pa_threaded_mainloop *loop_;
};

} // namespace

struct PulseOutput::Playing {
    std::shared_ptr<const Clip> clip;
    QUrl source;
    Clock::time_point asked;
    pa_stream *stream = nullptr; // ours until the server has closed it
    qsizetype written = 0;
    pa_operation *drain = nullptr;
};

PulseOutput::PulseOutput(FailureHandler onFailure, std::function<void()> noServer)
    : onFailure_(std::move(onFailure)), noServer_(std::move(noServer)), loop_(pa_threaded_mainloop_new())
{
    if (!loop_ || pa_threaded_mainloop_start(loop_) < 0) {
        if (loop_)
            pa_threaded_mainloop_free(loop_), loop_ = nullptr;
        tellNoServer();
        return;
    }
    Locked lock(loop_);
    connect(); // now, so that the first sound does not wait for it
}

PulseOutput::~PulseOutput()
{
    if (!loop_)
        return;
    {
        Locked lock(loop_);
        cut();
        if (server_) {
            // Closing the connection closes its streams here and now.
            pa_context_set_state_callback(server_, nullptr, nullptr);
            pa_context_disconnect(server_);
            pa_context_unref(server_);
            server_ = nullptr;
        }
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

void PulseOutput::load(const QUrl &source)
{
    if (clips_.load(source))
        return;
    // Queued, so the router never hears of a failure while it is itself
    // calling into this output.
    QMetaObject::invokeMethod(
        &context_, [this, source] { onFailure_(source); }, Qt::QueuedConnection);
}

void PulseOutput::start(const QUrl &source)
{
    std::shared_ptr<const Clip> clip = clips_.get(source);
    if (!loop_ || !clip)
        return;
    Locked lock(loop_);
    cut();
    playing_.reset(new Playing{std::move(clip), source, Clock::now()});
    if (!server_)
        connect();
    else if (pa_context_get_state(server_) == PA_CONTEXT_READY)
        openStream();
    // Else the connection is on its way and opens the stream once made.
}

void PulseOutput::stop(const QUrl &source)
{
    if (!loop_)
        return;
    Locked lock(loop_);
    if (playing_ && playing_->source == source)
        cut();
}

void PulseOutput::connect()
{
    server_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "ZAMPLI");
    if (!server_) {
        tellNoServer();
        return;
    }
    pa_context_set_state_callback(server_, &PulseOutput::onContextState, this);
    if (pa_context_connect(server_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0 && server_) {
        pa_context_set_state_callback(server_, nullptr, nullptr);
        pa_context_unref(server_);
        server_ = nullptr;
        tellNoServer();
    }
}

void PulseOutput::openStream()
{
    if (!playing_ || playing_->stream || Clock::now() - playing_->asked > kStillWanted)
        return;
    const Clip &clip = *playing_->clip;
    pa_stream *stream = pa_stream_new(server_, "ZAMPLI", &clip.sample, &clip.map);
    if (!stream)
        return;
    pa_stream_set_state_callback(stream, &PulseOutput::onStreamState, this);
    pa_stream_set_write_callback(stream, &PulseOutput::onWrite, this);
    const uint32_t server_chooses = uint32_t(-1);
    pa_buffer_attr buffer{server_chooses, uint32_t(pa_usec_to_bytes(kBufferedUs, &clip.sample)), server_chooses,
                          server_chooses, server_chooses};
    if (pa_stream_connect_playback(stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0) {
        pa_stream_unref(stream);
        return;
    }
    playing_->stream = stream;
}

// Silences the sound meant to be heard now. Its stream is closed at once if
// the server has made it, else as soon as the server has.
void PulseOutput::cut()
{
    if (!playing_)
        return;
    const std::unique_ptr<Playing> gone = std::move(playing_);
    if (gone->drain) {
        pa_operation_cancel(gone->drain);
        pa_operation_unref(gone->drain);
    }
    if (gone->stream) {
        pa_stream_set_write_callback(gone->stream, nullptr, nullptr);
        if (pa_stream_get_state(gone->stream) == PA_STREAM_READY)
            pa_stream_disconnect(gone->stream);
    }
}

void PulseOutput::onContextState(pa_context *context, void *self)
{
    auto *out = static_cast<PulseOutput *>(self);
    const pa_context_state_t state = pa_context_get_state(context);
    qCDebug(lcSound) << "server connection state" << int(state);
    switch (state) {
    case PA_CONTEXT_READY:
        out->openStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        // Gone or never there; the next sound looks for a server again.
        if (out->playing_)
            out->playing_->stream = nullptr; // its streams close with it
        pa_context_unref(context);
        out->server_ = nullptr;
        out->tellNoServer();
        break;
    default:
        break;
    }
}

void PulseOutput::onStreamState(pa_stream *stream, void *self)
{
    auto *out = static_cast<PulseOutput *>(self);
    const bool current = out->playing_ && out->playing_->stream == stream;
    const pa_stream_state_t state = pa_stream_get_state(stream);
    qCDebug(lcSound) << "stream state" << int(state) << (current ? "current" : "cut off");
    switch (state) {
    case PA_STREAM_READY:
        if (!current) // cut off while the server was making it
            pa_stream_disconnect(stream);
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        if (current)
            out->playing_->stream = nullptr;
        pa_stream_unref(stream);
        break;
    default:
        break;
    }
}

void PulseOutput::onWrite(pa_stream *stream, size_t bytes, void *self)
{
    static_cast<PulseOutput *>(self)->wantsData(stream, bytes);
}

void PulseOutput::wantsData(pa_stream *stream, size_t bytes)
{
    if (!playing_ || playing_->stream != stream)
        return;
    Playing &now = *playing_;
    if (now.written == 0 && Clock::now() - now.asked > kStillWanted) {
        cut(); // the server woke up long after the click
        return;
    }
    const QByteArray &samples = now.clip->samples;
    const qsizetype part = std::min<qsizetype>(qsizetype(bytes), samples.size() - now.written);
    if (part > 0 && pa_stream_write(stream, samples.constData() + now.written, size_t(part), nullptr, 0,
                                    PA_SEEK_RELATIVE) == 0)
        now.written += part;
    if (now.written == samples.size() && !now.drain) {
        pa_stream_set_write_callback(stream, nullptr, nullptr);
        // Plays out what is buffered even when it is less than the server waits for.
        now.drain = pa_stream_drain(stream, &PulseOutput::onDrained, this);
    }
}

void PulseOutput::onDrained(pa_stream *stream, int, void *self)
{
    auto *out = static_cast<PulseOutput *>(self);
    if (out->playing_ && out->playing_->stream == stream) {
        pa_operation_unref(out->playing_->drain);
        out->playing_->drain = nullptr;
        out->cut(); // heard whole: the server need not keep the stream
    }
}

void PulseOutput::tellNoServer()
{
    if (!toldNoServer_ && noServer_) {
        toldNoServer_ = true;
        noServer_();
    }
}

} // namespace zampli
