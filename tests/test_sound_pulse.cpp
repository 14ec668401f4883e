// The real player against a private PulseAudio server with a null sink, whose
// monitor is recorded and listened to. The player runs in a child process
// (this program again, "--child"), so each run meets the server afresh.
#include "media/ProblemLog.h"
#include "media/WavSoundPlayer.h"

#include <QApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <memory>
#include <numbers>

using namespace zampli;

namespace {

constexpr int kRate = 22050;
constexpr int kWindow = kRate / 100; // 10 ms of samples

// A sine WAV, 16-bit mono, with short fades so its edges do not click.
QByteArray sineWav(double hz, double seconds)
{
    const int frames = int(seconds * kRate), fade = kRate / 200;
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("RIFF", 4);
    s << quint32(36 + 2 * frames);
    s.writeRawData("WAVEfmt ", 8);
    s << quint32(16) << quint16(1) << quint16(1) << quint32(kRate) << quint32(2 * kRate) << quint16(2)
      << quint16(16);
    s.writeRawData("data", 4);
    s << quint32(2 * frames);
    for (int i = 0; i < frames; ++i) {
        const double edge = std::min({1.0, double(i) / fade, double(frames - 1 - i) / fade});
        s << qint16(std::lround(0.5 * edge * std::sin(2 * std::numbers::pi * hz * i / kRate) * 32767));
    }
    return out;
}

// What a recording holds, in 10 ms windows: the pitch of each loud one from
// its zero crossings; 0 marks a quiet one, -1 a loud one at a sound's edge,
// which the tone only partly fills and whose crossings give no pitch.
struct Heard {
    QList<double> pitches;

    static bool near(double p, double hz) { return std::abs(p - hz) < 0.15 * hz; }
    double loudSeconds() const { return (pitches.size() - pitches.count(0.0)) / 100.0; }
    double secondsAt(double hz) const
    {
        return std::count_if(pitches.begin(), pitches.end(), [hz](double p) { return near(p, hz); }) / 100.0;
    }
    // The first and last window within 15 % of hz; -1 if none.
    std::pair<qsizetype, qsizetype> span(double hz) const
    {
        qsizetype first = -1, last = -1;
        for (qsizetype i = 0; i < pitches.size(); ++i)
            if (near(pitches.at(i), hz))
                first = first < 0 ? i : first, last = i;
        return {first, last};
    }
    QByteArray describe() const
    {
        QString out;
        for (double p : pitches)
            out += p > 0 ? QString::number(qRound(p)) + ' ' : p < 0 ? QStringLiteral("~ ") : QStringLiteral(". ");
        return QStringLiteral("loud %1 s: %2").arg(loudSeconds()).arg(out.simplified()).toLocal8Bit();
    }
};

Heard listen(const QByteArray &pcm)
{
    const auto at = [&pcm](int i) { return qFromLittleEndian<qint16>(pcm.constData() + 2 * i); };
    QList<double> raw;
    for (int start = 0; start + kWindow <= pcm.size() / 2; start += kWindow) {
        double energy = 0;
        int crossings = 0;
        for (int i = start; i < start + kWindow; ++i) {
            energy += double(at(i)) * at(i);
            crossings += i > start && (at(i - 1) < 0) != (at(i) < 0);
        }
        raw << (std::sqrt(energy / kWindow) > 1500 ? crossings * 100.0 / 2 : 0.0);
    }
    Heard heard{raw};
    for (qsizetype i = 0; i < raw.size(); ++i)
        if (raw[i] > 0 && (i == 0 || i == raw.size() - 1 || raw[i - 1] == 0 || raw[i + 1] == 0))
            heard.pitches[i] = -1;
    // A quiet stretch at either end tells nothing.
    while (!heard.pitches.isEmpty() && heard.pitches.first() == 0)
        heard.pitches.removeFirst();
    while (!heard.pitches.isEmpty() && heard.pitches.last() == 0)
        heard.pitches.removeLast();
    return heard;
}

// ---- the child: the real player in a program of its own -------------------

// play <holdMs> <path> [<delayMs> <path>]: plays, maybe a second sound later,
// keeps running for holdMs, then closes like the program does.
int childPlay(const QStringList &args)
{
    ProblemLog log;
    WavSoundPlayer player(log);
    player.play(args.at(1));
    if (args.size() >= 4)
        QTimer::singleShot(args.at(2).toInt(), [&player, second = args.at(3)] { player.play(second); });
    QTest::qWait(args.at(0).toInt());
    return 0;
}

// frozen <path> [warm]: the audio server stops answering, either before this
// program starts or ("warm") after it has played a sound, when the parent
// sends a line. Reports how the window thread fared, "name=value" a line.
int childFrozen(const QStringList &args)
{
    ProblemLog log;
    QPushButton button(QStringLiteral("Avanti"));
    button.show();
    QElapsedTimer clock;
    qint64 clickedAfter = -1;
    QObject::connect(&button, &QPushButton::clicked, [&] { clickedAfter = clock.elapsed(); });

    auto player = std::make_unique<WavSoundPlayer>(log);
    if (args.size() > 1) {
        player->play(args.at(0));
        QTest::qWait(700);
        std::puts("ready");
        std::fflush(stdout);
        char line[16];
        if (!std::fgets(line, sizeof line, stdin))
            return 3;
    } else {
        QTest::qWait(200); // the sound thread is meeting the server by now
    }
    clock.start();
    player->play(args.at(0));
    QTest::mouseClick(&button, Qt::LeftButton);
    std::printf("click_ms=%lld\n", clickedAfter);

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(10);
    player->play(args.at(0));
    QTest::qWait(300);
    std::printf("ticks_in_300_ms=%d\n", ticks);

    QElapsedTimer closing;
    closing.start();
    player.reset();
    std::printf("destroy_ms=%lld\n", closing.elapsed());
    std::fflush(stdout);
    return 0;
}

int runChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString mode = app.arguments().at(2);
    const QStringList args = app.arguments().mid(3);
    return mode == QLatin1String("play") ? childPlay(args) : mode == QLatin1String("frozen") ? childFrozen(args) : 2;
}

