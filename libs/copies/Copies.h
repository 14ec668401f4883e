// SPDX-License-Identifier: GPL-3.0-or-later
// Personal copies of the program folder: the teacher's own words, pictures and
// voices in a folder she can change, each with its own menu entry. Shared by
// zampli-copia (terminal) and zampli-insegnante (window). Qt Core only.
//
// Every message is Italian, for the teacher, and says what to do next.
#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace zampli::copies {

// One copy the desktop menu knows.
struct CopyInfo {
    QString folder;      // absolute path of the copy's program folder
    QString name;        // its menu name, e.g. "ZAMPLI – Classe 2ª B"
    QString desktopFile; // absolute path of its menu entry (.desktop file)
};

// What an operation did. On failure nothing was left behind (no half-made
// folder, no entry) and `message` says why and what to do; on success it
// says what was made.
struct CopyResult {
    bool ok = false;
    CopyInfo copy;
    QString message;
};

// Called while files are copied, with the bytes copied so far and the total;
// returning false stops the copy (then nothing is left behind). May be
// called from the thread makeCopy runs on, often: keep it quick.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Copies the media of `programFolder` (the folders jpg, voci, suoni, testi)
// into `target`, which must not exist yet, beside a link `zampli` to the
// program file there (followed to the real file, so that a package update
// reaches the copy), then adds its menu entry. Links in the media are
// followed and copied as real files. The copy is made in a hidden folder
// beside `target` and renamed into place only when whole. `displayName`
// is the name after "ZAMPLI – " in the menu; empty: the target folder's name.
// Blocking: a window runs it on a worker thread.
CopyResult makeCopy(const QString &programFolder, const QString &target, const QString &displayName = {},
                    const Progress &progress = {});

// Where a copy for every account goes by default, and its menu entry.
inline constexpr char kSharedCopies[] = "/usr/local/share/zampli";
inline constexpr char kSharedMenu[] = "/usr/local/share/applications";

// As makeCopy, for every account of the computer (run by the administrator):
// the copy and the folders made on its way readable by all, its menu entry
// in `menuFolder` (kSharedMenu, where every account's menu looks). Each
// account's results stay its own, under its own state folder; the teacher's
// program opens such a copy read-only for whoever cannot change it.
CopyResult makeCopyForEveryone(const QString &programFolder, const QString &target, const QString &menuFolder,
                               const Progress &progress = {});

// The copies found from their menu entries in the user's applications folder,
// sorted by menu name. A copy whose folder is gone is listed too (its
// program is missing): the teacher may remove its entry.
QList<CopyInfo> knownCopies();

enum class RemoveFolder { No, ToTrash };

// Removes the copy's menu entry and, with RemoveFolder::ToTrash, moves its
// folder to the desktop's trash (only when the folder still looks like a
// copy of the program), where the teacher can take it back. Other copies'
// entries are never touched.
CopyResult removeCopy(const CopyInfo &copy, RemoveFolder folder = RemoveFolder::No);

// True when the copy in `folder` carries a program file of its own, as
// copies made before they ran the installed program did.
bool holdsOwnProgram(const QString &folder);

// Replaces the copy's own program file by a link to the one in
// `programFolder`, in one rename, and takes away the other program files
// it carried; its media and lists are not touched.
CopyResult useInstalledProgram(const QString &folder, const QString &programFolder);

// True when both name one existing folder, however each reaches it (links,
// "..", a trailing slash).
bool sameFolder(const QString &a, const QString &b);

// The copy, other than the one in `folder`, whose menu entry already reads
// `name` (as menuName makes it); none when the name is free. Two entries
// with one name could not be told apart in the menu.
std::optional<CopyInfo> copyNamed(const QString &name, const QString &folder);

// `base`, or "`base` (2)", "`base` (3)"...: the first name that is neither
// a file or folder in `where` nor another copy's menu name.
QString freeCopyName(const QString &where, const QString &base);

// Where a copy goes when the teacher names none: ~/ZAMPLI. Empty, with
// `error` set in Italian, when the home folder is unknown.
QString defaultTarget(QString *error = nullptr);

// The user's applications folder (XDG_DATA_HOME/applications). Empty, with
// `error` set in Italian, when it cannot be found.
QString applicationsFolder(QString *error = nullptr);

// Helpers the menu entry is made of, public for the tests and the window.
// "ZAMPLI – " followed by `displayName`, or by the folder's own name.
QString menuName(const QString &folder, const QString &displayName = {});
// A desktop file id of its own for each folder, stable for the same folder.
QString desktopFileId(const QString &folder);
// The value of Exec= that starts `program`, quoted and escaped for any path
// (through /bin/sh when the path holds a percent sign, which GLib's launcher
// would otherwise refuse).
QString execValue(const QString &program);

} // namespace zampli::copies
