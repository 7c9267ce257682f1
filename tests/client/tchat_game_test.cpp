// The game display fed with the server's messages: found and refused words,
// filing order, round ends, the winner banner and the clock.
#include "board_palette.h"
#include "board_view.h"
#include "pictures.h"
#include "sound_player.h"
#include "tchat.h"
#include "tspylist.h"

#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QWidget>

#include <gtest/gtest.h>

class GameDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        TchatSetup setup;
        setup.settingsFile = folder.filePath("s.ini");
        window = std::make_unique<Tchat>(setup);
        deliver("CMD_sendlogininfo+2");
    }

    // A message from the server, handled at once.
    void deliver(const std::string& line) { window->client().handle(line); }
    const client::ClientState& state() { return window->client().state(); }

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
    deliver("CMD_foundword+2+cat+5+17+4+9");
    EXPECT_EQ(label("label_bonus2"), "+5");
    EXPECT_EQ(label("label_playerscore2"), "17");
    EXPECT_EQ(label("label_playerscore4"), "9");
    EXPECT_EQ(list(2), QStringList { "CAT: 5" });
    EXPECT_EQ(label("label_status2"), "CAT+5");
    EXPECT_TRUE(window->sounds().played().contains("goodword"));

    window->sounds().clearPlayed();
    deliver("CMD_foundword+3+tea+3+3+1+0");
    EXPECT_EQ(label("label_status2"), "CAT+5"); // another seat's word leaves the status line alone
    EXPECT_FALSE(window->sounds().played().contains("goodword"));
    EXPECT_EQ(list(3), QStringList { "TEA: 3" });
}

TEST_F(GameDisplay, WordsAreFiledByScoreKeepingTheOrderOfEqualScores)
{
    for (const char* word : { "aaa+3", "bbb+7", "ccc+5", "ddd+7" })
        deliver(std::string("CMD_foundword+1+") + word + "+0+3+0");
    EXPECT_EQ(list(1), (QStringList { "BBB: 7", "DDD: 7", "CCC: 5", "AAA: 3" }));
}

TEST_F(GameDisplay, AWordHoldingTheEntrysSeparatorIsFiledByItsOwnScore)
{
    deliver("CMD_foundword+2+x: 9+5+5+4+0");
    deliver("CMD_foundword+2+cat+3+8+4+0");
    deliver("CMD_foundword+2+a: 1+4+12+4+0");
    EXPECT_EQ(list(2), (QStringList { "X: 9: 5", "A: 1: 4", "CAT: 3" }));
}

TEST_F(GameDisplay, RefusedWordsShowInTheRefusedRed)
{
    deliver("CMD_badword+2+2+xyz+");
    EXPECT_EQ(label("label_status2"), "xyz is not a valid word.");
    EXPECT_EQ(window->findChild<QLabel*>("label_status2")->palette().color(QPalette::WindowText),
        boardpalette::refusedText());
    deliver("CMD_badword+1+2+cat+");
    EXPECT_EQ(label("label_status2"), "cat already exists.");
    EXPECT_EQ(window->sounds().played().count("badword"), 2);
}

TEST_F(GameDisplay, ARoundEndShowsThePointsAndEmptiesTheBoard)
{
    deliver("CMD_foundword+2+dog+4+4+4+0");
    deliver("CMD_boardtileline+0+1+2+3+4+5+6+7+8+9+10+11+12+13");
    deliver("CMD_setbonustiles+");
    deliver("CMD_endround+12+0+7+0");
    EXPECT_EQ(label("label_points1"), "for 12 points");
    EXPECT_EQ(label("label_points2"), "for 0 points");
    EXPECT_EQ(label("label_points3"), "for 7 points");
    EXPECT_EQ(label("label_bonus1"), "+12");
    EXPECT_EQ(label("label_bonus2"), "+4");
    EXPECT_EQ(label("label_bonus3"), "+7");
    EXPECT_FALSE(window->findChild<QWidget*>("panel_scrolls")->isHidden());
    EXPECT_EQ(state().boardtiles[5][0], 0);
    EXPECT_EQ(state().boardbonus[6][4], 0);
    EXPECT_EQ(state().secondsleft, 30);
    EXPECT_EQ(window->findChild<BoardView*>("board")->tileAt(5, 0), 0);
    EXPECT_EQ(label("label_status2"), "Next Round will start in a moment");
}

TEST_F(GameDisplay, TheWinnerBannerNamesOneOrTwo)
{
    deliver("CMD_winner+Ann and Bob");
    EXPECT_EQ(label("label_winner1"), "Ann and Bob Have Won the Game!");
    EXPECT_EQ(label("label_winner2"), "Ann and Bob Have Won the Game!");
    deliver("CMD_winner+Ann");
    EXPECT_EQ(label("label_winner1"), "Ann Has Won the Game!");
    EXPECT_FALSE(window->findChild<QWidget*>("panel_winner")->isHidden());
    EXPECT_EQ(label("label_status2"), "Game Over!");
}

TEST_F(GameDisplay, TheClockCountsDownToZeroAndStops)
{
    deliver("CMD_startgame+1+3+n+2+");
    deliver("CMD_nextround+1");
    EXPECT_EQ(state().secondsleft, 120);
    EXPECT_TRUE(state().canplay);
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 1:59");
    deliver("CMD_updatetime+62");
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 1:01");
    deliver("CMD_updatetime+10");
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 0:09");
    deliver("CMD_updatetime+1");
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 0:00");
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 0:00");
    EXPECT_EQ(state().secondsleft, 0);
}

