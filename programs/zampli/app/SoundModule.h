// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/SoundPlayer.h"

#include <QString>
#include <memory>

namespace zampli {

class ProblemLog;

// The program's sound player, made by the sound module in `programFolder`.
// Without a usable module the program stays silent and says so once.
std::unique_ptr<SoundPlayer> loadSoundPlayer(const QString &programFolder, ProblemLog &log);

} // namespace zampli
