// The game display fed with the server's messages: found and refused words,
// filing order, round ends, the winner banner and the clock.
#include "board_view.h"
#include "sound_player.h"
#include "tchat.h"
#include "tspylist.h"

#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <limits>

class GameDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        TchatSetup setup;
        setup.settingsFile = folder.filePath("s.ini");
        window = std::make_unique<Tchat>(setup);
        window->mynumber = 2;
    }

    QString label(const QString& name) { return window->findChild<QLabel*>(name)->text(); }
    QStringList list(int seat)
    {
        QStringList entries;
        auto* box = window->findChild<QListWidget*>(QString("listbox_scroll%1").arg(seat));
        for (int i = 0; i < box->count(); ++i)
            entries << box->item(i)->text();
        return entries;
    }

    QTemporaryDir folder;
    std::unique_ptr<Tchat> window;
};

TEST_F(GameDisplay, AFoundWordUpdatesScoresListsAndTheFindersStatus)
{
    window->foundword("2+cat+5+17+4+9");
    EXPECT_EQ(label("label_bonus2"), "+5");
    EXPECT_EQ(label("label_playerscore2"), "17");
    EXPECT_EQ(label("label_playerscore4"), "9");
    EXPECT_EQ(list(2), QStringList { "CAT: 5" });
    EXPECT_EQ(label("label_status2"), "CAT+5");
    EXPECT_TRUE(window->sounds().played().contains("goodword"));

    window->sounds().clearPlayed();
    window->foundword("3+tea+3+3+1+0");
    EXPECT_EQ(label("label_status2"), "CAT+5"); // another seat's word leaves the status line alone
    EXPECT_FALSE(window->sounds().played().contains("goodword"));
    EXPECT_EQ(list(3), QStringList { "TEA: 3" });
}

TEST_F(GameDisplay, WordsAreFiledByScoreKeepingTheOrderOfEqualScores)
{
    auto* box = window->findChild<QListWidget*>("listbox_scroll1");
    Tchat::addtolist(box, 3, "AAA");
    Tchat::addtolist(box, 7, "BBB");
    Tchat::addtolist(box, 5, "CCC");
    Tchat::addtolist(box, 7, "DDD");
    EXPECT_EQ(list(1), (QStringList { "BBB: 7", "DDD: 7", "CCC: 5", "AAA: 3" }));
}

TEST_F(GameDisplay, AWordHoldingTheEntrysSeparatorIsFiledByItsOwnScore)
{
    window->foundword("2+x: 9+5+5+0+0");
    window->foundword("2+cat+3+8+0+0");
    window->foundword("2+a: 1+4+12+0+0");
    EXPECT_EQ(list(2), (QStringList { "X: 9: 5", "A: 1: 4", "CAT: 3" }));
}

TEST_F(GameDisplay, RefusedWordsShowInRed)
{
    window->badword("2+2+xyz+");
    EXPECT_EQ(label("label_status2"), "xyz is not a valid word.");
    EXPECT_TRUE(window->findChild<QLabel*>("label_status2")->styleSheet().contains("#ff0000"));
    window->badword("1+2+cat+");
    EXPECT_EQ(label("label_status2"), "cat already exists.");
    EXPECT_EQ(window->sounds().played().count("badword"), 2);
}

TEST_F(GameDisplay, ARoundEndShowsThePointsAndEmptiesTheBoard)
{
    window->findChild<QLabel*>("label_bonus2")->setText("+4");
    window->boardtileline("0+1+2+3+4+5+6+7+8+9+10+11+12+13");
    window->setbonustiles();
    window->endturn("12+0+7+0");
    EXPECT_EQ(label("label_points1"), "for 12 points");
    EXPECT_EQ(label("label_points2"), "for 0 points");
    EXPECT_EQ(label("label_points3"), "for 7 points");
    EXPECT_EQ(label("label_bonus1"), "+12");
    EXPECT_EQ(label("label_bonus2"), "+4");
    EXPECT_EQ(label("label_bonus3"), "+7");
    EXPECT_FALSE(window->findChild<QWidget*>("panel_scrolls")->isHidden());
    EXPECT_EQ(window->boardtiles[5][0], 0);
    EXPECT_EQ(window->boardbonus[6][4], 0);
    EXPECT_EQ(window->secondsleft, 30);
    EXPECT_EQ(label("label_status2"), "Next Round will start in a moment");
}

