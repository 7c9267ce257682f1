// Dispatch and sending: every waiting message handled in one dispatch, the
// connections in turn, a departed connection's backlog never left behind,
// one write per connection per dispatch, removals told, and relays that fit.
#include "memory_fixture.h"

#include "server_limits.h"
#include "text_codec.h"
#include "wire_limits.h"

#include <QAbstractEventDispatcher>

using Messages = std::vector<std::string>;

class Dispatch : public MemoryServerFixture {
protected:
    static std::string chat(const MemoryPeer& peer, const std::string& text)
    {
        return "CMD_chat+" + std::to_string(peer.number()) + "+" + text + "|clRed";
    }

    // Many messages arriving in one read, as a fast peer's would.
    static void burst(MemoryPeer& peer, const std::vector<std::string>& messages)
    {
        std::string bytes;
        for (const std::string& message : messages)
            bytes += message + wire::kEndByte;
        peer.sendRaw(bytes);
    }

    static std::vector<std::string> chats(const MemoryPeer& peer, const std::string& stem, int count)
    {
        std::vector<std::string> messages;
        for (int i = 1; i <= count; ++i)
            messages.push_back(chat(peer, stem + std::to_string(i)));
        return messages;
    }
};

TEST_F(Dispatch, OneDispatchHandsOverEveryWaitingMessage)
{
    std::vector<std::unique_ptr<MemoryPeer>> peers;
    for (const char* name : { "Host", "Ann", "Bob", "Cid" })
        peers.push_back(join(name));
    MemoryPeer& host = *peers[0];
    host.takeNew();
    for (auto& peer : peers)
        burst(*peer, chats(*peer, "from " + std::to_string(peer->number()) + ": ", 25));
    ASSERT_EQ(server->queuedMessages(), 100u);
    server->socktimerTimer();
    EXPECT_EQ(server->queuedMessages(), 0u);
    EXPECT_EQ(host.takeNew().size(), 100u);
}

TEST_F(Dispatch, ConnectionsTakeTurnsSoNoBacklogDelaysAnother)
{
    auto host = join("Host");
    auto ann = join("Ann");
    auto bob = join("Bob");
    host->takeNew();
    burst(*ann, chats(*ann, "a", 50));
    bob->send(chat(*bob, "b1"));
    server->socktimerTimer();
    const Messages heard = host->takeNew();
    ASSERT_EQ(heard.size(), 51u);
    // Bob's one message comes right after Ann's first, not after all fifty;
    // each connection's own messages keep their order.
    const auto at = std::find(heard.begin(), heard.end(), "CMD_chat+Bob chats: b1|clRed");
    ASSERT_NE(at, heard.end());
    EXPECT_LE(at - heard.begin(), 1);
    Messages annsOwn;
    std::copy_if(heard.begin(), heard.end(), std::back_inserter(annsOwn),
        [](const std::string& m) { return m.rfind("CMD_chat+Ann", 0) == 0; });
    EXPECT_EQ(annsOwn.front(), "CMD_chat+Ann chats: a1|clRed");
    EXPECT_EQ(annsOwn.back(), "CMD_chat+Ann chats: a50|clRed");
}

TEST_F(Dispatch, AFastPeerNeverReachesTheFloodLimit)
{
    auto host = join("Host");
    auto ann = join("Ann");
    host->takeNew();
    const std::size_t justUnder = wire::kMaxQueuedPerConnection - 1;
    for (int round = 0; round < 5; ++round) {
        burst(*ann, chats(*ann, "fast", int(justUnder)));
        server->socktimerTimer();
    }
    EXPECT_TRUE(ann->open());
    EXPECT_EQ(host->takeNew().size(), 5 * justUnder);

    // One past the limit before a dispatch is a flood: closed, and what it
    // queued is dropped.
    host->takeNew();
    burst(*ann, chats(*ann, "flood", int(wire::kMaxQueuedPerConnection) + 1));
    EXPECT_FALSE(ann->open());
    EXPECT_EQ(server->queuedMessages(), 0u);
    drain();
    EXPECT_EQ(host->takeNew(), (Messages { "CMD_playerdisconnected+2+Ann" }));
}

