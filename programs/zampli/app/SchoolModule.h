// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

class ProblemLog;

// The delivery of the answers to the copy's school server, made by the
// school module beside the program file. A copy without a server never loads
// it, nor the client library it brings.
class SchoolModule {
public:
    SchoolModule() = default;
    SchoolModule(const SchoolModule &) = delete;
    SchoolModule &operator=(const SchoolModule &) = delete;
    // Stops the delivery: within a moment, whatever the network does.
    ~SchoolModule();

    // Starts delivering the answers kept for the copy in `copyFolder` when it
    // has a server. A module that cannot be loaded is told once.
    void start(const QString &installedFolder, const QString &copyFolder, ProblemLog &log);

private:
    void *delivery_ = nullptr;
    void (*stop_)(void *) = nullptr;
};

} // namespace zampli
