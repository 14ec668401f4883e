// CPU the program uses while a listening window waits for the child: shows
// FormZampli1, lets the event loop run for ten seconds (its 1000 ms timer
// ticking) and prints the process's CPU time over that span.

#include "BenchProgram.h"
#include "exercises/listening/SinglePictureListening.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    zampli::bench::BenchProgram program;
    auto &form = program.program.windows.form<zampli::SinglePictureListening>(zampli::FormId::Zampli1);
    form.Show();

    constexpr int kSpanMs = 10000;
    double start = 0;
    QTimer::singleShot(1000, [&] { start = cpuSeconds(); }); // after start-up settles
    // exit(), not quit(): quit() would ask the windows to close, and ours ask first.
    QTimer::singleShot(1000 + kSpanMs, [&] { QCoreApplication::exit(0); });
    app.exec();
    const double used = cpuSeconds() - start;
    std::printf("idle for %d s: %.1f ms of CPU (%.3f%%)\n", kSpanMs / 1000, used * 1000,
                100.0 * used / (kSpanMs / 1000.0));
    return 0;
}
