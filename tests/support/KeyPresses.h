// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Keys pressed as the keyboard does, through the X server (xdotool).

#include <QApplication>
#include <QEvent>
#include <QProcess>
#include <QTest>
#include <QWidget>

namespace zampli::test {

// Presses one key; false when xdotool could not.
inline bool press(const QString &key) { return QProcess::execute("xdotool", {"key", key}) == 0; }

// Presses one key and waits until the program has had its release: what
// the press does is done by then. False when xdotool could not, or the
// release never came.
inline bool pressAndWait(const QString &key)
{
    struct Releases : QObject {
        bool seen = false;
        bool eventFilter(QObject *, QEvent *e) override
        {
            seen = seen || e->type() == QEvent::KeyRelease;
            return false;
        }
    } releases;
    qApp->installEventFilter(&releases);
    const bool done = press(key) && QTest::qWaitFor([&] { return releases.seen; }, 5000);
    qApp->removeEventFilter(&releases);
    return done;
}

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
