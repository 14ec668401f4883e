// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/MatchingRules.h"

#include "rules/Random.h"

namespace zampli {

void PositionTurn::draw(Random &random)
{
    faces_ = shufflePlaces(random).places;
    do {
        writtenPlace_ = random.drawPlace(kVowelCount);
    } while (faces_[writtenPlace_] == written_);
    written_ = faces_[writtenPlace_];
    answered_ = false;
}

Answer PositionTurn::answer(int place)
{
    const bool shown = place >= 0 && place < kVowelCount;
    return judgeOnce(answered_, shown, shown && faces_[place] == written_);
}

void ClickSeries::start(Random &random)
{
    const Shuffle s = shufflePlaces(random);
    row_ = s.places;
    lastDrawn_ = s.lastDrawn;
    done_ = 0;
    pairShown_ = false;
}

Answer ClickSeries::answer(int place)
{
    if (over() || pairShown_ || place < 0 || place >= kVowelCount)
        return Answer::Ignored;
    if (row_[place] != model())
        return Answer::Wrong;
    ++done_;
    pairShown_ = true;
    return Answer::Right;
}

void DragSeries::deal(Random &random)
{
    constexpr int kUnplaced = -1;
    rows_.fill(kUnplaced);
    for (int row = 0; row < kPairs; ++row) {
        int k = random.drawPlace(kPairs);
        while (rows_[k] != kUnplaced)
            k = (k + 1) % kPairs;
        rows_[k] = row;
    }
    matched_.fill(false);
    done_ = 0;
}

Answer DragSeries::drop(int box, int piece)
{
    if (piece < 0 || piece >= kPairs || matched_[piece])
        return Answer::Ignored;
    if (box != piece)
        return Answer::Wrong;
    matched_[piece] = true;
    ++done_;
    return Answer::Right;
}

} // namespace zampli
