// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsImport.h"

#include "results/ResultsEditor.h"
#include "results/Schema.h"
#include "results/Sqlite.h"
#include "results/Summaries.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <iterator>
#include <sqlite3.h>

namespace zampli {

namespace {

struct SourceSession {
    qint64 id = 0;
    qint64 startedMs = 0, endedMs = 0;
    QString programFolder, label, uid, origin, child;
};

} // namespace

bool takeInResults(const QString &target, const QString &source, ResultsTakenIn &count, QString &error)
{
    count = {};
    const QFileInfo from(source);
    if (QFileInfo(target).exists() && from.exists() && from.canonicalFilePath() == QFileInfo(target).canonicalFilePath()) {
        error = QStringLiteral("%1 è il file dei risultati di questa copia: scegli quello dell'altro computer")
                    .arg(QDir::toNativeSeparators(source));
        return false;
    }
    SqliteDb in;
    QString why;
    if (!openResults(in, source, true, 2000, why)) {
        error = QStringLiteral("%1 non è un file di risultati di ZAMPLI, o è guasto: non ho preso nulla")
                    .arg(QDir::toNativeSeparators(source));
        return false;
    }
    QList<SourceSession> sessions;
    {
        Statement s(in.handle(), "SELECT s.id, s.started_ms, s.ended_ms, s.program_folder, s.label, s.uid, s.origin, "
                                 "c.name FROM sessions s LEFT JOIN children c ON c.id = s.child_id "
                                 "WHERE s.uid IS NOT NULL ORDER BY s.id");
        int rc;
        while ((rc = s.step()) == SQLITE_ROW)
            sessions << SourceSession{s.integer(0), s.integer(1), s.integer(2), s.text(3), s.text(4),
                                      s.text(5),    s.text(6),    s.text(7)};
        if (rc != SQLITE_DONE) {
            error = troubleWith(source, rc);
            return false;
        }
    }
    // A session of the source's own is known here by where it came from.
    const QString fromHere = QStringLiteral("altro computer/") + from.fileName();

    ResultsEditor maker; // this copy's file, made if no child played here yet
    if (!maker.open(target, ResultsEditor::IfMissing::Make)) {
        error = maker.error();
        return false;
    }
    SqliteDb out;
    if (!openResults(out, target, false, 5000, error))
        return false;
    if (out.exec("BEGIN IMMEDIATE") != SQLITE_OK) {
        error = troubleWith(target, SQLITE_BUSY);
        return false;
    }
    auto failed = [&](int rc) {
        error = troubleWith(target, rc);
        out.exec("ROLLBACK");
        count = {};
        return false;
    };
    QHash<QString, qint64> children; // folded name -> id
    {
        Statement c(out.handle(), "SELECT id, name FROM children");
        while (c.step() == SQLITE_ROW)
            children.insert(c.text(1).toCaseFolded(), c.integer(0));
    }
    Statement known(out.handle(), "SELECT 1 FROM sessions WHERE uid = ?1 AND (origin IS NULL OR origin = ?2)");
    Statement addChild(out.handle(), "INSERT INTO children(name, created_ms) VALUES(?1, ?2)");
    Statement addSession(out.handle(), "INSERT INTO sessions(started_ms, ended_ms, program_folder, label, child_id, "
                                       "uid, origin) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    Statement answers(in.handle(), "SELECT at_ms, window, turn, asked, asked_as, asked_style, word, chosen, "
                                   "chosen_as, chosen_style, right, answer_ms FROM answers WHERE session_id = ?1 "
                                   "ORDER BY id");
    Statement addAnswer(out.handle(), "INSERT INTO answers(session_id, at_ms, window, turn, asked, asked_as, "
                                      "asked_style, word, chosen, chosen_as, chosen_style, right, answer_ms) "
                                      "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
    // Which columns of the answers are numbers; the rest are text, a null one NULL.
    constexpr bool kNumber[] = {true, false, true, false, false, true, false, false, false, true, true, true};
    for (const SourceSession &s : std::as_const(sessions)) {
        const QString origin = s.origin.isEmpty() ? fromHere : s.origin;
        known.reset(), known.bind(1, s.uid), known.bind(2, origin);
        const bool already = known.step() == SQLITE_ROW;
        qint64 session = 0;
        if (!already) {
            qint64 child = 0;
            if (!s.child.isEmpty() && (child = children.value(s.child.toCaseFolded())) == 0) {
                addChild.reset(), addChild.bind(1, s.child), addChild.bind(2, s.startedMs);
                if (addChild.step() != SQLITE_DONE)
                    return failed(sqlite3_errcode(out.handle()));
                child = sqlite3_last_insert_rowid(out.handle());
                children.insert(s.child.toCaseFolded(), child);
            }
            addSession.reset();
            addSession.bind(1, s.startedMs), addSession.bind(2, s.endedMs), addSession.bind(3, s.programFolder);
            addSession.bind(4, s.label), addSession.bind(6, s.uid), addSession.bind(7, origin);
            if (child)
                addSession.bind(5, child);
            else
                addSession.bind(5, QString());
            if (addSession.step() != SQLITE_DONE)
                return failed(sqlite3_errcode(out.handle()));
            session = sqlite3_last_insert_rowid(out.handle());
            ++count.sessionsAdded;
        }
        answers.reset(), answers.bind(1, s.id);
        int rc;
        while ((rc = answers.step()) == SQLITE_ROW) {
            if (already) {
                ++count.answersAlready;
                continue;
            }
            addAnswer.reset();
            addAnswer.bind(1, session);
            for (int c = 0; c < int(std::size(kNumber)); ++c) {
                if (kNumber[c])
                    addAnswer.bind(c + 2, answers.integer(c));
                else
                    addAnswer.bind(c + 2, answers.text(c));
            }
            if (addAnswer.step() != SQLITE_DONE)
                return failed(sqlite3_errcode(out.handle()));
            ++count.answersAdded;
        }
        if (rc != SQLITE_DONE)
            return failed(rc);
    }
    int rc = catchUpSummaries(out);
    if (rc != SQLITE_OK)
        return failed(rc);
    rc = out.exec("COMMIT");
    if (rc != SQLITE_OK)
        return failed(rc);
    return true;
}

} // namespace zampli
