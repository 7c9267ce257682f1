// The server's conversations: numbering, login, relays, removal, departures,
// and everything a hostile peer might try.
#include "server_fixture.h"

#include "wire_limits.h"

#include <algorithm>

using testsupport::RawClient;

namespace {

bool contains(const std::vector<std::string>& messages, const std::string& text)
{
    return std::find(messages.begin(), messages.end(), text) != messages.end();
}

bool anyStartsWith(const std::vector<std::string>& messages, const std::string& prefix)
{
    return std::any_of(
        messages.begin(), messages.end(), [&](const std::string& m) { return m.rfind(prefix, 0) == 0; });
}

// A message sent after the one under test: once its echo is back, the server
// has handled everything the peer sent before it.
void roundTrip(RawClient& peer, const std::string& name, const std::string& marker)
{
    peer.send("CMD_chat+" + std::to_string(peer.number()) + "+" + marker + "|clBlack");
    ASSERT_TRUE(peer.waitFor("CMD_chat+" + name + " chats: " + marker + "|clBlack"));
}

} // namespace

class Connections : public ServerFixture { };

TEST_F(Connections, NumbersFromOneAndRefusesATenth)
{
    std::vector<std::unique_ptr<RawClient>> peers;
    for (int expected = 1; expected <= 9; ++expected) {
        peers.push_back(connectPeer());
        EXPECT_EQ(peers.back()->number(), expected);
    }
    EXPECT_EQ(server->slotsHandedOut(), 9);
    for (auto& p : peers)
        p->takeNew();

    RawClient tenth(port);
    ASSERT_TRUE(tenth.waitForClose());
    EXPECT_EQ(tenth.received(), (std::vector<std::string> { "CMD_full+" }));
    EXPECT_EQ(server->slotsHandedOut(), 9);
    settle();
    for (auto& p : peers)
        EXPECT_TRUE(p->takeNew().empty());
}

TEST_F(Connections, LoginAnnouncesToAllAndListsTheOthersToTheNewcomer)
{
    auto host = loginPeer("Host");
    auto spy = connectPeer(); // numbered 2 but never logs in
    auto ann = connectPeer();
    ASSERT_EQ(ann->number(), 3);
    host->takeNew();
    ann->takeNew();
    ann->login("Ann + Co");
    ASSERT_TRUE(ann->waitFor("CMD_existingplayers+2+"));
    EXPECT_EQ(ann->takeNew(),
        (std::vector<std::string> {
            "CMD_newplayerinfo+3+Ann + Co", "CMD_existingplayers+1+Host", "CMD_existingplayers+2+" }));
    EXPECT_TRUE(host->waitFor("CMD_newplayerinfo+3+Ann + Co"));
    EXPECT_TRUE(spy->waitFor("CMD_newplayerinfo+3+Ann + Co"));
}

TEST_F(Connections, VersionMismatchWarnsBothAndKeepsTheNewcomer)
{
    auto host = loginPeer("Host");
    auto old = connectPeer();
    old->login("Old", "2.0.4");
    EXPECT_TRUE(host->waitFor("CMD_havewrongversion+Old"));
    EXPECT_TRUE(old->waitFor("CMD_wrongversion+"));
    roundTrip(*old, "Old", "still here");
    EXPECT_EQ(host->count("CMD_wrongversion+"), 0);
}

TEST_F(Connections, RelaysChatActionsAndSoundsToEverybody)
{
    auto host = loginPeer("Host");
    auto ann = loginPeer("Ann");
    ann->send("CMD_chat+2+hi + hello|clRed");
    ann->send("CMD_action+2+waves|$00123456");
    ann->send("CMD_playasound+2+wave3+");
    for (RawClient* peer : { host.get(), ann.get() }) {
        EXPECT_TRUE(peer->waitFor("CMD_chat+Ann chats: hi + hello|clRed"));
        EXPECT_TRUE(peer->waitFor("CMD_action+Ann waves|$00123456"));
        EXPECT_TRUE(peer->waitFor("CMD_playasound+2+wave3+"));
    }
}

TEST_F(Connections, OnlyTheHostRemovesAndOnlyTakenSlots)
{
    auto host = loginPeer("Host");
    auto bob = loginPeer("Bob");
    auto cid = loginPeer("Cid");

    bob->send("CMD_kickhim+2+3+");
    roundTrip(*bob, "Bob", "after kick");
    EXPECT_FALSE(cid->closed());

    host->send("CMD_kickhim+1+5+"); // a free slot: nothing happens
    host->send("CMD_kickhim+1+3+");
    // The removed window is told, so it can say why its connection ends,
    // and everybody else at once.
    ASSERT_TRUE(cid->waitFor("CMD_playerdisconnected+3+Cid"));
    EXPECT_TRUE(host->waitFor("CMD_playerdisconnected+3+Cid"));
    EXPECT_TRUE(bob->waitFor("CMD_playerdisconnected+3+Cid"));
    EXPECT_EQ(server->player(3).connected, 0);
    // Its connection ends a moment later, once the goodbye is surely out.
    server->logintimeTimer();
    settle();
    EXPECT_FALSE(cid->closed());
    server->logintimeTimer();
    ASSERT_TRUE(cid->waitForClose());
    EXPECT_EQ(cid->received().back(), "CMD_playerdisconnected+3+Cid");
    EXPECT_FALSE(bob->closed());
}

