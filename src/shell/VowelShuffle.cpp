#include "shell/VowelShuffle.h"

#include "state/Random.h"

#include <algorithm>

namespace zampli::VowelShuffle {

void clearPlaces(const ControlArray<PictureBox> &places)
{
    for (PictureBox *box : places) {
        box->clear();
        box->setTag(kVuota);
    }
}

void fillPlaces(const ControlArray<PictureBox> &places, Random &random,
                const std::array<QString, 6> &letters, const PictureLoader &loader,
                const std::function<PictureFile(const QString &letter)> &picture, qint16 &drawn)
{
    for (int v = 1; v <= std::min(5, places.size()); ++v) { // never more vowels than places
        do {
            drawn = static_cast<qint16>(random.drawPlace(places.size()));
        } while (places[drawn]->tag() != kVuota);
        places[drawn]->load(loader, picture(letters[v]));
        places[drawn]->setTag(letters[v]);
    }
}

int placeOf(const ControlArray<PictureBox> &places, const QString &letter)
{
    for (int k = 0; k < places.size(); ++k)
        if (places[k]->tag() == letter)
            return k;
    return -1;
}

} // namespace zampli::VowelShuffle
