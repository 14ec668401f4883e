// SPDX-License-Identifier: GPL-3.0-or-later
// A copy folder's menu entry as an earlier run left it, written the way the
// copies library writes the entry of a copy it makes.
#pragma once

#include "copies/CopyMaking.h"

#include <QDir>
#include <QFileInfo>

inline bool enterInMenu(const QString &folder)
{
    namespace copies = zampli::copies;
    const QString applications = copies::applicationsFolder();
    return !applications.isEmpty()
           && copies::detail::writeEntry(copies::detail::entryFor(
                  QDir::cleanPath(QFileInfo(folder).absoluteFilePath()), {}, applications)) == 0;
}
