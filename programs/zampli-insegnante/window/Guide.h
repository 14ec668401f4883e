// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace zampli::teacher {

// The guide's first page for a program in `programFolder`: beside it (the
// build's bin folder links the source tree's guide, the package's
// /usr/lib/zampli the one it installs), else where zampli-data installs it
// (<prefix>/share/zampli/guida, the program being in <prefix>/lib/zampli).
// Empty when neither holds it.
QString findGuide(const QString &programFolder);

// Opens the guide in the desktop's browser; `fallback` runs when there is
// no guide or no browser to show it.
void openGuide(QWidget *parent, const QString &programFolder, void (*fallback)(QWidget *));

// The few lines shown when the guide cannot be opened.
void showShortHelp(QWidget *parent);

} // namespace zampli::teacher
