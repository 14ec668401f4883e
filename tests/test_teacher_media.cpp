// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's pictures and voices on real files: pictures dropped on a
// word come out as JPEGs of the boxes' proportions, upright and on white;
// sounds of any kind come out as the program's own WAV; and a recording from
// a private PulseAudio whose microphone plays a known tone is trimmed and
// levelled.
#include "MediaActions.h"
#include "VoiceImport.h"
#include "VoiceRecorder.h"
#include "WordsTab.h"
#include "fakes/Fakes.h"

#include <QtTest>
#include <QtWidgets>
#include <numbers>
#include <sndfile.h>

using namespace zampli;
using namespace zampli::teacher;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A JPEG with an EXIF block whose orientation is `orientation` (6: the camera
// was turned a quarter clockwise), put right after the start marker.
QByteArray jpegWithOrientation(const QImage &image, quint16 orientation)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    QByteArray tiff("MM\0\x2A\0\0\0\x08", 8); // big-endian, first directory at 8
    tiff += QByteArray("\0\x01", 2);           // one entry
    tiff += QByteArray("\x01\x12\0\x03\0\0\0\x01", 8) + char(orientation >> 8) + char(orientation & 0xFF) + QByteArray(2, 0);
    tiff += QByteArray(4, 0); // no next directory
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    const quint16 length = quint16(exif.size() + 2);
    return jpeg.left(2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + exif + jpeg.mid(2);
}

// 0.3 s of silence, 0.5 s of 440 Hz at `amplitude`, 0.3 s of silence.
std::vector<float> toneFrames(int rate, int channels, double amplitude)
{
    const int silence = rate * 3 / 10, tone = rate / 2;
    std::vector<float> frames(size_t(2 * silence + tone) * size_t(channels), 0.0f);
    for (int i = 0; i < tone; ++i)
        for (int c = 0; c < channels; ++c)
            frames[size_t(silence + i) * size_t(channels) + size_t(c)] =
                float(amplitude * std::sin(2 * std::numbers::pi * 440 * i / rate));
    return frames;
}

QString writeSound(const QString &path, int format, int rate, int channels)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        qFatal("cannot write %s: %s", qPrintable(path), sf_strerror(nullptr));
    const std::vector<float> frames = toneFrames(rate, channels, 0.05);
    sf_writef_float(file, frames.data(), sf_count_t(frames.size() / size_t(channels)));
    sf_close(file);
    return path;
}

struct Voice {
    QByteArray header; // the first 36 bytes: RIFF, WAVE, fmt
    std::vector<double> samples;
};

Voice readVoice(const QString &path)
{
    const QByteArray bytes = readAll(path);
    Voice v{bytes.left(36), {}};
    const qsizetype data = bytes.indexOf("data");
    for (qsizetype i = data + 8; data >= 0 && i + 1 < bytes.size(); i += 2)
        v.samples.push_back(qint16(quint16(uchar(bytes[i])) | quint16(uchar(bytes[i + 1])) << 8) / 32768.0);
    return v;
}

double rmsDbOf(const std::vector<double> &s)
{
    double sum = 0;
    for (const double x : s)
        sum += x * x;
    return 10 * std::log10(sum / double(s.size()));
}

// Where the sound starts: the first 5 ms whose RMS passes -40 dBFS, in ms.
double onsetMs(const std::vector<double> &s)
{
    const size_t window = 22050 / 200;
    for (size_t start = 0; start + window <= s.size(); start += window) {
        double sum = 0;
        for (size_t i = start; i < start + window; ++i)
            sum += s[i] * s[i];
        if (10 * std::log10(sum / double(window)) > -40)
            return 1000.0 * double(start) / 22050;
    }
    return -1;
}

// "RIFF", any length, "WAVE", a plain PCM fmt chunk: mono, 22050 Hz, 16 bits.
const QByteArray kVoiceFormat = QByteArray::fromHex("10000000" "0100" "0100" "22560000" "44ac0000" "0200" "1000");

} // namespace

class TeacherMediaTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    void drop(WordsTab &tab, int row, const QString &file)
    {
        auto *view = tab.findChild<QTableView *>("elenco");
        const QPoint at = view->visualRect(view->model()->index(row, 1)).center();
        auto *mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &dropped);
        delete mime;
    }

