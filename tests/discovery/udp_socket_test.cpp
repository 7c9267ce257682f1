// The beacon's UDP socket on loopback, against Qt's own UDP socket: datagrams
// both ways with their senders, broadcast, a shared port and a refused one,
// and which senders count as IPv4.
#include "loopback_udp.h"
#include "pump.h"
#include "udp_socket.h"

#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>

using namespace discovery;
using testsupport::pumpUntil;

namespace {

sockaddr_storage ipv6From(const char* text)
{
    sockaddr_storage from {};
    auto& v6 = reinterpret_cast<sockaddr_in6&>(from);
    v6.sin6_family = AF_INET6;
    EXPECT_EQ(inet_pton(AF_INET6, text, &v6.sin6_addr), 1) << text;
    return from;
}

class UdpSocketOnLoopback : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!loopbackUdpWorks())
            GTEST_SKIP() << "UDP datagrams to 127.0.0.1 do not arrive on this machine";
    }
};

} // namespace

TEST_F(UdpSocketOnLoopback, ReportsAndReadsEachDatagramWithItsSender)
{
    UdpSocket socket;
    ASSERT_TRUE(socket.bindShared(0)) << socket.errorString().toStdString();
    ASSERT_NE(socket.localPort(), 0);
    EXPECT_FALSE(socket.hasPendingDatagram());
    int reports = 0;
    QObject::connect(&socket, &UdpSocket::readyRead, [&] { ++reports; });

    QUdpSocket peer;
    ASSERT_TRUE(peer.bind(QHostAddress::LocalHost, 0));
    peer.writeDatagram("first", QHostAddress::LocalHost, socket.localPort());
    peer.writeDatagram("", QHostAddress::LocalHost, socket.localPort());
    peer.writeDatagram("a longer third", QHostAddress::LocalHost, socket.localPort());
    ASSERT_TRUE(pumpUntil([&] { return reports > 0; }));

    char buffer[8];
    std::optional<Ipv4Address> sender;
    ASSERT_TRUE(socket.hasPendingDatagram());
    ASSERT_EQ(socket.receive(buffer, sizeof buffer, &sender), 5);
    EXPECT_EQ(QByteArray(buffer, 5), "first");
    EXPECT_EQ(sender, Ipv4Address::localHost());
    // An empty datagram still waits, and reads as empty.
    ASSERT_TRUE(pumpUntil([&] { return socket.hasPendingDatagram(); }));
    EXPECT_EQ(socket.receive(buffer, sizeof buffer, &sender), 0);
    EXPECT_EQ(sender, Ipv4Address::localHost());
    // One larger than the buffer is cut at it, and the rest of it is gone.
    ASSERT_TRUE(pumpUntil([&] { return socket.hasPendingDatagram(); }));
    EXPECT_EQ(socket.receive(buffer, sizeof buffer, &sender), static_cast<qint64>(sizeof buffer));
    EXPECT_EQ(QByteArray(buffer, sizeof buffer), "a longer");
    EXPECT_FALSE(socket.hasPendingDatagram());
    sender = Ipv4Address();
    EXPECT_EQ(socket.receive(buffer, sizeof buffer, &sender), -1);
    EXPECT_FALSE(sender.has_value()) << "nothing read, nobody sent it";

    // Closed, it neither reads nor reports.
    socket.close();
    EXPECT_FALSE(socket.isOpen());
    EXPECT_EQ(socket.localPort(), 0);
    EXPECT_EQ(socket.receive(buffer, sizeof buffer, &sender), -1);
}

