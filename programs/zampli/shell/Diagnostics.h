// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// For developers: windows shown, activated and closed. Off unless asked for,
// e.g. QT_LOGGING_RULES="zampli.windows.debug=true"; what the adult must know goes
// through ProblemLog instead, one Italian line a problem.
Q_DECLARE_LOGGING_CATEGORY(lcWindows)
