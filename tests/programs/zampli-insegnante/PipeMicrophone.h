// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PulseServer.h"
#include "PushButtons.h"
#include "imports/VoiceRecorder.h"

#include <QByteArray>
#include <QString>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>
#include <random>
#include <thread>
#include <vector>

namespace zampli::test {

// Starts `server` with a microphone that hears what the test writes into the
// pipe `fifo` (16 bits, 22050 Hz, mono) and serves this process with it;
// why it could not, or empty.
inline QString startPipeMicrophone(PulseServer &server, const QString &fifo)
{
    const QString failure =
        server.start({"module-pipe-source source_name=zmic file=" + fifo + " format=s16le rate=22050 channels=1"});
    if (failure.isEmpty()) {
        server.serveThisProcess();
        qputenv("PULSE_SOURCE", "zmic");
    }
    return failure;
}

// Samples as the pipe takes them: 16 bits, little-endian.
inline QByteArray s16(const std::vector<float> &samples)
{
    QByteArray bytes;
    for (const float x : samples) {
        const qint16 v = qint16(std::lround(std::clamp(x, -1.0f, 1.0f) * 32767));
        bytes += char(v & 0xFF), bytes += char((v >> 8) & 0xFF);
    }
    return bytes;
}

// A word in a quiet room at 22050 Hz: 0.8 s of noise at -60 dBFS, a 300 Hz
// tone at -20 dBFS for 0.5 s, 0.7 s of noise.
inline std::vector<float> quietTake()
{
    constexpr double rate = 22050, noise = 1e-3, word = 0.1;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<float> take(size_t(2 * rate));
    for (size_t i = 0; i < take.size(); ++i) {
        const bool saying = i >= size_t(0.8 * rate) && i < size_t(1.3 * rate);
        take[i] = float(noise * std::sqrt(3.0) * uniform(random)
                        + (saying ? word * std::sqrt(2.0) * std::sin(2 * std::numbers::pi * 300 * double(i) / rate) : 0));
    }
    return take;
}

// Someone speaking into the pipe while the dialog goes on. The pipe's source
// passes on whatever it is given at once: 20 ms are written every 20 ms, as
// a sound card's clock would give them.
class Mouth {
public:
    Mouth(const QString &fifo, const std::vector<float> &take) : bytes_(s16(take))
    {
        speaking_ = std::thread([this, fifo] {
            QFile pipe(fifo);
            if (!pipe.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
                return;
            const qsizetype piece = 22050 / 50 * 2;
            const auto start = std::chrono::steady_clock::now();
            for (qsizetype from = 0; from < bytes_.size(); from += piece) {
                std::this_thread::sleep_until(start + std::chrono::milliseconds(20 * (from / piece)));
                const QByteArray bytes = bytes_.mid(from, piece);
                if (pipe.write(bytes) != bytes.size())
                    return;
            }
            done_ = true;
        });
    }
    ~Mouth()
    {
        if (speaking_.joinable())
            speaking_.join();
    }
    Mouth(const Mouth &) = delete;
    Mouth &operator=(const Mouth &) = delete;

    bool finished()
    {
        if (speaking_.joinable())
            speaking_.join();
        return done_;
    }

private:
    QByteArray bytes_;
    std::atomic<bool> done_{false};
    std::thread speaking_;
};

// «Registra» pressed in the recording window `dialog`; false when the microphone does not open.
inline bool startTake(QDialog *dialog, teacher::VoiceRecorder &recorder)
{
    QTest::mouseClick(buttonSaying(dialog, "Registra"), Qt::LeftButton);
    return QTest::qWaitFor([&] { return recorder.recording(); }, 5000);
}

// «Registra» pressed in the recording window `dialog`, `take` said into
// the pipe `fifo`, «Ferma» pressed once the microphone heard it whole; false
// when a step never comes.
inline bool sayInto(QDialog *dialog, teacher::VoiceRecorder &recorder, const QString &fifo,
                    const std::vector<float> &take)
{
    if (!startTake(dialog, recorder))
        return false;
    Mouth mouth(fifo, take);
    // The source plays what it is given in real time; the take is whole once heard.
    if (!QTest::qWaitFor([&] { return recorder.heard() >= take.size(); }, 30000) || !mouth.finished())
        return false;
    QTest::mouseClick(buttonSaying(dialog, "Ferma"), Qt::LeftButton);
    return true;
}

} // namespace zampli::test
