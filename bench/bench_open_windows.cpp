// SPDX-License-Identifier: GPL-3.0-or-later
// How long each exercise window takes to open: from Show() until the X
// server has it on screen and its first paint, pictures and all, is done.
// The median of ROUNDS opens; each close lets its pictures go, so every open
// decodes them anew. "full" opens them as after F11, filling the screen.
// As the program does once its first window is up, the faces and letters are
// read ahead first; "cold" leaves that out (a window opened at once).
//
//   bench_open_windows [ROUNDS] [full] [cold]     (DISPLAY must give a screen)

#include "BenchProgram.h"
#include "shell/ExerciseWindows.h"

#include <QApplication>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <map>

using namespace zampli;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 15;
    const QByteArrayList options = QCoreApplication::arguments().mid(2).join(' ').toUtf8().split(' ');
    const bool full = options.contains("full");
    const bool cold = options.contains("cold");
    bench::BenchProgram program;
    program.program.Main();
    bench::settle(300);
    if (!cold) {
        program.program.modulo.preparePictures();
        while (program.program.modulo.pictures.preparing() > 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    if (full)
        program.program.windows.screen.toggle();
    std::map<std::string, std::vector<double>> ms;
    std::vector<double> all, first;
    for (int r = 0; r < rounds; ++r) {
        for (const ExerciseWindowRow &row : kExerciseWindows) {
            Form *form = program.program.windows.form(row.id);
            QElapsedTimer t;
            t.start();
            form->Show();
            QWidget *window = form->window();
            // With no window manager to do it, the bench gives a full-screen window the screen.
            if (full)
                window->setGeometry(window->screen()->geometry());
            while (!window->windowHandle() || !window->windowHandle()->isExposed())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            QCoreApplication::processEvents();
            window->repaint();
            const double took = t.nsecsElapsed() / 1e6;
            ms[row.name()].push_back(took);
            all.push_back(took);
            if (r == 0)
                first.push_back(took);
            form->Unload();
            bench::deleteClosedWindows();
            bench::settle(20);
        }
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const QSize screen = QGuiApplication::primaryScreen()->size();
    for (const auto &[name, times] : ms)
        std::printf("%-16s open median %6.1f ms\n", name.c_str(), median(times));
    std::printf("every window, %dx%d%s%s, %d rounds: open median %.1f ms\n", screen.width(), screen.height(),
                full ? " full screen" : "", cold ? ", nothing read ahead" : "", rounds, median(all));
    std::printf("first round: open median %.1f ms\n", median(first));
    return 0;
}
