// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/AnswerRecord.h"
#include "results/Sqlite.h"

#include <QSet>
#include <functional>
#include <vector>

namespace zampli {

// What the writer keeps for the file, in the order it happened.
struct ResultsEvent {
    enum class Kind { SessionStart, Answer, SessionEnd };
    Kind kind = Kind::Answer;
    qint64 atMs = 0;
    AnswerRecord answer; // for Kind::Answer
};

// The database of one program folder as the writer thread sees it: opened
// (and made, moved aside, migrated) when first needed, written a batch at a
// time in one short transaction. Each kind of trouble is told once.
class ResultsFile {
public:
    using Report = std::function<void(const QString &line)>;
    enum class Outcome { Written, Busy, Failed };

    ResultsFile(QString path, QString programFolder, int busyMs, Report report);

    // All of `events` in one transaction, or none of them.
    Outcome write(const std::vector<ResultsEvent> &events);
    void close() { db_.close(); }

private:
    enum class Trouble { Folder, CannotOpen, Busy, Corrupt, Newer, CannotWrite };

    Outcome writeOnce(const std::vector<ResultsEvent> &events);
    Outcome open();
    int prepare(); // pragmas, a quick check, the tables
    int writeEvents(const std::vector<ResultsEvent> &events, qint64 &session);
    int insertSession(qint64 startMs, qint64 &session);
    int extendSession(qint64 session, qint64 toMs); // the session lasts at least until toMs
    int insertAnswer(const AnswerRecord &a, qint64 session);
    Outcome failed(int rc);
    void moveAside();
    void tell(Trouble t, const QString &line);

    QString path_;
    QString programFolder_;
    int busyMs_;
    Report report_;
    SqliteDb db_;
    bool refused_ = false;   // written by a newer program: left alone
    bool renewed_ = false;   // a broken file was just moved aside
    qint64 sessionStartMs_ = 0;
    qint64 session_ = 0;     // the session's row in this file; 0: not there yet
    QSet<int> told_; // Trouble values
};

} // namespace zampli
