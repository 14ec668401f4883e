// SPDX-License-Identifier: GPL-3.0-or-later
#include "VoiceClean.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <iterator>
#include <cmath>

namespace zampli::teacher {

namespace {

constexpr int kWindow = kVoiceRate / 100; // 10 ms

double toDb(double amplitude)
{
    return amplitude > 0 ? 20 * std::log10(amplitude) : kSilenceDb;
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

// A level that stands clearly above the room: a word's quiet ends still do.
constexpr double kClearlyAboveDb = 10.0;
// Where no room was measured, what lies under this is taken for silence.
constexpr double kUnmeasuredFloorDb = -50.0;
// Quiet within a word (a stop, a breath) is shorter than this.
constexpr size_t kLongestPause = 25; // windows: 250 ms
// A sound shorter than this, apart from the word, is a click or a knock.
constexpr size_t kShortestSound = 4; // windows: 40 ms
// Kept around the word: its first and last sounds rise and fall softly.
constexpr size_t kMarginBefore = kVoiceRate / 50, kMarginAfter = kVoiceRate * 3 / 100; // 20 ms, 30 ms
// A noise under this stays unheard even raised to it; 16-bit sound's own floor is near -96 dBFS.
constexpr double kInaudibleDb = -80.0;

struct Run {
    size_t from, to; // windows, one past the last
};

// Runs of windows over `threshold`, those closer than kLongestPause joined.
std::vector<Run> loudRuns(const std::vector<double> &levels, double threshold)
{
    std::vector<Run> runs;
    for (size_t i = 0; i < levels.size(); ++i) {
        if (levels[i] <= threshold)
            continue;
        if (!runs.empty() && i - runs.back().to < kLongestPause)
            runs.back().to = i + 1;
        else
            runs.push_back({i, i + 1});
    }
    return runs;
}

struct Span {
    size_t from = 0, to = 0; // samples, one past the last; equal when nothing is worth keeping
    double wordDb = kSilenceDb;
};

// The word: from the first to the last run worth keeping, with margins.
Span wordSpan(const Samples &s, double noiseDb)
{
    const std::vector<double> levels = windowLevels(s);
    const auto loudest = std::max_element(levels.begin(), levels.end());
    if (loudest == levels.end())
        return {};
    const double floor = noiseDb > kSilenceDb ? noiseDb + kClearlyAboveDb : kUnmeasuredFloorDb;
    const double threshold = std::max(*loudest * fromDb(-40), fromDb(floor));
    const size_t peak = size_t(loudest - levels.begin());
    const std::vector<Run> runs = loudRuns(levels, threshold);
    std::vector<Run> kept;
    std::copy_if(runs.begin(), runs.end(), std::back_inserter(kept),
                 [](const Run &run) { return run.to - run.from >= kShortestSound; });
    // A word as short as a click is still the loudest sound of its take.
    if (kept.empty())
        std::copy_if(runs.begin(), runs.end(), std::back_inserter(kept),
                     [peak](const Run &run) { return run.from <= peak && peak < run.to; });
    if (kept.empty())
        return {};
    double sum = 0;
    size_t sounding = 0;
    for (size_t i = kept.front().from; i < kept.back().to; ++i)
        if (levels[i] > threshold)
            sum += levels[i] * levels[i], ++sounding;
    const size_t from = kept.front().from * kWindow, to = std::min(s.size(), kept.back().to * kWindow);
    return {from > kMarginBefore ? from - kMarginBefore : 0, std::min(s.size(), to + kMarginAfter),
            toDb(std::sqrt(sum / double(sounding)))};
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
    return s.empty() ? kSilenceDb : toDb(std::sqrt(sum / double(s.size())));
}

double peakDb(const Samples &s)
{
    float peak = 0;
    for (const float x : s)
        peak = std::max(peak, std::abs(x));
    return toDb(peak);
}

double roomNoiseDb(const Samples &take)
{
    const Samples lead(take.begin(), take.begin() + long(std::min(take.size(), size_t(kVoiceRate * kMeasureSeconds))));
    std::vector<double> levels = windowLevels(lead);
    if (levels.empty())
        return kSilenceDb;
    std::sort(levels.begin(), levels.end());
    double sum = 0;
    const size_t quieter = (levels.size() + 1) / 2;
    for (size_t i = 0; i < quieter; ++i)
        sum += levels[i] * levels[i];
    return toDb(std::sqrt(sum / double(quieter)));
}

CleanedVoice cleanVoice(const Samples &in, double noiseDb)
{
    CleanedVoice out;
    out.noiseDb = noiseDb;
    const Span span = wordSpan(in, noiseDb);
    if (span.from == span.to)
        return out;
    out.wordDb = span.wordDb;
    Samples s(in.begin() + long(span.from), in.begin() + long(span.to));
    fade(s);
    const double mostGain = std::max(kMostNoiseRiseDb, kInaudibleDb - noiseDb);
    // Speech peaks 15 to 20 dB over its RMS: levelled to -16 dBFS its peaks
    // would clip, so they are limited and the level made up, a few times over.
    const double ceiling = fromDb(kVoicePeakDb - 0.2);
    for (int round = 0; round < 6; ++round) {
        const double by = std::min(kVoiceRmsDb - rmsDb(s), mostGain - out.gainDb);
        scale(s, fromDb(by));
        out.gainDb += by;
        if (peakDb(s) <= kVoicePeakDb - 0.2)
            break;
        limitPeaks(s, ceiling);
    }
    // Whatever is left over the ceiling comes down, level and all.
    if (const double over = peakDb(s) - (kVoicePeakDb - 0.1); over > 0) {
        scale(s, fromDb(-over));
        out.gainDb -= over;
    }
    out.samples = std::move(s);
    return out;
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
