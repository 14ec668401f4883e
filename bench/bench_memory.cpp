// SPDX-License-Identifier: GPL-3.0-or-later
// Resident memory after the title window and then every exercise window have
// been opened and closed once, made as the program makes them (sound thread
// included), beside the floor: a bare window that opens and closes as many
// bare windows of the same size.
//
//   bench_memory [FLOOR]     (DISPLAY or QT_QPA_PLATFORM must give a screen)

#include "BenchProgram.h"
#include "sound/WavSoundPlayer.h"
#include "shell/ExerciseWindows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <iterator>

using namespace zampli;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ProblemLog quiet([](const QString &) {});
    WavSoundPlayer sound(quiet);
    bench::BenchProgram program(&sound);
    program.program.Main();
    // As the program does once its first window is up.
    program.program.modulo.preparePictures();
    while (program.program.modulo.pictures.preparing() > 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    bench::settle(500);
    const QSize titleSize = program.program.windows.form(FormId::Avvio)->window()->size();
    const double titleRss = proc::rssMb();
    for (const ExerciseWindowRow &row : kExerciseWindows) {
        Form *form = program.program.windows.form(row.id);
        form->Show();
        bench::settle(100);
        form->Unload();
        bench::deleteClosedWindows();
    }
    bench::settle(200);
    const double rss = proc::rssMb(), hwm = proc::statusMb("VmHWM");

    QProcess floor;
    const QString floorProgram = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                          : QCoreApplication::applicationDirPath() + "/bench_floor_window";
    floor.start(floorProgram, {QStringLiteral("%1x%2").arg(titleSize.width()).arg(titleSize.height()),
                               QString::number(std::size(kExerciseWindows))});
    floor.waitForFinished(60000);
    const QByteArray out = floor.readAllStandardOutput();
    const double floorRss = proc::fieldMb(out, "Rss"), floorHwm = proc::fieldMb(out, "VmHWM");
    std::printf("memory after every exercise window once: program RSS %.1f MB (%.1f with the title up) VmHWM %.1f "
                "MB, floor RSS %.1f MB VmHWM %.1f MB, ratio %.2f (target 1.5); small copies of large pictures %.0f kB\n",
                rss, titleRss, hwm, floorRss, floorHwm, floorRss > 0 ? rss / floorRss : 0.0,
                program.program.modulo.pictures.smallCopyBytes() / 1024.0);
    return floorRss > 0 ? 0 : 1;
}
