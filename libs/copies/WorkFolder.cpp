// SPDX-License-Identifier: GPL-3.0-or-later
#include "copies/WorkFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zampli::copies::detail {

namespace {

const QString kWorkPrefix = QStringLiteral(".zampli-copia-in-corso-");

// The owner's process id, or 0 when `name` is not one of our work folders.
qint64 ownerOf(const QString &name)
{
    static const QRegularExpression pattern(QRegularExpression::escape(kWorkPrefix)
                                            + QStringLiteral("([1-9][0-9]{0,9})-[0-9a-z]{1,13}"));
    const QRegularExpressionMatch match = pattern.match(name, 0, QRegularExpression::NormalMatch,
                                                        QRegularExpression::AnchorAtOffsetMatchOption);
    return match.hasMatch() && match.capturedLength() == name.size() ? match.captured(1).toLongLong() : 0;
}

// The lock is dropped by the system when its program ends, however it ends.
int openLocked(int parent, const char *name)
{
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool removeAt(int parent, const char *name)
{
    if (::unlinkat(parent, name, 0) == 0)
        return true;
    if (errno != EISDIR)
        return false;
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR *dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray inner(entry->d_name);
        if (inner != "." && inner != "..")
            removeAt(fd, entry->d_name);
    }
    ::closedir(dir);
    return ::unlinkat(parent, name, AT_REMOVEDIR) == 0;
}

bool isStale(int parent, const QString &name, int &lock)
{
    const qint64 owner = ownerOf(name);
    struct stat info;
    const QByteArray encoded = QFile::encodeName(name);
    if (owner == 0 || ::fstatat(parent, encoded.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0
        || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    // The process id tells while the folder is being made, before its lock is
    // taken; the lock tells when that id has been given to another program.
    if (::kill(pid_t(owner), 0) == 0 || errno != ESRCH)
        return false;
    lock = openLocked(parent, encoded.constData());
    return lock >= 0;
}

} // namespace

WorkFolder::~WorkFolder()
{
    if (!keep && !path.isEmpty())
        removeTree(path);
    if (lock >= 0)
        ::close(lock);
}

int WorkFolder::make(const QString &parent)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = parent + QLatin1Char('/') + kWorkPrefix + QString::number(::getpid())
                                  + QLatin1Char('-') + QString::number(QRandomGenerator::global()->generate(), 36);
        const QByteArray encoded = QFile::encodeName(candidate);
        if (::mkdir(encoded.constData(), 0755) == 0) {
            path = candidate;
            // A file system without locks (some network disks) still gets its
            // copy; its leftovers are only never taken for stale.
            lock = openLocked(AT_FDCWD, encoded.constData());
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

void removeStaleWork(const QString &parent)
{
    const int fd = ::open(QFile::encodeName(parent).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    const QStringList names = QDir(parent).entryList({kWorkPrefix + QLatin1Char('*')},
                                                     QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        int lock = -1;
        if (isStale(fd, name, lock))
            removeAt(fd, QFile::encodeName(name).constData());
        if (lock >= 0)
            ::close(lock);
    }
    ::close(fd);
}

bool removeTree(const QString &path)
{
    const QFileInfo info(path);
    const int parent = ::open(QFile::encodeName(info.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0)
        return false;
    const bool removed = removeAt(parent, QFile::encodeName(info.fileName()).constData());
    ::close(parent);
    return removed;
}

int MadeParents::make(const QString &folder)
{
    QStringList missing;
    for (QFileInfo at(folder); !at.exists() && !at.isSymLink() && !at.isRoot(); at = QFileInfo(at.path()))
        missing.prepend(at.filePath());
    for (const QString &path : std::as_const(missing)) {
        if (::mkdir(QFile::encodeName(path).constData(), 0755) != 0)
            return errno;
        made.prepend(path);
    }
    return 0;
}

MadeParents::~MadeParents()
{
    for (const QString &path : std::as_const(made))
        if (!keep)
            ::rmdir(QFile::encodeName(path).constData());
}

} // namespace zampli::copies::detail