TEST_F(Connections, ADepartureFreesTheLowestNumberForTheNextNewcomer)
{
    auto host = loginPeer("Host");
    auto bob = loginPeer("Bob");
    auto c3 = loginPeer("C");
    auto c4 = loginPeer("D");
    auto spy5 = loginPeer("E");
    auto spy6 = loginPeer("F");
    bob->close();
    EXPECT_TRUE(host->waitFor("CMD_playerdisconnected+2+Bob"));
    EXPECT_TRUE(spy6->waitFor("CMD_playerdisconnected+2+Bob"));
    auto next = connectPeer();
    EXPECT_EQ(next->number(), 2);
    EXPECT_EQ(server->slotsHandedOut(), 6);
}

TEST_F(Connections, AResetFreesTheSlotLikeAClose)
{
    auto host = loginPeer("Host");
    auto bob = loginPeer("Bob");
    bob->abort();
    EXPECT_TRUE(host->waitFor("CMD_playerdisconnected+2+Bob"));
    EXPECT_EQ(server->player(2).connected, 0);
    auto next = connectPeer();
    EXPECT_EQ(next->number(), 2);
}

TEST_F(Connections, AMessageNamingAnotherConnectionIsDropped)
{
    auto host = loginPeer("Host");
    auto bob = loginPeer("Bob");
    auto cid = loginPeer("Cid");
    host->takeNew();
    bob->send("CMD_chat+1+forged|clRed"); // pretends to be the host
    bob->send("CMD_kickhim+1+3+"); // a removal in the host's name
    bob->send("CMD_logininfo+3+2.0.5+Evil"); // renaming somebody else
    bob->send("CMD_startgame+1+3+n+2+");
    roundTrip(*bob, "Bob", "done");
    EXPECT_FALSE(cid->closed());
    EXPECT_EQ(server->player(3).name, "Cid");
    EXPECT_FALSE(server->isGameRunning());
    auto seen = host->takeNew();
    EXPECT_FALSE(contains(seen, "CMD_chat+Host chats: forged|clRed"));
    EXPECT_FALSE(anyStartsWith(seen, "CMD_newplayerinfo+3+Evil"));
}

TEST_F(Connections, MalformedFieldsNeverCrashOrIndexOutsideTheSlots)
{
    auto host = loginPeer("Host");
    auto bob = loginPeer("Bob");
    for (const char* junk : { "CMD_kickhim+1+0+", "CMD_kickhim+1+10+", "CMD_kickhim+1+-1+",
             "CMD_kickhim+1+99999999999+", "CMD_kickhim+1+x+", "CMD_kickhim+1", "CMD_kickhim+", "CMD_chat+",
             "CMD_chat+1", "CMD_chat+abc+hi|clRed", "CMD_logininfo+1", "CMD_logininfo+1+", "CMD_playasound+1",
             "CMD_startgame+1+", "CMD_wordcomplete+1+", "CMD_wordcomplete+1+99.99", "CMD_useletter+1+",
             "CMD_unknown+1+", "no plus at all", "+", "", "CMD_chat+0+x", "CMD_chat+10+x", "CMD_chat+-1+x" })
        host->send(junk);
    roundTrip(*host, "Host", "alive");
    EXPECT_FALSE(bob->closed());
    EXPECT_EQ(server->player(2).name, "Bob");
}

TEST_F(Connections, LongNamesAreCut)
{
    auto peer = connectPeer();
    peer->login(std::string(200, 'n'));
    EXPECT_TRUE(peer->waitFor("CMD_newplayerinfo+1+" + std::string(wire::kMaxNameBytes, 'n')));
}

TEST_F(Connections, UnterminatedFloodClosesTheConnection)
{
    auto host = loginPeer("Host");
    auto bob = loginPeer("Bob");
    bob->sendRaw(std::string(wire::kMaxUnterminatedBytes + 10, 'x'));
    ASSERT_TRUE(bob->waitForClose());
    EXPECT_TRUE(host->waitFor("CMD_playerdisconnected+2+Bob"));
}

TEST_F(Connections, TooManyQueuedMessagesCloseTheConnection)
{
    auto host = loginPeer("Host");
    auto bob = loginPeer("Bob");
    std::string burst;
    for (std::size_t i = 0; i <= wire::kMaxQueuedPerConnection + 10; ++i)
        burst += "CMD_chat+2+x|clRed\xFF";
    dispatchByHand(false); // the whole burst queues up
    bob->sendRaw(burst);
    ASSERT_TRUE(bob->waitForClose());
    dispatchByHand(true);
    EXPECT_TRUE(host->waitFor("CMD_playerdisconnected+2+Bob"));
}

TEST_F(Connections, ADepartedConnectionsLastMessagesComeBeforeItsDepartureNeverForItsSuccessor)
{
    auto host = loginPeer("Host");
    auto bob = loginPeer("Bob");
    dispatchByHand(false);
    bob->send("CMD_chat+2+last words|clRed");
    // The chat is read and queued, then the connection goes before dispatch.
    ASSERT_TRUE(testsupport::pumpUntil([&] { return server->queuedMessages() == 1; }));
    host->takeNew();
    bob->close();
    ASSERT_TRUE(testsupport::pumpUntil([&] { return server->player(2).connected == 0; }));
    EXPECT_EQ(server->queuedMessages(), 0u);
    ASSERT_TRUE(host->waitFor("CMD_playerdisconnected+2+Bob"));
    EXPECT_EQ(host->takeNew(),
        (std::vector<std::string> {
            "CMD_chat+Bob chats: last words|clRed", "CMD_playerdisconnected+2+Bob" }));
    dispatchByHand(true);
    auto carl = loginPeer("Carl");
    ASSERT_EQ(carl->number(), 2);
    roundTrip(*carl, "Carl", "mine");
    EXPECT_EQ(host->count("CMD_chat+Carl chats: last words|clRed"), 0);
    EXPECT_EQ(host->count("CMD_chat+Bob chats: last words|clRed"), 1);
}
