// The single-instance guard and the presence marker.
#include "single_instance.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
constexpr int kConnectTimeoutMs = 1000;
const QByteArray kComeForward = "raise\n";
}

SingleInstance::SingleInstance(const QString& name, const QString& folder, QObject* parent)
    : QObject(parent)
{
    const QString path = folder + "/" + name;
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(kConnectTimeoutMs)) {
        probe.write(kComeForward);
        probe.waitForBytesWritten(kConnectTimeoutMs);
        probe.disconnectFromServer();
        another_ = true;
        return;
    }
    // Nobody answers: whatever is at the path was left by a copy that crashed.
    QLocalServer::removeServer(path);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(path);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                peer->readAll();
                if (bringForward)
                    bringForward();
            });
        }
    });
}

PresenceMarker::PresenceMarker(const QString& name, const QString& folder)
    : path_(folder + "/" + name)
{
    fd_ = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ >= 0)
        ::flock(fd_, LOCK_SH | LOCK_NB);
}

PresenceMarker::~PresenceMarker()
{
    if (fd_ >= 0)
        ::close(fd_);
}
