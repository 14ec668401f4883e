// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsWriter.h"

#include <QDateTime>

namespace zampli {

namespace {
qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}
} // namespace

ResultsWriter::ResultsWriter(const QString &path, const QString &programFolder, ResultsFile::Report report)
    : ResultsWriter(path, programFolder, std::move(report), Timing{})
{
}

ResultsWriter::ResultsWriter(const QString &path, const QString &programFolder, ResultsFile::Report report,
                             Timing timing)
    : timing_(timing), file_(path, programFolder, timing.busyMs, std::move(report)),
      thread_([this] { run(); })
{
}

ResultsWriter::~ResultsWriter()
{
    push({ResultsEvent::Kind::SessionEnd, nowMs(), {}});
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void ResultsWriter::sessionStarted()
{
    sessionStarted(nowMs());
}

void ResultsWriter::sessionStarted(qint64 atMs)
{
    push({ResultsEvent::Kind::SessionStart, atMs, {}});
}

void ResultsWriter::sessionEnded(qint64 atMs)
{
    push({ResultsEvent::Kind::SessionEnd, atMs, {}});
}

void ResultsWriter::record(const AnswerRecord &answer)
{
    push({ResultsEvent::Kind::Answer, answer.atMs, answer});
}

void ResultsWriter::push(ResultsEvent e)
{
    // No wake-up: the thread comes by on its own within flushMs, and a click
    // costs no more than a lock and an append.
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(e));
}

bool ResultsWriter::sync()
{
    std::unique_lock lock(mutex_);
    const quint64 ticket = ++asked_;
    wake_.notify_one();
    done_.wait(lock, [&] { return served_ >= ticket; });
    return allWritten_;
}

void ResultsWriter::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait_for(lock, std::chrono::milliseconds(timing_.flushMs),
                       [&] { return stop_ || asked_ != served_; });
        const bool stopping = stop_;
        const bool forced = stopping || asked_ != served_;
        const quint64 serving = asked_;
        // Taken whole, so that a click waits for a swap at most, not a copy.
        std::vector<ResultsEvent> taken;
        taken.swap(queue_);
        lock.unlock();
        admit(taken);
        if (stopping)
            finish();
        else
            writeRound(forced);
        lock.lock();
        allWritten_ = waiting_.empty() && queue_.empty();
        served_ = serving;
        done_.notify_all();
        if (stopping)
            break;
    }
    file_.close();
}

void ResultsWriter::admit(std::vector<ResultsEvent> &taken)
{
    for (ResultsEvent &e : taken)
        if (!waiting_.add(std::move(e)))
            file_.tell(ResultsFile::Trouble::Dropped,
                       QStringLiteral("risultati incompleti: %1 non si può scrivere da troppo tempo e le risposte "
                                      "nuove non vengono più conservate; chiudi il programma che lo tiene occupato "
                                      "o libera spazio sul disco")
                           .arg(file_.path()));
}

ResultsFile::Outcome ResultsWriter::writeRound(bool forced)
{
    if (waiting_.empty() && !file_.hasPending())
        return ResultsFile::Outcome::Written;
    if (!forced && nowMs() < nextTryMs_)
        return ResultsFile::Outcome::Failed;
    const ResultsFile::Outcome o = file_.write(waiting_.events());
    switch (o) {
    case ResultsFile::Outcome::Written: waiting_.clear(); break;
    case ResultsFile::Outcome::Busy: break; // the lock is waited for at every round
    case ResultsFile::Outcome::Failed: nextTryMs_ = nowMs() + timing_.retryMs; break;
    }
    return o;
}

// At the end another program's lock is waited for a little; what still
// cannot go in is set beside the file, where the next start finds it.
void ResultsWriter::finish()
{
    const qint64 deadline = nowMs() + timing_.quitWaitMs;
    ResultsFile::Outcome o = writeRound(true);
    while (o == ResultsFile::Outcome::Busy && nowMs() < deadline) {
        // Each attempt waits busyMs for the lock; this pause only keeps a
        // lock refused at once from turning the loop into a spin.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        o = writeRound(true);
    }
    if (!waiting_.empty() && file_.setAside(waiting_.events()))
        waiting_.clear();
}

bool ResultsWriter::Waiting::add(ResultsEvent e)
{
    const bool answer = e.kind == ResultsEvent::Kind::Answer;
    if (!answer || answers_ < kMaxWaiting) {
        answers_ += answer ? 1 : 0;
        events_.push_back(std::move(e));
        return true;
    }
    if (!dropped_) {
        dropped_ = events_.size();
        events_.push_back({ResultsEvent::Kind::Dropped, e.atMs, {}, 0});
    }
    ++events_[*dropped_].count;
    return false;
}

void ResultsWriter::Waiting::clear()
{
    events_.clear();
    answers_ = 0;
    dropped_.reset();
}

} // namespace zampli