TEST_F(Dispatch, AReconnectingBacklogIsNeverLeftBehind)
{
    auto host = join("Host");
    auto ann = join("Ann");
    for (int cycle = 0; cycle < 300; ++cycle) {
        auto attacker = connect();
        ASSERT_EQ(attacker->number(), 3);
        burst(*attacker, chats(*attacker, "x", int(wire::kMaxQueuedPerConnection) - 1));
        ann->send(chat(*ann, "word " + std::to_string(cycle)));
        attacker->hangUp();
        // The departed connection's messages were handled as it left.
        ASSERT_LE(server->queuedMessages(), 1u);
        host->takeNew();
        // Ann's message is answered at the very next dispatch.
        server->socktimerTimer();
        ASSERT_EQ(
            host->takeNew(), (Messages { "CMD_chat+Ann chats: word " + std::to_string(cycle) + "|clRed" }));
    }
}

TEST_F(Dispatch, ARemovedPlayerIsToldLeavesItsSlotAtOnceAndIsClosedAMomentLater)
{
    auto host = join("Host");
    auto bob = join("Bob");
    auto cid = join("Cid");
    for (auto* peer : { host.get(), bob.get(), cid.get() })
        peer->takeNew();
    cid->send(chat(*cid, "never relayed"));
    server->dispatch(1, "CMD_kickhim+1+3+");
    EXPECT_EQ(cid->takeNew(), (Messages { "CMD_playerdisconnected+3+Cid" }));
    EXPECT_EQ(host->takeNew(), (Messages { "CMD_playerdisconnected+3+Cid" }));
    EXPECT_EQ(bob->takeNew(), (Messages { "CMD_playerdisconnected+3+Cid" }));
    EXPECT_EQ(server->queuedMessages(), 0u);
    EXPECT_EQ(server->player(3).connected, 0);

    // Until it is closed, what it sends reaches nobody, and its number is
    // already free for a newcomer.
    cid->send(chat(*cid, "still here"));
    cid->send("CMD_logininfo+3+2.0.5+Cid");
    auto dee = join("Dee");
    EXPECT_EQ(dee->number(), 3);
    drain();
    EXPECT_EQ(server->player(3).name, "Dee");
    EXPECT_EQ(bob->takeNew(), (Messages { "CMD_newplayerinfo+3+Dee" }));
    EXPECT_TRUE(cid->takeNew().empty());

    // Closed at the second tick of the login clock, never the first.
    server->logintimeTimer();
    EXPECT_TRUE(cid->open());
    server->logintimeTimer();
    EXPECT_FALSE(cid->open());
    EXPECT_EQ(cid->closedByServer(), 1);
    EXPECT_TRUE(dee->open());
    EXPECT_TRUE(bob->takeNew().empty()); // nobody hears of it again
}

TEST_F(Dispatch, RemovedConnectionsWaitingToCloseAreBounded)
{
    auto host = join("Host");
    std::vector<std::unique_ptr<MemoryPeer>> removed;
    for (std::size_t k = 0; k < serverlimits::kMaxRemovedWaiting + 3; ++k) {
        removed.push_back(connect());
        ASSERT_EQ(removed.back()->number(), 2);
        server->dispatch(1, "CMD_kickhim+1+2+");
    }
    // The oldest were closed as newer ones came; the newest wait their turn.
    std::size_t open = 0;
    for (std::size_t k = 0; k < removed.size(); ++k) {
        open += removed[k]->open() ? 1 : 0;
        EXPECT_EQ(removed[k]->open(), k >= 3) << k;
    }
    EXPECT_EQ(open, serverlimits::kMaxRemovedWaiting);
    for (int tick = 0; tick < serverlimits::kRemovedCloseTicks; ++tick)
        server->logintimeTimer();
    for (auto& peer : removed)
        EXPECT_FALSE(peer->open());
    EXPECT_TRUE(host->open());
}

