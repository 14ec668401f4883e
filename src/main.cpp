#include "app/Programma.h"
#include "app/ReachableWindows.h"
#include "app/SingleInstance.h"
#include "app/SoundModule.h"
#include "media/Artwork.h"
#include "sound/LateSoundPlayer.h"
#include "media/ProblemLog.h"
#include "shell/QtMessageBoxes.h"
#include "state/Clock.h"
#include "rules/Random.h"
#include "results/ResultsWriter.h"
#include "results/Schema.h"
#include "state/WrittenAnswerLog.h"

#include "ProductIdentity.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Ties the windows to their menu entry: on X the window class is the
    // application's name, on Wayland the app id is the desktop file's name.
    // The titles say ZAMPLI on their own.
    app.setApplicationName(QString::fromUtf8(zampli::identity::kId));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(zampli::identity::kId));
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QLocale::setDefault(italian);

    // A second start only brings the running program forward.
    zampli::SingleInstance instance(QCoreApplication::applicationDirPath());
    if (!instance.claim()) {
        instance.wakeRunning();
        return 0;
    }
    QObject::connect(&instance, &zampli::SingleInstance::woken, [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible()) {
                w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
                w->raise();
                w->activateWindow();
            }
    });

    zampli::SystemRandom random;
    zampli::SystemClock clock;
    zampli::ProblemLog problems;
    zampli::LateSoundPlayer sound(
        [&problems] { return zampli::loadSoundPlayer(QCoreApplication::applicationDirPath(), problems); });
    zampli::QtMessageBoxes boxes;
    // The child's answers, kept in the machine's state folder; whatever
    // becomes of the file, the windows behave the same.
    const QString programFolder = QCoreApplication::applicationDirPath();
    zampli::ResultsWriter results(zampli::resultsDatabasePath(zampli::resultsFolder(), programFolder), programFolder,
                                  [&problems](const QString &line) { problems.note(line); });
    zampli::WrittenAnswerLog answers(results);
    zampli::Programma programma(zampli::Services{
        random, clock, sound, boxes, problems, answers,
        zampli::MediaPaths(QCoreApplication::applicationDirPath()),
        [] {
            // At once: every window disappears and none is asked.
            for (QWidget *w : QApplication::topLevelWidgets())
                w->hide();
            QCoreApplication::exit(0);
        }});

    // A window destroyed from outside leaves nothing to click: end, so the
    // next start runs anew instead of waking a program nobody can see.
    zampli::ReachableWindows reachable([] { QCoreApplication::exit(0); });
    programma.Main();
    // What the title window does not need waits until it is on its way to the
    // screen: the sound thread, the icon, Qt's own Italian texts (a context
    // menu, a file dialog).
    QTranslator qtTexts;
    QTimer::singleShot(0, [&] {
        sound.start();
        QApplication::setWindowIcon(zampli::Artwork::windowIcon());
        if (qtTexts.load(italian, QStringLiteral("qt"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QApplication::installTranslator(&qtTexts);
    });
    return app.exec();
}
