// Who wins a game on a real server: ties play on, teams win together, and
// only players still there are named.
#include "game_fixture.h"

TEST_F(Game, ATieAtTheTopPlaysFurtherRoundsUntilOneLeads)
{
    Peer host = join("Host");
    Peer bob = join("Bob");
    start(host, "1+n+1+");
    layWords();
    play(host, "0.4+1.4+2.4");
    play(bob, "0.4+1.4+2.4");
    ASSERT_TRUE(host.client->waitFor("CMD_foundword+2+cat+5+5+4+0"));
    std::vector<std::string> end = tick(host, 60);
    EXPECT_EQ(end.back(), "CMD_endround+5+5+0+0");
    tick(host, 19); // round 2 is dealt
    layWords();
    play(bob, "2.4+3.4+4.4"); // tea
    ASSERT_TRUE(bob.client->waitFor("CMD_foundword+2+tea+3+8+4+0"));
    end = tick(host, 60);
    EXPECT_TRUE(contains(end, "CMD_endround+0+3+0+0"));
    EXPECT_TRUE(contains(end, "CMD_winner+Bob"));
}

TEST_F(Game, TeamsShareTheirScoreAndWinTogether)
{
    Peer ann = join("Ann");
    Peer bob = join("Bob");
    Peer cid = join("Cid");
    start(ann, "1+y+1+");
    layWords();
    play(ann, "0.4+1.4+2.4");
    ASSERT_TRUE(ann.client->waitFor("CMD_foundword+1+cat+5+5+3+5"));
    play(cid, "1.4+2.4+3.4"); // ate
    ASSERT_TRUE(ann.client->waitFor("CMD_foundword+3+ate+3+8+1+8"));
    play(bob, "2.4+3.4+4.4"); // tea: team 2 on 3
    ASSERT_TRUE(ann.client->waitFor("CMD_foundword+2+tea+3+3+4+3"));
    std::vector<std::string> end = tick(ann, 60);
    EXPECT_TRUE(contains(end, "CMD_endround+5+3+3+0"));
    EXPECT_TRUE(contains(end, "CMD_winner+Ann and Cid"));
}

TEST_F(Game, ATeamWhosePartnerSeatIsEmptyIsNamedByTheOneThere)
{
    Peer ann = join("Ann");
    Peer bob = join("Bob");
    start(ann, "1+y+1+");
    layWords();
    play(bob, "0.4+1.4+2.4");
    ASSERT_TRUE(ann.client->waitFor("CMD_foundword+2+cat+5+5+4+5"));
    const std::vector<std::string> end = tick(ann, 60);
    EXPECT_TRUE(contains(end, "CMD_winner+Bob"));
    EXPECT_EQ(countPrefix(end, "CMD_winner+Bob and"), 0);
}

TEST_F(Game, LevelTeamsGoToTheFirstSeat)
{
    Peer ann = join("Ann");
    Peer bob = join("Bob");
    start(ann, "1+y+1+");
    layWords();
    play(ann, "0.4+1.4+2.4");
    play(bob, "0.4+1.4+2.4");
    ASSERT_TRUE(ann.client->waitFor("CMD_foundword+2+cat+5+5+4+5"));
    EXPECT_TRUE(contains(tick(ann, 60), "CMD_winner+Ann"));
}

TEST_F(Game, APartnerWhoLeftIsNotNamedAndAnEmptySeatNeverWins)
{
    Peer ann = join("Ann");
    Peer bob = join("Bob");
    Peer cid = join("Cid");
    Peer dee = join("Dee");
    start(ann, "1+y+1+");
    layWords();
    play(bob, "0.4+1.4+2.4"); // team 2 and 4 leads on 5
    ASSERT_TRUE(ann.client->waitFor("CMD_foundword+2+cat+5+5+4+5"));
    play(cid, "2.4+3.4+4.4"); // team 1 and 3 on 3
    ASSERT_TRUE(ann.client->waitFor("CMD_foundword+3+tea+3+3+1+3"));
    // Dee leaves: Bob's team is named by Bob alone.
    dee.client->close();
    ASSERT_TRUE(ann.client->waitFor("CMD_playerdisconnected+4+Dee"));
    std::vector<std::string> end = tick(ann, 60);
    EXPECT_TRUE(contains(end, "CMD_winner+Bob"));

    // Next game: Bob's team leads again, then Bob leaves too. The team's
    // score stays with its empty seats but cannot win: Ann's team does.
    start(ann, "1+y+1+");
    layWords();
    play(bob, "0.4+1.4+2.4");
    ASSERT_TRUE(ann.client->waitFor("CMD_foundword+2+cat+5+5+4+5"));
    play(ann, "2.4+3.4+4.4");
    ASSERT_TRUE(ann.client->waitFor("CMD_foundword+1+tea+3+3+3+3"));
    bob.client->close();
    ASSERT_TRUE(ann.client->waitFor("CMD_playerdisconnected+2+Bob"));
    end = tick(ann, 60);
    EXPECT_TRUE(contains(end, "CMD_winner+Ann and Cid"));
    EXPECT_EQ(server->clockState(), csGameDecided);
}

TEST_F(Game, ASoloLeaderWhoLeftLetsTheBestHeldSeatWin)
{
    Peer ann = join("Ann");
    Peer bob = join("Bob");
    Peer cid = join("Cid");
    start(ann, "1+n+1+");
    layWords();
    play(bob, "0.4+1.4+2.4");
    ASSERT_TRUE(ann.client->waitFor("CMD_foundword+2+cat+5+5+4+0"));
    play(cid, "2.4+3.4+4.4");
    ASSERT_TRUE(ann.client->waitFor("CMD_foundword+3+tea+3+3+1+0"));
    bob.client->close();
    ASSERT_TRUE(ann.client->waitFor("CMD_playerdisconnected+2+Bob"));
    EXPECT_TRUE(contains(tick(ann, 60), "CMD_winner+Cid"));
}

TEST_F(Game, AGameNobodyHoldsASeatInEndsWithoutAWinner)
{
    Peer ann = join("Ann");
    Peer bob = join("Bob");
    std::vector<Peer> spies;
    for (const char* name : { "c", "d", "Spy" })
        spies.push_back(join(name));
    Peer& spy = spies.back();
    ASSERT_EQ(spy.n, 5);
    start(ann, "1+n+1+");
    layWords();
    play(bob, "0.4+1.4+2.4");
    ASSERT_TRUE(spy.client->waitFor("CMD_foundword+2+cat+5+5+4+0"));
    for (Peer* seat : { &ann, &bob, &spies[0], &spies[1] })
        seat->client->close();
    ASSERT_TRUE(testsupport::pumpUntil([&] {
        for (int n = 1; n <= TServer::kSeats; ++n)
            if (server->player(n).connected)
                return false;
        return true;
    }));
    const std::vector<std::string> end = tick(spy, 60);
    EXPECT_TRUE(contains(end, "CMD_endround+0+5+0+0"));
    EXPECT_EQ(countPrefix(end, "CMD_winner"), 0);
    // No further round is dealt for nobody: the clock stops.
    EXPECT_FALSE(server->gameTimerActive());
    EXPECT_EQ(server->clockState(), csGameDecided);
    EXPECT_TRUE(tick(spy, 30).empty());
}
