#pragma once

#include <QString>
#include <QStringList>

namespace zampli {

// What the adult's media check found in a program folder.
struct MediaReport {
    int checked = 0;        // files looked at
    QStringList problems;   // files the program cannot use: missing, unreadable, wrong format
    QStringList notes;      // worth knowing, harmless to the child: case, long lists, skipped words
};

// Looks at every file any window can name in `folder`, the listed words included.
MediaReport checkMedia(const QString &folder);

} // namespace zampli
