// The server on its in-memory transport: whole conversations with no socket,
// the dispatch table's refusals, and the limits on what a peer makes us hold.
#include "memory_fixture.h"

#include "server_limits.h"
#include "text_codec.h"
#include "wire_limits.h"

using Messages = std::vector<std::string>;

class MemoryServer : public MemoryServerFixture {
protected:
    // Puts c-a-t on row 4, columns 0 to 2 (no bonus cells there).
    void layCat()
    {
        const int codes[] = { 3, 1, 20 };
        for (int x = 0; x < 3; ++x)
            server->boardForTests().board[x][4] = codes[x];
    }
};

TEST_F(MemoryServer, ALoginAndAWordTravelWithoutASocket)
{
    auto host = connect();
    EXPECT_EQ(host->takeNew(), (Messages { "CMD_sendlogininfo+1" }));
    host->login("Host");
    EXPECT_EQ(server->queuedMessages(), 1u); // queued until dispatch takes it
    EXPECT_TRUE(host->takeNew().empty());
    drain();
    EXPECT_EQ(host->takeNew(), (Messages { "CMD_newplayerinfo+1+Host" }));

    auto bob = connect();
    bob->login("Bob");
    drain();
    EXPECT_EQ(bob->takeNew(),
        (Messages { "CMD_sendlogininfo+2", "CMD_newplayerinfo+2+Bob", "CMD_existingplayers+1+Host" }));
    EXPECT_EQ(host->takeNew(), (Messages { "CMD_newplayerinfo+2+Bob" }));

    host->send("CMD_startgame+1+3+n+2+");
    drain();
    const Messages dealt = host->takeNew();
    ASSERT_EQ(dealt.size(), 12u);
    EXPECT_EQ(dealt[0], "CMD_startgame+1+3+n+2+");
    for (int y = 0; y < kBoardRows; ++y)
        EXPECT_EQ(dealt[std::size_t(1 + y)], boardRowMessage(server->currentBoard(), y));
    EXPECT_EQ(dealt[10], "CMD_setbonustiles+");
    EXPECT_EQ(dealt[11], "CMD_nextround+1");
    EXPECT_EQ(bob->takeNew(), dealt);

    layCat();
    bob->send("CMD_wordcomplete+2+0.4+1.4+2.4");
    drain();
    const Messages found { "CMD_foundword+2+cat+5+5+4+0" };
    EXPECT_EQ(host->takeNew(), found);
    EXPECT_EQ(bob->takeNew(), found);
    EXPECT_EQ(server->player(2).score, 5);
    EXPECT_EQ(server->player(2).roundscore, 5);
    EXPECT_EQ(server->player(2).word, "cat");
    // Every send carries whole messages; what one dispatch sends a peer goes
    // in one write: the login answer, the round's start, and the word.
    EXPECT_TRUE(host->framedEverySend());
    EXPECT_TRUE(bob->framedEverySend());
    EXPECT_EQ(bob->sends(), 4u);
}

TEST_F(MemoryServer, SplitBytesJoinAndADepartedConnectionsLastWordsComeBeforeItsDeparture)
{
    auto host = join("Host");
    auto ann = connect();
    ASSERT_EQ(ann->number(), 2);
    ann->sendRaw("CMD_logininfo+2+");
    ann->sendRaw(std::string(wire::kVersionText) + "+Ann" + wire::kEndByte);
    drain();
    EXPECT_TRUE(contains(host->received(), "CMD_newplayerinfo+2+Ann"));
    EXPECT_EQ(ann->received().back(), "CMD_existingplayers+1+Host");

    ann->send("CMD_chat+2+said before leaving|clRed");
    ann->sendRaw("CMD_chat+2+cut off by the clo"); // never finished: dropped
    ASSERT_EQ(server->queuedMessages(), 1u);
    host->takeNew();
    ann->hangUp();
    // Handled at once, in the order the peer sent it and the departure.
    EXPECT_EQ(host->takeNew(),
        (Messages { "CMD_chat+Ann chats: said before leaving|clRed", "CMD_playerdisconnected+2+Ann" }));
    EXPECT_EQ(server->queuedMessages(), 0u);
    EXPECT_EQ(server->player(2).connected, 0);
    EXPECT_EQ(server->player(2).name, "");
    EXPECT_EQ(ann->closedByServer(), 0);

    // The successor in slot 2 inherits nothing of its predecessor's.
    auto successor = connect();
    EXPECT_EQ(successor->number(), 2);
    drain();
    EXPECT_EQ(successor->received(), (Messages { "CMD_sendlogininfo+2" }));
    EXPECT_TRUE(host->takeNew().empty());
}

