// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercises/listening/Timer1.h"

#include <QTimer>

namespace zampli {

namespace {
constexpr int kTickMs = 1000;
} // namespace

QTimer *addTimer1(QObject *owner)
{
    auto *timer = new QTimer(owner);
    timer->setObjectName(QStringLiteral("Timer1"));
    timer->setInterval(kTickMs);
    timer->start();
    return timer;
}

} // namespace zampli
