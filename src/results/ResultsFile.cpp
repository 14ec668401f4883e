// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsFile.h"

#include "results/Salvage.h"
#include "results/Schema.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace zampli {

ResultsFile::ResultsFile(QString path, QString programFolder, int busyMs, Report report)
    : path_(std::move(path)), programFolder_(std::move(programFolder)), busyMs_(busyMs), report_(std::move(report))
{
}

void ResultsFile::tell(Trouble t, const QString &line)
{
    if (told_.contains(int(t)))
        return;
    told_.insert(int(t));
    if (report_)
        report_(line);
}

// Written here means open and ready.
ResultsFile::Outcome ResultsFile::open()
{
    if (refused_)
        return Outcome::Failed;
    if (QFileInfo(path_).isDir()) {
        tell(Trouble::Folder, QStringLiteral("risultati non salvati: al posto del file %1 c'è una cartella").arg(path_));
        return Outcome::Failed;
    }
    const QString folder = QFileInfo(path_).path();
    // What a child answered is the family's business: a folder made here is the user's alone.
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!QDir().mkpath(folder)) {
        tell(Trouble::CannotOpen,
             QStringLiteral("risultati non salvati: impossibile creare la cartella %1").arg(QFileInfo(path_).path()));
        return Outcome::Failed;
    }
    int rc = db_.open(path_, false);
    if (rc == SQLITE_OK)
        rc = prepare();
    if (rc == SQLITE_OK)
        return Outcome::Written;
    const Outcome o = refused_ ? Outcome::Failed : failed(rc); // a newer file was told of already
    db_.close(); // half prepared is not ready: the next attempt starts over
    return o;
}

int ResultsFile::prepare()
{
    sqlite3_busy_timeout(db_.handle(), busyMs_);
    int rc = db_.exec("PRAGMA journal_mode=WAL");
    // In write-ahead mode a commit is safe from the program's end at any
    // moment once written to the log; only a power cut may lose the last ones.
    if (rc == SQLITE_OK)
        rc = db_.exec("PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON; PRAGMA secure_delete=ON");
    if (rc == SQLITE_OK) {
        Statement check(db_.handle(), "PRAGMA quick_check");
        rc = check.prepared() == SQLITE_OK ? check.step() : check.prepared();
        if (rc == SQLITE_ROW)
            rc = check.text(0) == QLatin1String("ok") ? SQLITE_OK : SQLITE_CORRUPT;
    }
    if (rc == SQLITE_OK)
        rc = migrate(db_);
    if (rc == kNewerSchema) {
        refused_ = true;
        tell(Trouble::Newer,
             QStringLiteral("risultati non salvati: %1 è stato scritto da una versione più nuova di ZAMPLI").arg(path_));
        rc = SQLITE_READONLY;
    }
    session_ = 0; // a file opened anew holds no session of this run yet
    return rc;
}

ResultsFile::Outcome ResultsFile::write(const std::vector<ResultsEvent> &events)
{
    // A file found broken is moved aside and the batch goes to a new one at once.
    Outcome o = writeOnce(events);
    if (o == Outcome::Failed && renewed_)
        o = writeOnce(events);
    renewed_ = false;
    return o;
}

ResultsFile::Outcome ResultsFile::writeOnce(const std::vector<ResultsEvent> &events)
{
    if (!db_.isOpen()) {
        const Outcome o = open();
        if (o != Outcome::Written)
            return o;
    }
    qint64 session = session_;
    int rc = db_.exec("BEGIN IMMEDIATE");
    if (rc == SQLITE_OK)
        rc = writeEvents(events, session);
    if (rc == SQLITE_OK)
        rc = db_.exec("COMMIT");
    if (rc == SQLITE_OK) {
        session_ = session;
        return Outcome::Written;
    }
    db_.exec("ROLLBACK");
    return failed(rc);
}

int ResultsFile::writeEvents(const std::vector<ResultsEvent> &events, qint64 &session)
{
    int rc = SQLITE_OK;
    qint64 lastMs = 0;
    for (const ResultsEvent &e : events) {
        using Kind = ResultsEvent::Kind;
        if (e.kind == Kind::SessionStart) {
            sessionStartMs_ = e.atMs;
            session = 0;
        }
        if (session == 0 && e.kind != Kind::SessionEnd)
            rc = insertSession(sessionStartMs_ ? sessionStartMs_ : e.atMs, session);
        if (rc == SQLITE_OK && e.kind == Kind::Answer)
            rc = insertAnswer(e.answer, session);
        lastMs = qMax(lastMs, e.atMs);
        if (rc == SQLITE_OK && e.kind == Kind::SessionEnd && session != 0) {
            rc = extendSession(session, lastMs);
            session = 0; // what follows belongs to a new session
            sessionStartMs_ = 0;
        }
        if (rc != SQLITE_OK)
            return rc;
    }
    return session == 0 ? SQLITE_OK : extendSession(session, lastMs);
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

ResultsFile::Outcome ResultsFile::failed(int rc)
{
    const QString why = QString::fromUtf8(sqlite3_errstr(rc));
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        tell(Trouble::Busy, QStringLiteral("risultati in attesa: %1 è occupato da un altro programma").arg(path_));
        return Outcome::Busy;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        moveAside();
        return Outcome::Failed;
    case SQLITE_CANTOPEN:
        tell(Trouble::CannotOpen, QStringLiteral("risultati non salvati: impossibile aprire %1 (%2)").arg(path_, why));
        break;
    default:
        tell(Trouble::CannotWrite, QStringLiteral("risultati non salvati: impossibile scrivere %1 (%2)").arg(path_, why));
        break;
    }
    db_.close(); // the next attempt starts from a fresh connection
    return Outcome::Failed;
}

// Whatever can still be read goes on in a fresh file at the same path.
void ResultsFile::moveAside()
{
    db_.close();
    const SalvageReport salvaged = salvageDamaged(path_, programFolder_);
    if (!salvaged.aside.isEmpty()) {
        renewed_ = true;
        tell(Trouble::Corrupt, salvageText(path_, salvaged));
    } else {
        tell(Trouble::Corrupt, QStringLiteral("risultati non salvati: file %1 guasto, impossibile metterlo da parte")
                                   .arg(path_));
        refused_ = true;
    }
}

} // namespace zampli