TEST_F(MemoryServer, ATenthConnectionIsToldAndClosedAndNobodyElseHears)
{
    std::vector<std::unique_ptr<MemoryPeer>> peers;
    for (int n = 1; n <= kSlots; ++n) {
        peers.push_back(connect());
        EXPECT_EQ(peers.back()->number(), n);
        peers.back()->takeNew();
    }
    auto tenth = connect();
    EXPECT_EQ(tenth->received(), (Messages { "CMD_full+" }));
    EXPECT_FALSE(tenth->open());
    EXPECT_EQ(tenth->closedByServer(), 1);
    EXPECT_EQ(server->slotsHandedOut(), kSlots);
    for (auto& peer : peers) {
        EXPECT_TRUE(peer->takeNew().empty());
        EXPECT_TRUE(peer->open());
    }
}

TEST_F(MemoryServer, CommandsWithoutAHandlerChangeNothing)
{
    auto host = join("Host");
    auto bob = join("Bob");
    host->takeNew();
    bob->takeNew();
    // Unknown names, near misses, and the server's own messages sent back.
    for (const char* line : { "CMD_unknown+1+x", "CMD_CHAT+1+hi|clRed", "chat+1+hi|clRed", "CMD_chat",
             "CMD_+1+", "CMD_useletter+1+3.4+", "CMD_sendlogininfo+1", "CMD_full+",
             "CMD_newplayerinfo+1+Evil", "CMD_existingplayers+2+Evil", "CMD_playerdisconnected+2+Bob",
             "CMD_foundword+1+cat+5+5+3+5", "CMD_winner+Host", "CMD_nextround+1", "CMD_endround+1+2+3+4",
             "CMD_boardtileline+0+1+1+1+1+1+1+1+1+1+1+1+1+1" }) {
        server->dispatch(1, line);
        host->send(line);
    }
    drain();
    EXPECT_TRUE(host->takeNew().empty());
    EXPECT_TRUE(bob->takeNew().empty());
    EXPECT_EQ(server->player(1).name, "Host");
    EXPECT_EQ(server->player(2).name, "Bob");
    EXPECT_TRUE(bob->open());
    EXPECT_FALSE(server->isGameRunning());
    EXPECT_EQ(server->currentRound(), 0);
}

TEST_F(MemoryServer, AMessageNamingAnotherConnectionChangesNothing)
{
    auto host = join("Host");
    auto bob = join("Bob");
    auto cid = join("Cid");
    host->send("CMD_startgame+1+3+n+2+");
    drain();
    layCat();
    for (auto* peer : { host.get(), bob.get(), cid.get() })
        peer->takeNew();

    // Bob (2) writes in the names of others, and of numbers nobody holds.
    for (const char* line :
        { "CMD_chat+1+forged|clRed", "CMD_action+3+forged|clRed", "CMD_playasound+1+wave1+",
            "CMD_logininfo+3+2.0.5+Evil", "CMD_wordcomplete+1+0.4+1.4+2.4", "CMD_wordcomplete+3+0.4+1.4+2.4",
            "CMD_chat+0+x", "CMD_chat+10+x", "CMD_chat+-2+x", "CMD_chat+02x+x" }) {
        server->dispatch(2, line);
        bob->send(line);
    }
    drain();
    for (auto* peer : { host.get(), bob.get(), cid.get() })
        EXPECT_TRUE(peer->takeNew().empty());
    EXPECT_EQ(server->player(3).name, "Cid");
    EXPECT_EQ(server->player(1).score, 0);
    EXPECT_EQ(server->player(3).score, 0);

    // The same word in its sender's own name does count.
    bob->send("CMD_wordcomplete+2+0.4+1.4+2.4");
    drain();
    EXPECT_EQ(host->takeNew(), (Messages { "CMD_foundword+2+cat+5+5+4+0" }));
}

