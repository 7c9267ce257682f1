// DNS-SD through a running Avahi daemon, end to end: a game published with
// its status in the text record, found, followed and withdrawn. Only where a
// daemon answers on the system bus.
#include "avahi_session.h"
#include "game_announcer.h"
#include "game_browser.h"
#include "pump.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace discovery;
using testsupport::pumpUntil;

TEST(DnsSd, AGameIsFoundFollowedAndWithdrawnThroughTheDaemon)
{
    if (!avahiDaemonReachable())
        GTEST_SKIP() << "no Avahi daemon answers on the system bus (avahi-daemon is not running), "
                        "so DNS-SD cannot be tried end to end here";
    GameBrowser browser(GameBrowser::Options { 0, true, { LEXMIRE_DNSSD_MODULE } });
    ASSERT_TRUE(browser.start()) << browser.errorString().toStdString();
    ASSERT_TRUE(browser.hearsDnsSd());

    // A name no other game on the network has, to tell ours apart.
    const QString name = QStringLiteral("dnssd-test-%1").arg(QRandomGenerator::global()->generate64(), 0, 16);
    GameAnnouncer::Options options;
    options.thisMachineOnly = false;
    options.dnssdModulePaths = { LEXMIRE_DNSSD_MODULE };
    GameAnnouncer announcer(name, 7772, options);
    announcer.setStatus({ 1, 0, false });
    announcer.start();
    ASSERT_EQ(announcer.transport(), Transport::DnsSd) << announcer.dnssdError().toStdString();

    const auto ours = [&]() -> std::optional<DiscoveredGame> {
        for (const DiscoveredGame& g : browser.games())
            if (g.hostName == name && g.key.startsWith(QStringLiteral("dnssd:")))
                return g;
        return std::nullopt;
    };
    ASSERT_TRUE(pumpUntil([&] { return ours().has_value(); }, 15000));
    EXPECT_EQ(ours()->port, 7772);
    EXPECT_EQ(ours()->status, (GameStatus { 1, 0, false }));
    EXPECT_EQ(ours()->version, QStringLiteral("2.0.5"));

    announcer.setStatus({ 2, 1, true });
    ASSERT_TRUE(pumpUntil([&] { return ours() && ours()->status == GameStatus { 2, 1, true }; }, 15000));

    announcer.stop();
    ASSERT_TRUE(pumpUntil([&] { return !ours().has_value(); }, 15000));
}
