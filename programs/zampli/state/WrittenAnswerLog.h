// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsWriter.h"
#include "state/AnswerLog.h"

namespace zampli {

// The answers handed to the database writer of the program folder.
class WrittenAnswerLog final : public AnswerLog {
public:
    explicit WrittenAnswerLog(ResultsWriter &writer) : writer_(writer) {}
    void sessionStarted() override { writer_.sessionStarted(); }
    void record(const AnswerRecord &answer) override { writer_.record(answer); }

private:
    ResultsWriter &writer_;
};

} // namespace zampli
