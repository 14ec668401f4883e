// SPDX-License-Identifier: GPL-3.0-or-later
// The real player against a private PulseAudio server with a null sink, whose
// monitor is recorded and listened to. The player runs in a child process
// (this program again, "--child"), so each run meets the server afresh.
#include "media/ProblemLog.h"
#include "sound/WavSoundPlayer.h"
#include "shell/ExerciseWindows.h"
#include "PulseServer.h"
#include "ProcMemory.h"
#include "WavBytes.h"
#include "WindowWalk.h"

#include <csignal>
#include <functional>
#include <numbers>
#include <unistd.h>

using namespace zampli;

namespace {

constexpr int kRate = 22050;
constexpr int kWindow = kRate / 100; // 10 ms of samples

// A 16-bit sine WAV, with short fades so its edges do not click.
QByteArray sineWav(double hz, double seconds, const test::WavShape &kind = {})
{
    const int frames = int(seconds * kind.rate), fade = int(kind.rate) / 200;
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    for (int i = 0; i < frames; ++i) {
        const double edge = std::min({1.0, double(i) / fade, double(frames - 1 - i) / fade});
        for (int c = 0; c < kind.channels; ++c)
            s << qint16(std::lround(0.5 * edge * 32767 * std::sin(2 * std::numbers::pi * hz * i / kind.rate)));
    }
    return test::wavWith(kind, out);
}

// What a recording holds, in 10 ms windows: the pitch of each loud one from
// its zero crossings; 0 marks a quiet one, -1 a loud one at a sound's edge,
// which the tone only partly fills and whose crossings give no pitch.
using Heard = QList<double>;

// Seconds within 15 % of hz, and the first and last such window (-1: none).
std::tuple<double, qsizetype, qsizetype> tone(const Heard &heard, double hz)
{
    qsizetype count = 0, first = -1, last = -1;
    for (qsizetype i = 0; i < heard.size(); ++i)
        if (std::abs(heard.at(i) - hz) < 0.15 * hz)
            ++count, first = first < 0 ? i : first, last = i;
    return {count / 100.0, first, last};
}

// True when the last `seconds` heard were quiet, after something loud.
bool quietSince(const Heard &heard, double seconds)
{
    const qsizetype quiet = qsizetype(seconds * 100);
    return heard.size() > quiet && heard.count(0.0) < heard.size() &&
           std::all_of(heard.end() - quiet, heard.end(), [](double w) { return w == 0.0; });
}

// How many times a tone near hz began.
int onsets(const Heard &heard, double hz)
{
    int count = 0;
    bool in = false;
    for (const double w : heard) {
        const bool now = std::abs(w - hz) < 0.15 * hz;
        count += now && !in;
        in = now || (in && w != 0.0);
    }
    return count;
}

Heard listen(const QByteArray &pcm)
{
    const auto *at = reinterpret_cast<const qint16 *>(pcm.constData());
    QList<double> raw;
    for (int start = 0; start + kWindow <= pcm.size() / 2; start += kWindow) {
        double energy = 0, crossings = 0;
        for (int i = start; i < start + kWindow; ++i)
            energy += double(at[i]) * at[i], crossings += i > start && (at[i - 1] < 0) != (at[i] < 0);
        raw << (std::sqrt(energy / kWindow) > 1500 ? crossings * 100.0 / 2 : 0.0);
    }
    Heard heard = raw;
    for (qsizetype i = 0; i < raw.size(); ++i)
        heard[i] = raw[i] > 0 && (i == 0 || i == raw.size() - 1 || raw[i - 1] == 0 || raw[i + 1] == 0) ? -1 : raw[i];
    return heard;
}

// Runs the event loop, as the program does, handing each line that comes on
// stdin to `line`, until the input ends.
void eachInputLine(const std::function<void(const QString &)> &line)
{
    QEventLoop loop;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &loop, [&] {
        char chunk[4096];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0) {
            input.setEnabled(false);
            return loop.quit();
        }
        pending.append(chunk, n);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            line(QString::fromUtf8(pending.left(end)));
    });
    loop.exec();
}

// play: plays each path read from its input as it comes (the test sends the
// next once it has heard what it waits for), "mark" takes the resident size;
// at the input's end it says the size then and now, and closes like the
// program does.
int childPlay()
{
    ProblemLog log;
    WavSoundPlayer player(log);
    double marked = 0;
    eachInputLine([&](const QString &said) {
        if (said == "mark")
            marked = proc::rssMb();
        else
            player.play(said);
    });
    std::printf("rss_before_mb=%.1f rss_after_mb=%.1f\n", marked, proc::rssMb());
    return 0;
}

