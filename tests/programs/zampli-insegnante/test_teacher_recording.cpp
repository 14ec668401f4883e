// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's recording window: before anything is recorded it names the
// word, offers nothing to press until a microphone answers, says why there
// is none, and closes without a question. Then recording in a real room,
// through the dialog, its microphone the pipe of a private PulseAudio: a
// word said (by espeak-ng) over pink noise at -25 dBFS, a chair's scrape
// before it and another after, is kept alone, close to the word, its noise
// taken down; a take of the room alone is refused with what to do; a take
// left running ends by itself at ten seconds of sound; Enter keeps a take
// and Escape asks before throwing it away.
#include "CheckRows.h"
#include "FakeServices.h"
#include "PipeMicrophone.h"
#include "PushButtons.h"
#include "SoundFiles.h"
#include "pictures-voices/MediaActions.h"
#include "tabs/check/CheckTab.h"

#include <QtTest>
#include <QtWidgets>

#include <cmath>
#include <numbers>
#include <optional>
#include <random>

using namespace zampli;
using namespace zampli::teacher;

namespace {

constexpr int kRate = 22050;

size_t at(double seconds)
{
    return size_t(std::lround(seconds * kRate));
}

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

std::vector<float> readSound(const QString &path, int *rate = nullptr)
{
    SF_INFO info{};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file || info.channels != 1)
        return {};
    std::vector<float> s(size_t(info.frames));
    sf_readf_float(file, s.data(), info.frames);
    sf_close(file);
    if (rate)
        *rate = info.samplerate;
    return s;
}

// What a tool of the system makes at `path`, read back; empty when it fails.
std::vector<float> made(const QString &program, const QStringList &args, const QString &path)
{
    QProcess tool;
    tool.start(program, args);
    int rate = 0;
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return {};
    std::vector<float> s = readSound(path, &rate);
    return rate == kRate ? s : std::vector<float>();
}

// A word said in Italian, from its first sound to its last (40 dB under its
// loudest sample), its peak at -1 dBFS as a teacher close to the microphone says it.
std::vector<float> spoken(const QString &folder, const QString &word)
{
    const QString path = QDir(folder).filePath(word + ".wav");
    std::vector<float> s = made(QStringLiteral("espeak-ng"), {"-v", "it", "-w", path, word}, path);
    float peak = 0;
    for (const float x : s)
        peak = std::max(peak, std::abs(x));
    if (peak == 0)
        return {};
    const auto sounding = [peak](float x) { return std::abs(x) > peak * 0.01f; };
    const auto first = std::find_if(s.begin(), s.end(), sounding);
    const auto last = std::find_if(s.rbegin(), s.rend(), sounding).base();
    std::vector<float> said(first, last);
    for (float &x : said)
        x *= float(dbToAmplitude(-1) / peak);
    return said;
}

// A room: `seconds` of pink noise (sox's, always the same) whose RMS is `db`.
std::vector<float> pinkRoom(const QString &folder, double seconds, double db)
{
    const QString path = QDir(folder).filePath(QStringLiteral("stanza-%1.wav").arg(seconds));
    std::vector<float> s = made(QStringLiteral("sox"),
                                {"-R", "-n", "-r", QString::number(kRate), "-c", "1", "-b", "16", path, "synth",
                                 QString::number(seconds), "pinknoise"}, path);
    if (s.empty())
        return s;
    const double by = dbToAmplitude(db - rmsDbOf(s, 0, s.size()));
    for (float &x : s)
        x = float(x * by);
    return s;
}

// A chair dragged: 80 ms of loud noise, swelling and dying away, from `from` seconds on.
void scrape(std::vector<float> &room, double from, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    const size_t length = at(0.08);
    for (size_t i = 0; i < length; ++i)
        room[at(from) + i] += float(0.7 * std::sin(std::numbers::pi * double(i) / double(length)) * uniform(random));
}

void say(std::vector<float> &room, const std::vector<float> &word, double from)
{
    for (size_t i = 0; i < word.size() && at(from) + i < room.size(); ++i)
        room[at(from) + i] += word[i];
}

// Where in `take` the saved voice was cut from: the offset that matches it
// best, and how well (1: the same sound).
struct Found {
    size_t offset = 0;
    double match = 0;
};

