// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Places.h"

namespace zampli {

class Random;

// The five-place shuffle. Every place starts free; then, for the vowels 1 to
// 5 in order, a place 0..4 is drawn again and again until a free one comes
// up, and the vowel goes there.
struct Shuffle {
    Places places;
    int lastDrawn = 0; // the place drawn last, as the windows keep it
};
Shuffle shufflePlaces(Random &random);

// The place that shows `letter`, or -1.
int placeOf(const Places &places, const QString &letter);

// The style of letters of a turn, drawn anew each turn unless the adult
// fixed one in Opzioni: 1..4.
qint16 drawStyle(Random &random);

} // namespace zampli
