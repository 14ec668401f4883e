// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/WholeFile.h"

#include "media/SystemError.h"

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

// The rename itself is kept only once the folder is on the disk.
int syncFolder(const QString &path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
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
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = nameBeside(path);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kept.value_or(0666));
        if (fd < 0 && errno != EEXIST)
            return failed(errno, true);
    }
    if (fd < 0)
        return failed(EEXIST, true);
    // open() let the umask take bits away from a file's own permissions.
    int error = !kept || ::fchmod(fd, *kept) == 0 ? 0 : errno;
    if (error == 0)
        error = writeAll(fd, bytes.constData(), bytes.size());
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    // Taken from the file just written, which the rename puts in place: a
    // stat() after it could see someone else's file.
    const std::optional<FileStamp> stamp = error == 0 ? stampOfOpen(fd) : std::nullopt;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    // rename() replaces a link at `path` with the new file and leaves its target alone.
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        return failed(error, false);
    }
    const int unsynced = syncFolder(path);
    return {unsynced, false, unsynced ? systemErrorText(unsynced) : QString(), stamp};
}

} // namespace zampli
