// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/ResultsEvent.h"
#include "results/Sqlite.h"

#include <QSet>
#include <functional>
#include <vector>

namespace zampli {

struct PendingBatch;
struct PendingRead;

// The database of one program folder as the writer thread sees it: opened
// (and made, moved aside, migrated) when first needed, written a batch at a
// time in one short transaction. Each kind of trouble is told once.
class ResultsFile {
public:
    using Report = std::function<void(const QString &line)>;
    enum class Outcome { Written, Busy, Failed };
    // PendingAside: what lay in place of the answers set aside was left unread.
    enum class Trouble { Folder, CannotOpen, Busy, Corrupt, Newer, CannotWrite, Moved, Dropped, Pending, PendingAside, Lost };

    ResultsFile(QString path, QString programFolder, int busyMs, Report report);

    // All of `events` in one transaction, or none of them. What a past run
    // set aside beside the file goes in with the first batch.
    Outcome write(const std::vector<ResultsEvent> &events);
    // Answers a past run set aside wait to be merged.
    bool hasPending() const { return pending_; }
    // `events` beside the file for the next start, when the file itself
    // cannot take them before the program ends. False when that failed too.
    bool setAside(const std::vector<ResultsEvent> &events);
    void tell(Trouble t, const QString &line);
    const QString &path() const { return path_; }
    void close() { db_.close(); }

private:
    // The session the batches go on with: its row in this file (0 until it
    // is there), its start, and the child it was started for (0: nobody).
    struct Session {
        qint64 row = 0;
        qint64 startMs = 0;
        qint64 child = 0;
    };
    // Whose answers a batch holds. A live batch follows "now playing": a
    // change there starts a new session at the next answer. A batch set
    // aside by a past run cannot know who played while the file could not
    // be read: it goes on with its own session, or in one of nobody named.
    enum class Owner { NowPlaying, Unknown };

    Outcome writeOnce(const std::vector<ResultsEvent> &events);
    Outcome open();
    bool moved();
    void leaveMovedFile();
    int prepare(); // pragmas, a quick check, the tables
    int mergePending(const PendingRead &read);
    int mergeBatch(const PendingBatch &batch);
    void finishPending(const PendingRead &read);
    void leavePending(const QString &why);
    int writeEvents(const std::vector<ResultsEvent> &events, Session &session, Owner owner);
    int playingChild(qint64 &child);
    int insertSession(Session &session);
    int extendSession(qint64 session, qint64 toMs); // the session lasts at least until toMs
    int insertAnswer(const AnswerRecord &a, qint64 session);
    int insertProblem(const ResultsEvent &dropped);
    struct Told;
    int insertTold(const Told &t, qint64 count);
    int recordTold();
    qint64 knownSession(qint64 row, qint64 startMs);
    Outcome failed(int rc);
    void moveAside(bool foreign);

    QString path_;
    QString programFolder_;
    int busyMs_;
    Report report_;
    SqliteDb db_;
    bool refused_ = false;   // written by a newer program: left alone
    bool renewed_ = false;   // a broken file was just moved aside
    bool pending_ = false;   // a file of answers set aside lies beside this one
    Session live_;
    QSet<int> told_; // Trouble values
    // Told, not yet in the file: written with the next batch that reaches it,
    // so the adult reads them in the teacher's program, not on a terminal.
    struct Told {
        qint64 atMs;
        Trouble trouble;
        QString line;
    };
    QList<Told> unrecorded_;
};

} // namespace zampli
