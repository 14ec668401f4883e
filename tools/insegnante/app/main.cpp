// SPDX-License-Identifier: GPL-3.0-or-later
// zampli-insegnante [CARTELLA]: the teacher's own words, pictures and voices
// in a program folder, without a terminal.
#include "MainWindow.h"
#include "MediaActions.h"
#include "TeacherStart.h"
#include "VoiceRecorder.h"
#include "media/ProblemLog.h"
#include "sound/WavSoundPlayer.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTranslator qtTexts;
    zampli::teacher::prepareTeacherProgram(qtTexts);

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
    // A window already open on that copy has been brought forward instead.
    if (!window.openFolder(QDir(folder).exists() ? folder : QCoreApplication::applicationDirPath()))
        return 0;
    window.show();
    return app.exec();
}
