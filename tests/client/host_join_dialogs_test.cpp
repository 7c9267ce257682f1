// The host and join dialogs on their own: a name is needed, the join list
// follows what the browser hears, and a double-click or Join asks for the game.
#include "beacon_codec.h"
#include "pump.h"
#include "thostgame.h"
#include "tjoingame.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace discovery;

namespace {

// A browser that binds no fixed port and asks no daemon.
GameBrowser::Options quietBrowsing() { return GameBrowser::Options { 0, false, {} }; }

QByteArray beacon(quint64 id, const QString& host, quint16 port, GameStatus status, bool withdrawn = false)
{
    BeaconMessage message;
    message.announcement.instanceId = id;
    message.announcement.hostName = host;
    message.announcement.machineName = "box";
    message.announcement.gamePort = port;
    message.announcement.version = "2.0.5";
    message.announcement.status = status;
    message.withdrawn = withdrawn;
    return encodeBeacon(message);
}

Ipv4Address address(const char* text) { return Ipv4Address::fromString(QString::fromLatin1(text)).value(); }

QStringList rowOf(QTreeWidget* list, int row)
{
    QStringList cells;
    for (int c = 0; c < Tjoingame::ColumnCount; ++c)
        cells << list->topLevelItem(row)->text(c);
    return cells;
}

// As the mouse does it: a click, then the second press that the window system
// reports as a double-click.
void doubleClick(QTreeWidget* list, QPoint at)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

TEST(HostDialog, AskedToHostOnlyWithAName)
{
    Thostgame dialog(7772);
    dialog.show();
    QSignalSpy asked(&dialog, &Thostgame::hostRequested);
    auto* name = dialog.findChild<QLineEdit*>("edit_playername");
    auto* host = dialog.findChild<QPushButton*>("button_host");
    ASSERT_TRUE(name && host);
    EXPECT_TRUE(dialog.findChild<QLabel*>("label_hostnote")->text().contains("port 7772"));

    QTest::keyClicks(name, "   ");
    QTest::mouseClick(host, Qt::LeftButton);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.findChild<QLabel*>("label_problem")->isVisibleTo(&dialog));

    QTest::keyClicks(name, "Ann ");
    QTest::mouseClick(host, Qt::LeftButton);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0][0].toString(), "Ann");
    EXPECT_FALSE(dialog.isVisible());
}

TEST(JoinDialog, TheListFollowsTheGamesHeard)
{
    Tjoingame dialog(quietBrowsing(), 7772);
    dialog.show();
    auto* list = dialog.findChild<QTreeWidget*>("list_games");
    auto* listing = dialog.findChild<QLabel*>("label_listing");
    ASSERT_TRUE(list && listing);
    EXPECT_TRUE(listing->text().startsWith("Looking for games")) << listing->text().toStdString();
    const Ipv4Address lan = address("192.168.1.20");

    dialog.browser().takeBeaconDatagram(beacon(1, "Ann", 7772, { 1, 0, false }), lan);
    dialog.browser().takeBeaconDatagram(beacon(2, "Bob", 7780, { 3, 2, true }), address("10.0.0.7"));
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(rowOf(list, 0), QStringList({ "Ann", "192.168.1.20", "1/4", "0", "waiting" }));
    EXPECT_EQ(rowOf(list, 1), QStringList({ "Bob", "10.0.0.7:7780", "3/4", "2", "running" }));
    EXPECT_TRUE(listing->text().contains("double-click"));

    dialog.browser().takeBeaconDatagram(beacon(1, "Ann", 7772, { 2, 1, true }), lan);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(rowOf(list, 0), QStringList({ "Ann", "192.168.1.20", "2/4", "1", "running" }));

    dialog.browser().takeBeaconDatagram(beacon(1, "Ann", 7772, { 2, 1, true }, true), lan);
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(Tjoingame::HostColumn), "Bob");

    // Picking a game puts its address in the field.
    list->setCurrentItem(list->topLevelItem(0));
    EXPECT_EQ(dialog.addressText(), "10.0.0.7:7780");
}

TEST(JoinDialog, ADoubleClickJoinsTheGameUnderTheNameGiven)
{
    Tjoingame dialog(quietBrowsing(), 7772);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy asked(&dialog, &Tjoingame::joinRequested);
    auto* list = dialog.findChild<QTreeWidget*>("list_games");
    dialog.browser().takeBeaconDatagram(beacon(5, "Cid", 7781, { 1, 0, false }), address("10.1.2.3"));
    ASSERT_EQ(list->topLevelItemCount(), 1);
    const QPoint row = list->visualItemRect(list->topLevelItem(0)).center();

    // No name yet: the dialog says so and stays.
    doubleClick(list, row);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.findChild<QLabel*>("label_problem")->text().contains("name"));

    QTest::keyClicks(dialog.findChild<QLineEdit*>("edit_playername"), "Dee");
    doubleClick(list, row);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0][0].toString(), "Dee");
    EXPECT_EQ(asked[0][1].toString(), "10.1.2.3:7781");
    EXPECT_FALSE(dialog.isVisible());
}

TEST(JoinDialog, JoinTakesATypedOrRememberedAddressThatReadsAsOne)
{
    Tjoingame dialog(quietBrowsing(), 7772);
    dialog.setPlayerName("Eve");
    dialog.setRecentAddresses({ "last.example", "10.0.0.9:7790" });
    dialog.show();
    QSignalSpy asked(&dialog, &Tjoingame::joinRequested);
    auto* combo = dialog.findChild<QComboBox*>("combo_address");
    auto* join = dialog.findChild<QPushButton*>("button_join");
    ASSERT_TRUE(combo && join);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(dialog.addressText(), "last.example") << "the last address joined is offered first";

    combo->setEditText("not an address");
    QTest::mouseClick(join, Qt::LeftButton);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_TRUE(dialog.findChild<QLabel*>("label_problem")->text().contains("not a host name"));

    combo->setCurrentIndex(1);
    QTest::mouseClick(join, Qt::LeftButton);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0][1].toString(), "10.0.0.9:7790");
}

TEST(JoinDialog, TheBeaconPortIsHeldOnlyWhileTheDialogShows)
{
    Tjoingame dialog(quietBrowsing(), 7772);
    EXPECT_FALSE(dialog.browser().hearsBeacon());
    dialog.show();
    EXPECT_TRUE(dialog.browser().hearsBeacon()) << dialog.browser().errorString().toStdString();
    dialog.browser().takeBeaconDatagram(beacon(9, "Fay", 7772, { 1, 0, false }), address("10.0.0.1"));
    dialog.hide();
    testsupport::pumpPending(); // the browser stops once the dialog is hidden
    EXPECT_FALSE(dialog.browser().hearsBeacon());
    EXPECT_EQ(dialog.findChild<QTreeWidget*>("list_games")->topLevelItemCount(), 0)
        << "a closed list forgets its games";
}
