// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsFile.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace zampli {

// Keeps the child's answers in the database of the program folder without
// ever making a window wait: record() only queues, a thread of its own
// writes what came in every quarter second in one transaction. When the file
// cannot be written the answers wait in memory and the adult is told once;
// what still waits when the program ends is set beside the file for the
// next start.
class ResultsWriter {
public:
    struct Timing {
        int flushMs = 250;     // an answer is on disk well within a second
        int busyMs = 250;      // how long one attempt waits for another program's lock
        int retryMs = 2000;    // after a failure other than a lock
        int quitWaitMs = 3000; // at the end, how long a lock is waited for before the answers go aside
    };

    ResultsWriter(const QString &path, const QString &programFolder, ResultsFile::Report report);
    ResultsWriter(const QString &path, const QString &programFolder, ResultsFile::Report report, Timing timing);
    // Ends the session (unless it was ended) and writes what is left, or sets it aside.
    ~ResultsWriter();

    // From any thread; never waits for the disk.
    void sessionStarted();
    // The same at a given moment, for tools that write a past month.
    void sessionStarted(qint64 atMs);
    void sessionEnded(qint64 atMs);
    void record(const AnswerRecord &answer);

    // Wakes the writer and waits until it has tried once to write everything
    // recorded so far; true when all of it is in the file. For tests and tools.
    bool sync();

    // Answers kept in memory at most while the file cannot be written.
    static constexpr std::size_t kMaxWaiting = 100000;

private:
    // What waits for the file. Past the cap the oldest answers stay and the
    // rest are only counted, in one Dropped event, so the file says how many are missing.
    class Waiting {
    public:
        // False when the answer was only counted.
        bool add(ResultsEvent e);
        const std::vector<ResultsEvent> &events() const { return events_; }
        bool empty() const { return events_.empty(); }
        void clear();

    private:
        std::vector<ResultsEvent> events_;
        std::size_t answers_ = 0;
        std::optional<std::size_t> dropped_; // where the Dropped event is
    };

    void push(ResultsEvent e);
    void run();
    void admit(std::vector<ResultsEvent> &taken);
    ResultsFile::Outcome writeRound(bool forced);
    void finish();

    const Timing timing_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::vector<ResultsEvent> queue_;
    bool stop_ = false;
    quint64 asked_ = 0;  // sync() calls
    quint64 served_ = 0; // the last sync() call a finished round covered
    bool allWritten_ = true;

    // The writer thread's own.
    ResultsFile file_;
    Waiting waiting_;
    qint64 nextTryMs_ = 0;
    std::thread thread_;
};

} // namespace zampli
