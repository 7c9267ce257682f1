// UdpSocket: socket, bind, sendto and recvfrom, and the notifier that wakes a listener.
#include "udp_socket.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace discovery {

UdpSocket::UdpSocket(QObject* parent)
    : QObject(parent)
{
}

UdpSocket::~UdpSocket() { close(); }

void UdpSocket::fail(int error) { error_ = QString::fromLocal8Bit(std::strerror(error)); }

bool UdpSocket::open()
{
    if (fd_ >= 0)
        return true;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        fail(errno);
        return false;
    }
    // Beacons go to broadcast addresses, which the system refuses without this.
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    fd_ = fd;
    return true;
}

bool UdpSocket::bindShared(quint16 port)
{
    close();
    if (!open())
        return false;
    const int on = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
#ifdef SO_REUSEPORT
    // Where SO_REUSEADDR alone does not let two sockets share a UDP port (the BSDs).
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
#endif
    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        fail(errno);
        close();
        return false;
    }
    if (!notifier_) {
        notifier_ = std::make_unique<QSocketNotifier>(QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, &UdpSocket::readyRead);
    }
    notifier_->setSocket(fd_);
    notifier_->setEnabled(true);
    return true;
}

void UdpSocket::close()
{
    if (fd_ < 0)
        return;
    // Quiet before the descriptor goes: a notifier on a closed one fires without end.
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_->setSocket(-1);
    }
    ::close(fd_);
    fd_ = -1;
}

quint16 UdpSocket::localPort() const
{
    if (fd_ < 0)
        return 0;
    sockaddr_in local {};
    socklen_t length = sizeof local;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

bool UdpSocket::send(QByteArrayView datagram, Ipv4Address to, quint16 port)
{
    if (!open())
        return false;
    sockaddr_in target {};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl(to.toHostOrder());
    ssize_t sent;
    do
        sent = ::sendto(fd_, datagram.data(), static_cast<size_t>(datagram.size()), MSG_NOSIGNAL,
            reinterpret_cast<const sockaddr*>(&target), sizeof target);
    while (sent < 0 && errno == EINTR);
    if (sent < 0) {
        fail(errno);
        return false;
    }
    return sent == datagram.size();
}

bool UdpSocket::hasPendingDatagram() const
{
    if (fd_ < 0)
        return false;
    // A peek at one byte: any datagram, even an empty one, answers.
    char byte;
    ssize_t peeked;
    do
        peeked = ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    while (peeked < 0 && errno == EINTR);
    return peeked >= 0 || errno == EMSGSIZE;
}

qint64 UdpSocket::receive(char* buffer, qsizetype size, std::optional<Ipv4Address>* sender)
{
    sender->reset();
    if (fd_ < 0)
        return -1;
    sockaddr_storage from {};
    socklen_t length = sizeof from;
    ssize_t received;
    do
        received = ::recvfrom(fd_, buffer, static_cast<size_t>(size), MSG_DONTWAIT,
            reinterpret_cast<sockaddr*>(&from), &length);
    while (received < 0 && errno == EINTR);
    if (received < 0)
        return -1;
    *sender = ipv4Sender(from);
    return received;
}

std::optional<Ipv4Address> ipv4Sender(const sockaddr_storage& from)
{
    if (from.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(from);
        return Ipv4Address(ntohl(v4.sin_addr.s_addr));
    }
    if (from.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(from);
        if (!IN6_IS_ADDR_V4MAPPED(&v6.sin6_addr))
            return std::nullopt;
        const unsigned char* b = v6.sin6_addr.s6_addr + 12;
        return Ipv4Address(quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3]);
    }
    return std::nullopt;
}

} // namespace discovery
