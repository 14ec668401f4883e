// The program's sound comes from the module beside it, made when first needed.
#include "app/SoundModule.h"
#include "media/LateSoundPlayer.h"
#include "media/ProblemLog.h"

#include <QMutex>
#include <QTemporaryDir>
#include <QtTest>

using namespace zampli;

class SoundModuleTest : public QObject {
    Q_OBJECT

    QMutex mutex_; // the module's player writes from its own thread
    QStringList lines_;
    ProblemLog log_{[this](const QString &line) {
        QMutexLocker lock(&mutex_);
        lines_ << line;
    }};
    QStringList lines()
    {
        QMutexLocker lock(&mutex_);
        return lines_;
    }

private slots:
    void init() { lines_.clear(); }

    void playerIsMadeAtTheFirstSoundAndPlaysIt()
    {
        int made = 0;
        LateSoundPlayer sound([&] {
            ++made;
            return loadSoundPlayer(QCoreApplication::applicationDirPath(), log_);
        });
        QCOMPARE(made, 0);
        QTemporaryDir dir;
        const QString missing = dir.filePath("manca.wav");
        sound.play(missing);
        sound.start();
        QCOMPARE(made, 1);
        // The module's real player, silent without a server, still names the file.
        QTRY_VERIFY_WITH_TIMEOUT(lines().filter(missing).size() == 1, 5000);
    }

    void withoutTheModuleTheProgramIsSilentAndSaysSo()
    {
        QTemporaryDir empty;
        const auto player = loadSoundPlayer(empty.path(), log_);
        player->play(empty.filePath("manca.wav"));
        QCOMPARE(lines().size(), 1);
        QVERIFY2(lines().at(0).contains("modulo dei suoni"), qPrintable(lines().at(0)));
    }
};

int main(int argc, char **argv)
{
    qputenv("PULSE_SERVER", "unix:/nonexistent/zampli-no-server");
    QCoreApplication app(argc, argv);
    SoundModuleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_sound_module.moc"
