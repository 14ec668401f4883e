// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace zampli {

// The five vowels in the catalogue's order, upper case: "A" ... "U".
QStringList vowelLetters();
// The same, lower case: the stems of the word lists' files (testi/a.txt).
QStringList vowelListNames();

// Vowel 1..5's colour as 0xAARRGGBB, what QColor::fromRgb takes, so that the
// catalogue needs no Qt Gui; anything else is the navy a window with no vowel shows.
quint32 vowelArgb(int vowel);

} // namespace zampli
