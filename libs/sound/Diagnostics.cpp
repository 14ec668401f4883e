// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/Diagnostics.h"

Q_LOGGING_CATEGORY(lcSound, "zampli.sound", QtCriticalMsg)
