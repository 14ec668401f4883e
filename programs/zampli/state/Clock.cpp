// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/Clock.h"

#include <QTime>

namespace zampli {

double SystemClock::secondsSinceMidnight() const
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

} // namespace zampli
