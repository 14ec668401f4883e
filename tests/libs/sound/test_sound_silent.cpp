// SPDX-License-Identifier: GPL-3.0-or-later
// The real player on a machine with no audio server: it must stay silent,
// say so once, still report missing files, and close. How soon play()
// returns and the player closes: bench_sound_play.
#include "media/ProblemLog.h"
#include "sound/WavSoundPlayer.h"

#include <QCoreApplication>
#include <QMutex>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace zampli;

class TestSoundSilent : public QObject {
    Q_OBJECT

private slots:
    // No server at this address.
    void initTestCase() { qputenv("PULSE_SERVER", "unix:/nonexistent/zampli-no-server"); }

    void noAudioServerMeansSilentButStillReporting()
    {
        QTemporaryDir dir;
        QMutex mutex; // the log is written from the sound thread
        QStringList lines;
        ProblemLog log([&](const QString &line) { const QMutexLocker lock(&mutex); lines << line; });
        const auto seen = [&] { return QMutexLocker(&mutex), lines; };

        const QString missing = dir.filePath("manca.wav");
        auto player = std::make_unique<WavSoundPlayer>(log);
        for (int i = 0; i < 3; ++i)
            player->play(missing);
        QTRY_COMPARE_WITH_TIMEOUT(seen().size(), 2, 5000);
        // Closing joins the sound thread: anything it would still say is said by now.
        player.reset();

        const QStringList all = seen();
        // Which comes first depends on how soon the failed connection is noticed.
        QVERIFY2(all.size() == 2 && all.filter(QRegularExpression("^nessun dispositivo audio")).size() == 1
                     && all.filter(missing).size() == 1,
                 qPrintable(all.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestSoundSilent)

#include "test_sound_silent.moc"
