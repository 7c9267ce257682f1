// GameClient without any widget, against a real server on loopback: a whole
// game, departures, the honest ends of a connection, and hostile values.
#include "game_client.h"

#include "pump.h"
#include "raw_server.h"
#include "tserver.h"
#include "word_records.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using testsupport::pumpUntil;

namespace {

// A loopback port that is bound but not listening: connecting to it is refused.
struct RefusingPort {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
    RefusingPort()
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
    }
    ~RefusingPort() { ::close(fd); }
};

GameClient::Options handDriven(int port)
{
    GameClient::Options options;
    options.port = std::to_string(port);
    options.dispatchIntervalMs = 0; // ticked by the pump hook
    options.clockIntervalMs = 0; // the clock moves only when a test says so
    return options;
}

} // namespace

class GameClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        records = testsupport::makeWordRecords({ "cat", "act", "tea", "at" });
        TServer::Options options;
        options.portName = "0";
        options.dictionaryPath = folder.filePath("English").toStdString();
        options.wordRecords = records;
        options.secondMs = 24 * 3600 * 1000;
        options.dispatchIntervalMs = 0;
        server = std::make_unique<TServer>(std::move(options));
        server->seed(7);
        server->startListening();
        testsupport::setPumpHook([this] {
            while (server && server->queuedMessages() > 0)
                server->socktimerTimer();
            for (auto& c : clients)
                while (c->queuedMessages() > 0)
                    c->Timer1Timer();
        });
    }
    void TearDown() override { testsupport::setPumpHook({}); }

    GameClient& connect(const QString& name, bool host = false)
    {
        GameClient::Options options = handDriven(server->listeningPort());
        clients.push_back(std::make_unique<GameClient>(options));
        GameClient& client = *clients.back();
        client.setHost(host);
        client.connectTo("127.0.0.1", name);
        EXPECT_TRUE(
            pumpUntil([&] { return client.loggedin() && client.state().seat(client.mynumber()).taken; }));
        return client;
    }

    // Runs the server's clock until the round in play has ended.
    void endRound()
    {
        while (server->clockState() == 0 && server->gameTimerActive())
            server->gametimeTimer();
        testsupport::pumpPending();
    }

    QTemporaryDir folder;
    std::string records;
    std::unique_ptr<TServer> server;
    std::vector<std::unique_ptr<GameClient>> clients;
};

