// The server's sockets as the system sees them: keepalive on every game
// connection, the listener's backlog, and a peer that closes only its
// sending side.
#include "server_fixture.h"

#include <QDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <optional>

namespace {

// A plain blocking POSIX connection to the server on loopback, for what
// QTcpSocket cannot do (a half-close) or hides (the local port).
class PosixPeer {
public:
    explicit PosixPeer(int port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(uint16_t(port));
        connected_ = fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~PosixPeer()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool connected() const { return connected_; }
    int localPort() const
    {
        sockaddr_in local {};
        socklen_t length = sizeof local;
        return ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) == 0 ? ntohs(local.sin_port)
                                                                                     : 0;
    }
    bool send(const std::string& message)
    {
        const std::string bytes = message + wire::kEndByte;
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
    }
    void stopSending() { ::shutdown(fd_, SHUT_WR); }

private:
    int fd_ = -1;
    bool connected_ = false;
};

int portOf(int fd, int (*get)(int, sockaddr*, socklen_t*))
{
    sockaddr_in address {};
    socklen_t length = sizeof address;
    if (get(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0 || address.sin_family != AF_INET)
        return 0;
    return ntohs(address.sin_port);
}

// The descriptor, in this process, of the server's end of a connection.
int serverEndOf(int serverPort, int peerPort)
{
    for (const QString& entry : QDir("/proc/self/fd").entryList(QDir::Files | QDir::System)) {
        const int fd = entry.toInt();
        if (portOf(fd, ::getsockname) == serverPort && portOf(fd, ::getpeername) == peerPort)
            return fd;
    }
    return -1;
}

int intOption(int fd, int level, int name)
{
    int value = -1;
    socklen_t length = sizeof value;
    return ::getsockopt(fd, level, name, &value, &length) == 0 ? value : -1;
}

// The longest queue of pending connections the system keeps for a TCP
// listener on port, as its socket diagnostics report it.
std::optional<unsigned> listenerBacklog(int port)
{
    const int nl = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
    if (nl < 0)
        return std::nullopt;
    struct {
        nlmsghdr header;
        inet_diag_req_v2 request;
    } query {};
    query.header.nlmsg_len = sizeof query;
    query.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    query.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    query.request.sdiag_family = AF_INET;
    query.request.sdiag_protocol = IPPROTO_TCP;
    query.request.idiag_states = 1u << TCP_LISTEN;
    std::optional<unsigned> backlog;
    if (::send(nl, &query, sizeof query, 0) == ssize_t(sizeof query)) {
        alignas(nlmsghdr) char buffer[32768];
        bool done = false;
        while (!done) {
            const ssize_t got = ::recv(nl, buffer, sizeof buffer, 0);
            if (got <= 0)
                break;
            int left = int(got);
            for (auto* h = reinterpret_cast<nlmsghdr*>(buffer); NLMSG_OK(h, left); h = NLMSG_NEXT(h, left)) {
                if (h->nlmsg_type == NLMSG_DONE || h->nlmsg_type == NLMSG_ERROR) {
                    done = true;
                    break;
                }
                const auto* socket = static_cast<const inet_diag_msg*>(NLMSG_DATA(h));
                // For a listener the send-queue field holds its backlog.
                if (ntohs(socket->id.idiag_sport) == port)
                    backlog = socket->idiag_wqueue;
            }
        }
    }
    ::close(nl);
    return backlog;
}

} // namespace

class SocketOptions : public ServerFixture { };

TEST_F(SocketOptions, GameConnectionsNoticeAVanishedPeerWithinAboutAMinute)
{
    PosixPeer peer(port);
    ASSERT_TRUE(peer.connected());
    ASSERT_TRUE(testsupport::pumpUntil([&] { return server->player(1).connected != 0; }));
    const int fd = serverEndOf(port, peer.localPort());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(intOption(fd, SOL_SOCKET, SO_KEEPALIVE), 1);
    const int idle = intOption(fd, IPPROTO_TCP, TCP_KEEPIDLE);
    const int interval = intOption(fd, IPPROTO_TCP, TCP_KEEPINTVL);
    const int probes = intOption(fd, IPPROTO_TCP, TCP_KEEPCNT);
    ASSERT_GT(idle, 0);
    ASSERT_GT(interval, 0);
    ASSERT_GT(probes, 0);
    const int noticedAfter = idle + interval * probes;
    EXPECT_GE(noticedAfter, 45);
    EXPECT_LE(noticedAfter, 75);
    EXPECT_EQ(intOption(fd, IPPROTO_TCP, TCP_NODELAY), 1);
}

TEST_F(SocketOptions, TheListenerQueuesAsManyConnectionsAsTheSystemAllows)
{
    const std::optional<unsigned> backlog = listenerBacklog(port);
    if (!backlog)
        GTEST_SKIP() << "socket diagnostics are not available here";
    unsigned systemMaximum = SOMAXCONN;
    std::ifstream limit("/proc/sys/net/core/somaxconn");
    unsigned configured = 0;
    if (limit >> configured)
        systemMaximum = std::min(systemMaximum, configured);
    EXPECT_EQ(*backlog, systemMaximum);
    EXPECT_GT(*backlog, 5u);
}

TEST_F(SocketOptions, WhatAPeerSentBeforeClosingItsSendingSideIsRelayed)
{
    auto host = loginPeer("Host");
    PosixPeer leaver(port);
    ASSERT_TRUE(leaver.connected());
    ASSERT_TRUE(testsupport::pumpUntil([&] { return server->player(2).connected != 0; }));
    ASSERT_TRUE(leaver.send("CMD_logininfo+2+2.0.5+Leaver"));
    ASSERT_TRUE(host->waitFor("CMD_newplayerinfo+2+Leaver"));
    // Nothing is dispatched until the server has seen the end of the stream.
    dispatchByHand(false);
    for (int i = 1; i <= 50; ++i)
        ASSERT_TRUE(leaver.send("CMD_chat+2+goodbye " + std::to_string(i) + "|clRed"));
    leaver.stopSending();
    ASSERT_TRUE(testsupport::pumpUntil([&] { return server->player(2).connected == 0; }));
    dispatchByHand(true);
    ASSERT_TRUE(host->waitFor("CMD_playerdisconnected+2+Leaver"));
    std::vector<std::string> heard = host->takeNew();
    heard.erase(heard.begin(), std::find(heard.begin(), heard.end(), "CMD_newplayerinfo+2+Leaver") + 1);
    ASSERT_EQ(heard.size(), 51u);
    for (int i = 1; i <= 50; ++i)
        EXPECT_EQ(
            heard[std::size_t(i - 1)], "CMD_chat+Leaver chats: goodbye " + std::to_string(i) + "|clRed");
    EXPECT_EQ(heard.back(), "CMD_playerdisconnected+2+Leaver");
}
