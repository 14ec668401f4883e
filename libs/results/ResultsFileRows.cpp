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
    case T::Pending: return QStringLiteral("risposte in attesa");
    }
    return {};
}

} // namespace

int ResultsFile::writeEvents(const std::vector<ResultsEvent> &events, Session &session)
{
    int rc = SQLITE_OK;
    qint64 lastMs = 0;
    for (const ResultsEvent &e : events) {
        using Kind = ResultsEvent::Kind;
        if (e.kind == Kind::Dropped) {
            rc = insertProblem(e);
        } else {
            if (e.kind == Kind::SessionStart)
                session = {0, e.atMs};
            if (session.row == 0 && e.kind != Kind::SessionEnd) {
                session.startMs = session.startMs ? session.startMs : e.atMs;
                rc = insertSession(session.startMs, session.row);
            }
            if (rc == SQLITE_OK && e.kind == Kind::Answer)
                rc = insertAnswer(e.answer, session.row);
            lastMs = qMax(lastMs, e.atMs);
            if (rc == SQLITE_OK && e.kind == Kind::SessionEnd && session.row != 0) {
                rc = extendSession(session.row, lastMs);
                session = {}; // what follows belongs to a new session
            }
        }
        if (rc != SQLITE_OK)
            return rc;
    }
    return session.row == 0 ? SQLITE_OK : extendSession(session.row, lastMs);
}

int ResultsFile::extendSession(qint64 session, qint64 toMs)
{
    Statement end(db_.handle(), "UPDATE sessions SET ended_ms = max(ended_ms, ?1) WHERE id = ?2");
    end.bind(1, toMs);
    end.bind(2, session);
    const int rc = end.prepared() == SQLITE_OK ? end.step() : end.prepared();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int ResultsFile::insertSession(qint64 startMs, qint64 &session)
{
    // The child the adult said is playing now, if any, owns the session.
    Statement s(db_.handle(), "INSERT INTO sessions(started_ms, ended_ms, program_folder, child_id)"
                              " VALUES(?1, ?1, ?2, (SELECT child_id FROM now_playing))");
    s.bind(1, startMs);
    s.bind(2, programFolder_);
    const int rc = s.prepared() == SQLITE_OK ? s.step() : s.prepared();
    if (rc != SQLITE_DONE)
        return rc;
    session = sqlite3_last_insert_rowid(db_.handle());
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
