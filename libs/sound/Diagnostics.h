// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// For developers: the sound server and the sounds asked for. Off unless asked for,
// e.g. QT_LOGGING_RULES="zampli.sound.debug=true"; what the adult must know goes
// through ProblemLog instead, one Italian line a problem.
Q_DECLARE_LOGGING_CATEGORY(lcSound)
