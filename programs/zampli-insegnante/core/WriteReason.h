// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "safefile/WholeFile.h"

#include <QString>

namespace zampli::teacher {

// What the teacher reads when `write` of `path` failed: the system's reason
// and what to do next, in Italian; empty when the file is in place. Either
// way the file that was there before is untouched.

// A file of the copy open: a word list, a picture, a voice.
QString copyWriteReason(const QString &path, const WholeWrite &write);
// A file in a place she chose, as a PDF: another folder is a way out.
QString chosenWriteReason(const QString &path, const WholeWrite &write);

} // namespace zampli::teacher
