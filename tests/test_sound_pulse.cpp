// The real player against a real PulseAudio server with a null sink: what
// reaches the sink is recorded from its monitor and listened to. The player
// itself runs in a child process (this program started again with
// "--child"), so each run meets the audio server afresh with its environment
// set before Qt Multimedia starts.
#include "media/ProblemLog.h"
#include "media/WavSoundPlayer.h"

#include <QApplication>
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
#include <cstring>
#include <memory>
#include <numbers>

using namespace zampli;

namespace {

constexpr int kRate = 22050;
constexpr int kWindow = kRate / 100; // 10 ms of samples
constexpr qint16 kLoudRms = 1500;

// A sine WAV, 16-bit mono, with short fades so its edges do not click.
QByteArray sineWav(double hz, double seconds)
{
    const int frames = int(seconds * kRate);
    const int fade = kRate / 200;
    QByteArray pcm(frames * 2, Qt::Uninitialized);
    for (int i = 0; i < frames; ++i) {
        const double edge = std::min({1.0, double(i) / fade, double(frames - 1 - i) / fade});
        const double v = 0.5 * edge * std::sin(2 * std::numbers::pi * hz * i / kRate);
        qToLittleEndian(qint16(std::lround(v * 32767)), pcm.data() + 2 * i);
    }
    QByteArray out(44, '\0');
    char *h = out.data();
    memcpy(h, "RIFF", 4);
    qToLittleEndian(quint32(36 + pcm.size()), h + 4);
    memcpy(h + 8, "WAVEfmt ", 8);
    qToLittleEndian(quint32(16), h + 16);
    qToLittleEndian(quint16(1), h + 20); // PCM
    qToLittleEndian(quint16(1), h + 22); // mono
    qToLittleEndian(quint32(kRate), h + 24);
    qToLittleEndian(quint32(kRate * 2), h + 28);
    qToLittleEndian(quint16(2), h + 32);
    qToLittleEndian(quint16(16), h + 34);
    memcpy(h + 36, "data", 4);
    qToLittleEndian(quint32(pcm.size()), h + 40);
    return out + pcm;
}

// What a recording holds, in 10 ms windows: which were loud, and the pitch
// of each loud one, from its zero crossings.
struct Heard {
    // Hz per loud window, in order; 0 marks a quiet one, -1 a loud one at the
    // edge of a sound, which the tone only partly fills and whose count of
    // zero crossings gives no pitch.
    QList<double> pitches;

    double loudSeconds() const { return (pitches.size() - pitches.count(0.0)) / 100.0; }

    // Seconds of sound whose pitch lies within 15 % of hz.
    double secondsAt(double hz) const
    {
        return std::count_if(pitches.begin(), pitches.end(),
                             [hz](double p) { return std::abs(p - hz) < 0.15 * hz; })
            / 100.0;
    }

    // Index of the first / last window within 15 % of hz; -1 if none.
    qsizetype firstAt(double hz) const
    {
        const auto it = std::find_if(pitches.begin(), pitches.end(),
                                     [hz](double p) { return std::abs(p - hz) < 0.15 * hz; });
        return it == pitches.end() ? -1 : it - pitches.begin();
    }

    qsizetype lastAt(double hz) const
    {
        for (qsizetype i = pitches.size() - 1; i >= 0; --i)
            if (std::abs(pitches.at(i) - hz) < 0.15 * hz)
                return i;
        return -1;
    }

