#include "media/Diagnostics.h"

Q_LOGGING_CATEGORY(lcMedia, "zampli.media", QtCriticalMsg)
