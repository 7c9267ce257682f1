// UdpSocket: the beacon's IPv4 UDP socket over plain POSIX calls, non-blocking,
// with arrivals reported through the Qt event loop.
#pragma once

#include "ipv4_address.h"

#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QSocketNotifier;
struct sockaddr_storage;

namespace discovery {

class UdpSocket : public QObject {
    Q_OBJECT
public:
    explicit UdpSocket(QObject* parent = nullptr);
    ~UdpSocket() override;

    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Listens on port (0: one the system picks) on every interface, sharing it
    // with every other socket on this machine that shares it too, so each of
    // them hears every broadcast. False, with errorString(), when refused.
    bool bindShared(quint16 port);
    // Sends one datagram; broadcast addresses are allowed. A socket not open yet
    // opens on a port the system picks. False when it did not go (the network
    // unreachable now, the send buffer full).
    bool send(QByteArrayView datagram, Ipv4Address to, quint16 port);
    void close();

    bool isOpen() const { return fd_ >= 0; }
    quint16 localPort() const;
    QString errorString() const { return error_; }

    bool hasPendingDatagram() const;
    // Takes the next datagram, cut at size bytes; -1 when none was read.
    // sender: where it came from, nothing when that is not an IPv4 address.
    qint64 receive(char* buffer, qsizetype size, std::optional<Ipv4Address>* sender);

signals:
    // A datagram waits; repeated on every pass of the event loop while one does.
    void readyRead();

private:
    bool open();
    void fail(int error);

    int fd_ = -1;
    // Made by bindShared(); only a listening socket is woken. It outlives
    // close(), which may run inside its own report.
    std::unique_ptr<QSocketNotifier> notifier_;
    QString error_;
};

// A datagram's sender as the game can reach it: an IPv4 address, or the one
// inside an IPv4-mapped IPv6 address; nothing for any other.
std::optional<Ipv4Address> ipv4Sender(const sockaddr_storage& from);

} // namespace discovery
