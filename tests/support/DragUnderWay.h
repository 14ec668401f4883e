// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDrag>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace zampli::test {

// Runs `act` once a drag is under way in `window`: QDrag::exec holds the
// press that began it in a loop of its own until the drop, so whatever ends
// the drag comes from here. Nothing runs if `scope` ends first.
inline void whenDragging(QObject *scope, QWidget *window, std::function<void()> act)
{
    auto *timer = new QTimer(scope);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, window, act] {
        if (!window->findChild<QDrag *>())
            return;
        timer->stop();
        timer->deleteLater();
        act();
    });
    timer->start();
}

} // namespace zampli::test
