// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/AnswerRecord.h"

namespace zampli {

// Where the exercise windows leave each answer they judge. Recording never
// waits and never fails as far as a window can tell: the child sees the
// same whatever becomes of the record.
class AnswerLog {
public:
    virtual ~AnswerLog() = default;
    // The title window is up: a new session begins.
    virtual void sessionStarted() = 0;
    virtual void record(const AnswerRecord &answer) = 0;
};

// Keeps nothing: for programs that keep no results.
class NoAnswerLog final : public AnswerLog {
public:
    void sessionStarted() override {}
    void record(const AnswerRecord &) override {}
};

} // namespace zampli
