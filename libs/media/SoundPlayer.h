// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

// Plays a WAV file by its full path and returns at once. A new sound cuts off
// the one playing; a file that cannot be played gives the default alert sound.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString &path) = 0;
};

} // namespace zampli
