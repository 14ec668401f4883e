// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsReader.h"

#include <QMutex>
#include <QObject>
#include <QThread>
#include <atomic>
#include <memory>

namespace zampli::teacher {

// Everything the Risultati tab shows for one filter, read in one go.
struct ResultsSnapshot {
    enum class State { Read, NoFile, Unreadable };
    quint64 generation = 0;
    State state = State::NoFile;
    QString problem; // SQLite's words when unreadable
    ResultsFilter filter;
    QStringList labels;
    qint64 firstAnswerMs = 0; // 0: no answer yet
    QList<SessionSummary> sessions;
    QList<KindConfusion> kinds;
    VowelScores scores{};
    QList<DayShare> days; // a session counts on the day it began
    QList<MissedWord> words;
    // The class, whatever the filter: its children, whether sessions of
    // nobody named hold answers, who plays now, the problems unread; then
    // the scores and what to practise of the children the filter keeps.
    QList<ChildEntry> children;
    bool unnamedAnswers = false;
    ChildEntry nowPlaying;
    bool classRead = false; // overview and practise: read after the rest, delivered again
    QList<ChildOverview> overview;
    QList<PractiseNext> practise;
    QList<ProblemEntry> problems;
    QStringList damagedCopies;
};

// Folds the tallies of each session into the bars and the days' trend.
void foldTallies(ResultsSnapshot &s, const QList<SessionVowel> &tallies);

class ResultsWorker;

// Reads the results file on a thread of its own, through its own read-only
// connection: the window's thread never waits for the file. A request
// replaces any not yet begun and stops one under way, so only the latest
// filter is ever read to the end.
class ResultsLoader : public QObject {
    Q_OBJECT
public:
    explicit ResultsLoader(const QString &database, QObject *parent = nullptr);
    ~ResultsLoader() override;

    // Reads the pictures of `f`; loaded() follows with them.
    void load(const ResultsFilter &f);
    // Reads again only if another program wrote to the file since.
    void check();
    quint64 generation() const { return latest_.load(); }

signals:
    void loaded(const zampli::teacher::ResultsSnapshot &snapshot);
    // The share done, 0..100, while a file written by an older version is first summarised.
    void summarising(int percent);

private:
    friend class ResultsWorker;
    void deliver(const ResultsSnapshot &s);

    QThread thread_;
    ResultsWorker *worker_ = nullptr;
    std::atomic<quint64> latest_{0};
    QMutex mutex_;
    ResultsFilter pending_; // under mutex_
};

} // namespace zampli::teacher
