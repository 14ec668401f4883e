// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace zampli::teacher {

// The default set's voices: 16-bit mono PCM at 22050 Hz, -16 dBFS RMS,
// peaks under -1 dBFS (devtools/clean-wav.sh).
inline constexpr int kVoiceRate = 22050;
inline constexpr double kVoiceRmsDb = -16.0;
inline constexpr double kVoicePeakDb = -1.0;

// The level given to digital silence, and to a room not measured.
inline constexpr double kSilenceDb = -200.0;
// A take starts with this much of the room alone, the teacher silent until
// "Parla ora": the noise suppressor learns the room there.
inline constexpr double kMeasureSeconds = 0.5;
// Levelling raises what noise is left by no more than this.
inline constexpr double kMostNoiseRiseDb = 6.0;

// A recording as the teacher's program keeps it: mono, -1..1, at kVoiceRate.
using Samples = std::vector<float>;

struct CleanedVoice {
    Samples samples;             // the word, denoised, trimmed and levelled; empty when no voice is heard
    double noiseDb = kSilenceDb; // the room left under the word after denoising, RMS in dBFS
    double gainDb = 0;           // how far the word was raised (below zero: lowered)

    // Left quieter than the default set's voices, so as not to raise the noise.
    bool leftQuiet() const;
};

// speexdsp's noise suppressor learns the room over a first pass through the
// take, then takes its steady noise away in a second; its voice detector
// marks the frames that carry speech. The longest stretch of voice,
// pauses within a word joined, is kept with a short margin: a scrape, a
// cough or talk apart from it is cut away with the rest. Then the word is
// brought to the default set's loudness, unless that would raise the noise
// left under it by more than kMostNoiseRiseDb.
CleanedVoice cleanVoice(const Samples &in);

double rmsDb(const Samples &s);
double peakDb(const Samples &s);

// A 16-bit mono PCM WAV file's bytes at kVoiceRate.
QByteArray wavBytes(const Samples &s);

} // namespace zampli::teacher