TEST_F(GameClientTest, PlaysAWholeGameHeadless)
{
    GameClient& ann = connect("Ann", true);
    GameClient& bob = connect("Bob");
    ASSERT_TRUE(pumpUntil([&] { return ann.state().seat(2).taken; }));
    EXPECT_EQ(ann.mynumber(), 1);
    EXPECT_EQ(bob.mynumber(), 2);
    EXPECT_EQ(bob.state().seat(1).name, "Ann");

    QSignalSpy found(&bob, &GameClient::wordFound);
    QSignalSpy refused(&ann, &GameClient::wordRefused);
    QSignalSpy ended(&bob, &GameClient::roundEnded);
    QSignalSpy won(&bob, &GameClient::gameWon);

    ASSERT_TRUE(ann.sendStart(3, false, 1));
    ASSERT_TRUE(pumpUntil([&] { return ann.canplay() && bob.canplay(); }));
    EXPECT_EQ(bob.state().round, 1);
    EXPECT_EQ(bob.state().secondsleft, 60);
    // The window's board is the server's.
    for (int c = 0; c < kBoardColumns; ++c)
        for (int r = 0; r < kBoardRows; ++r)
            ASSERT_EQ(
                bob.state().boardtiles[std::size_t(c)][std::size_t(r)], server->currentBoard().board[c][r]);
    EXPECT_EQ(bob.state().boardbonus[6][4], client::SpellBook);
    EXPECT_EQ(bob.state().boardbonus[0][0], client::RedPotion);

    // "cat" laid out in row 1 of the server's board, away from the bonus cells.
    Board& board = server->boardForTests();
    board.board[5][1] = letterCodeOf('c');
    board.board[6][1] = letterCodeOf('a');
    board.board[7][1] = letterCodeOf('t');
    const std::vector<TileRef> cat { { 5, 1 }, { 6, 1 }, { 7, 1 } };
    ASSERT_TRUE(ann.sendWord(cat));
    ASSERT_TRUE(pumpUntil([&] { return found.size() == 1; }));
    EXPECT_EQ(bob.state().seat(1).score, 5);
    ASSERT_EQ(bob.state().seat(1).words.size(), 1u);
    EXPECT_EQ(bob.state().seat(1).words[0].word, "CAT");
    ASSERT_TRUE(ann.sendWord(cat)); // the same word again this round
    EXPECT_TRUE(ann.sendWord(std::vector<TileRef> { { 7, 1 }, { 6, 1 }, { 5, 1 } })); // "tac"
    ASSERT_TRUE(pumpUntil([&] { return refused.size() == 2; }));
    EXPECT_EQ(refused[0][0].toInt(), wire::BadWord::AlreadyFound);
    EXPECT_EQ(refused[1][0].toInt(), wire::BadWord::NotAWord);
    EXPECT_EQ(refused[1][1].toString(), "tac");

    endRound();
    ASSERT_TRUE(pumpUntil([&] { return ended.size() == 1; }));
    EXPECT_FALSE(bob.canplay());
    EXPECT_EQ(bob.state().secondsleft, kPauseBetweenRounds);
    EXPECT_EQ(bob.state().seat(1).roundPoints, 5);
    EXPECT_EQ(bob.state().boardtiles[5][1], 0); // the board is cleared between rounds
    EXPECT_FALSE(bob.sendWord(cat)); // nothing goes out between rounds

    // Rounds two and three, then the winner: Ann alone has points.
    while (won.isEmpty() && server->gameTimerActive()) {
        server->gametimeTimer();
        testsupport::pumpPending();
    }
    ASSERT_TRUE(pumpUntil([&] { return won.size() == 1; }));
    EXPECT_EQ(won[0][0].toString(), "Ann");
    EXPECT_EQ(ended.size(), 3);

    // A departure reaches the one who stays.
    QSignalSpy left(&ann, &GameClient::participantLeft);
    bob.disconnectFromGame();
    ASSERT_TRUE(pumpUntil([&] { return left.size() == 1; }));
    EXPECT_EQ(left[0][0].toInt(), 2);
    EXPECT_EQ(left[0][2].toString(), "Bob");
    EXPECT_FALSE(ann.state().seat(2).taken);
}

TEST_F(GameClientTest, TheLoginReplyCarriesTheNameInTheWireTextAndTwoEndBytes)
{
    testsupport::RawServer fake;
    GameClient client(handDriven(fake.port()));
    client.connectTo("127.0.0.1", QString::fromUtf8("José"));
    ASSERT_TRUE(fake.waitForClient());
    fake.send("CMD_sendlogininfo+3");
    ASSERT_TRUE(pumpUntil([&] {
        client.Timer1Timer();
        return fake.bytes().size() >= 25;
    }));
    EXPECT_EQ(fake.bytes(), "CMD_logininfo+3+2.0.5+Jos\xE9\xFF\xFF");
}

TEST_F(GameClientTest, ARefusedConnectionIsReportedWithItsHost)
{
    RefusingPort refusing;
    GameClient client(handDriven(refusing.port));
    QSignalSpy failed(&client, &GameClient::connectFailed);
    QSignalSpy ended(&client, &GameClient::connectionEnded);
    client.connectTo("127.0.0.1", "Zed");
    ASSERT_TRUE(pumpUntil([&] { return failed.size() == 1; }));
    EXPECT_EQ(failed[0][0].toString(), "127.0.0.1");
    EXPECT_EQ(failed[0][1].toString(), "the connection was refused");
    EXPECT_FALSE(client.isOpen());
    EXPECT_TRUE(ended.isEmpty());
}

TEST_F(GameClientTest, AnAttemptWithoutAnswerIsGivenUpAtItsDeadline)
{
    testsupport::RawServer silent; // accepts, but the test drives the deadline first
    GameClient client(handDriven(silent.port()));
    QSignalSpy failed(&client, &GameClient::connectFailed);
    client.connectTo("127.0.0.1", "Zed");
    ASSERT_TRUE(client.isConnecting());
    client.connectTimerTimer();
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0][1].toString(), "no answer within 10 seconds");
    EXPECT_FALSE(client.isOpen());
}

