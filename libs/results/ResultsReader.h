// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/DeliveryStatus.h"
#include "results/Sqlite.h"

#include <QDate>
#include <QList>
#include <QStringList>
#include <array>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

namespace zampli {

struct SummaryData;

// How a vowel was put before the child and how the child answered, in the
// words the file keeps ("voce", "faccia", "lettera", "parola", "tessera"),
// with the style of the letters where letters were shown: the asked one's
// when both were. Answers of different kinds never share a matrix.
struct QuestionKind {
    QString askedAs;
    QString chosenAs;
    int style = 0;
    bool operator==(const QuestionKind &) const = default;
};

// Which answers a question to the database looks at: a span of time, the
// sessions of one label (a null label: every session), those of one child
// (kAnyChild: every session; kNoChild: the sessions of nobody named), and
// the answers of one kind of question (none: every kind).
struct ResultsFilter {
    static constexpr qint64 kAnyChild = 0;
    static constexpr qint64 kNoChild = -1;
    qint64 fromMs = 0;
    qint64 toMs = std::numeric_limits<qint64>::max();
    QString label;
    qint64 childId = kAnyChild;
    std::optional<QuestionKind> kind;
};

// A child of the class, as the adult wrote her name.
struct ChildEntry {
    qint64 id = 0;
    QString name;
    qint64 createdMs = 0;
};

// What the adult is to read about the file: answers lost, a file salvaged.
struct ProblemEntry {
    qint64 id = 0;
    qint64 atMs = 0;
    QString kind;   // "file guasto", "risposte perse"
    QString detail; // the Italian sentence for the adult, when there is one
    int count = 0;  // the answers it cost
    bool read = false;
};

// One line for the adult: the day and time, what happened, what it cost and
// what to do, in plain Italian.
QString problemText(const ProblemEntry &p);

struct SessionSummary {
    qint64 id = 0;
    qint64 startedMs = 0;
    qint64 endedMs = 0;
    QString label;       // null until the adult gives one
    qint64 childId = 0;  // 0: nobody named
    QString childName;   // null when nobody named
    QStringList windows; // the windows answered in, by name, sorted
    int right = 0;
    int wrong = 0;
};

struct Score {
    int right = 0;
    int wrong = 0;
};
using VowelScores = std::array<Score, 5>; // A, E, I, O, U

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

// The class's table: one row a child, right out of asked per vowel.
struct ChildOverview {
    qint64 childId = 0; // 0: the sessions of nobody named
    QString name;       // null for those sessions
    VowelScores vowels{};
    QDate lastDay;      // the last day she answered (local time); null when never
};

// A mix-up that counts: the same wrong vowel chosen at least
// kMinConfusions times and in at least one answer in kMinShare, among at
// least kMinAnswers answers to that vowel put that way. Below that a child's
// few slips are chance, not a habit to practise against.
struct Confusion {
    static constexpr int kMinAnswers = 20;
    static constexpr int kMinConfusions = 5;
    static constexpr int kMinShare = 10; // one answer in ten
    QString asked;   // "E"
    QString chosen;  // "I"
    QString askedAs; // how it was put: "voce", "faccia", "lettera", "parola"
    int times = 0;   // answers `chosen` to `asked`
    int outOf = 0;   // answers to `asked` put that way
    QString advice;  // "scambia spesso la E con la I quando le sente"
};

// What each child should practise next: her two commonest mix-ups, most first.
struct PractiseNext {
    qint64 childId = 0; // 0: the sessions of nobody named
    QString name;
    QList<Confusion> confusions; // empty: no mix-up counts yet
};

// The words for a session or child of nobody named.
QString unnamedChild();

struct KindConfusion {
    QuestionKind kind;
    ConfusionMatrix counts{};
};

// The answers of one session to one vowel asked.
struct SessionVowel {
    qint64 session = 0;
    int vowel = 0; // 0..4, A..U
    int right = 0;
    int wrong = 0;
};

// What the adult's program asks of a results database about the answers:
// sessions, words, matrices, tallies, the answers as a spreadsheet. Reads
// only, but for the two preparations of the file below. ClassReader asks
// about the class through the same connection.
class ResultsReader {
public:
    // False, with the reason in error(), when the file cannot be read.
    bool open(const QString &path);
    QString error() const { return error_; }

    // The sessions that hold answers, earliest first.
    QList<SessionSummary> sessions(const ResultsFilter &f = {});
    // The words answered wrong most often, most first, then by name.
    QList<MissedWord> mostMissedWords(int limit, const ResultsFilter &f = {});
    // Every answer of the filter, one a line, as Italian spreadsheets open it:
    // UTF-8 with a byte-order mark, fields split by ';'. Written whole or not at all.
    // A cell a spreadsheet would run as a formula is written as text. False,
    // with the reason in error(), when the results cannot be read whole.
    bool exportCsv(const QString &path, const ResultsFilter &f = {});

    // Every child of the class, by name.
    QList<ChildEntry> children();
    QList<ProblemEntry> problems(bool unreadOnly);
    // Every kind of question of the filter with its matrix, in the order of
    // the kinds' words and styles; the filter's kind aside, so each can be chosen.
    QList<KindConfusion> confusionByKind(const ResultsFilter &f = {});
    // Right and wrong per session and vowel asked, by session.
    QList<SessionVowel> vowelsBySession(const ResultsFilter &f = {});
    // The names given to sessions, sorted.
    QStringList labels();
    // True when some session of nobody named holds answers, whatever the days.
    bool unnamedAnswers();
    // The time of the first answer kept; 0 when there is none.
    qint64 firstAnswerMs();
    // Changes whenever another connection commits to the file.
    qint64 dataVersion();
    // What waits for the school's server, and why.
    DeliveryStatus delivery() { return deliveryStatus(db_); }
    // True once the file this reader opened was renamed or removed.
    bool fileMoved();
    // Asked every few thousand steps of a query: true stops the query, which
    // then answers with what it had.
    void setStopCheck(std::function<bool()> stop);

    // Adds to `path` the indexes the questions above read through, once;
    // the child's program writes without needing them. False when the file
    // cannot take them now (a newer program's file, a read-only one, a
    // writer holding it): the questions still answer, only slower.
    static bool addIndexes(const QString &path);
    // Counts in the summaries of `path` the answers inserted by a program
    // that did not (an older version, another computer's): what the views
    // read. `progress(done, all)` as it goes. False when the file cannot
    // take them now: the views then read the answers themselves.
    static bool summarise(const QString &path, const std::function<void(qint64, qint64)> &progress = {});
    // False: every view reads the answers themselves, for comparisons.
    void setSummaries(bool use) { useSummaries_ = use; }

private:
    friend class ClassReader;
    bool failedWith(int rc);
    // The file's summaries as of its last change; null when off, behind the
    // answers, or unreadable.
    const SummaryData *summaries();
    bool writeWhole(const QString &path, const QByteArray &bytes);

    SqliteDb db_;
    QString path_;
    QString error_;
    std::function<bool()> stop_;
    bool useSummaries_ = true;
    std::shared_ptr<SummaryData> summary_; // read whole once per change of the file
    qint64 summaryVersion_ = -1;
};

} // namespace zampli
