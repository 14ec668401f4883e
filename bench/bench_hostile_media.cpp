// SPDX-License-Identifier: GPL-3.0-or-later
// Files from strangers, through the adult's programs as she runs them:
// zampli-verifica over a media folder holding a drawing with a drawing
// inside that names /proc/self/fd/3, one whose drawing inside names a pipe,
// and a voice cut to a third; zampli-copia --importa on copies' files
// carrying such a drawing, or a voice that is no WAV. For each: the
// program's peak resident size, the bytes it wrote, the time it took, and
// how it ended; a program still running after 20 s is stopped and said so.
//
//   bench_hostile_media [PROGRAM_FOLDER]
//
// PROGRAM_FOLDER holds the zampli-verifica and zampli-copia to measure (by
// default those beside this benchmark, whose media it copies), so another
// build's programs are measured on the same files.

#include "MediaBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

extern char **environ;

namespace {

constexpr int kMostMs = 20000;

struct Run {
    double ms = 0;
    double peakMb = 0;
    qint64 wroteBytes = -1; // what it handed to write(), its output included
    QString ended;
};

// The field `name` of /proc/PID/io, read while the ended process waits to be reaped.
qint64 ioField(pid_t pid, const char *name)
{
    QFile io(QStringLiteral("/proc/%1/io").arg(pid));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith(QByteArray(name) + ':'))
            return line.mid(qstrlen(name) + 1).trimmed().toLongLong();
    return -1;
}

Run runProgram(const QString &program, const QStringList &args)
{
    QList<QByteArray> argv8{QFile::encodeName(program)};
    for (const QString &a : args)
        argv8 << QFile::encodeName(a);
    std::vector<char *> argv;
    for (QByteArray &a : argv8)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Run run;
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        run.ended = QStringLiteral("did not start");
        return run;
    }
    posix_spawn_file_actions_destroy(&actions);
    const int pidfd = int(syscall(SYS_pidfd_open, pid, 0));
    pollfd wait{pidfd, POLLIN, 0};
    const bool ended = pidfd >= 0 && poll(&wait, 1, kMostMs) == 1;
    if (!ended)
        ::kill(pid, SIGKILL);
    siginfo_t info{};
    waitid(P_PID, id_t(pid), &info, WEXITED | WNOWAIT);
    run.ms = double(clock.nsecsElapsed()) / 1e6;
    run.wroteBytes = ioField(pid, "wchar");
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (pidfd >= 0)
        ::close(pidfd);
    run.peakMb = double(usage.ru_maxrss) / 1024.0;
    run.ended = !ended                ? QStringLiteral("still running after %1 s, stopped").arg(kMostMs / 1000)
                : WIFSIGNALED(status) ? QStringLiteral("killed by signal %1").arg(WTERMSIG(status))
                                      : QStringLiteral("exit %1").arg(WEXITSTATUS(status));
    return run;
}

void report(const char *what, const Run &run)
{
    std::printf("hostile media, %s: peak %.1f MB, wrote %.1f kB, %.0f ms, %s\n", what, run.peakMb,
                double(run.wroteBytes) / 1024.0, run.ms, qPrintable(run.ended));
    std::fflush(stdout);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A media folder copied from `from`, with `file` replaced by `bytes`.
QString mediaWith(const QString &root, const QString &from, const QString &file, const QByteArray &bytes)
{
    const QString folder = root + "/" + QString(file).replace('/', '_');
    QDir().mkpath(folder);
    for (const char *sub : {"jpg", "voci", "suoni", "testi"})
        QProcess::execute("cp", {"-R", from + "/" + sub, folder});
    writeFile(folder + "/" + file, bytes);
    return folder;
}

// A copy's file: a list, a good picture, and `entry` holding `bytes`.
QString copyFileWith(const QString &root, const QString &entry, const QByteArray &bytes, const QByteArray &picture)
{
    const QString path = root + "/" + QString(entry).replace('/', '_') + ".zampli";
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    const QList<std::pair<QByteArray, QByteArray>> entries{{"zampli.txt", "ZAMPLI: una copia\nformato=1\n"},
                                                           {"testi/a.txt", "ape\n"},
                                                           {"jpg/orso.jpg", picture},
                                                           {entry.toUtf8(), bytes}};
    for (const auto &[name, data] : entries)
        zip_file_add(zip, name.constData(), zip_source_buffer(zip, data.constData(), zip_uint64_t(data.size()), 0),
                     ZIP_FL_ENC_UTF_8);
    zip_close(zip);
    return path;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString media = QCoreApplication::applicationDirPath();
    const QString programs = argc > 1 ? QString::fromLocal8Bit(argv[1]) : media;
    QTemporaryDir dir;
    // The programs' own menu entries and state stay in the scratch folder.
    qputenv("HOME", QFile::encodeName(dir.filePath("home")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("home/.local/share")));
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath("home/.local/state")));
    const QString pipe = dir.filePath("attesa");
    ::mkfifo(QFile::encodeName(pipe).constData(), 0644);
    // The programs run from a program folder of their own, as installed.
    const QString installed = dir.filePath("programma");
    for (const char *sub : {"jpg", "voci", "suoni", "testi"})
        QDir().mkpath(installed + "/" + sub);
    writeFile(installed + "/zampli", "#!/bin/sh\n");
    QFile::setPermissions(installed + "/zampli", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString verifica = installed + "/zampli-verifica";
    const QString copia = installed + "/zampli-copia";
    QFile::copy(programs + "/zampli-verifica", verifica);
    QFile::copy(programs + "/zampli-copia", copia);

    report("zampli-verifica, drawing in a drawing naming /proc/self/fd/3",
           runProgram(verifica, {mediaWith(dir.path(), media, "jpg/ape.jpg", zampli::test::drawingNaming("/proc/self/fd/3"))}));
    report("zampli-verifica, drawing in a drawing naming a pipe",
           runProgram(verifica, {mediaWith(dir.path(), media, "jpg/A.jpg", zampli::test::drawingNaming(QFile::encodeName(pipe)))}));
    QFile voice(media + "/voci/O.wav");
    voice.open(QIODevice::ReadOnly);
    const QByteArray whole = voice.readAll();
    report("zampli-verifica, voice cut to a third",
           runProgram(verifica, {mediaWith(dir.path(), media, "voci/O.wav", whole.left(whole.size() / 3))}));

    QFile picture(media + "/jpg/ape.jpg");
    picture.open(QIODevice::ReadOnly);
    const QByteArray good = picture.readAll();
    const auto importing = [&](const char *what, const QString &entry, const QByteArray &bytes) {
        const QString target = dir.filePath(QStringLiteral("copia-%1").arg(QString(entry).replace('/', '_')));
        report(what, runProgram(copia, {"--importa", copyFileWith(dir.path(), entry, bytes, good), target}));
    };
    importing("zampli-copia --importa, picture that is a drawing naming /proc/self/fd/3", "jpg/ape.jpg",
              zampli::test::drawingNaming("/proc/self/fd/3"));
    importing("zampli-copia --importa, picture that is a drawing naming a pipe", "jpg/A.jpg",
              zampli::test::drawingNaming(QFile::encodeName(pipe)));
    importing("zampli-copia --importa, voice of 1 MB of noise", "voci/ape.wav", QByteArray(1 << 20, 'Z'));
    return 0;
}