// True once the private server has a stream of this program's: it speaks.
bool streaming()
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {"list", "short", "sink-inputs"});
    return pactl.waitForFinished(5000) && !pactl.readAllStandardOutput().trimmed().isEmpty();
}

// windows <path> <signal> <serverPid> <goOnFile>: opens every exercise
// window from the menu as a child would, sends the audio server the signal
// once the first window is speaking (a negative one: before the program
// starts), then clicks everything clickable in every window and leaves it by
// "Esci", and says how many windows it left and how many clicks it made.
// Then waits for goOnFile, plays <path> and closes like the program does
// once its input ends.
int childWindows(const QStringList &args)
{
    using namespace zampli::test;
    const int signal = args.at(1).toInt();
    const auto signalServer = [&args](int number) { ::kill(pid_t(args.at(2).toInt()), number); };
    if (signal < 0)
        signalServer(-signal);
    ProblemLog soundLog; // its own: the sound thread writes to it
    WavSoundPlayer player(soundLog);
    Harness h(QCoreApplication::applicationDirPath());
    h.sound.onPlay = [&player](const QString &path) { player.play(path); };
    h.boxes.onShow = [&h](const MessageBox &) { h.boxes.answers = {MessageBox::Answer::Yes}; };
    Form *menu = h.windows->form(FormId::Menu);
    menu->Show();
    int left = 0, clicks = 0;
    const auto click = [&clicks](QWidget *w) {
        ++clicks;
        clickAsUser(w);
    };
    for (int i = 0; i < 12; ++i) {
        const QString button = QStringLiteral("Command%1").arg(i < 10 ? 1 + i / 2 + 5 * (i % 2) : i + 1);
        click(menu->window()->findChild<QWidget *>(button));
        if (i == 0 && signal > 0) {
            if (!QTest::qWaitFor(streaming, 20000))
                return 2;
            signalServer(signal);
        }
        Form *form = h.windows->form(kExerciseWindows[i].id);
        for (QWidget *w : clickable(form->window()))
            if (w->isVisible() && w->isEnabled())
                click(w);
        form->window()->findChild<QAction *>("mnuEsci")->trigger();
        QCoreApplication::processEvents();
        left += !form->isLoaded() && menu->window()->isVisible();
    }
    std::printf("windows_left=%d clicks=%d\n", left, clicks);
    std::fflush(stdout);
    if (!QTest::qWaitFor([&args] { return QFile::exists(args.at(3)); }, 20000))
        return 1;
    player.play(args.at(0));
    eachInputLine([](const QString &) {});
    return 0;
}

} // namespace

