// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The reader's views answered from the summaries: the same rows, in the same
// order, as the queries over the answers give.
#include "results/ResultsReader.h"
#include "results/Summaries.h"

#include <climits>

namespace zampli {

class SummaryViews {
public:
    SummaryViews(const SummaryData &d, const ResultsFilter &f);
    // The filter's days are whole local days (or no bound): the summaries' days tell them.
    bool wholeDays() const { return wholeDays_; }

    QList<SessionSummary> sessions(const QHash<qint64, QString> &childNames) const;
    QList<MissedWord> mostMissedWords(int limit) const;
    QList<KindConfusion> confusionByKind() const;
    QList<SessionVowel> vowelsBySession() const;
    // Per child (0: nobody named) the class's tallies, and the mix-ups that count, ranked.
    QHash<qint64, ChildOverview> classOverview() const;
    QHash<qint64, QList<Confusion>> practiseNext() const;

private:
    const SummarySession *session(qint64 id) const;
    bool keeps(const SummarySession &s) const; // the filter's label and child
    bool kindKept(int kind) const;
    bool dayKept(int day) const { return day >= fromDay_ && day <= toDay_; }
    // The rows of the filter's days, sessions and kind, with their session.
    template <class F>
    void eachRow(F &&f) const;

    const SummaryData &d_;
    const ResultsFilter &f_;
    bool wholeDays_ = true;
    int fromDay_ = INT_MIN, toDay_ = INT_MAX;
};

} // namespace zampli
