// The TSock modes the game itself does not use: blocking send and receive and
// datagrams; also the stream adapter and the helpers these share with the core.
#include "tsock.h"
#include "tsock_internal.h"

#include <QDeadlineTimer>
#include <QPointer>

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace tsockdetail {

void sendWithoutDelay(int fd)
{
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

std::string dottedAddress(in_addr address)
{
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &address, text, sizeof text) == nullptr)
        return std::string();
    return text;
}

int clampedCount(std::size_t length)
{
    return length > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
}

bool waitFor(int fd, short events, int32_t seconds)
{
    const QDeadlineTimer deadline = seconds < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                                : QDeadlineTimer(static_cast<qint64>(seconds) * 1000);
    for (;;) {
        const qint64 remaining = deadline.remainingTime(); // -1 when forever
        const int timeout = remaining < 0 ? -1 : static_cast<int>(std::min<qint64>(remaining, INT_MAX));
        pollfd entry { fd, events, 0 };
        const int ready = ::poll(&entry, 1, timeout);
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

bool connectBlocking(int fd, const sockaddr_in& destination)
{
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&destination), sizeof destination) == 0)
        return true;
    if (errno != EINTR)
        return false;
    // An interrupted connect goes on in the background; wait for its outcome.
    if (!waitFor(fd, POLLOUT, -1))
        return false;
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

} // namespace tsockdetail

using namespace tsockdetail;

// ---------------------------------------------------------------------------
// Blocking stream

bool TSock::sendBlocking()
{
    QPointer<TSock> self(this);
    while (!outbound_.empty()) {
        const ssize_t sent = ::send(fd_, outbound_.data(), outbound_.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            const int code = winsockCodeFromErrno(errno);
            if (errno != EINTR && code != 10036) {
                // Nothing more of it can go over a broken connection.
                outbound_.clear();
                info(siError, "Socket Error On Send");
                throw ESockException("Send - Socket Error");
            }
        } else {
            outbound_.erase(0, static_cast<std::size_t>(sent));
        }
        info(siSend, "Blocking Outgoing Data");
        if (!self)
            return true;
    }
    outbound_.clear();
    return true;
}

// One wait and one receive for a blocking Receive; false if a handler deleted
// the endpoint meanwhile.
bool TSock::receiveBlocking(int count)
{
    QPointer<TSock> self(this);
    if (!waitFor(fd_, POLLIN, blockingTimeout_))
        return true;
    info(siReceive, "Blocking Incoming Data");
    if (!self)
        return false;
    // Asking for nothing must not read as the peer having gone.
    const int wanted = (count < 0 || count > kReceiveArea) ? kReceiveArea : count;
    if (wanted == 0 || fd_ < 0)
        return true;
    char area[kReceiveArea];
    ssize_t received;
    do
        received = ::recv(fd_, area, static_cast<std::size_t>(wanted), MSG_DONTWAIT);
    while (received < 0 && errno == EINTR);
    if (received < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return true;
        const int code = winsockCodeFromErrno(errno);
        inbound_.clear();
        info(siError, "Socket Error On Receive");
        throw ESockException("Receive - Socket Error " + socketErrorName(code));
    }
    if (received == 0) {
        info(siClose, "Socket Disconnected On Receive");
        if (!self)
            return false;
        Close();
        if (!self)
            return false;
        if (OnDisconnect) {
            const TNotifyEvent handler = OnDisconnect;
            handler(this);
        }
        return !self.isNull();
    }
    inbound_.append(area, static_cast<std::size_t>(received));
    return true;
}

// ---------------------------------------------------------------------------
// Datagrams

bool TSock::openDatagram()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0) {
        reportError(winsockCodeFromErrno(errno));
        return false;
    }
    sockaddr_in local = destination_;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        // Nothing useful can be done with an unbound datagram socket; release
        // it so a later Open can try again.
        ::close(fd);
        return false;
    }
    attach(fd);
    registerEvents();
    // Port "0" binds wherever the system chooses; that port is the one
    // datagrams are sent to as well.
    destination_.sin_port = htons(static_cast<uint16_t>(localPort()));
    return !announceConnected("Datagram Socket Connected") || connected_;
}

bool TSock::SendDatagram(const std::string& text, const std::string& host)
{
    if (fd_ < 0)
        throw ESockException("SendDatagram - Socket Not Connected");
    if (socketType_ == stStream)
        throw ESockException("SendDatagram - Datagram Send Not Supported On Stream Sockets");
    QPointer<TSock> self(this);
    // The host is resolved afresh for every datagram and becomes HostName.
    setHostName(host);
    if (!self || fd_ < 0 || host.empty())
        return false;
    const ssize_t sent = ::sendto(fd_, text.data(), text.size(), MSG_NOSIGNAL,
        reinterpret_cast<const sockaddr*>(&destination_), sizeof destination_);
    return sent >= 0 && static_cast<std::size_t>(sent) == text.size();
}

void TSock::ReceiveDatagram(std::string& text, std::string& host)
{
    if (fd_ < 0)
        throw ESockException("ReceiveDatagram - Socket Not Connected");
    if (socketType_ == stStream)
        throw ESockException("ReceiveDatagram - Datagram Receive Not Supported On Stream Sockets");
    text.clear();
    host.clear();
    if (waitFor(fd_, POLLIN, blockingTimeout_)) {
        char area[kReceiveArea];
        sockaddr_in from {};
        socklen_t length = sizeof from;
        ssize_t received;
        do
            received = ::recvfrom(
                fd_, area, sizeof area, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &length);
        while (received < 0 && errno == EINTR);
        if (received >= 0) {
            text.assign(area, static_cast<std::size_t>(received));
            peer_ = from;
            host = dottedAddress(from.sin_addr);
        }
    }
    // Taking a datagram is what lets the next arrival be reported.
    readPaused_ = false;
    updateNotifiers();
}

// ---------------------------------------------------------------------------
// Stream adapter

int TSockStream::Read(void* buffer, int count)
{
    if (count <= 0)
        return 0;
    std::string got = sock_.Receive(count);
    // Receive may hand over more than asked (a blocking receive returns all it
    // holds); the caller's buffer takes count bytes and the rest waits.
    if (got.size() > static_cast<std::size_t>(count)) {
        if (sock_.SocketType() == stStream)
            sock_.inbound_.insert(0, got, static_cast<std::size_t>(count), std::string::npos);
        got.resize(static_cast<std::size_t>(count));
    }
    std::memcpy(buffer, got.data(), got.size());
    return static_cast<int>(got.size());
}

int TSockStream::Write(const void* buffer, int count)
{
    if (count < 0)
        return 0;
    sock_.Send(std::string(static_cast<const char*>(buffer), static_cast<std::size_t>(count)));
    return count;
}
