// SPDX-License-Identifier: GPL-3.0-or-later
#include "imports/VoiceClean.h"

#include <QDataStream>
#include <QIODevice>

#include <speex/speex_preprocess.h>

#include <algorithm>
#include <cmath>

namespace zampli::teacher {

namespace {

double toDb(double amplitude)
{
    return amplitude > 0 ? 20 * std::log10(amplitude) : kSilenceDb;
}

double fromDb(double db)
{
    return std::pow(10.0, db / 20);
}

// 20 ms: the frame speexdsp's preprocessor is made for.
constexpr size_t kFrame = kVoiceRate / 50;
// A voice has nothing to say under this.
constexpr double kLowestVoiceHz = 80;
// How far the suppressor may take the room's noise down.
constexpr int kSuppressDb = -60;
// The suppressor's probability of speech, in percent, for a frame to start a
// stretch of voice, and to go on with one. speexdsp's own voice detector
// decides just so, but prints a warning on every take.
constexpr int kProbStart = 90, kProbContinue = 88;
// Quiet within a word (a stop consonant, a breath) is shorter than this.
constexpr size_t kLongestPause = 12; // frames: 240 ms
// Shorter than this, a stretch is a click, not a word: even "e" lasts longer.
constexpr size_t kShortestVoice = 6; // frames: 120 ms
// The probability of speech is smoothed, and the suppressor lets more noise
// through while it is high: both fall some 100 ms after the voice, later
// still in a quiet room. A stretch's ends this far under its loudest frame,
// or this little over the noise left elsewhere, are no longer the word.
constexpr double kFadedDb = 25.0, kOverNoiseDb = 15.0;
// How far the start may move back to a sound the detector missed.
constexpr size_t kReach = 5; // frames: 100 ms
// Kept around the word: its first and last sounds rise and fall softly.
constexpr size_t kMargin = 4; // frames: 80 ms
// A noise under this stays unheard even raised to it; 16-bit sound's own floor is near -96 dBFS.
constexpr double kInaudibleDb = -80.0;

struct PreprocessState {
    SpeexPreprocessState *state = speex_preprocess_state_init(int(kFrame), kVoiceRate);
    ~PreprocessState() { speex_preprocess_state_destroy(state); }
    PreprocessState() = default;
    PreprocessState(const PreprocessState &) = delete;
    PreprocessState &operator=(const PreprocessState &) = delete;
    void set(int request, int value) { speex_preprocess_ctl(state, request, &value); }
};

// The take as the suppressor leaves it, and which of its frames carry voice.
struct Heard {
    Samples denoised;
    std::vector<bool> voice;
};

std::vector<spx_int16_t> frameOf(const Samples &s, size_t frame)
{
    std::vector<spx_int16_t> out(kFrame, 0);
    for (size_t i = 0, at = frame * kFrame; i < kFrame && at + i < s.size(); ++i)
        out[i] = spx_int16_t(std::lround(std::clamp(s[at + i], -1.0f, 1.0f) * 32767));
    return out;
}

// A room's rumble (traffic, a fan, a building's hum) lies mostly under a
// voice's lowest notes, and the suppressor lets its slow swells through;
// a second-order Butterworth high-pass at kLowestVoiceHz takes it away first.
Samples withoutRumble(Samples s)
{
    const double w = 2 * M_PI * kLowestVoiceHz / kVoiceRate, cosine = std::cos(w), alpha = std::sin(w) / std::sqrt(2.0);
    const double a0 = 1 + alpha, b0 = (1 + cosine) / 2 / a0, b1 = -(1 + cosine) / a0, b2 = b0;
    const double a1 = -2 * cosine / a0, a2 = (1 - alpha) / a0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (float &x : s) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        x = float(y);
    }
    return s;
}

Heard listen(const Samples &raw)
{
    const Samples in = withoutRumble(raw);
    PreprocessState speex;
    speex.set(SPEEX_PREPROCESS_SET_DENOISE, 1);
    speex.set(SPEEX_PREPROCESS_SET_NOISE_SUPPRESS, kSuppressDb);
    speex.set(SPEEX_PREPROCESS_SET_AGC, 0);
    speex.set(SPEEX_PREPROCESS_SET_DEREVERB, 0);
    const size_t frames = (in.size() + kFrame - 1) / kFrame;
    // A first pass learns the room, so that its noise is known, and taken
    // away, from the take's first frame on.
    for (size_t f = 0; f < frames; ++f) {
        std::vector<spx_int16_t> frame = frameOf(in, f);
        speex_preprocess_run(speex.state, frame.data());
    }
    Heard heard{Samples(in.size()), std::vector<bool>(frames)};
    // Each frame comes out one frame later (the suppressor's window spans
    // two): one more, silent, lets the last out.
    bool speaking = false;
    for (size_t f = 0; f <= frames; ++f) {
        std::vector<spx_int16_t> frame = frameOf(in, f);
        speex_preprocess_run(speex.state, frame.data());
        int probability = 0;
        speex_preprocess_ctl(speex.state, SPEEX_PREPROCESS_GET_PROB, &probability);
        speaking = probability > (speaking ? kProbContinue : kProbStart);
        if (f < frames)
            heard.voice[f] = speaking;
        for (size_t i = 0; f > 0 && i < kFrame && (f - 1) * kFrame + i < in.size(); ++i)
            heard.denoised[(f - 1) * kFrame + i] = float(frame[i]) / 32767;
    }
    return heard;
}

struct Run {
    size_t from = 0, to = 0; // frames, one past the last
    size_t length() const { return to - from; }
};

// The longest stretch of voice, pauses shorter than kLongestPause joined;
// empty when none is long enough to be a word.
Run longestVoice(const std::vector<bool> &voice)
{
    std::vector<Run> runs;
    for (size_t f = 0; f < voice.size(); ++f) {
        if (!voice[f])
            continue;
        if (!runs.empty() && f - runs.back().to < kLongestPause)
            runs.back().to = f + 1;
        else
            runs.push_back({f, f + 1});
    }
    const auto longest = std::max_element(runs.begin(), runs.end(),
                                          [](const Run &a, const Run &b) { return a.length() < b.length(); });
    return longest == runs.end() || longest->length() < kShortestVoice ? Run{} : *longest;
}

// The mean square of each frame.
std::vector<double> framePowers(const Samples &s)
{
    std::vector<double> powers;
    for (size_t from = 0; from < s.size(); from += kFrame) {
        const size_t to = std::min(s.size(), from + kFrame);
        double sum = 0;
        for (size_t i = from; i < to; ++i)
            sum += double(s[i]) * s[i];
        powers.push_back(sum / double(to - from));
    }
    return powers;
}

// The noise the suppressor left, RMS in dBFS: the median frame away from the word.
double noiseLeftDb(const std::vector<double> &powers, Run word)
{
    std::vector<double> away;
    for (size_t f = 0; f < powers.size(); ++f)
        if (f + kMargin * 2 < word.from || f >= word.to + kMargin * 2)
            away.push_back(powers[f]);
    if (away.empty())
        return kSilenceDb;
    std::nth_element(away.begin(), away.begin() + long(away.size() / 2), away.end());
    return away[away.size() / 2] > 0 ? 10 * std::log10(away[away.size() / 2]) : kSilenceDb;
}

// The stretch's ends moved in to where its sound fades, over what is no
// longer the word; its start, which the detector may find late, also out by
// kReach at most, over a soft first sound (an "f" in a noisy room).
Run fittedEnds(const std::vector<double> &powers, Run run, double noiseDb)
{
    if (run.length() == 0)
        return run;
    const double loudest = *std::max_element(powers.begin() + long(run.from), powers.begin() + long(run.to));
    const double least = std::max(loudest * std::pow(10.0, -kFadedDb / 10), std::pow(10.0, (noiseDb + kOverNoiseDb) / 10));
    const auto sounds = [&](size_t f) { return powers[f] > least; };
    Run fitted = run;
    while (fitted.from > 0 && run.from - fitted.from < kReach && sounds(fitted.from - 1))
        --fitted.from;
    while (fitted.from < fitted.to && !sounds(fitted.from))
        ++fitted.from;
    while (fitted.to > fitted.from && !sounds(fitted.to - 1))
        --fitted.to;
    return fitted;
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

bool CleanedVoice::leftQuiet() const
{
    return !samples.empty() && rmsDb(samples) < kVoiceRmsDb - 3;
}

CleanedVoice cleanVoice(const Samples &in)
{
    CleanedVoice out;
    const Heard heard = listen(in);
    const Run voice = longestVoice(heard.voice);
    const std::vector<double> powers = framePowers(heard.denoised);
    out.noiseDb = noiseLeftDb(powers, voice);
    const Run word = fittedEnds(powers, voice, out.noiseDb);
    if (word.length() == 0)
        return {};
    const size_t from = word.from > kMargin ? (word.from - kMargin) * kFrame : 0;
    const size_t to = std::min(in.size(), (word.to + kMargin) * kFrame);
    Samples s(heard.denoised.begin() + long(from), heard.denoised.begin() + long(to));
    fade(s);
    const double mostGain = std::max(kMostNoiseRiseDb, kInaudibleDb - out.noiseDb);
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
