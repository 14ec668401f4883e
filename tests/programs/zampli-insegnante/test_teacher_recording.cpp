// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's recording in a real room: a word said over the room's noise
// is cut out close to the word, the noise is raised 6 dB at most, a word that
// hardly stands out from the noise is told, and a take is kept by Enter and
// thrown away only when the teacher says so. First on made-up takes, then
// through the dialog with a private PulseAudio whose microphone is a pipe.
#include "PushButtons.h"
#include "CheckTab.h"
#include "MediaActions.h"
#include "PulseServer.h"
#include "SoundFiles.h"
#include "VoiceClean.h"
#include "VoiceRecorder.h"
#include "fakes/Fakes.h"

#include <QtTest>
#include <QtWidgets>

#include <cmath>
#include <numbers>
#include <random>

using namespace zampli;
using namespace zampli::teacher;

namespace {

constexpr int kRate = 22050;

double dbToAmplitude(double db)
{
    return std::pow(10.0, db / 20);
}

double rmsDbOf(const std::vector<float> &s, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(s[i]) * s[i];
    return 10 * std::log10(sum / double(to - from));
}

// A room: `seconds` of white noise whose RMS is `noiseDb`, and a word: a
// 300 Hz tone whose RMS is `wordDb`, from `wordFrom` for `wordSeconds`.
std::vector<float> roomTake(double seconds, double noiseDb, double wordFrom, double wordSeconds, double wordDb)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    // Uniform noise over -a..a has an RMS of a / sqrt(3).
    const double noise = dbToAmplitude(noiseDb) * std::sqrt(3.0), peak = dbToAmplitude(wordDb) * std::sqrt(2.0);
    std::vector<float> take(size_t(seconds * kRate));
    const size_t from = size_t(wordFrom * kRate), to = from + size_t(wordSeconds * kRate);
    for (size_t i = 0; i < take.size(); ++i) {
        const double word = i >= from && i < to ? peak * std::sin(2 * std::numbers::pi * 300 * double(i - from) / kRate) : 0;
        take[i] = float(noise * uniform(random) + word);
    }
    return take;
}

QByteArray s16(const std::vector<float> &samples)
{
    QByteArray bytes;
    for (const float x : samples) {
        const qint16 v = qint16(std::lround(std::clamp(x, -1.0f, 1.0f) * 32767));
        bytes += char(v & 0xFF), bytes += char((v >> 8) & 0xFF);
    }
    return bytes;
}

std::vector<float> samplesOfWav(const QByteArray &bytes)
{
    std::vector<float> s;
    const qsizetype data = bytes.indexOf("data");
    for (qsizetype i = data + 8; data >= 0 && i + 1 < bytes.size(); i += 2)
        s.push_back(float(qint16(quint16(uchar(bytes[i])) | quint16(uchar(bytes[i + 1])) << 8) / 32768.0));
    return s;
}

// The middle fifth of a kept word: the word alone, away from fades and margins.
double middleDb(const std::vector<float> &s)
{
    return rmsDbOf(s, s.size() * 2 / 5, s.size() * 3 / 5);
}

// The teacher's program's services, its microphone the server's pipe.
struct Microphone {
    test::RecordingSoundPlayer player;
    VoiceRecorder recorder;
    TeacherServices services{player, recorder};

    // False when the microphone is not found.
    bool ready()
    {
        recorder.probe();
        return QTest::qWaitFor([this] { return recorder.usable(); }, 10000);
    }
};

} // namespace

class TeacherRecordingTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    test::PulseServer server_{dir_.path()};
    QString serverFailure_;
    QString fifo_ = dir_.filePath(QStringLiteral("microfono"));

    // The dialog over `window`, a take of `take` said into it and "Ferma" pressed.
    QDialog *recordTake(QWidget &window, TeacherServices &services, const QString &target, const std::vector<float> &take)
    {
        openRecorder(&window, services, target, QStringLiteral("ape"), [] {});
        auto *dialog = window.findChild<QDialog *>(QStringLiteral("registra"));
        return dialog && sayInto(dialog, services, take) ? dialog : nullptr;
    }

    // "Registra" pressed, `take` heard by the microphone, "Ferma" pressed.
    bool sayInto(QDialog *dialog, TeacherServices &services, const std::vector<float> &take)
    {
        // Keys go where the teacher's would: to the dialog's focused button.
        if (!QTest::qWaitForWindowActive(dialog))
            return false;
        QTest::mouseClick(zampli::test::buttonSaying(dialog, "Registra"), Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return services.recorder.recording(); }, 5000))
            return false;
        QFile pipe(fifo_);
        if (!pipe.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || pipe.write(s16(take)) != qint64(take.size()) * 2)
            return false;
        pipe.close();
        // The source plays what it is given in real time; the take is whole once heard.
        if (!QTest::qWaitFor([&] { return services.recorder.heard() >= take.size(); }, 15000))
            return false;
        QTest::mouseClick(zampli::test::buttonSaying(dialog, "Ferma"), Qt::LeftButton);
        return true;
    }

    QString statusOf(QDialog *dialog) const { return dialog->findChild<QLabel *>(QStringLiteral("stato"))->text(); }

    void needServer()
    {
        if (!serverFailure_.isEmpty())
            QSKIP(qPrintable(serverFailure_));
    }

