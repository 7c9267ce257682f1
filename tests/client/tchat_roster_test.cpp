// Roles, login, the roster of seats and spies, departures, removal and
// version warnings, with real windows on a real server.
#include "window_fixture.h"

#include "raw_server.h"
#include "sound_player.h"

#include "tspylist.h"
#include "ttallylist.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
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

TEST_F(WindowTest, ANameTooWideForTheRosterEndsInAnEllipsisWithTheWholeNameInItsTooltip)
{
    Tchat& host = join("Host", { "10.0.0.5", "true" });
    const QString wide = "Bartholomew Fitzgerald-Montgomery";
    join(wide);
    auto* seat2 = host.findChild<QLabel*>("label_playername2");
    ASSERT_TRUE(pumpUntil([&] { return seat2->toolTip() == wide; }));
    EXPECT_TRUE(seat2->text().endsWith(QChar(0x2026)));
    EXPECT_TRUE(wide.startsWith(seat2->text().chopped(1)));
    EXPECT_LE(seat2->fontMetrics().horizontalAdvance(seat2->text()), seat2->width());
    // A short name is shown whole, without a tooltip.
    EXPECT_EQ(labelOf(host, "label_playername1"), "Host");
    EXPECT_TRUE(host.findChild<QLabel*>("label_playername1")->toolTip().isEmpty());
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
    // It says what it waits for and where to find a game, not that something loads.
    EXPECT_EQ(chatOf(idle).trimmed(),
        "Waiting for a game. Choose File → Host a Game... or Join a Game... to play.");
    EXPECT_EQ(labelOf(idle, "label_status2"), "Waiting for a game");
    EXPECT_TRUE(idle.findChild<QAction*>("HostaGame1")->isEnabled());
    EXPECT_TRUE(idle.findChild<QAction*>("JoinaGame1")->isEnabled());
    EXPECT_TRUE(chatOf(open({ "Tester" }, "one")).startsWith("Waiting for a game."));
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
    ASSERT_TRUE(pumpUntil(
        [&] { return chatOf(host).contains("Oldie has a different version of the game then you."); }));

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

// A window a lobby started (its lobby link connected): the lobby starts the next game.
TEST_F(WindowTest, TheWindowClosesWhenItsConnectionCloses)
{
    Tchat& host = join("Host", { "x", "true" });
    Tchat& bob = join("Bob");
    bob.show();
    host.kicking(2);
    EXPECT_TRUE(pumpUntil([&] { return !bob.isVisible(); }));
}

TEST_F(WindowTest, NamesInEveryEncodingArriveAsTheyWereTyped)
{
    Tchat& jose = join(QString::fromUtf8("José"), { "x", "true" });
    Tchat& zhora = join(QString::fromUtf8("Жора"));
    // An older peer writes 8-bit Latin-1 and reads it back the same way.
    testsupport::RawClient old(server->listeningPort());
    old.login("M\xFCller");
    ASSERT_TRUE(
        pumpUntil([&] { return labelOf(zhora, "label_playername3") == QString::fromUtf8("Müller"); }));
    EXPECT_EQ(labelOf(zhora, "label_playername1"), QString::fromUtf8("José"));
    ASSERT_TRUE(pumpUntil([&] { return labelOf(jose, "label_playername2") == QString::fromUtf8("Жора"); }));
    // José fits Latin-1, so the older peer reads it right; Жора cannot, and goes as UTF-8.
    EXPECT_TRUE(old.waitFor("CMD_existingplayers+1+Jos\xE9"));
    EXPECT_TRUE(old.waitFor("CMD_existingplayers+2+\xD0\x96\xD0\xBE\xD1\x80\xD0\xB0"));

    zhora.findChild<QLineEdit*>("mychat")->setText(QString::fromUtf8("Привет, José"));
    zhora.sendit();
    old.send("CMD_chat+3+Gr\xFC\xDF"
             "e|clNavy");
    ASSERT_TRUE(pumpUntil([&] { return chatOf(jose).contains(QString::fromUtf8("Müller chats: Grüße")); }));
    EXPECT_TRUE(chatOf(jose).contains(QString::fromUtf8("Жора chats: Привет, José")));
    EXPECT_TRUE(chatOf(zhora).contains(QString::fromUtf8("Müller chats: Grüße")));
}

TEST_F(WindowTest, AMarkupNameShowsAsPlainTextEverywhere)
{
    const QString markup = "<img src=\"/dev/zero\"><u>Bob</u>";
    Tchat& host = join("Host", { "x", "true" });
    testsupport::RawClient bob(server->listeningPort());
    bob.login(markup.toStdString());
    ASSERT_TRUE(pumpUntil([&] { return seatNameOf(host, 2) == markup; }));
    host.client().handle("CMD_endround+0+0+0+0");
    host.client().handle("CMD_winner+" + markup.toStdString());
    for (const char* name : { "label_playername2", "label_scroll2", "label_winner1", "label_winner2" }) {
        auto* label = host.findChild<QLabel*>(name);
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
        const QString shown = QString(name) == "label_playername2" ? seatNameOf(host, 2) : label->text();
        EXPECT_TRUE(shown.contains(markup)) << name;
    }
    // The tally window's heading and caption show the opponent's name too.
    host.tally().buildControls();
    auto* current = host.tally().findChild<QListWidget*>("checklist");
    ASSERT_EQ(current->count(), 1);
    host.tally().ask = [](const QString&) { return true; };
    current->item(0)->setCheckState(Qt::Checked);
    host.tally().listbox_tallyClick(0);
    for (const char* name : { "label_hisnametop", "label_hisname" }) {
        auto* label = host.tally().findChild<QLabel*>(name);
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
        EXPECT_TRUE(label->text().startsWith(markup)) << name;
    }
}

TEST_F(WindowTest, AJoinThatCannotConnectSaysWhereAndOffersToTryAgain)
{
    // A port nobody listens on: every connection there is refused.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const std::string port = std::to_string(closed.serverPort());
    closed.close();
    int tries = 2; // try again once, then give up
    TchatSetup setup;
    setup.arguments = { "Zed", "127.0.0.1", "false" };
    setup.settingsFile = folder.filePath("zed.ini");
    setup.gamePort = port;
    setup.dispatchIntervalMs = 0;
    setup.ask = [&](const QString& question) {
        questions << question;
        return --tries > 0;
    };
    Tchat zed(setup);
    zed.show();
    zed.processparams();
    ASSERT_TRUE(pumpUntil([&] { return questions.size() == 2; }));
    EXPECT_TRUE(questions[0].startsWith("Could not reach 127.0.0.1: the connection was refused."));
    EXPECT_TRUE(questions[0].endsWith("Try again?"));
    EXPECT_TRUE(chatOf(zed).contains("Connecting to 127.0.0.1 again.."));
    EXPECT_TRUE(labelOf(zed, "label_status2").startsWith("Could not reach 127.0.0.1"));
    // The second time the player gives up: the program ends, as a failed join always did.
    EXPECT_TRUE(pumpUntil([&] { return !zed.isVisible(); }));
}

TEST_F(WindowTest, TheHostEndingTheGameAndARemovalAreToldBeforeTheWindowALobbyStartedCloses)
{
    Tchat& host = join("Host", { "x", "true" });
    Tchat& bob = join("Bob");
    Tchat& cid = join("Cid");
    bob.show();
    cid.show();
    ASSERT_TRUE(pumpUntil([&] { return labelOf(host, "label_playername3") == "Cid"; }));

    host.kicking(2);
    ASSERT_TRUE(pumpUntil([&] { return !bob.isVisible(); }));
    EXPECT_TRUE(chatOf(bob).contains("You were removed from the game."));
    EXPECT_TRUE(notices.contains("You were removed from the game."));
    EXPECT_TRUE(pumpUntil([&] { return chatOf(host).contains("Bob disconnected."); }));

    server.reset(); // the host's program ends
    ASSERT_TRUE(pumpUntil([&] { return !cid.isVisible(); }));
    EXPECT_TRUE(chatOf(cid).contains("The host has ended the game."));
    EXPECT_TRUE(notices.contains("The host has ended the game."));
}

TEST_F(WindowTest, RemovingOnesOwnSeatAsksFirst)
{
    Tchat& host = join("Host", { "x", "true" });
    join("Bob");
    ASSERT_TRUE(pumpUntil([&] { return labelOf(host, "label_playername2") == "Bob"; }));
    host.label_playername1ContextPopup(1, {});
    host.RemoveFromGame1Click();
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].startsWith("Remove yourself from the game?"));
    testsupport::pumpPending();
    EXPECT_TRUE(host.client().loggedin()); // answered no
    // Removing somebody else asks nothing.
    host.label_playername1ContextPopup(2, {});
    host.RemoveFromGame1Click();
    EXPECT_EQ(questions.size(), 1);
    EXPECT_TRUE(pumpUntil([&] { return chatOf(host).contains("Bob disconnected."); }));
}
