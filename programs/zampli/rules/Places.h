// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalog/Vowels.h"

#include <QString>
#include <array>

namespace zampli {

// The tag of a place no vowel has taken yet.
inline const QString kVuota = QStringLiteral("vuota");

// The five places of a window that shows all five vowels at once: the letter
// each place shows, or kVuota.
using Places = std::array<QString, kVowelCount>;

// What place 0..4 shows; empty for a place that does not exist.
inline QString letterAt(const Places &places, int place)
{
    return place >= 0 && place < kVowelCount ? places[std::size_t(place)] : QString();
}

} // namespace zampli
