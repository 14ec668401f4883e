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

static const QRegularExpression kNoDevice("^nessun dispositivo audio");

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
        // The sound thread takes the plays in turn: once the last one is
        // told, whatever the three before bring has been told too.
        const QString last = dir.filePath("ultimo.wav");
        player->play(last);
        QTRY_VERIFY_WITH_TIMEOUT(!seen().filter(last).isEmpty() && !seen().filter(kNoDevice).isEmpty(), 5000);
        player.reset();

        const QStringList all = seen();
        QCOMPARE(all.size(), 3);
        QCOMPARE(all.filter(kNoDevice).size(), 1);
        QCOMPARE(all.filter(missing).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSoundSilent)

#include "test_sound_silent.moc"
