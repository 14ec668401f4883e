// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnswersModule.h"
#include "app/Programma.h"
#include "app/ReachableWindows.h"
#include "app/SchoolModule.h"
#include "app/SoundModule.h"
#include "media/Artwork.h"
#include "media/MediaPaths.h"
#include "sound/LateSoundPlayer.h"
#include "media/ProblemLog.h"
#include "shell/QtMessageBoxes.h"
#include "state/Clock.h"
#include "rules/Random.h"
#include "state/LateAnswerLog.h"
#include "startup/QtItalian.h"
#include "startup/SingleInstance.h"

#include "ProductIdentity.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <functional>
#include <unistd.h>
#include <utility>

namespace {

// The school's server is reached only as the copy says: libpq would fill
// whatever the copy leaves out (even options sent to the server) from PG*
// variables. Cleared before any thread can read the environment.
void forgetServerVariables()
{
    QList<QByteArray> names;
    for (char **e = environ; *e; ++e)
        if (qstrncmp(*e, "PG", 2) == 0)
            names.append(QByteArray(*e).split('=').constFirst());
    for (const QByteArray &name : names)
        unsetenv(name.constData());
}

// Ties the windows to their menu entry: on X the window class is the
// application's name, on Wayland the app id is the desktop file's name.
// The titles say ZAMPLI on their own.
void nameTheProgram(QApplication &app)
{
    app.setApplicationName(QString::fromUtf8(zampli::identity::kId));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(zampli::identity::kId));
}

// A second start brings this one forward: every window shown, unminimised.
void bringForward()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible()) {
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
            w->raise();
            w->activateWindow();
        }
}

// At once: every window disappears and none is asked.
void endAtOnce()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->hide();
    QCoreApplication::exit(0);
}

// Runs `later` once the first window has been painted, or after a second
// should nothing be painted (a window never shown). A timer of 0 is not late
// enough: it runs before the event loop has sent the window to the screen.
void afterFirstPaint(std::function<void()> later)
{
    struct Watch final : QObject {
        std::function<void()> later;
        void fire()
        {
            qApp->removeEventFilter(this);
            if (later)
                std::exchange(later, {})();
            deleteLater();
        }
        bool eventFilter(QObject *watched, QEvent *e) override
        {
            // Queued: the paint itself still has to reach the screen.
            if (e->type() == QEvent::Paint && watched->isWidgetType())
                QMetaObject::invokeMethod(this, &Watch::fire, Qt::QueuedConnection);
            return false;
        }
    };
    auto *watch = new Watch;
    watch->later = std::move(later);
    qApp->installEventFilter(watch);
    QTimer::singleShot(1000, watch, &Watch::fire);
}

// What the title window does not need waits until it is on the screen: the
// answers' writer, the delivery to the school, the sound module, the pictures
// the exercise windows show, the icon, Qt's own Italian texts (a context menu,
// a file dialog). Run before the first paint they held it back by some 10 to
// 16 ms; the writer's first round and the database's library alone came to 26
// of the 92 million instructions run to the first paint (callgrind).
void finishStartingLater(zampli::LateAnswerLog &answers, zampli::LateSoundPlayer &sound, QTranslator &qtTexts,
                         zampli::Modulo1 &modulo, const std::function<void()> &school)
{
    afterFirstPaint([&answers, &sound, &qtTexts, &modulo, school] {
        zampli::Artwork::releasePointers();
        // Before the delivery: both name the results file the writer may rename first.
        answers.start();
        school();
        sound.start();
        modulo.preparePictures();
        QApplication::setWindowIcon(zampli::Artwork::windowIcon());
        zampli::installQtItalian(qtTexts);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    forgetServerVariables();
    QApplication app(argc, argv);
    nameTheProgram(app);
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QLocale::setDefault(italian);
    // The installed program started through a copy's link shows the copy's
    // media; its modules are installed beside the program file.
    const QString installedFolder = QCoreApplication::applicationDirPath();
    const QString programFolder = zampli::MediaPaths::startFolder(QFile::decodeName(argv[0]), installedFolder);

    // A second start only brings the running program forward.
    zampli::SingleInstance instance(QStringLiteral("zampli"), programFolder);
    if (!instance.claim()) {
        instance.wakeRunning();
        return 0;
    }
    QObject::connect(&instance, &zampli::SingleInstance::woken, bringForward);

    zampli::SystemRandom random;
    zampli::SystemClock clock;
    zampli::ProblemLog problems;
    zampli::LateSoundPlayer sound([&problems, installedFolder] { return zampli::loadSoundPlayer(installedFolder, problems); });
    zampli::QtMessageBoxes boxes;
    // The child's answers, kept by the answers' module once it is loaded.
    zampli::LateAnswerLog answers(
        [&problems, installedFolder, programFolder] { return zampli::loadAnswerWriter(installedFolder, programFolder, problems); });
    // Stopped before the writer's last batch: what that holds goes at the next start.
    zampli::SchoolModule school;
    zampli::Programma programma(zampli::Services{random, clock, sound, boxes, problems, answers,
                                                 zampli::MediaPaths(programFolder), endAtOnce});

    // A window destroyed from outside leaves nothing to click: end, so the
    // next start runs anew instead of waking a program nobody can see.
    zampli::ReachableWindows reachable([] { QCoreApplication::exit(0); });
    zampli::Artwork::holdPointers();
    programma.Main();
    QTranslator qtTexts;
    finishStartingLater(answers, sound, qtTexts, programma.modulo,
                        [&] { school.start(installedFolder, programFolder, problems); });
    return app.exec();
}
