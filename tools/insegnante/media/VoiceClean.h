// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace zampli::teacher {

// The default set's voices: 16-bit mono PCM at 22050 Hz, -16 dBFS RMS,
// peaks under -1 dBFS (tools/clean-wav.sh).
inline constexpr int kVoiceRate = 22050;
inline constexpr double kVoiceRmsDb = -16.0;
inline constexpr double kVoicePeakDb = -1.0;

// A recording as the teacher's program keeps it: mono, -1..1, at kVoiceRate.
using Samples = std::vector<float>;

// Cuts the silence before and after the sound (what lies more than 40 dB
// under its loudest part, or under -50 dBFS), keeping 10 ms on each side
// with short fades, and brings it to the default set's loudness. Empty when
// nothing but silence was recorded.
Samples cleanVoice(const Samples &in);

double rmsDb(const Samples &s);
double peakDb(const Samples &s);

// A 16-bit mono PCM WAV file's bytes at kVoiceRate.
QByteArray wavBytes(const Samples &s);

} // namespace zampli::teacher
