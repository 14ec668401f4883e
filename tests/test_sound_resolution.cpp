// What the sound player decides to play, seen through a recording output:
// no audio device is touched.
#include "media/ProblemLog.h"
#include "media/SoundRouter.h"
#include "media/SoundWav.h"

#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace zampli;

namespace {

// Writes down what the router asks of the output, one line per call, naming
// the built-in default "default" and a file by its name.
class RecordingOutput final : public SoundOutput {
public:
    QStringList calls;

    void load(const QUrl &source) override { record("load", source); }
    void start(const QUrl &source) override { record("start", source); }
    void stop(const QUrl &source) override { record("stop", source); }

private:
    void record(const char *what, const QUrl &source)
    {
        const QString name =
            source == SoundRouter::builtInDefault() ? QStringLiteral("default") : source.fileName();
        calls << QStringLiteral("%1 %2").arg(QLatin1String(what), name);
    }
};

struct WavShape {
    quint16 tag = 1; // plain PCM
    quint16 channels = 1;
    quint16 bits = 16;
    int frames = 2205;
};

void appendLe16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void appendLe32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

QByteArray chunk(const char *id, const QByteArray &body)
{
    QByteArray out(id, 4);
    appendLe32(out, quint32(body.size()));
    out += body;
    if (body.size() % 2 != 0)
        out += '\0';
    return out;
}

QByteArray fmtBody(const WavShape &s)
{
    const quint16 blockAlign = quint16(s.channels * s.bits / 8);
    QByteArray fmt;
    appendLe16(fmt, s.tag);
    appendLe16(fmt, s.channels);
    appendLe32(fmt, 22050);
    appendLe32(fmt, 22050u * blockAlign);
    appendLe16(fmt, blockAlign);
    appendLe16(fmt, s.bits);
    return fmt;
}

QByteArray riff(const QByteArray &chunks)
{
    QByteArray out("RIFF");
    appendLe32(out, quint32(4 + chunks.size()));
    return out + "WAVE" + chunks;
}

QByteArray wav(const WavShape &s, const QByteArray &before = {})
{
    const QByteArray data(s.frames * s.channels * s.bits / 8, '\x10');
    return riff(before + chunk("fmt ", fmtBody(s)) + chunk("data", data));
}

} // namespace

class TestSoundResolution : public QObject {
    Q_OBJECT

private slots:
    void init();

    void builtInDefaultIsASmallPlayableWav();
    void playableWavesAreAccepted_data();
    void playableWavesAreAccepted();
    void unplayableFilesAreRefused_data();
    void unplayableFilesAreRefused();
    void loadingGivesFormatAndSamples();
    void loadingKeepsTheWholeFramesOfACutFile();

    void playableFileIsHeardItself();
    void missingFileGivesDefaultAndIsReportedOnce();
    void unplayableFileGivesDefaultAndIsReportedOnce();
    void newSoundCutsOffThePreviousOne();
    void replayReusesTheLoadedSound();
    void loadedSoundNoLongerNeedsItsFile();
    void fileRecordedAgainIsLoadedAgain();
    void brokenFileReplacedByAGoodOneIsHeard();
    void fileTheOutputCannotLoadFallsBackToDefault();
    void lateFailureOfAnEarlierSoundDoesNotInterrupt();
    void failingDefaultIsNotRetried();

private:
    QString write(const QString &name, const QByteArray &bytes);
    void playTwice(const QString &path);

    QTemporaryDir dir_;
    QStringList logLines_;
    std::unique_ptr<ProblemLog> log_;
    std::unique_ptr<RecordingOutput> output_;
    std::unique_ptr<SoundRouter> router_;
};

void TestSoundResolution::init()
{
    QVERIFY(dir_.isValid());
    logLines_.clear();
    log_ = std::make_unique<ProblemLog>([this](const QString &line) { logLines_ << line; });
    output_ = std::make_unique<RecordingOutput>();
    router_ = std::make_unique<SoundRouter>(
        *output_, [this](const QString &path) { log_->missingFile(path); });
}

QString TestSoundResolution::write(const QString &name, const QByteArray &bytes)
{
    const QString path = dir_.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestSoundResolution::playTwice(const QString &path)
{
    router_->play(path);
    router_->play(path);
}

void TestSoundResolution::builtInDefaultIsASmallPlayableWav()
{
    QFile alert(QStringLiteral(":/sounds/alert.wav"));
    QVERIFY2(alert.open(QIODevice::ReadOnly), "the alert sound is not compiled in");
    const QByteArray bytes = alert.readAll();
    QVERIFY(bytes.size() < 30 * 1024);
    QVERIFY(isPlayableWav(write("copia.wav", bytes)));
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 22), quint16(1)); // mono
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 24), quint32(22050));
    QCOMPARE(SoundRouter::builtInDefault().toString(), QStringLiteral("qrc:/sounds/alert.wav"));
}

