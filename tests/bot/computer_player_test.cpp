// Computer players in headless games against a real server on loopback: the
// server's clock, the players' clocks and their ticks are driven by hand, one
// game second at a time, so every word's moment is known exactly.
#include "computer_name.h"
#include "computer_player.h"

#include "bot_limits.h"
#include "embedded_word_list.h"
#include "pump.h"
#include "tserver.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <set>

using testsupport::pumpPending;
using testsupport::pumpUntil;

namespace {

constexpr int kTicksPerSecond = 1000 / botlimits::kTickMs;

// A word as the host's window saw it accepted, with the server's clock then.
struct Accepted {
    int seat = 0;
    std::string word;
    int round = 0;
    int secondsLeft = 0;
    int clockState = 0;
};

} // namespace

class ComputerPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        TServer::Options options;
        options.portName = "0";
        options.dictionaryPath = folder.filePath("English").toStdString();
        options.wordRecords = embeddedWordList();
        options.secondMs = 24 * 3600 * 1000; // the clock moves only when a test says so
        options.dispatchIntervalMs = 0;
        server = std::make_unique<TServer>(std::move(options));
        server->seed(2024);
        server->startListening();
        testsupport::setPumpHook([this] {
            while (server && server->queuedMessages() > 0)
                server->socktimerTimer();
            if (host)
                while (host->queuedMessages() > 0)
                    host->Timer1Timer();
            for (auto& bot : bots)
                while (bot->client().queuedMessages() > 0)
                    bot->client().Timer1Timer();
        });

        GameClient::Options hostOptions;
        hostOptions.port = std::to_string(server->listeningPort());
        hostOptions.dispatchIntervalMs = 0;
        hostOptions.clockIntervalMs = 0;
        host = std::make_unique<GameClient>(hostOptions);
        host->setHost(true);
        host->connectTo("127.0.0.1", "Host");
        ASSERT_TRUE(pumpUntil([&] { return host->state().seat(1).taken; }));
        QObject::connect(host.get(), &GameClient::wordFound, [this](const wire::FoundWord& found, bool) {
            accepted.push_back({ found.seat, found.word, server->currentRound(), server->secondsLeft(),
                server->clockState() });
        });
    }

    void TearDown() override
    {
        testsupport::setPumpHook({});
        bots.clear();
    }

    ComputerPlayer& addBot(int level, const QString& name, std::uint32_t seed)
    {
        ComputerPlayer::Options options;
        options.level = *botLevel(level);
        options.seed = seed;
        options.port = std::to_string(server->listeningPort());
        options.ownTimers = false;
        bots.push_back(std::make_unique<ComputerPlayer>(options));
        ComputerPlayer& bot = *bots.back();
        QObject::connect(&bot, &ComputerPlayer::wordSent, [this, &bot](const QString& word, int secondsLeft) {
            sent[&bot].push_back({ word.toStdString(), secondsLeft });
        });
        QObject::connect(&bot.client(), &GameClient::wordRefused,
            [this](int, const QString& word) { refused.push_back(word.toStdString()); });
        bot.connectTo("127.0.0.1", name);
        EXPECT_TRUE(pumpUntil([&] {
            return bot.client().loggedin()
                && host->state().seat(bot.client().mynumber()).taken == isSeat(bot.client().mynumber());
        }));
        return bot;
    }

    std::size_t answered(const ComputerPlayer& bot) const
    {
        std::size_t count = 0;
        for (const Accepted& a : accepted)
            count += a.seat == bot.client().mynumber() ? 1 : 0;
        return count + refused.size();
    }

    // One second of game time: each player's ticks, every word answered
    // before the clocks move on, then the server's clock and the players'.
    void oneSecond()
    {
        for (int t = 0; t < kTicksPerSecond; ++t) {
            for (auto& bot : bots)
                bot->tick();
            for (auto& bot : bots)
                ASSERT_TRUE(pumpUntil([&] { return answered(*bot) >= sent[bot.get()].size(); }));
        }
        server->gametimeTimer();
        host->timer2Timer();
        for (auto& bot : bots)
            bot->client().timer2Timer();
        pumpPending();
    }

    QTemporaryDir folder;
    std::unique_ptr<TServer> server;
    std::unique_ptr<GameClient> host;
    std::vector<std::unique_ptr<ComputerPlayer>> bots;
    std::vector<Accepted> accepted;
    std::map<const ComputerPlayer*, std::vector<std::pair<std::string, int>>> sent;
    std::vector<std::string> refused;
};