TEST_F(Dispatch, EachConnectionGetsOneWritePerDispatch)
{
    std::vector<std::unique_ptr<MemoryPeer>> peers;
    for (int n = 1; n <= kSlots; ++n)
        peers.push_back(join("P" + std::to_string(n)));
    std::vector<std::size_t> before;
    for (auto& peer : peers) {
        peer->takeNew();
        before.push_back(peer->sends());
    }
    // The round's start: the request, nine rows, the bonus cells, the round.
    peers[0]->send("CMD_startgame+1+3+n+2+");
    drain();
    for (std::size_t i = 0; i < peers.size(); ++i) {
        EXPECT_EQ(peers[i]->sends(), before[i] + 1);
        EXPECT_EQ(peers[i]->takeNew().size(), 12u);
    }

    // Four seats' words in one dispatch reach every peer in one write.
    for (int x = 0; x < 3; ++x)
        server->boardForTests().board[x][4] = std::array { 3, 1, 20 }[std::size_t(x)];
    for (int seat = 1; seat <= kSeats; ++seat)
        peers[std::size_t(seat - 1)]->send("CMD_wordcomplete+" + std::to_string(seat) + "+0.4+1.4+2.4");
    for (std::size_t i = 0; i < peers.size(); ++i)
        before[i] = peers[i]->sends();
    server->socktimerTimer();
    for (std::size_t i = 0; i < peers.size(); ++i) {
        EXPECT_EQ(peers[i]->sends(), before[i] + 1);
        EXPECT_EQ(peers[i]->takeNew().size(), 4u);
        EXPECT_TRUE(peers[i]->framedEverySend());
    }
}

TEST_F(Dispatch, WhatOneDispatchGathersIsWrittenInBoundedPieces)
{
    auto host = join("Host");
    auto ann = join("Ann");
    const std::size_t before = ann->sends();
    const std::string text(wire::kMaxMessageBytes - 64, 'x');
    burst(*host, std::vector<std::string>(60, chat(*host, text)));
    server->socktimerTimer();
    EXPECT_EQ(ann->takeNew().size(), 63u);
    // 60 relays of about 4 KiB: several writes, none much past the bound.
    EXPECT_GT(ann->sends() - before, 2u);
    EXPECT_TRUE(ann->framedEverySend());
}

// A server whose dispatch is the event loop's (its own timer, never run here), beside
// the fixture's hand-driven one, with one peer.
struct LoopDrivenServer {
    explicit LoopDrivenServer(const std::string& records)
        : server(optionsFor(folder, records), transport)
    {
    }
    static TServer::Options optionsFor(const QTemporaryDir& folder, const std::string& records)
    {
        TServer::Options options;
        options.dictionaryPath = folder.filePath("English").toStdString();
        options.wordRecords = records;
        options.secondMs = 24 * 3600 * 1000;
        options.dispatchIntervalMs = 10;
        options.loginTickMs = 0;
        return options;
    }
    QTemporaryDir folder;
    InMemoryTransport transport;
    TServer server;
    MemoryPeer peer { transport };
};

TEST_F(Dispatch, TheDispatchTimerRunsOnlyWhileMessagesWait)
{
    LoopDrivenServer own(records);
    EXPECT_FALSE(own.server.dispatchTimerActive());
    burst(own.peer, { "CMD_logininfo+1+2.0.5+Ann", "CMD_chat+1+hi|clRed" });
    EXPECT_TRUE(own.server.dispatchTimerActive());
    own.server.socktimerTimer();
    EXPECT_EQ(own.server.queuedMessages(), 0u);
    EXPECT_FALSE(own.server.dispatchTimerActive());
    EXPECT_EQ(own.peer.received().back(), "CMD_chat+Ann chats: hi|clRed");
}

TEST_F(Dispatch, WhatATurnBroughtIsAnsweredBeforeTheEventLoopWaits)
{
    LoopDrivenServer own(records);
    burst(own.peer, { "CMD_logininfo+1+2.0.5+Ann", "CMD_chat+1+hi|clRed" });
    // The loop is about to wait: the chat is relayed now, not a turn later.
    emit QAbstractEventDispatcher::instance()->aboutToBlock();
    EXPECT_EQ(own.server.queuedMessages(), 0u);
    EXPECT_FALSE(own.server.dispatchTimerActive());
    EXPECT_EQ(own.peer.received().back(), "CMD_chat+Ann chats: hi|clRed");
    // Nothing waiting: another wait handles nothing and arms nothing.
    const std::size_t heard = own.peer.received().size();
    emit QAbstractEventDispatcher::instance()->aboutToBlock();
    EXPECT_EQ(own.peer.received().size(), heard);
    EXPECT_FALSE(own.server.dispatchTimerActive());
}

