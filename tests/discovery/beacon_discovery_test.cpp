// An announcer and browsers in one process, through the beacon on loopback:
// finding, following the status, withdrawing, expiring, standing a flood, and
// a beacon port another program holds.
#include "beacon_codec.h"
#include "beacon_targets.h"
#include "game_announcer.h"
#include "game_browser.h"
#include "loopback_udp.h"
#include "pump.h"

#include <QHostInfo>
#include <QUdpSocket>

#include <gtest/gtest.h>

using namespace discovery;
using testsupport::pumpUntil;

namespace {

const Ipv4Address kLoopback = Ipv4Address::localHost();

Ipv4Address address(const char* text) { return Ipv4Address::fromString(QString::fromLatin1(text)).value(); }

// Everything a browser told, in order.
struct Events {
    explicit Events(GameBrowser& browser)
    {
        QObject::connect(&browser, &GameBrowser::gameAdded,
            [this](const DiscoveredGame& g) { log.push_back("added " + g.hostName.toStdString()); });
        QObject::connect(&browser, &GameBrowser::gameChanged,
            [this](const DiscoveredGame& g) { log.push_back("changed " + g.hostName.toStdString()); });
        QObject::connect(
            &browser, &GameBrowser::gameRemoved, [this](const QString&) { log.push_back("removed"); });
    }
    std::vector<std::string> log;
};

class BeaconDiscovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!loopbackUdpWorks())
            GTEST_SKIP()
                << "UDP datagrams to 127.0.0.1 do not arrive on this machine, so the beacon cannot be tried";
        ASSERT_TRUE(browser.start()) << browser.errorString().toStdString();
        ASSERT_TRUE(browser.hearsBeacon());
        ASSERT_FALSE(browser.hearsDnsSd());
        ASSERT_NE(browser.beaconPort(), 0);
    }

    GameAnnouncer::Options toBrowser() const
    {
        GameAnnouncer::Options options;
        options.tryDnsSd = false;
        options.beaconPort = browser.beaconPort();
        options.beaconTargets = { kLoopback };
        return options;
    }

    std::optional<DiscoveredGame> only() const
    {
        const auto games = browser.games();
        if (games.size() != 1)
            return std::nullopt;
        return games.front();
    }

    void sendRaw(const QByteArray& datagram)
    {
        raw.writeDatagram(datagram, QHostAddress::LocalHost, browser.beaconPort());
    }

    GameBrowser browser { GameBrowser::Options { 0, false, {} } };
    QUdpSocket raw;
};

Announcement fake(quint64 id, const QString& name)
{
    Announcement a;
    a.instanceId = id;
    a.hostName = name;
    a.gamePort = 7772;
    a.version = QStringLiteral("2.0.5");
    return a;
}

} // namespace

TEST_F(BeaconDiscovery, FindsAGameAndFollowsItsStatusUntilItStops)
{
    Events events(browser);
    GameAnnouncer announcer(QStringLiteral("Zoë"), 7772, toBrowser());
    announcer.setStatus({ 1, 0, false });
    announcer.start();
    EXPECT_EQ(announcer.transport(), Transport::Beacon);

    ASSERT_TRUE(pumpUntil([&] { return only().has_value(); }));
    DiscoveredGame game = *only();
    EXPECT_EQ(game.hostName, QStringLiteral("Zoë"));
    EXPECT_EQ(game.address, kLoopback);
    EXPECT_EQ(game.port, 7772);
    EXPECT_EQ(game.version, QStringLiteral("2.0.5"));
    EXPECT_EQ(game.machineName, QHostInfo::localHostName());
    EXPECT_EQ(game.status, (GameStatus { 1, 0, false }));

    announcer.setStatus({ 2, 0, false });
    ASSERT_TRUE(pumpUntil([&] { return only() && only()->status.seatsTaken == 2; }));
    announcer.setStatus({ 2, 1, true });
    ASSERT_TRUE(pumpUntil([&] { return only() && only()->status == GameStatus { 2, 1, true }; }));
    EXPECT_EQ(only()->key, game.key);

    announcer.stop();
    EXPECT_EQ(announcer.transport(), Transport::None);
    ASSERT_TRUE(pumpUntil([&] { return browser.games().isEmpty(); }));
    EXPECT_EQ(
        events.log, (std::vector<std::string> { "added Zoë", "changed Zoë", "changed Zoë", "removed" }));
}

TEST_F(BeaconDiscovery, DestroyingTheAnnouncerWithdrawsTheGame)
{
    auto announcer = std::make_unique<GameAnnouncer>(QStringLiteral("Ann"), 7772, toBrowser());
    announcer->start();
    ASSERT_TRUE(pumpUntil([&] { return only().has_value(); }));
    announcer.reset();
    ASSERT_TRUE(pumpUntil([&] { return browser.games().isEmpty(); }));
}

