// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Places.h"
#include "shell/ControlArray.h"
#include "shell/Controls.h"

#include <functional>

namespace zampli {

// Shows the vowels of a shuffle in picture boxes: box k the picture of
// places[k], tagged with its letter ("vuota" where no vowel went).
void showPlaces(const ControlArray<PictureBox> &boxes, const Places &places, const PictureLoader &loader,
                const std::function<PictureFile(const QString &letter)> &picture);

} // namespace zampli