// This program started again as a child, with the client environment.
class Child {
public:
    Child(const QProcessEnvironment &env, const QStringList &args)
    {
        process_.setProcessEnvironment(env);
        process_.start(QCoreApplication::applicationFilePath(), QStringList{"--child"} + args);
    }
    ~Child()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }

    bool waitForLine(const QByteArray &line, int timeoutMs)
    {
        QElapsedTimer waited;
        waited.start();
        while (!out.contains(line + '\n') && waited.elapsed() < timeoutMs) {
            process_.waitForReadyRead(50);
            out += process_.readAllStandardOutput();
        }
        return out.contains(line + '\n');
    }
    void write(const QByteArray &line) { process_.write(line + '\n'); }

    // Empty if the child exited 0 in time, else what went wrong.
    QString finish(int timeoutMs)
    {
        const bool ended = process_.waitForFinished(timeoutMs);
        out += process_.readAllStandardOutput();
        err += process_.readAllStandardError();
        if (!ended)
            return QStringLiteral("the child was still running after %1 ms").arg(timeoutMs);
        if (process_.exitStatus() != QProcess::NormalExit || process_.exitCode() != 0)
            return QStringLiteral("the child ended badly (code %1): %2").arg(process_.exitCode()).arg(QString(err));
        return {};
    }

    // A "name=value" line it printed; -1 if none.
    int value(const QByteArray &name) const
    {
        for (const QByteArray &line : out.split('\n'))
            if (line.startsWith(name + '='))
                return line.mid(name.size() + 1).toInt();
        return -1;
    }

    QByteArray out, err;

private:
    QProcess process_;
};

} // namespace

class TestSoundPulse : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void soundsAreHeard_data();
    void soundsAreHeard();
    void frozenServerFreezesNeitherWindowNorExit_data();
    void frozenServerFreezesNeitherWindowNorExit();

private:
    QProcessEnvironment clientEnvironment() const;
    QString writeFile(const QString &name, const QByteArray &bytes);
    bool serverAnswers();
    void freezeServer(bool frozen) { ::kill(pid_t(server_.processId()), frozen ? SIGSTOP : SIGCONT); }

    QTemporaryDir dir_;
    QProcess server_;
    QString parec_, pactl_;
};

void TestSoundPulse::initTestCase()
{
    const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    parec_ = QStandardPaths::findExecutable(QStringLiteral("parec"));
    pactl_ = QStandardPaths::findExecutable(QStringLiteral("pactl"));
    if (pulseaudio.isEmpty() || parec_.isEmpty() || pactl_.isEmpty())
        QSKIP("pulseaudio, parec or pactl is not installed (scripts/install-deps.sh installs them)");
    QVERIFY(dir_.isValid());

    // A private server: its own home and runtime folder, one socket, a sink
    // that goes nowhere. Run as root it only warns.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir_.path());
    env.insert("XDG_RUNTIME_DIR", dir_.path());
    env.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
    env.remove("PULSE_SERVER");
    server_.setProcessEnvironment(env);
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.start(pulseaudio, {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                               "--use-pid-file=no", "--disable-shm=yes", "-L",
                               "module-native-protocol-unix auth-anonymous=1 socket=" + dir_.filePath("native"),
                               "-L", "module-null-sink sink_name=zsink"});
    QVERIFY2(server_.waitForStarted(5000), qPrintable(server_.errorString()));
    writeFile("client.conf", "autospawn = no\n"); // the clients never start a server of their own
    QElapsedTimer waited;
    waited.start();
    while (!serverAnswers() && waited.elapsed() < 10000 && server_.state() == QProcess::Running)
        QTest::qWait(100);
    QVERIFY2(serverAnswers(), server_.readAll().constData());
}

void TestSoundPulse::cleanupTestCase()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    freezeServer(false);
    server_.terminate();
    if (!server_.waitForFinished(3000))
        server_.kill();
}

