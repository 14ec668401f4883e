// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/AnswerRecord.h"

namespace zampli {

// What the writer keeps for the file, in the order it happened.
struct ResultsEvent {
    // Dropped stands for the answers the writer could not keep in memory.
    enum class Kind { SessionStart, Answer, SessionEnd, Dropped };
    Kind kind = Kind::Answer;
    qint64 atMs = 0;
    AnswerRecord answer; // for Kind::Answer
    qint64 count = 0;    // for Kind::Dropped: how many answers
};

} // namespace zampli
