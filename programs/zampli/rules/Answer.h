// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zampli {

// What a click or a drop means for the turn.
enum class Answer {
    Ignored, // nothing to answer now (the turn or series is over)
    Wrong,
    Right,
};

// A question that takes one right answer: nothing more is judged once it is
// answered, and a choice outside what is shown is no answer.
inline Answer judgeOnce(bool &answered, bool shown, bool right)
{
    if (answered || !shown)
        return Answer::Ignored;
    answered = right;
    return right ? Answer::Right : Answer::Wrong;
}

} // namespace zampli
