// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Answer.h"
#include "results/AnswerRecord.h"
#include "state/FormId.h"

#include <chrono>

namespace zampli {

class AnswerLog;

// What a window tells of one answer: the vowel asked and the vowel chosen,
// the word of INIZIA PER, and the styles where the window keeps its own pair.
struct Judged {
    QString asked;
    QString chosen;
    QString word = {};
    int askedStyle = -1;  // -1: the window's Stile, where a letter is asked
    int chosenStyle = -1; // -1: the window's Stile, where letters are chosen
};

// Completes each answer of one window with what they all share (the window,
// how it shows the vowels, the question's number and time) and leaves it in
// the log. Costs the window a clock reading and a copy.
class AnswerRecorder {
public:
    AnswerRecorder(AnswerLog &log, FormId id);

    // A new question is before the child: the next answers count from now.
    void questionAsked();
    // An Ignored verdict is no answer and is not kept.
    void record(Answer verdict, const Judged &what, int stile);

private:
    using Steady = std::chrono::steady_clock;

    AnswerLog &log_;
    QString window_;
    Shown askedAs_;
    Shown chosenAs_;
    int turn_ = 0;
    Steady::time_point askedAt_ = Steady::now();
};

} // namespace zampli
