// SPDX-License-Identifier: GPL-3.0-or-later
#include "copies/TreeCopy.h"

#include "safefile/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zampli::copies::detail {

namespace {

QByteArray encoded(const QString &path) { return QFile::encodeName(path); }

// Qt lists no entry whose name is not UTF-8: without this look at the bytes
// the copy would silently lack it.
QStringList namesNotUtf8(const QString &folder)
{
    QStringList found;
    DIR *dir = ::opendir(encoded(folder).constData());
    if (!dir)
        return found;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (QFile::encodeName(QFile::decodeName(name)) != name)
            found << folder + QLatin1Char('/') + QFile::decodeName(name);
    }
    ::closedir(dir);
    return found;
}

// Folders on the way down, by their real path: a link back to one of them
// would copy forever.
void planFolder(CopyPlan &plan, const QString &source, const QString &relative, QSet<QString> &above)
{
    const QString real = QFileInfo(source).canonicalFilePath();
    if (real.isEmpty() || above.contains(real))
        return;
    above.insert(real);
    plan.folders << relative;
    plan.notUtf8 << namesNotUtf8(source);
    const QFileInfoList entries = QDir(source).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString inside = relative + QLatin1Char('/') + entry.fileName();
        if (entry.isDir()) {
            planFolder(plan, entry.filePath(), inside, above);
        } else if (entry.isFile()) {
            plan.files << FileToCopy{entry.filePath(), inside, entry.size(), entry.isExecutable()};
            plan.bytes += entry.size();
        }
    }
    above.remove(real);
}

// Copies one file's bytes; the new file is made here, never opened through a link.
CopyFailure copyFile(const FileToCopy &file, const QString &to, std::vector<char> &buffer,
                     const std::function<bool(qint64)> &step)
{
    const int in = ::open(encoded(file.source).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return {errno, file.source, true};
    const mode_t mode = file.executable ? 0755 : 0644;
    const int out = ::open(encoded(to + QLatin1Char('/') + file.relative).constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    CopyFailure failure{out < 0 ? errno : 0, file.relative};
    while (failure.error == 0) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failure = {n < 0 ? errno : 0, file.source, true};
            break;
        }
        failure.error = writeAll(out, buffer.data(), n);
        if (failure.error == 0 && !step(n))
            failure.error = ECANCELED;
    }
    ::close(in);
    if (out >= 0 && ::close(out) != 0 && failure.error == 0)
        failure = {errno, file.relative};
    return failure;
}

} // namespace

int flushFileSystem(const QString &folder)
{
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::syncfs(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

CopyPlan planCopy(const QString &from, const QStringList &files, const QStringList &folders)
{
    CopyPlan plan;
    for (const QString &name : files) {
        const QFileInfo info(from + QLatin1Char('/') + name);
        if (info.isFile()) {
            plan.files << FileToCopy{info.filePath(), name, info.size(), info.isExecutable()};
            plan.bytes += info.size();
        }
    }
    for (const QString &name : folders) {
        QSet<QString> above;
        planFolder(plan, from + QLatin1Char('/') + name, name, above);
    }
    return plan;
}

CopyFailure copyPlan(const CopyPlan &plan, const QString &to, const Progress &progress)
{
    for (const QString &folder : plan.folders) {
        if (::mkdir(encoded(to + QLatin1Char('/') + folder).constData(), 0755) != 0)
            return {errno, to + QLatin1Char('/') + folder};
    }
    std::vector<char> buffer(1 << 20);
    qint64 done = 0;
    const auto step = [&](qint64 bytes) {
        done += bytes;
        return !progress || progress(done, plan.bytes);
    };
    for (const FileToCopy &file : plan.files) {
        if (!step(0))
            return {ECANCELED, {}};
        if (const CopyFailure failure = copyFile(file, to, buffer, step); failure.error != 0)
            return failure;
    }
    if (const int error = flushFileSystem(to))
        return {error, to};
    if (!step(0))
        return {ECANCELED, {}};
    return {};
}

int linkWhole(const QString &path, const QString &target)
{
    const QByteArray to = encoded(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray temporary = nameBeside(path);
        if (::symlink(to.constData(), temporary.constData()) != 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        if (::rename(temporary.constData(), encoded(path).constData()) == 0)
            return 0;
        const int error = errno;
        ::unlink(temporary.constData());
        return error;
    }
    return EEXIST;
}

int renameNoReplace(const QString &from, const QString &to)
{
    const QByteArray source = encoded(from);
    const QByteArray target = encoded(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL)
        return errno;
    // A file system that cannot refuse by itself (NFS): look first. A plain
    // rename would also quietly replace an empty folder made in between.
    struct stat existing;
    if (::lstat(target.constData(), &existing) == 0)
        return EEXIST;
    return ::rename(source.constData(), target.constData()) == 0 ? 0 : errno;
}

int renameExchange(const QString &a, const QString &b)
{
    const QByteArray first = encoded(a);
    const QByteArray second = encoded(b);
    if (::renameat2(AT_FDCWD, first.constData(), AT_FDCWD, second.constData(), RENAME_EXCHANGE) == 0)
        return 0;
    if (errno != EINVAL)
        return errno;
    const QByteArray aside = first + ".scambio";
    if (::rename(second.constData(), aside.constData()) != 0)
        return errno;
    if (::rename(first.constData(), second.constData()) != 0) {
        const int error = errno;
        ::rename(aside.constData(), second.constData());
        return error;
    }
    return ::rename(aside.constData(), first.constData()) == 0 ? 0 : errno;
}

bool isDiskFull(int error) { return error == ENOSPC || error == EDQUOT; }

} // namespace zampli::copies::detail
