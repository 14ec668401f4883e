#include "exercises/listening/VoiceWait.h"

#include "state/Clock.h"
#include "state/Modulo1.h"

#include <QTimer>

namespace zampli {

namespace {
constexpr double kVoiceWaitSeconds = 2.0;
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

bool voiceWaitOver(Modulo1 &m)
{
    m.OraAttuale = m.clock();
    return elapsedSeconds(m.InizioVoce, m.OraAttuale) > kVoiceWaitSeconds;
}

} // namespace zampli