TEST_F(ComputerPlayerTest, TwoLevelsPlayThreeRoundsWithValidWordsAtTheirPace)
{
    ComputerPlayer& casual = addBot(2, "Cas", 1);
    ComputerPlayer& master = addBot(5, "Max", 2);
    EXPECT_EQ(casual.client().mynumber(), 2);
    EXPECT_EQ(master.client().mynumber(), 3);
    // Every window reads them as computers.
    EXPECT_EQ(host->state().seat(2).name, "Cas (computer)");
    EXPECT_TRUE(computername::isComputerName(host->state().seat(3).name));

    QSignalSpy won(host.get(), &GameClient::gameWon);
    ASSERT_TRUE(host->sendStart(3, false, 2));
    ASSERT_TRUE(pumpUntil([&] { return casual.planner().inRound() && master.planner().inRound(); }));
    for (int second = 0; second < 3 * 120 + 2 * kPauseBetweenRounds + 5 && won.isEmpty(); ++second)
        oneSecond();
    ASSERT_EQ(won.size(), 1);
    EXPECT_TRUE(refused.empty()) << refused.front();

    for (ComputerPlayer* bot : { &casual, &master }) {
        const int seat = bot->client().mynumber();
        std::vector<Accepted> mine;
        for (const Accepted& a : accepted)
            if (a.seat == seat)
                mine.push_back(a);
        // Every word it sent was on the board and in the list: the server took each.
        ASSERT_EQ(mine.size(), sent[bot].size()) << bot->level().name;
        std::map<int, std::set<std::string>> wordsOfRound;
        for (std::size_t i = 0; i < mine.size(); ++i) {
            EXPECT_EQ(mine[i].word, sent[bot][i].first);
            EXPECT_GT(sent[bot][i].second, botlimits::kQuietSecondsAtEnd);
            // Taken while the server's round ran, never at or after its 0:00.
            EXPECT_EQ(mine[i].clockState, 0);
            EXPECT_GT(mine[i].secondsLeft, 0);
            EXPECT_TRUE(wordsOfRound[mine[i].round].insert(mine[i].word).second) << "twice: " << mine[i].word;
            // No minute holds more than the level's ceiling.
            int inMinute = 0;
            for (std::size_t j = i; j < mine.size() && mine[j].round == mine[i].round
                 && mine[i].secondsLeft - mine[j].secondsLeft < 60;
                 ++j)
                ++inMinute;
            EXPECT_LE(inMinute, bot->level().wordsPerMinute) << bot->level().name;
        }
        EXPECT_EQ(wordsOfRound.size(), 3u) << bot->level().name << " played in every round";
        EXPECT_FALSE(bot->ended());
    }
    // The server's scores are the sums of what the players were told.
    EXPECT_GT(server->player(3).score, 0);
    EXPECT_GT(server->player(2).score, 0);
}

TEST_F(ComputerPlayerTest, ASpyOnlyWatchesAndALatecomerPlaysTheRoundInPlay)
{
    addBot(1, "One", 1);
    addBot(1, "Two", 2);
    ASSERT_TRUE(host->sendStart(3, false, 1));
    for (int second = 0; second < 10; ++second)
        oneSecond();

    // Seat 4 is free: a player joining now takes it and plays this round's board.
    ComputerPlayer& late = addBot(5, "Late", 3);
    ASSERT_EQ(late.client().mynumber(), 4);
    ASSERT_TRUE(pumpUntil([&] { return late.planner().inRound(); }));
    // Every seat is taken: the next one watches.
    ComputerPlayer& spy = addBot(5, "Spy", 4);
    ASSERT_TRUE(isSpy(spy.client().mynumber()));
    for (int second = 0; second < 45; ++second)
        oneSecond();

    EXPECT_TRUE(refused.empty());
    EXPECT_FALSE(sent[&late].empty());
    for (const Accepted& a : accepted)
        EXPECT_EQ(a.round, 1);
    EXPECT_TRUE(sent[&spy].empty());
    EXPECT_FALSE(spy.planner().inRound());
}

TEST_F(ComputerPlayerTest, RemovedOrLeftByTheHostItIsDone)
{
    ComputerPlayer& removed = addBot(3, "Gone", 1);
    ComputerPlayer& stays = addBot(3, "Stays", 2);
    QSignalSpy removedEnd(&removed, &ComputerPlayer::finished);
    QSignalSpy staysEnd(&stays, &ComputerPlayer::finished);

    ASSERT_TRUE(host->kicking(removed.client().mynumber()));
    ASSERT_TRUE(pumpUntil([&] { return removedEnd.size() == 1; }));
    // Told of its own removal, it leaves without waiting for the server to close.
    EXPECT_EQ(removedEnd[0][0].value<GameClient::Ending>(), GameClient::Ending::Removed);
    EXPECT_TRUE(removed.ended());
    EXPECT_TRUE(staysEnd.isEmpty());

    // The host's program ends: its server goes, and so does every player on it.
    server.reset();
    ASSERT_TRUE(pumpUntil([&] { return staysEnd.size() == 1; }));
    EXPECT_EQ(staysEnd[0][0].value<GameClient::Ending>(), GameClient::Ending::HostEnded);
}
