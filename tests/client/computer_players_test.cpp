// ComputerPlayers without a window: several players on a real server on
// loopback, seated, turned away and let go together.
#include "computer_player.h"
#include "computer_players.h"
#include "pump.h"
#include "tserver.h"
#include "word_records.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::pumpUntil;

namespace {

int connectedTo(const TServer& server)
{
    int count = 0;
    for (int n = 1; n <= kSlots; ++n)
        count += server.player(n).connected ? 1 : 0;
    return count;
}

class ComputerPlayersOnAServer : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        TServer::Options options;
        options.portName = "0";
        options.dictionaryPath = folder.filePath("English").toStdString();
        records = testsupport::makeWordRecords({ "cat", "act", "tea" });
        options.wordRecords = records; // the server reads them through a view: they outlive it
        options.secondMs = 24 * 3600 * 1000;
        options.dispatchIntervalMs = 0;
        server = std::make_unique<TServer>(std::move(options));
        server->startListening();
        ComputerPlayers::Options playersOptions;
        playersOptions.port = std::to_string(server->listeningPort());
        playersOptions.ownTimers = false;
        players = std::make_unique<ComputerPlayers>(playersOptions);
        testsupport::setPumpHook([this] {
            while (server->queuedMessages() > 0)
                server->socktimerTimer();
            for (const auto& player : players->players())
                while (player->client().queuedMessages() > 0)
                    player->client().Timer1Timer();
        });
    }

    void TearDown() override
    {
        testsupport::setPumpHook({});
        players.reset();
    }

    QTemporaryDir folder;
    std::string records;
    std::unique_ptr<TServer> server;
    std::unique_ptr<ComputerPlayers> players;
};

} // namespace

TEST_P(ComputerPlayersOnAServer, RemoveAllLetsEverySeatedPlayerGo)
{
    const int count = GetParam();
    QStringList names;
    for (int n = 0; n < count; ++n) {
        QString error;
        const ComputerPlayer* added = players->add(kBotLevels[std::size_t(n)], names, &error);
        ASSERT_NE(added, nullptr) << error.toStdString();
        names << added->name();
    }
    ASSERT_TRUE(pumpUntil([&] { return players->joining() == 0 && connectedTo(*server) == count; }));
    for (int seat = 1; seat <= count; ++seat)
        ASSERT_NE(players->byNumber(seat), nullptr);

    QSignalSpy changes(players.get(), &ComputerPlayers::changed);
    // Each leave ends its connection at once and releases the player from the
    // very list being walked.
    players->removeAll();
    EXPECT_TRUE(players->players().empty());
    EXPECT_EQ(changes.count(), count) << "one change for each player gone";
    EXPECT_TRUE(pumpUntil([&] { return connectedTo(*server) == 0; }));
    // The players released go at the next turn of the loop; none is left over.
    testsupport::pumpPending();
    EXPECT_EQ(players->byNumber(1), nullptr);
}

INSTANTIATE_TEST_SUITE_P(OneToThree, ComputerPlayersOnAServer, ::testing::Values(1, 2, 3),
    [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param) + "Players"; });

TEST(ComputerSeating, SeatsUpToTheNumberAskedForInAllWithinTheFreeSeats)
{
    using Seating = ComputerPlayers::Seating;
    const Seating room = ComputerPlayers::seatingFor(3, 1, 2);
    EXPECT_EQ(room.adding, 2) << "those playing already count";
    EXPECT_TRUE(room.shortfall().isEmpty());
    EXPECT_EQ(ComputerPlayers::seatingFor(1, 2, 2).adding, 0) << "nobody is sent away";
    EXPECT_TRUE(ComputerPlayers::seatingFor(1, 2, 2).shortfall().isEmpty());

    const Seating tight = ComputerPlayers::seatingFor(3, 1, 1);
    EXPECT_EQ(tight.adding, 1);
    EXPECT_EQ(tight.shortfall(), "Only 2 of the 3 computer players can play: every other seat is taken.");
    const Seating full = ComputerPlayers::seatingFor(2, 0, 0);
    EXPECT_EQ(full.adding, 0);
    EXPECT_EQ(full.shortfall(), "No computer player can play: every seat is taken.");
    EXPECT_EQ(ComputerPlayers::seatingFor(2, 0, -1).adding, 0) << "seats promised beyond the free ones";
}

TEST_P(ComputerPlayersOnAServer, ThoseWhoFindNoSeatLeaveWhileTheOthersPlay)
{
    // Every seat, then as many more as the test's parameter: those watch, and
    // a computer never stays to watch.
    const int extra = GetParam();
    QSignalSpy noSeat(players.get(), &ComputerPlayers::noSeat);
    QStringList names;
    for (int n = 0; n < kSeats + extra; ++n) {
        const ComputerPlayer* added = players->add(kBotLevels[0], names);
        ASSERT_NE(added, nullptr);
        names << added->name();
    }
    ASSERT_TRUE(
        pumpUntil([&] { return noSeat.count() == extra && int(players->players().size()) == kSeats; }));
    EXPECT_EQ(players->joining(), 0);
    for (int seat = 1; seat <= kSeats; ++seat)
        EXPECT_NE(players->byNumber(seat), nullptr) << "seat " << seat;
    EXPECT_TRUE(pumpUntil([&] { return connectedTo(*server) == kSeats; }));
}
