// SPDX-License-Identifier: GPL-3.0-or-later
#include "school/ClassChildren.h"

#include "results/ResultsEditor.h"
#include "results/Schema.h"
#include "results/Sqlite.h"

#include <QFileInfo>
#include <QHash>
#include <sqlite3.h>

namespace zampli {

namespace {

qint64 oneNumber(const QString &resultsFile, const char *sql, qint64 value)
{
    if (!QFileInfo::exists(resultsFile))
        return 0;
    SqliteDb db;
    QString why;
    if (!openResults(db, resultsFile, true, 2000, why))
        return 0;
    Statement s(db.handle(), sql);
    s.bind(1, value);
    return s.step() == SQLITE_ROW ? s.integer(0) : 0;
}

} // namespace

bool copyServerChildren(const QString &resultsFile, const QList<ChildEntry> &serverChildren, QString &error)
{
    QList<qint64> erased;
    {
        ResultsEditor maker; // the file, with its tables, before any answer
        if (!maker.open(resultsFile, ResultsEditor::IfMissing::Make)) {
            error = maker.error();
            return false;
        }
        SqliteDb db;
        if (!openResults(db, resultsFile, false, 5000, error))
            return false;
        if (db.exec("BEGIN IMMEDIATE") != SQLITE_OK) {
            error = troubleWith(resultsFile, SQLITE_BUSY);
            return false;
        }
        QHash<qint64, qint64> byServer; // server id -> local id
        QHash<QString, qint64> unlinked; // folded name -> local id, children of no server yet
        {
            Statement s(db.handle(), "SELECT id, server_id, name FROM children");
            while (s.step() == SQLITE_ROW) {
                if (s.text(1).isNull())
                    unlinked.insert(s.text(2).toCaseFolded(), s.integer(0));
                else
                    byServer.insert(s.integer(1), s.integer(0));
            }
        }
        QHash<qint64, bool> kept;
        for (const ChildEntry &c : serverChildren)
            kept.insert(c.id, true);
        for (auto it = byServer.cbegin(); it != byServer.cend(); ++it)
            if (!kept.contains(it.key()))
                erased << it.value();
        // The server's names first out of the way: two swapped names never collide.
        int rc = db.exec("UPDATE children SET name = char(1) || id WHERE server_id IS NOT NULL");
        Statement rename(db.handle(), "UPDATE children SET name = ?2 WHERE id = ?1");
        Statement link(db.handle(), "UPDATE children SET server_id = ?2, name = ?3 WHERE id = ?1");
        Statement add(db.handle(), "INSERT INTO children(name, created_ms, server_id) VALUES(?1, ?2, ?3)");
        for (const ChildEntry &c : serverChildren) {
            if (rc != SQLITE_OK)
                break;
            Statement *s = &add;
            if (const qint64 local = byServer.value(c.id)) {
                s = &rename, rename.reset(), rename.bind(1, local), rename.bind(2, c.name);
            } else if (const qint64 same = unlinked.value(c.name.toCaseFolded())) {
                s = &link, link.reset(), link.bind(1, same), link.bind(2, c.id), link.bind(3, c.name);
            } else {
                add.reset(), add.bind(1, c.name), add.bind(2, c.createdMs), add.bind(3, c.id);
            }
            rc = s->step() == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db.handle());
        }
        // Erased ones keep a placeholder name until erased below.
        if (rc == SQLITE_OK)
            rc = db.exec("COMMIT");
        if (rc != SQLITE_OK) {
            error = troubleWith(resultsFile, rc);
            db.exec("ROLLBACK");
            return false;
        }
    }
    if (erased.isEmpty())
        return true;
    ResultsEditor editor;
    if (!editor.open(resultsFile)) {
        error = editor.error();
        return false;
    }
    for (qint64 child : std::as_const(erased))
        editor.eraseChild(child);
    return true;
}

qint64 localChildOf(const QString &resultsFile, qint64 serverId)
{
    return oneNumber(resultsFile, "SELECT id FROM children WHERE server_id = ?1", serverId);
}

qint64 playingServerChild(const QString &resultsFile)
{
    return oneNumber(resultsFile,
                     "SELECT c.server_id FROM now_playing n JOIN children c ON c.id = n.child_id WHERE ?1 = ?1", 0);
}

} // namespace zampli
