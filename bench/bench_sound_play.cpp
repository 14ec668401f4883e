// SPDX-License-Identifier: GPL-3.0-or-later
// How long a click that plays a sound holds the window thread: from the
// click to play() returning. The sound thread does the real work; here only
// the posting is measured. Run it with an audio server to see the worst case
// (PULSE_SERVER may point at any server, or at none). Then the same against
// a server that takes the connection and never answers, as a stopped one
// does, and how long closing a player holds the window thread.
#include "media/ProblemLog.h"
#include "sound/WavSoundPlayer.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

using namespace zampli;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWarmUp = 100;
constexpr int kRuns = 1000;
constexpr double kLimitUs = 1000;
// Closing waits for the sound thread; a stuck one would take seconds.
constexpr double kCloseLimitMs = 400;

double percentile(std::vector<double> values, double p)
{
    const auto at = values.begin() + std::ptrdiff_t(p * double(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

// A socket at `path` that takes connections and never answers them: an
// audio server stopped by a signal, as a client sees it. -1 if none.
int silentServer(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || name.size() >= qsizetype(sizeof(address.sun_path)))
        return -1;
    std::copy(name.begin(), name.end(), address.sun_path);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(fd, 64) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Clicks on a button that asks `player` to play, kRuns timed after a warm
// up, in µs from the click to play() returning.
std::vector<double> clickMicros(QApplication &app, WavSoundPlayer &player, const QStringList &sounds)
{
    QPushButton button(QStringLiteral("Ascolta"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked,
                     [&] { player.play(sounds.at(clicks++ % sounds.size())); });
    std::vector<double> micros;
    micros.reserve(kRuns);
    for (int i = 0; i < kWarmUp + kRuns; ++i) {
        const auto start = Clock::now();
        button.click();
        const auto took = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        if (i >= kWarmUp)
            micros.push_back(took);
        // Clicks come apart; let the sound thread catch up as it would.
        app.processEvents();
        QThread::msleep(2);
    }
    return micros;
}

// One line of figures; true when the median is within the limit.
bool report(const char *what, const std::vector<double> &micros)
{
    const double median = percentile(micros, 0.5);
    std::printf("click to play() returning, %s, %d runs: median %.1f us, p95 %.1f us, max %.1f us\n", what,
                kRuns, median, percentile(micros, 0.95), *std::max_element(micros.begin(), micros.end()));
    return median < kLimitUs;
}

// A player asked to play `path`, then closed at once: the time closing takes.
double closingMs(ProblemLog &log, const QString &path)
{
    auto player = std::make_unique<WavSoundPlayer>(log);
    player->play(path);
    const auto start = Clock::now();
    player.reset();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QStringList sounds{dir.filePath("uno.wav"), dir.filePath("due.wav")};
    for (const QString &path : sounds) {
        if (!QFile::copy(QStringLiteral(":/sounds/alert.wav"), path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 2;
        }
    }

    ProblemLog log;
    bool fast = false;
    {
        WavSoundPlayer player(log);
        fast = report("this server", clickMicros(app, player, sounds));
    }
    const double closeMs = closingMs(log, sounds.front());
    const QString socket = dir.filePath(QStringLiteral("muto"));
    const int silent = silentServer(socket);
    if (silent < 0) {
        std::fprintf(stderr, "cannot listen at %s\n", qPrintable(socket));
        return 2;
    }
    qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(socket));
    {
        WavSoundPlayer player(log);
        fast = report("a server that never answers", clickMicros(app, player, sounds)) && fast;
    }
    std::printf("closing a player that has just been asked to play: %.1f ms\n", closeMs);
    ::close(silent);
    return fast && closeMs < kCloseLimitMs ? 0 : 1;
}
