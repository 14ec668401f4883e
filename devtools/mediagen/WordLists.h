// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WordTable.h"

#include <QString>

namespace mediagen {

// Writes testi/a.txt .. testi/u.txt as lists saved on Windows are: 8-bit
// (Latin-1) text, one word a line, CR LF line ends.
// Returns an error message, empty on success.
QString writeWordLists(const WordTable &table, const QString &setFolder);

} // namespace mediagen