TEST_F(BeaconDiscovery, ASilentGameExpiresAfterItsTtlAndReturnsWhenHeardAgain)
{
    GameAnnouncer announcer(QStringLiteral("Ann"), 7772, toBrowser());
    announcer.start();
    ASSERT_TRUE(pumpUntil([&] { return only().has_value(); }));
    // No event is handled between these ticks, so nothing can refresh the game.
    for (int i = 1; i < kBeaconTtlTicks; ++i)
        browser.ttlTick();
    EXPECT_TRUE(only().has_value()) << "still inside its TTL";
    browser.ttlTick();
    EXPECT_TRUE(browser.games().isEmpty());

    announcer.beaconTick(); // the announcer's next repeat
    ASSERT_TRUE(pumpUntil([&] { return only().has_value(); }));
    EXPECT_EQ(only()->hostName, QStringLiteral("Ann"));
}

TEST_F(BeaconDiscovery, EveryBrowserOnTheMachineHearsAMachineWideAnnouncement)
{
    // A second listener on the same port: a datagram to 127.0.0.1 reaches only
    // one of them, the loopback broadcast reaches both.
    GameBrowser second(GameBrowser::Options { browser.beaconPort(), false, {} });
    ASSERT_TRUE(second.start()) << second.errorString().toStdString();
    GameAnnouncer::Options options;
    options.tryDnsSd = true; // this machine only never goes through the daemon
    options.beaconPort = browser.beaconPort();
    options.thisMachineOnly = true;
    GameAnnouncer announcer(QStringLiteral("Ann"), 7772, options);
    announcer.start();
    EXPECT_EQ(announcer.transport(), Transport::Beacon);
    ASSERT_TRUE(pumpUntil([&] { return browser.games().size() == 1 && second.games().size() == 1; }));
    // Heard over two paths, the game is listed once.
    testsupport::pumpPending();
    EXPECT_EQ(browser.games().size(), 1);
    EXPECT_EQ(second.games().front().address, kLoopback);
}

TEST(BeaconTargets, ThisMachineOnlyNeverLeavesLoopback)
{
    const QList<Ipv4Address> local = beaconTargets(true);
    ASSERT_FALSE(local.isEmpty());
    for (const Ipv4Address& target : local)
        EXPECT_TRUE(target.isLoopback()) << target.toString().toStdString();
    // The full list, read from this machine's interfaces, starts with the same
    // pair, names each place once and stays within its cap.
    const QList<Ipv4Address> all = beaconTargets(false);
    EXPECT_EQ(all.mid(0, local.size()), local);
    EXPECT_LE(all.size(), kMaxBeaconTargets);
    for (const Ipv4Address& target : all)
        EXPECT_EQ(all.count(target), 1) << target.toString().toStdString();
}

TEST_F(BeaconDiscovery, MalformedDatagramsOnTheWireAreDropped)
{
    sendRaw("LXGM");
    sendRaw(QByteArray(600, 'x'));
    QByteArray oversized = encodeBeacon({ fake(1, "Big"), false });
    sendRaw(oversized + QByteArray(static_cast<qsizetype>(kMaxDatagramBytes), '\0'));
    sendRaw(encodeBeacon({ fake(2, "Good"), false }));
    ASSERT_TRUE(pumpUntil([&] { return !browser.games().isEmpty(); }));
    testsupport::pumpPending();
    ASSERT_EQ(browser.games().size(), 1);
    EXPECT_EQ(browser.games().front().hostName, QStringLiteral("Good"));
}

TEST_F(BeaconDiscovery, AGoodbyeCountsOnlyFromWhereTheGameIsListed)
{
    const Ipv4Address elsewhere = address("192.0.2.7");
    browser.takeBeaconDatagram(encodeBeacon({ fake(9, "Ann"), false }), kLoopback);
    ASSERT_EQ(browser.games().size(), 1);
    browser.takeBeaconDatagram(encodeBeacon({ fake(9, "Ann"), true }), elsewhere);
    EXPECT_EQ(browser.games().size(), 1);
    browser.takeBeaconDatagram(encodeBeacon({ fake(9, "Ann"), true }), kLoopback);
    EXPECT_TRUE(browser.games().isEmpty());
}

TEST_F(BeaconDiscovery, ListedAddressPrefersLoopbackAndHoldsWhileHeard)
{
    const Ipv4Address lan = address("192.0.2.5");
    const Ipv4Address otherLan = address("198.51.100.5");
    const QByteArray beacon = encodeBeacon({ fake(5, "Ann"), false });
    browser.takeBeaconDatagram(beacon, lan);
    ASSERT_EQ(only()->address, lan);
    browser.takeBeaconDatagram(beacon, otherLan);
    EXPECT_EQ(only()->address, lan) << "a second path does not move a game heard on its first";
    browser.takeBeaconDatagram(beacon, kLoopback);
    EXPECT_EQ(only()->address, kLoopback) << "loopback always works";
    browser.takeBeaconDatagram(beacon, lan);
    EXPECT_EQ(only()->address, kLoopback);
    // Once loopback falls silent for a whole TTL while the other path goes on,
    // the other path takes over.
    for (int i = 0; i < kBeaconTtlTicks; ++i) {
        browser.takeBeaconDatagram(beacon, lan);
        browser.ttlTick();
    }
    browser.takeBeaconDatagram(beacon, lan);
    EXPECT_EQ(only()->address, lan);
}

