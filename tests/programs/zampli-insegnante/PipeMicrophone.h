// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PulseServer.h"

#include <QByteArray>
#include <QString>
#include <cmath>
#include <numbers>
#include <random>
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

} // namespace zampli::test
