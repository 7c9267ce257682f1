// Logging in: the names the server gives, one login per connection, and the
// deadline that keeps connections that never log in from holding the slots.
#include "memory_fixture.h"

#include "server_limits.h"
#include "server_names.h"
#include "wire_limits.h"

#include <set>

using Messages = std::vector<std::string>;

namespace {

// Whether a name reads the same as one of `held`.
std::function<bool(std::string_view)> heldNames(std::vector<std::string> held)
{
    return [held = std::move(held)](std::string_view candidate) {
        return std::any_of(held.begin(), held.end(),
            [&](const std::string& name) { return servernames::sameName(name, candidate); });
    };
}

} // namespace

TEST(ServerNames, NamesReadAsOneWhateverTheirCaseBlanksOrBytes)
{
    EXPECT_TRUE(servernames::sameName("Host", "host"));
    EXPECT_TRUE(servernames::sameName("HOST", " host "));
    // The same character in Latin-1 and in UTF-8.
    EXPECT_TRUE(servernames::sameName("Ren\xE9", "REN\xC3\x89"));
    EXPECT_FALSE(servernames::sameName("Host", "Hos t"));
    EXPECT_FALSE(servernames::sameName("Host", "Host (2)"));
}

TEST(ServerNames, ClashesGetTheFirstFreeNumberAndStayWithinTheLimit)
{
    EXPECT_EQ(servernames::givenName("Ann", 2, heldNames({ "Host" })), "Ann");
    EXPECT_EQ(servernames::givenName("host", 2, heldNames({ "Host" })), "host (2)");
    EXPECT_EQ(servernames::givenName("Host", 3, heldNames({ "Host", "HOST (2)" })), "Host (3)");
    EXPECT_EQ(servernames::givenName("Host", 3, heldNames({ "Host", "Host (3)" })), "Host (2)");

    // A long name is cut to make room for its number, never inside a character.
    const std::string longName = std::string(61, 'n') + "\xC3\xA9\xC3\xA9";
    const std::string cut = std::string(61, 'n') + "\xC3\xA9";
    EXPECT_EQ(servernames::givenName(longName, 2, heldNames({})), cut);
    const std::string numbered = servernames::givenName(longName, 2, heldNames({ cut }));
    EXPECT_EQ(numbered, std::string(60, 'n') + " (2)");
    EXPECT_LE(numbered.size(), wire::kMaxNameBytes);

    // Eight other names can never use up every candidate.
    std::vector<std::string> held { "Bob" };
    for (int k = 2; k <= 8; ++k)
        held.push_back("Bob (" + std::to_string(k) + ")");
    const std::string ninth = servernames::givenName("bob", 9, heldNames(held));
    EXPECT_EQ(ninth, "bob (9)");
}

TEST(ServerNames, EmptyOrBlankNamesBecomePlayerAndTheirNumber)
{
    EXPECT_EQ(servernames::givenName("", 4, heldNames({})), "Player 4");
    EXPECT_EQ(servernames::givenName("   ", 7, heldNames({})), "Player 7");
    EXPECT_EQ(servernames::givenName("", 4, heldNames({ "player 4" })), "Player 4 (2)");
}

class Login : public MemoryServerFixture { };

TEST_F(Login, ANameInUseIsNumberedAndTheNewcomerSeesItsGivenName)
{
    auto host = join("Host");
    auto impostor = join("HOST");
    auto third = join("host");
    EXPECT_EQ(server->player(2).name, "HOST (2)");
    EXPECT_EQ(server->player(3).name, "host (3)");
    EXPECT_TRUE(contains(impostor->received(), "CMD_newplayerinfo+2+HOST (2)"));
    EXPECT_TRUE(contains(third->received(), "CMD_newplayerinfo+3+host (3)"));
    EXPECT_TRUE(contains(third->received(), "CMD_existingplayers+2+HOST (2)"));
    EXPECT_TRUE(contains(host->received(), "CMD_newplayerinfo+2+HOST (2)"));

    // Once the first Host has gone, the name is free again.
    host->hangUp();
    auto again = join("Host");
    EXPECT_EQ(again->number(), 1);
    EXPECT_EQ(server->player(1).name, "Host");
}

