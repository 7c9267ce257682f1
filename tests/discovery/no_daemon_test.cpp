// Where no Avahi daemon answers, announcing falls back to the beacon and
// browsing listens to the beacon alone. The system bus is pointed at a socket
// that does not exist before anything in this program first looks for it.
#include "avahi_session.h"
#include "dnssd_module.h"
#include "game_announcer.h"
#include "game_browser.h"
#include "pump.h"

#include <QUdpSocket>

#include <gtest/gtest.h>

using namespace discovery;

namespace {

// The D-Bus library reads the system bus address once per process.
const bool kNoSystemBus = qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/lexmire-test/no-bus");

} // namespace

TEST(NoDaemon, TheDaemonIsReportedUnreachable)
{
    ASSERT_TRUE(kNoSystemBus);
    EXPECT_FALSE(avahiDaemonReachable());
    AvahiSession session;
    EXPECT_FALSE(session.open(nullptr));
    EXPECT_FALSE(session.errorString().isEmpty());
    EXPECT_EQ(session.client(), nullptr);
}

TEST(NoDaemon, AnnouncingFallsBackToTheBeacon)
{
    QUdpSocket listener;
    ASSERT_TRUE(listener.bind(QHostAddress::LocalHost, 0));
    GameAnnouncer::Options options;
    options.tryDnsSd = true;
    options.thisMachineOnly = false;
    options.beaconPort = listener.localPort();
    options.beaconTargets = { Ipv4Address::localHost() };
    options.dnssdModulePaths = { LEXMIRE_DNSSD_MODULE };
    GameAnnouncer announcer(QStringLiteral("Ann"), 7772, options);
    std::vector<Transport> changes;
    QObject::connect(
        &announcer, &GameAnnouncer::transportChanged, [&](Transport t) { changes.push_back(t); });
    announcer.start();
    EXPECT_EQ(announcer.transport(), Transport::Beacon);
    EXPECT_FALSE(announcer.dnssdError().isEmpty());
    EXPECT_EQ(changes, std::vector<Transport> { Transport::Beacon });
    // And the beacon really goes out.
    EXPECT_TRUE(testsupport::pumpUntil([&] { return listener.hasPendingDatagrams(); }));
}

TEST(NoDaemon, BrowsingListensToTheBeaconAlone)
{
    GameBrowser browser(GameBrowser::Options { 0, true, { LEXMIRE_DNSSD_MODULE } });
    ASSERT_TRUE(browser.start());
    EXPECT_TRUE(browser.hearsBeacon());
    EXPECT_FALSE(browser.hearsDnsSd());
    EXPECT_TRUE(browser.errorString().startsWith(QStringLiteral("DNS-SD: ")));
    EXPECT_FALSE(browser.errorString().contains(QStringLiteral("module"))) << "the module was found";
}

TEST(NoDaemon, WithoutTheModuleAnnouncingAndBrowsingKeepToTheBeaconAndSaySo)
{
    const QStringList nowhere { QStringLiteral("/nonexistent/lexmire-test/lexmire-dnssd.so") };
    GameBrowser browser(GameBrowser::Options { 0, true, nowhere });
    ASSERT_TRUE(browser.start());
    EXPECT_TRUE(browser.hearsBeacon());
    EXPECT_FALSE(browser.hearsDnsSd());
    EXPECT_EQ(browser.errorString(), QStringLiteral("DNS-SD: ") + DnsSdModule::missingText());

    QUdpSocket listener;
    ASSERT_TRUE(listener.bind(QHostAddress::LocalHost, 0));
    GameAnnouncer::Options options;
    options.thisMachineOnly = false;
    options.beaconPort = listener.localPort();
    options.beaconTargets = { Ipv4Address::localHost() };
    options.dnssdModulePaths = nowhere;
    GameAnnouncer announcer(QStringLiteral("Ann"), 7772, options);
    announcer.start();
    EXPECT_EQ(announcer.transport(), Transport::Beacon);
    EXPECT_EQ(announcer.dnssdError(), DnsSdModule::missingText());
    EXPECT_TRUE(testsupport::pumpUntil([&] { return listener.hasPendingDatagrams(); }));
}