TEST_F(UdpSocketOnLoopback, KeepsReportingWhileADatagramWaits)
{
    UdpSocket socket;
    ASSERT_TRUE(socket.bindShared(0));
    int reports = 0;
    QObject::connect(&socket, &UdpSocket::readyRead, [&] { ++reports; });
    QUdpSocket peer;
    peer.writeDatagram("one", QHostAddress::LocalHost, socket.localPort());
    ASSERT_TRUE(pumpUntil([&] { return reports > 0; }));
    // Left unread, it is reported again on later passes.
    const int seen = reports;
    ASSERT_TRUE(pumpUntil([&] { return reports > seen + 2; }));
    char buffer[8];
    std::optional<Ipv4Address> sender;
    ASSERT_EQ(socket.receive(buffer, sizeof buffer, &sender), 3);
    // Read, it falls quiet.
    testsupport::pumpPending();
    const int afterRead = reports;
    testsupport::pumpPending();
    EXPECT_EQ(reports, afterRead);
}

TEST_F(UdpSocketOnLoopback, SendsToAHostAndToTheLoopbackBroadcast)
{
    QUdpSocket listener;
    ASSERT_TRUE(listener.bind(QHostAddress::AnyIPv4, 0));
    UdpSocket socket;
    EXPECT_FALSE(socket.isOpen()) << "opened by the first send";

    ASSERT_TRUE(socket.send("to one", Ipv4Address::localHost(), listener.localPort()))
        << socket.errorString().toStdString();
    EXPECT_TRUE(socket.isOpen());
    EXPECT_NE(socket.localPort(), 0);
    // The system refuses a broadcast from a socket not allowed to.
    ASSERT_TRUE(socket.send("to all", Ipv4Address::loopbackBroadcast(), listener.localPort()))
        << socket.errorString().toStdString();

    QList<QByteArray> heard;
    ASSERT_TRUE(pumpUntil([&] {
        while (listener.hasPendingDatagrams()) {
            QByteArray datagram(64, '\0');
            QHostAddress from;
            datagram.resize(listener.readDatagram(datagram.data(), datagram.size(), &from));
            EXPECT_EQ(from.toIPv4Address(), Ipv4Address::localHost().toHostOrder());
            heard.append(datagram);
        }
        return heard.size() == 2;
    }));
    EXPECT_EQ(heard, (QList<QByteArray> { "to one", "to all" }));
}

TEST_F(UdpSocketOnLoopback, SharesAPortWithItsKindButNotWithASocketThatWillNot)
{
    UdpSocket first;
    ASSERT_TRUE(first.bindShared(0));
    UdpSocket second;
    ASSERT_TRUE(second.bindShared(first.localPort())) << second.errorString().toStdString();
    EXPECT_EQ(second.localPort(), first.localPort());

    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    UdpSocket refused;
    EXPECT_FALSE(refused.bindShared(holder.localPort()));
    EXPECT_FALSE(refused.isOpen());
    EXPECT_EQ(refused.errorString(), QString::fromLocal8Bit(std::strerror(EADDRINUSE)));
}

TEST(Ipv4Sender, AnIpv4OrIpv4MappedSenderOnly)
{
    sockaddr_storage v4 {};
    auto& in = reinterpret_cast<sockaddr_in&>(v4);
    in.sin_family = AF_INET;
    inet_pton(AF_INET, "192.0.2.7", &in.sin_addr);
    EXPECT_EQ(ipv4Sender(v4), Ipv4Address(0xC0000207u));

    EXPECT_EQ(ipv4Sender(ipv6From("::ffff:192.0.2.7")), Ipv4Address(0xC0000207u));
    EXPECT_EQ(ipv4Sender(ipv6From("::ffff:127.0.0.1")), Ipv4Address::localHost());
    for (const char* other :
        { "::1", "2001:db8::7", "::192.0.2.7", "64:ff9b::c000:207", "fe80::ffff:c000:207" })
        EXPECT_FALSE(ipv4Sender(ipv6From(other)).has_value()) << other;

    sockaddr_storage local {};
    reinterpret_cast<sockaddr_un&>(local).sun_family = AF_UNIX;
    EXPECT_FALSE(ipv4Sender(local).has_value());
    EXPECT_FALSE(ipv4Sender(sockaddr_storage {}).has_value()) << "no family at all";
}
