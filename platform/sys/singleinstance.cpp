#include "platform/sys/singleinstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace {
constexpr QByteArrayView kRaise = "raise\n";
}

SingleInstance::SingleInstance(const QString& programName, const QString& profilePath, QObject* parent)
    : QObject(parent)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(profilePath).toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    base = dir + QLatin1Char('/') + programName + QLatin1Char('-') + QString::number(::getuid()) + QLatin1Char('-') +
           QString::fromLatin1(hash);
}

SingleInstance::~SingleInstance()
{
    if (server) server->close();  // removes the socket file
}

bool SingleInstance::listen()
{
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketPath());
    if (!server->listen(socketPath())) return false;
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                const QByteArray said = peer->readAll();
                if (said.contains("raise")) emit raiseRequested();
                peer->disconnectFromServer();
            });
        }
    });
    return true;
}

bool SingleInstance::askFirstCopy(const QString& socketPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(250)) return false;
    socket.write(kRaise.data(), kRaise.size());
    const bool sent = socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return sent;
}

SingleInstance::Claim SingleInstance::claim(int waitMs)
{
    lock = std::make_unique<QLockFile>(lockPath());
    // stale only when its process is gone, however old
    lock->setStaleLockTime(0);
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (lock->tryLock(0)) {
            listen();  // a copy that cannot listen still runs; later starts then wait and end
            return Claim::First;
        }
        if (lock->error() != QLockFile::LockFailedError) return Claim::First;  // no usable folder
        if (askFirstCopy(socketPath())) return Claim::Signalled;
        // the holder may be starting and not listening yet
        if (deadline.hasExpired()) return Claim::Signalled;
        QThread::msleep(50);
    }
}
