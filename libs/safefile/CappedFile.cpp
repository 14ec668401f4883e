// SPDX-License-Identifier: GPL-3.0-or-later
#include "safefile/CappedFile.h"

#include "safefile/SystemError.h"

#include <QFile>
#include <QLocale>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace zampli {

namespace {

QString openFailure(const QByteArray &name, int error)
{
    struct stat link {};
    switch (error) {
    case ENOENT:
        return ::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode)
                   ? QStringLiteral("è un collegamento a un file che non c'è")
                   : QStringLiteral("manca");
    case EACCES:
    case EPERM:
        return QStringLiteral("non si può leggere: permesso negato");
    case ENXIO: // a socket, or a device with nothing behind it
        return QStringLiteral("è un file speciale del sistema, non un file normale");
    case ELOOP:
        return QStringLiteral("è un collegamento che rimanda a se stesso");
    default:
        return QStringLiteral("non si può aprire: %1").arg(systemErrorText(error));
    }
}

} // namespace

CappedFile CappedFile::open(const QString &path, qint64 maxBytes)
{
    CappedFile file;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        file.refusal_ = openFailure(name, errno);
        return file;
    }
    struct stat s {};
    if (::fstat(fd, &s) != 0)
        file.refusal_ = QStringLiteral("illeggibile");
    else if (!S_ISREG(s.st_mode))
        file.refusal_ = notAFile(s.st_mode);
    else if (s.st_size > maxBytes)
        file.refusal_ = QStringLiteral("troppo grande: %1").arg(sizeText(s.st_size));
    if (!file.refusal_.isEmpty()) {
        ::close(fd);
        return file;
    }
    file.fd_ = fd;
    file.stamp_ = stampFrom(s);
    return file;
}

CappedFile::CappedFile(CappedFile &&other) noexcept
    : fd_(std::exchange(other.fd_, -1)), stamp_(other.stamp_), refusal_(std::move(other.refusal_))
{
}

CappedFile::~CappedFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<QByteArray> CappedFile::read(qint64 bytes)
{
    QByteArray out(bytes, Qt::Uninitialized);
    qint64 got = 0;
    while (fd_ >= 0 && got < bytes) {
        const ssize_t n = ::read(fd_, out.data() + got, size_t(bytes - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        got += n;
    }
    out.truncate(got);
    return out;
}

QString sizeText(qint64 bytes)
{
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    constexpr double kK = 1024.0;
    if (bytes >= kK * kK * kK)
        return italian.toString(bytes / (kK * kK * kK), 'f', 1) + QStringLiteral(" GB");
    if (bytes >= kK * kK)
        return italian.toString(bytes / (kK * kK), 'f', 1) + QStringLiteral(" MB");
    return italian.toString(qMax<qint64>(1, (bytes + 1023) / 1024)) + QStringLiteral(" kB");
}

QString notAFile(unsigned mode)
{
    if (S_ISFIFO(mode))
        return QStringLiteral("è un file speciale del sistema, non un file normale");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("è un dispositivo del sistema, non un file normale");
    if (S_ISDIR(mode))
        return QStringLiteral("è una cartella, non un file");
    if (S_ISSOCK(mode))
        return QStringLiteral("è un file speciale del sistema, non un file normale");
    return QStringLiteral("non è un file normale");
}

} // namespace zampli
