// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/Shuffle.h"

#include "rules/Random.h"

namespace zampli {

Shuffle shufflePlaces(Random &random)
{
    Shuffle s;
    s.places.fill(kVuota);
    for (int v = 1; v <= kVowelCount; ++v) {
        do {
            s.lastDrawn = random.drawPlace(kVowelCount);
        } while (s.places[s.lastDrawn] != kVuota);
        s.places[s.lastDrawn] = vowelLetter(v);
    }
    return s;
}

int placeOf(const Places &places, const QString &letter)
{
    for (int k = 0; k < kVowelCount; ++k)
        if (places[k] == letter)
            return k;
    return -1;
}

qint16 drawStyle(Random &random)
{
    return static_cast<qint16>(random.drawNumber(4));
}

} // namespace zampli
