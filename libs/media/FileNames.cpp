// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/FileNames.h"

#include <QDir>
#include <QFileInfo>

namespace zampli {

namespace {

// The entry of `dir` whose name equals `name` but for case, if there is exactly one.
QString entryIgnoringCase(const QString &dir, const QString &name)
{
    QString found;
    const QStringList entries = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!found.isEmpty())
            return {}; // "a.txt" and "A.TXT" both there: neither is the one meant
        found = entry;
    }
    return found;
}

} // namespace

QString existingFile(const QString &path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    // Walk up to the deepest folder that exists, then down again by case.
    const QFileInfo info(path);
    const QString parent = info.path();
    if (parent == path)
        return path;
    const QString realParent = existingFile(parent);
    if (!QFileInfo(realParent).isDir())
        return path;
    const QString match = entryIgnoringCase(realParent, info.fileName());
    return match.isEmpty() ? path : realParent + QLatin1Char('/') + match;
}

} // namespace zampli
