// lexmire-server's announcement: the status and name read from a real server,
// and a browser in the same process hearing them through the loopback beacon.
#include "game_browser.h"
#include "protocol.h"
#include "pump.h"
#include "raw_client.h"
#include "server_announcement.h"
#include "tserver.h"
#include "word_records.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using discovery::GameStatus;
using testsupport::pumpUntil;

namespace {

class ServerAnnouncementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        records = testsupport::makeWordRecords({ "cat", "tea" });
        TServer::Options options;
        options.portName = "0";
        options.dictionaryPath = folder.filePath("English").toStdString();
        options.wordRecords = records;
        options.dictionaryNotice = [](const std::string&) {};
        options.dispatchIntervalMs = 0;
        server = std::make_unique<TServer>(std::move(options));
        server->startListening();
        // Every pass of the pump hands the server's queued messages to their handlers.
        testsupport::setPumpHook([this] {
            while (server->queuedMessages() > 0)
                server->socktimerTimer();
        });
    }

    void TearDown() override { testsupport::setPumpHook({}); }

    // A peer the server has numbered.
    testsupport::RawClient& connect()
    {
        peers.push_back(std::make_unique<testsupport::RawClient>(server->listeningPort()));
        EXPECT_GT(peers.back()->number(), 0);
        return *peers.back();
    }

    // The host (connection 1) starts a game of three one-minute rounds.
    void startRound(testsupport::RawClient& host)
    {
        host.send("CMD_startgame+" + std::to_string(host.number()) + "+3+n+1+");
    }

    bool statusBecomes(const GameStatus& status)
    {
        return pumpUntil([&] { return serverGameStatus(*server) == status; });
    }

    QTemporaryDir folder;
    std::string records;
    std::unique_ptr<TServer> server;
    std::vector<std::unique_ptr<testsupport::RawClient>> peers;
};

} // namespace

TEST_F(ServerAnnouncementTest, StatusCountsSeatsAndSpiesApartAndFollowsTheRound)
{
    EXPECT_EQ(serverGameStatus(*server), (GameStatus { 0, 0, false }));
    for (int i = 0; i < 6; ++i)
        connect();
    EXPECT_TRUE(statusBecomes({ 4, 2, false }));
    peers[1]->close(); // a seat
    peers[5]->close(); // a spy
    EXPECT_TRUE(statusBecomes({ 3, 1, false }));
    peers[0]->login("Ann");
    startRound(*peers[0]);
    EXPECT_TRUE(statusBecomes({ 3, 1, true }));
}

TEST_F(ServerAnnouncementTest, NameIsTheHostPlayersOrTheMachines)
{
    const QString machine = QStringLiteral("box");
    EXPECT_EQ(serverAnnouncedName(*server, machine), QStringLiteral("lexmire-server on box"));
    testsupport::RawClient& host = connect();
    host.login("Zo\xC3\xAB");
    EXPECT_TRUE(pumpUntil([&] { return serverAnnouncedName(*server, machine) == QStringLiteral("Zoë"); }));
    host.close();
    EXPECT_TRUE(pumpUntil(
        [&] { return serverAnnouncedName(*server, machine) == QStringLiteral("lexmire-server on box"); }));
}

TEST_F(ServerAnnouncementTest, ABrowserHearsTheServerAndItsChanges)
{
    discovery::GameBrowser browser(discovery::GameBrowser::Options { 0, false, {} });
    if (!browser.start())
        GTEST_SKIP() << "no UDP port on this machine for the beacon: " << browser.errorString().toStdString();
    discovery::GameAnnouncer::Options options;
    options.tryDnsSd = false;
    options.beaconPort = browser.beaconPort();
    options.beaconTargets = { discovery::Ipv4Address::localHost() };
    ServerAnnouncement announcement(*server, options);

    const auto listed
        = [&] { return browser.games().size() == 1 ? browser.games().front() : discovery::DiscoveredGame(); };
    ASSERT_TRUE(pumpUntil([&] { return browser.games().size() == 1; }))
        << "loopback UDP may be unavailable here; the beacon tests say so";
    EXPECT_TRUE(listed().hostName.startsWith(QStringLiteral("lexmire-server on ")));
    EXPECT_EQ(listed().port, server->listeningPort());
    EXPECT_EQ(listed().status, (GameStatus { 0, 0, false }));

    connect().login("Ann");
    connect();
    ASSERT_TRUE(statusBecomes({ 2, 0, false }));
    EXPECT_TRUE(pumpUntil([&] { return server->player(1).name == "Ann"; }));
    announcement.refreshTick();
    ASSERT_TRUE(pumpUntil([&] { return listed().status.seatsTaken == 2; }));
    EXPECT_EQ(listed().hostName, QStringLiteral("Ann"));
    startRound(*peers[0]);
    ASSERT_TRUE(pumpUntil([&] { return server->isGameRunning(); }));
    announcement.refreshTick();
    ASSERT_TRUE(pumpUntil([&] { return listed().status.roundRunning; }));
}