TEST_F(GameDisplay, AStartShowsSettingsAndTeamMarkers)
{
    deliver("CMD_startgame+2+5+y+4+");
    EXPECT_EQ(label("label_status1"), "Rounds in Game: 5");
    EXPECT_EQ(label("label_timeperround"), "Time Per Round: 4");
    for (int seat = 1; seat <= 4; ++seat)
        EXPECT_FALSE(window->findChild<QWidget*>(QString("team%1").arg(seat))->isHidden());
    // The balls are drawn when a team game first shows them: seats 1 and 3 against 2 and 4.
    const auto ball = [this](int seat) {
        return window->findChild<QLabel*>(QString("team%1").arg(seat))->pixmap().toImage();
    };
    const QImage first = Pictures::teamBall(1, window->devicePixelRatioF()).toImage();
    EXPECT_EQ(ball(1), first);
    EXPECT_EQ(ball(3), first);
    EXPECT_EQ(ball(2), Pictures::teamBall(2, window->devicePixelRatioF()).toImage());
    EXPECT_NE(ball(2), first);
    deliver("CMD_startgame+2+3+n+1+");
    EXPECT_TRUE(window->findChild<QWidget*>("team1")->isHidden());
}

TEST_F(GameDisplay, AFloodOfSpyAnnouncementsIsBounded)
{
    for (int i = 0; i < 200; ++i)
        deliver("CMD_newplayerinfo+6+Spy" + std::to_string(i));
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
    EXPECT_TRUE(idle.client().phraseready());
}

TEST_F(GameDisplay, ABoardLineHoldingACodeThatIsNoLetterIsRefusedWhole)
{
    deliver("CMD_boardtileline+0+5+27+9+1+1+1+1+1+1+1+1+1+1");
    EXPECT_EQ(state().boardtiles[0][0], 0); // 27 would be a tile nobody sees but anyone can pick up
    deliver("CMD_boardtileline+1+26+0+1+1+1+1+1+1+1+1+1+1+-1");
    EXPECT_EQ(state().boardtiles[0][1], 0);
    deliver("CMD_boardtileline+1+26+0+1+1+1+1+1+1+1+1+1+1+2");
    EXPECT_EQ(state().boardtiles[0][1], 26);
    EXPECT_EQ(state().boardtiles[12][1], 2);
    const auto* board = window->findChild<BoardView*>("board");
    for (int c = 0; c < 13; ++c)
        for (int r = 0; r < 9; ++r)
            EXPECT_EQ(board->tileAt(c, r), state().boardtiles[std::size_t(c)][std::size_t(r)]);
}

TEST_F(GameDisplay, MinutesBeyondWhatAServerAllowsAreHeldToItsBounds)
{
    deliver("CMD_startgame+1+3+n+2147483647+");
    deliver("CMD_nextround+1");
    EXPECT_EQ(state().secondsleft, kServerMaxMinutes * 60);
    window->timer2Timer();
    EXPECT_EQ(label("label_time"), "Time: 59:59");
    EXPECT_EQ(label("label_timeperround"), QString("Time Per Round: %1").arg(kServerMaxMinutes));
    deliver("CMD_gamestats+3+n+-2147483648+");
    deliver("CMD_nextround+2");
    EXPECT_EQ(state().secondsleft, kServerMinMinutes * 60);
}

TEST_F(GameDisplay, EachRoundAndEachGameStartsWithAFreshStatusLine)
{
    deliver("CMD_startgame+1+3+n+2+");
    deliver("CMD_nextround+1");
    deliver("CMD_endround+0+0+0+0");
    EXPECT_EQ(label("label_status2"), "Next Round will start in a moment");
    deliver("CMD_nextround+2");
    EXPECT_EQ(label("label_status2"), "");
    deliver("CMD_endround+0+0+0+0");
    deliver("CMD_winner+Ann");
    EXPECT_EQ(label("label_status2"), "Game Over!");
    deliver("CMD_startgame+1+3+n+2+");
    EXPECT_EQ(label("label_status2"), "");
    EXPECT_TRUE(window->findChild<QWidget*>("panel_winner")->isHidden());
}

TEST_F(GameDisplay, ATieBreakRoundSaysWhyItIsThere)
{
    deliver("CMD_startgame+1+3+n+2+");
    deliver("CMD_nextround+3");
    EXPECT_EQ(label("label_status2"), "");
    deliver("CMD_endround+5+5+0+0");
    deliver("CMD_nextround+4");
    EXPECT_EQ(label("label_status2"), "Tie! One more round decides it.");
    EXPECT_TRUE(
        window->findChild<QTextEdit*>("mainchat")->toPlainText().contains("Tie! One more round decides it."));
    EXPECT_EQ(label("label_round"), "4");
}

TEST_F(GameDisplay, TheBannerSpeaksRightOfYouAndOfATeamWhosePartnerLeft)
{
    deliver("CMD_winner+You");
    EXPECT_EQ(label("label_winner1"), "You Have Won the Game!");
    deliver("CMD_winner+Bob and ");
    EXPECT_EQ(label("label_winner1"), "Bob Has Won the Game!");
    deliver("CMD_winner+Bob and Cid");
    EXPECT_EQ(label("label_winner1"), "Bob and Cid Have Won the Game!");
}

TEST_F(GameDisplay, ALatecomerSeesTheRoundClockAndScoresEverybodySees)
{
    deliver("CMD_gamestats+3+n+2+2+75+10+20+0+0+");
    EXPECT_EQ(label("label_round"), "2");
    EXPECT_EQ(label("label_time"), "Time: 1:15");
    EXPECT_EQ(label("label_playerscore1"), "10");
    EXPECT_EQ(label("label_playerscore2"), "20");
    EXPECT_TRUE(state().canplay);
}
