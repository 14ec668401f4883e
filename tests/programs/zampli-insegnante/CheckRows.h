// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tabs/check/CheckTab.h"

#include <QtTest>
#include <QtWidgets>

namespace zampli::test {

// Controllo's row for `file`: its text and the buttons that fix it; no text
// while the row is not shown.
struct CheckRow {
    QLabel *what = nullptr;
    QStringList fixes;
    QList<QPushButton *> buttons;
};

inline CheckRow checkRow(const teacher::CheckTab &tab, const QString &file)
{
    for (auto *label : tab.findChildren<QLabel *>("file")) {
        if (label->text() != file || !label->isVisible())
            continue;
        CheckRow found{label->parentWidget()->findChild<QLabel *>("problema"), {}, {}};
        for (auto *b : label->parentWidget()->findChildren<QPushButton *>())
            found.fixes << b->text(), found.buttons << b;
        return found;
    }
    return {};
}

// Scrolls to `button` as the teacher would; true once it can be pressed.
inline bool reachable(QPushButton *button)
{
    QWidget *scroll = button;
    while (scroll && !qobject_cast<QScrollArea *>(scroll))
        scroll = scroll->parentWidget();
    if (!scroll)
        return false;
    return QTest::qWaitFor([&] {
        static_cast<QScrollArea *>(scroll)->ensureWidgetVisible(button);
        return button->visibleRegion().boundingRect().size() == button->size() && !button->size().isEmpty();
    });
}

} // namespace zampli::test
