// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ActivationTracker.h"

namespace zampli {

void ActivationTracker::activated(Activatable &window)
{
    if (last_ == &window)
        return;
    last_ = &window;
    window.runActivation();
}

void ActivationTracker::unloaded(Activatable &window)
{
    if (last_ == &window)
        last_ = nullptr;
}

} // namespace zampli
