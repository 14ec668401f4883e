// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsFile.h"

#include "results/PendingAnswers.h"
#include "results/Salvage.h"
#include "results/Schema.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <algorithm>
#include <sqlite3.h>

namespace zampli {

namespace {

// SQLite's own words are English: the adult reads the reason in Italian.
QString reason(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_FULL: return QStringLiteral("disco pieno");
    case SQLITE_READONLY: return QStringLiteral("file di sola lettura");
    case SQLITE_PERM:
    case SQLITE_AUTH: return QStringLiteral("permesso negato");
    case SQLITE_CANTOPEN: return QStringLiteral("file o cartella non accessibile");
    case SQLITE_IOERR: return QStringLiteral("errore di lettura o scrittura sul disco");
    default: return QStringLiteral("errore %1 del database").arg(rc);
    }
}

int answersIn(const std::vector<ResultsEvent> &events)
{
    return int(std::count_if(events.begin(), events.end(),
                             [](const ResultsEvent &e) { return e.kind == ResultsEvent::Kind::Answer; }));
}

QString datedName(const QString &path, const char *what)
{
    return path + QLatin1String(what) + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

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

ResultsFile::ResultsFile(QString path, QString programFolder, int busyMs, Report report)
    : path_(std::move(path)), programFolder_(std::move(programFolder)), busyMs_(busyMs), report_(std::move(report)),
      pending_(QFileInfo::exists(pendingPath(path_)))
{
}

void ResultsFile::tell(Trouble t, const QString &line)
{
    if (told_.contains(int(t)))
        return;
    told_.insert(int(t));
    if (report_)
        report_(line);
    // A damaged file and dropped answers are recorded with their counts where they happen.
    if (t != Trouble::Corrupt && t != Trouble::Dropped)
        unrecorded_.append({QDateTime::currentMSecsSinceEpoch(), t, line});
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
    pending_ = QFileInfo::exists(pendingPath(path_));
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
    live_.row = 0; // a file opened anew holds no session of this run yet
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

// The path names another file, or none, once the folder or the file was
// removed or renamed: what is written then must not go to the old one.
bool ResultsFile::moved()
{
    int moved = 0;
    return sqlite3_file_control(db_.handle(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved != 0;
}

// A moved file is not checkpointed when closed, and its log keeps the name
// the new file will have: emptied into the file first, the log can neither
// keep answers from the renamed file nor bring them into the new one.
void ResultsFile::leaveMovedFile()
{
    tell(Trouble::Moved, QStringLiteral("il file dei risultati %1 è stato spostato o cancellato mentre ZAMPLI era "
                                        "aperto: le risposte seguenti vanno in un file nuovo con lo stesso nome")
                             .arg(path_));
    db_.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    db_.close();
}

ResultsFile::Outcome ResultsFile::writeOnce(const std::vector<ResultsEvent> &events)
{
    if (db_.isOpen() && moved())
        leaveMovedFile();
    if (!db_.isOpen()) {
        const Outcome o = open();
        if (o != Outcome::Written)
            return o;
    }
    const PendingRead pending = pending_ ? readPending(path_) : PendingRead{};
    Session session = live_;
    int rc = db_.exec("BEGIN IMMEDIATE");
    if (rc == SQLITE_OK)
        rc = mergePending(pending);
    if (rc == SQLITE_OK)
        rc = recordTold();
    if (rc == SQLITE_OK)
        rc = writeEvents(events, session);
    if (rc == SQLITE_OK)
        rc = db_.exec("COMMIT");
    if (rc == SQLITE_OK) {
        live_ = session;
        unrecorded_.clear();
        finishPending(pending);
        return Outcome::Written;
    }
    db_.exec("ROLLBACK");
    return failed(rc);
}

int ResultsFile::mergePending(const PendingRead &read)
{
    int rc = SQLITE_OK;
    for (auto b = read.batches.begin(); rc == SQLITE_OK && b != read.batches.end(); ++b)
        rc = mergeBatch(*b);
    return rc;
}

// A batch goes on with its session when the row is still that session's.
// One merged before, by a run that ended before it could remove the file,
// is passed over.
int ResultsFile::mergeBatch(const PendingBatch &batch)
{
    Statement seen(db_.handle(), "SELECT count(*) FROM merged_batches WHERE id = ?1");
    seen.bind(1, batch.id);
    int rc = seen.step();
    if (rc != SQLITE_ROW || seen.integer(0) > 0)
        return rc == SQLITE_ROW ? SQLITE_OK : rc;
    Session session{knownSession(batch.sessionRow, batch.sessionStartMs), batch.sessionStartMs};
    rc = writeEvents(batch.events, session);
    if (rc != SQLITE_OK)
        return rc;
    Statement mark(db_.handle(), "INSERT INTO merged_batches(id, merged_ms) VALUES(?1, ?2)");
    mark.bind(1, batch.id);
    mark.bind(2, QDateTime::currentMSecsSinceEpoch());
    rc = mark.step();
    if (rc != SQLITE_DONE)
        return rc;
    // The run that set them aside ended before it could say so in the file.
    const qint64 answers = answersIn(batch.events);
    Statement note(db_.handle(), "INSERT INTO problems(at_ms, kind, count, detail) VALUES(?1, ?2, ?3, ?4)");
    note.bind(1, QDateTime::currentMSecsSinceEpoch());
    note.bind(2, problemKind(Trouble::Pending));
    note.bind(3, answers);
    note.bind(4, QStringLiteral("alla chiusura di ZAMPLI il file dei risultati non si poteva scrivere: %1 "
                                "risposte sono rimaste in attesa accanto al file e sono state aggiunte ora, "
                                "nessuna è andata persa")
                     .arg(answers));
    rc = note.step();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

qint64 ResultsFile::knownSession(qint64 row, qint64 startMs)
{
    Statement s(db_.handle(), "SELECT id FROM sessions WHERE id = ?1 AND started_ms = ?2 AND program_folder = ?3");
    s.bind(1, row);
    s.bind(2, startMs);
    s.bind(3, programFolder_);
    return s.step() == SQLITE_ROW ? s.integer(0) : 0;
}

// Once merged the file goes; lines that were no record of ours are kept
// aside with it, for whoever wants to look.
void ResultsFile::finishPending(const PendingRead &read)
{
    if (!pending_)
        return;
    pending_ = false;
    const QString path = pendingPath(path_);
    if (read.unreadable == 0) {
        QFile::remove(path);
        return;
    }
    const QString aside = datedName(path, ".guasto-");
    QFile::rename(path, aside);
    tell(Trouble::Pending, QStringLiteral("risultati in attesa incompleti: in %1 ci sono righe illeggibili (%2); "
                                          "le altre righe sono state aggiunte ai risultati e il file è stato "
                                          "messo da parte come %3, che si può guardare e poi cancellare")
                               .arg(path)
                               .arg(read.unreadable)
                               .arg(aside));
}

bool ResultsFile::setAside(const std::vector<ResultsEvent> &events)
{
    const PendingBatch batch{QUuid::createUuid().toString(QUuid::WithoutBraces), live_.row, live_.startMs, events};
    const QString aside = pendingPath(path_);
    if (appendPending(path_, batch)) {
        tell(Trouble::Pending, QStringLiteral("risultati in attesa: impossibile scrivere %1 prima della chiusura; "
                                              "risposte messe da parte in %2: %3. Al prossimo avvio ZAMPLI "
                                              "aggiunge ai risultati quel file: non cancellarlo.")
                                   .arg(path_, aside)
                                   .arg(answersIn(events)));
        return true;
    }
    tell(Trouble::Lost, QStringLiteral("risultati persi: impossibile scrivere %1 e neppure %2; risposte non "
                                       "conservate: %3. Controlla che il disco non sia pieno e che nella cartella %4 "
                                       "si possa scrivere.")
                            .arg(path_, aside)
                            .arg(answersIn(events))
                            .arg(QFileInfo(path_).path()));
    return false;
}

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

int ResultsFile::recordTold()
{
    for (const Told &t : std::as_const(unrecorded_)) {
        Statement s(db_.handle(), "INSERT INTO problems(at_ms, kind, count, detail) VALUES(?1, ?2, 0, ?3)");
        s.bind(1, t.atMs);
        s.bind(2, problemKind(t.trouble));
        s.bind(3, t.line);
        const int rc = s.prepared() == SQLITE_OK ? s.step() : s.prepared();
        if (rc != SQLITE_DONE)
            return rc;
    }
    return SQLITE_OK;
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

ResultsFile::Outcome ResultsFile::failed(int rc)
{
    const QString why = reason(rc);
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        tell(Trouble::Busy, QStringLiteral("risultati in attesa: %1 è occupato da un altro programma; ZAMPLI riprova "
                                           "da solo, ma se dura chiudi il programma che lo usa")
                                .arg(path_));
        return Outcome::Busy;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        moveAside();
        return Outcome::Failed;
    case SQLITE_CANTOPEN:
        tell(Trouble::CannotOpen, QStringLiteral("risultati non salvati: impossibile aprire %1 (%2); controlla che "
                                                 "nella sua cartella si possa scrivere")
                                      .arg(path_, why));
        break;
    default:
        tell(Trouble::CannotWrite, QStringLiteral("risultati in attesa: impossibile scrivere %1 (%2); ZAMPLI riprova "
                                                  "da solo, ma se dura controlla che il disco non sia pieno")
                                       .arg(path_, why));
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