Found findIn(const std::vector<float> &take, const std::vector<float> &saved)
{
    Found best;
    if (saved.empty() || saved.size() > take.size())
        return best;
    double savedEnergy = 0;
    for (const float x : saved)
        savedEnergy += double(x) * x;
    double most = -1;
    for (size_t offset = 0; offset + saved.size() <= take.size(); ++offset) {
        double sum = 0;
        for (size_t i = 0; i < saved.size(); i += 2)
            sum += double(saved[i]) * take[offset + i];
        if (sum > most)
            most = sum, best.offset = offset;
    }
    double takeEnergy = 0, product = 0;
    for (size_t i = 0; i < saved.size(); ++i)
        takeEnergy += double(take[best.offset + i]) * take[best.offset + i],
            product += double(saved[i]) * take[best.offset + i];
    best.match = product / std::sqrt(savedEnergy * takeEnergy);
    return best;
}

// The teacher's program's services, its microphone the server's pipe.
struct Microphone : test::FakeServices {

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
    std::vector<float> word_; // «elefante», said
    std::vector<float> room_; // 4.2 s of pink noise at -25 dBFS

    QDialog *openDialog(QWidget &window, TeacherServices &services, const QString &target)
    {
        openRecorder(&window, services, target, QStringLiteral("elefante"), [] {});
        auto *dialog = window.findChild<QDialog *>(QStringLiteral("registra"));
        // Keys go where the teacher's would: to the dialog's focused button.
        return dialog && QTest::qWaitForWindowActive(dialog) ? dialog : nullptr;
    }

    QDialog *recordTake(QWidget &window, TeacherServices &services, const QString &target, const std::vector<float> &take)
    {
        QDialog *dialog = openDialog(window, services, target);
        return dialog && test::sayInto(dialog, services.recorder, fifo_, take) ? dialog : nullptr;
    }

    static QString statusOf(QDialog *dialog) { return dialog->findChild<QLabel *>(QStringLiteral("stato"))->text(); }

    std::optional<Microphone> heard_; // the pipe's microphone, found, for the tests that speak

private slots:
    void initTestCase()
    {
        serverFailure_ = test::startPipeMicrophone(server_, fifo_);
        word_ = spoken(dir_.path(), QStringLiteral("elefante"));
        room_ = pinkRoom(dir_.path(), 4.2, -25);
    }

    // A skip or a failure here, unlike in a helper, ends the test before it speaks.
    void init()
    {
        heard_.reset();
        if (QByteArray(QTest::currentTestFunction()) == "theWindowNamesTheWordAndSaysWhenThereIsNoMicrophone")
            return;
        if (!serverFailure_.isEmpty())
            QSKIP(qPrintable(serverFailure_));
        QVERIFY2(!word_.empty() && !room_.empty(), "espeak-ng or sox did not make the word or the room");
        heard_.emplace();
        QVERIFY2(heard_->ready(), qPrintable(heard_->recorder.reason()));
    }

