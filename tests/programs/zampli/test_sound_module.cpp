// SPDX-License-Identifier: GPL-3.0-or-later
// The program's sound comes from the module beside it, made when first needed.
#include "app/SoundModule.h"
#include "sound/LateSoundPlayer.h"
#include "media/ProblemLog.h"

#include <QMutex>
#include <QTemporaryDir>
#include <QtTest>

using namespace zampli;

class SoundModuleTest : public QObject {
    Q_OBJECT

    QMutex mutex_; // the module's player writes from its own thread
    QStringList lines_;
    ProblemLog log_{[this](const QString &line) { const QMutexLocker lock(&mutex_); lines_ << line; }};
    QStringList lines() { return QMutexLocker(&mutex_), lines_; }

private slots:
    // No audio server: the module's player is silent.
    void initTestCase() { qputenv("PULSE_SERVER", "unix:/nonexistent/zampli-no-server"); }
    void init() { lines_.clear(); }

    void playerIsMadeAtTheFirstSoundAndPlaysIt()
    {
        int made = 0;
        LateSoundPlayer sound([&] {
            ++made;
            return loadSoundPlayer(QCoreApplication::applicationDirPath(), log_);
        });
        QCOMPARE(made, 0);
        const QString missing = QTemporaryDir().filePath("manca.wav");
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
        QVERIFY2(lines().size() == 1 && lines().at(0).contains("modulo dei suoni"), qPrintable(lines().join('\n')));
    }
};

QTEST_GUILESS_MAIN(SoundModuleTest)

#include "test_sound_module.moc"
