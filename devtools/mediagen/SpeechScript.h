// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WordTable.h"

#include <QString>

namespace mediagen {

// Prepares the spoken part of the set for one batch run of Festival:
// speech.scm (Latin-1, as Festival reads it) synthesises every word and the
// praise into raw/ under the work folder, and clean.list pairs each raw
// recording with its place in the set ("raw/w001.wav set/voci/ape.wav
// -16", UTF-8) for the cleaning step. Raw names are plain ASCII because
// Festival writes file names byte for byte.
// Returns an error message, empty on success.
QString writeSpeechScript(const WordTable &table, const QString &workFolder);

} // namespace mediagen