    QString describe() const
    {
        QString out;
        for (double p : pitches)
            out += p > 0 ? QString::number(qRound(p)) + ' ' : p < 0 ? QStringLiteral("~ ") : QStringLiteral(". ");
        return QStringLiteral("loud %1 s: %2").arg(loudSeconds()).arg(out.simplified());
    }
};

Heard listen(const QByteArray &pcm)
{
    Heard heard;
    const int samples = int(pcm.size() / 2);
    const auto at = [&pcm](int i) { return qFromLittleEndian<qint16>(pcm.constData() + 2 * i); };
    for (int start = 0; start + kWindow <= samples; start += kWindow) {
        double energy = 0;
        int crossings = 0;
        for (int i = start; i < start + kWindow; ++i) {
            energy += double(at(i)) * at(i);
            if (i > start && (at(i - 1) < 0) != (at(i) < 0))
                ++crossings;
        }
        const bool loud = std::sqrt(energy / kWindow) > kLoudRms;
        heard.pitches << (loud ? crossings * 100.0 / 2 : 0.0);
    }
    const QList<double> raw = heard.pitches;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const bool edge = i == 0 || i == raw.size() - 1 || raw[i - 1] == 0 || raw[i + 1] == 0;
        if (raw[i] > 0 && edge)
            heard.pitches[i] = -1;
    }
    // A quiet stretch at either end tells nothing.
    while (!heard.pitches.isEmpty() && heard.pitches.first() == 0)
        heard.pitches.removeFirst();
    while (!heard.pitches.isEmpty() && heard.pitches.last() == 0)
        heard.pitches.removeLast();
    return heard;
}

// ---- the child: the real player in a program of its own -------------------

// play <holdMs> <path> [<delayMs> <path>]: plays, maybe plays a second sound
// later, keeps running for holdMs, then closes like the program does.
int childPlay(const QStringList &args)
{
    ProblemLog log;
    WavSoundPlayer player(log);
    player.play(args.at(1));
    if (args.size() >= 4) {
        const QString second = args.at(3);
        QTimer::singleShot(args.at(2).toInt(), [&player, second] { player.play(second); });
    }
    QTest::qWait(args.at(0).toInt());
    return 0;
}

// frozen <path> [warm]: the audio server stops answering, either before this
// program starts or ("warm") after it has played a sound, when the parent
// sends a line on standard input. Reports how the window thread fared, one
// "name=value" a line, then closes like the program does.
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
    QStringList args = app.arguments().mid(3);
    const QString mode = app.arguments().at(2);
    if (mode == QLatin1String("play"))
        return childPlay(args);
    if (mode == QLatin1String("frozen"))
        return childFrozen(args);
    return 2;
}

} // namespace

// ---- the parent: server, recorder and checks ------------------------------

namespace {

// This program started again as a child, with the client environment.
class Child {
public:
    explicit Child(const QProcessEnvironment &env) { process_.setProcessEnvironment(env); }
    ~Child()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }

    void start(const QStringList &args)
    {
        clock_.start();
        process_.start(QCoreApplication::applicationFilePath(), QStringList{"--child"} + args);
    }

    // Waits until the child prints line; false if it ends or takes too long.
    bool waitForLine(const QByteArray &line, int timeoutMs)
    {
        QElapsedTimer waited;
        waited.start();
        while (!out_.contains(line + '\n') && waited.elapsed() < timeoutMs) {
            process_.waitForReadyRead(50);
            out_ += process_.readAllStandardOutput();
        }
        return out_.contains(line + '\n');
    }

    void write(const QByteArray &line) { process_.write(line + '\n'); }

    // Waits for the end; an empty string if the child exited 0 in time, else
    // what went wrong.
    QString finish(int timeoutMs)
    {
        const bool ended = process_.waitForFinished(timeoutMs);
        out_ += process_.readAllStandardOutput();
        err_ += process_.readAllStandardError();
        if (!ended)
            return QStringLiteral("the child was still running after %1 ms").arg(timeoutMs);
        if (process_.exitStatus() != QProcess::NormalExit || process_.exitCode() != 0)
            return QStringLiteral("the child ended badly (code %1) after %2 ms: %3")
                .arg(process_.exitCode())
                .arg(clock_.elapsed())
                .arg(QString::fromLocal8Bit(err_));
        return {};
    }

