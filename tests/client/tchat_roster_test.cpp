// Roles, login, the roster of seats and spies, departures, removal and
// version warnings, with real windows on a real server.
#include "window_fixture.h"

#include "raw_server.h"
#include "sound_player.h"

#include "tspylist.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>

using testsupport::pumpUntil;

TEST_F(WindowTest, ASoloStartLogsInAsYouInSeatOne)
{
    Tchat& solo = open({});
    ASSERT_TRUE(pumpUntil([&] { return chatOf(solo).contains("You are Connected."); }));
    EXPECT_TRUE(chatOf(solo).startsWith("Loading Solo Game..Please wait."));
    EXPECT_EQ(downloadsShown, 1);
    EXPECT_EQ(solo.client().mynumber(), 1);
    EXPECT_TRUE(solo.client().state().ishost);
    EXPECT_EQ(labelOf(solo, "label_playername1"), "You");
    EXPECT_EQ(labelOf(solo, "label_playername2"), "<Waiting>");
    EXPECT_FALSE(solo.findChild<QPushButton*>("button_start")->isHidden());
    EXPECT_TRUE(solo.findChild<QAction*>("StartGame1")->isEnabled());
    EXPECT_FALSE(lobby.hasPendingConnections()); // no lobby link for a solo game
    EXPECT_EQ(server->player(1).name, "You");
}

TEST_F(WindowTest, AJoinerSeesTheOthersAndTheLobbyLinkOpens)
{
    Tchat& host = join("Host", { "10.0.0.5", "true" });
    EXPECT_EQ(host.hostaddress, "127.0.0.1");
    EXPECT_TRUE(pumpUntil([&] { return lobby.hasPendingConnections(); }));
    Tchat& bob = join("Bob");
    Tchat& cid = join("Cid");
    ASSERT_TRUE(pumpUntil([&] { return labelOf(cid, "label_playername2") == "Bob"; }));
    const QString seen = chatOf(cid);
    const int connected = seen.indexOf("You are Connected.");
    EXPECT_GE(connected, 0);
    EXPECT_GT(seen.indexOf("Host has Connected."), connected);
    EXPECT_GT(seen.indexOf("Bob has Connected."), connected);
    EXPECT_EQ(cid.sounds().played().count("entered"), 2);
    EXPECT_EQ(labelOf(cid, "label_playername1"), "Host");
    EXPECT_EQ(labelOf(cid, "label_playername2"), "Bob");
    EXPECT_EQ(labelOf(cid, "label_playername3"), "Cid");
    EXPECT_EQ(labelOf(cid, "label_playername4"), "<Waiting>");
    ASSERT_TRUE(pumpUntil([&] { return labelOf(host, "label_playername3") == "Cid"; }));
    // A joiner takes no host role.
    EXPECT_FALSE(bob.client().state().ishost);
    EXPECT_TRUE(bob.findChild<QPushButton*>("button_start")->isHidden());
}

TEST_F(WindowTest, TheLoginReplyCarriesTwoEndBytes)
{
    testsupport::RawServer fake;
    TchatSetup setup;
    setup.arguments = { "Ann", "127.0.0.1", "false" };
    setup.settingsFile = folder.filePath("ann.ini");
    setup.gamePort = std::to_string(fake.port());
    setup.dispatchIntervalMs = 0;
    Tchat ann(setup);
    ann.processparams();
    ASSERT_TRUE(fake.waitForClient());
    fake.send("CMD_sendlogininfo+2");
    ASSERT_TRUE(pumpUntil([&] {
        while (ann.queuedMessages() > 0)
            ann.Timer1Timer();
        return fake.bytes().size() >= 26;
    }));
    EXPECT_EQ(fake.bytes(), "CMD_logininfo+2+2.0.5+Ann\xFF\xFF");
}

TEST_F(WindowTest, OneOrTwoArgumentsTakeNoRole)
{
    Tchat& idle = open({ "Tester", "10.0.0.5" });
    EXPECT_TRUE(chatOf(idle).startsWith("Loading Multi-player Game.. Please Wait."));
    EXPECT_FALSE(idle.client().isOpen());
    EXPECT_FALSE(idle.client().state().ishost);
    Tchat& joiner = open({ "Tester", "127.0.0.1", "True" }); // only "true" hosts
    EXPECT_FALSE(joiner.client().state().ishost);
    EXPECT_TRUE(joiner.findChild<QPushButton*>("button_start")->isHidden());
}

