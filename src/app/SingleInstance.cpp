#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace zampli {

namespace {

constexpr int kWakeWaitMs = 1000;

// Named after the folder, so a teacher's own copy is a program of its own.
QString instanceName(const QString &programFolder)
{
    const QByteArray folder = QDir(programFolder).canonicalPath().toUtf8();
    return QStringLiteral("zampli-") +
           QString::fromLatin1(QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16));
}

} // namespace

QString SingleInstance::lockPath(const QString &programFolder)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QLatin1Char('/') + instanceName(programFolder) + QStringLiteral(".lock");
}

SingleInstance::SingleInstance(const QString &programFolder)
    : name_(instanceName(programFolder)), lock_(lockPath(programFolder))
{
    // Only a dead owner makes a lock stale, never its age: a program may run all day.
    lock_.setStaleLockTime(0);
}

bool SingleInstance::claim()
{
    if (!lock_.tryLock(0)) {
        // Where no lock can be made at all (a read-only runtime folder),
        // running twice is better than not running.
        return lock_.error() != QLockFile::LockFailedError;
    }
    // A socket a crashed program left behind would refuse to listen.
    QLocalServer::removeServer(name_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            emit woken();
        }
    });
    server_->listen(name_);
    return true;
}

void SingleInstance::wakeRunning() const
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (socket.waitForConnected(kWakeWaitMs))
        socket.disconnectFromServer();
}

} // namespace zampli
