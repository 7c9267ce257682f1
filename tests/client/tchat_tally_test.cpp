// What play records in the tally: only seated players in games with another
// seated player, never team games.
#include "tchat.h"
#include "ttallylist.h"
#include "window_palette.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class TallyFromPlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        TchatSetup setup;
        setup.settingsFile = folder.filePath("s.ini");
        window = std::make_unique<Tchat>(setup);
        window->tally().ask = [](const QString&) { return true; };
    }

    void seat(int n, const QString& name)
    {
        deliver("CMD_newplayerinfo+" + std::to_string(n) + "+" + name.toStdString());
    }
    void deliver(const std::string& line) { window->client().handle(line); }
    const TallyModel& model() { return window->tally().model(); }

    QTemporaryDir folder;
    std::unique_ptr<Tchat> window;
};

TEST_F(TallyFromPlay, ATwoPlayerGameIsRecordedOnBothSides)
{
    deliver("CMD_sendlogininfo+1");
    seat(1, "Ann");
    seat(2, "Bob");
    deliver("CMD_foundword+1+quartz+30+30+3+0");
    EXPECT_EQ(model().cell(0, TallyModel::LongestWord), "QUARTZ");
    EXPECT_EQ(model().number(0, TallyModel::TotalWords), 1);
    deliver("CMD_foundword+1+cat+5+35+3+0"); // shorter and lower: no new record
    EXPECT_EQ(model().cell(0, TallyModel::BestWord), "QUARTZ");
    EXPECT_EQ(model().number(0, TallyModel::TotalWords), 2);
    deliver("CMD_startgame+1+3+n+2+");
    deliver("CMD_endround+35+0+0+0");
    EXPECT_EQ(model().cell(0, TallyModel::BestRound), "2 mins-2 Words");
    deliver("CMD_winner+Ann");
    EXPECT_EQ(model().number(0, TallyModel::Games), 1);
    EXPECT_EQ(model().number(0, TallyModel::Wins), 1);
}

TEST_F(TallyFromPlay, SoloSpiesAndTeamsRecordNothing)
{
    deliver("CMD_sendlogininfo+1");
    seat(1, "You");
    deliver("CMD_foundword+1+quartz+30+30+3+0");
    deliver("CMD_winner+You");
    EXPECT_EQ(model().number(0, TallyModel::Games), 0);
    EXPECT_EQ(model().number(0, TallyModel::TotalWords), 0);

    seat(2, "Bob");
    deliver("CMD_winner+You and Cid");
    EXPECT_EQ(model().number(0, TallyModel::Games), 0);

    TchatSetup setup;
    setup.settingsFile = folder.filePath("spy.ini");
    Tchat spy(setup);
    spy.client().handle("CMD_sendlogininfo+5");
    spy.client().handle("CMD_newplayerinfo+1+Ann");
    spy.client().handle("CMD_newplayerinfo+2+Bob");
    spy.client().handle("CMD_winner+Ann");
    EXPECT_EQ(spy.tally().model().number(0, TallyModel::Games), 0);
}

TEST_F(TallyFromPlay, AnUnreadableTallyFileIsReportedAndKeptAside)
{
    const QString path = folder.filePath("lexmire2tally.tld");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a tally at all");
    }
    QStringList notices;
    window->tally().notify = [&](const QString& text) { notices << text; };
    window->tally().loadFromFile(path);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].endsWith("this file has no valid header !"));
    EXPECT_TRUE(QFile::exists(path + ".unreadable"));
    EXPECT_EQ(model().rowCount(), 1);

    window->tally().saveToFile(path);
    Ttallylist fresh;
    fresh.loadFromFile(path);
    fresh.buildControls();
    EXPECT_EQ(fresh.model().rows(), model().rows());
    EXPECT_EQ(fresh.findChild<QLabel*>("mylabel_3")->text(), "0 (0)");
}

TEST_F(TallyFromPlay, TickingStartsATallyAndUntickingAsksFirst)
{
    deliver("CMD_sendlogininfo+1");
    seat(1, "Ann");
    seat(2, "Bob");
    window->tally().buildControls();
    auto* current = window->tally().findChild<QListWidget*>("checklist");
    auto* tallied = window->tally().findChild<QListWidget*>("listbox_tally");
    ASSERT_EQ(current->count(), 1);
    current->item(0)->setCheckState(Qt::Checked);
    ASSERT_EQ(tallied->count(), 1);
    EXPECT_EQ(tallied->item(0)->text(), "Bob");

    window->tally().ask = [](const QString&) { return false; };
    tallied->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(tallied->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(model().rowCount(), 2);

    QString asked;
    window->tally().ask = [&](const QString& question) {
        asked = question;
        return true;
    };
    tallied->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(asked, "This will delete Bob's Tally, Are you want to delete it?");
    EXPECT_EQ(model().rowCount(), 1);
    EXPECT_EQ(tallied->count(), 0);
}

TEST_F(TallyFromPlay, TheTurnScoreReadsZeroUntilARoundIsRecorded)
{
    deliver("CMD_sendlogininfo+1");
    seat(1, "Ann");
    seat(2, "Bob");
    window->tally().buildControls();
    auto* turnScore = window->tally().findChild<QLabel*>("mylabel_8");
    EXPECT_EQ(turnScore->text(), "0");
    deliver("CMD_foundword+1+quartz+30+30+3+0");
    EXPECT_EQ(turnScore->text(), "0");
    deliver("CMD_startgame+1+3+n+2+");
    deliver("CMD_endround+30+0+0+0");
    EXPECT_EQ(turnScore->text(), "2 mins-1 Words (30)");
}

TEST_F(TallyFromPlay, TheTallyWindowIsMadeWhenFirstShownWithEveryFigureAndPlayerThatCameBefore)
{
    deliver("CMD_sendlogininfo+1");
    seat(1, "Ann");
    seat(2, "Bob");
    deliver("CMD_foundword+1+quartz+30+30+3+0");
    Ttallylist& tally = window->tally();
    // Figures and players arrive while the window has never been shown: nothing of it is made ...
    EXPECT_EQ(tally.findChild<QLabel*>("mylabel_3"), nullptr);
    EXPECT_EQ(tally.findChild<QListWidget*>("checklist"), nullptr);
    EXPECT_EQ(tally.playersInGame(), QStringList { "Bob" });
    tally.show();
    auto* longest = tally.findChild<QLabel*>("mylabel_3");
    ASSERT_NE(longest, nullptr);
    longest->ensurePolished();
    // ... and it opens with them, in the window's gold.
    EXPECT_TRUE(longest->text().startsWith("QUARTZ")) << longest->text().toStdString();
    EXPECT_EQ(longest->palette().color(QPalette::WindowText), windowpalette::goldText());
    auto* inGame = tally.findChild<QListWidget*>("checklist");
    ASSERT_EQ(inGame->count(), 1);
    EXPECT_EQ(inGame->item(0)->text(), "Bob");
    EXPECT_EQ(inGame->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(longest->textFormat(), Qt::PlainText);
    tally.hide();
    tally.show();
    EXPECT_EQ(longest->palette().color(QPalette::WindowText), windowpalette::goldText());
}
