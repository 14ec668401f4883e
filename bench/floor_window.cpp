// SPDX-License-Identifier: GPL-3.0-or-later
// The toolkit's floor: a bare Qt Widgets window, nothing in it. Started by
// the start timer with the program's window size (WIDTHxHEIGHT); with a
// count N after it, it also opens and closes N more such windows and prints
// its own resident size (exact, from smaps_rollup) and VmHWM, to set beside
// the program's after its windows.

#include "ProcMemory.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QSize size(800, 600);
    if (argc > 1) {
        const QList<QByteArray> wh = QByteArray(argv[1]).split('x');
        if (wh.size() == 2)
            size = QSize(wh[0].toInt(), wh[1].toInt());
    }
    QWidget window;
    window.resize(size);
    window.show();
    if (argc > 2) {
        const int more = QByteArray(argv[2]).toInt();
        QTimer::singleShot(0, [&] {
            for (int i = 0; i < more; ++i) {
                auto *w = new QWidget;
                w->setAttribute(Qt::WA_DeleteOnClose);
                w->resize(size);
                w->show();
                QApplication::processEvents();
                w->close();
                QApplication::processEvents();
            }
            // In the lines of /proc, read back by the same reader.
            std::printf("Rss: %.0f kB\nVmHWM: %.0f kB\n", zampli::proc::rssMb() * 1024, zampli::proc::statusMb("VmHWM") * 1024);
            QCoreApplication::exit(0);
        });
    }
    return app.exec();
}
