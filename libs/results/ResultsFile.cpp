// SPDX-License-Identifier: GPL-3.0-or-later
// The file opened, checked and brought up to date, a batch written in one
// transaction, and what becomes of it when that fails.
#include "results/ResultsFile.h"

#include "results/PendingAnswers.h"
#include "results/Salvage.h"
#include "results/Schema.h"
#include "results/Summaries.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <sys/stat.h>

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

// Anything at all at `path`, a link to nothing too: never followed, never opened.
bool occupied(const QString &path)
{
    struct stat s {};
    return ::lstat(QFile::encodeName(path).constData(), &s) == 0;
}

} // namespace

ResultsFile::ResultsFile(QString path, QString programFolder, int busyMs, Report report)
    : path_(std::move(path)), programFolder_(std::move(programFolder)), busyMs_(busyMs), report_(std::move(report)),
      pending_(occupied(pendingPath(path_)))
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
    pending_ = occupied(pendingPath(path_));
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
    PendingRead pending = pending_ ? readPending(path_) : PendingRead{};
    if (!pending.refused.isEmpty()) {
        leavePending(pending.refused);
        pending = {};
    }
    Session session = live_;
    int rc = db_.exec("BEGIN IMMEDIATE");
    if (rc == SQLITE_OK)
        rc = mergePending(pending);
    if (rc == SQLITE_OK)
        rc = recordTold();
    if (rc == SQLITE_OK)
        rc = writeEvents(events, session, Owner::NowPlaying);
    if (rc == SQLITE_OK)
        rc = catchUpSummaries(db_);
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

ResultsFile::Outcome ResultsFile::failed(int rc)
{
    if (rc == kForeignSchema) {
        moveAside(true);
        return Outcome::Failed;
    }
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
        moveAside(false);
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
void ResultsFile::moveAside(bool foreign)
{
    db_.close();
    const SalvageReport salvaged = salvageDamaged(path_, programFolder_, foreign);
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
