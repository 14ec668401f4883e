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
    if (answered_ || place < 0 || place >= inPlay_)
        return Answer::Ignored;
    if (places_[place] != spoken_)
        return Answer::Wrong;
    answered_ = true;
    return Answer::Right;
}

} // namespace zampli
