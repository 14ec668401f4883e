// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/LateAnswerLog.h"

#include <QDateTime>

namespace zampli {

LateAnswerLog::LateAnswerLog(Make make, Now now)
    : make_(std::move(make)), now_(now ? std::move(now) : Now(&QDateTime::currentMSecsSinceEpoch))
{
}

LateAnswerLog::~LateAnswerLog()
{
    if (!waiting_.empty())
        start();
}

void LateAnswerLog::start()
{
    if (writer_)
        return;
    writer_ = make_();
    for (const Waiting &w : waiting_) {
        if (w.session)
            writer_->sessionStarted(w.answer.atMs);
        else
            writer_->record(w.answer);
    }
    waiting_.clear();
    waiting_.shrink_to_fit();
}

void LateAnswerLog::sessionStarted()
{
    const qint64 at = now_();
    if (writer_) {
        writer_->sessionStarted(at);
        return;
    }
    Waiting w;
    w.session = true;
    w.answer.atMs = at;
    waiting_.push_back(std::move(w));
}

void LateAnswerLog::record(const AnswerRecord &answer)
{
    if (writer_)
        writer_->record(answer);
    else
        waiting_.push_back({false, answer});
}

} // namespace zampli
