// SPDX-License-Identifier: GPL-3.0-or-later
// The rows a batch adds: sessions, answers, and the problems told.
#include "results/ResultsFile.h"

#include <sqlite3.h>

namespace zampli {

namespace {

// The kind of a problem as the adult reads it in the file's list.
QString problemKind(ResultsFile::Trouble t)
{
    using T = ResultsFile::Trouble;
    switch (t) {
    case T::Folder: return QStringLiteral("cartella al posto del file");
    case T::CannotOpen: return QStringLiteral("file non apribile");
    case T::Busy: return QStringLiteral("file occupato");
    case T::Corrupt: return QStringLiteral("file guasto");
    case T::Newer: return QStringLiteral("versione più nuova");
    case T::CannotWrite: return QStringLiteral("scrittura non riuscita");
    case T::Moved: return QStringLiteral("file spostato");
    case T::Dropped:
    case T::Lost: return QStringLiteral("risposte perse");
    case T::Pending:
    case T::PendingAside: return QStringLiteral("risposte in attesa");
    }
    return {};
}

} // namespace

int ResultsFile::writeEvents(const std::vector<ResultsEvent> &events, Session &session, Owner owner)
{
    using Kind = ResultsEvent::Kind;
    // Who plays cannot change while the batch's transaction holds the file.
    qint64 playing = 0;
    int rc = owner == Owner::NowPlaying ? playingChild(playing) : SQLITE_OK;
    // A session the adult erased meanwhile (her child's, say) is not written into again.
    if (rc == SQLITE_OK && session.row != 0 && knownSession(session.row, session.startMs) == 0)
        session = {};
    qint64 lastMs = 0; // the last moment known of the session written to
    // The session left is the last known of it, no later.
    const auto leave = [&] {
        const int left = session.row != 0 && lastMs != 0 ? extendSession(session.row, lastMs) : SQLITE_OK;
        session = {};
        lastMs = 0;
        return left;
    };
    for (auto e = events.begin(); rc == SQLITE_OK && e != events.end(); ++e) {
        if (e->kind == Kind::Dropped) {
            rc = insertProblem(*e);
            continue;
        }
        // Another child chosen since the session began: her answers from now
        // on go to a session of her own, begun at her first answer.
        const bool otherChild = owner == Owner::NowPlaying && e->kind == Kind::Answer && session.row != 0 &&
                                session.child != playing;
        if (e->kind == Kind::SessionStart || otherChild) {
            rc = leave();
            session.startMs = e->atMs;
        }
        if (rc == SQLITE_OK && session.row == 0 && e->kind != Kind::SessionEnd) {
            session.startMs = session.startMs ? session.startMs : e->atMs;
            session.child = owner == Owner::NowPlaying ? playing : 0;
            rc = insertSession(session);
        }
        if (rc == SQLITE_OK && e->kind == Kind::Answer)
            rc = insertAnswer(e->answer, session.row);
        if (session.row != 0)
            lastMs = qMax(lastMs, e->atMs);
        if (rc == SQLITE_OK && e->kind == Kind::SessionEnd)
            rc = leave(); // what follows belongs to a new session
    }
    if (rc != SQLITE_OK)
        return rc;
    return session.row == 0 || lastMs == 0 ? SQLITE_OK : extendSession(session.row, lastMs);
}

// The child the adult said plays now; 0: nobody.
int ResultsFile::playingChild(qint64 &child)
{
    Statement s(db_.handle(), "SELECT child_id FROM now_playing");
    const int rc = s.prepared() == SQLITE_OK ? s.step() : s.prepared();
    child = rc == SQLITE_ROW ? s.integer(0) : 0;
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int ResultsFile::extendSession(qint64 session, qint64 toMs)
{
    Statement end(db_.handle(), "UPDATE sessions SET ended_ms = max(ended_ms, ?1) WHERE id = ?2");
    end.bind(1, toMs);
    end.bind(2, session);
    const int rc = end.prepared() == SQLITE_OK ? end.step() : end.prepared();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int ResultsFile::insertSession(Session &session)
{
    Statement s(db_.handle(), "INSERT INTO sessions(started_ms, ended_ms, program_folder, child_id, uid)"
                              " VALUES(?1, ?1, ?2, ?3, lower(hex(randomblob(16))))");
    s.bind(1, session.startMs);
    s.bind(2, programFolder_);
    if (session.child != 0)
        s.bind(3, session.child); // unbound: NULL, nobody named
    const int rc = s.prepared() == SQLITE_OK ? s.step() : s.prepared();
    if (rc != SQLITE_DONE)
        return rc;
    session.row = sqlite3_last_insert_rowid(db_.handle());
    return SQLITE_OK;
}

int ResultsFile::insertAnswer(const AnswerRecord &a, qint64 session)
{
    Statement s(db_.handle(),
                "INSERT INTO answers(session_id, at_ms, window, turn, asked, asked_as, asked_style, word,"
                " chosen, chosen_as, chosen_style, right, answer_ms)"
                " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
    s.bind(1, session);
    s.bind(2, a.atMs);
    s.bind(3, a.window);
    s.bind(4, qint64(a.turn));
    s.bind(5, a.asked);
    s.bind(6, shownName(a.askedAs));
    s.bind(7, qint64(a.askedStyle));
    s.bind(8, a.word.isEmpty() ? QString() : a.word);
    s.bind(9, a.chosen);
    s.bind(10, shownName(a.chosenAs));
    s.bind(11, qint64(a.chosenStyle));
    s.bind(12, qint64(a.right ? 1 : 0));
    s.bind(13, a.answerMs);
    const int rc = s.prepared() == SQLITE_OK ? s.step() : s.prepared();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int ResultsFile::insertTold(const Told &t, qint64 count)
{
    Statement s(db_.handle(), "INSERT INTO problems(at_ms, kind, count, detail) VALUES(?1, ?2, ?3, ?4)");
    s.bind(1, t.atMs);
    s.bind(2, problemKind(t.trouble));
    s.bind(3, count);
    s.bind(4, t.line);
    const int rc = s.prepared() == SQLITE_OK ? s.step() : s.prepared();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int ResultsFile::recordTold()
{
    int rc = SQLITE_OK;
    for (auto t = unrecorded_.cbegin(); rc == SQLITE_OK && t != unrecorded_.cend(); ++t)
        rc = insertTold(*t, 0);
    return rc;
}

// What the writer could not keep, counted once in the batch that reaches the file.
int ResultsFile::insertProblem(const ResultsEvent &dropped)
{
    Statement s(db_.handle(), "INSERT INTO problems(at_ms, kind, count) VALUES(?1, 'risposte perse', ?2)");
    s.bind(1, dropped.atMs);
    s.bind(2, dropped.count);
    const int rc = s.prepared() == SQLITE_OK ? s.step() : s.prepared();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

} // namespace zampli