class TestSoundPulse : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        parec_ = QStandardPaths::findExecutable(QStringLiteral("parec"));
        const QString pactl = QStandardPaths::findExecutable(QStringLiteral("pactl"));
        if (pulseaudio.isEmpty() || parec_.isEmpty() || pactl.isEmpty())
            QSKIP("pulseaudio, parec or pactl is not installed (scripts/install-deps.sh installs them)");
        startServer();
    }

    void cleanupTestCase()
    {
        if (server_.process().state() != QProcess::NotRunning)
            thawServer(), server_.stop();
    }

    void soundsAreHeard_data()
    {
        QTest::addColumn<QStringList>("paths");   // played in turn, each once the one before was heard a while
        QTest::addColumn<QList<double>>("tones"); // pitch and least seconds heard, in the order heard
        QTest::addColumn<double>("mostLoud");     // seconds
        QTest::newRow("heard whole") << QStringList{writeFile("la.wav", sineWav(440, 0.5))}
                                     << QList<double>{440, 0.45} << 0.6;
        // Whole, the first would sound 1.5 s; cut off once heard for 0.3 s (what
        // was on its way still comes) and followed by the whole second.
        QTest::newRow("a new sound cuts the old")
            << QStringList{writeFile("lungo.wav", sineWav(440, 1.5)), writeFile("corto.wav", sineWav(1320, 0.4))}
            << QList<double>{440, 0.1, 1320, 0.35} << 1.2;
        // A missing file plays the alert: 880 Hz for 0.11 s, a pause, 660 Hz for 0.16 s, less unpitched edges.
        QTest::newRow("missing") << QStringList{dir_.filePath("non-esiste.wav")}
                                 << QList<double>{880, 0.05, 660, 0.09} << 0.4;
        // Another rate and two channels reach the server as they are (the
        // samples of every kind a file holds: test_sound_resolution).
        QTest::newRow("96 kHz stereo")
            << QStringList{writeFile("96k.wav", sineWav(330, 0.5, {.channels = 2, .rate = 96000}))}
            << QList<double>{330, 0.45} << 0.6;
    }

    void soundsAreHeard()
    {
        QFETCH(QStringList, paths);
        QFETCH(QList<double>, tones);
        QFETCH(double, mostLoud);
        Recorder recorder(*this);
        QProcess child;
        startChild(child, {"play"});
        for (qsizetype i = 0; i < paths.size(); ++i) {
            tell(child, paths[i].toUtf8() + '\n');
            if (i + 1 < paths.size())
                recorder.waitUntil([hz = tones[2 * i]](const Heard &h) { return std::get<0>(tone(h, hz)) >= 0.3; });
        }
        recorder.waitUntil([hz = tones[tones.size() - 2]](const Heard &h) {
            return std::get<1>(tone(h, hz)) >= 0 && quietSince(h, 0.3);
        });
        child.closeWriteChannel();
        const bool ended = child.waitForFinished(10000);
        const Heard heard = listen(recorder.stop());
        const QByteArray err = child.readAllStandardError();
        QVERIFY2(ended && child.exitCode() == 0, err.constData());

        const QByteArray shown = QDebug::toString(heard).toLocal8Bit();
        for (qsizetype i = 0; i < tones.size(); i += 2) // the one before neither went on nor came back
            QVERIFY2(std::get<0>(tone(heard, tones[i])) >= tones[i + 1] &&
                         (i == 0 || std::get<2>(tone(heard, tones[i - 2])) < std::get<1>(tone(heard, tones[i]))),
                     shown);
        QVERIFY2((heard.size() - heard.count(0.0)) / 100.0 <= mostLoud, shown);
        QVERIFY2(err.count(paths.at(0).toLocal8Bit()) == paths.at(0).endsWith("non-esiste.wav"), err.constData());
    }

    // Four 10-minute voices of CD quality (106 MB each) played in turn, each
    // once the one before is heard: the program keeps what it loads within
    // its 64 MB budget.
    void longVoicesStayWithinTheBudget()
    {
        QStringList paths;
        for (int i = 1; i <= 4; ++i) {
            QFile file(writeFile(QString("lunga%1.wav").arg(i), sineWav(440, 0.1, {.channels = 2, .rate = 44100})));
            // Ten minutes, the rest silence the disk does not keep; the header's
            // sizes to match: 36 + 600 × 44100 × 4, then 600 × 44100 × 4.
            QVERIFY(file.open(QIODevice::ReadWrite) && file.resize(44 + 600LL * 44100 * 4) && file.seek(4)
                    && file.write(QByteArray::fromHex("a4fd4e06")) == 4 && file.seek(40)
                    && file.write(QByteArray::fromHex("80fd4e06")) == 4);
            paths << file.fileName();
        }
        Recorder recorder(*this);
        QProcess child;
        startChild(child, {"play"});
        // The size is taken once the player has spoken and its server's stream is open.
        tell(child, writeFile("la.wav", sineWav(660, 0.3)).toUtf8() + '\n');
        recorder.waitUntil([](const Heard &h) { return std::get<0>(tone(h, 660)) >= 0.2; });
        tell(child, "mark\n");
        for (qsizetype i = 0; i < paths.size(); ++i) {
            tell(child, paths[i].toUtf8() + '\n');
            recorder.waitUntil([i](const Heard &h) { return onsets(h, 440) > i; });
        }
        child.closeWriteChannel();
        const bool ended = child.waitForFinished(30000);
        recorder.stop();
        const QByteArray out = child.readAllStandardOutput(), err = child.readAllStandardError();
        QVERIFY2(ended && child.exitCode() == 0, err.constData());
        double before = 0, after = 0;
        std::sscanf(out.constData(), "rss_before_mb=%lf rss_after_mb=%lf", &before, &after);
        qInfo("resident %.0f MB before, %.0f MB after", before, after);
        QVERIFY2(before > 0 && after - before < 64 + 16, out.constData()); // the budget, and the heap's own slack
        QVERIFY2(err.contains("lunga1.wav: troppo lungo"), err.constData()); // and the adult is told
    }

    // The audio server stops answering, or dies, while a window speaks: every
    // window still answers every click and lets the child out; once the
    // server is back, sound is heard again without starting the program anew.
    void everyWindowGoesOnWithoutTheServer_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("stopped before the start") << -int(SIGSTOP);
        QTest::newRow("stopped") << int(SIGSTOP);
        QTest::newRow("killed") << int(SIGKILL);
    }

    void everyWindowGoesOnWithoutTheServer()
    {
        QFETCH(int, signal);
        const QString goOn = dir_.filePath("avanti");
        QFile::remove(goOn);
        QProcess child;
        startChild(child, {"windows", writeFile("la.wav", sineWav(440, 0.5)), QString::number(signal),
                           QString::number(server_.process().processId()), goOn});
        QByteArray out;
        // It reports within seconds; a click stuck on the server never lets it.
        QTRY_VERIFY2_WITH_TIMEOUT((out += child.readAllStandardOutput()).contains('\n'),
                                  ("no report: a click is stuck. " + child.readAllStandardError()).constData(), 60000);
        long long left = -1, clicks = -1; // how fast each click is, bench_sound_play measures
        std::sscanf(out, "windows_left=%lld clicks=%lld", &left, &clicks);
        QVERIFY2(left == 12 && clicks > 12, out.constData());
        // The server is brought back only now: a click that waited for it, or
        // for the sound thread stuck on it, would never have let the child
        // report. That holds only if it really was down all along.
        if (signal == SIGKILL) {
            QVERIFY(server_.process().state() == QProcess::NotRunning || server_.process().waitForFinished(3000));
            startServer();
        } else {
            const QByteArray status = proc::contents(proc::processFile("status", server_.process().processId()));
            QVERIFY2(status.contains("\nState:\tT"), status.constData()); // stopped by the signal
            thawServer();
        }
        Recorder recorder(*this);
        QFile(goOn).open(QIODevice::WriteOnly);
        recorder.waitUntil([](const Heard &h) { return std::get<1>(tone(h, 440)) >= 0 && quietSince(h, 0.3); });
        child.closeWriteChannel();
        const bool ended = child.waitForFinished(10000);
        const Heard heard = listen(recorder.stop());
        QVERIFY2(ended && child.exitCode() == 0, child.readAllStandardError().constData());
        QVERIFY2(std::get<0>(tone(heard, 440)) >= 0.4, QDebug::toString(heard).toLocal8Bit());
    }

