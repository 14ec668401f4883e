// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ScreenMode.h"

#include <algorithm>

namespace zampli {

void ScreenMode::apply(QWidget &window, bool fullScreen)
{
    const Qt::WindowStates state = window.windowState();
    window.setWindowState(fullScreen ? state | Qt::WindowFullScreen : state & ~Qt::WindowFullScreen);
}

void ScreenMode::toggle()
{
    fullScreen_ = !fullScreen_;
    std::erase_if(windows_, [](const QPointer<QWidget> &w) { return w.isNull(); });
    for (QWidget *w : windows_)
        apply(*w, fullScreen_);
}

void ScreenMode::adopt(QWidget &window)
{
    if (std::find(windows_.begin(), windows_.end(), &window) == windows_.end())
        windows_.emplace_back(&window);
    apply(window, fullScreen_);
}

} // namespace zampli