TEST_F(GameDisplay, TheWinnerBannerNamesOneOrTwo)
{
    window->postwinner("Ann and Bob");
    EXPECT_EQ(label("label_winner1"), "Ann and Bob Have Won the Game!");
    EXPECT_EQ(label("label_winner2"), "Ann and Bob Have Won the Game!");
    window->postwinner("Ann");
    EXPECT_EQ(label("label_winner1"), "Ann Has Won the Game!");
    EXPECT_FALSE(window->findChild<QWidget*>("panel_winner")->isHidden());
    EXPECT_EQ(label("label_status2"), "Game Over!");
}

TEST_F(GameDisplay, TheClockCountsDownToZeroAndStops)
{
    window->startthegame("1+3+n+2+");
    window->nextround("1");
    EXPECT_EQ(window->secondsleft, 120);
    EXPECT_TRUE(window->canplay);
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 1:59");
    window->updatetime("62");
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 1:01");
    window->updatetime("10");
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 0:09");
    window->updatetime("1");
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 0:00");
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 0:00");
    EXPECT_EQ(window->secondsleft, 0);
}

TEST_F(GameDisplay, AStartShowsSettingsAndTeamMarkers)
{
    window->startthegame("2+5+y+4+");
    EXPECT_EQ(label("label_status1"), "Rounds in Game: 5");
    EXPECT_EQ(label("label_timeperround"), "Time Per Round: 4");
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_FALSE(window->findChild<QWidget*>(QString("team%1").arg(seat))->isHidden());
    window->startthegame("2+3+n+1+");
    EXPECT_TRUE(window->findChild<QWidget*>("team1")->isHidden());
}

TEST_F(GameDisplay, AFloodOfSpyAnnouncementsIsBounded)
{
    for (int i = 0; i < 200; ++i)
        window->newplayerinfo("6+Spy" + std::to_string(i));
    EXPECT_EQ(window->spyList().lines().size(), 64);
}

TEST_F(GameDisplay, APhraseWithoutAConnectionReportsTheErrorAndStartsNoCooldown)
{
    QStringList errors;
    TchatSetup setup;
    setup.settingsFile = folder.filePath("p.ini");
    setup.showError = [&](const QString& text) { errors << text; };
    Tchat idle(setup);
    idle.b_phrase1Click(1);
    EXPECT_EQ(errors, QStringList { "Send - Socket Not Connected" });
    EXPECT_TRUE(idle.phraseready);
}

TEST_F(GameDisplay, ABoardLineStopsAtACodeThatIsNoLetter)
{
    window->boardtileline("0+5+27+9+-1");
    EXPECT_EQ(window->boardtiles[0][0], 5);
    EXPECT_EQ(window->boardtiles[1][0], 0); // 27 would be a tile nobody sees but anyone can pick up
    EXPECT_EQ(window->boardtiles[2][0], 0);
    window->boardtileline("1+26+0+-1");
    EXPECT_EQ(window->boardtiles[0][1], 26);
    EXPECT_EQ(window->boardtiles[2][1], 0);
    const auto* board = window->findChild<BoardView*>("board");
    for (int c = 0; c < 13; ++c)
        for (int r = 0; r < 9; ++r)
            EXPECT_EQ(board->tileAt(c, r), window->boardtiles[c][r]);
}

TEST_F(GameDisplay, MinutesBeyondTheClocksRangeStopAtItsEnd)
{
    window->startthegame("1+3+n+2147483647+");
    window->nextround("1");
    EXPECT_EQ(window->secondsleft, std::numeric_limits<int>::max());
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 35791394:06");
    window->gamestats("3+n+-2147483648+");
    window->nextround("2");
    EXPECT_LE(window->secondsleft, 0);
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 35791394:06"); // a clock with nothing left does not move
}
