// Hosting and joining from the window: a game hosted from the menu found in
// another window's join list and joined, joins that cannot connect, the
// announcement and its switch, and leaving a solo game for a multi-player one
// without a new program.
#include "host_join_fixture.h"

using settings::SettingKey;
using testsupport::pumpUntil;

TEST_F(HostJoinTest, AGameHostedFromTheMenuIsFoundInTheJoinListAndJoined)
{
    if (!loopbackUdpWorks())
        GTEST_SKIP()
            << "UDP datagrams to 127.0.0.1 do not arrive on this machine, and announcements under test "
               "travel only that way, so no game can be found by its announcement here";
    Program& annProgram = program("ann");
    Program& bobProgram = program("bob");
    // Bob's window has no game yet: the join list opens and listens first.
    Tchat& bob = open(bobProgram, { "Bob" }, "bob");
    ASSERT_TRUE(item(bob, "JoinaGame1")->isEnabled());
    item(bob, "JoinaGame1")->trigger();
    Tjoingame& joining = bob.joinDialog();
    ASSERT_TRUE(joining.isVisible());
    ASSERT_TRUE(joining.browser().hearsBeacon()) << joining.browser().errorString().toStdString();

    Tchat& ann = open(annProgram, { "Ann" }, "ann", joining.browser().beaconPort());
    ASSERT_TRUE(item(ann, "HostaGame1")->isEnabled());
    item(ann, "HostaGame1")->trigger();
    Thostgame& hosting = ann.hostDialog();
    ASSERT_TRUE(hosting.isVisible());
    EXPECT_EQ(hosting.playerName(), "Ann") << "the name the window was started under is offered";
    QTest::mouseClick(hosting.findChild<QPushButton*>("button_host"), Qt::LeftButton);
    ASSERT_TRUE(pumpUntil([&] { return connected(ann); }));
    EXPECT_EQ(labelOf(ann, "label_playername1"), "Ann");
    EXPECT_EQ(annProgram.server->player(1).name, "Ann");
    EXPECT_TRUE(ann.findChild<QPushButton*>("button_start")->isVisibleTo(&ann)) << "the host starts games";
    EXPECT_FALSE(item(ann, "HostaGame1")->isEnabled()) << "already in a multi-player game";
    EXPECT_FALSE(item(ann, "JoinaGame1")->isEnabled());
    ASSERT_NE(ann.announcer(), nullptr);

    auto* games = joining.findChild<QTreeWidget*>("list_games");
    ASSERT_TRUE(pumpUntil([&] {
        return games->topLevelItemCount() == 1
            && games->topLevelItem(0)->text(Tjoingame::SeatsColumn) == "1/4";
    }));
    const QString annAddress = QString("127.0.0.1:%1").arg(QString::fromStdString(annProgram.port));
    EXPECT_EQ(games->topLevelItem(0)->text(Tjoingame::HostColumn), "Ann");
    EXPECT_EQ(games->topLevelItem(0)->text(Tjoingame::AddressColumn), annAddress);
    EXPECT_EQ(games->topLevelItem(0)->text(Tjoingame::SpiesColumn), "0");
    EXPECT_EQ(games->topLevelItem(0)->text(Tjoingame::RoundColumn), "waiting");

    EXPECT_EQ(joining.playerName(), "Bob") << "the name the window was started under is offered";
    // A click, then the second press the window system reports as a double-click.
    const QPoint row = games->visualItemRect(games->topLevelItem(0)).center();
    QTest::mouseClick(games->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(games->viewport(), Qt::LeftButton, {}, row);
    ASSERT_TRUE(pumpUntil([&] {
        return labelOf(bob, "label_playername1") == "Ann" && labelOf(ann, "label_playername2") == "Bob";
    }));
    EXPECT_EQ(labelOf(bob, "label_playername2"), "Bob");
    EXPECT_EQ(bob.client().mynumber(), 2);
    EXPECT_FALSE(joining.isVisible());
    EXPECT_FALSE(item(bob, "JoinaGame1")->isEnabled());
    EXPECT_FALSE(bob.findChild<QPushButton*>("button_start")->isVisibleTo(&bob));
    EXPECT_TRUE(pumpUntil([&] { return ann.announcer()->status().seatsTaken == 2; }));

    EXPECT_EQ(stored("ann", SettingKey::PlayerName), "Ann");
    EXPECT_EQ(stored("bob", SettingKey::PlayerName), "Bob");
    EXPECT_EQ(stored("bob", SettingKey::RecentAddress1), annAddress);
    EXPECT_EQ(lobbyLinks, 2) << "hosting and joining open the lobby link as from the command line";
    EXPECT_TRUE(errors.isEmpty()) << errors.join("; ").toStdString();
}

TEST_F(HostJoinTest, TheAnnouncementFollowsTheGameAndCanBeTurnedOff)
{
    Program& own = program("own");
    Tchat& solo = open(own, {}, "solo");
    ASSERT_TRUE(pumpUntil([&] { return connected(solo); }));
    EXPECT_EQ(solo.announcer(), nullptr) << "a solo game is nobody else's business";
    EXPECT_TRUE(item(solo, "AnnounceMyGame1")->isChecked()) << "on unless the player turned it off";

    solo.hostGame("Hana");
    ASSERT_TRUE(pumpUntil([&] { return labelOf(solo, "label_playername1") == "Hana"; }));
    ASSERT_NE(solo.announcer(), nullptr);
    EXPECT_EQ(solo.announcer()->announcement().hostName, "Hana");
    EXPECT_EQ(solo.announcer()->announcement().gamePort, std::stoi(own.port));
    EXPECT_EQ(solo.announcer()->status(), (discovery::GameStatus { 1, 0, false }));

    Program& other = program("other");
    Tchat& ike = open(other, { "Ike" }, "ike");
    ike.joinGame("Ike", QString("127.0.0.1:%1").arg(QString::fromStdString(own.port)));
    ASSERT_TRUE(pumpUntil([&] { return solo.announcer()->status().seatsTaken == 2; }));
    solo.client().sendStart(3, false, 3);
    ASSERT_TRUE(pumpUntil([&] { return solo.announcer()->status().roundRunning; }));

    item(solo, "AnnounceMyGame1")->trigger(); // off
    EXPECT_EQ(solo.announcer(), nullptr);
    EXPECT_EQ(stored("solo", SettingKey::AnnounceGame), "false");
    item(solo, "AnnounceMyGame1")->trigger(); // on again
    ASSERT_NE(solo.announcer(), nullptr);
    EXPECT_EQ(solo.announcer()->status(), (discovery::GameStatus { 2, 0, true })) << "the status at once";
    EXPECT_EQ(stored("solo", SettingKey::AnnounceGame), "true");
    EXPECT_EQ(ike.announcer(), nullptr) << "a joiner announces nothing";
}

TEST_F(HostJoinTest, AHostWhoTurnedAnnouncingOffIsNotAnnounced)
{
    QFile file(settingsPath("quiet"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Lexmire]\nAnnounceGame=false\nPlayerName=Quinn\n");
    file.close();
    Program& own = program("own");
    Tchat& window = open(own, { "Quinn", "x", "true" }, "quiet");
    EXPECT_FALSE(item(window, "AnnounceMyGame1")->isChecked());
    ASSERT_TRUE(pumpUntil([&] { return connected(window); }));
    EXPECT_EQ(window.announcer(), nullptr);
}

TEST_F(HostJoinTest, TheHostAndJoinDialogsOfferTheNameThePlayerUses)
{
    QFile file(settingsPath("vic"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Lexmire]\nPlayerName=Quinn\n");
    file.close();

    // Started under a name with no game to take, as a lobby may start it: that name is offered,
    // not the one kept from an older game.
    Program& own = program("own");
    Tchat& named = open(own, { "Vic" }, "vic");
    item(named, "JoinaGame1")->trigger();
    EXPECT_EQ(named.joinDialog().playerName(), "Vic");
    named.joinDialog().reject();
    item(named, "HostaGame1")->trigger();
    EXPECT_EQ(named.hostDialog().playerName(), "Vic");
    named.hostDialog().reject();

    // A solo game plays as "You", which is nobody's name: the kept one is offered.
    Program& solo = program("solo");
    Tchat& window = open(solo, {}, "vic");
    ASSERT_TRUE(pumpUntil([&] { return connected(window); }));
    item(window, "JoinaGame1")->trigger();
    EXPECT_EQ(window.joinDialog().playerName(), "Quinn");
    window.joinDialog().reject();
    item(window, "HostaGame1")->trigger();
    EXPECT_EQ(window.hostDialog().playerName(), "Quinn");
    window.hostDialog().reject();
}

TEST_F(HostJoinTest, AJoinThatIsRefusedTellsAndOffersToTryAgainThenLeavesTheWindowOpen)
{
    // A port nobody listens on: every connection there is refused.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(kLoopback, 0));
    const QString address = QString("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();

    Program& own = program("own");
    Tchat& window = open(own, { "Zed" }, "zed");
    window.show();
    answers = { true }; // once more, then give up
    window.joinGame("Zed", address);
    EXPECT_FALSE(item(window, "JoinaGame1")->isEnabled()) << "a join under way";
    ASSERT_TRUE(pumpUntil([&] { return questions.size() == 2; }));
    EXPECT_TRUE(questions[0].startsWith("Could not reach 127.0.0.1: the connection was refused."));
    EXPECT_TRUE(questions[0].endsWith("Try again?"));
    EXPECT_TRUE(chatOf(window).contains("Connecting to 127.0.0.1 again.."));
    EXPECT_EQ(questions[1], questions[0]) << "the second try went to the same place";

    // Given up: a join chosen in the window leaves it open, offering a game again.
    ASSERT_TRUE(pumpUntil([&] { return item(window, "JoinaGame1")->isEnabled(); }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(item(window, "HostaGame1")->isEnabled());
    EXPECT_TRUE(chatOf(window).contains("Not connected."));
    EXPECT_EQ(stored("zed", SettingKey::RecentAddress1), "") << "an address never joined is not remembered";
    EXPECT_EQ(stored("zed", SettingKey::PlayerName), "Zed");
}

TEST_F(HostJoinTest, AJoinWithoutAnAnswerIsGivenUpAtItsDeadlineAndTriedAgain)
{
    QTcpServer silent; // the kernel accepts, nobody answers
    ASSERT_TRUE(silent.listen(kLoopback, 0));
    Program& own = program("own");
    Tchat& window = open(own, {}, "yan");
    ASSERT_TRUE(pumpUntil([&] { return connected(window); }));
    answers = { true };
    window.joinGame("Yan", QString("127.0.0.1:%1").arg(silent.serverPort()));
    ASSERT_TRUE(window.client().isConnecting());
    window.client().connectTimerTimer();
    ASSERT_TRUE(pumpUntil([&] { return questions.size() == 1; }));
    EXPECT_TRUE(questions[0].startsWith("Could not reach 127.0.0.1: no answer within 10 seconds."));
    // The retry goes to the same address and port, where only the silent listener is.
    EXPECT_TRUE(chatOf(window).contains("Connecting to 127.0.0.1 again.."));
    ASSERT_TRUE(pumpUntil([&] { return !window.client().isConnecting() && window.client().isOpen(); }));
    EXPECT_FALSE(item(window, "JoinaGame1")->isEnabled());
}

TEST_F(HostJoinTest, AnAddressNobodyKnowsIsToldLikeAnyFailedJoin)
{
    Program& own = program("own");
    Tchat& window = open(own, { "Vic" }, "vic");
    // Read as a name (no address has a part past 255), and one the endpoint
    // refuses without asking any name server.
    window.joinGame("Vic", "300.1.2.3");
    ASSERT_TRUE(pumpUntil([&] { return questions.size() == 1; }));
    EXPECT_TRUE(questions[0].startsWith("Could not reach 300.1.2.3: no host of that name is known."))
        << questions[0].toStdString();
    ASSERT_TRUE(pumpUntil([&] { return item(window, "HostaGame1")->isEnabled(); }));

    window.joinGame("Vic", "not an address");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("not an address")) << errors[0].toStdString();
    EXPECT_TRUE(item(window, "JoinaGame1")->isEnabled());
}

TEST_F(HostJoinTest, ASoloGameTurnsIntoAHostedGameWithoutANewProgram)
{
    Program& own = program("own");
    Tchat& window = open(own, {}, "solo");
    ASSERT_TRUE(pumpUntil([&] { return connected(window); }));
    EXPECT_EQ(own.server->player(1).name, "You");
    EXPECT_TRUE(item(window, "HostaGame1")->isEnabled()) << "a solo game is no multi-player game";
    window.client().sendStart(3, false, 3);
    ASSERT_TRUE(pumpUntil([&] { return own.server->isGameRunning() && window.client().gameRunning(); }));
    window.tally().ownWordAccepted("SEAT", 9);
    const auto tallied = window.tally().model().rows();

    window.hostGame("Hana");
    ASSERT_TRUE(pumpUntil([&] { return labelOf(window, "label_playername1") == "Hana"; }));
    EXPECT_EQ(own.stops, 1);
    EXPECT_EQ(window.client().mynumber(), 1) << "the host's window holds number 1 again";
    EXPECT_EQ(own.server->player(1).name, "Hana");
    EXPECT_EQ(own.server->slotsHandedOut(), 1) << "nothing of the solo game is connected";
    EXPECT_FALSE(own.server->isGameRunning()) << "the solo game's round ended with it";
    EXPECT_EQ(own.server->currentRound(), 0);
    EXPECT_FALSE(window.client().gameRunning());
    EXPECT_EQ(labelOf(window, "label_round"), "0");
    EXPECT_TRUE(window.findChild<QPushButton*>("button_start")->isVisibleTo(&window));
    EXPECT_FALSE(item(window, "HostaGame1")->isEnabled());
    EXPECT_EQ(window.tally().model().rows(), tallied) << "the tally stays";
    EXPECT_TRUE(chatOf(window).contains("Loading Solo Game..Please wait.")) << "the chat stays";

    // Others reach the new game on the program's port.
    Program& other = program("other");
    Tchat& guest = open(other, { "Gus" }, "gus");
    guest.joinGame("Gus", QString("127.0.0.1:%1").arg(QString::fromStdString(own.port)));
    ASSERT_TRUE(pumpUntil([&] { return labelOf(window, "label_playername2") == "Gus"; }));
}

TEST_F(HostJoinTest, ASoloGameTurnsIntoJoiningAnotherHostWithoutANewProgram)
{
    Program& remote = program("remote");
    Tchat& rex = open(remote, { "Rex", "x", "true" }, "rex");
    ASSERT_TRUE(pumpUntil([&] { return connected(rex); }));
    Program& own = program("own");
    Tchat& window = open(own, {}, "solo");
    ASSERT_TRUE(pumpUntil([&] { return connected(window); }));
    ASSERT_TRUE(item(window, "JoinaGame1")->isEnabled());

    window.joinGame("Jo", QString("127.0.0.1:%1").arg(QString::fromStdString(remote.port)));
    ASSERT_TRUE(pumpUntil([&] {
        return labelOf(window, "label_playername1") == "Rex" && labelOf(window, "label_playername2") == "Jo";
    }));
    EXPECT_EQ(labelOf(rex, "label_playername2"), "Jo");
    EXPECT_EQ(own.stops, 1);
    EXPECT_EQ(own.server->listeningPort(), 0) << "the solo game's server is off the network";
    EXPECT_EQ(own.server->slotsHandedOut(), 0);
    EXPECT_FALSE(window.client().state().ishost);
    EXPECT_FALSE(window.findChild<QPushButton*>("button_start")->isVisibleTo(&window));
    EXPECT_FALSE(item(window, "StartGame1")->isEnabled());
    EXPECT_FALSE(item(window, "JoinaGame1")->isEnabled());
    EXPECT_EQ(stored("solo", SettingKey::RecentAddress1),
        QString("127.0.0.1:%1").arg(QString::fromStdString(remote.port)));
}
