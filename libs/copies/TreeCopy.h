// SPDX-License-Identifier: GPL-3.0-or-later
// Copying a folder tree as real files, with the system's error number kept
// so that a full disk can be told apart.
#pragma once

#include "copies/Copies.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zampli::copies::detail {

struct FileToCopy {
    QString source;   // as found; links are followed when it is read
    QString relative; // path inside the copy
    qint64 size = 0;
    bool executable = false;
};

struct CopyPlan {
    QStringList folders; // relative, parents before children
    QList<FileToCopy> files;
    qint64 bytes = 0;
    QStringList notUtf8; // named in bytes that are not UTF-8 (shown with U+FFFD): not in `files`
};

// What to copy from `from`: the files named in `files` that exist and the
// trees under `folders`, links followed (a link that loops back is left out,
// as is anything that is neither a file nor a folder).
CopyPlan planCopy(const QString &from, const QStringList &files, const QStringList &folders);

// Where a copy stopped: the system's error number (0: whole), the file, and
// whether it was reading the program's file (a source gone or unreadable)
// rather than writing the copy.
struct CopyFailure {
    int error = 0;
    QString path;
    bool reading = false;
};

// Makes the plan's folders and files under `to`, an existing empty folder of
// ours, then flushes them to the disk. `progress` is asked before each file,
// after each block and once more when all is on the disk.
CopyFailure copyPlan(const CopyPlan &plan, const QString &to, const Progress &progress);

// Makes `path` a symbolic link to `target` through a link made beside it
// and renamed over it: `path` is the old file or the link, never missing.
// Returns the system's error number or 0.
int linkWhole(const QString &path, const QString &target);

// Renames `from` to `to` only if nothing is at `to`. Returns the error number or 0.
int renameNoReplace(const QString &from, const QString &to);

// Exchanges the names of two existing folders in one step: each is found
// under the other's name, never both gone nor both there. A file system that
// cannot (NFS) gets two renames, the first undone if the second fails.
// Returns the system's error number or 0.
int renameExchange(const QString &a, const QString &b);

bool isDiskFull(int error);

// Data still in memory fails on its way to a full disk too: a copy is whole
// only once the file system holds it. Returns the system's error number or 0.
int flushFileSystem(const QString &folder);

} // namespace zampli::copies::detail
