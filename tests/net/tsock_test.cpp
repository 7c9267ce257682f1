// TSock over real loopback sockets: connecting, transfer, peer close and reset,
// listening and accepting, lifetime, lookups, the blocking and datagram modes.
#include "tsock.h"
#include "tsock_lookup.h"

#include "pump.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using testsupport::pumpPending;
using testsupport::pumpUntil;

// Records every event of the endpoints it is attached to, in order, as text:
// information as "Kind: text", handlers by name.
struct Recorder {
    std::vector<std::string> events;

    void attach(TSock& sock)
    {
        sock.OnInfo = [this](TSock*, TSocketInfo kind, const std::string& msg) {
            events.push_back(std::string(socketInfoName(kind)) + ": " + msg);
        };
        sock.OnConnect = [this](TSock*) { events.push_back("OnConnect"); };
        sock.OnDisconnect = [this](TSock*) { events.push_back("OnDisconnect"); };
        sock.OnRead = [this](TSock*, int count) { events.push_back("OnRead " + std::to_string(count)); };
        sock.OnWrite = [this](TSock*) { events.push_back("OnWrite"); };
    }
    // The typed end of each connection too, for the tests about it.
    void attachWithEnds(TSock& sock)
    {
        attach(sock);
        sock.OnEnded = [this](TSock*, const TSockEnd& end) {
            static const char* const reasons[] = { "ClosedHere", "ClosedByPeer", "ConnectFailed", "Failed" };
            events.push_back(std::string("OnEnded ") + reasons[end.reason] + " " + std::to_string(end.code));
        };
    }
    int count(const std::string& event) const
    {
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }
    bool has(const std::string& event) const { return count(event) > 0; }
};

// A raw descriptor for the far side of a test, closed on scope exit.
struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int f)
        : fd(f)
    {
    }
    Fd(Fd&& other) noexcept
        : fd(other.fd)
    {
        other.fd = -1;
    }
    Fd& operator=(Fd&& other) noexcept
    {
        std::swap(fd, other.fd);
        return *this;
    }
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

