// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

// The file a media path names, as it is on disk. Media copied from Windows
// often differ from the names the program builds in case only ("APE.JPG",
// "Si1.wav"), which Windows ignored: when the exact name is missing, a name
// that differs only in case is taken, folder by folder. The path itself
// when nothing matches.
QString existingFile(const QString &path);

} // namespace zampli
