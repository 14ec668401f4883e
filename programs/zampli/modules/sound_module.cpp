// SPDX-License-Identifier: GPL-3.0-or-later
// The entry of the sound module: the program loads it once its first window
// is up, so the audio server's library costs nothing at start.
#include "sound/WavSoundPlayer.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT zampli::SoundPlayer *zampli_make_sound_player(zampli::ProblemLog &log)
{
    return new zampli::WavSoundPlayer(log);
}