private slots:
    // Each picture is dropped on "ape"; the JPEG made is 805 × 725 (2415 × 2175
    // twips' proportions) with the picture fitted inside on white.
    void picturesDroppedBecomeBoxShapedJpegs_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<QPoint>>("points");
        QTest::addColumn<QList<QColor>>("colors");
        QImage wide(300, 100, QImage::Format_ARGB32); // left transparent, right red
        wide.fill(Qt::transparent);
        for (int y = 0; y < 100; ++y)
            for (int x = 150; x < 300; ++x)
                wide.setPixelColor(x, y, Qt::red);
        wide.save(dir_.filePath("largo.png"));
        // 805 wide, 268 high in the middle: white bands above and below.
        QTest::newRow("PNG") << dir_.filePath("largo.png") << QList<QPoint>{{200, 362}, {600, 362}, {402, 40}, {402, 690}}
                             << QList<QColor>{Qt::white, Qt::red, Qt::white, Qt::white};
        QImage lying(400, 200, QImage::Format_RGB32); // red left half, blue right half
        lying.fill(Qt::red);
        for (int y = 0; y < 200; ++y)
            for (int x = 200; x < 400; ++x)
                lying.setPixelColor(x, y, Qt::blue);
        QFile photo(dir_.filePath("foto.jpg"));
        photo.open(QIODevice::WriteOnly);
        photo.write(jpegWithOrientation(lying, 6));
        photo.close();
        // Turned upright: 362 wide and 725 high, red on top, blue below, white on both sides.
        QTest::newRow("JPEG turned by EXIF") << photo.fileName() << QList<QPoint>{{402, 150}, {402, 580}, {60, 362}, {745, 362}}
                                             << QList<QColor>{Qt::red, Qt::blue, Qt::white, Qt::white};
        QFile svg(dir_.filePath("disegno.svg"));
        svg.open(QIODevice::WriteOnly);
        svg.write("<svg xmlns='http://www.w3.org/2000/svg' width='100' height='200'>"
                  "<rect width='100' height='200' fill='#00ff00'/></svg>");
        svg.close();
        QTest::newRow("SVG") << svg.fileName() << QList<QPoint>{{402, 362}, {402, 10}, {60, 362}}
                             << QList<QColor>{QColor(0, 255, 0), QColor(0, 255, 0), Qt::white};
    }

    void picturesDroppedBecomeBoxShapedJpegs()
    {
        QFETCH(QString, file);
        QFETCH(QList<QPoint>, points);
        QFETCH(QList<QColor>, colors);
        const QString folder = dir_.filePath("copia");
        QDir().mkpath(folder + "/testi");
        QFile list(folder + "/testi/a.txt");
        list.open(QIODevice::WriteOnly);
        list.write("ape\r\n");
        list.close();
        QFile::remove(folder + "/jpg/ape.jpg");
        test::RecordingSoundPlayer player;
        VoiceRecorder recorder;
        TeacherServices services{player, recorder};
        WordsTab tab(services, folder, "a");
        tab.resize(900, 500);
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        drop(tab, 0, file);

        QCOMPARE(readAll(folder + "/jpg/ape.jpg").left(3), QByteArray("\xFF\xD8\xFF"));
        const QImage saved(folder + "/jpg/ape.jpg");
        QCOMPARE(saved.size(), QSize(805, 725));
        for (qsizetype i = 0; i < points.size(); ++i) {
            const QColor got = saved.pixelColor(points[i]), want = colors[i];
            const int off = std::abs(got.red() - want.red()) + std::abs(got.green() - want.green()) + std::abs(got.blue() - want.blue());
            QVERIFY2(off < 40, qPrintable(QStringLiteral("at %1,%2: %3 instead of %4").arg(points[i].x()).arg(points[i].y())
                                              .arg(got.name(), want.name())));
        }
        QCOMPARE(tab.findChild<QTableView *>("elenco")->model()->index(0, 4).data().toString(), QStringLiteral("manca la voce"));
    }

    void soundsOfAnyKindBecomeTheProgramsWav_data()
    {
        QTest::addColumn<QString>("file");
        const int stereo = 2, rate = 44100;
        QTest::newRow("WAV 24 bit stereo") << writeSound(dir_.filePath("v24.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, rate, stereo);
        QTest::newRow("WAV float stereo") << writeSound(dir_.filePath("vf.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, rate, stereo);
        QTest::newRow("FLAC") << writeSound(dir_.filePath("v.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, rate, stereo);
        QTest::newRow("OGG") << writeSound(dir_.filePath("v.ogg"), SF_FORMAT_OGG | SF_FORMAT_VORBIS, rate, stereo);
    }

    void soundsOfAnyKindBecomeTheProgramsWav()
    {
        QFETCH(QString, file);
        const QString target = dir_.filePath("voci/ape.wav");
        QWidget parent;
        QCOMPARE(putVoice(&parent, file, target), QString());
        const Voice v = readVoice(target);
        QCOMPARE(v.header.mid(0, 4), QByteArray("RIFF"));
        QCOMPARE(v.header.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(v.header.mid(16, 20), kVoiceFormat);
        QVERIFY2(std::abs(rmsDbOf(v.samples) + 16) <= 1, qPrintable(QString::number(rmsDbOf(v.samples))));
        QVERIFY2(onsetMs(v.samples) >= 0 && onsetMs(v.samples) <= 50, qPrintable(QString::number(onsetMs(v.samples))));
        // The tone's half second, and little more than the margins.
        QVERIFY2(std::abs(double(v.samples.size()) / 22050 - 0.52) < 0.05, qPrintable(QString::number(v.samples.size())));
    }

    void aFileThatIsNoSoundIsRefusedWithWhatToDo()
    {
        QFile text(dir_.filePath("lista.wav"));
        text.open(QIODevice::WriteOnly);
        text.write("ape\r\nuva\r\n");
        text.close();
        QWidget parent;
        const QString said = putVoice(&parent, text.fileName(), dir_.filePath("voci/uva.wav"));
        QVERIFY2(said.contains("WAV, FLAC o OGG"), qPrintable(said));
        QVERIFY(!QFile::exists(dir_.filePath("voci/uva.wav")));
    }

    // The dialog as the teacher uses it: Registra, the word is said, Ferma, Salva.
    void recordingIsTrimmedAndLevelled()
    {
        const QString pulseaudio = QStandardPaths::findExecutable("pulseaudio");
        if (pulseaudio.isEmpty())
            QSKIP("pulseaudio is not installed (scripts/install-deps.sh --tests installs it)");
        QTemporaryDir serverDir;
        QProcess server;
        const QString fifo = serverDir.filePath("microfono");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", serverDir.path()), env.insert("XDG_RUNTIME_DIR", serverDir.path());
        env.insert("XDG_CONFIG_HOME", serverDir.filePath("config")), env.remove("PULSE_SERVER");
        server.setProcessEnvironment(env);
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(pulseaudio, {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                  "--disable-shm=yes", "-L",
                                  "module-native-protocol-unix auth-anonymous=1 socket=" + serverDir.filePath("native"),
                                  "-L", "module-pipe-source source_name=zmic file=" + fifo + " format=s16le rate=22050 channels=1",
                                  "-L", "module-null-sink sink_name=zsink"});
        if (!server.waitForStarted(5000) || !QTest::qWaitFor([&] { return QFile::exists(serverDir.filePath("native")); }, 10000))
            QSKIP(qPrintable("PulseAudio does not start here: " + server.readAll()));
        qputenv("PULSE_SERVER", ("unix:" + serverDir.filePath("native")).toLocal8Bit());
        qputenv("PULSE_SOURCE", "zmic");
        QFile client(serverDir.filePath("client.conf"));
        client.open(QIODevice::WriteOnly), client.write("autospawn = no\ndefault-source = zmic\n"), client.close();
        qputenv("PULSE_CLIENTCONFIG", client.fileName().toLocal8Bit());

        test::RecordingSoundPlayer player;
        VoiceRecorder recorder;
        recorder.probe();
        QTRY_VERIFY2_WITH_TIMEOUT(recorder.usable(), qPrintable(recorder.reason()), 10000);
        TeacherServices services{player, recorder};
        const QString target = dir_.filePath("registrata/voci/ape.wav");
        QWidget window;
        openRecorder(&window, services, target, "ape", [] {});
        auto *dialog = window.findChild<QDialog *>("registra");
        QVERIFY(dialog);
        const auto button = [dialog](const char *text) {
            for (auto *b : dialog->findChildren<QPushButton *>())
                if (b->text().remove('&').contains(QString::fromUtf8(text)))
                    return b;
            return static_cast<QPushButton *>(nullptr);
        };
        QTest::mouseClick(button("Registra"), Qt::LeftButton);
        QTRY_VERIFY(button("Ferma")->isEnabled());

        // Half a second of silence, the tone, half a second of silence, as the microphone hears them.
        QByteArray heard(22050, 0);
        const std::vector<float> tone = toneFrames(22050, 1, 0.1);
        for (size_t i = size_t(22050 * 3 / 10); i < size_t(22050 * 8 / 10); ++i) {
            const qint16 x = qint16(std::lround(tone[i] * 32767));
            heard += char(x & 0xFF), heard += char((x >> 8) & 0xFF);
        }
        heard += QByteArray(22050, 0);
        QFile pipe(fifo);
        QVERIFY(pipe.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QCOMPARE(pipe.write(heard), heard.size());
        pipe.close();
        QTest::qWait(1800); // the source plays what it was given in real time
        QTest::mouseClick(button("Ferma"), Qt::LeftButton);
        QTRY_VERIFY(button("Salva")->isEnabled());
        QTest::mouseClick(button("Salva"), Qt::LeftButton);

        const Voice v = readVoice(target);
        QCOMPARE(v.header.mid(16, 20), kVoiceFormat);
        QVERIFY2(std::abs(rmsDbOf(v.samples) + 16) <= 1, qPrintable(QString::number(rmsDbOf(v.samples))));
        QVERIFY2(onsetMs(v.samples) >= 0 && onsetMs(v.samples) <= 50, qPrintable(QString::number(onsetMs(v.samples))));
        QVERIFY2(std::abs(double(v.samples.size()) / 22050 - 0.52) < 0.06, qPrintable(QString::number(v.samples.size())));
        server.terminate(), server.waitForFinished(3000);
    }
};

QTEST_MAIN(TeacherMediaTest)
#include "test_teacher_media.moc"