void TestSoundResolution::playableWavesAreAccepted_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("16 bit mono") << wav({});
    QTest::newRow("8 bit") << wav({.bits = 8});
    QTest::newRow("32 bit") << wav({.bits = 32});
    QTest::newRow("stereo") << wav({.channels = 2});
    QTest::newRow("odd chunk before fmt") << wav({}, chunk("LIST", "abc"));
    QTest::newRow("fact chunk after fmt")
        << riff(chunk("fmt ", fmtBody({})) + chunk("fact", "1234") + chunk("data", "\1\2\3\4"));
}

void TestSoundResolution::playableWavesAreAccepted()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(isPlayableWav(write("buono.wav", bytes)));
}

void TestSoundResolution::unplayableFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = wav({});
    QTest::newRow("text") << QByteArray("ciao, non sono un suono\n");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut in the RIFF header") << good.left(10);
    QTest::newRow("cut in the fmt chunk") << good.left(30);
    QTest::newRow("header without audio") << good.left(44);
    QTest::newRow("not WAVE") << QByteArray(good).replace(8, 4, "AVI ");
    QTest::newRow("float") << wav({.tag = 3, .bits = 32});
    QTest::newRow("extensible") << wav({.tag = 0xFFFE});
    QTest::newRow("24 bit") << wav({.bits = 24});
    QTest::newRow("no channels") << wav({.channels = 0});
    QTest::newRow("data before fmt") << riff(chunk("data", "\1\2\3\4") + chunk("fmt ", fmtBody({})));
    QTest::newRow("empty data") << wav({.frames = 0});
    QTest::newRow("no data chunk") << riff(chunk("fmt ", fmtBody({})) + chunk("LIST", "abcd"));
}

void TestSoundResolution::unplayableFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!isPlayableWav(write("rotto.wav", bytes)));
}

