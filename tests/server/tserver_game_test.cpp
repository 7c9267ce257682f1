// Games on a real server: starting, the clock, rounds, words and latecomers.
#include "game_fixture.h"

#include "messages.h"

TEST_F(Game, ThreeRoundsOfTwoMinutesRunOnTheClock)
{
    Peer host = join("Host");
    collect(host);
    host.client->send("CMD_startgame+1+3+n+2+");
    ASSERT_TRUE(host.client->waitFor("CMD_nextround+1"));
    std::vector<std::string> dealt = collect(host);
    EXPECT_EQ(dealt.front(), "CMD_startgame+1+3+n+2+");
    EXPECT_EQ(countPrefix(dealt, "CMD_boardtileline+"), 9);
    EXPECT_EQ(dealt[10], "CMD_setbonustiles+");
    EXPECT_EQ(dealt[11], "CMD_nextround+1");

    for (int round = 1; round <= 3; ++round) {
        if (round == 3) {
            layWords();
            play(host, "0.4+1.4+2.4");
            ASSERT_TRUE(host.client->waitFor("CMD_foundword+1+cat+5+5+3+0"));
            collect(host);
        }
        EXPECT_TRUE(tick(host, 19).empty());
        EXPECT_EQ(tick(host, 1), (std::vector<std::string> { "CMD_updatetime+99" }));
        EXPECT_EQ(tick(host, 20), (std::vector<std::string> { "CMD_updatetime+79" }));
        EXPECT_EQ(tick(host, 40), (std::vector<std::string> { "CMD_updatetime+39" }));
        EXPECT_EQ(tick(host, 20), (std::vector<std::string> { "CMD_updatetime+19" }));
        EXPECT_TRUE(tick(host, 19).empty());
        std::vector<std::string> end = tick(host, 1);
        ASSERT_FALSE(end.empty());
        EXPECT_EQ(end[0], round == 3 ? "CMD_endround+5+0+0+0" : "CMD_endround+0+0+0+0");
        EXPECT_FALSE(server->isGameRunning());
        if (round < 3) {
            EXPECT_EQ(end.size(), 1u);
            EXPECT_TRUE(tick(host, 28).empty());
            std::vector<std::string> next = tick(host, 1);
            ASSERT_EQ(next.size(), 11u);
            EXPECT_EQ(next.back(), "CMD_nextround+" + std::to_string(round + 1));
            EXPECT_TRUE(server->isGameRunning());
        } else {
            EXPECT_EQ(end, (std::vector<std::string> { "CMD_endround+5+0+0+0", "CMD_winner+Host" }));
        }
    }
    EXPECT_FALSE(server->gameTimerActive());
    EXPECT_EQ(server->clockState(), csGameDecided);
    EXPECT_EQ(server->currentRound(), 0);
    // Words after the game are ignored.
    play(host, "1.4+2.4+3.4");
    EXPECT_TRUE(collect(host).empty());
}

TEST_F(Game, AOneMinuteRoundSendsOnlyTheLastTwoCorrections)
{
    Peer host = join("Host");
    start(host, "3+n+1+");
    std::vector<std::string> round = tick(host, 60);
    EXPECT_EQ(round,
        (std::vector<std::string> { "CMD_updatetime+39", "CMD_updatetime+19", "CMD_endround+0+0+0+0" }));
}

TEST_F(Game, NobodyScoringPlaysOnAfterNineteenSeconds)
{
    Peer host = join("Host");
    start(host, "1+n+1+");
    std::vector<std::string> end = tick(host, 60);
    EXPECT_EQ(end.back(), "CMD_endround+0+0+0+0");
    EXPECT_EQ(countPrefix(end, "CMD_winner"), 0);
    EXPECT_TRUE(tick(host, 18).empty());
    std::vector<std::string> next = tick(host, 1);
    ASSERT_FALSE(next.empty());
    EXPECT_EQ(next.back(), "CMD_nextround+2");
}

TEST_F(Game, ASecondStartRequestStartsAfresh)
{
    Peer host = join("Host");
    start(host, "3+n+2+");
    layWords();
    play(host, "0.4+1.4+2.4");
    ASSERT_TRUE(host.client->waitFor("CMD_foundword+1+cat+5+5+3+0"));
    tick(host, 30);
    start(host, "3+n+1+");
    EXPECT_EQ(server->currentRound(), 1);
    EXPECT_EQ(server->secondsLeft(), 60);
    layWords();
    play(host, "0.4+1.4+2.4"); // the word lists and scores start over
    EXPECT_TRUE(
        testsupport::pumpUntil([&] { return host.client->count("CMD_foundword+1+cat+5+5+3+0") == 2; }));
}