TEST_F(BeaconDiscovery, AFloodOfForgedGamesStopsAtTheCap)
{
    browser.takeBeaconDatagram(encodeBeacon({ fake(1, "Genuine"), false }), kLoopback);
    int added = 0;
    QObject::connect(&browser, &GameBrowser::gameAdded, [&] { ++added; });
    for (quint64 id = 2; id < 20000; ++id)
        browser.takeBeaconDatagram(
            encodeBeacon({ fake(id, "Forged " + QString::number(id)), false }), kLoopback);
    EXPECT_EQ(browser.games().size(), static_cast<qsizetype>(kMaxGames));
    EXPECT_EQ(added, static_cast<int>(kMaxGames) - 1);
    EXPECT_EQ(browser.games().front().hostName, QStringLiteral("Genuine"))
        << "a flood never pushes out a listed game";

    // Once the forgeries fall silent they expire and a new game fits again.
    for (int i = 0; i < kBeaconTtlTicks; ++i)
        browser.ttlTick();
    EXPECT_TRUE(browser.games().isEmpty());
    browser.takeBeaconDatagram(encodeBeacon({ fake(99999, "Late"), false }), kLoopback);
    EXPECT_EQ(browser.games().size(), 1);
}

TEST_F(BeaconDiscovery, AFloodOnTheSocketStopsAtTheCap)
{
    constexpr int kForged = 3000;
    for (quint64 id = 1; id <= kForged; ++id)
        sendRaw(encodeBeacon({ fake(id, "Forged"), false }));
    ASSERT_TRUE(pumpUntil([&] { return browser.games().size() == static_cast<qsizetype>(kMaxGames); }));
    for (int i = 0; i < 10; ++i)
        testsupport::pumpPending();
    EXPECT_EQ(browser.games().size(), static_cast<qsizetype>(kMaxGames));
}

TEST_F(BeaconDiscovery, DatagramsLeftByOnePassAreReadOnTheNext)
{
    // More than one pass takes, the newcomer last: it is listed only if the
    // socket goes on reporting what the first pass left waiting.
    for (int i = 0; i < kMaxDatagramsPerPass + 8; ++i)
        sendRaw(encodeBeacon({ fake(1, "Ann"), false }));
    sendRaw(encodeBeacon({ fake(2, "Bob"), false }));
    ASSERT_TRUE(pumpUntil([&] { return browser.games().size() == 2; }));
    EXPECT_EQ(browser.games().back().hostName, QStringLiteral("Bob"));
}

TEST(BeaconBrowsing, APortHeldByAnotherProgramIsReported)
{
    // A socket that does not share its port, as another program's may be.
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    GameBrowser browser(GameBrowser::Options { holder.localPort(), false, {} });
    EXPECT_FALSE(browser.start());
    EXPECT_FALSE(browser.hearsBeacon());
    EXPECT_EQ(browser.beaconPort(), 0);
    EXPECT_TRUE(browser.errorString().startsWith(QStringLiteral("beacon port %1: ").arg(holder.localPort())))
        << browser.errorString().toStdString();
}

TEST_F(BeaconDiscovery, StoppingForgetsEveryGame)
{
    browser.takeBeaconDatagram(encodeBeacon({ fake(1, "Ann"), false }), kLoopback);
    browser.takeBeaconDatagram(encodeBeacon({ fake(2, "Bob"), false }), kLoopback);
    int removed = 0;
    QObject::connect(&browser, &GameBrowser::gameRemoved, [&] { ++removed; });
    browser.stop();
    EXPECT_EQ(removed, 2);
    EXPECT_TRUE(browser.games().isEmpty());
    EXPECT_FALSE(browser.hearsBeacon());
    ASSERT_TRUE(browser.start());
    EXPECT_TRUE(browser.hearsBeacon());
}

TEST(AnnounceScope, TestRunsAnnounceToThisMachineOnly)
{
    // The test programs' main sets this, so no test ever broadcasts to the network.
    EXPECT_TRUE(announcingToThisMachineOnly());
    EXPECT_TRUE(GameAnnouncer::Options().thisMachineOnly);
    const QByteArray saved = qgetenv("LEXMIRE_ANNOUNCE_SCOPE");
    qputenv("LEXMIRE_ANNOUNCE_SCOPE", "network");
    EXPECT_FALSE(announcingToThisMachineOnly());
    qputenv("LEXMIRE_ANNOUNCE_SCOPE", saved);
}
