// The host's leaving ends the game of the people seated with it: File → Exit and
// the frame's close ask first, naming them; the host's own computer players are
// no people, and a joiner's leaving ends nobody's game.
#include "window_fixture.h"

#include "computer_player.h"
#include "computer_players.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QSpontaneKeyEvent>

using testsupport::pumpUntil;

class HostLeavingTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // The host's computer players are ticked by hand like the windows.
        testsupport::setPumpHook([this] {
            tickEverything();
            for (auto& window : windows)
                for (const auto& player : window->computerPlayers().players())
                    while (player->client().queuedMessages() > 0)
                        player->client().Timer1Timer();
        });
    }

    static void exitFromTheMenu(Tchat& window) { window.findChild<QAction*>("Exit1")->trigger(); }
};

TEST_F(HostLeavingTest, TheHostIsAskedBeforeItsLeavingEndsTheGameOfThePeopleSeated)
{
    Tchat& host = join("Host", { "x", "true" });
    Tchat& bob = join("Bob");
    host.findChild<QAction*>("AddComputerLevel1")->trigger();
    join("Cara");
    ASSERT_TRUE(
        pumpUntil([&] { return seatNameOf(host, 3) == "Ada (computer)" && seatNameOf(host, 4) == "Cara"; }));
    host.show();
    bob.show();

    // No: everything stays as it was.
    answer = false;
    exitFromTheMenu(host);
    EXPECT_EQ(questions, QStringList { "End the game for Bob and Cara?" });
    testsupport::pumpPending();
    EXPECT_TRUE(host.isVisible());
    EXPECT_TRUE(host.client().loggedin());
    // The frame's close, as the window manager sends it, asks the same.
    QCloseEvent frameClose;
    QSpontaneKeyEvent::setSpontaneous(&frameClose);
    QApplication::instance()->notify(&host, &frameClose); // as delivered, spontaneous
    EXPECT_FALSE(frameClose.isAccepted());
    ASSERT_EQ(questions.size(), 2);
    EXPECT_EQ(questions.last(), "End the game for Bob and Cara?");
    EXPECT_TRUE(host.isVisible());

    // A joiner's leaving ends nobody's game: no question.
    exitFromTheMenu(bob);
    EXPECT_FALSE(bob.isVisible());
    EXPECT_EQ(questions.size(), 2);

    // Yes: the host's window closes.
    answer = true;
    exitFromTheMenu(host);
    EXPECT_EQ(questions.size(), 3);
    EXPECT_FALSE(host.isVisible());
}

TEST_F(HostLeavingTest, AHostWithOnlyItsComputerPlayersLeavesWithoutAQuestion)
{
    Tchat& solo = open({});
    ASSERT_TRUE(pumpUntil([&] { return chatOf(solo).contains("You are Connected."); }));
    solo.findChild<QAction*>("AddComputerLevel1")->trigger();
    ASSERT_TRUE(pumpUntil([&] { return seatNameOf(solo, 2) == "Ada (computer)"; }));
    solo.show();
    exitFromTheMenu(solo);
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_FALSE(solo.isVisible());
}
