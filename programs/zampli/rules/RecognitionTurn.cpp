// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/RecognitionTurn.h"

#include "rules/Random.h"

namespace zampli {

void RecognitionTurn::shuffle(Random &random)
{
    const Shuffle s = shufflePlaces(random);
    places_ = s.places;
    spokenPlace_ = s.lastDrawn;
}

void RecognitionTurn::drawSpoken(Random &random)
{
    QString letter;
    do {
        spokenPlace_ = random.drawPlace(inPlay_);
        letter = places_[spokenPlace_];
    } while (letter == spoken_);
    spoken_ = letter;
    answered_ = false;
}

Answer RecognitionTurn::answer(int place)
{
    const bool shown = place >= 0 && place < inPlay_;
    return judgeOnce(answered_, shown, shown && places_[place] == spoken_);
}

} // namespace zampli