private:
    // Records what the sink plays, from the moment it is made to stop().
    class Recorder {
    public:
        explicit Recorder(const TestSoundPulse &test)
        {
            parec_.setProcessEnvironment(test.clientEnvironment());
            parec_.start(test.parec_, {"-d", "zsink.monitor", "--format=s16le", "--rate=22050", "--channels=1",
                                       "--latency-msec=20"});
            // The monitor of a running null sink streams silence: once some
            // arrives the recorder is listening.
            if (!waitFor([this] { return recorded_.size() > 2 * kWindow; }))
                qFatal("parec records nothing: %s", parec_.readAllStandardError().constData());
        }

        // Records until what was heard so far satisfies `heard`; a minute at
        // most, only so that a fault ends the test, whose checks then say what was heard.
        void waitUntil(const std::function<bool(const Heard &)> &heard)
        {
            waitFor([&] { return heard(listen(recorded_)); });
        }

        QByteArray stop()
        {
            parec_.terminate(), parec_.waitForFinished(3000);
            return recorded_ + parec_.readAllStandardOutput();
        }

    private:
        bool waitFor(const std::function<bool()> &done)
        {
            const QDeadlineTimer guard(60000);
            while (!done() && !guard.hasExpired())
                if (parec_.waitForReadyRead(100))
                    recorded_ += parec_.readAllStandardOutput();
            return done();
        }

        QProcess parec_;
        QByteArray recorded_;
    };

    // Hands the child a line now: nothing else here runs the loop that would write it.
    static void tell(QProcess &child, const QByteArray &line)
    {
        child.write(line);
        QVERIFY(child.waitForBytesWritten());
    }

    // The player again, as a child with the client environment.
    void startChild(QProcess &child, const QStringList &args) const
    {
        child.setProcessEnvironment(clientEnvironment());
        child.start(QCoreApplication::applicationFilePath(), QStringList{"--child"} + args);
        QVERIFY(child.waitForStarted());
    }

    void startServer()
    {
        const QString failure = server_.start();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    QProcessEnvironment clientEnvironment() const { return server_.clientEnvironment(); }

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir_.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

    void thawServer() { ::kill(pid_t(server_.process().processId()), SIGCONT); }

    QTemporaryDir dir_;
    test::PulseServer server_{dir_.path()};
    QString parec_;
};

int main(int argc, char **argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0) {
        QApplication app(argc, argv);
        const QStringList args = app.arguments().mid(3);
        const QString what = app.arguments().at(2);
        return what == "play" ? childPlay() : childWindows(args);
    }
    QCoreApplication app(argc, argv);
    TestSoundPulse test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_sound_pulse.moc"
