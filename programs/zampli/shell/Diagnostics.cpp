// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Diagnostics.h"

Q_LOGGING_CATEGORY(lcWindows, "zampli.windows", QtCriticalMsg)
