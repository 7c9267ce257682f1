// The single-instance guard and the presence marker. The guard speaks over a
// plain local socket, so that the program does not load Qt Network at start.
#include "single_instance.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// What a later copy sends. The holder takes anything a peer sends as this
// request, as the copies built on QLocalServer did.
constexpr char kComeForward[] = "raise\n";
constexpr std::size_t kComeForwardSize = sizeof kComeForward - 1;
// The most read from a peer: enough for the request; the rest is never read.
constexpr std::size_t kReadLimit = 64;
// QLocalServer's queue of connections not yet accepted.
constexpr int kBacklog = 50;
// Out of descriptors, the holder stops accepting this long: the connection stays
// queued and would wake it again at once.
constexpr int kAcceptPauseMs = 100;

// False when the path does not fit in a socket address.
bool localAddress(const QString& path, sockaddr_un& address)
{
    const QByteArray encoded = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (encoded.isEmpty() || std::size_t(encoded.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, encoded.constData(), std::size_t(encoded.size()));
    return true;
}

const sockaddr* asAddress(const sockaddr_un& address) { return reinterpret_cast<const sockaddr*>(&address); }

int localSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

ssize_t receive(int fd, char* buffer, std::size_t size)
{
    ssize_t got;
    do
        got = ::recv(fd, buffer, size, 0);
    while (got < 0 && errno == EINTR);
    return got;
}

bool wouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }

// Stops watching a descriptor before it closes. Deleted later, since this may be
// the notifier whose signal is running.
void retire(QSocketNotifier*& notifier)
{
    if (!notifier)
        return;
    notifier->setEnabled(false);
    notifier->deleteLater();
    notifier = nullptr;
}

// Never retried on EINTR: on Linux the descriptor is gone even then.
void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}
} // namespace

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
    while (!peers_.empty())
        dropPeer(peers_.begin());
    closeProbe();
    if (listenFd_ >= 0) {
        retire(listener_);
        closeFd(listenFd_);
        // As QLocalServer did on closing; before the lock goes, so that this never
        // removes the socket of a holder that follows.
        ::unlink(QFile::encodeName(path_).constData());
    }
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

void SingleInstance::listen()
{
    sockaddr_un address;
    if (!localAddress(path_, address))
        return; // no socket can live there; this copy goes on without one
    // Only the lock holder (or a copy that could not lock at all) gets here, so
    // whatever is at the path was left by a copy that ended without cleaning up.
    ::unlink(address.sun_path);
    listenFd_ = localSocket();
    if (listenFd_ < 0)
        return;
    if (::bind(listenFd_, asAddress(address), sizeof address) != 0) {
        closeFd(listenFd_);
        return;
    }
    // For the user only. Nobody can connect before listen, so the socket's mode
    // from bind is never open to anyone.
    if (::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(listenFd_, kBacklog) != 0) {
        closeFd(listenFd_);
        ::unlink(address.sun_path);
        return;
    }
    listener_ = new QSocketNotifier(listenFd_, QSocketNotifier::Read, this);
    connect(listener_, &QSocketNotifier::activated, this, &SingleInstance::acceptPeers);
}

void SingleInstance::acceptPeers()
{
    while (true) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (!wouldBlock()) {
                listener_->setEnabled(false);
                QTimer::singleShot(
                    kAcceptPauseMs, listener_, [listener = listener_] { listener->setEnabled(true); });
            }
            return;
        }
        if (peers_.size() >= kMaxWaitingPeers)
            dropPeer(peers_.begin());
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, fd] { servePeer(fd); });
        peers_.push_back({ fd, notifier });
    }
}

void SingleInstance::servePeer(int fd)
{
    const auto peer = std::find_if(peers_.begin(), peers_.end(), [fd](const Peer& p) { return p.fd == fd; });
    if (peer == peers_.end())
        return;
    char buffer[kReadLimit];
    const ssize_t got = receive(fd, buffer, sizeof buffer);
    if (got < 0 && wouldBlock())
        return;
    // One request per connection, answered by closing it: a peer that keeps
    // talking is cut off; one that closed without asking, or vanished, is let go.
    dropPeer(peer);
    if (got > 0 && bringForward)
        bringForward();
}

void SingleInstance::dropPeer(std::vector<Peer>::iterator peer)
{
    retire(peer->notifier);
    closeFd(peer->fd);
    peers_.erase(peer);
}

void SingleInstance::handOverTick()
{
    if (done_)
        return;
    retry_.stop();
    ++attempts_;
    closeProbe();
    sockaddr_un address;
    if (!localAddress(path_, address) || (probeFd_ = localSocket()) < 0) {
        retryOrGiveUp();
        return;
    }
    if (::connect(probeFd_, asAddress(address), sizeof address) == 0) {
        ask();
    } else if (errno == EINPROGRESS || errno == EINTR) {
        // Goes on in the background, even when interrupted; writable once done.
        probe_ = new QSocketNotifier(probeFd_, QSocketNotifier::Write, this);
        connect(probe_, &QSocketNotifier::activated, this, &SingleInstance::probeConnected);
    } else {
        retryOrGiveUp(); // nobody listens yet, or the holder's queue is full
    }
}

void SingleInstance::probeConnected()
{
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(probeFd_, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)
        ask();
    else
        retryOrGiveUp();
}

void SingleInstance::ask()
{
    ssize_t sent;
    do
        sent = ::send(probeFd_, kComeForward, kComeForwardSize, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    // A few bytes into a fresh connection go whole or not at all.
    if (sent != ssize_t(kComeForwardSize)) {
        retryOrGiveUp();
        return;
    }
    // The request waits in the holder's socket for it to read, whatever this copy
    // does next; a holder that hangs cannot hold this copy up.
    closeProbe();
    done_ = true;
    emit handedOver(true);
}

void SingleInstance::closeProbe()
{
    retire(probe_);
    closeFd(probeFd_);
}

void SingleInstance::retryOrGiveUp()
{
    if (done_)
        return;
    closeProbe();
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
