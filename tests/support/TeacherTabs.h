// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tabs/words/WordsTab.h"
#include "window/MainWindow.h"

#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

namespace zampli::test {

// The words tab of vowel `letter` ("A".."U"), found as the teacher finds it:
// by its caption. Null when the window has no such tab, or has not shown it yet.
inline teacher::WordsTab *wordsTabOf(const teacher::MainWindow &window, const QString &letter)
{
    const QTabWidget *tabs = window.tabs();
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == QStringLiteral("Parole con ") + letter)
            return tabs->widget(i)->findChild<teacher::WordsTab *>();
    return nullptr;
}

// The words a words tab lists, top to bottom, as the teacher reads them.
inline QStringList shownWords(const teacher::WordsTab *tab)
{
    const QTableView *view = tab->findChild<QTableView *>("elenco");
    QStringList words;
    for (int row = 0; view && row < view->model()->rowCount(); ++row)
        words << view->model()->index(row, 2).data().toString(); // the «Parola» column
    return words;
}

// Chooses the tab captioned `text` (its mnemonic's & ignored) with a click on
// its caption, as the teacher does; true once it is the current one.
inline bool clickTab(QTabWidget *tabs, const QString &text)
{
    QTabBar *bar = tabs->tabBar();
    for (int i = 0; i < bar->count(); ++i)
        if (bar->tabText(i).remove('&') == text) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
            return tabs->currentIndex() == i;
        }
    return false;
}

} // namespace zampli::test