TEST_F(GameClientTest, TheEndOfTheConnectionSaysWhetherTheHostLeftOrRemovedUs)
{
    GameClient& host = connect("Host", true);
    GameClient& bob = connect("Bob");
    GameClient& cid = connect("Cid");
    QSignalSpy bobEnded(&bob, &GameClient::connectionEnded);
    QSignalSpy cidEnded(&cid, &GameClient::connectionEnded);

    // The server tells a removed connection that it is gone before closing it.
    bob.handle("CMD_playerdisconnected+2+Bob");
    host.kicking(2);
    ASSERT_TRUE(pumpUntil([&] { return bobEnded.size() == 1; }));
    EXPECT_EQ(bobEnded[0][0].value<GameClient::Ending>(), GameClient::Ending::Removed);

    server.reset(); // the host's program ends
    ASSERT_TRUE(pumpUntil([&] { return cidEnded.size() == 1; }));
    EXPECT_EQ(cidEnded[0][0].value<GameClient::Ending>(), GameClient::Ending::HostEnded);
    EXPECT_FALSE(cid.loggedin());
}

TEST_F(GameClientTest, HostileValuesAreKeptInRange)
{
    GameClient client(handDriven(1));
    client.handle("CMD_sendlogininfo+2");
    client.handle("CMD_gamestats+3+n+2147483647+");
    EXPECT_EQ(client.state().terms.minutes, kServerMaxMinutes);
    client.handle("CMD_nextround+1");
    EXPECT_EQ(client.state().secondsleft, kServerMaxMinutes * 60);
    client.handle("CMD_updatetime+2147483647");
    EXPECT_EQ(client.state().secondsleft, kServerMaxMinutes * 60);
    client.handle("CMD_updatetime+-5");
    EXPECT_EQ(client.state().secondsleft, 0);
    client.handle("CMD_startgame+1+" + std::string(1000, '9') + "+n+2+"); // a round count of 1,000 digits
    EXPECT_EQ(client.state().terms.minutes, kServerMaxMinutes);
    for (int i = 0; i < 200; ++i)
        client.handle("CMD_newplayerinfo+6+Spy" + std::to_string(i));
    EXPECT_EQ(client.state().spies.size(), 64u);
}

TEST_F(GameClientTest, ChatTakesItsColourFromTheLastBarAndReadsEitherText)
{
    GameClient client(handDriven(1));
    QSignalSpy lines(&client, &GameClient::chatLine);
    client.handle("CMD_chat+Ann chats: a|b|clRed");
    client.handle("CMD_chat+Jos\xE9 chats: ol\xE1|clNavy");
    client.handle("CMD_chat+\xD0\x96\xD0\xBE\xD1\x80\xD0\xB0 chats: hi|clNavy");
    client.handle("CMD_action+Zed no colour");
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0][0].toString(), "Ann chats: a|b");
    EXPECT_EQ(lines[0][1].toUInt(), 0x0000FFu);
    EXPECT_EQ(lines[1][0].toString(), QString::fromUtf8("José chats: olá"));
    EXPECT_EQ(lines[2][0].toString(), QString::fromUtf8("Жора chats: hi"));
    EXPECT_EQ(lines[3][1].toUInt(), 0x000000u); // readable on the white pane
}

TEST_F(GameClientTest, ALatecomerOfOurServerSeesTheRoundClockAndScores)
{
    GameClient client(handDriven(1));
    client.handle("CMD_sendlogininfo+3");
    client.handle("CMD_gamestats+5+y+2+4+75+10+20+30+40+");
    EXPECT_TRUE(client.canplay());
    EXPECT_EQ(client.state().round, 4);
    EXPECT_EQ(client.state().secondsleft, 75);
    EXPECT_EQ(client.state().seat(4).score, 40);
    EXPECT_TRUE(client.state().terms.teamGame);
    EXPECT_EQ(client.state().terms.rounds, 5);
}
