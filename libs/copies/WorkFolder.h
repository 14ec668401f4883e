// SPDX-License-Identifier: GPL-3.0-or-later
// The hidden folder a copy (or a copy's file) grows in, beside its target,
// the folders made on the way to it, and the removal of those left by a copy
// whose program was killed.
#pragma once

#include <QString>
#include <QStringList>

namespace zampli::copies::detail {

// ".zampli-copia-in-corso-<pid>-<random>" in the target's parent: short
// whatever the target's name, so that any name the file system takes can be
// the target's. Locked while its copy runs; removed with all it holds unless
// kept.
struct WorkFolder {
    QString path;
    bool keep = false;
    int lock = -1; // the folder opened and locked, until the copy is over

    WorkFolder() = default;
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;
    ~WorkFolder();
    // Makes it with the user's usual permissions, unlike mkdtemp's. Returns
    // the system's error number or 0.
    int make(const QString &parent);
};

// Removes from `parent` the work folders of ours whose program is gone (its
// process no longer runs and nothing holds its lock). Anything else, a work
// folder of a copy still running included, is left alone.
void removeStaleWork(const QString &parent);

// Folders made on the way to a copy's parent (or its menu's folder), taken
// away again unless kept.
struct MadeParents {
    QStringList made; // deepest first
    bool keep = false;

    MadeParents() = default;
    MadeParents(const MadeParents &) = delete;
    MadeParents &operator=(const MadeParents &) = delete;
    ~MadeParents();
    // Makes `folder` and whatever is missing above it. Returns the system's
    // error number or 0.
    int make(const QString &folder);
};

// Removes `path` and all it holds; links inside are removed, never followed.
bool removeTree(const QString &path);

} // namespace zampli::copies::detail