void TestSoundResolution::loadingGivesFormatAndSamples()
{
    const QByteArray samples("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    const WavShape shape{.channels = 2, .bits = 8};
    const auto sound = loadWav(
        write("due.wav", riff(chunk("LIST", "abc") + chunk("fmt ", fmtBody(shape)) + chunk("data", samples))));
    QVERIFY(sound.has_value());
    QCOMPARE(sound->samples, samples);
    QCOMPARE(sound->format.sampleFormat(), QAudioFormat::UInt8);
    QCOMPARE(sound->format.channelCount(), 2);
    QCOMPARE(sound->format.sampleRate(), 22050);

    const auto alert = loadWav(QStringLiteral(":/sounds/alert.wav"));
    QVERIFY(alert.has_value());
    QCOMPARE(alert->format.sampleFormat(), QAudioFormat::Int16);
    QCOMPARE(alert->format.channelCount(), 1);
    QVERIFY(alert->samples.size() > 22050 / 10 * 2); // some tenths of a second
}

void TestSoundResolution::loadingKeepsTheWholeFramesOfACutFile()
{
    // A recording cut short: the data chunk promises more than is there.
    const QByteArray full = wav({.frames = 1000});
    const auto sound = loadWav(write("corto.wav", full.left(44 + 501)));
    QVERIFY(sound.has_value());
    QCOMPARE(sound->samples.size(), 500);
}

void TestSoundResolution::playableFileIsHeardItself()
{
    router_->play(write("uno.wav", wav({})));
    QCOMPARE(output_->calls, QStringList({"load uno.wav", "start uno.wav"}));
    QCOMPARE(logLines_, QStringList());
}

void TestSoundResolution::missingFileGivesDefaultAndIsReportedOnce()
{
    const QString missing = dir_.filePath("manca.wav");
    playTwice(missing);
    QCOMPARE(output_->calls,
             QStringList({"load default", "start default", "stop default", "start default"}));
    QCOMPARE(logLines_.size(), 1);
    QVERIFY2(logLines_.first().contains(missing), qPrintable(logLines_.first()));
}

void TestSoundResolution::unplayableFileGivesDefaultAndIsReportedOnce()
{
    const QString text = write("x.wav", "non sono un suono");
    const QString cut = write("tronco.wav", wav({}).left(30));
    playTwice(text);
    playTwice(cut);
    QCOMPARE(output_->calls.filter("start"), QStringList(4, "start default"));
    QCOMPARE(output_->calls.filter("load"), QStringList({"load default"}));
    QCOMPARE(logLines_.size(), 2);
    QVERIFY(logLines_.at(0).contains(text));
    QVERIFY(logLines_.at(1).contains(cut));
}

void TestSoundResolution::newSoundCutsOffThePreviousOne()
{
    router_->play(write("uno.wav", wav({})));
    router_->play(write("due.wav", wav({})));
    router_->play(dir_.filePath("manca.wav"));
    QCOMPARE(output_->calls, QStringList({"load uno.wav", "start uno.wav", "stop uno.wav",
                                          "load due.wav", "start due.wav", "stop due.wav",
                                          "load default", "start default"}));
}

void TestSoundResolution::replayReusesTheLoadedSound()
{
    const QString one = write("uno.wav", wav({}));
    router_->play(one);
    router_->play(write("due.wav", wav({})));
    router_->play(one);
    QCOMPARE(output_->calls.mid(5), QStringList({"stop due.wav", "start uno.wav"}));
    QCOMPARE(output_->calls.filter("load"), QStringList({"load uno.wav", "load due.wav"}));
}

void TestSoundResolution::loadedSoundNoLongerNeedsItsFile()
{
    const QString one = write("uno.wav", wav({}));
    router_->play(one);
    QVERIFY(QFile::remove(one));
    router_->play(one);
    QCOMPARE(output_->calls, QStringList({"load uno.wav", "start uno.wav", "stop uno.wav", "start uno.wav"}));
    QCOMPARE(logLines_, QStringList());
}

// A word recorded again while the program runs: the new recording is heard
// from its next play on, whether its size changed or only its time.
void TestSoundResolution::fileRecordedAgainIsLoadedAgain()
{
    const QString one = write("uno.wav", wav({}));
    router_->play(one);
    router_->play(one);
    write("uno.wav", wav({.frames = 3000}));
    router_->play(one);
    router_->play(one);
    QCOMPARE(output_->calls.filter("load"), QStringList({"load uno.wav", "load uno.wav"}));

    const QString two = write("due.wav", wav({}));
    router_->play(two);
    QFile same(two);
    QVERIFY(same.open(QIODevice::ReadWrite));
    const QDateTime later = QFileInfo(two).lastModified().addSecs(5);
    QVERIFY(same.setFileTime(later, QFileDevice::FileModificationTime));
    same.close();
    router_->play(two);
    QCOMPARE(output_->calls.filter("load"),
             QStringList({"load uno.wav", "load uno.wav", "load due.wav", "load due.wav"}));
    QCOMPARE(output_->calls.last(), QStringLiteral("start due.wav"));

    // Recorded again as something that cannot be played: the default, reported.
    write("uno.wav", "non sono un suono");
    router_->play(one);
    QCOMPARE(output_->calls.last(), QStringLiteral("start default"));
    QCOMPARE(logLines_.size(), 1);
}

void TestSoundResolution::brokenFileReplacedByAGoodOneIsHeard()
{
    const QString one = write("uno.wav", wav({}));
    router_->play(one);
    router_->loadFailed(QUrl::fromLocalFile(one));
    router_->play(one);
    QCOMPARE(output_->calls.last(), QStringLiteral("start default"));

    write("uno.wav", wav({.frames = 4000}));
    output_->calls.clear();
    router_->play(one);
    QCOMPARE(output_->calls, QStringList({"stop default", "load uno.wav", "start uno.wav"}));
}

void TestSoundResolution::fileTheOutputCannotLoadFallsBackToDefault()
{
    const QString one = write("uno.wav", wav({}));
    router_->play(one);
    router_->loadFailed(QUrl::fromLocalFile(one));
    router_->loadFailed(QUrl::fromLocalFile(one));
    QCOMPARE(output_->calls, QStringList({"load uno.wav", "start uno.wav", "stop uno.wav",
                                          "load default", "start default"}));
    QCOMPARE(logLines_.size(), 1);
    QVERIFY(logLines_.first().contains(one));

    output_->calls.clear();
    router_->play(one);
    QCOMPARE(output_->calls, QStringList({"stop default", "start default"}));
}

void TestSoundResolution::lateFailureOfAnEarlierSoundDoesNotInterrupt()
{
    const QString one = write("uno.wav", wav({}));
    router_->play(one);
    router_->play(write("due.wav", wav({})));
    output_->calls.clear();
    router_->loadFailed(QUrl::fromLocalFile(one));
    QCOMPARE(output_->calls, QStringList());
    QCOMPARE(logLines_.size(), 1);
}

void TestSoundResolution::failingDefaultIsNotRetried()
{
    router_->play(dir_.filePath("manca.wav"));
    output_->calls.clear();
    router_->loadFailed(SoundRouter::builtInDefault());
    QCOMPARE(output_->calls, QStringList());
}

QTEST_GUILESS_MAIN(TestSoundResolution)
#include "test_sound_resolution.moc"
