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
// "Parla ora": its noise is measured there.
inline constexpr double kMeasureSeconds = 0.5;
// A word less far above the room's noise is hard to make out for a child.
inline constexpr double kLeastAboveNoiseDb = 20.0;
// Levelling raises an audible noise by no more than this.
inline constexpr double kMostNoiseRiseDb = 6.0;

// A recording as the teacher's program keeps it: mono, -1..1, at kVoiceRate.
using Samples = std::vector<float>;

struct CleanedVoice {
    Samples samples;            // trimmed and levelled; empty when nothing stands out
    double noiseDb = kSilenceDb; // the room, RMS in dBFS, as measured
    double wordDb = kSilenceDb;  // the sounding part of the word, RMS in dBFS, as recorded
    double gainDb = 0;           // how far the word was raised (below zero: lowered)

    double aboveNoiseDb() const { return wordDb - noiseDb; }
    // Heard, but too little above the room's noise.
    bool noisy() const { return !samples.empty() && aboveNoiseDb() < kLeastAboveNoiseDb; }
    // Left quieter than the default set's voices, so as not to raise the noise.
    bool leftQuiet() const { return !samples.empty() && wordDb + gainDb < kVoiceRmsDb - 3; }
};

// The room's noise in the take's first kMeasureSeconds: the RMS of the
// quieter half of its 10 ms windows, so a cough there does not count.
double roomNoiseDb(const Samples &take);

// Keeps the word: from where its level first stands clearly above the room's
// noise (10 dB; with no room measured, within 40 dB of its loudest part and
// over -50 dBFS) to where it last does, with short margins and fades; a
// click apart from the word is left out. Then brings it to the default set's
// loudness, unless that would raise an audible noise by more than
// kMostNoiseRiseDb.
CleanedVoice cleanVoice(const Samples &in, double noiseDb = kSilenceDb);

double rmsDb(const Samples &s);
double peakDb(const Samples &s);

// A 16-bit mono PCM WAV file's bytes at kVoiceRate.
QByteArray wavBytes(const Samples &s);

} // namespace zampli::teacher
