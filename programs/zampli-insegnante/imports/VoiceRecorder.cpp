// SPDX-License-Identifier: GPL-3.0-or-later
#include "imports/VoiceRecorder.h"

#include <QMetaObject>

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cmath>

namespace zampli::teacher {

namespace {

const QString kNoServer = QStringLiteral(
    "Non si può registrare: il server dei suoni del desktop (PulseAudio o PipeWire) non risponde. Puoi sempre "
    "importare una voce registrata con un altro programma.");
const QString kNoMicrophone = QStringLiteral(
    "Non si può registrare: non trovo nessun microfono. Collegane uno e riapri il programma, oppure importa una "
    "voce registrata con un altro programma.");

// Called with the source the server records from by default.
void onSource(pa_context *, const pa_source_info *info, int eol, void *self)
{
    auto *recorder = static_cast<VoiceRecorder *>(self);
    if (eol < 0) {
        QMetaObject::invokeMethod(recorder, "availability", Qt::QueuedConnection, Q_ARG(bool, false),
                                  Q_ARG(QString, kNoMicrophone));
        return;
    }
    if (!info)
        return;
    // A sink's monitor records what the computer plays, not a voice.
    const bool microphone = info->monitor_of_sink == PA_INVALID_INDEX;
    QMetaObject::invokeMethod(recorder, "availability", Qt::QueuedConnection, Q_ARG(bool, microphone),
                              Q_ARG(QString, microphone ? QString() : kNoMicrophone));
}

} // namespace

VoiceRecorder::VoiceRecorder(QObject *parent) : QObject(parent)
{
    connect(this, &VoiceRecorder::availability, this, [this](bool usable, const QString &reason) {
        usable_ = usable;
        reason_ = reason;
    });
}

VoiceRecorder::~VoiceRecorder()
{
    if (!loop_)
        return;
    stop();
    pa_threaded_mainloop_stop(loop_);
    if (context_) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    pa_threaded_mainloop_free(loop_);
}

void VoiceRecorder::probe()
{
    if (loop_)
        return;
    loop_ = pa_threaded_mainloop_new();
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "ZAMPLI per l'insegnante");
    pa_context_set_state_callback(context_, &VoiceRecorder::onContextState, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0
        || pa_threaded_mainloop_start(loop_) < 0)
        QMetaObject::invokeMethod(this, "availability", Qt::QueuedConnection, Q_ARG(bool, false),
                                  Q_ARG(QString, kNoServer));
}

void VoiceRecorder::onContextState(pa_context *context, void *self)
{
    auto *recorder = static_cast<VoiceRecorder *>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        pa_operation_unref(pa_context_get_source_info_by_name(context, "@DEFAULT_SOURCE@", onSource, self));
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        QMetaObject::invokeMethod(recorder, "availability", Qt::QueuedConnection, Q_ARG(bool, false),
                                  Q_ARG(QString, kNoServer));
        break;
    default:
        break;
    }
}

bool VoiceRecorder::start()
{
    if (!usable_ || stream_)
        return false;
    {
        QMutexLocker lock(&mutex_);
        recorded_.clear();
    }
    heard_ = 0;
    pa_threaded_mainloop_lock(loop_);
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, uint32_t(kVoiceRate), 1};
    stream_ = pa_stream_new(context_, "Voce", &format, nullptr);
    bool ok = stream_ != nullptr;
    if (ok) {
        pa_stream_set_read_callback(stream_, &VoiceRecorder::onRead, this);
        // Pieces of 30 ms: a level meter that follows the voice.
        pa_buffer_attr attr{};
        attr.maxlength = uint32_t(-1);
        attr.fragsize = uint32_t(kVoiceRate * sizeof(float) * 3 / 100);
        ok = pa_stream_connect_record(stream_, nullptr, &attr, PA_STREAM_ADJUST_LATENCY) == 0;
        if (!ok) {
            pa_stream_unref(stream_);
            stream_ = nullptr;
        }
    }
    pa_threaded_mainloop_unlock(loop_);
    return ok;
}

void VoiceRecorder::onRead(pa_stream *stream, size_t, void *self)
{
    auto *recorder = static_cast<VoiceRecorder *>(self);
    const void *data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
        QMutexLocker lock(&recorder->mutex_);
        const size_t left = kLongestTake - std::min(kLongestTake, recorder->recorded_.size());
        const size_t count = std::min(left, bytes / sizeof(float));
        float peak = 0;
        if (data) {
            const auto *samples = static_cast<const float *>(data);
            recorder->recorded_.insert(recorder->recorded_.end(), samples, samples + count);
            for (size_t i = 0; i < count; ++i)
                peak = std::max(peak, std::abs(samples[i]));
        } else {
            recorder->recorded_.resize(recorder->recorded_.size() + count, 0.0f); // a hole: silence
        }
        recorder->level_ = peak;
        recorder->heard_ = recorder->recorded_.size();
        pa_stream_drop(stream);
        if (left > 0 && count == left)
            QMetaObject::invokeMethod(recorder, &VoiceRecorder::full, Qt::QueuedConnection);
    }
}

Samples VoiceRecorder::stop()
{
    if (stream_) {
        pa_threaded_mainloop_lock(loop_);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
        pa_threaded_mainloop_unlock(loop_);
    }
    level_ = 0;
    heard_ = 0;
    QMutexLocker lock(&mutex_);
    return std::exchange(recorded_, {});
}

} // namespace zampli::teacher
