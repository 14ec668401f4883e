// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "VoiceClean.h"

#include <QString>

namespace zampli::teacher {

struct ImportedVoice {
    Samples samples; // cleaned, at kVoiceRate; empty on failure
    QString error;   // in Italian, says what to do
};

// Reads any sound libsndfile reads (WAV of any PCM or float kind, FLAC, OGG,
// AIFF...), mixes it to mono, resamples it to kVoiceRate and cleans it.
ImportedVoice importVoice(const QString &file);

// Mono samples at `rate` brought to kVoiceRate.
Samples resampled(const Samples &in, int rate);

// Writes the voice as a 16-bit mono WAV over `path`, whole or not at all.
QString saveVoice(const Samples &voice, const QString &path);

} // namespace zampli::teacher
