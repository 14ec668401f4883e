#pragma once

class QObject;
class QTimer;

namespace zampli {

class Modulo1;

// `Timer1` of the listening windows: a tick every second from the window's load.
QTimer *addTimer1(QObject *owner);

// Reads the clock into OraAttuale and tells whether more than two seconds
// have passed since InizioVoce, midnight included.
bool voiceWaitOver(Modulo1 &m);

} // namespace zampli
