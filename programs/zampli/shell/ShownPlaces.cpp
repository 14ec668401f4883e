// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ShownPlaces.h"

#include <algorithm>

namespace zampli {

void showPlaces(const ControlArray<PictureBox> &boxes, const Places &places, const PictureLoader &loader,
                const std::function<PictureFile(const QString &letter)> &picture)
{
    for (int k = 0; k < std::min(boxes.size(), int(places.size())); ++k) {
        PictureBox *box = boxes[k];
        if (places[k] == kVuota)
            box->clear();
        else
            box->load(loader, picture(places[k]));
        box->setTag(places[k]);
    }
}

} // namespace zampli
