// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/Sqlite.h"

#include <QDate>
#include <QList>
#include <QStringList>
#include <array>
#include <limits>

namespace zampli {

// Which answers a question to the database looks at: a span of time, and
// the sessions of one label (a null label: every session).
struct ResultsFilter {
    qint64 fromMs = 0;
    qint64 toMs = std::numeric_limits<qint64>::max();
    QString label;
};

struct SessionSummary {
    qint64 id = 0;
    qint64 startedMs = 0;
    qint64 endedMs = 0;
    QString label;       // null until the adult gives one
    QStringList windows; // the windows answered in, by name, sorted
    int right = 0;
    int wrong = 0;
};

struct Score {
    int right = 0;
    int wrong = 0;
};
using VowelScores = std::array<Score, 5>; // A, E, I, O, U

// Which answers a confusion matrix counts.
struct ConfusionKind {
    enum Kind { Hearing, Faces, Words, Letters } kind;
    int style = 0; // 1..4 for Letters: a letter of that style asked or chosen
};
using ConfusionMatrix = std::array<std::array<int, 5>, 5>; // [asked][chosen], A..U

struct MissedWord {
    QString word;
    int wrong = 0;
    int asked = 0; // answers given to it, right and wrong
};

// The share of right answers of one day (local time), per vowel asked; -1
// where the vowel was not asked that day.
struct DayShare {
    QDate day;
    std::array<double, 5> share{};
    std::array<int, 5> answers{};
};

// What the adult's program asks of a results database. Reads only.
class ResultsReader {
public:
    // False, with the reason in error(), when the file cannot be read.
    bool open(const QString &path);
    QString error() const { return error_; }

    QList<SessionSummary> sessions(const ResultsFilter &f = {});
    VowelScores perVowel(const ResultsFilter &f = {});
    ConfusionMatrix confusion(ConfusionKind kind, const ResultsFilter &f = {});
    // The words answered wrong most often, most first, then by name.
    QList<MissedWord> mostMissedWords(int limit, const ResultsFilter &f = {});
    QList<DayShare> dailyShare(const ResultsFilter &f = {});
    // Every answer of the filter, one a line, as Italian spreadsheets open it:
    // UTF-8 with a byte-order mark, fields split by ';'. Written whole or not at all.
    bool exportCsv(const QString &path, const ResultsFilter &f = {});

private:
    SqliteDb db_;
    QString error_;
};

} // namespace zampli
