// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Diagnostics.h"

Q_LOGGING_CATEGORY(lcMedia, "zampli.media", QtCriticalMsg)
