// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli::teacher {

enum class FileState { Ready, Missing, Unreadable };

// Whether the program can show the picture at `path` (found as the program
// finds it, case aside): judged by what the file holds, not its name.
FileState pictureState(const QString &path);
// Whether the program can play the voice at `path`.
FileState voiceState(const QString &path);

// One line for the teacher about a word's or sound's files.
QString stateText(FileState picture, FileState voice, bool beyondLimit);
QString voiceStateText(FileState voice);

} // namespace zampli::teacher
