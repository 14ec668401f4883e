// SPDX-License-Identifier: GPL-3.0-or-later
// The children of the class: named, renamed, erased, chosen to play, given
// their past sessions.
#include "results/ResultsEditor.h"

#include "results/Schema.h"

#include <QDateTime>
#include <sqlite3.h>

namespace zampli {

// Why `name` cannot be a child's, or empty when it can. Case is compared
// the Unicode way: the file's own NOCASE folds only A to Z.
QString ResultsEditor::refusedName(const QString &name, qint64 except)
{
    if (name.isEmpty())
        return QStringLiteral("scrivi il nome del bambino");
    Statement s(db_.handle(), "SELECT id, name FROM children");
    while (s.step() == SQLITE_ROW)
        if (s.integer(0) != except && s.text(1).toCaseFolded() == name.toCaseFolded())
            return QStringLiteral("c'è già un bambino di nome %1: aggiungi l'iniziale del cognome per distinguerli")
                .arg(s.text(1));
    return {};
}

qint64 ResultsEditor::addChild(const QString &name)
{
    const QString clean = name.simplified();
    error_ = refusedName(clean, 0);
    if (!error_.isEmpty())
        return 0;
    Statement s(db_.handle(), "INSERT INTO children(name, created_ms) VALUES(?1, ?2)");
    s.bind(1, clean);
    s.bind(2, QDateTime::currentMSecsSinceEpoch());
    if (!changed(s)) {
        error_ = troubleWith(path_, SQLITE_READONLY);
        return 0;
    }
    return sqlite3_last_insert_rowid(db_.handle());
}

bool ResultsEditor::renameChild(qint64 child, const QString &name)
{
    const QString clean = name.simplified();
    error_ = refusedName(clean, child);
    if (!error_.isEmpty())
        return false;
    Statement s(db_.handle(), "UPDATE children SET name = ?2 WHERE id = ?1");
    s.bind(1, child);
    s.bind(2, clean);
    return changed(s);
}

bool ResultsEditor::eraseChild(qint64 child)
{
    const QString name = childName(child);
    if (name.isNull() || db_.exec("BEGIN IMMEDIATE") != SQLITE_OK)
        return false;
    // Hers is what was given to her: a label is only a session's name, and
    // may be on a session since given to another. Such a session stays, and
    // loses the label, so that her name goes from the file too.
    bool done = deleteSessionsWhere("child_id = ?1", [child](Statement &s) { s.bind(1, child); }) >= 0 &&
                dropLabel(name);
    for (const char *sql : {"DELETE FROM now_playing WHERE child_id = ?1", "DELETE FROM children WHERE id = ?1"}) {
        Statement s(db_.handle(), sql);
        s.bind(1, child);
        done = done && s.step() == SQLITE_DONE;
    }
    if (!done || db_.exec("COMMIT") != SQLITE_OK) {
        db_.exec("ROLLBACK");
        return false;
    }
    wipeLog();
    removeCopies();
    return true;
}

// Her name taken from every session that bears it, case aside the Unicode way.
bool ResultsEditor::dropLabel(const QString &name)
{
    QList<qint64> named;
    {
        Statement s(db_.handle(), "SELECT id, label FROM sessions WHERE label IS NOT NULL");
        int rc;
        while ((rc = s.step()) == SQLITE_ROW)
            if (s.text(1).simplified().toCaseFolded() == name.toCaseFolded())
                named << s.integer(0);
        if (rc != SQLITE_DONE)
            return false;
    }
    for (const qint64 session : std::as_const(named)) {
        Statement s(db_.handle(), "UPDATE sessions SET label = NULL WHERE id = ?1");
        s.bind(1, session);
        if (s.step() != SQLITE_DONE)
            return false;
    }
    return true;
}

bool ResultsEditor::choosePlaying(qint64 child)
{
    if (child == 0)
        return db_.exec("DELETE FROM now_playing") == SQLITE_OK;
    Statement s(db_.handle(), "INSERT OR REPLACE INTO now_playing(one, child_id)"
                              " SELECT 1, id FROM children WHERE id = ?1");
    s.bind(1, child);
    return changed(s);
}

bool ResultsEditor::nameSession(qint64 session, qint64 child)
{
    Statement s(db_.handle(), "UPDATE sessions SET child_id = (SELECT id FROM children WHERE id = ?2)"
                              " WHERE id = ?1 AND (?2 = 0 OR ?2 IN (SELECT id FROM children))");
    s.bind(1, session);
    s.bind(2, child);
    return changed(s);
}

} // namespace zampli