private slots:
    void initTestCase()
    {
        serverFailure_ = server_.start({"module-pipe-source source_name=zmic file=" + fifo_
                                        + " format=s16le rate=22050 channels=1"});
        if (serverFailure_.isEmpty()) {
            server_.serveThisProcess();
            qputenv("PULSE_SOURCE", "zmic");
        }
    }

    // Made-up takes, no sound server.

    void roomNoiseIsMeasuredBeforeTheWord()
    {
        const std::vector<float> take = roomTake(2.0, -45, 0.8, 0.5, -20);
        QVERIFY2(std::abs(roomNoiseDb(take) + 45) < 1.0, qPrintable(QString::number(roomNoiseDb(take))));
    }

    // Noise at -45 dBFS and a word from 0.8 s to 1.3 s at -24 dBFS, 21 dB
    // above it: the word is kept, to 0.15 s, and raised 6 dB, not the 8 that
    // would bring it to the default voices' -16 dBFS.
    void aWordInANoisyRoomIsTrimmedAndTheNoiseRaisedSixDbAtMost()
    {
        const std::vector<float> take = roomTake(2.0, -45, 0.8, 0.5, -24);
        const CleanedVoice cleaned = cleanVoice(take, roomNoiseDb(take));
        const double seconds = double(cleaned.samples.size()) / kRate;
        QVERIFY2(seconds > 0.5 - 0.01 && seconds < 0.5 + 0.3, qPrintable(QString::number(seconds)));
        const double raised = middleDb(cleaned.samples) - rmsDbOf(take, size_t(0.9 * kRate), size_t(1.2 * kRate));
        QVERIFY2(raised > 5.0 && raised <= 6.05, qPrintable(QString::number(raised)));
        QVERIFY(!cleaned.noisy());
    }

    // Noise that stays unheard even 14 dB up does not hold the word back.
    void aWordInASilentRoomIsLevelledInFull()
    {
        const std::vector<float> take = roomTake(2.0, -100, 0.8, 0.5, -30);
        const CleanedVoice cleaned = cleanVoice(take, roomNoiseDb(take));
        QVERIFY2(std::abs(middleDb(cleaned.samples) + 16) < 1.0, qPrintable(QString::number(middleDb(cleaned.samples))));
    }

    void aWordHardlyAboveTheNoiseIsTold_data()
    {
        QTest::addColumn<double>("wordDb");
        QTest::addColumn<bool>("noisy");
        QTest::newRow("15 dB above") << -30.0 << true;
        QTest::newRow("30 dB above") << -15.0 << false;
    }

    void aWordHardlyAboveTheNoiseIsTold()
    {
        QFETCH(double, wordDb);
        QFETCH(bool, noisy);
        const std::vector<float> take = roomTake(2.0, -45, 0.8, 0.5, wordDb);
        const CleanedVoice cleaned = cleanVoice(take, roomNoiseDb(take));
        QVERIFY(!cleaned.samples.empty());
        QCOMPARE(cleaned.noisy(), noisy);
    }

    // A knock after the word is no part of it.
    void aClickApartFromTheWordIsLeftOut()
    {
        std::vector<float> take = roomTake(2.0, -45, 0.6, 0.5, -20);
        for (size_t i = size_t(1.6 * kRate); i < size_t(1.61 * kRate); ++i)
            take[i] += (i % 2 ? 0.5f : -0.5f);
        const CleanedVoice cleaned = cleanVoice(take, roomNoiseDb(take));
        const double kept = double(cleaned.samples.size()) / kRate;
        QVERIFY2(kept > 0.5 - 0.01 && kept < 0.5 + 0.3, qPrintable(QString::number(kept)));
    }

    // Through the dialog, the microphone a pipe.

    void theDialogTrimsARoomsWordAndRaisesItsNoiseSixDbAtMost()
    {
        needServer();
        Microphone microphone;
        QVERIFY2(microphone.ready(), qPrintable(microphone.recorder.reason()));
        TeacherServices &services = microphone.services;
        const QString target = dir_.filePath(QStringLiteral("voci/rumore.wav"));
        QWidget window;
        const std::vector<float> take = roomTake(2.2, -45, 1.0, 0.5, -24);
        QDialog *dialog = recordTake(window, services, target, take);
        QVERIFY(dialog);
        QTRY_VERIFY(zampli::test::buttonSaying(dialog, "Salva")->isEnabled());
        QTest::mouseClick(zampli::test::buttonSaying(dialog, "Salva"), Qt::LeftButton);

        const std::vector<float> saved = samplesOfWav(test::readAll(target));
        const double seconds = double(saved.size()) / kRate;
        QVERIFY2(std::abs(seconds - 0.5) <= 0.15 * 2, qPrintable(QString::number(seconds)));
        QVERIFY2(seconds >= 0.5 - 0.02, qPrintable(QString::number(seconds)));
        const double raised = middleDb(saved) - rmsDbOf(take, size_t(1.1 * kRate), size_t(1.4 * kRate));
        QVERIFY2(raised <= 6.1, qPrintable(QString::number(raised)));
    }

    void theDialogSaysWhenTheRoomIsTooNoisy()
    {
        needServer();
        Microphone microphone;
        QVERIFY2(microphone.ready(), qPrintable(microphone.recorder.reason()));
        TeacherServices &services = microphone.services;
        QWidget window;
        QDialog *dialog = recordTake(window, services, dir_.filePath(QStringLiteral("voci/chiasso.wav")),
                                     roomTake(2.2, -45, 1.0, 0.5, -30));
        QVERIFY(dialog);
        QTRY_VERIFY(statusOf(dialog).startsWith(QStringLiteral("C'è troppo rumore")));
        QVERIFY(zampli::test::buttonSaying(dialog, "Registra di nuovo")->isEnabled());
    }

    void enterKeepsTheTake()
    {
        needServer();
        Microphone microphone;
        QVERIFY2(microphone.ready(), qPrintable(microphone.recorder.reason()));
        TeacherServices &services = microphone.services;
        const QString target = dir_.filePath(QStringLiteral("voci/invio.wav"));
        QWidget window;
        window.show();
        QDialog *dialog = recordTake(window, services, target, roomTake(2.0, -60, 0.8, 0.5, -20));
        QVERIFY(dialog);
        QTRY_VERIFY(zampli::test::buttonSaying(dialog, "Salva")->isEnabled());
        QPointer<QDialog> open(dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(open.isNull());
        QVERIFY(samplesOfWav(test::readAll(target)).size() > size_t(0.5 * kRate));
    }

    void escapeAsksBeforeThrowingTheTakeAway()
    {
        needServer();
        Microphone microphone;
        QVERIFY2(microphone.ready(), qPrintable(microphone.recorder.reason()));
        TeacherServices &services = microphone.services;
        const QString target = dir_.filePath(QStringLiteral("voci/esc.wav"));
        QWidget window;
        window.show();
        QPointer<QDialog> dialog = recordTake(window, services, target, roomTake(2.0, -60, 0.8, 0.5, -20));
        QVERIFY(dialog);
        QTRY_VERIFY(zampli::test::buttonSaying(dialog, "Salva")->isEnabled());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QPointer<QMessageBox> ask;
        QTRY_VERIFY(dialog && (ask = dialog->findChild<QMessageBox *>(QStringLiteral("buttaVia"))) && ask->isVisible());
        QTest::mouseClick(zampli::test::buttonSaying(ask, "Torna alla registrazione"), Qt::LeftButton);
        QTRY_VERIFY(ask.isNull() || !ask->isVisible());
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(zampli::test::buttonSaying(dialog, "Salva")->isEnabled());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(dialog && (ask = dialog->findChild<QMessageBox *>(QStringLiteral("buttaVia"))) && ask->isVisible());
        QTest::mouseClick(zampli::test::buttonSaying(ask, "Butta via"), Qt::LeftButton);
        QTRY_VERIFY(dialog.isNull() || !dialog->isVisible());
        QVERIFY(!QFile::exists(target));
    }

    // Controllo's "Registra" over an empty voice file: the take replaces it and the problem is gone.
    void controlloRecordsOverAnEmptyVoice()
    {
        needServer();
        const QString folder = dir_.filePath(QStringLiteral("copia"));
        QDir().mkpath(folder + "/testi"), QDir().mkpath(folder + "/voci");
        test::writeFile(folder + "/testi/a.txt", "ape\r\n");
        test::writeFile(folder + "/voci/ape.wav", {});
        Microphone microphone;
        QVERIFY2(microphone.ready(), qPrintable(microphone.recorder.reason()));
        TeacherServices &services = microphone.services;
        CheckTab tab(services, folder);
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        tab.runCheck();
        const auto fileLabel = [&tab] {
            for (auto *label : tab.findChildren<QLabel *>(QStringLiteral("file")))
                if (label->text() == QLatin1String("voci/ape.wav") && label->isVisible())
                    return label;
            return static_cast<QLabel *>(nullptr);
        };
        QTRY_VERIFY(fileLabel());
        QPushButton *record = zampli::test::buttonSaying(fileLabel()->parentWidget(), "Registra");
        QVERIFY(record);
        QTest::mouseClick(record, Qt::LeftButton);
        auto *dialog = tab.findChild<QDialog *>(QStringLiteral("registra"));
        QVERIFY(dialog);
        QVERIFY(sayInto(dialog, services, roomTake(2.0, -60, 0.8, 0.5, -20)));
        QTRY_VERIFY(zampli::test::buttonSaying(dialog, "Salva")->isEnabled());
        QTest::mouseClick(zampli::test::buttonSaying(dialog, "Salva"), Qt::LeftButton);
        QVERIFY(samplesOfWav(test::readAll(folder + "/voci/ape.wav")).size() > size_t(0.5 * kRate));
        QTRY_VERIFY(!fileLabel());
    }
};

QTEST_MAIN(TeacherRecordingTest)
#include "test_teacher_recording.moc"
