// SPDX-License-Identifier: GPL-3.0-or-later
// Answers set aside beside the file when it could not take them, and merged
// into it at the next start.
#include "results/ResultsFile.h"

#include "results/PendingAnswers.h"
#include "results/Salvage.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace zampli {

namespace {

int answersIn(const std::vector<ResultsEvent> &events)
{
    return int(std::count_if(events.begin(), events.end(),
                             [](const ResultsEvent &e) { return e.kind == ResultsEvent::Kind::Answer; }));
}

} // namespace

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
    Session session{knownSession(batch.sessionRow, batch.sessionStartMs), batch.sessionStartMs, 0};
    rc = writeEvents(batch.events, session, Owner::Unknown);
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
    return insertTold({QDateTime::currentMSecsSinceEpoch(), Trouble::Pending,
                       QStringLiteral("alla chiusura di ZAMPLI il file dei risultati non si poteva scrivere: %1 "
                                      "risposte sono rimaste in attesa accanto al file e sono state aggiunte ora, "
                                      "nessuna è andata persa").arg(answers)},
                      answers);
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
    const QString aside = damagedName(path);
    QFile::rename(path, aside);
    tell(Trouble::Pending, QStringLiteral("risultati in attesa incompleti: in %1 ci sono righe illeggibili (%2); "
                                          "le altre righe sono state aggiunte ai risultati e il file è stato "
                                          "messo da parte come %3, che si può guardare e poi cancellare")
                               .arg(path)
                               .arg(read.unreadable)
                               .arg(aside));
}

// What lies in place of the answers set aside and is no file of them to
// read (a pipe, a link, one too big) goes aside unread, and the adult is told.
void ResultsFile::leavePending(const QString &why)
{
    pending_ = false;
    const QString path = pendingPath(path_);
    const QString aside = damagedName(path);
    // rename() itself: QFile would copy what it cannot rename, reading a pipe for good.
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) == 0)
        tell(Trouble::PendingAside, QStringLiteral("risposte in attesa non aggiunte: %1 %2, così ZAMPLI non l'ha letto "
                                                   "e l'ha messo da parte come %3, che si può guardare e poi "
                                                   "cancellare dalla scheda Risultati del programma per l'insegnante")
                                        .arg(path, why, aside));
    else
        tell(Trouble::PendingAside, QStringLiteral("risposte in attesa non aggiunte: %1 %2, così ZAMPLI non l'ha letto, "
                                                   "e non è riuscito a metterlo da parte: toglilo tu")
                                        .arg(path, why));
}

bool ResultsFile::setAside(const std::vector<ResultsEvent> &events)
{
    const PendingBatch batch{QUuid::createUuid().toString(QUuid::WithoutBraces), live_.row, live_.startMs, events};
    const QString aside = pendingPath(path_);
    PendingWrite written = appendPending(path_, batch);
    if (!written.refused.isEmpty()) {
        leavePending(written.refused);
        written = appendPending(path_, batch);
    }
    if (written.written) {
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

} // namespace zampli
