// CPU the program uses while a listening window waits for the child: shows
// the window named on the command line (FormZampli1 by default), lets the
// event loop run for ten seconds (its 1000 ms timer ticking) and prints the
// process's CPU time over that span.

#include "BenchProgram.h"
#include "shell/Form.h"
#include "state/ExerciseWindows.h"

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
    zampli::FormId id = zampli::FormId::Zampli1;
    for (const zampli::ExerciseWindowRow &row : zampli::kExerciseWindows)
        if (argc > 1 && QLatin1String(row.name) == QLatin1String(argv[1]))
            id = row.id;
    zampli::Form *form = program.program.windows.form(id);
    if (!form) {
        std::fprintf(stderr, "no such window in this program\n");
        return 1;
    }
    form->Show();

    constexpr int kSpanMs = 10000;
    double start = 0;
    QTimer::singleShot(1000, [&] { start = cpuSeconds(); }); // after start-up settles
    // exit(), not quit(): quit() would ask the windows to close, and ours ask first.
    QTimer::singleShot(1000 + kSpanMs, [&] { QCoreApplication::exit(0); });
    app.exec();
    const double used = cpuSeconds() - start;
    std::printf("%s idle for %d s: %.1f ms of CPU (%.3f%%)\n", qPrintable(form->objectName()), kSpanMs / 1000,
                used * 1000,
                100.0 * used / (kSpanMs / 1000.0));
    return 0;
}