TEST_F(WindowTest, SpiesAreListedEverywhereAndLeave)
{
    Tchat& host = join("Host", { "x", "true" });
    std::vector<std::unique_ptr<testsupport::RawClient>> seats;
    for (const char* name : { "B", "C", "D" }) {
        seats.push_back(std::make_unique<testsupport::RawClient>(server->listeningPort()));
        seats.back()->login(name);
    }
    Tchat& spy = join("Spy");
    EXPECT_EQ(spy.client().mynumber(), 5);
    EXPECT_TRUE(chatOf(spy).contains("You are spying."));
    EXPECT_EQ(spy.spyList().lines(), QStringList { "5: Spy" });
    ASSERT_TRUE(pumpUntil([&] { return host.spyList().lines() == QStringList { "5: Spy" }; }));
    EXPECT_TRUE(chatOf(host).contains("Spy is spying."));
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_NE(labelOf(spy, QString("label_playername%1").arg(seat)), "Spy");

    spy.client().socket().Close();
    ASSERT_TRUE(pumpUntil([&] { return chatOf(host).contains("Spy has left."); }));
    EXPECT_TRUE(host.spyList().lines().isEmpty());
}

TEST_F(WindowTest, OnlyTheHostRemovesPlayersAndSpies)
{
    Tchat& host = join("Host", { "x", "true" });
    Tchat& bob = join("Bob");
    std::vector<std::unique_ptr<testsupport::RawClient>> seats;
    for (const char* name : { "C", "D", "Eve" }) {
        seats.push_back(std::make_unique<testsupport::RawClient>(server->listeningPort()));
        seats.back()->login(name);
    }
    ASSERT_TRUE(pumpUntil([&] { return host.spyList().lines().contains("5: Eve"); }));

    // A joiner's menus never offer removal.
    bob.label_playername1ContextPopup(3, {});
    EXPECT_FALSE(bob.findChild<QAction*>("RemoveFromGame1")->isEnabled());
    bob.kicking(3);
    // The host's: enabled on occupied seats only, its own included.
    host.label_playername1ContextPopup(4, {});
    EXPECT_TRUE(host.findChild<QAction*>("RemoveFromGame1")->isEnabled());
    host.label_playername1ContextPopup(1, {});
    EXPECT_TRUE(host.findChild<QAction*>("RemoveFromGame1")->isEnabled());

    host.label_playername1ContextPopup(3, {});
    host.RemoveFromGame1Click();
    ASSERT_TRUE(seats[0]->waitForClose());
    ASSERT_TRUE(pumpUntil([&] { return chatOf(bob).contains("C disconnected."); }));
    EXPECT_EQ(labelOf(bob, "label_playername3"), "<Waiting>");

    host.kicking(5);
    ASSERT_TRUE(seats[2]->waitForClose());
    ASSERT_TRUE(pumpUntil([&] { return chatOf(host).contains("Eve has left."); }));
    EXPECT_FALSE(seats[1]->closed());
}

TEST_F(WindowTest, VersionMismatchesAreReportedOnBothSides)
{
    Tchat& host = join("Host", { "x", "true" });
    testsupport::RawClient old(server->listeningPort());
    old.login("Oldie", "2.0.4");
    ASSERT_TRUE(pumpUntil([&] { return chatOf(host).contains("Oldie has a different version of the game then you."); }));

    testsupport::RawServer fake;
    TchatSetup setup;
    setup.settingsFile = folder.filePath("x.ini");
    setup.arguments = { "Ann", "127.0.0.1", "false" };
    setup.gamePort = std::to_string(fake.port());
    setup.dispatchIntervalMs = 0;
    Tchat ann(setup);
    ann.processparams();
    ASSERT_TRUE(fake.waitForClient());
    fake.send("CMD_wrongversion+");
    ASSERT_TRUE(pumpUntil([&] {
        while (ann.queuedMessages() > 0)
            ann.Timer1Timer();
        return chatOf(ann).contains("You have a different version of the game then the host.");
    }));
}

TEST_F(WindowTest, TheWindowClosesWhenItsConnectionCloses)
{
    Tchat& host = join("Host", { "x", "true" });
    Tchat& bob = join("Bob");
    bob.show();
    host.kicking(2);
    EXPECT_TRUE(pumpUntil([&] { return !bob.isVisible(); }));
}
