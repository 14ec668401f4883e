// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/ResultsEditor.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace zampli {

bool ResultsEditor::open(const QString &path)
{
    // Never makes a file: with no answers there is nothing to change.
    if (!QFileInfo(path).isFile()) {
        error_ = QStringLiteral("il file non c'è");
        return false;
    }
    // The child's program may be writing: wait for it rather than fail.
    return db_.openChecked(path, false, 5000, "SELECT count(*) FROM sessions", error_);
}

bool ResultsEditor::labelSession(qint64 session, const QString &label)
{
    Statement s(db_.handle(), "UPDATE sessions SET label = ?2 WHERE id = ?1");
    s.bind(1, session);
    const QString name = label.trimmed();
    s.bind(2, name.isEmpty() ? QString() : name);
    return s.step() == SQLITE_DONE && sqlite3_changes(db_.handle()) == 1;
}

bool ResultsEditor::deleteSession(qint64 session)
{
    Statement s(db_.handle(), "SELECT count(*) FROM sessions WHERE id = ?1");
    s.bind(1, session);
    if (s.step() != SQLITE_ROW || s.integer(0) == 0)
        return false;
    // The id's column turns the text back into the number it compares.
    return eraseWhere("id = ?1", QString::number(session)) == 1;
}

int ResultsEditor::eraseLabel(const QString &label)
{
    return eraseWhere("label = ?1", label);
}

int ResultsEditor::eraseAll()
{
    return eraseWhere("?1 IS NULL", QString());
}

// Answers first and then their sessions, in one transaction: the file may
// have been written without foreign keys switched on, so the cascade is not trusted.
int ResultsEditor::eraseWhere(const char *where, const QString &key)
{
    if (db_.exec("BEGIN IMMEDIATE") != SQLITE_OK)
        return 0;
    const QByteArray answers =
        QByteArray("DELETE FROM answers WHERE session_id IN (SELECT id FROM sessions WHERE ") + where + ")";
    const QByteArray sessions = QByteArray("DELETE FROM sessions WHERE ") + where;
    Statement a(db_.handle(), answers.constData());
    a.bind(1, key);
    int gone = -1;
    if (a.step() == SQLITE_DONE) {
        Statement s(db_.handle(), sessions.constData());
        s.bind(1, key);
        if (s.step() == SQLITE_DONE)
            gone = sqlite3_changes(db_.handle());
    }
    if (gone < 0 || db_.exec("COMMIT") != SQLITE_OK) {
        db_.exec("ROLLBACK");
        return 0;
    }
    return gone;
}

QStringList ResultsEditor::labels()
{
    Statement s(db_.handle(), "SELECT DISTINCT label FROM sessions WHERE label IS NOT NULL ORDER BY label");
    QStringList out;
    while (s.step() == SQLITE_ROW)
        out << s.text(0);
    return out;
}

} // namespace zampli