TEST_F(Game, StartRequestsOutsideTheRangesAreDropped)
{
    Peer host = join("Host");
    for (const char* settings : { "0+n+2+", "100+n+2+", "3+n+0+", "3+n+61+", "3+n+2", "99999999999+n+2+",
             "-3+n+2+", "3+n+2147483647+", "3+n+x+", "3++" })
        host.client->send(std::string("CMD_startgame+1+") + settings);
    std::vector<std::string> seen = collect(host);
    EXPECT_EQ(countPrefix(seen, "CMD_startgame"), 0);
    EXPECT_FALSE(server->isGameRunning());
    start(host, "99+y+60+");
    EXPECT_EQ(server->secondsLeft(), 3600);
}

TEST_F(Game, OnlyYAsksForTeamsAndTextAfterTheMinutesIsIgnored)
{
    Peer host = join("Host");
    Peer bob = join("Bob");
    Peer cid = join("Cid");
    layWords();
    // Each flag other than "y" starts a normal game, relayed as "n".
    for (const char* flag : { "Y", "", "x", "yes" }) {
        host.client->send("CMD_startgame+1+3+" + std::string(flag) + "+2+");
        ASSERT_TRUE(host.client->waitFor("CMD_startgame+1+3+n+2+"));
        collect(host);
        layWords();
        play(host, "0.4+1.4+2.4");
        // Cid, the host's partner in a team game, keeps a score of its own.
        ASSERT_TRUE(host.client->waitFor("CMD_foundword+1+cat+5+5+3+0"));
        host.client->takeNew();
        EXPECT_EQ(server->player(3).score, 0);
    }
    host.client->send("CMD_startgame+1+4+y+1+and more+fields");
    ASSERT_TRUE(host.client->waitFor("CMD_startgame+1+4+y+1+"));
    EXPECT_TRUE(server->isGameRunning());
    EXPECT_EQ(server->secondsLeft(), 60);
    layWords();
    play(host, "0.4+1.4+2.4");
    ASSERT_TRUE(host.client->waitFor("CMD_foundword+1+cat+5+5+3+5"));
    EXPECT_EQ(server->player(3).score, 5);
}

TEST_F(Game, WordsAreRefusedToTheSenderAlone)
{
    Peer host = join("Host");
    Peer bob = join("Bob");
    Peer cid = join("Cid");
    start(host, "3+n+2+");
    collect(bob);
    collect(cid);
    layWords();
    play(bob, "0.4+1.4+2.4");
    ASSERT_TRUE(bob.client->waitFor("CMD_foundword+2+cat+5+5+4+0"));
    play(bob, "0.4+1.4+2.4");
    ASSERT_TRUE(bob.client->waitFor("CMD_badword+1+2+cat+"));
    play(bob, "2.4+1.4+0.4"); // "tac" is no word
    ASSERT_TRUE(bob.client->waitFor("CMD_badword+2+2+tac+"));
    play(cid, "0.4+1.4+2.4"); // another seat may score the same word
    ASSERT_TRUE(cid.client->waitFor("CMD_foundword+3+cat+5+5+1+0"));
    std::vector<std::string> hostSaw = collect(host);
    EXPECT_EQ(countPrefix(hostSaw, "CMD_badword"), 0);
    EXPECT_EQ(countPrefix(hostSaw, "CMD_foundword"), 2);
}

TEST_F(Game, BrokenOrImpossibleWordsAreDroppedSilently)
{
    Peer host = join("Host");
    std::vector<Peer> spies;
    for (const char* name : { "b", "c", "d", "Spy" })
        spies.push_back(join(name));
    Peer& spy = spies.back();
    ASSERT_EQ(spy.n, 5);
    start(host, "3+n+2+");
    layWords();
    for (const char* refs :
        { "0.4+2.4+3.4", "0.4+0.4+1.4", "0.4+1.4+2.4+", "0.4+1.4+13.4", "0.4+1.4+2.9", "0.4+1.4+2",
            "0.4+1.4+x.y", "0.4+1.4+-1.4", "1.4+2.4+1.4+2.4+1.4+2.4+1.4+2.4+1.4+2.4+1.4+2.4+1.4" })
        play(host, refs);
    play(spy, "0.4+1.4+2.4");
    std::vector<std::string> seen = collect(host);
    EXPECT_EQ(countPrefix(seen, "CMD_foundword"), 0);
    EXPECT_EQ(countPrefix(seen, "CMD_badword"), 0);
    // A tile may come back after another one in between: a-t-a is scored as a word attempt.
    play(host, "1.4+2.4+1.4");
    EXPECT_TRUE(host.client->waitFor("CMD_badword+2+1+ata+"));
}