    // Before anything is recorded the window names the word and, until a
    // microphone answers, offers nothing to record, hear or save; without a
    // sound server it says so. Escape then closes it at once: there is
    // nothing to throw away.
    void theWindowNamesTheWordAndSaysWhenThereIsNoMicrophone()
    {
        const QByteArray served = qgetenv("PULSE_SERVER");
        qputenv("PULSE_SERVER", QFile::encodeName("unix:" + dir_.filePath(QStringLiteral("nessun-server"))));
        auto serveAgain = qScopeGuard([&served] {
            if (served.isNull())
                qunsetenv("PULSE_SERVER");
            else
                qputenv("PULSE_SERVER", served);
        });
        Microphone none;
        QWidget window;
        const QString target = dir_.filePath(QStringLiteral("voci/prima.wav"));
        QPointer<QDialog> dialog = openDialog(window, none.services, target);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Registra la voce: elefante"));
        bool told = false;
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            told = told || label->text().contains(QStringLiteral("di' «elefante» con calma"));
        QVERIFY(told);
        QCOMPARE(statusOf(dialog), QStringLiteral("Cerco il microfono…"));
        for (const char *button : {"Registra", "Ferma", "Ascolta", "Salva"})
            QVERIFY2(!test::buttonSaying(dialog, button)->isEnabled(), button);
        none.recorder.probe();
        QTRY_COMPARE(statusOf(dialog), QStringLiteral("Non si può registrare: il server dei suoni del desktop "
                                                      "(PulseAudio o PipeWire) non risponde. Puoi sempre importare "
                                                      "una voce registrata con un altro programma."));
        QVERIFY(!test::buttonSaying(dialog, "Registra")->isEnabled());
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog.data(), Qt::Key_Escape);
        QTRY_VERIFY(!dialog || !dialog->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!QFileInfo::exists(target));
    }

    // Room noise, a scrape at 1.2 s, the word from 2.0 s, a scrape at 3.3 s.
    void theWordIsKeptAloneAndItsNoiseTakenDown()
    {
        TeacherServices &services = heard_->services;
        const QString target = dir_.filePath(QStringLiteral("voci/elefante.wav"));
        std::vector<float> take = room_;
        scrape(take, 1.2, 1), scrape(take, 3.3, 2);
        say(take, word_, 2.0);
        const double wordFrom = 2.0, wordTo = 2.0 + double(word_.size()) / kRate;
        QVERIFY2(wordTo > 2.3 && wordTo < 3.1, qPrintable(QString::number(wordTo)));

        QWidget window;
        QDialog *dialog = openDialog(window, services, target);
        QVERIFY(dialog);
        QVERIFY(test::startTake(dialog, services.recorder));
        auto *meter = dialog->findChild<QProgressBar *>();
        QVERIFY(meter && meter->isVisible());
        {
            test::Mouth mouth(fifo_, take);
            // The meter follows what the microphone hears: the room's peaks
            // (near -12 dBFS on its -60..0 scale), then the louder scrape and word.
            QTRY_VERIFY_WITH_TIMEOUT(meter->value() > 0 && meter->value() < meter->maximum() - 8, 10000);
            QTRY_VERIFY_WITH_TIMEOUT(meter->value() >= meter->maximum() - 5, 10000);
            QTRY_VERIFY_WITH_TIMEOUT(services.recorder.heard() >= take.size(), 30000);
            QVERIFY(mouth.finished());
        }
        QTest::mouseClick(test::buttonSaying(dialog, "Ferma"), Qt::LeftButton);
        QTRY_VERIFY(test::buttonSaying(dialog, "Salva")->isEnabled());
        QVERIFY2(statusOf(dialog).startsWith(QStringLiteral("Registrata")), qPrintable(statusOf(dialog)));
        QTest::mouseClick(test::buttonSaying(dialog, "Salva"), Qt::LeftButton);

        const std::vector<float> saved = readSound(target);
        const Found found = findIn(take, saved);
        QVERIFY2(found.match > 0.7, qPrintable(QString::number(found.match)));
        const double from = double(found.offset) / kRate, to = from + double(saved.size()) / kRate;
        const QString kept = QStringLiteral("kept %1 s to %2 s").arg(from).arg(to);
        // Close to the word on both sides: the scrapes, at 1.2 s and 3.3 s, are gone.
        QVERIFY2(from <= wordFrom && from >= wordFrom - 0.15, qPrintable(kept));
        QVERIFY2(to >= wordTo && to <= wordTo + 0.15, qPrintable(kept));
        // The noise before the word, against the word, as recorded and as saved.
        const size_t margin = at(wordFrom) - found.offset, fadeIn = at(0.01);
        QVERIFY2(margin > fadeIn + at(0.02), qPrintable(kept));
        const size_t wordLength = word_.size() - at(0.1);
        const double recorded = rmsDbOf(take, found.offset + fadeIn, at(wordFrom)) - rmsDbOf(take, at(wordFrom), at(wordFrom) + wordLength);
        const double left = rmsDbOf(saved, fadeIn, margin) - rmsDbOf(saved, margin, margin + wordLength);
        QVERIFY2(recorded - left >= 10, qPrintable(QStringLiteral("noise to word: %1 dB recorded, %2 dB saved").arg(recorded).arg(left)));
        // Levelled as the default voices are, not over them.
        QVERIFY2(rmsDbOf(saved, 0, saved.size()) <= -15 && rmsDbOf(saved, 0, saved.size()) > -25,
                 qPrintable(QString::number(rmsDbOf(saved, 0, saved.size()))));
    }

    // A take of the room alone is refused with what to do; a word said in a
    // second take can be kept, and Escape then asks before throwing it away.
    void aTakeOfTheRoomAloneIsRefusedAndEscapeAsksFirst()
    {
        TeacherServices &services = heard_->services;
        const QString target = dir_.filePath(QStringLiteral("voci/stanza.wav"));
        QWidget window;
        window.show();
        QPointer<QDialog> dialog = recordTake(window, services, target, room_);
        QVERIFY(dialog);
        QTRY_VERIFY(test::buttonSaying(dialog, "Registra di nuovo")->isEnabled());
        QCOMPARE(statusOf(dialog), QStringLiteral("Non sento nessuna voce: avvicinati al microfono e riprova, in un "
                                                  "momento di silenzio. Premi «Registra di nuovo», aspetta «Parla ora» "
                                                  "e di' «elefante»; se non cambia niente, controlla che il microfono "
                                                  "sia acceso."));
        QVERIFY(!test::buttonSaying(dialog, "Salva")->isEnabled());
        QVERIFY(!test::buttonSaying(dialog, "Ascolta")->isEnabled());
        QCOMPARE(QApplication::focusWidget(), test::buttonSaying(dialog, "Registra di nuovo"));
        QVERIFY(!QFile::exists(target));

        QVERIFY(test::sayInto(dialog, services.recorder, fifo_, test::quietTake()));
        QTRY_VERIFY(test::buttonSaying(dialog, "Salva")->isEnabled());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QPointer<QMessageBox> ask;
        QTRY_VERIFY(dialog && (ask = dialog->findChild<QMessageBox *>(QStringLiteral("buttaVia"))) && ask->isVisible());
        QTest::mouseClick(test::buttonSaying(ask, "Torna alla registrazione"), Qt::LeftButton);
        QTRY_VERIFY(ask.isNull() || !ask->isVisible());
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(test::buttonSaying(dialog, "Salva")->isEnabled());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(dialog && (ask = dialog->findChild<QMessageBox *>(QStringLiteral("buttaVia"))) && ask->isVisible());
        QTest::mouseClick(test::buttonSaying(ask, "Butta via"), Qt::LeftButton);
        QTRY_VERIFY(dialog.isNull() || !dialog->isVisible());
        QVERIFY(!QFile::exists(target));
    }

    // 11 s of the room, the word from 9.6 s: ten seconds of it are heard,
    // the word cut where the take ends, and "Ferma" is never pressed.
    void aTakeEndsByItselfAtTenSeconds()
    {
        TeacherServices &services = heard_->services;
        const QString target = dir_.filePath(QStringLiteral("voci/lunga.wav"));
        std::vector<float> take = pinkRoom(dir_.path(), 11, -25);
        QVERIFY(!take.empty());
        say(take, word_, 9.6);
        QWidget window;
        QDialog *dialog = openDialog(window, services, target);
        QVERIFY(dialog);
        QVERIFY(test::startTake(dialog, services.recorder));
        {
            test::Mouth mouth(fifo_, take);
            QTRY_VERIFY_WITH_TIMEOUT(!test::buttonSaying(dialog, "Ferma")->isEnabled(), 20000);
            QVERIFY(!services.recorder.recording());
            QVERIFY2(statusOf(dialog).startsWith(QStringLiteral("La registrazione si è fermata da sola dopo 10 secondi.")),
                     qPrintable(statusOf(dialog)));
            QVERIFY(mouth.finished());
        }
        QTRY_VERIFY(test::buttonSaying(dialog, "Salva")->isEnabled());
        QTest::mouseClick(test::buttonSaying(dialog, "Salva"), Qt::LeftButton);
        const std::vector<float> saved = readSound(target);
        const Found found = findIn(take, saved);
        QVERIFY2(found.match > 0.7, qPrintable(QString::number(found.match)));
        const double from = double(found.offset) / kRate, to = from + double(saved.size()) / kRate;
        QVERIFY2(from <= 9.6 && from >= 9.6 - 0.15, qPrintable(QString::number(from)));
        QVERIFY2(std::abs(to - 10.0) <= 0.03, qPrintable(QString::number(to)));
    }

    // Controllo's "Registra" over an empty voice file: Enter keeps the take,
    // which replaces the file, and the problem is gone.
    void controlloRecordsOverAnEmptyVoice()
    {
        const QString folder = dir_.filePath(QStringLiteral("copia"));
        QDir().mkpath(folder + "/testi"), QDir().mkpath(folder + "/voci");
        test::writeFile(folder + "/testi/a.txt", "ape\r\n");
        test::writeFile(folder + "/voci/ape.wav", {});
        TeacherServices &services = heard_->services;
        CheckTab tab(services, folder);
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        tab.runCheck();
        QTRY_VERIFY(test::checkRow(tab, "voci/ape.wav").what);
        QPushButton *record = test::checkRow(tab, "voci/ape.wav").buttons.value(0);
        QVERIFY(record && record->text().startsWith(QStringLiteral("Registra")));
        QVERIFY(test::reachable(record));
        QTest::mouseClick(record, Qt::LeftButton);
        auto *dialog = tab.findChild<QDialog *>(QStringLiteral("registra"));
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Registra la voce: ape"));
        QVERIFY(test::sayInto(dialog, services.recorder, fifo_, test::quietTake()));
        QTRY_VERIFY(test::buttonSaying(dialog, "Salva")->isEnabled());
        QPointer<QDialog> open(dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(open.isNull());
        QVERIFY(readSound(folder + "/voci/ape.wav").size() > size_t(0.5 * kRate));
        QTRY_VERIFY(!test::checkRow(tab, "voci/ape.wav").what);
    }
};

QTEST_MAIN(TeacherRecordingTest)
#include "test_teacher_recording.moc"
