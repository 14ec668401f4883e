// SPDX-License-Identifier: GPL-3.0-or-later
// CPU the program uses while a window waits for the child: shows the window
// named on the command line (FormZampli1 by default), lets the event loop run
// for the span given in seconds after it (30 by default; timers ticking) and
// prints the process's CPU time over that span.
//
//   bench_idle_cpu [WINDOW] [SECONDS]

#include "BenchProgram.h"
#include "shell/Form.h"
#include "shell/ExerciseWindows.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
    const QLatin1String wanted(argc > 1 ? argv[1] : "FormZampli1");
    zampli::FormId id = wanted == QLatin1String("FormMenu") ? zampli::FormId::Menu : zampli::FormId::Avvio;
    for (const zampli::ExerciseWindowRow &row : zampli::kExerciseWindows)
        if (QLatin1String(row.name()) == wanted)
            id = row.id;
    zampli::Form *form = program.program.windows.form(id);
    if (!form) {
        std::fprintf(stderr, "no such window in this program\n");
        return 1;
    }
    form->Show();

    const int kSpanMs = 1000 * (argc > 2 ? std::max(1, std::atoi(argv[2])) : 30);
    double start = 0;
    QTimer::singleShot(1000, [&] { start = cpuSeconds(); }); // after start-up settles
    // exit(), not quit(): quit() would ask the windows to close, and ours ask first.
    QTimer::singleShot(1000 + kSpanMs, [&] { QCoreApplication::exit(0); });
    app.exec();
    const double used = cpuSeconds() - start;
    std::printf("idle %s for %d s: %.1f ms of CPU, %.3f %% of a core (target 0.5)\n",
                qPrintable(form->objectName()), kSpanMs / 1000, used * 1000, 100.0 * used / (kSpanMs / 1000.0));
    return 0;
}
