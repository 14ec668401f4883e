// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/TabKeys.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>

namespace zampli::teacher {

// Ctrl+PgDown and Ctrl+Tab change tab from anywhere in the window: the
// tables would take them for their own moves before the tabs see them.
void addTabKeys(QWidget *window, QTabWidget *tabs)
{
    // Ctrl+1 ... Ctrl+9 go to a tab, as in a web browser.
    for (int n = 1; n <= 9; ++n) {
        auto *go = new QAction(window);
        go->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + n)));
        QObject::connect(go, &QAction::triggered, tabs, [tabs, n] { tabs->setCurrentIndex(n - 1); });
        window->addAction(go);
    }
    const auto step = [window, tabs](QList<QKeySequence> keys, int by) {
        auto *go = new QAction(window);
        go->setShortcuts(keys);
        QObject::connect(go, &QAction::triggered, tabs, [tabs, by] {
            if (tabs->count() > 0)
                tabs->setCurrentIndex((tabs->currentIndex() + by + tabs->count()) % tabs->count());
        });
        window->addAction(go);
    };
    step({QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_Tab)}, 1);
    step({QKeySequence(Qt::CTRL | Qt::Key_PageUp), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)}, -1);
    QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [tabs] { focusCurrentTab(tabs); });
}

// A tab's keys work only while the focus is inside it. A change of tab
// moves the focus along only when it was in the tab left, not when it was
// on the tab bar (as when the window opens) or nowhere: it is put in the
// tab shown, where she last left it, else on the control the tab names
// (its focus proxy), else on its first control.
void focusCurrentTab(QTabWidget *tabs)
{
    QWidget *page = tabs->currentWidget();
    if (!page || page->isAncestorOf(QApplication::focusWidget()))
        return;
    QWidget *target = page->focusWidget() ? page->focusWidget() : page->focusProxy() ? page : nullptr;
    for (QWidget *next = page->nextInFocusChain(); !target && next != page; next = next->nextInFocusChain())
        if (page->isAncestorOf(next) && (next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(page)
            && next->isEnabled())
            target = next;
    (target ? target : page)->setFocus(Qt::TabFocusReason);
}

} // namespace zampli::teacher
