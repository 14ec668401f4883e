// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "imports/VoiceClean.h"

#include <QString>

namespace zampli::teacher {

struct ImportedVoice {
    Samples samples; // cleaned, at kVoiceRate; empty on failure
    QString error;   // in Italian, says what to do
};

// Reads any sound libsndfile reads (WAV of any PCM or float kind, FLAC, OGG,
// AIFF...), mixes it to mono, resamples it to kVoiceRate and cleans it. It
// is read a chunk at a time: memory holds the chunk and the voice made, never
// what the header claims, and a header no voice could have is refused unread.
ImportedVoice importVoice(const QString &file);

// Writes the voice as a 16-bit mono WAV over `path`, whole or not at all.
QString saveVoice(const Samples &voice, const QString &path);

} // namespace zampli::teacher
