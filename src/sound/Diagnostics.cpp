#include "sound/Diagnostics.h"

Q_LOGGING_CATEGORY(lcSound, "zampli.sound", QtCriticalMsg)
