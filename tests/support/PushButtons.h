// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>
#include <QWidget>

namespace zampli::test {

// The push button under `in` that reads `text` (its mnemonic's & ignored), as
// a teacher finds it by what it says: one that reads exactly that first, else
// the first whose words hold it. Null when there is none.
inline QPushButton *buttonSaying(const QWidget *in, const QString &text)
{
    QPushButton *holding = nullptr;
    for (QPushButton *b : in->findChildren<QPushButton *>()) {
        const QString shown = b->text().remove('&');
        if (shown == text)
            return b;
        if (!holding && shown.contains(text))
            holding = b;
    }
    return holding;
}

} // namespace zampli::test
