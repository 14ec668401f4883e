// What the sound player decides to play, seen through a recording output:
// no audio device is touched.
#include "media/ProblemLog.h"
#include "sound/SoundRouter.h"
#include "sound/SoundWav.h"

#include <QDataStream>
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
    void load(const QUrl &source) override { calls << "load " + name(source); }
    void start(const QUrl &source) override { calls << "start " + name(source); }
    void stop(const QUrl &source) override { calls << "stop " + name(source); }
    static QString name(const QUrl &s) { return s == SoundRouter::builtInDefault() ? "default" : s.fileName(); }
};

struct WavShape {
    quint16 tag = 1, channels = 1, bits = 16; // tag 1: plain PCM
    int frames = 2205;
};

QByteArray chunk(const char *id, const QByteArray &body)
{
    QByteArray out(id, 4);
    out.resize(8);
    qToLittleEndian(quint32(body.size()), out.data() + 4);
    return out + body + (body.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}

QByteArray fmtBody(const WavShape &s)
{
    QByteArray fmt;
    QDataStream out(&fmt, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint16 blockAlign = quint16(s.channels * s.bits / 8);
    out << s.tag << s.channels << quint32(22050) << quint32(22050u * blockAlign) << blockAlign << s.bits;
    return fmt;
}

QByteArray riff(const QByteArray &chunks) { return chunk("RIFF", "WAVE" + chunks); }
QByteArray samplesOf(const WavShape &s) { return QByteArray(s.frames * s.channels * s.bits / 8, '\x10'); }
QByteArray wav(const WavShape &s) { return riff(chunk("fmt ", fmtBody(s)) + chunk("data", samplesOf(s))); }

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
    // Every file: whether it is refused, and if not, what is read from it.
    void wavFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("samples"); // null: refused
        QTest::addColumn<int>("sampleFormat");
        QTest::addColumn<int>("channels");
        const auto row = [](const char *name, const QByteArray &bytes, const QByteArray &samples = {},
                            WavFormat::Sample format = {}, int channels = 0) {
            QTest::newRow(name) << bytes << samples << int(format) << channels;
        };
        const QByteArray few("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
        row("16 bit mono", wav({}), samplesOf({}), WavFormat::Sample::Int16, 1);
        row("8 bit", wav({.bits = 8}), samplesOf({.bits = 8}), WavFormat::Sample::UInt8, 1);
        row("stereo", wav({.channels = 2}), samplesOf({.channels = 2}), WavFormat::Sample::Int16, 2);
        row("odd chunk before fmt",
             riff(chunk("LIST", "abc") + chunk("fmt ", fmtBody({.channels = 2, .bits = 8})) + chunk("data", few)), few,
             WavFormat::Sample::UInt8, 2);
        // A recording cut short: the data chunk promises more than is there.
        row("cut in a frame", wav({.frames = 1000}).left(44 + 501), QByteArray(500, '\x10'), WavFormat::Sample::Int16, 1);

        const QByteArray plain = wav({});
        row("text", "ciao, non sono un suono\n");
        row("cut in the fmt chunk", plain.left(30));
        row("header without audio", plain.left(44));
        row("not WAVE", QByteArray(plain).replace(8, 4, "AVI "));
        row("float", wav({.tag = 3, .bits = 32}));
        row("extensible", wav({.tag = 0xFFFE}));
        row("24 bit", wav({.bits = 24}));
        row("no channels", wav({.channels = 0}));
        row("data before fmt", riff(chunk("data", few) + chunk("fmt ", fmtBody({}))));
        row("empty data", wav({.frames = 0}));
        row("no data chunk", riff(chunk("fmt ", fmtBody({})) + chunk("LIST", "abcd")));
    }

    void wavFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, samples);
        QFETCH(int, sampleFormat);
        QFETCH(int, channels);
        QTemporaryDir dir;
        const QString path = write(dir.filePath("prova.wav"), bytes);
        QCOMPARE(isPlayableWav(path), !samples.isNull());
        const auto sound = loadWav(path);
        QCOMPARE(sound.has_value(), !samples.isNull());
        if (sound) {
            QCOMPARE(sound->samples, samples);
            QCOMPARE(int(sound->format.sample), sampleFormat);
            QCOMPARE(sound->format.channels, channels);
        }
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
        SoundRouter router(output, [&log](const QString &path) { log.missingFile(path); });
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
