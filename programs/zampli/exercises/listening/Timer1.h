// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QObject;
class QTimer;

namespace zampli {

// `Timer1` of the listening windows: a tick every second from the window's load.
QTimer *addTimer1(QObject *owner);

} // namespace zampli