QProcessEnvironment TestSoundPulse::clientEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PULSE_SERVER", "unix:" + dir_.filePath("native"));
    env.insert("PULSE_CLIENTCONFIG", dir_.filePath("client.conf"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

QString TestSoundPulse::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(dir_.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

bool TestSoundPulse::serverAnswers()
{
    QProcess pactl;
    pactl.setProcessEnvironment(clientEnvironment());
    pactl.start(pactl_, {"list", "short", "sinks"});
    return pactl.waitForFinished(3000) && pactl.exitCode() == 0 && pactl.readAllStandardOutput().contains("zsink");
}

void TestSoundPulse::soundsAreHeard_data()
{
    QTest::addColumn<QStringList>("args");    // for the child: <holdMs> <path> [<delayMs> <path>]
    QTest::addColumn<QList<double>>("tones"); // pitch and least seconds heard, in the order heard
    QTest::addColumn<double>("mostLoud");     // seconds
    QTest::addColumn<int>("reports");         // of the first file
    // The alert: 880 Hz for 0.11 s, a pause, 660 Hz for 0.16 s, less their
    // faded edges, which carry no pitch.
    const QList<double> alert{880, 0.05, 660, 0.09};
    QTest::newRow("heard whole") << QStringList{"1200", writeFile("la.wav", sineWav(440, 0.5))}
                                 << QList<double>{440, 0.45} << 0.6 << 0;
    // Whole, the first would sound 1.5 s; cut off after about 0.5 s (its start
    // takes a moment) and followed by the whole second, about 0.9 s.
    QTest::newRow("a new sound cuts the old")
        << QStringList{"2200", writeFile("lungo.wav", sineWav(440, 1.5)), "600",
                       writeFile("corto.wav", sineWav(1320, 0.4))}
        << QList<double>{440, 0.1, 1320, 0.35} << 1.2 << 0;
    QTest::newRow("missing file") << QStringList{"1000", dir_.filePath("non-esiste.wav")} << alert << 0.4 << 1;
    QTest::newRow("broken file") << QStringList{"1000", writeFile("rotto.wav", "non sono un suono")} << alert
                                 << 0.4 << 1;
}

void TestSoundPulse::soundsAreHeard()
{
    QFETCH(QStringList, args);
    QFETCH(QList<double>, tones);
    QFETCH(double, mostLoud);
    QFETCH(int, reports);

    QProcess recorder;
    recorder.setProcessEnvironment(clientEnvironment());
    recorder.start(parec_, {"-d", "zsink.monitor", "--format=s16le", "--rate=22050", "--channels=1",
                            "--latency-msec=20"});
    QVERIFY2(recorder.waitForStarted(3000), qPrintable(recorder.errorString()));
    // The monitor of a running null sink streams silence: once some arrives
    // the recorder is listening.
    QByteArray recorded;
    QTRY_VERIFY_WITH_TIMEOUT((recorded += recorder.readAllStandardOutput()).size() > 2 * kWindow, 5000);
    Child child(clientEnvironment(), QStringList{"play"} + args);
    const QString failure = child.finish(10000);
    QTest::qWait(300); // what was played last is still on its way to the sink
    recorder.terminate();
    recorder.waitForFinished(3000);
    recorded += recorder.readAllStandardOutput();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    const Heard heard = listen(recorded);
    for (qsizetype i = 0; i < tones.size(); i += 2) {
        QVERIFY2(heard.secondsAt(tones[i]) >= tones[i + 1], heard.describe());
        if (i > 0) // the one before neither went on nor came back
            QVERIFY2(heard.span(tones[i - 2]).second < heard.span(tones[i]).first, heard.describe());
    }
    QVERIFY2(heard.loudSeconds() <= mostLoud, heard.describe());
    QVERIFY2(child.err.count(args.at(1).toLocal8Bit()) == reports, child.err.constData());
}

void TestSoundPulse::frozenServerFreezesNeitherWindowNorExit_data()
{
    QTest::addColumn<bool>("warm");
    QTest::newRow("frozen before the program starts") << false;
    QTest::newRow("frozen while the program runs") << true;
}

void TestSoundPulse::frozenServerFreezesNeitherWindowNorExit()
{
    QFETCH(bool, warm);
    const QString la = writeFile("la.wav", sineWav(440, 0.5));
    if (!warm)
        freezeServer(true);
    Child child(clientEnvironment(), warm ? QStringList{"frozen", la, "warm"} : QStringList{"frozen", la});
    if (warm) {
        QVERIFY2(child.waitForLine("ready", 10000), child.out.constData());
        freezeServer(true);
        child.write("go");
    }
    const QString failure = child.finish(3000);
    freezeServer(false);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY2(child.value("click_ms") >= 0 && child.value("click_ms") < 100, child.out.constData());
    QVERIFY2(child.value("ticks_in_300_ms") >= 15, child.out.constData()); // the event loop kept running
    // Closing must not hang, and must really have met a stuck sound thread,
    // or this test proved nothing.
    QVERIFY2(child.value("destroy_ms") >= 400 && child.value("destroy_ms") < 1500, child.out.constData());
}

int main(int argc, char **argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    TestSoundPulse test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_sound_pulse.moc"
