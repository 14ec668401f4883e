// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsWriter.h"
#include "state/AnswerLog.h"

namespace zampli {

// The answers handed straight to a database writer, for tools and
// benchmarks that link the results library themselves; the program's own
// writer comes with the answers' module (LateAnswerLog).
class WrittenAnswerLog final : public AnswerLog {
public:
    explicit WrittenAnswerLog(ResultsWriter &writer) : writer_(writer) {}
    void sessionStarted() override { writer_.sessionStarted(); }
    void record(const AnswerRecord &answer) override { writer_.record(answer); }

private:
    ResultsWriter &writer_;
};

} // namespace zampli
