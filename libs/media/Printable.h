// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

// Text for the adult's terminal: control characters and the marks that turn
// the direction of writing become visible escapes ("\x1B", "\u202E"), so a
// file or word name can neither clear the screen nor reverse what follows it.
// Everything printed for the adult goes through it.
QString visible(const QString &text);

// Italian singular and plural: counted(1, "problema", "problemi") is
// "1 problema"; numbers over 999 are grouped, "99.980".
QString counted(qint64 n, const char *one, const char *many);

} // namespace zampli
