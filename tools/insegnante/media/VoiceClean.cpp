// SPDX-License-Identifier: GPL-3.0-or-later
#include "VoiceClean.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <cmath>

namespace zampli::teacher {

namespace {

constexpr int kWindow = kVoiceRate / 100; // 10 ms

double toDb(double amplitude)
{
    return amplitude > 0 ? 20 * std::log10(amplitude) : -200.0;
}

double fromDb(double db)
{
    return std::pow(10.0, db / 20);
}

// RMS of each 10 ms window.
std::vector<double> windowLevels(const Samples &s)
{
    std::vector<double> levels;
    for (size_t start = 0; start < s.size(); start += kWindow) {
        const size_t end = std::min(s.size(), start + kWindow);
        double sum = 0;
        for (size_t i = start; i < end; ++i)
            sum += double(s[i]) * s[i];
        levels.push_back(std::sqrt(sum / double(end - start)));
    }
    return levels;
}

// The first and one past the last sample worth keeping; equal when none is.
std::pair<size_t, size_t> soundSpan(const Samples &s)
{
    const std::vector<double> levels = windowLevels(s);
    const double loudest = levels.empty() ? 0 : *std::max_element(levels.begin(), levels.end());
    const double threshold = std::max(loudest * fromDb(-40), fromDb(-50));
    const auto loud = [threshold](double l) { return l > threshold; };
    const auto first = std::find_if(levels.begin(), levels.end(), loud);
    if (first == levels.end())
        return {0, 0};
    const auto last = std::find_if(levels.rbegin(), levels.rend(), loud);
    const size_t from = size_t(first - levels.begin()) * kWindow;
    const size_t to = std::min(s.size(), size_t(levels.rend() - last) * kWindow);
    const size_t margin = kWindow;
    return {from > margin ? from - margin : 0, std::min(s.size(), to + margin)};
}

void fade(Samples &s)
{
    const size_t in = std::min(s.size(), size_t(kVoiceRate * 0.01)), out = std::min(s.size(), size_t(kVoiceRate * 0.03));
    for (size_t i = 0; i < in; ++i)
        s[i] *= float(double(i) / in);
    for (size_t i = 0; i < out; ++i)
        s[s.size() - 1 - i] *= float(double(i) / out);
}

// Lowers only the peaks above the ceiling: each sample's gain is the least
// any peak within 5 ms needs, so a peak is met smoothly, not clipped.
void limitPeaks(Samples &s, double ceiling)
{
    const int reach = kVoiceRate / 200;
    std::vector<float> need(s.size(), 1.0f);
    for (size_t i = 0; i < s.size(); ++i)
        if (std::abs(s[i]) > ceiling)
            need[i] = float(ceiling / std::abs(s[i]));
    std::vector<float> gain(s.size(), 1.0f);
    for (size_t i = 0; i < s.size(); ++i) {
        if (need[i] >= 1.0f)
            continue;
        const size_t from = i > size_t(reach) ? i - reach : 0, to = std::min(s.size(), i + reach + 1);
        for (size_t j = from; j < to; ++j) {
            // A raised cosine around the peak: full reduction at it, none at the reach's edge.
            const double w = 0.5 + 0.5 * std::cos(M_PI * double(std::abs(long(j) - long(i))) / (reach + 1));
            gain[j] = std::min(gain[j], float(1 - w * (1 - need[i])));
        }
    }
    for (size_t i = 0; i < s.size(); ++i)
        s[i] *= gain[i];
}

void scale(Samples &s, double by)
{
    for (float &x : s)
        x = float(x * by);
}

} // namespace

double rmsDb(const Samples &s)
{
    double sum = 0;
    for (const float x : s)
        sum += double(x) * x;
    return s.empty() ? -200.0 : toDb(std::sqrt(sum / double(s.size())));
}

double peakDb(const Samples &s)
{
    float peak = 0;
    for (const float x : s)
        peak = std::max(peak, std::abs(x));
    return toDb(peak);
}

Samples cleanVoice(const Samples &in)
{
    const auto [from, to] = soundSpan(in);
    if (from == to)
        return {};
    Samples s(in.begin() + long(from), in.begin() + long(to));
    fade(s);
    // Speech peaks 15 to 20 dB over its RMS: levelled to -16 dBFS its peaks
    // would clip, so they are limited and the level made up, a few times over.
    const double ceiling = fromDb(kVoicePeakDb - 0.2);
    for (int round = 0; round < 6; ++round) {
        scale(s, fromDb(kVoiceRmsDb - rmsDb(s)));
        if (peakDb(s) <= kVoicePeakDb - 0.2)
            break;
        limitPeaks(s, ceiling);
    }
    // Whatever is left over the ceiling comes down, level and all.
    if (peakDb(s) > kVoicePeakDb - 0.1)
        scale(s, fromDb(kVoicePeakDb - 0.1 - peakDb(s)));
    return s;
}

QByteArray wavBytes(const Samples &s)
{
    QByteArray out;
    QDataStream d(&out, QIODevice::WriteOnly);
    d.setByteOrder(QDataStream::LittleEndian);
    const quint32 data = quint32(2 * s.size());
    d.writeRawData("RIFF", 4);
    d << quint32(36 + data);
    d.writeRawData("WAVEfmt ", 8);
    d << quint32(16) << quint16(1) << quint16(1) << quint32(kVoiceRate) << quint32(2 * kVoiceRate) << quint16(2)
      << quint16(16);
    d.writeRawData("data", 4);
    d << data;
    for (const float x : s)
        d << qint16(std::lround(std::clamp(x, -1.0f, 1.0f) * 32767));
    return out;
}

} // namespace zampli::teacher