TEST_F(Game, LatecomersGetTheRoundInPlayButNothingDuringThePause)
{
    Peer host = join("Host");
    Peer bob = join("Bob");
    start(host, "3+n+1+");
    auto late = connectPeer();
    ASSERT_EQ(late->number(), 3);
    late->takeNew();
    late->login("Cid");
    ASSERT_TRUE(late->waitFor("CMD_setbonustiles+"));
    ASSERT_TRUE(testsupport::pumpUntil([&] { return late->received().size() >= 22; }));
    std::vector<std::string> got = late->takeNew();
    ASSERT_EQ(got.size(), 22u);
    EXPECT_EQ(got[0], "CMD_newplayerinfo+3+Cid");
    EXPECT_EQ(got[1], "CMD_existingplayers+1+Host");
    EXPECT_EQ(got[2], "CMD_existingplayers+2+Bob");
    // The terms, then the round in play, its seconds left and the game scores.
    EXPECT_EQ(got[3], "CMD_gamestats+3+n+1+1+60+0+0+0+0+");
    for (int y = 0; y < 9; ++y) {
        EXPECT_EQ(got[4 + 2 * y].rfind("CMD_boardtileline+" + std::to_string(y) + "+", 0), 0u);
        EXPECT_EQ(got[5 + 2 * y], "CMD_setbonustiles+");
    }
    EXPECT_EQ(got[4], boardRowMessage(server->currentBoard(), 0));

    // Spies see the settings but no board.
    std::vector<Peer> others;
    for (const char* name : { "D", "E", "F" })
        others.push_back(join(name));
    Peer spy = join("Spy");
    ASSERT_EQ(spy.n, 7);
    std::vector<std::string> spySaw = collect(spy);
    EXPECT_TRUE(contains(spySaw, "CMD_gamestats+3+n+1+1+60+0+0+0+0+"));
    EXPECT_EQ(countPrefix(spySaw, "CMD_boardtileline"), 0);

    // In the pause a newcomer gets no game messages.
    tick(host, 60);
    late->close();
    ASSERT_TRUE(host.client->waitFor("CMD_playerdisconnected+3+Cid"));
    Peer pauseComer = join("Pat");
    std::vector<std::string> pauseSaw = collect(pauseComer);
    EXPECT_EQ(countPrefix(pauseSaw, "CMD_gamestats"), 0);
    EXPECT_EQ(countPrefix(pauseSaw, "CMD_boardtileline"), 0);
}

TEST_F(Game, ALatecomerSeesTheRoundTheClockAndTheScoresEverybodySees)
{
    Peer host = join("Host");
    Peer bob = join("Bob");
    start(host, "3+y+2+");
    layWords();
    play(bob, "0.4+1.4+2.4");
    ASSERT_TRUE(host.client->waitFor("CMD_foundword+2+cat+5+5+4+5"));
    tick(host, 120 + 29); // round 2 is dealt
    ASSERT_EQ(server->currentRound(), 2);
    layWords();
    play(host, "2.4+3.4+4.4");
    ASSERT_TRUE(host.client->waitFor("CMD_foundword+1+tea+3+3+3+3"));
    tick(host, 25);
    Peer cid = join("Cid");
    const std::string stats = "CMD_gamestats+3+y+2+2+95+3+5+3+5+";
    EXPECT_EQ(cid.client->waitForPrefix("CMD_gamestats+"), stats);
    // What the window reads of it.
    const auto parsed = wire::GameStats::parse(stats.substr(std::string("CMD_gamestats+").size()));
    ASSERT_TRUE(parsed && parsed->now);
    EXPECT_EQ(parsed->now->round, server->currentRound());
    EXPECT_EQ(parsed->now->secondsLeft, server->secondsLeft());
    EXPECT_EQ(parsed->now->scores, (std::array<int64_t, kSeats> { 3, 5, 3, 5 }));
}

TEST_F(Game, WordsCountByTheServersOwnClockAlone)
{
    // Only the server's clock ends a round: a word in its last second counts,
    // one after its 0:00 does not, whatever any window's clock shows.
    Peer host = join("Host");
    start(host, "3+n+1+");
    layWords();
    tick(host, 59);
    play(host, "0.4+1.4+2.4");
    EXPECT_EQ(countPrefix(collect(host), "CMD_foundword"), 1);
    tick(host, 1);
    EXPECT_FALSE(server->isGameRunning());
    play(host, "2.4+3.4+4.4");
    EXPECT_EQ(countPrefix(collect(host), "CMD_foundword"), 0);
}
