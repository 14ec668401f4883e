// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Shuffle.h"

namespace zampli {

class Random;

// A vowel 1..5 drawn again until it differs from `last` (0: none yet).
int drawVowelExcept(Random &random, int last);

// The wait after a voice in the listening windows: the next step comes only
// once the voice had time to be heard. The clock wraps at midnight.
class VoiceWait {
public:
    static constexpr double kSeconds = 2.0;
    void start(double now) { started_ = now; }
    bool over(double now) const;

private:
    double started_ = 0;
};

// The five-picture listening round: the child hears the five pictures in any
// order; after five, the pictures are shuffled anew.
inline constexpr int kHeardPerRound = 5;

} // namespace zampli
