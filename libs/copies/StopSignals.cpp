// SPDX-License-Identifier: GPL-3.0-or-later
#include "copies/StopSignals.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace zampli::copies {

namespace {

constexpr std::array kStopSignals = {SIGINT, SIGTERM, SIGHUP};

// Written by the handler only: the one thing it may safely do is write().
volatile std::sig_atomic_t gWriteEnd = -1;
std::array<struct sigaction, kStopSignals.size()> gPrevious{};
struct sigaction gPreviousFileSize{};
std::array<bool, kStopSignals.size()> gInstalled{};

void onStopSignal(int signal)
{
    const int savedErrno = errno;
    const char number = char(signal);
    // A full pipe already holds a signal: losing this one changes nothing.
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &number, 1);
    errno = savedErrno;
}

} // namespace

StopSignals::StopSignals()
{
    if (::pipe2(pipe_, O_NONBLOCK | O_CLOEXEC) != 0)
        return; // no pipe: signals keep their usual effect, the copy its usual cleanup on errors
    gWriteEnd = pipe_[1];
    struct sigaction action{};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Restarted calls: the copy's reads and writes go on and the stop is seen between blocks.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        ::sigaction(kStopSignals[i], nullptr, &gPrevious[i]);
        gInstalled[i] = gPrevious[i].sa_handler != SIG_IGN;
        if (gInstalled[i])
            ::sigaction(kStopSignals[i], &action, nullptr);
    }
    struct sigaction ignore{};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &gPreviousFileSize);
}

StopSignals::~StopSignals()
{
    if (pipe_[0] < 0)
        return;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i)
        if (gInstalled[i])
            ::sigaction(kStopSignals[i], &gPrevious[i], nullptr);
    ::sigaction(SIGXFSZ, &gPreviousFileSize, nullptr);
    gWriteEnd = -1;
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

int StopSignals::received() const
{
    if (received_.load() == 0 && pipe_[0] >= 0) {
        char number = 0;
        if (::read(pipe_[0], &number, 1) == 1)
            received_.store(number);
    }
    return received_.load();
}

Progress StopSignals::stopping(Progress inner) const
{
    return [this, inner = std::move(inner)](qint64 done, qint64 total) {
        return received() == 0 && (!inner || inner(done, total));
    };
}

QString StopSignals::reason(int signal)
{
    switch (signal) {
    case SIGINT: return QStringLiteral("Interrotto con Ctrl-C");
    case SIGHUP: return QStringLiteral("Il terminale è stato chiuso");
    default: return QStringLiteral("Il sistema ha chiesto di chiudere il programma");
    }
}

} // namespace zampli::copies
