// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Keys pressed as the keyboard does, through the X server (xdotool).

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QWidget>

namespace zampli::test {

// Presses one key; false when xdotool could not.
inline bool press(const QString &key) { return QProcess::execute("xdotool", {"key", key}) == 0; }

inline QWidget *focused() { return QApplication::focusWidget(); }

// Presses `key` until `target` has the focus, as a child watching the frame;
// false when the focus stops moving or never gets there.
inline bool pressUntilFocused(const QString &key, QWidget *target)
{
    for (int i = 0; i < 16 && focused() != target; ++i) {
        QWidget *before = focused();
        if (!press(key) || !QTest::qWaitFor([&] { return focused() != before; }, 5000))
            return false;
    }
    return focused() == target;
}

} // namespace zampli::test
