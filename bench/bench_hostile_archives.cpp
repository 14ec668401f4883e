// SPDX-License-Identifier: GPL-3.0-or-later
// What a hostile copy's file costs `zampli-copia --importa` (the memory peak
// of the process, the bytes it wrote and those it left under the target's
// folder) and the teacher's "Importa parole", which reads it into memory
// (the memory peak of bench_read_copy_file), one line a figure.
//
//   bench_hostile_archives [ZAMPLI_COPIA [BENCH_READ_COPY_FILE]]
//
// Each is the program beside this one unless named, so that another build's
// can be measured against it. zampli-copia runs from a stand-in program
// folder of its own, so it needs no media.

#include "ZipPatches.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <zip.h>

namespace {

struct Entry {
    QByteArray name;
    QByteArray data;
    zip_flags_t encoding = ZIP_FL_ENC_UTF_8; // ZIP_FL_ENC_CP437: the bytes as they are, no UTF-8 flag
};

const Entry kManifest{"zampli.txt", "ZAMPLI: una copia\nformato=1\n"};

QByteArray zipOf(const QString &path, const QList<Entry> &entries)
{
    QFile::remove(path);
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_EXCL, &error);
    if (!zip)
        qFatal("zip_open %s: %d", qPrintable(path), error);
    for (const Entry &entry : entries) {
        zip_source_t *source = zip_source_buffer(zip, entry.data.constData(), zip_uint64_t(entry.data.size()), 0);
        if (zip_file_add(zip, entry.name.constData(), source, entry.encoding) < 0)
            qFatal("zip_file_add %s: %s", entry.name.constData(), zip_strerror(zip));
    }
    if (zip_close(zip) != 0)
        qFatal("zip_close: %s", zip_strerror(zip));
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray noise(qsizetype size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator random(39);
    for (char &byte : bytes)
        byte = char(random.generate());
    return bytes;
}

struct Cost {
    long peakKb = 0;     // ru_maxrss
    qint64 written = 0;  // bytes the process dirtied on disk (ru_oublock)
    qint64 left = 0;     // under the target's folder once it ended
    int status = -1;
};

// Runs `program arguments...` to its end, its output thrown away.
Cost runCost(const QString &program, const QStringList &arguments)
{
    QList<QByteArray> encoded{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        encoded << QFile::encodeName(argument);
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    Cost cost;
    struct rusage usage {};
    int status = 0;
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid)
        qFatal("cannot run %s", argv[0]);
    cost.peakKb = usage.ru_maxrss;
    cost.written = qint64(usage.ru_oublock) * 512;
    cost.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return cost;
}

double mb(qint64 bytes)
{
    return double(bytes) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString copia = args.size() > 1 ? args.at(1) : QCoreApplication::applicationDirPath() + "/zampli-copia";
    const QString reader = args.size() > 2 ? args.at(2)
                                           : QCoreApplication::applicationDirPath() + "/bench_read_copy_file";
    QTemporaryDir root;
    if (!root.isValid() || !QFileInfo(copia).isExecutable() || !QFileInfo(reader).isExecutable())
        qFatal("usage: bench_hostile_archives [ZAMPLI_COPIA [BENCH_READ_COPY_FILE]]");
    // The copy's menu entry goes into the scratch folder, never the user's menu.
    qputenv("HOME", QFile::encodeName(root.filePath("home")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath("home/.local/share")));
    QDir().mkpath(root.filePath("home/.local/share/applications"));
    const QString program = root.filePath("program");
    for (const char *media : {"jpg", "voci", "suoni", "testi"})
        QDir().mkpath(program + "/" + media);
    writeFile(program + "/zampli", "#!/bin/sh\n");
    QFile::setPermissions(program + "/zampli", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!QFile::copy(copia, program + "/zampli-copia"))
        qFatal("cannot copy %s", qPrintable(copia));

    const QString scratch = root.filePath("scratch.zip");
    const Entry list{"testi/a.txt", "ape\n"};
    const QList<QByteArray> sharing{"voci/b.wav", "voci/c.wav", "voci/d.wav", "voci/e.wav"};
    const QList<std::pair<const char *, QByteArray>> hostile{
        {"five entries on one stream of 90 MB of zeros",
         withSharedEntries(zipOf(scratch, {kManifest, list, {"voci/a.wav", QByteArray(90'000'000, '\0')}}),
                           "voci/a.wav", sharing)},
        {"five entries on one stream of 5 MB of noise",
         withSharedEntries(zipOf(scratch, {kManifest, list, {"voci/a.wav", noise(5'000'000)}}), "voci/a.wav",
                           sharing)},
        {"one entry of 45 MB of zeros", zipOf(scratch, {kManifest, list, {"voci/a.wav", QByteArray(45'000'000, '\0')}})},
        {"a Latin-1 name without the UTF-8 flag",
         zipOf(scratch, {kManifest, {"testi/\xE0ncora.txt", "ancora\n", ZIP_FL_ENC_CP437}})},
        {"one name composed and decomposed",
         zipOf(scratch, {kManifest, {"jpg/\xC3\xA0ncora.jpg", "one"}, {"jpg/a\xCC\x80ncora.jpg", "two"}})},
        {"a right-to-left override in a name", zipOf(scratch, {kManifest, {"jpg/ape\u202Egpj.jpg", "x"}})},
    };
    const QString imports = root.filePath("imports");
    int run = 0;
    for (const auto &[what, bytes] : hostile) {
        const QString archive = root.filePath("ostile.zampli");
        writeFile(archive, bytes);
        QDir(imports).removeRecursively();
        QDir().mkpath(imports);
        Cost cost = runCost(program + "/zampli-copia", {"--importa", archive, imports + "/copia" + QString::number(++run)});
        cost.left = bytesUnder(imports);
        const Cost read = runCost(reader, {archive});
        const QString name = QStringLiteral("hostile archive, %1 (%2 KB)").arg(what).arg(bytes.size() / 1000);
        std::printf("%s: memory peak %.1f MB\n", qPrintable(name), double(cost.peakKb) / 1000.0);
        std::printf("%s: disk written %.1f MB\n", qPrintable(name), mb(cost.written));
        std::printf("%s: left under the target's folder %.1f MB (%s)\n", qPrintable(name), mb(cost.left),
                    cost.status == 0 ? "imported" : "refused");
        std::printf("%s: memory peak reading it for \"Importa parole\" %.1f MB (%s)\n", qPrintable(name),
                    double(read.peakKb) / 1000.0, read.status == 0 ? "read" : "refused");
    }
    QDir(imports).removeRecursively();
    return 0;
}
