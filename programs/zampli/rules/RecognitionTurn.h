// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Answer.h"
#include "rules/Shuffle.h"

namespace zampli {

// A recognition turn: the five vowels shuffled into five places, of which the
// first `inPlay` are shown; one of those is spoken, never the vowel spoken in
// the turn before. A right answer ends the turn until the next one starts.
class RecognitionTurn {
public:
    explicit RecognitionTurn(int inPlay) : inPlay_(inPlay) {}

    void shuffle(Random &random);
    // Draws the vowel to speak among the places in play.
    void drawSpoken(Random &random);
    Answer answer(int place);
    // A new turn may be asked for: clears the answer.
    void reopen() { answered_ = false; }

    int inPlay() const { return inPlay_; }
    const Places &places() const { return places_; }
    // The letter spoken in this turn: empty until the first turn of the run.
    const QString &spoken() const { return spoken_; }
    int spokenPlace() const { return spokenPlace_; }
    bool answered() const { return answered_; }

private:
    int inPlay_;
    Places places_;
    QString spoken_;
    int spokenPlace_ = 0;
    bool answered_ = false;
};

} // namespace zampli
