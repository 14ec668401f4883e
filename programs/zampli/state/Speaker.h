// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Counter16.h"

#include <QString>

namespace zampli {

// What an exercise window says, by what it means; where the files are and
// how they play is not its concern.
class Speaker {
public:
    virtual ~Speaker() = default;
    virtual void speak(const QString &letter) = 0; // the voice of a vowel "A".."U"
    virtual void speakWord(const QString &word) = 0;
    virtual void sayAgain() = 0; // the voice played last, once more
    virtual void praise() = 0;   // one of the four words of praise
    // The error sound, and the wrong answer counted.
    virtual void wrongAnswer() = 0;
};

// The counters every window shares; the menu clears them when it loads.
struct SharedCounters {
    Counter16 EserciziEseguiti; // exercises done, or right answers
    Counter16 EserciziErrati;   // wrong answers
    Counter16 Contatore;        // a window's own sequencing
};

} // namespace zampli
