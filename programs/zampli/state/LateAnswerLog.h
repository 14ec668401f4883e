// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "state/AnswerLog.h"

#include <functional>
#include <memory>
#include <vector>

namespace zampli {

// What keeps the answers for good, made by the answers' module. A session is
// dated by whoever saw it begin, since it may reach the writer later.
class AnswerWriter {
public:
    virtual ~AnswerWriter() = default;
    virtual void sessionStarted(qint64 atMs) = 0;
    virtual void record(const AnswerRecord &answer) = 0;
};

// Stands for the writer until start() makes it, so that the database's
// library and its thread do not stand between the program's start and its
// first window. What comes before is kept, in order, and handed over whole.
// Called from the windows' thread only, like the windows' other services.
class LateAnswerLog final : public AnswerLog {
public:
    using Make = std::function<std::unique_ptr<AnswerWriter>()>;
    using Now = std::function<qint64()>; // UTC milliseconds since 1970
    explicit LateAnswerLog(Make make, Now now = {});
    // Whatever still waits is handed over: a run too short to have started
    // the writer loses nothing either.
    ~LateAnswerLog() override;
    LateAnswerLog(const LateAnswerLog &) = delete;
    LateAnswerLog &operator=(const LateAnswerLog &) = delete;

    void start();
    void sessionStarted() override;
    void record(const AnswerRecord &answer) override;

private:
    struct Waiting {
        bool session = false; // a session's start at answer.atMs, else an answer
        AnswerRecord answer;
    };

    Make make_;
    Now now_;
    std::unique_ptr<AnswerWriter> writer_;
    std::vector<Waiting> waiting_;
};

} // namespace zampli
