// The real player on a machine with no audio server: it must stay silent,
// say so once, still report missing files, and close at once.
#include "media/ProblemLog.h"
#include "media/WavSoundPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace zampli;

class TestSoundSilent : public QObject {
    Q_OBJECT

private slots:
    void noAudioServerMeansSilentButStillReporting();
};

void TestSoundSilent::noAudioServerMeansSilentButStillReporting()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QMutex mutex; // the log is written from the sound thread
    QStringList lines;
    ProblemLog log([&](const QString &line) {
        QMutexLocker lock(&mutex);
        lines << line;
    });
    const auto seen = [&] {
        QMutexLocker lock(&mutex);
        return lines;
    };

    const QString missing = dir.filePath("manca.wav");
    auto player = std::make_unique<WavSoundPlayer>(log);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 3; ++i)
        player->play(missing);
    QVERIFY(clock.elapsed() < 50);
    QTRY_COMPARE_WITH_TIMEOUT(seen().size(), 2, 5000);
    QTest::qWait(100); // nothing more may follow

    clock.restart();
    player.reset();
    QVERIFY2(clock.elapsed() < 400, "the sound thread did not stop by itself");

    const QStringList all = seen();
    QCOMPARE(all.size(), 2);
    QCOMPARE(all.at(0), QStringLiteral("nessun dispositivo audio: il programma resta muto"));
    QVERIFY2(all.at(1).contains(missing), qPrintable(all.at(1)));
}

int main(int argc, char **argv)
{
    // No server at this address: Qt Multimedia must find no audio output.
    // Set before anything of Qt Multimedia starts.
    qputenv("PULSE_SERVER", "unix:/nonexistent/zampli-no-server");
    QCoreApplication app(argc, argv);
    TestSoundSilent test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_sound_silent.moc"
