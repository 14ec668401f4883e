// SPDX-License-Identifier: GPL-3.0-or-later
#include "safefile/RegularFile.h"

#include "safefile/CappedFile.h"
#include "safefile/SystemError.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zampli {

RegularFile::RegularFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        missing_ = error == ENOENT;
        if (error == ELOOP)
            refusal_ = QStringLiteral("è un collegamento simbolico, che ZAMPLI non segue");
        else if (!missing_)
            refusal_ = QStringLiteral("non si può leggere (%1)").arg(systemErrorText(error));
        return;
    }
    struct stat s {};
    if (::fstat(fd, &s) != 0)
        refusal_ = QStringLiteral("non si può leggere (%1)").arg(systemErrorText(errno));
    else if (!S_ISREG(s.st_mode))
        refusal_ = notAFile(s.st_mode);
    if (!refusal_.isEmpty()) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    size_ = s.st_size;
}

RegularFile::~RegularFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<QByteArray> RegularFile::read(qint64 bytes)
{
    QByteArray out(bytes, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = fd_ >= 0 ? ::read(fd_, out.data(), size_t(bytes)) : -1;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        out.truncate(n);
        return out;
    }
}

} // namespace zampli
