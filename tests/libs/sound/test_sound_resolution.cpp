// SPDX-License-Identifier: GPL-3.0-or-later
// What the sound player decides to play, seen through a recording output:
// no audio device is touched.
#include "media/ProblemLog.h"
#include "sound/SoundRouter.h"
#include "sound/SoundWav.h"
#include "WavBytes.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace zampli;
using namespace zampli::test;

namespace {

// Writes down what the router asks of the output, one line per call, naming
// the built-in default "default" and a file by its name.
class RecordingOutput final : public SoundOutput {
public:
    QStringList calls;
    void load(const QUrl &source) override { calls << "load " + name(source); }
    void start(const QUrl &source) override { calls << "start " + name(source); }
    void stop(const QUrl &source) override { calls << "stop " + name(source); }
    static QString name(const QUrl &s) { return s == SoundRouter::builtInDefault() ? "default" : s.fileName(); }
};

// Every frame of `s`: its sample repeated, or without one every byte 0x10.
QByteArray wav(const WavShape &s)
{
    const int count = s.frames * s.channels;
    return wavWith(s, s.sample.isEmpty() ? QByteArray(count * s.bits / 8, '\x10') : s.sample.repeated(count));
}

QString write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class TestSoundResolution : public QObject {
    Q_OBJECT

private slots:
    // Every file: whether it is refused, and if not, the 16-bit samples the
    // output is given, in the machine's (little-endian) order.
    void wavFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("samples"); // null: refused
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("rate");
        const auto row = [](const char *name, const QByteArray &bytes, const QByteArray &samples = {},
                            int channels = 0, int rate = 22050) {
            QTest::newRow(name) << bytes << samples << channels << rate;
        };
        const auto each = [](const char *hex, int count) { return QByteArray::fromHex(hex).repeated(count); };
        const QByteArray few("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
        row("16 bit mono", wav({}), each("1010", 2205), 1);
        row("8 bit, offset by 128", wav({.bits = 8}), each("0090", 2205), 1);
        row("24 bit, its top 16 bits", wav({.bits = 24}), each("1010", 2205), 1);
        row("32 bit", wav({.bits = 32}), each("1010", 2205), 1);
        row("float 0.25", wav({.tag = 3, .bits = 32, .sample = QByteArray::fromHex("0000803e")}),
            each("0020", 2205), 1);
        row("extensible 16 bit", wav({.tag = 0xFFFE}), each("1010", 2205), 1);
        row("96 kHz stereo", wav({.channels = 2, .frames = 9600, .rate = 96000}), each("1010", 2 * 9600), 2, 96000);
        row("odd chunk before fmt",
            riffWave(wavChunk("LIST", "abc") + wavChunk("fmt ", wavFormat({.channels = 2})) + wavChunk("data", few)), few,
            2);

        const QByteArray plain = wav({});
        row("text", "ciao, non sono un suono\n");
        row("cut in the fmt chunk", plain.left(30));
        row("header without audio", plain.left(44));
        // A recording cut short, its data chunk promising more than is there:
        // refused as a cut picture is, so the adult hears of it.
        row("cut in a frame", wav({.frames = 1000}).left(44 + 501));
        row("not WAVE", QByteArray(plain).replace(8, 4, "AVI "));
        row("no channels", wav({.channels = 0}));
        row("empty data", wav({.frames = 0}));
    }

    void wavFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, samples);
        QFETCH(int, channels);
        QFETCH(int, rate);
        QTemporaryDir dir;
        const QString path = write(dir.filePath("prova.wav"), bytes);
        const WavRead probe = probeWav(path);
        QCOMPARE(probe.sound.has_value(), !samples.isNull());
        const WavRead read = loadWav(path);
        QCOMPARE(read.sound.has_value(), !samples.isNull());
        QCOMPARE(read.why.isEmpty(), !samples.isNull()); // a refusal always says why
        if (read.sound) {
            QCOMPARE(read.sound->samples.toHex(), samples.toHex());
            QCOMPARE(read.sound->format.channels, channels);
            QCOMPARE(read.sound->format.rate, rate);
        }
    }

    // A voice far longer than a clip may be: only its start is kept, and it says so.
    void aLongVoiceIsCut()
    {
        QTemporaryDir dir;
        QFile file(write(dir.filePath("lunga.wav"), wav({.channels = 2, .frames = 0, .rate = 44100})));
        // Ten minutes of silence, the file sparse; the header's sizes are fixed below.
        const qint64 data = 600LL * 44100 * 4;
        QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(44 + data));
        QVERIFY(file.seek(4) && file.write(QByteArray::fromHex("a4fd4e06"), 4) == 4 && file.seek(40)
                && file.write(QByteArray::fromHex("80fd4e06"), 4) == 4);
        file.close();
        const WavRead read = loadWav(file.fileName());
        QVERIFY(read.sound);
        QCOMPARE(read.sound->fileFrames, 600LL * 44100);
        QCOMPARE(read.sound->samples.size(), 16 << 20);
        QVERIFY(read.cut());
        QCOMPARE(read.kind, QString("WAV PCM 16 bit, 44.100 Hz, stereo, 10 min 0 s"));
    }

    // Steps on files of a folder of their own, then what the output was asked
    // after the last "clear" and the files reported, in order. Steps: "wav|text|cut
    // NAME [FRAMES]" (written), "rm NAME", "touch NAME" (five seconds on), "play
    // NAME", "fail NAME|default" (the output could not load it), "clear".
    void routing_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QString>("reported");
        const auto row = [](const char *name, const char *steps, const char *calls, const char *reported) {
            QTest::newRow(name) << QString(steps) << QString(calls) << QString(reported);
        };
        row("unplayable files: default, each reported once",
            "text x, cut tronco, play x, play tronco, clear, play x, play tronco",
            "stop default, start default, stop default, start default", "x, tronco");
        row("a new sound cuts off the previous one", "wav uno, wav due, play uno, play due, play manca",
            "load uno, start uno, stop uno, load due, start due, stop due, load default, start default", "manca");
        row("a loaded sound no longer needs its file", "wav uno, play uno, rm uno, play uno",
            "load uno, start uno, stop uno, start uno", "");
        // A word recorded again while the program runs is heard from its next
        // play on, whether its size changed or only its time.
        row("recorded again, new time, then unplayable",
            "wav due, play due, touch due, clear, play due, text due, play due",
            "stop due, load due, start due, stop due, load default, start default", "due");
        row("the output cannot load a file: default, never retried", "wav uno, play uno, fail uno, fail uno, play uno",
            "load uno, start uno, stop uno, load default, start default, stop default, start default", "uno");
        row("a failed file replaced by a good one is heard",
            "wav uno, play uno, fail uno, clear, play uno, wav uno 4000, play uno",
            "stop default, start default, stop default, load uno, start uno", "uno");
        row("a late failure of an earlier sound does not interrupt",
            "wav uno, wav due, play uno, play due, clear, fail uno", "", "uno");
        row("a failing default is not retried", "play manca, clear, fail default", "", "manca");
    }

    void routing()
    {
        QFETCH(QString, steps);
        QFETCH(QString, calls);
        QFETCH(QString, reported);
        QTemporaryDir dir;
        QStringList logLines;
        ProblemLog log([&logLines](const QString &line) { logLines << line; });
        RecordingOutput output;
        SoundRouter router(output, [&log](const QString &path, const QString &why) { log.missingFile(path, why); });
        const auto path = [&dir](const QString &name) { return dir.filePath(name + ".wav"); };

        for (const QString &step : steps.split(", ")) {
            const QStringList w = step.split(' ');
            const QString what = w.at(0), file = w.size() > 1 ? path(w.at(1)) : QString();
            if (what == "wav")
                write(file, wav({.frames = w.size() > 2 ? w.at(2).toInt() : 2205}));
            else if (what == "text" || what == "cut")
                write(file, what == "text" ? QByteArray("non sono un suono") : wav({}).left(30));
            else if (what == "rm")
                QVERIFY(QFile::remove(file));
            else if (QFile same(file); what == "touch")
                QVERIFY(same.open(QIODevice::ReadWrite)
                        && same.setFileTime(QFileInfo(file).lastModified().addSecs(5),
                                            QFileDevice::FileModificationTime));
            else if (what == "play")
                router.play(file);
            else if (what == "fail")
                router.loadFailed(w.at(1) == "default" ? SoundRouter::builtInDefault() : QUrl::fromLocalFile(file));
            else if (what == "clear")
                output.calls.clear();
            else
                QFAIL(qPrintable("unknown step " + step));
        }
        QCOMPARE(output.calls.join(", ").remove(".wav"), calls);
        const QStringList names = reported.split(", ", Qt::SkipEmptyParts);
        QCOMPARE(logLines.size(), names.size());
        for (qsizetype i = 0; i < names.size(); ++i)
            QVERIFY2(logLines.at(i).contains(path(names.at(i))), qPrintable(logLines.at(i)));
    }
};

QTEST_GUILESS_MAIN(TestSoundResolution)
#include "test_sound_resolution.moc"
