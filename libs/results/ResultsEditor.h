// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "results/Sqlite.h"

#include <QDate>
#include <QList>
#include <QStringList>
#include <functional>

namespace zampli {

// What an erase would take, for the question put to the adult before it.
struct ErasePreview {
    QList<qint64> sessions; // the sessions holding answers, earliest first
    int answers = 0;
    QList<QDate> days;      // the days (local time) of those answers, earliest first
    // The damaged copies set aside beside the file, already salvaged: they
    // hold every child's answers as they were, so an erase of a child or of
    // everything takes them too.
    QStringList damagedCopies;
};

// The adult's changes to a results database: the children of the class, who
// plays now, sessions and children taken away. An
// erase is real: the file's freed space is overwritten and its log emptied.
// The child's program never links a use of it.
class ResultsEditor {
public:
    enum class IfMissing { Refuse, Make };

    // False, with the reason in Italian in error(), when the file is missing
    // (unless made) or cannot be written. An older file is brought up to date.
    bool open(const QString &path, IfMissing missing = IfMissing::Refuse);
    QString error() const { return error_; }

    bool deleteSession(qint64 session);
    // The sessions of `label` with their answers; how many sessions went.
    int eraseLabel(const QString &label);
    // Every session, and the damaged copies beside the file.
    int eraseAll();

    // An erase that succeeded may still leave a note in error(): the log was
    // in use by the child's program, so the erased answers go from it only
    // when that program ends.
    // What eraseChild() and eraseAll() would take.
    ErasePreview previewChild(qint64 child);
    ErasePreview previewAll();

    // The new child's id; 0, with the reason in error(), when the name is
    // blank or another child has it already (case aside).
    qint64 addChild(const QString &name);
    bool renameChild(qint64 child, const QString &name);
    // Her sessions (those given to her, whatever their label) with their
    // answers, her name (also where it is a session's label: the session
    // stays, unnamed), and the damaged copies beside the file: nothing of
    // her stays in the file, its log or the folder. False when no such child.
    // A copy that could not be removed leaves a note in error().
    bool eraseChild(qint64 child);
    // The child whose answers the child's program writes from now on; 0:
    // nobody named. A session under way is not given to her: her next
    // answer begins a session of her own.
    bool choosePlaying(qint64 child);
    // A past session given to a child; 0: to nobody. False when no such session or child.
    bool nameSession(qint64 session, qint64 child);
    // Every problem of the file marked as read by the adult.
    bool markProblemsRead();

    // The damaged files set aside beside the results file `path`, oldest first.
    static QStringList damagedCopies(const QString &path);
    // Removes them with their logs, once the adult agreed; how many went.
    static int removeDamagedCopies(const QString &path);

private:
    using Bind = std::function<void(Statement &)>;
    int eraseWhere(const char *where, const Bind &bind);
    int deleteSessionsWhere(const char *where, const Bind &bind);
    ErasePreview preview(const char *where, const Bind &bind);
    bool changed(Statement &s); // stepped, and one row changed
    QString refusedName(const QString &name, qint64 except);
    QString childName(qint64 child);
    bool dropLabel(const QString &name);
    void wipeLog();
    void removeCopies();

    SqliteDb db_;
    QString path_;
    QString error_;
};

} // namespace zampli
