// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MainWindow.h"
#include "WordsTab.h"

#include <QTabWidget>

namespace zampli::test {

// The words tab of vowel `letter` ("A".."U"), found as the teacher finds it:
// by its caption. Null when the window has no such tab.
inline teacher::WordsTab *wordsTabOf(const teacher::MainWindow &window, const QString &letter)
{
    const QTabWidget *tabs = window.tabs();
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == QStringLiteral("Parole con ") + letter)
            return qobject_cast<teacher::WordsTab *>(tabs->widget(i));
    return nullptr;
}

} // namespace zampli::test
