// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace zampli {

// What the adult's media check found in a program folder. Lines of one kind
// stop after the first kShownOfAKind (or as many as asked), followed by
// "… e altri N"; the counts are of everything found.
struct MediaReport {
    static constexpr int kShownOfAKind = 20;

    int checked = 0;        // files looked at
    QStringList problems;   // files the program cannot use: missing, unreadable, wrong format
    QStringList notes;      // worth knowing, harmless to the child: case, long lists, skipped words
    int problemCount = 0;
    int noteCount = 0;
};

// Looks at every file any window can name in `folder`, the listed words
// included, reading each through the program's own readers. A window that
// offers a fix for each line asks for every one of them.
MediaReport checkMedia(const QString &folder, int shownOfAKind = MediaReport::kShownOfAKind);

// The report as printed, one line each, the summary last; every name passed
// through visible(), so nothing in it can work the terminal.
QStringList reportLines(const MediaReport &report, const QString &folder);

} // namespace zampli
