// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

namespace zampli {

// Whether the program fills the screen. F11 sets it for the program, not for
// one window: the teacher at the whiteboard presses it once, and every window
// shown after it, the menu included, comes in full screen until F11 again.
class ScreenMode {
public:
    bool fullScreen() const { return fullScreen_; }
    // Switches the program, and every window of it still open, over.
    void toggle();
    // A window about to be shown takes the program's state.
    void adopt(QWidget &window);

private:
    static void apply(QWidget &window, bool fullScreen);

    bool fullScreen_ = false;
    std::vector<QPointer<QWidget>> windows_;
};

} // namespace zampli