class Relays : public Dispatch {
protected:
    // Sends text as a chat (or action) from a peer with the longest name and
    // returns the relay every peer received.
    std::string relayOf(const std::string& command, const std::string& text)
    {
        if (!sender) {
            sender = join(std::string(wire::kMaxNameBytes, 'N'));
            listener = join("Ann");
        }
        listener->takeNew();
        sender->send(command + "+1+" + text);
        drain();
        const Messages heard = listener->takeNew();
        return heard.size() == 1 ? heard[0] : std::string("(" + std::to_string(heard.size()) + " messages)");
    }

    std::unique_ptr<MemoryPeer> sender, listener;
};

TEST_F(Relays, AChatJustUnderTheLimitIsCutSoItsRelayFitsAndKeepsItsColour)
{
    const std::string lead = "CMD_chat+" + std::string(wire::kMaxNameBytes, 'N') + " chats: ";
    // The longest chat a window can send: its request is exactly the limit.
    const std::string text = std::string(wire::kMaxMessageBytes - 11 - 6, 'x') + "|clRed";
    const std::string relay = relayOf("CMD_chat", text);
    EXPECT_EQ(relay.size(), wire::kMaxMessageBytes);
    EXPECT_EQ(relay, lead + std::string(wire::kMaxMessageBytes - lead.size() - 6, 'x') + "|clRed");

    // Text after the last "|" is the colour, whatever comes before it.
    const std::string barred = std::string(2000, 'a') + "|" + std::string(2060, 'b') + "|$00123456";
    const std::string relayed = relayOf("CMD_chat", barred);
    EXPECT_EQ(relayed.size(), wire::kMaxMessageBytes);
    EXPECT_EQ(relayed.substr(relayed.size() - 10), "|$00123456");
}

TEST_F(Relays, TheCutNeverSplitsACharacterAndTextWithoutColourIsCutPlainly)
{
    std::string accents;
    while (accents.size() < wire::kMaxMessageBytes - 20)
        accents += "\xC3\xA9";
    // The room left for the accents is odd, so a cut at the limit would fall
    // inside a character: it backs off by one byte.
    const std::string relay = relayOf("CMD_chat", accents + "|clRed");
    EXPECT_EQ(relay.size(), wire::kMaxMessageBytes - 1);
    EXPECT_EQ(relay.substr(relay.size() - 6), "|clRed");
    EXPECT_TRUE(wire::readsAsUtf8(relay.substr(0, relay.size() - 6)));

    const std::string plain = relayOf("CMD_chat", std::string(4050, 'p'));
    EXPECT_EQ(plain.size(), wire::kMaxMessageBytes);
    // A "colour" too long to keep is cut like any text.
    const std::string noColour = relayOf("CMD_chat", "|" + std::string(4050, 'c'));
    EXPECT_EQ(noColour.size(), wire::kMaxMessageBytes);
}

TEST_F(Relays, ActionsAreCutTheSameWay)
{
    const std::string text = std::string(wire::kMaxMessageBytes - 13 - 6, 'w') + "|clRed";
    const std::string relay = relayOf("CMD_action", text);
    EXPECT_EQ(relay.size(), wire::kMaxMessageBytes);
    EXPECT_EQ(relay.rfind("CMD_action+" + std::string(wire::kMaxNameBytes, 'N') + " www", 0), 0u);
    EXPECT_EQ(relay.substr(relay.size() - 6), "|clRed");
    // Short lines go through untouched.
    EXPECT_EQ(relayOf("CMD_action", "waves|clRed"),
        "CMD_action+" + std::string(wire::kMaxNameBytes, 'N') + " waves|clRed");
}