    const QByteArray &out() const { return out_; }
    const QByteArray &err() const { return err_; }

    // The "name=value" lines it printed.
    QMap<QByteArray, int> report() const
    {
        QMap<QByteArray, int> values;
        for (const QByteArray &line : out_.split('\n')) {
            const QList<QByteArray> kv = line.split('=');
            if (kv.size() == 2)
                values.insert(kv.at(0), kv.at(1).toInt());
        }
        return values;
    }

private:
    QProcess process_;
    QElapsedTimer clock_;
    QByteArray out_;
    QByteArray err_;
};

} // namespace

// What the sink heard while a child played, and how the child ended.
struct Played {
    QString failure; // empty when the child exited 0 in time
    QByteArray errors;
    Heard heard;
};

class TestSoundPulse : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void playedWavIsHeard();
    void secondSoundCutsOffTheFirst();
    void missingFileSoundsTheDefault();
    void frozenServerFreezesNeitherWindowNorExit_data();
    void frozenServerFreezesNeitherWindowNorExit();

private:
    QProcessEnvironment clientEnvironment() const;
    QString writeWav(const QString &name, double hz, double seconds);
    bool serverAnswers();
    void startRecording();
    Heard stopRecording();
    Played playWhileRecording(const QStringList &args);
    void freezeServer(bool frozen);

    QTemporaryDir dir_;
    QProcess server_;
    QProcess recorder_;
    QString parec_;
    QString pactl_;
    QByteArray recorded_;
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
    server_.start(pulseaudio,
                  {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                   "--use-pid-file=no", "--disable-shm=yes",
                   "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + dir_.filePath("native"),
                   "-L", "module-null-sink sink_name=zsink"});
    QVERIFY2(server_.waitForStarted(5000), qPrintable(server_.errorString()));

    // The clients never start a server of their own.
    QFile clientConf(dir_.filePath("client.conf"));
    QVERIFY(clientConf.open(QIODevice::WriteOnly));
    clientConf.write("autospawn = no\n");
    clientConf.close();

    QElapsedTimer waited;
    waited.start();
    while (!serverAnswers() && waited.elapsed() < 10000 && server_.state() == QProcess::Running)
        QTest::qWait(100);
    QVERIFY2(serverAnswers(), server_.readAll().constData());
}

void TestSoundPulse::cleanupTestCase()
{
    if (recorder_.state() != QProcess::NotRunning) {
        recorder_.kill();
        recorder_.waitForFinished(2000);
    }
    if (server_.state() == QProcess::NotRunning)
        return;
    freezeServer(false);
    server_.terminate();
    if (!server_.waitForFinished(3000)) {
        server_.kill();
        server_.waitForFinished(2000);
    }
}