TEST_F(MemoryServer, HostOnlyCommandsFromConnectionTwoChangeNothing)
{
    auto host = join("Host");
    auto bob = join("Bob");
    auto cid = join("Cid");
    for (auto* peer : { host.get(), bob.get(), cid.get() })
        peer->takeNew();

    bob->send("CMD_kickhim+2+3+");
    bob->send("CMD_startgame+2+3+n+2+");
    server->dispatch(2, "CMD_kickhim+2+3+");
    server->dispatch(2, "CMD_startgame+2+3+n+2+");
    drain();
    EXPECT_TRUE(cid->open());
    EXPECT_FALSE(server->isGameRunning());
    for (auto* peer : { host.get(), bob.get(), cid.get() })
        EXPECT_TRUE(peer->takeNew().empty());

    // The very same requests from the host are obeyed.
    host->send("CMD_kickhim+1+3+");
    drain();
    EXPECT_EQ(server->player(3).connected, 0);
    for (int tick = 0; tick < serverlimits::kRemovedCloseTicks; ++tick)
        server->logintimeTimer();
    EXPECT_FALSE(cid->open());
    EXPECT_EQ(cid->closedByServer(), 1);
    EXPECT_EQ(bob->takeNew(), (Messages { "CMD_playerdisconnected+3+Cid" }));
    host->send("CMD_startgame+1+3+n+2+");
    drain();
    EXPECT_TRUE(server->isGameRunning());
    EXPECT_EQ(bob->takeNew().front(), "CMD_startgame+1+3+n+2+");
}

TEST_F(MemoryServer, APeerThatStopsReadingIsLetGoOnceTooMuchWaits)
{
    auto host = join("Host");
    auto ann = join("Ann");
    transport.setReading(ann->id(), false);
    const std::string text = std::string(wire::kMaxMessageBytes - 64, 'x') + "|clRed";
    const std::size_t relayBytes = ("CMD_chat+Host chats: " + text).size() + 1;
    const std::size_t allowed = wire::kMaxPendingOutputBytes / relayBytes;

    for (std::size_t i = 0; i < allowed; ++i) {
        host->send("CMD_chat+1+" + text);
        drain();
    }
    EXPECT_TRUE(ann->open());
    EXPECT_EQ(transport.pendingOutput(ann->id()), allowed * relayBytes);
    host->takeNew();
    host->send("CMD_chat+1+" + text); // one past the limit
    drain();
    EXPECT_FALSE(ann->open());
    EXPECT_EQ(transport.pendingOutput(ann->id()), 0u);
    const Messages heard = host->takeNew();
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1], "CMD_playerdisconnected+2+Ann");
}

TEST_F(MemoryServer, NamesAreCutBetweenCharacters)
{
    // Sixty-three bytes and a two-byte character: the cut falls before it.
    const std::string utf8 = std::string(63, 'a') + "\xC3\xA9" + "bc";
    auto ann = join(utf8);
    EXPECT_EQ(server->player(1).name, std::string(63, 'a'));
    EXPECT_TRUE(contains(ann->received(), "CMD_newplayerinfo+1+" + std::string(63, 'a')));

    // Text that is not UTF-8 is Latin-1, a byte a character.
    const std::string latin1(100, '\xE9');
    auto bob = join(latin1);
    EXPECT_EQ(server->player(2).name, latin1.substr(0, wire::kMaxNameBytes));
}
