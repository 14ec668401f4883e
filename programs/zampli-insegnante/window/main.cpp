// SPDX-License-Identifier: GPL-3.0-or-later
// zampli-insegnante [CARTELLA]: the teacher's own words, pictures and voices
// in a program folder, without a terminal.
#include "ProductIdentity.h"
#include "imports/VoiceRecorder.h"
#include "media/ProblemLog.h"
#include "pictures-voices/MediaActions.h"
#include "shared/TeacherServices.h"
#include "sound/LateSoundPlayer.h"
#include "sound/WavSoundPlayer.h"
#include "window/MainWindow.h"
#include "window/TeacherStart.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QSettings>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <optional>

namespace {

const char *kHelp =
    "Uso: zampli-insegnante [CARTELLA]\n"
    "     zampli-insegnante --version\n"
    "\n"
    "Apre la finestra dell'insegnante su una copia di ZAMPLI: gli elenchi di parole,\n"
    "le immagini, le voci, i suoni, il controllo, i risultati e le copie.\n"
    "\n"
    "CARTELLA       la cartella della copia (senza: l'ultima aperta)\n"
    "-h, --help     mostra questo aiuto\n"
    "-V, --version  scrive la versione del programma\n";

// --help and --version are answered before the window system is reached, so
// that they work in any terminal; the rest once Qt has taken its own options
// (-platform, -style). The exit status, or nothing when the window is to open.
std::optional<int> answerCommandLine(const QStringList &args, QStringList &folders, bool qtOptionsTaken)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("V"), QStringLiteral("version")});
    parser.addOptions({help, version});
    const bool understood = parser.parse(args) && parser.positionalArguments().size() <= 1;
    if (parser.isSet(help)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("zampli-insegnante %s\n", zampli::identity::kVersion);
        return 0;
    }
    if (!qtOptionsTaken)
        return std::nullopt;
    if (!understood) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    folders = parser.positionalArguments();
    return std::nullopt;
}

QStringList rawArguments(int argc, char *argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    if (const std::optional<int> status = answerCommandLine(rawArguments(argc, argv), args, false))
        return *status;
    QApplication app(argc, argv);
    if (const std::optional<int> status = answerCommandLine(QApplication::arguments(), args, true))
        return *status;
    QTranslator qtTexts;
    zampli::teacher::prepareTeacherProgram(qtTexts);

    zampli::ProblemLog log;
    zampli::LateSoundPlayer player([&log] { return std::make_unique<zampli::WavSoundPlayer>(log); });
    zampli::teacher::VoiceRecorder recorder;
    zampli::teacher::TeacherServices services{player, recorder};
    zampli::teacher::MainWindow window(services);
    // The folder named, else the last one opened, else the program's own.
    const QString folder = !args.isEmpty() ? args.first()
                                           : QSettings().value("cartella", QCoreApplication::applicationDirPath()).toString();
    // A window already open on that copy has been brought forward instead.
    if (!window.openFolder(QDir(folder).exists() ? folder : QCoreApplication::applicationDirPath()))
        return 0;
    window.show();
    // Reaching the audio server may wait on it (when none runs, on its
    // autospawn and D-Bus): the window is up first.
    QTimer::singleShot(0, &recorder, [&recorder, &player] {
        recorder.probe();
        player.start();
    });
    return app.exec();
}
