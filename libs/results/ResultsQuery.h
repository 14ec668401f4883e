// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the reader's queries share: the filter in SQL and its parameters.
#include "catalog/Vowels.h"
#include "results/ResultsReader.h"

#include <sqlite3.h>

namespace zampli {

// The sessions of the filter's child: ?9 is 0 for all, -1 for nobody named.
// By her id only: a label typed by hand may be another child's name.
#define RESULTS_CHILD_FILTER " AND (?9 = 0 OR s.child_id = ?9 OR (?9 = -1 AND s.child_id IS NULL))"

// The sessions the filter's label and child keep, as a condition on `a`;
// true at once when the filter keeps every session.
#define FILTERED_SESSION_OF_ANSWER                                                                                     \
    " ((?3 IS NULL AND ?9 = 0) OR a.session_id IN (SELECT s.id FROM sessions s"                                      \
    " WHERE (?3 IS NULL OR s.label = ?3)" RESULTS_CHILD_FILTER "))"

// The answers of the filter's kind of question: ?10 how it was put (NULL for
// every kind), ?11 how answered, ?12 the style of the letters, as
// confusionByKind() tells the kinds apart.
#define RESULTS_KIND_FILTER                                                                                            \
    " AND (?10 IS NULL OR (a.asked_as = ?10 AND a.chosen_as = ?11 AND CASE WHEN a.asked_as = 'lettera'"             \
    " THEN a.asked_style WHEN a.chosen_as = 'lettera' THEN a.chosen_style ELSE 0 END = ?12))"

// Every query joins the answers to their session and keeps those of the filter.
#define FILTERED_ANSWERS                                                                                               \
    " FROM answers a JOIN sessions s ON s.id = a.session_id"                                                          \
    " WHERE a.at_ms >= ?1 AND a.at_ms <= ?2 AND (?3 IS NULL OR s.label = ?3)" RESULTS_CHILD_FILTER RESULTS_KIND_FILTER

// The same answers, session by session: the covering index on (session_id,
// asked_as, asked, chosen, right, at_ms) hands each session's answers over
// already grouped, so the class's tables sort a row per session and vowel,
// not one per answer (0.37 s down to 0.21 s over a class's 600,000).
#define ANSWERS_BY_SESSION                                                                                             \
    " FROM sessions s CROSS JOIN answers a ON a.session_id = s.id"                                                    \
    " WHERE a.at_ms >= ?1 AND a.at_ms <= ?2 AND (?3 IS NULL OR s.label = ?3)" RESULTS_CHILD_FILTER RESULTS_KIND_FILTER

inline void bindFilter(Statement &s, const ResultsFilter &f)
{
    s.bind(1, f.fromMs);
    s.bind(2, f.toMs);
    s.bind(3, f.label);
    s.bind(9, f.childId);
    s.bind(10, f.kind ? f.kind->askedAs : QString());
    s.bind(11, f.kind ? f.kind->chosenAs : QString());
    s.bind(12, qint64(f.kind ? f.kind->style : 0));
}

// The place 0..4 of a vowel letter in the tables, or -1.
inline int vowelIndex(const QString &letter)
{
    return vowelNumber(letter) - 1;
}

// Calls `row` for each row; SQLITE_DONE when every row was read.
template <class F>
int forEachRow(Statement &s, F &&row)
{
    int rc;
    while ((rc = s.step()) == SQLITE_ROW)
        row();
    return rc;
}

} // namespace zampli
