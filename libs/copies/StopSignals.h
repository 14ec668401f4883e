// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl-C, a closed terminal or the system's request to end, turned into the
// stop a copy already honours, so that the copy can clean up after itself
// before the program ends.
#pragma once

#include "copies/Copies.h"

#include <QString>

#include <atomic>

namespace zampli::copies {

// While one is alive, SIGINT, SIGTERM and SIGHUP only ask the copy to stop
// (a signal ignored by whoever started the program, as under nohup, stays
// ignored), and SIGXFSZ is ignored, so that a write past the file-size limit
// fails with EFBIG instead of ending the program on the spot. The handler only
// writes the signal's number into a pipe; everything else is done here, outside it.
// One at a time per process.
class StopSignals {
public:
    StopSignals();
    ~StopSignals(); // the previous actions back
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // The signal that asked to stop, 0 while none did. Cheap: may be asked
    // for every block copied, from any thread.
    int received() const;

    // `inner` (if any) that also stops the copy once a signal came.
    Progress stopping(Progress inner = {}) const;

    // What the signal means to the teacher, as the start of a sentence.
    static QString reason(int signal);

private:
    int pipe_[2] = {-1, -1};
    mutable std::atomic<int> received_{0};
};

} // namespace zampli::copies
