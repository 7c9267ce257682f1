// The single-instance guard and the presence marker.
#include "single_instance.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
const QByteArray kComeForward = "raise\n";
}

SingleInstance::SingleInstance(const QString& name, const QString& folder, QObject* parent)
    : QObject(parent)
    , path_(folder + "/" + name)
{
    const QByteArray lockPath = QFile::encodeName(path_ + ".lock");
    lockFd_ = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    int locked = -1;
    if (lockFd_ >= 0) {
        do
            locked = ::flock(lockFd_, LOCK_EX | LOCK_NB);
        while (locked != 0 && errno == EINTR);
    }
    // Only a lock held by another copy stops this one. A lock that cannot be had
    // at all (no lock file, locks unsupported) must not keep the program from
    // ever starting, so this copy then goes on as the holder.
    if (locked == 0 || lockFd_ < 0 || errno != EWOULDBLOCK) {
        listen();
        return;
    }
    ::close(lockFd_);
    lockFd_ = -1;
    another_ = true;
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &SingleInstance::handOverTick);
    // From the event loop, so whoever waits for handedOver is connected first.
    retry_.start(0);
}

SingleInstance::~SingleInstance()
{
    if (server_)
        server_->close();
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

void SingleInstance::listen()
{
    // Only the lock holder (or a copy that could not lock at all) gets here, so
    // whatever is at the path was left by a copy that ended without cleaning up.
    QLocalServer::removeServer(path_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(path_);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                peer->readAll();
                // One request per connection; a peer that keeps talking is cut off.
                peer->disconnectFromServer();
                if (bringForward)
                    bringForward();
            });
        }
    });
}

void SingleInstance::handOverTick()
{
    if (done_)
        return;
    retry_.stop();
    ++attempts_;
    delete probe_;
    probe_ = new QLocalSocket(this);
    connect(probe_, &QLocalSocket::connected, this, [this] { probe_->write(kComeForward); });
    connect(probe_, &QLocalSocket::bytesWritten, this, [this] {
        if (probe_->bytesToWrite() == 0)
            probe_->disconnectFromServer();
    });
    connect(probe_, &QLocalSocket::disconnected, this, [this] {
        if (!done_) {
            done_ = true;
            emit handedOver(true);
        }
    });
    connect(probe_, &QLocalSocket::errorOccurred, this, [this](QLocalSocket::LocalSocketError error) {
        // The holder closing the connection after our request is the answer, not an error.
        if (error == QLocalSocket::PeerClosedError)
            return;
        retryOrGiveUp();
    });
    probe_->connectToServer(path_);
}

void SingleInstance::retryOrGiveUp()
{
    if (done_)
        return;
    if (attempts_ < kHandOverAttempts) {
        if (!retry_.isActive())
            retry_.start(kHandOverRetryMs);
        return;
    }
    done_ = true;
    retry_.stop();
    emit handedOver(false);
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