sockaddr_in loopback(int port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

int boundPort(int fd)
{
    sockaddr_in local {};
    socklen_t length = sizeof local;
    getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
    return ntohs(local.sin_port);
}

Fd boundSocket(int type)
{
    Fd s(::socket(AF_INET, type, 0));
    const sockaddr_in any = loopback(0);
    if (s.fd < 0 || ::bind(s.fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0)
        throw std::runtime_error("cannot bind a loopback test socket");
    return s;
}

// A TCP port that is bound but not listening: a connect to it is refused, and
// nothing else can take the port while the test runs.
struct ReservedPort {
    Fd socket = boundSocket(SOCK_STREAM);
    int port = boundPort(socket.fd);
};

// A plain listener for tests that need the far side's descriptor itself.
struct RawListener {
    Fd socket = boundSocket(SOCK_STREAM | SOCK_NONBLOCK);
    int port = boundPort(socket.fd);
    RawListener() { ::listen(socket.fd, 5); }

    Fd acceptOne()
    {
        Fd peer;
        pumpUntil([&] {
            peer = Fd(::accept(socket.fd, nullptr, nullptr));
            return peer.fd >= 0;
        });
        return peer;
    }
};

// Ends a connection with a reset instead of an orderly close.
void resetConnection(Fd& peer)
{
    const linger abortive { 1, 0 };
    setsockopt(peer.fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    peer = Fd();
}

void pointAt(TSock& client, const std::string& host, int port)
{
    client.setHostName(host);
    client.setPortName(std::to_string(port));
}

// A listener, a client connected to it and the endpoint the listener accepted
// for it (owned by the listener).
struct Pair {
    std::unique_ptr<TSock> listener = std::make_unique<TSock>();
    std::unique_ptr<TSock> client = std::make_unique<TSock>();
    TSock* server = nullptr;
};

std::unique_ptr<Pair> connectedPair()
{
    auto pair = std::make_unique<Pair>();
    Pair* p = pair.get();
    p->listener->setPortName("0");
    p->listener->OnAccept = [p](TSock* listener) {
        TSock* accepted = nullptr;
        if (listener->Accept(accepted))
            p->server = accepted;
    };
    p->listener->setListen(true);
    pointAt(*p->client, "127.0.0.1", p->listener->localPort());
    p->client->Open();
    if (!pumpUntil([p] { return p->server != nullptr && p->client->Connected(); }))
        throw std::runtime_error("loopback connection did not come up");
    // Let the accepted endpoint's first write readiness pass before a test
    // starts watching it.
    pumpPending();
    return pair;
}

// Runs op and returns the text of the ESockException it raised ("" if none).
template <typename Op> std::string raisedText(Op op)
{
    try {
        op();
    } catch (const ESockException& e) {
        return e.what();
    }
    return "";
}

// Installs a collector for exceptions escaping handlers during notifications,
// and removes it again so other tests see the default.
struct EscapedExceptions {
    std::vector<std::string> messages;
    EscapedExceptions()
    {
        setTSockExceptionHandler([this](const std::string& message) { messages.push_back(message); });
    }
    ~EscapedExceptions() { setTSockExceptionHandler(nullptr); }
};

// ---------------------------------------------------------------------------

TEST(TSockConnect, RefusedConnectGivesOneErrorAndStaysConnecting)
{
    ReservedPort reserved;
    TSock client;
    Recorder rec;
    rec.attachWithEnds(client);
    pointAt(client, "127.0.0.1", reserved.port);

    EXPECT_FALSE(client.Open());
    ASSERT_TRUE(pumpUntil([&] { return rec.has("Error: Error #10061 (WSAECONNREFUSED)"); }));
    pumpPending();
    EXPECT_THAT(rec.events,
        ElementsAre("Lookup: Lookup Of Port " + std::to_string(reserved.port),
            "Lookup: Lookup Of Host 127.0.0.1", "Error: Error #10061 (WSAECONNREFUSED)",
            "OnEnded ConnectFailed 10061"));
    EXPECT_FALSE(client.Connected());
    EXPECT_TRUE(client.isOpen());

    // Still Connecting: a second Open neither connects again nor reports.
    rec.events.clear();
    EXPECT_FALSE(client.Open());
    pumpPending();
    EXPECT_TRUE(rec.events.empty());

    EXPECT_TRUE(client.Close());
    EXPECT_THAT(rec.events, ElementsAre("Close: Socket Closed"));
    EXPECT_FALSE(client.isOpen());
}

TEST(TSockConnect, StreamWithoutHostNameFailsAsAnUnusableAddress)
{
    TSock client;
    Recorder rec;
    rec.attachWithEnds(client);
    client.setPortName("7");

    EXPECT_FALSE(client.Open());
    ASSERT_TRUE(pumpUntil([&] { return rec.has("Error: Error #10049 (WSAEADDRNOTAVAIL)"); }));
    EXPECT_THAT(rec.events,
        ElementsAre("Lookup: Lookup Of Port 7", "Error: Error #10049 (WSAEADDRNOTAVAIL)",
            "OnEnded ConnectFailed 10049"));
    EXPECT_FALSE(client.Connected());
}

TEST(TSockConnect, TextSentBeforeTheConnectionCompletesIsQueuedThenDelivered)
{
    TSock listener;
    std::string arrived;
    listener.setPortName("0");
    listener.OnAccept = [](TSock* l) {
        TSock* accepted = nullptr;
        l->Accept(accepted);
    };
    listener.OnRead = [&](TSock* accepted, int) { arrived += accepted->Receive(); };
    listener.setListen(true);

    TSock client;
    Recorder rec;
    rec.attach(client);
    pointAt(client, "127.0.0.1", listener.localPort());
    EXPECT_FALSE(client.Open());
    EXPECT_TRUE(client.Send("hello"));
    EXPECT_FALSE(client.Connected());

    ASSERT_TRUE(pumpUntil([&] { return arrived == "hello"; }));
    pumpPending();
    EXPECT_THAT(rec.events,
        ElementsAre("Lookup: Lookup Of Port " + std::to_string(listener.localPort()),
            "Lookup: Lookup Of Host 127.0.0.1",
            "Send: Non-Blocking Outgoing Data", // queued
            "Connect: Non-Blocking Socket Connected", "OnConnect",
            "Send: Non-Blocking Outgoing Data", // flushed
            "Send: Non-Blocking Outgoing Data", // write readiness
            "OnWrite"));
}

// ---------------------------------------------------------------------------

TEST(TSockTransfer, LargeArrivalIsReadInPiecesWithGrowingCount)
{
    auto p = connectedPair();
    std::vector<int> counts;
    p->server->OnRead = [&](TSock*, int count) { counts.push_back(count); };
    std::string payload(100000, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<char>(i % 251);

    p->client->Send(payload);
    ASSERT_TRUE(pumpUntil([&] { return !counts.empty() && counts.back() == int(payload.size()); }));

    EXPECT_GE(counts.size(), 4u); // 100,000 bytes cannot fit in three reads
    int previous = 0;
    for (int count : counts) {
        EXPECT_GT(count, previous);
        EXPECT_LE(count - previous, 32768);
        previous = count;
    }
    // Receive takes from the front and leaves the rest in order.
    EXPECT_EQ(p->server->Receive(10), payload.substr(0, 10));
    EXPECT_EQ(p->server->Receive(), payload.substr(10));
}

TEST(TSockTransfer, PeerCloseRunsOnDisconnectBeforeSocketClosedAndKeepsUnreadText)
{
    auto p = connectedPair();
    Recorder rec;
    rec.attachWithEnds(*p->client);

    p->server->Send("bye");
    p->server->Close();
    ASSERT_TRUE(pumpUntil([&] { return rec.has("Close: Socket Closed"); }));

    EXPECT_THAT(rec.events,
        ElementsAre("Receive: Non-Blocking Incoming Data", "OnRead 3", "OnDisconnect", "Close: Socket Closed",
            "OnEnded ClosedByPeer 0"));
    EXPECT_FALSE(p->client->Connected());
    EXPECT_FALSE(p->client->isOpen());
    EXPECT_EQ(p->client->Receive(), "bye");
    EXPECT_EQ(raisedText([&] { p->client->Receive(); }), "Receive - Socket Not Connected");
}

TEST(TSockTransfer, ResetGivesOnlyTheErrorInformation)
{
    RawListener raw;
    TSock client;
    Recorder rec;
    rec.attachWithEnds(client);
    pointAt(client, "127.0.0.1", raw.port);
    client.Open();
    Fd peer = raw.acceptOne();
    ASSERT_TRUE(pumpUntil([&] { return client.Connected(); }));
    rec.events.clear();

    ASSERT_EQ(::send(peer.fd, "data", 4, 0), 4);
    resetConnection(peer);
    ASSERT_TRUE(pumpUntil([&] { return rec.has("Error: Error #10054 (WSAECONNRESET)"); }));
    pumpPending();

    EXPECT_EQ(rec.events.back(), "OnEnded Failed 10054");
    EXPECT_EQ(rec.count("Error: Error #10054 (WSAECONNRESET)"), 1);
    EXPECT_FALSE(rec.has("OnDisconnect"));
    EXPECT_FALSE(rec.has("Close: Socket Closed"));
    EXPECT_TRUE(client.Connected());

    // Writing to the dead connection neither raises nor kills the process, and
    // the broken socket does not keep waking the loop.
    rec.events.clear();
    EXPECT_TRUE(client.Send("late"));
    pumpPending();
    EXPECT_THAT(rec.events, ElementsAre("Send: Non-Blocking Outgoing Data"));

    // Closing the failed connection reports "Socket Closed" but not a second end.
    rec.events.clear();
    client.Close();
    EXPECT_THAT(rec.events, ElementsAre("Close: Socket Closed"));
}

// ---------------------------------------------------------------------------

TEST(TSockListen, StartTwiceThenStop)
{
    TSock listener;
    Recorder rec;
    rec.attach(listener);
    listener.setPortName("0");

    listener.setListen(true);
    listener.setListen(true);
    EXPECT_TRUE(listener.Listen());
    EXPECT_GT(listener.localPort(), 0);
    EXPECT_THAT(rec.events,
        ElementsAre(
            "Lookup: Lookup Of Port 0", "Listen: Listening Started", "Listen: Listening Already Running"));

    rec.events.clear();
    listener.setListen(false);
    EXPECT_THAT(rec.events, ElementsAre("Close: Socket Closed", "Listen: Listening Stopped"));
    EXPECT_FALSE(listener.Listen());
    EXPECT_FALSE(listener.isOpen());
}

TEST(TSockListen, PortHeldByAnotherListenerCannotBeBound)
{
    TSock holder;
    holder.setPortName("0");
    holder.setListen(true);
    TSock second;
    second.setPortName(std::to_string(holder.localPort()));

    EXPECT_EQ(raisedText([&] { second.setListen(true); }), "Listen - Error Binding Socket");
    EXPECT_FALSE(second.Listen());
    EXPECT_FALSE(second.isOpen());

    // The failed socket was released, so the port can be taken once free.
    holder.setListen(false);
    second.setListen(true);
    EXPECT_TRUE(second.Listen());
}

TEST(TSockListen, AcceptedEndpointReportsItsNamesBeforeTheListenerReportsIt)
{
    auto listener = std::make_unique<TSock>();
    std::vector<std::pair<TSock*, std::string>> infos;
    TSock* accepted = nullptr;
    TSock* readBy = nullptr;
    listener->setPortName("0");
    listener->setBlockingTimeout(7);
    listener->OnInfo = [&](TSock* s, TSocketInfo, const std::string& msg) { infos.emplace_back(s, msg); };
    listener->OnRead = [&](TSock* s, int) { readBy = s; };
    listener->OnAccept = [&](TSock* l) {
        TSock* created = nullptr;
        if (l->Accept(created))
            accepted = created;
    };
    listener->setListen(true);
    infos.clear();

    TSock client;
    Recorder clientRec;
    clientRec.attach(client);
    pointAt(client, "127.0.0.1", listener->localPort());
    client.Open();
    ASSERT_TRUE(pumpUntil([&] { return accepted != nullptr && client.Connected(); }));

    ASSERT_GE(infos.size(), 3u);
    EXPECT_EQ(
        infos[0], std::make_pair(accepted, std::string("Setting PortName While Connected Has No Effect")));
    EXPECT_EQ(
        infos[1], std::make_pair(accepted, std::string("Setting HostName While Connected Has No Effect")));
    EXPECT_EQ(infos[2], std::make_pair(listener.get(), std::string("Created New TSock Structure")));

    EXPECT_EQ(accepted->parent(), listener.get());
    EXPECT_TRUE(accepted->Connected());
    EXPECT_EQ(accepted->PortName(), "0");
    EXPECT_EQ(accepted->HostName(), "127.0.0.1");
    EXPECT_EQ(accepted->BlockingTimeout(), 7);
    EXPECT_EQ(listener->peerAddress(), "127.0.0.1");
    EXPECT_EQ(listener->peerPort(), client.localPort());
    EXPECT_EQ(accepted->peerPort(), client.localPort());

    // The listener's read handler came along.
    client.Send("x");
    ASSERT_TRUE(pumpUntil([&] { return readBy == accepted; }));

    // Nothing more is pending.
    infos.clear();
    TSock* none = accepted;
    EXPECT_FALSE(listener->Accept(none));
    EXPECT_EQ(none, nullptr);
    ASSERT_FALSE(infos.empty());
    EXPECT_EQ(infos.back().second, "Could Not Accept Connection");

    // Accepted endpoints die with their listener, and the peer hears of it.
    listener.reset();
    EXPECT_TRUE(pumpUntil([&] { return clientRec.has("OnDisconnect"); }));
}

TEST(TSockListen, AutoAcceptHandsOverTheNewEndpointWithoutAcceptInformation)
{
    TSock listener;
    Recorder rec;
    rec.attach(listener);
    TSock* handedOver = nullptr;
    listener.setPortName("0");
    listener.setAutoAccept(true);
    listener.OnAccept = [&](TSock*) { rec.events.push_back("OnAccept"); };
    listener.OnAutoAccept = [&](TSock* sender, TSock* created) {
        EXPECT_EQ(sender, &listener);
        handedOver = created;
    };
    listener.setListen(true);
    rec.events.clear();

    TSock client;
    pointAt(client, "127.0.0.1", listener.localPort());
    client.Open();
    ASSERT_TRUE(pumpUntil([&] { return handedOver != nullptr; }));

    EXPECT_TRUE(handedOver->Connected());
    EXPECT_EQ(handedOver->parent(), &listener);
    EXPECT_FALSE(rec.has("OnAccept"));
    for (const std::string& event : rec.events)
        EXPECT_NE(event.rfind("Accept:", 0), 0u) << event;
}

TEST(TSockListen, UnservedConnectionWaitsForALaterAcceptAndServingResumes)
{
    TSock listener;
    listener.setPortName("0");
    listener.setListen(true);
    TSock client;
    pointAt(client, "127.0.0.1", listener.localPort());
    client.Open();
    ASSERT_TRUE(pumpUntil([&] { return client.Connected(); }));
    pumpPending();

    TSock* accepted = nullptr;
    EXPECT_TRUE(listener.Accept(accepted));
    ASSERT_NE(accepted, nullptr);
    EXPECT_TRUE(accepted->Connected());
    EXPECT_EQ(listener.peerPort(), client.localPort());

    // Having accepted again, the listener hears of the next connection.
    TSock* next = nullptr;
    listener.OnAccept = [&](TSock* l) { l->Accept(next); };
    TSock second;
    pointAt(second, "127.0.0.1", listener.localPort());
    second.Open();
    ASSERT_TRUE(pumpUntil([&] { return next != nullptr; }));
    EXPECT_EQ(listener.peerPort(), second.localPort());
}

// ---------------------------------------------------------------------------

TEST(TSockMisuse, OperationsInTheWrongStateRaiseTheirTexts)
{
    TSock idle;
    EXPECT_EQ(raisedText([&] { idle.Send("x"); }), "Send - Socket Not Connected");
    EXPECT_EQ(raisedText([&] { idle.Receive(); }), "Receive - Socket Not Connected");
    TSock* none = nullptr;
    EXPECT_EQ(raisedText([&] { idle.Accept(none); }), "Accept - Socket Not In Listening Mode");

    TSock listener;
    listener.setPortName("0");
    listener.setListen(true);
    EXPECT_EQ(raisedText([&] { listener.Receive(); }), "Receive - Cannot Receive On A Listener Socket");
    EXPECT_EQ(raisedText([&] { listener.Send("x"); }), "Send - Cannot Send On A Listener Socket");
    EXPECT_EQ(raisedText([&] { listener.setSocketType(stDatagram); }),
        "SocketType - Can't Assign Socket Type While Listening");

    auto p = connectedPair();
    EXPECT_EQ(raisedText([&] { p->client->setSocketType(stDatagram); }),
        "SocketType - Can't Assign Socket Type While Connected");
    EXPECT_EQ(raisedText([&] { p->client->setListen(true); }), "Listen - Socket Already In Use");
    EXPECT_FALSE(p->client->Listen());
    EXPECT_TRUE(p->client->Connected());

    TSock datagram;
    datagram.setSocketType(stDatagram);
    EXPECT_EQ(raisedText([&] { datagram.setListen(true); }), "Listen - Cannot Listen On A Datagram Socket");
    EXPECT_FALSE(datagram.Listen());
}

TEST(TSockClose, CloseAlwaysReportsSocketClosedAndSwallowsHandlerFailures)
{
    TSock never;
    Recorder rec;
    rec.attach(never);
    EXPECT_FALSE(never.Close()); // nothing for the system to close
    EXPECT_FALSE(never.Close());
    EXPECT_THAT(rec.events, ElementsAre("Close: Socket Closed", "Close: Socket Closed"));

    auto p = connectedPair();
    p->client->OnInfo = [](TSock*, TSocketInfo, const std::string&) { throw std::runtime_error("boom"); };
    bool closed = false;
    EXPECT_NO_THROW(closed = p->client->Close());
    EXPECT_TRUE(closed);
    EXPECT_FALSE(p->client->isOpen());
}

TEST(TSockClose, EachConnectionEndsOnceWithItsReasonAndListenersNever)
{
    auto p = connectedPair();
    Recorder listenerRec, clientRec;
    listenerRec.attachWithEnds(*p->listener);
    clientRec.attachWithEnds(*p->client);

    p->client->Close();
    p->client->Close(); // a second Close has no connection left to end
    EXPECT_EQ(clientRec.count("OnEnded ClosedHere 0"), 1);

    // Reopened, the endpoint has a new connection whose end is reported again.
    p->client->Open();
    ASSERT_TRUE(pumpUntil([&] { return p->client->Connected(); }));
    p->client->Close();
    EXPECT_EQ(clientRec.count("OnEnded ClosedHere 0"), 2);

    p->listener->setListen(false);
    EXPECT_TRUE(listenerRec.has("Close: Socket Closed"));
    EXPECT_FALSE(listenerRec.has("OnEnded ClosedHere 0"));
}

// ---------------------------------------------------------------------------

TEST(TSockLifetime, DestroyingAConnectedEndpointClosesItWithoutCallingBack)
{
    auto p = connectedPair();
    Recorder clientRec;
    clientRec.attach(*p->client);
    Recorder serverRec;
    serverRec.attach(*p->server);

    p->client.reset();
    EXPECT_TRUE(clientRec.events.empty());
    ASSERT_TRUE(pumpUntil([&] { return serverRec.has("Close: Socket Closed"); }));
    EXPECT_THAT(serverRec.events, ElementsAre("OnDisconnect", "Close: Socket Closed"));
}

TEST(TSockLifetime, EndpointMayBeDeletedInsideItsOwnNotifications)
{
    // Deleted from its read handler.
    auto p = connectedPair();
    Recorder clientRec;
    clientRec.attach(*p->client);
    bool deleted = false;
    p->server->OnRead = [&](TSock* sender, int) {
        delete sender;
        deleted = true;
    };
    p->client->Send("x");
    ASSERT_TRUE(pumpUntil([&] { return deleted; }));
    EXPECT_TRUE(pumpUntil([&] { return clientRec.has("Close: Socket Closed"); }));
    EXPECT_TRUE(p->listener->findChildren<TSock*>().isEmpty());

    // Deleted by the information that its connection is over, in the middle
    // of handling the peer's close.
    auto q = connectedPair();
    deleted = false;
    q->server->OnInfo = [&](TSock* sender, TSocketInfo, const std::string& msg) {
        if (msg == "Socket Closed") {
            delete sender;
            deleted = true;
        }
    };
    q->client->Close();
    ASSERT_TRUE(pumpUntil([&] { return deleted; }));
    pumpPending();
    EXPECT_TRUE(q->listener->findChildren<TSock*>().isEmpty());
}

// ---------------------------------------------------------------------------

TEST(TSockLookup, DottedAddressIsUsedWithoutTheNameService)
{
    TSock listener;
    listener.setPortName("0");
    listener.setListen(true);
    const int before = tsocklookup::systemHostLookups();
    TSock client;
    pointAt(client, "127.0.0.1", listener.localPort());
    client.Open();
    ASSERT_TRUE(pumpUntil([&] { return client.Connected(); }));
    EXPECT_EQ(tsocklookup::systemHostLookups(), before);
}

TEST(TSockLookup, HostNameIsResolvedOnceThenServedFromTheCacheInAnyLetterCase)
{
    tsocklookup::clearHostCache();
    TSock listener;
    listener.setPortName("0");
    listener.setListen(true);
    const int before = tsocklookup::systemHostLookups();

    TSock first;
    Recorder rec;
    rec.attach(first);
    pointAt(first, "localhost", listener.localPort());
    first.Open();
    ASSERT_TRUE(pumpUntil([&] { return first.Connected(); }));
    EXPECT_EQ(tsocklookup::systemHostLookups(), before + 1);
    EXPECT_TRUE(rec.has("Lookup: Lookup Of Host localhost"));

    TSock second;
    pointAt(second, "LocalHost", listener.localPort());
    second.Open();
    ASSERT_TRUE(pumpUntil([&] { return second.Connected(); }));
    EXPECT_EQ(tsocklookup::systemHostLookups(), before + 1);
}

TEST(TSockLookup, UnknownHostsAndPortsRaiseTheirTextsAndOpenNothing)
{
    TSock badHost;
    Recorder rec;
    rec.attach(badHost);
    pointAt(badHost, "300.1.2.3", 7); // a leading digit is an address, never a name
    EXPECT_EQ(raisedText([&] { badHost.Open(); }), "Host Lookup - Could Not Find Host Entry");
    EXPECT_FALSE(badHost.isOpen());
    EXPECT_THAT(rec.events, ElementsAre("Lookup: Lookup Of Port 7", "Lookup: Lookup Of Host 300.1.2.3"));

    TSock badPort;
    badPort.setHostName("127.0.0.1");
    badPort.setPortName("no-such-service");
    EXPECT_EQ(raisedText([&] { badPort.Open(); }), "Port Lookup - Could Not Find Service Entry");
    EXPECT_FALSE(badPort.isOpen());
    badPort.setPortName("");
    EXPECT_EQ(raisedText([&] { badPort.setListen(true); }), "Port Lookup - Could Not Find Service Entry");
    EXPECT_FALSE(badPort.Listen());

    EXPECT_EQ(tsocklookup::resolvePort("http", stStream), 80);
    EXPECT_EQ(tsocklookup::resolvePort("echo", stDatagram), 7);
    EXPECT_EQ(tsocklookup::resolvePort("65535", stStream), 65535);
    EXPECT_EQ(raisedText([] { tsocklookup::resolvePort("65536", stStream); }),
        "Port Lookup - Could Not Find Service Entry");
    EXPECT_EQ(raisedText([] { tsocklookup::resolvePort("77x2", stStream); }),
        "Port Lookup - Could Not Find Service Entry");
}

TEST(TSockNames, InformationKindsAndErrorCodes)
{
    const char* kinds[] = { socketInfoName(siLookup), socketInfoName(siConnect), socketInfoName(siClose),
        socketInfoName(siListen), socketInfoName(siReceive), socketInfoName(siSend), socketInfoName(siAccept),
        socketInfoName(siError) };
    EXPECT_THAT(kinds,
        ElementsAre(std::string("Lookup"), std::string("Connect"), std::string("Close"),
            std::string("Listen"), std::string("Receive"), std::string("Send"), std::string("Accept"),
            std::string("Error")));

    EXPECT_EQ(socketErrorName(10004), "WSAEINTR");
    EXPECT_EQ(socketErrorName(10035), "WSAEWOULDBLOCK");
    EXPECT_EQ(socketErrorName(10061), "WSAECONNREFUSED");
    EXPECT_EQ(socketErrorName(10071), "WSAEREMOTE");
    EXPECT_EQ(socketErrorName(10101), "WSAEDISCON");
    EXPECT_EQ(socketErrorName(11004), "WSANO_DATA");
    for (int unknown : { 0, 10000, 10034, 10072, 10090, 10094, 11000, 11005 })
        EXPECT_EQ(socketErrorName(unknown), "UNKNOWN ERROR") << unknown;

    EXPECT_EQ(winsockCodeFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(winsockCodeFromErrno(ECONNRESET), 10054);
    EXPECT_EQ(winsockCodeFromErrno(EPIPE), 10054);
    EXPECT_EQ(winsockCodeFromErrno(ECONNABORTED), 10053);
    EXPECT_EQ(winsockCodeFromErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(winsockCodeFromErrno(EADDRINUSE), 10048);
    EXPECT_EQ(winsockCodeFromErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(winsockCodeFromErrno(EWOULDBLOCK), 10035);
    EXPECT_EQ(winsockCodeFromErrno(EINPROGRESS), 10036);
}

// ---------------------------------------------------------------------------

TEST(TSockDatagram, DatagramsGoToHostNameAndComeBackWithTheirSender)
{
    TSock udp;
    Recorder rec;
    rec.attach(udp);
    udp.setSocketType(stDatagram);
    udp.setPortName("0");
    udp.setHostName("127.0.0.1");
    EXPECT_TRUE(udp.Open());
    EXPECT_THAT(rec.events,
        ElementsAre("Lookup: Lookup Of Port 0", "Connect: Datagram Socket Connected", "OnConnect"));
    const int port = udp.localPort();
    ASSERT_GT(port, 0);

    // Nothing waiting: empty text and empty host at once.
    std::string text = "stale";
    std::string host = "stale";
    udp.ReceiveDatagram(text, host);
    EXPECT_EQ(text, "");
    EXPECT_EQ(host, "");

    // Send on a datagram endpoint goes to HostName, here the endpoint itself.
    rec.events.clear();
    EXPECT_TRUE(udp.Send("ping"));
    ASSERT_TRUE(pumpUntil([&] { return rec.has("OnRead 0"); }));
    udp.ReceiveDatagram(text, host);
    EXPECT_EQ(text, "ping");
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(udp.peerPort(), port);

    // From another sender, through Receive.
    Fd other = boundSocket(SOCK_DGRAM);
    const sockaddr_in to = loopback(port);
    ASSERT_EQ(::sendto(other.fd, "hello", 5, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to), 5);
    ASSERT_TRUE(pumpUntil([&] { return rec.count("OnRead 0") == 2; }));
    EXPECT_EQ(udp.Receive(), "hello");
    EXPECT_EQ(udp.peerPort(), boundPort(other.fd));

    rec.events.clear();
    udp.Close();
    EXPECT_THAT(rec.events, ElementsAre("Close: Socket Closed"));
}

TEST(TSockDatagram, DatagramOperationsCheckTheEndpoint)
{
    TSock closed;
    closed.setSocketType(stDatagram);
    std::string text;
    std::string host;
    EXPECT_EQ(
        raisedText([&] { closed.SendDatagram("x", "127.0.0.1"); }), "SendDatagram - Socket Not Connected");
    EXPECT_EQ(
        raisedText([&] { closed.ReceiveDatagram(text, host); }), "ReceiveDatagram - Socket Not Connected");

    auto p = connectedPair();
    EXPECT_EQ(raisedText([&] { p->client->SendDatagram("x", "127.0.0.1"); }),
        "SendDatagram - Datagram Send Not Supported On Stream Sockets");
    EXPECT_EQ(raisedText([&] { p->client->ReceiveDatagram(text, host); }),
        "ReceiveDatagram - Datagram Receive Not Supported On Stream Sockets");
}

// ---------------------------------------------------------------------------
// Blocking endpoints run on this one thread too. The system completes a TCP
// handshake into the listener's backlog by itself, so a blocking connect
// returns before the listener accepts through the event loop. Each blocking
// wait below has its data ready; the timeout is only a safety net.

constexpr int kSafetySeconds = 10;

TEST(TSockBlocking, ConnectSendReceiveAndPeerClose)
{
    TSock listener;
    TSock* server = nullptr;
    std::string arrived;
    listener.setPortName("0");
    listener.OnAccept = [&](TSock* l) { l->Accept(server); };
    listener.OnRead = [&](TSock* s, int) { arrived += s->Receive(); };
    listener.setListen(true);

    TSock client;
    Recorder rec;
    rec.attach(client);
    client.setBlocking(true);
    client.setBlockingTimeout(kSafetySeconds);
    pointAt(client, "127.0.0.1", listener.localPort());

    EXPECT_TRUE(client.Open());
    EXPECT_TRUE(client.Send("ping"));
    EXPECT_THAT(rec.events,
        ElementsAre("Lookup: Lookup Of Port " + std::to_string(listener.localPort()),
            "Lookup: Lookup Of Host 127.0.0.1", "Connect: Blocking Socket Connected", "OnConnect",
            "Send: Blocking Outgoing Data"));
    ASSERT_TRUE(pumpUntil([&] { return server != nullptr && arrived == "ping"; }));

    server->Send("pong");
    rec.events.clear();
    EXPECT_EQ(client.Receive(), "pong");
    EXPECT_THAT(rec.events, ElementsAre("Receive: Blocking Incoming Data"));

    // With no time to wait and nothing there, Receive returns at once.
    client.setBlockingTimeout(0);
    rec.events.clear();
    EXPECT_EQ(client.Receive(), "");
    EXPECT_TRUE(rec.events.empty());

    client.setBlockingTimeout(kSafetySeconds);
    server->Close();
    EXPECT_EQ(client.Receive(), "");
    EXPECT_THAT(rec.events,
        ElementsAre("Receive: Blocking Incoming Data", "Close: Socket Disconnected On Receive",
            "Close: Socket Closed", "OnDisconnect"));
    EXPECT_FALSE(client.isOpen());
}

TEST(TSockBlocking, RefusedConnectClosesTheEndpoint)
{
    ReservedPort reserved;
    TSock client;
    Recorder rec;
    rec.attach(client);
    client.setBlocking(true);
    pointAt(client, "127.0.0.1", reserved.port);

    EXPECT_FALSE(client.Open());
    EXPECT_THAT(rec.events,
        ElementsAre("Lookup: Lookup Of Port " + std::to_string(reserved.port),
            "Lookup: Lookup Of Host 127.0.0.1", "Close: Blocking Socket Can't Connect",
            "Close: Socket Closed"));
    EXPECT_FALSE(client.isOpen());
}

TEST(TSockBlocking, ReceiveAndSendFailAfterAReset)
{
    RawListener raw;
    TSock client;
    Recorder rec;
    rec.attach(client);
    client.setBlocking(true);
    client.setBlockingTimeout(kSafetySeconds);
    pointAt(client, "127.0.0.1", raw.port);
    ASSERT_TRUE(client.Open());
    Fd peer = raw.acceptOne();
    resetConnection(peer);

    rec.events.clear();
    EXPECT_EQ(raisedText([&] { client.Receive(); }), "Receive - Socket Error WSAECONNRESET");
    EXPECT_THAT(rec.events, ElementsAre("Receive: Blocking Incoming Data", "Error: Socket Error On Receive"));

    rec.events.clear();
    EXPECT_EQ(raisedText([&] { client.Send("late"); }), "Send - Socket Error");
    EXPECT_THAT(rec.events, ElementsAre("Error: Socket Error On Send"));
}

// ---------------------------------------------------------------------------

TEST(TSockStreamAdapter, ReadsWhatWasWrittenInTheCallersPieces)
{
    auto p = connectedPair();
    TSockStream out(*p->client);
    TSockStream in(*p->server);
    int available = 0;
    p->server->OnRead = [&](TSock*, int count) { available = count; };

    EXPECT_EQ(out.Write("hello", 5), 5);
    ASSERT_TRUE(pumpUntil([&] { return available == 5; }));

    char buffer[8] = {};
    EXPECT_EQ(in.Read(buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "hel");
    EXPECT_EQ(in.Read(buffer, 8), 2);
    EXPECT_EQ(std::string(buffer, 2), "lo");
    EXPECT_EQ(in.Read(buffer, 8), 0);
    EXPECT_EQ(in.Seek(42, 0), 0);
}

// ---------------------------------------------------------------------------

TEST(TSockHandlers, FailingInformationHandlerBecomesErrorHere)
{
    TSock listener;
    listener.OnInfo = [](TSock*, TSocketInfo, const std::string&) { throw std::runtime_error("boom"); };
    listener.setPortName("0");
    EXPECT_EQ(raisedText([&] { listener.setListen(true); }), "Error here");
    EXPECT_FALSE(listener.Listen());
    EXPECT_FALSE(listener.isOpen());
}

TEST(TSockHandlers, FailuresDuringNotificationsReachTheExceptionHandler)
{
    EscapedExceptions escaped;
    auto p = connectedPair();
    int reads = 0;
    p->server->OnInfo = [](TSock*, TSocketInfo, const std::string& msg) {
        if (msg == "Non-Blocking Incoming Data")
            throw std::runtime_error("boom");
    };
    p->server->OnRead = [&](TSock*, int) { ++reads; };

    p->client->Send("a");
    ASSERT_TRUE(pumpUntil([&] { return !escaped.messages.empty(); }));
    EXPECT_THAT(escaped.messages, ElementsAre("Error here"));
    EXPECT_EQ(reads, 0); // the failure ended that notification

    // The endpoint goes on working after a handler failed.
    p->server->OnInfo = nullptr;
    p->server->OnRead = [&](TSock*, int) {
        ++reads;
        throw std::runtime_error("read failed");
    };
    p->client->Send("b");
    ASSERT_TRUE(pumpUntil([&] { return escaped.messages.size() == 2; }));
    EXPECT_EQ(escaped.messages[1], "read failed");
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(p->server->Receive(), "ab");
}

} // namespace
