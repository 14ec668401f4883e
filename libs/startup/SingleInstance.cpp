// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cstring>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace zampli {

namespace {

// Named after the folder, so a teacher's own copy is a program of its own,
// and, per display, after the display, so one account on two screens runs two.
QString instanceName(const QString &program, const QString &folder, SingleInstance::Scope scope)
{
    QByteArray key = QDir(folder).canonicalPath().toUtf8();
    if (scope == SingleInstance::Scope::PerDisplay)
        key += '\0' + SingleInstance::display().toUtf8();
    return program + QLatin1Char('-') +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

QString runtimeFolder()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return dir.isEmpty() ? QDir::tempPath() : dir;
}

// None when the path is too long for a socket address.
std::optional<sockaddr_un> socketAddress(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (size_t(name.size()) >= sizeof(address.sun_path))
        return std::nullopt;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return address;
}

} // namespace

QString SingleInstance::display()
{
    // A Wayland socket is named relative to the runtime folder unless absolute.
    if (const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY"); !wayland.isEmpty())
        return QStringLiteral("wayland:") + (wayland.startsWith(QLatin1Char('/')) ? wayland : runtimeFolder() + QLatin1Char('/') + wayland);
    // ":1" and ":1.0" are the same display; only the screen differs.
    QString x11 = qEnvironmentVariable("DISPLAY");
    if (const qsizetype colon = x11.lastIndexOf(QLatin1Char(':')), dot = x11.lastIndexOf(QLatin1Char('.'));
        colon >= 0 && dot > colon)
        x11.truncate(dot);
    return QStringLiteral("x11:") + x11;
}

QString SingleInstance::lockPath(const QString &program, const QString &folder, Scope scope)
{
    return runtimeFolder() + QLatin1Char('/') + instanceName(program, folder, scope) + QStringLiteral(".lock");
}

SingleInstance::SingleInstance(const QString &program, const QString &folder, Scope scope)
    : socketPath_(runtimeFolder() + QLatin1Char('/') + instanceName(program, folder, scope) + QStringLiteral(".sock")),
      lock_(lockPath(program, folder, scope))
{
    // Only a dead owner makes a lock stale, never its age: a program may run all day.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (listening_ < 0)
        return;
    notifier_.reset();
    ::close(listening_);
    QFile::remove(socketPath_);
}

bool SingleInstance::claim()
{
    if (!lock_.tryLock(0)) {
        // Where no lock can be made at all (a read-only runtime folder),
        // running twice is better than not running.
        return lock_.error() != QLockFile::LockFailedError;
    }
    listen();
    return true;
}

void SingleInstance::listen()
{
    const std::optional<sockaddr_un> address = socketAddress(socketPath_);
    if (!address)
        return; // runs all the same; a second start just cannot wake it
    // A socket a crashed program left behind would refuse to listen.
    QFile::remove(socketPath_);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&*address), sizeof(*address)) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return;
    }
    ::chmod(address->sun_path, S_IRUSR | S_IWUSR); // for this user only, even in a shared temporary folder
    listening_ = fd;
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        for (int peer; (peer = ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            ::close(peer);
            emit woken();
        }
    });
}

void SingleInstance::wakeRunning() const
{
    const std::optional<sockaddr_un> address = socketAddress(socketPath_);
    const int fd = address ? ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0) : -1;
    if (fd < 0)
        return;
    // A local connection is made or refused at once; being accepted is the whole message.
    ::connect(fd, reinterpret_cast<const sockaddr *>(&*address), sizeof(*address));
    ::close(fd);
}

} // namespace zampli
