// SPDX-License-Identifier: GPL-3.0-or-later
// A copy as one file: its lists, pictures, voices and sounds in a ZIP archive
// named *.zampli, to carry to another computer and make a copy from there.
// Such a file may come from anyone: every entry is checked before anything
// is written, and the new copy grows in the same hidden folder as any other.
// Qt Core and libzip only.
#pragma once

#include "copies/Copies.h"

#include <QByteArray>
#include <QMap>

namespace zampli::copies {

// The extension of a copy's file, dot included.
inline constexpr char kCopyFileSuffix[] = ".zampli";

// The most one picture, voice or list brought from outside may hold, from a
// folder or a copy's file: far past any a copy has; a file larger is no word's.
inline constexpr qint64 kMaxMediaFileBytes = 50'000'000;

// The most an imported file may hold: far more than any class's set (a few
// tens of MB), far less than a disk a stranger's file could fill.
struct ArchiveLimits {
    qint64 bytes = 500'000'000; // uncompressed, all entries together
    qint64 entries = 5'000;
    qint64 fileBytes = kMaxMediaFileBytes; // uncompressed, each entry
};

// Writes the media of the copy in `folder` (testi/*.txt, jpg/*.jpg,
// voci/*.wav, suoni/*.wav) into the file `archive`, through a hidden work
// folder beside it, renamed into place when whole; a file already there is
// replaced. `progress` may stop it: then nothing is left, and what a killed
// export left in that folder is taken away by the next. On success
// `copy.folder` is `folder` and the message says where the file is.
CopyResult exportCopy(const QString &folder, const QString &archive, const Progress &progress = {});

// Makes a new copy at `target` from the file `archive`, exactly as makeCopy
// makes one from `programFolder` (link to its program, its own menu entry),
// after checking every entry: a file that is no copy's file, or holds
// anything else, is refused with a message naming the entry, and nothing is
// left behind.
CopyResult importCopy(const QString &programFolder, const QString &archive, const QString &target,
                      const QString &displayName = {}, const Progress &progress = {},
                      const ArchiveLimits &limits = {});

// What importCopyForEveryone does with a copy already at its target.
enum class ExistingCopy { Refuse, Update };

// As importCopy, for every account of the computer (run by the
// administrator): the copy and the folders made on its way readable by all,
// its menu entry in `menuFolder` (kSharedMenu, where every account's menu
// looks). With ExistingCopy::Update, a copy already at `target` is brought up
// to date from the file instead: the file is checked whole first, the new
// copy grows whole in a hidden folder beside the old one, keeping the old
// copy's school setting (scuola.conf), and the two exchange names in one
// step; whatever fails before, the old copy stays whole as it was. Each
// account's results stay its own: they follow the folder's path, unchanged.
CopyResult importCopyForEveryone(const QString &programFolder, const QString &archive, const QString &target,
                                 const QString &menuFolder, ExistingCopy existing, const Progress &progress = {},
                                 const ArchiveLimits &limits = {});

// The media of a copy's file, read into memory after the same checks as
// importCopy: name (as in the archive, "jpg/ape.jpg") to bytes. Each entry's
// bytes are counted as they come out, never trusted to its declared size.
// Empty files and a message naming the file and the reason when refused.
struct ArchiveContents {
    QMap<QString, QByteArray> files;
    QString problem;
};
ArchiveContents readCopyFile(const QString &archive, const ArchiveLimits &limits = {});

} // namespace zampli::copies