TEST_F(Login, OnlyTheFirstLoginOnAConnectionCounts)
{
    auto host = join("Host");
    auto ann = join("Ann");
    host->takeNew();
    ann->takeNew();
    ann->login("Host");
    ann->login("Zed", "1.0");
    drain();
    EXPECT_EQ(server->player(2).name, "Ann");
    EXPECT_TRUE(host->takeNew().empty());
    EXPECT_TRUE(ann->takeNew().empty());
}

TEST_F(Login, AnEmptyNameBecomesPlayerAndItsNumber)
{
    auto host = join("Host");
    auto blank = join("  ");
    EXPECT_EQ(server->player(2).name, "Player 2");
    EXPECT_TRUE(contains(host->received(), "CMD_newplayerinfo+2+Player 2"));
}

TEST_F(Login, AConnectionThatNeverLogsInIsClosedAfterTheTimeout)
{
    auto host = join("Host");
    auto silent = connect();
    auto late = connect();
    host->takeNew();
    for (int tick = 1; tick <= serverlimits::kLoginTimeoutSeconds; ++tick) {
        server->logintimeTimer();
        if (tick == 5)
            late->login("Late"); // in time
        drain();
    }
    EXPECT_TRUE(silent->open());
    server->logintimeTimer();
    EXPECT_FALSE(silent->open());
    EXPECT_EQ(silent->closedByServer(), 1);
    EXPECT_TRUE(late->open());
    EXPECT_TRUE(host->open());
    EXPECT_TRUE(contains(host->takeNew(), "CMD_playerdisconnected+2+"));
    // Its number is free for the next newcomer.
    auto next = connect();
    EXPECT_EQ(next->number(), 2);
}

TEST_F(Login, AStormOfConnectionsHoldsNoSlotPastTheTimeoutAndKeepsNothing)
{
    // Nine connections that never log in take every slot; whatever else comes
    // is turned away at once and leaves nothing behind.
    std::vector<std::unique_ptr<MemoryPeer>> holders;
    for (int n = 1; n <= kSlots; ++n)
        holders.push_back(connect());
    for (int k = 0; k < 1000; ++k) {
        auto storm = connect();
        EXPECT_FALSE(storm->open());
    }
    for (auto& holder : holders)
        holder->sendRaw(std::string(1000, 'x')); // never finished
    for (int tick = 0; tick <= serverlimits::kLoginTimeoutSeconds; ++tick)
        server->logintimeTimer();
    for (auto& holder : holders)
        EXPECT_FALSE(holder->open());
    EXPECT_EQ(server->queuedMessages(), 0u);
    EXPECT_EQ(server->slotsHandedOut(), kSlots);
    auto player = connect();
    EXPECT_EQ(player->number(), 1);
    player->login("Player");
    drain();
    EXPECT_EQ(server->player(1).name, "Player");
}

TEST(LoginClock, RunsOnlyWhileSomebodyHasNotLoggedIn)
{
    QTemporaryDir folder;
    const std::string records = testsupport::makeWordRecords({ "cat" });
    InMemoryTransport transport;
    TServer::Options options;
    options.dictionaryPath = folder.filePath("English").toStdString();
    options.wordRecords = records;
    options.secondMs = 24 * 3600 * 1000;
    options.dispatchIntervalMs = 10; // the server's own timers, never run here
    TServer server(std::move(options), transport);
    EXPECT_FALSE(server.loginTimerActive());
    MemoryPeer peer(transport);
    EXPECT_TRUE(server.loginTimerActive());
    peer.login("Ann");
    server.socktimerTimer();
    EXPECT_EQ(server.player(1).name, "Ann");
    EXPECT_FALSE(server.loginTimerActive());
    // One that leaves without logging in stops it too.
    MemoryPeer quitter(transport);
    EXPECT_TRUE(server.loginTimerActive());
    quitter.hangUp();
    EXPECT_FALSE(server.loginTimerActive());
}
