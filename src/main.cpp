#include "app/Clock.h"
#include "app/Modulo1.h"
#include "app/Random.h"
#include "media/ProblemLog.h"
#include "media/WavSoundPlayer.h"
#include "shell/MessageBoxes.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("ZAMPLI"));

    zampli::SystemRandom random;
    zampli::SystemClock clock;
    zampli::ProblemLog problems;
    zampli::WavSoundPlayer sound(problems);
    zampli::QtMessageBoxes boxes;
    zampli::Modulo1 modulo(zampli::Services{
        random, clock, sound, boxes, problems,
        zampli::MediaPaths(QCoreApplication::applicationDirPath()),
        [] {
            // At once: every window disappears and none is asked.
            for (QWidget *w : QApplication::topLevelWidgets())
                w->hide();
            QCoreApplication::exit(0);
        }});

    modulo.Main();
    return app.exec();
}
