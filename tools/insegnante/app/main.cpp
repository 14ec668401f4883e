// SPDX-License-Identifier: GPL-3.0-or-later
// zampli-insegnante [CARTELLA]: the teacher's own words, pictures and voices
// in a program folder, without a terminal.
#include "MainWindow.h"
#include "MediaActions.h"
#include "ProductIdentity.h"
#include "VoiceRecorder.h"
#include "media/Artwork.h"
#include "media/ProblemLog.h"
#include "sound/WavSoundPlayer.h"

#include <QApplication>
#include <QDir>
#include <QSettings>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("zampli"));
    QApplication::setApplicationName(QStringLiteral("zampli-insegnante"));
    QApplication::setApplicationDisplayName(QStringLiteral("ZAMPLI per l'insegnante"));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(zampli::identity::kId) + QStringLiteral(".Insegnante"));
    QApplication::setWindowIcon(zampli::Artwork::windowIcon());

    zampli::ProblemLog log;
    zampli::WavSoundPlayer player(log);
    zampli::teacher::VoiceRecorder recorder;
    recorder.probe();
    zampli::teacher::TeacherServices services{player, recorder};
    zampli::teacher::MainWindow window(services);
    const QStringList args = app.arguments().mid(1);
    // The folder named, else the last one opened, else the program's own.
    const QString folder = !args.isEmpty() ? args.first()
                                           : QSettings().value("cartella", QCoreApplication::applicationDirPath()).toString();
    window.openFolder(QDir(folder).exists() ? folder : QCoreApplication::applicationDirPath());
    window.show();
    return app.exec();
}
