// SPDX-License-Identifier: GPL-3.0-or-later
// The one path every new copy takes, whatever fills it: a hidden work folder
// beside the target, the link to the installed program, the rename into
// place, the menu entry. With the few helpers the copies' other operations
// share.
#pragma once

#include "copies/Copies.h"

#include <functional>

namespace zampli::copies::detail {

// The program file in a copy's folder: a link to the installed one.
inline const QString kProgram = QStringLiteral("zampli");

inline CopyResult failure(const QString &message) { return {false, {}, message}; }

QString absoluteClean(const QString &path);
bool hasControlCharacters(const QString &text);

// The real program file a copy's link leads to, however the folder reached it.
QString realProgram(const QString &programFolder);

// The menu entry that starts the copy in `folder`, in the folder `applications`.
CopyInfo entryFor(const QString &folder, const QString &displayName, const QString &applications);
// Writes it whole, making its folder if need be. Returns the system's error number or 0.
int writeEntry(const CopyInfo &copy);

// What filling the work folder came to: all fine (both empty), a message of
// the filler's own, or the system's error number for a file it wrote.
struct Filled {
    QString message;
    int error = 0;
    QString path;
};

// Fills the (empty, existing) work folder with the copy's media.
using Fill = std::function<Filled(const QString &work)>;

// Makes the copy at `target` with `fill`, `bytes` being about what it will
// write (for the free space check). Nothing is left behind when it fails.
// The menu entry goes in `menuFolder`, or the user's applications folder.
CopyResult makeCopyWith(const QString &programFolder, const QString &target, const QString &displayName,
                        qint64 bytes, const Fill &fill, const QString &menuFolder = {});

// Brings the copy at `target` (which must be one) up to date with `fill`:
// the new copy grows whole in a hidden folder beside it, with the old copy's
// school setting (scuola.conf) and the link to the program, then the two
// exchange names in one step and the old one is taken away. Whatever fails
// before the exchange leaves the old copy whole as it was. The menu entry,
// in `menuFolder`, is written again before the exchange.
CopyResult replaceCopyWith(const QString &programFolder, const QString &target, qint64 bytes, const Fill &fill,
                           const QString &menuFolder);

// True when `folder` is a copy's folder (not a link to one): its program link and its lists.
bool isCopyFolder(const QString &folder);

} // namespace zampli::copies::detail
