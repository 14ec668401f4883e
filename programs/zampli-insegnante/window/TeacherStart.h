// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QTranslator;

namespace zampli::teacher {

// The program's names for the desktop (menu entry, settings, window icon)
// and Qt's own texts in Italian through `qtTexts`: before the first window,
// so that its first file chooser or message box speaks Italian too.
void prepareTeacherProgram(QTranslator &qtTexts);

} // namespace zampli::teacher
