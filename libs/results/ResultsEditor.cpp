// SPDX-License-Identifier: GPL-3.0-or-later
// The file opened for the adult, its sessions named and erased, what an erase
// would take, and the damaged copies set aside beside it.
#include "results/ResultsEditor.h"

#include "results/Schema.h"
#include "results/Summaries.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace zampli {

namespace {

// The state folder is the user's alone: what a child answered is the family's business.
bool makeFile(const QString &path, QString &error)
{
    const QString folder = QFileInfo(path).path();
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    SqliteDb db;
    int rc = db.open(path, false);
    if (rc == SQLITE_OK)
        rc = db.exec("PRAGMA journal_mode=WAL");
    if (rc == SQLITE_OK)
        rc = migrate(db);
    if (rc != SQLITE_OK)
        error = troubleWith(path, rc);
    return rc == SQLITE_OK;
}

QStringList asideFiles(const QString &path)
{
    const QFileInfo results(path);
    QStringList out;
    // The file's own copies and those of the answers kept beside it.
    // System: what was set aside unread may be a pipe or a link.
    for (const QFileInfo &f : results.dir().entryInfoList(QDir::Files | QDir::Hidden | QDir::System,
                                                           QDir::Time | QDir::Reversed))
        if (f.fileName().startsWith(results.fileName()) && f.fileName().contains(QLatin1String(".guasto-")) &&
            !f.fileName().endsWith(QLatin1String("-wal")) &&
            !f.fileName().endsWith(QLatin1String("-shm")))
            out << f.filePath();
    return out;
}

} // namespace

bool ResultsEditor::open(const QString &path, IfMissing missing)
{
    path_ = path;
    error_.clear();
    if (!QFileInfo(path).isFile()) {
        // Never made unless asked: with no answers there is nothing to change.
        if (missing == IfMissing::Refuse) {
            error_ = troubleWith(path, SQLITE_CANTOPEN);
            return false;
        }
        if (!makeFile(path, error_))
            return false;
    }
    // The child's program may be writing: wait for it rather than fail.
    return openResults(db_, path, false, 5000, error_);
}

bool ResultsEditor::changed(Statement &s)
{
    return s.step() == SQLITE_DONE && sqlite3_changes(db_.handle()) == 1;
}

bool ResultsEditor::deleteSession(qint64 session)
{
    return eraseWhere("id = ?1", [session](Statement &s) { s.bind(1, session); }) == 1;
}

int ResultsEditor::eraseLabel(const QString &label)
{
    return qMax(0, eraseWhere("label = ?1", [&label](Statement &s) { s.bind(1, label); }));
}

int ResultsEditor::eraseAll()
{
    const int gone = eraseWhere("1", [](Statement &) {});
    if (gone >= 0)
        removeCopies();
    return qMax(0, gone);
}

// Answers first and then their sessions: the file may have been written
// without foreign keys switched on, so the cascade is not trusted. The
// sessions gone; -1 on failure, nothing changed.
int ResultsEditor::deleteSessionsWhere(const char *where, const Bind &bind)
{
    const QByteArray answers =
        QByteArray("DELETE FROM answers WHERE session_id IN (SELECT id FROM sessions WHERE ") + where + ")";
    const QByteArray sessions = QByteArray("DELETE FROM sessions WHERE ") + where;
    Statement a(db_.handle(), answers.constData());
    bind(a);
    if (a.step() != SQLITE_DONE || forgetSummaries(db_, where, bind) != SQLITE_OK)
        return -1;
    Statement s(db_.handle(), sessions.constData());
    bind(s);
    return s.step() == SQLITE_DONE ? sqlite3_changes(db_.handle()) : -1;
}

int ResultsEditor::eraseWhere(const char *where, const Bind &bind)
{
    if (db_.exec("BEGIN IMMEDIATE") != SQLITE_OK)
        return -1;
    const int gone = deleteSessionsWhere(where, bind);
    if (gone < 0 || db_.exec("COMMIT") != SQLITE_OK) {
        db_.exec("ROLLBACK");
        return -1;
    }
    wipeLog();
    return gone;
}

// The erased rows were overwritten in the file (secure_delete), but earlier
// copies of their pages stay in the log until it is folded in and emptied.
void ResultsEditor::wipeLog()
{
    Statement s(db_.handle(), "PRAGMA wal_checkpoint(TRUNCATE)");
    error_.clear(); // a note from an earlier call must not pass for this erase's
    if (s.step() != SQLITE_ROW || s.integer(0) != 0)
        error_ = QStringLiteral("cancellato, ma il registro del file dei risultati %1 è in uso da ZAMPLI: le "
                                "risposte cancellate spariranno del tutto quando ZAMPLI sarà chiuso")
                     .arg(path_);
}

// The copies hold what was just erased: they go with it, and the adult is
// told of any that stays.
void ResultsEditor::removeCopies()
{
    removeDamagedCopies(path_);
    const QStringList left = asideFiles(path_);
    if (!left.isEmpty())
        error_ = QStringLiteral("cancellato, ma non riesco a togliere %1: cancellala a mano")
                     .arg(QDir::toNativeSeparators(left.join(QStringLiteral(", "))));
}

ErasePreview ResultsEditor::preview(const char *where, const Bind &bind)
{
    const QByteArray inScope = QByteArray(" FROM answers WHERE session_id IN (SELECT id FROM sessions WHERE ") + where +
                               ")";
    Statement s(db_.handle(), ("SELECT session_id, count(*), min(at_ms)" + inScope +
                               " GROUP BY session_id ORDER BY min(at_ms), session_id")
                                  .constData());
    bind(s);
    ErasePreview out;
    while (s.step() == SQLITE_ROW) {
        out.sessions << s.integer(0);
        out.answers += int(s.integer(1));
    }
    Statement d(db_.handle(),
                ("SELECT DISTINCT date(at_ms / 1000, 'unixepoch', 'localtime') AS day" + inScope + " ORDER BY day")
                    .constData());
    bind(d);
    while (d.step() == SQLITE_ROW)
        out.days << QDate::fromString(d.text(0), Qt::ISODate);
    return out;
}

// The child's name; null when there is no such child. The statement ends
// here: one left open would hold the log against the checkpoint of an erase.
QString ResultsEditor::childName(qint64 child)
{
    Statement n(db_.handle(), "SELECT name FROM children WHERE id = ?1");
    n.bind(1, child);
    return n.step() == SQLITE_ROW ? n.text(0) : QString();
}

ErasePreview ResultsEditor::previewChild(qint64 child)
{
    const QString name = childName(child);
    if (name.isNull())
        return {};
    ErasePreview p = preview("child_id = ?1", [child](Statement &s) { s.bind(1, child); });
    p.damagedCopies = asideFiles(path_);
    return p;
}

ErasePreview ResultsEditor::previewAll()
{
    ErasePreview p = preview("1", [](Statement &) {});
    p.damagedCopies = asideFiles(path_);
    return p;
}

bool ResultsEditor::markProblemsRead()
{
    return db_.exec("UPDATE problems SET read = 1 WHERE read = 0") == SQLITE_OK;
}

QStringList ResultsEditor::damagedCopies(const QString &path)
{
    return asideFiles(path);
}

int ResultsEditor::removeDamagedCopies(const QString &path)
{
    int gone = 0;
    for (const QString &copy : asideFiles(path)) {
        if (!QFile::remove(copy))
            continue;
        QFile::remove(copy + QStringLiteral("-wal"));
        QFile::remove(copy + QStringLiteral("-shm"));
        ++gone;
    }
    return gone;
}

} // namespace zampli
