// SPDX-License-Identifier: GPL-3.0-or-later
#include "safefile/WholeFile.h"

#include "safefile/SystemError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zampli {

namespace {

// A file's permissions carry over to its new version; a link is replaced by
// a file of the usual ones, its target's are not ours to copy.
std::optional<mode_t> modeKept(const QByteArray &path)
{
    struct stat old;
    if (::lstat(path.constData(), &old) == 0 && S_ISREG(old.st_mode))
        return old.st_mode & 07777;
    return std::nullopt;
}

// The rename itself is kept only once the folder is on the disk. Asked,
// not required: some file systems refuse fsync() on a folder (EINVAL), and
// the new file is in place either way.
void syncFolder(const QString &path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// A new file of our own beside `path`, never an existing one nor a link:
// its descriptor, or the system's error number negated.
int createBeside(const QString &path, mode_t mode, QByteArray &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = nameBeside(path);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd >= 0 ? fd : -errno;
    }
    return -EEXIST;
}

// The new file's permissions, bytes and flush to the disk; `stamp` is the
// file as written, taken from it before the rename puts it in place (a
// stat() after could see someone else's file). The system's error number or 0.
int fill(int fd, std::optional<mode_t> kept, const QByteArray &bytes, std::optional<FileStamp> &stamp)
{
    // open() let the umask take bits away from a file's own permissions.
    if (kept && ::fchmod(fd, *kept) != 0)
        return errno;
    if (const int error = writeAll(fd, bytes.constData(), bytes.size()))
        return error;
    if (::fsync(fd) != 0)
        return errno;
    stamp = stampOfOpen(fd);
    return 0;
}

WholeWrite failed(int error, bool creating)
{
    return {error, creating, systemErrorText(error), std::nullopt};
}

} // namespace

QByteArray nameBeside(const QString &path)
{
    const QFileInfo info(path);
    return QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1Char('.')
                             + QString::number(QRandomGenerator::global()->generate(), 36));
}

int writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        data += n;
        size -= n;
    }
    return 0;
}

WholeWrite writeWhole(const QString &path, const QByteArray &bytes)
{
    const QByteArray target = QFile::encodeName(path);
    const std::optional<mode_t> kept = modeKept(target);
    QByteArray temporary;
    const int fd = createBeside(path, kept.value_or(0666), temporary);
    if (fd < 0)
        return failed(-fd, true);
    std::optional<FileStamp> stamp;
    int error = fill(fd, kept, bytes, stamp);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    // rename() replaces a link at `path` with the new file and leaves its target alone.
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return failed(error, false);
    }
    syncFolder(path);
    return {0, false, {}, stamp};
}

} // namespace zampli
