// The socket transport on loopback: bytes both ways, and exactly one end
// report for every way a connection can end.
#include "pump.h"
#include "raw_client.h"
#include "socket_transport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

using testsupport::pumpPending;
using testsupport::pumpUntil;
using testsupport::RawClient;

class SocketTransportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        transport = std::make_unique<SocketTransport>("0");
        transport->setEvents(ServerTransport::Events {
            [this](ConnectionId id) { accepted.push_back(id); },
            [this](ConnectionId id, std::string_view bytes) { received[id] += bytes; },
            [this](ConnectionId id) { ended.push_back(id); },
        });
        transport->startListening();
        ASSERT_GT(transport->listeningPort(), 0);
    }

    // A peer, waited for until the transport has accepted it.
    ConnectionId connect(std::unique_ptr<RawClient>& peer)
    {
        const std::size_t before = accepted.size();
        peer = std::make_unique<RawClient>(transport->listeningPort());
        EXPECT_TRUE(pumpUntil([&] { return accepted.size() > before; }));
        return accepted.empty() ? 0 : accepted.back();
    }

    std::unique_ptr<SocketTransport> transport;
    std::vector<ConnectionId> accepted;
    std::map<ConnectionId, std::string> received;
    std::vector<ConnectionId> ended;
};

TEST_F(SocketTransportTest, BytesTravelBothWaysAndThePeersCloseIsReportedOnce)
{
    std::unique_ptr<RawClient> first, second;
    const ConnectionId a = connect(first);
    const ConnectionId b = connect(second);
    EXPECT_NE(a, b);

    first->sendRaw("CMD_chat+1+hi\xFF");
    ASSERT_TRUE(pumpUntil([&] { return received[a] == "CMD_chat+1+hi\xFF"; }));
    EXPECT_TRUE(received[b].empty());
    transport->send(b, "CMD_sendlogininfo+2\xFF");
    EXPECT_TRUE(second->waitFor("CMD_sendlogininfo+2"));

    first->close();
    ASSERT_TRUE(pumpUntil([&] { return !ended.empty(); }));
    pumpPending();
    EXPECT_EQ(ended, (std::vector<ConnectionId> { a }));
    // The id is spent: nothing more goes to it or comes of it.
    transport->send(a, "late\xFF");
    transport->close(a);
    EXPECT_EQ(transport->pendingOutput(a), 0u);
    EXPECT_EQ(ended.size(), 1u);
    EXPECT_FALSE(second->closed());
}

TEST_F(SocketTransportTest, AResetPeerIsReportedOnceAndItsEndpointClosed)
{
    std::unique_ptr<RawClient> peer;
    const ConnectionId id = connect(peer);
    peer->abort();
    ASSERT_TRUE(pumpUntil([&] { return !ended.empty(); }));
    pumpPending();
    EXPECT_EQ(ended, (std::vector<ConnectionId> { id }));
    transport->close(id);
    EXPECT_EQ(ended.size(), 1u);

    // The listener goes on taking connections, each under a new id.
    std::unique_ptr<RawClient> next;
    const ConnectionId again = connect(next);
    EXPECT_NE(again, id);
    next->sendRaw("x");
    EXPECT_TRUE(pumpUntil([&] { return received[again] == "x"; }));
}

TEST_F(SocketTransportTest, ClosingHereReportsTheEndBeforeReturning)
{
    std::unique_ptr<RawClient> peer;
    const ConnectionId id = connect(peer);
    transport->send(id, "CMD_full+\xFF");
    transport->close(id);
    EXPECT_EQ(ended, (std::vector<ConnectionId> { id }));
    EXPECT_TRUE(peer->waitForClose());
    pumpPending();
    EXPECT_EQ(ended.size(), 1u);
}

TEST_F(SocketTransportTest, UnknownIdsAreIgnored)
{
    transport->send(42, "x");
    transport->close(42);
    EXPECT_EQ(transport->pendingOutput(42), 0u);
    EXPECT_TRUE(ended.empty());
}

TEST_F(SocketTransportTest, DestroyingTheTransportClosesItsConnectionsSilently)
{
    std::unique_ptr<RawClient> peer;
    connect(peer);
    transport.reset();
    EXPECT_TRUE(peer->waitForClose());
    EXPECT_TRUE(ended.empty());
}
