// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <array>
#include <functional>
#include <vector>

namespace zampli {

class SqliteDb;
class Statement;

// Counts in the summaries every answer inserted since the last call: the
// child's program's batches, answers set aside and merged, a salvaged file,
// anything merged in from elsewhere. Inside the caller's transaction when it
// has one, else in one of its own. `progress(done, all)` is called every few
// thousand answers of a long catch-up (a file of an older version). Days are
// this computer's, or `zone`'s when one is given (a school's). An SQLite code.
using SummaryProgress = std::function<void(qint64 done, qint64 all)>;
int catchUpSummaries(SqliteDb &db, const SummaryProgress &progress = {}, const QTimeZone &zone = {});

// Forgets every summary, so that the next catch-up counts every answer
// again: for a file whose answers may come in below the ids already counted
// (a reading of a server, where deliveries commit out of order). An SQLite code.
int resetSummaries(SqliteDb &db);

// The summaries of the sessions `where` (a condition on sessions, bound by
// `bind`), in the eraser's transaction, after their answers went and before
// the sessions go. An SQLite code.
int forgetSummaries(SqliteDb &db, const char *where, const std::function<void(Statement &)> &bind);

// How one kind of question was put and answered, as the summaries keep it.
struct SummaryKind {
    QString askedAs, chosenAs;
    int askedStyle = 0, chosenStyle = 0;
};

// The answers of one session, day and kind: [asked][chosen] and the right ones per vowel asked.
struct SummaryCounts {
    std::array<std::array<int, 5>, 5> cells{};
    std::array<int, 5> right{};
};

struct SummaryRow {
    qint64 session = 0;
    int day = 0;  // QDate::toJulianDay(), local time
    int kind = 0; // in SummaryData::kinds
    SummaryCounts counts;
};

struct SummaryWord {
    qint64 session = 0;
    int day = 0;
    int kind = 0;
    QString word;
    int asked = 0;
    int wrong = 0;
};

struct SummarySession {
    qint64 startedMs = 0, endedMs = 0;
    qint64 child = 0; // 0: nobody named
    bool named = false;
    QString label;
    QStringList windows; // sorted as SQLite sorts text
};

// The whole of a file's summaries, read in one transaction.
struct SummaryData {
    QList<SummaryKind> kinds;
    std::vector<SummaryRow> rows;
    std::vector<SummaryWord> words;
    QHash<qint64, SummarySession> sessions;
};

// False when the summaries do not tell what the answers say: behind them, or
// answers of a kind they do not keep (no vowel, a time before 1970): the
// raw answers are read then.
bool readSummaries(SqliteDb &db, SummaryData &out);

} // namespace zampli
