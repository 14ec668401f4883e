// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace zampli::test {

// Runs `act` on the next modal window of type T (with that object name,
// when one is given) once it shows: a modal window's exec() does not return
// until the test acts on it.
template <class T = QWidget>
void whenModalShows(std::function<void(T *)> act, const QString &name = {})
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, name, act = std::move(act)] {
        auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible() || (!name.isEmpty() && modal->objectName() != name))
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start(20);
}

} // namespace zampli::test
