#include "shell/Diagnostics.h"

Q_LOGGING_CATEGORY(lcWindows, "zampli.windows", QtCriticalMsg)
