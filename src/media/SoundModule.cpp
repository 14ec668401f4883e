// The entry of the sound module: the program loads it once its first window
// is up, so Qt Multimedia and the audio server's libraries cost nothing at start.
#include "media/WavSoundPlayer.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT zampli::SoundPlayer *zampli_make_sound_player(zampli::ProblemLog &log)
{
    return new zampli::WavSoundPlayer(log);
}
