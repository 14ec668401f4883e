// SPDX-License-Identifier: GPL-3.0-or-later
#include "safefile/FileStamp.h"

#include <QFile>
#include <sys/stat.h>

namespace zampli {

FileStamp stampFrom(const struct stat &s)
{
    return {qint64(s.st_size), qint64(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec, quint64(s.st_ino)};
}

std::optional<FileStamp> stampOf(const QString &path)
{
    struct stat s {};
    if (::stat(QFile::encodeName(path).constData(), &s) != 0)
        return std::nullopt;
    return stampFrom(s);
}

std::optional<FileStamp> stampOfOpen(int fd)
{
    struct stat s {};
    if (::fstat(fd, &s) != 0)
        return std::nullopt;
    return stampFrom(s);
}

} // namespace zampli
