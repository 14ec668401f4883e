// SPDX-License-Identifier: GPL-3.0-or-later
// A private PulseAudio server for the tests: its own home and runtime folder
// under `folder`, one socket, a sink that goes nowhere (zsink), and any more
// modules a test asks for. Run as root it only warns.
#pragma once

#include <QtTest>

namespace zampli::test {

class PulseServer {
public:
    explicit PulseServer(QString folder) : folder_(std::move(folder))
    {
        pulseaudio_ = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        pactl_ = QStandardPaths::findExecutable(QStringLiteral("pactl"));
        QFile client(QDir(folder_).filePath(QStringLiteral("client.conf")));
        // The clients never start a server of their own.
        if (client.open(QIODevice::WriteOnly))
            client.write("autospawn = no\n");
    }
    ~PulseServer() { stop(); }
    PulseServer(const PulseServer &) = delete;
    PulseServer &operator=(const PulseServer &) = delete;

    // Empty once the server answers, else why it does not (not installed,
    // cannot start here). `modules`: "-L" arguments beyond the sink's.
    QString start(const QStringList &modules = {})
    {
        if (pulseaudio_.isEmpty() || pactl_.isEmpty())
            return QStringLiteral("pulseaudio or pactl is not installed (scripts/install-deps.sh --tests installs them)");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", folder_), env.insert("XDG_RUNTIME_DIR", folder_);
        env.insert("XDG_CONFIG_HOME", QDir(folder_).filePath("config")), env.remove("PULSE_SERVER");
        server_.setProcessEnvironment(env);
        server_.setProcessChannelMode(QProcess::MergedChannels);
        QStringList args{"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "--use-pid-file=no",
                         "--disable-shm=yes", "-L",
                         "module-native-protocol-unix auth-anonymous=1 socket=" + socket(), "-L",
                         "module-null-sink sink_name=zsink"};
        for (const QString &module : modules)
            args << "-L" << module;
        server_.start(pulseaudio_, args);
        if (!QTest::qWaitFor([this] { return server_.state() == QProcess::NotRunning || answers(); }, 10000)
            || server_.state() == QProcess::NotRunning)
            return QStringLiteral("PulseAudio does not start here: ") + QString::fromLocal8Bit(server_.readAll());
        return {};
    }

    void stop()
    {
        if (server_.state() != QProcess::NotRunning && (server_.terminate(), !server_.waitForFinished(3000)))
            server_.kill(), server_.waitForFinished(3000);
    }

    // What a client process needs to find this server and no other.
    QProcessEnvironment clientEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PULSE_SERVER", "unix:" + socket()), env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("PULSE_CLIENTCONFIG", QDir(folder_).filePath("client.conf"));
        return env;
    }

    // This process's own clients use it from now on.
    void serveThisProcess() const
    {
        const QProcessEnvironment env = clientEnvironment();
        for (const char *name : {"PULSE_SERVER", "PULSE_CLIENTCONFIG"})
            qputenv(name, env.value(QString::fromLatin1(name)).toLocal8Bit());
    }

    bool answers() const
    {
        QProcess pactl;
        pactl.setProcessEnvironment(clientEnvironment());
        pactl.start(pactl_, {"list", "short", "sinks"});
        return pactl.waitForFinished(3000) && pactl.exitCode() == 0 && pactl.readAllStandardOutput().contains("zsink");
    }

    QProcess &process() { return server_; }
    QString socket() const { return QDir(folder_).filePath(QStringLiteral("native")); }

private:
    QString folder_;
    QString pulseaudio_, pactl_;
    QProcess server_;
};

} // namespace zampli::test
