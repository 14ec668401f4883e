#pragma once

#include "shell/ControlArray.h"
#include "shell/Controls.h"

#include <functional>

namespace zampli {

class Random;

// The tag of a place no vowel has taken yet.
inline const QString kVuota = QStringLiteral("vuota");

// The five-place shuffle of the windows that show all five vowels at once.
// First every place is emptied and tagged "vuota"; then, for the vowels 1 to
// 5 in order, a place 0..4 is drawn again and again until a free one comes
// up, and the vowel's picture goes there with its letter as the tag. The
// tags are the only record of where each vowel is.
namespace VowelShuffle {

void clearPlaces(const ControlArray<PictureBox> &places);

// `letters` is the vowel table (slots 1..5); `picture` names the picture of a
// letter; `drawn` receives every place drawn, as the windows keep it.
void fillPlaces(const ControlArray<PictureBox> &places, Random &random,
                const std::array<QString, 6> &letters, const PictureLoader &loader,
                const std::function<PictureFile(const QString &letter)> &picture, qint16 &drawn);

// The place whose tag is `letter`, or -1.
int placeOf(const ControlArray<PictureBox> &places, const QString &letter);

} // namespace VowelShuffle

} // namespace zampli
