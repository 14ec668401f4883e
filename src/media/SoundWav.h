#pragma once

#include <QString>

namespace zampli {

// True when the file is a WAV that the sound effect decoder of Qt 6.4 plays:
// "RIFF"/"WAVE", a plain PCM "fmt " chunk of 8, 16 or 32 bits, then a "data"
// chunk holding some audio. Anything else (float, 24 bits, the extensible
// header, a text file, a cut-off header) would be heard as silence, so the
// caller plays the default sound instead. Reads only the chunk headers.
bool isPlayableWav(const QString &path);

} // namespace zampli