QProcessEnvironment TestSoundPulse::clientEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PULSE_SERVER", "unix:" + dir_.filePath("native"));
    env.insert("PULSE_CLIENTCONFIG", dir_.filePath("client.conf"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

QString TestSoundPulse::writeWav(const QString &name, double hz, double seconds)
{
    const QString path = dir_.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(sineWav(hz, seconds));
    return path;
}

bool TestSoundPulse::serverAnswers()
{
    QProcess pactl;
    pactl.setProcessEnvironment(clientEnvironment());
    pactl.start(pactl_, {"list", "short", "sinks"});
    return pactl.waitForFinished(3000) && pactl.exitCode() == 0
        && pactl.readAllStandardOutput().contains("zsink");
}

void TestSoundPulse::freezeServer(bool frozen)
{
    ::kill(pid_t(server_.processId()), frozen ? SIGSTOP : SIGCONT);
}

void TestSoundPulse::startRecording()
{
    recorded_.clear();
    recorder_.setProcessEnvironment(clientEnvironment());
    recorder_.start(parec_, {"-d", "zsink.monitor", "--format=s16le", "--rate=22050",
                             "--channels=1", "--latency-msec=20"});
    QVERIFY2(recorder_.waitForStarted(3000), qPrintable(recorder_.errorString()));
    // The monitor of a running null sink streams silence: once some arrives
    // the recorder is listening.
    QTRY_VERIFY_WITH_TIMEOUT((recorded_ += recorder_.readAllStandardOutput()).size() > 2 * kWindow,
                             5000);
}

Heard TestSoundPulse::stopRecording()
{
    QTest::qWait(300); // what was played last is still on its way to the sink
    recorder_.terminate();
    recorder_.waitForFinished(3000);
    recorded_ += recorder_.readAllStandardOutput();
    return listen(recorded_);
}

Played TestSoundPulse::playWhileRecording(const QStringList &args)
{
    startRecording();
    Child child(clientEnvironment());
    child.start(args);
    const QString failure = child.finish(10000);
    return {failure, child.err(), stopRecording()};
}

void TestSoundPulse::playedWavIsHeard()
{
    const QString la = writeWav("la.wav", 440, 0.5);
    const auto [failure, errors, heard] = playWhileRecording({"play", "1200", la});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    // Whole: a sound's end must not be lost.
    QVERIFY2(heard.secondsAt(440) >= 0.45 && heard.loudSeconds() <= 0.6, qPrintable(heard.describe()));
}

void TestSoundPulse::secondSoundCutsOffTheFirst()
{
    // Whole, the first would sound 1.5 s; cut off after about 0.5 s (its start
    // takes a moment) and followed by the whole second (0.4 s), about 0.9 s.
    const QString longLow = writeWav("lungo.wav", 440, 1.5);
    const QString shortHigh = writeWav("corto.wav", 1320, 0.4);
    const auto [failure, errors, heard] = playWhileRecording({"play", "2200", longLow, "600", shortHigh});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    const QByteArray what = heard.describe().toLocal8Bit();
    QVERIFY2(heard.secondsAt(440) >= 0.1, what);   // the first began
    QVERIFY2(heard.secondsAt(1320) >= 0.35, what); // the second was heard whole
    QVERIFY2(heard.loudSeconds() <= 1.2, what);    // the first did not go on
    QVERIFY2(heard.lastAt(440) < heard.firstAt(1320), what); // nor come back
}

void TestSoundPulse::missingFileSoundsTheDefault()
{
    const QString missing = dir_.filePath("non-esiste.wav");
    const auto [failure, errors, heard] = playWhileRecording({"play", "1000", missing});
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    // The alert: 880 Hz for 0.11 s, a pause, 660 Hz for 0.16 s (less their
    // faded edges, which carry no pitch).
    QVERIFY2(heard.secondsAt(880) >= 0.05 && heard.secondsAt(660) >= 0.09
                 && heard.loudSeconds() <= 0.4,
             qPrintable(heard.describe()));
    QVERIFY2(errors.count(missing.toLocal8Bit()) == 1, errors.constData());
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
    const QString la = writeWav("la.wav", 440, 0.5);
    Child child(clientEnvironment());
    if (warm) {
        child.start({"frozen", la, "warm"});
        QVERIFY2(child.waitForLine("ready", 10000), child.out().constData());
        freezeServer(true);
        child.write("go");
    } else {
        freezeServer(true);
        child.start({"frozen", la});
    }
    const QString failure = child.finish(3000);
    freezeServer(false);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    const QMap<QByteArray, int> report = child.report();
    const QByteArray what = child.out();
    QVERIFY2(report.contains("click_ms") && report.value("click_ms") >= 0
                 && report.value("click_ms") < 100,
             what);
    QVERIFY2(report.value("ticks_in_300_ms") >= 15, what); // the window kept its event loop
    // Closing must not hang, and must really have met a stuck sound thread,
    // or this test proved nothing.
    QVERIFY2(report.value("destroy_ms") >= 400 && report.value("destroy_ms") < 1500, what);
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
