// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zampli {

// A window whose activation step the tracker runs.
class Activatable {
public:
    virtual void runActivation() = 0;

protected:
    ~Activatable() = default;
};

// Decides when a window's activation step runs: when it is shown, and when it
// becomes the active window after another window of the program was. Message
// boxes are not windows of the program here, and leaving for another program
// and coming back is no change of window.
class ActivationTracker {
public:
    // A window of the program became the active one (or was shown).
    void activated(Activatable &window);
    // A window was closed: its next showing is a fresh activation.
    void unloaded(Activatable &window);

private:
    Activatable *last_ = nullptr;
};

} // namespace zampli
