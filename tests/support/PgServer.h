// SPDX-License-Identifier: GPL-3.0-or-later
// A private PostgreSQL server for the tests: Debian's own initdb and pg_ctl
// (never whatever PATH finds), a cluster in a temporary folder listening
// only on a Unix socket in a folder of its own, never the cluster that
// installing postgresql makes. Run as root, the server runs as `postgres`,
// as PostgreSQL refuses root. The superuser gets in without a password over
// the socket; every other role needs its scram password, so a wrong one is
// refused as on a school's server.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QProcessEnvironment>
#include <pwd.h>
#include <unistd.h>

namespace zampli::test {

class PgServer {
public:
    static QString binaries() { return QStringLiteral("/usr/lib/postgresql/15/bin"); }

    PgServer()
    {
        folder_.setAutoRemove(true);
        root_ = geteuid() == 0;
        superuser_ = root_ ? QStringLiteral("postgres") : QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
    }
    ~PgServer() { stop(); }
    PgServer(const PgServer &) = delete;
    PgServer &operator=(const PgServer &) = delete;

    // Empty once the server answers, else why it does not.
    QString start()
    {
        if (!QFileInfo(binaries() + QStringLiteral("/initdb")).isExecutable())
            return QStringLiteral("PostgreSQL 15 is not installed (scripts/install-deps.sh --tests installs it)");
        if (!initialised_) {
            // The server's own user must reach its folders.
            if (root_) {
                struct passwd *pg = getpwnam("postgres");
                if (!pg)
                    return QStringLiteral("no user postgres: is the postgresql package installed?");
                for (const QString &f : {folder_.path(), socketFolder()}) {
                    QDir().mkpath(f);
                    if (chown(QFile::encodeName(f).constData(), pg->pw_uid, pg->pw_gid) != 0)
                        return QStringLiteral("cannot give %1 to postgres").arg(f);
                }
            } else {
                QDir().mkpath(socketFolder());
            }
            QString out;
            if (!run(QStringLiteral("initdb"),
                     {"-D", dataFolder(), "-U", superuser_, "--no-sync", "--auth=trust", "-E", "UTF8", "--locale=C.UTF-8", "--no-instructions"},
                     &out))
                return QStringLiteral("initdb failed: ") + out;
            // The superuser alone comes in over the socket without a password.
            QFile hba(dataFolder() + QStringLiteral("/pg_hba.conf"));
            if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return QStringLiteral("cannot write pg_hba.conf");
            hba.write(QStringLiteral("local all %1 trust\nlocal all all scram-sha-256\n").arg(superuser_).toUtf8());
            hba.close();
            initialised_ = true;
        }
        QString out;
        // fsync off: a stopped server, unlike a stopped machine, still finds
        // in the system's cache every commit it confirmed.
        const QString options = QStringLiteral("-k %1 -c listen_addresses='' -p %2 -c fsync=off "
                                               "-c full_page_writes=off")
                                    .arg(socketFolder())
                                    .arg(port());
        if (!run(QStringLiteral("pg_ctl"),
                 {"-D", dataFolder(), "-o", options, "-l", folder_.path() + QStringLiteral("/log"), "-w", "-t",
                  "60", "start"},
                 &out))
            return QStringLiteral("pg_ctl start failed: ") + out + log();
        return {};
    }

    // Stops at once, as a power cut or a killed server would.
    bool stop()
    {
        if (!initialised_ || !QFile::exists(dataFolder() + QStringLiteral("/postmaster.pid")))
            return true;
        return run(QStringLiteral("pg_ctl"), {"-D", dataFolder(), "-m", "immediate", "-w", "stop"});
    }

    // Runs SQL as the superuser on `database`; the output of psql, or a
    // failed check with psql's words.
    QString sql(const QString &database, const QString &text, bool *ok = nullptr)
    {
        QString out;
        const bool done = run(QStringLiteral("psql"),
                              {"-X", "-q", "-At", "-v", "ON_ERROR_STOP=1", "-h", socketFolder(), "-p",
                               QString::number(port()), "-U", superuser_, "-d", database, "-c", text},
                              &out);
        if (ok)
            *ok = done;
        return out.trimmed();
    }

    // A connection string for `role` on `database` over the socket.
    QString connection(const QString &database, const QString &role = {}, const QString &password = {}) const
    {
        QString c = QStringLiteral("host=%1 port=%2 dbname=%3").arg(socketFolder()).arg(port()).arg(database);
        if (!role.isEmpty())
            c += QStringLiteral(" user=") + role;
        if (!password.isEmpty())
            c += QStringLiteral(" password=") + password;
        return c;
    }

    QString superuser() const { return superuser_; }
    QString socketFolder() const { return folder_.path() + QStringLiteral("/socket"); }
    int port() const { return 5432; }
    QString log() const
    {
        QFile f(folder_.path() + QStringLiteral("/log"));
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll().right(2000)) : QString();
    }

private:
    QString dataFolder() const { return folder_.path() + QStringLiteral("/data"); }

    bool run(const QString &tool, const QStringList &args, QString *out = nullptr) const
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        // The tools read nothing of the environment of whoever runs the tests.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString &k : env.keys())
            if (k.startsWith(QLatin1String("PG")))
                env.remove(k);
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QDir::rootPath());
        const QString program = binaries() + QLatin1Char('/') + tool;
        if (root_)
            p.start(QStringLiteral("runuser"), QStringList{"-u", "postgres", "--", program} + args);
        else
            p.start(program, args);
        const bool done = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (out)
            *out = QString::fromLocal8Bit(p.readAll());
        return done;
    }

    QTemporaryDir folder_{QDir::tempPath() + QStringLiteral("/zampli-pg-XXXXXX")};
    bool root_ = false;
    bool initialised_ = false;
    QString superuser_;
};

} // namespace zampli::test
