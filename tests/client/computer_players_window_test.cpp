// Computer players from the window: the host adds and removes them, every
// window marks them, a solo start against the computer seats them first, and
// the tally counts them only when the player tallies them.
#include "window_fixture.h"

#include "computer_choice.h"
#include "computer_player.h"
#include "computer_players.h"
#include "tgamestartform.h"
#include "ttallylist.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QTest>

using testsupport::pumpUntil;

namespace {

QAction* item(Tchat& window, const char* name) { return window.findChild<QAction*>(name); }

// File → Add Computer Player, as the menu bar offers it.
QAction* offered(Tchat& window) { return window.findChild<QMenu*>("AddComputerPlayer1")->menuAction(); }

bool markerShown(Tchat& window, int seat)
{
    const auto* marker = window.findChild<QLabel*>(QString("label_computer%1").arg(seat));
    return marker && marker->isVisibleTo(&window) && !marker->pixmap().isNull();
}

// The level a roster line shows beside a computer player's name.
QString levelShown(Tchat& window, int seat)
{
    const auto* level = window.findChild<QLabel*>(QString("label_computerlevel%1").arg(seat));
    return level && level->isVisibleTo(&window) ? level->text() : QString();
}

QString markerTip(Tchat& window, int seat)
{
    return window.findChild<QLabel*>(QString("label_computer%1").arg(seat))->toolTip();
}

// The start dialog's offer, ticked for this level and number, and Start pressed.
void startAgainstTheComputer(Tchat& window, int level, int count)
{
    Tgamestartform& form = window.startForm();
    form.findChild<QCheckBox*>("checkbox_computer")->setChecked(true);
    form.findChild<QComboBox*>("combo_computerlevel")->setCurrentIndex(level - 1);
    form.findChild<QComboBox*>("combo_computercount")->setCurrentIndex(count - 1);
    QTest::mouseClick(form.findChild<QWidget*>("button_startthegame"), Qt::LeftButton);
}

// What every seat holds each time a game starts.
struct SeatsAtStart {
    explicit SeatsAtStart(Tchat& window)
    {
        QObject::connect(&window.client(), &GameClient::gameStarted, [this, &window] {
            std::vector<QString> seats;
            for (int seat = 1; seat <= 4; ++seat)
                seats.push_back(window.client().state().seat(seat).name);
            starts.push_back(seats);
        });
    }
    std::vector<std::vector<QString>> starts;
};

} // namespace

class ComputerPlayersWindow : public WindowTest {
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
};

TEST_F(ComputerPlayersWindow, TheHostAddsAComputerEveryWindowMarksAndRemovesIt)
{
    Tchat& host = join("Host", { "x", "true" });
    Tchat& bob = join("Bob");
    ASSERT_TRUE(pumpUntil([&] { return labelOf(host, "label_playername2") == "Bob"; }));
    EXPECT_TRUE(offered(host)->isEnabled());
    EXPECT_FALSE(offered(bob)->isEnabled()) << "only the host seats computers";

    item(host, "AddComputerLevel4")->trigger();
    ASSERT_TRUE(pumpUntil(
        [&] { return seatNameOf(host, 3) == "Ada (computer)" && seatNameOf(bob, 3) == "Ada (computer)"; }));
    EXPECT_EQ(server->player(3).name, "Ada (computer)");
    for (Tchat* window : { &host, &bob }) {
        EXPECT_TRUE(markerShown(*window, 3));
        EXPECT_FALSE(markerShown(*window, 1));
        EXPECT_FALSE(markerShown(*window, 2));
        EXPECT_FALSE(markerShown(*window, 4));
    }
    EXPECT_EQ(markerTip(host, 3), "Computer player, Expert");
    EXPECT_EQ(markerTip(bob, 3), "Computer player");
    ASSERT_EQ(host.computerPlayers().players().size(), 1u);
    EXPECT_EQ(host.computerPlayers().players()[0]->level().number, 4);

    // A second one takes the last seat under another name; then none is offered.
    item(host, "AddComputerLevel1")->trigger();
    ASSERT_TRUE(pumpUntil([&] { return seatNameOf(bob, 4) == "Alan (computer)"; }));
    EXPECT_TRUE(pumpUntil([&] { return !offered(host)->isEnabled(); }));
    EXPECT_EQ(markerTip(host, 4), "Computer player, Beginner");

    // Removed as anyone is: the server closes it and the host lets it go.
    host.label_playername1ContextPopup(3, QPoint());
    host.RemoveFromGame1Click();
    ASSERT_TRUE(pumpUntil([&] {
        return labelOf(bob, "label_playername3") == "<Waiting>"
            && host.computerPlayers().players().size() == 1;
    }));
    EXPECT_FALSE(markerShown(bob, 3));
    EXPECT_FALSE(markerShown(host, 3));
    EXPECT_TRUE(markerShown(bob, 4));
    EXPECT_TRUE(offered(host)->isEnabled());
    EXPECT_TRUE(chatOf(bob).contains("Ada (computer) disconnected."));
}

TEST_F(ComputerPlayersWindow, ASoloStartAgainstTheComputerSeatsThemFirstAndIsRemembered)
{
    Tchat& solo = open({});
    ASSERT_TRUE(pumpUntil([&] { return chatOf(solo).contains("You are Connected."); }));
    EXPECT_EQ(solo.findChild<Tgamestartform*>(), nullptr) << "built when first opened";
    Tgamestartform& form = solo.startForm();
    auto* tick = form.findChild<QCheckBox*>("checkbox_computer");
    ASSERT_TRUE(tick);
    EXPECT_TRUE(tick->isVisibleTo(&form)) << "a solo game offers the computer";
    EXPECT_FALSE(tick->isChecked());
    tick->click();
    form.findChild<QComboBox*>("combo_computerlevel")->setCurrentIndex(0);
    form.findChild<QComboBox*>("combo_computercount")->setCurrentIndex(1);

    // What every seat held when the game started.
    std::vector<QString> seatedAtStart;
    QObject::connect(&solo.client(), &GameClient::gameStarted, [&] {
        for (int seat = 1; seat <= 4; ++seat)
            seatedAtStart.push_back(solo.client().state().seat(seat).name);
    });
    QTest::mouseClick(form.findChild<QWidget*>("button_startthegame"), Qt::LeftButton);
    ASSERT_TRUE(pumpUntil([&] { return !seatedAtStart.empty() && solo.client().canplay(); }));
    EXPECT_EQ(seatedAtStart, (std::vector<QString> { "You", "Ada (computer)", "Alan (computer)", "" }));
    EXPECT_TRUE(markerShown(solo, 2));
    EXPECT_TRUE(markerShown(solo, 3));
    for (const auto& player : solo.computerPlayers().players())
        EXPECT_EQ(player->level().number, 1);
    EXPECT_EQ(server->currentRound(), 1);

    // The choice is kept under its own keys.
    QFile file(folder.filePath("settings.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    EXPECT_TRUE(stored.contains("PlayComputer=true")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("ComputerLevel=1"));
    EXPECT_TRUE(stored.contains("ComputerCount=2"));

    // The next start finds them seated: nobody more sits down.
    solo.startgame();
    EXPECT_EQ(solo.computerPlayers().players().size(), 2u);
    EXPECT_EQ(solo.computerPlayers().joining(), 0);
}

TEST_F(ComputerPlayersWindow, OnlyASoloGameOffersTheComputerInTheStartDialog)
{
    Tchat& host = join("Host", { "x", "true" });
    auto* tick = host.startForm().findChild<QCheckBox*>("checkbox_computer");
    ASSERT_TRUE(tick);
    EXPECT_FALSE(tick->isVisibleTo(&host.startForm()));
    // Ticked in the settings, it still seats nobody in a game for people.
    tick->setChecked(true);
    host.startgame();
    ASSERT_TRUE(pumpUntil([&] { return host.client().canplay(); }));
    EXPECT_TRUE(host.computerPlayers().players().empty());
}

// The tally, fed the server's messages directly.
class ComputerTally : public ::testing::Test {
protected:
    void SetUp() override
    {
        TchatSetup setup;
        setup.settingsFile = folder.filePath("s.ini");
        window = std::make_unique<Tchat>(setup);
        window->tally().ask = [](const QString&) { return true; };
        deliver("CMD_sendlogininfo+1");
        seat(1, "You");
    }

    void seat(int n, const QString& name)
    {
        deliver("CMD_newplayerinfo+" + std::to_string(n) + "+" + name.toStdString());
    }
    void deliver(const std::string& line) { window->client().handle(line); }
    void playAGame(const std::string& winner)
    {
        deliver("CMD_startgame+1+3+n+2+");
        deliver("CMD_nextround+1");
        deliver("CMD_foundword+1+quartz+30+30+3+0");
        deliver("CMD_endround+30+5+0+0");
        deliver("CMD_winner+" + winner);
    }
    const TallyModel& model() { return window->tally().model(); }
    QListWidget* list(const char* name)
    {
        window->tally().buildControls();
        return window->tally().findChild<QListWidget*>(name);
    }

    QTemporaryDir folder;
    std::unique_ptr<Tchat> window;
};

TEST_F(ComputerTally, AGameAgainstComputersAloneRecordsNothingUntilOneIsTallied)
{
    seat(2, "Ada (computer)");
    seat(3, "Alan (computer) (2)");
    playAGame("You");
    EXPECT_EQ(model().number(0, TallyModel::Games), 0);
    EXPECT_EQ(model().number(0, TallyModel::Wins), 0);
    EXPECT_EQ(model().number(0, TallyModel::TotalWords), 0);
    EXPECT_EQ(model().threshold(TallyModel::BestRound), 0);

    // The player ticks one of them in the tally window: from now on it counts.
    QListWidget* inGame = list("checklist");
    ASSERT_EQ(inGame->count(), 2);
    EXPECT_EQ(inGame->item(0)->text(), "Ada (computer)");
    inGame->item(0)->setCheckState(Qt::Checked);
    ASSERT_EQ(list("listbox_tally")->count(), 1);
    EXPECT_EQ(list("listbox_tally")->item(0)->text(), "Ada (computer)") << "tallied as a computer";

    playAGame("You");
    EXPECT_EQ(model().number(0, TallyModel::Games), 1);
    EXPECT_EQ(model().number(0, TallyModel::Wins), 1);
    EXPECT_EQ(model().number(0, TallyModel::TotalWords), 1);
    EXPECT_EQ(model().number(1, TallyModel::Together), 1);
    EXPECT_EQ(model().number(1, TallyModel::YouWon), 1);
}

TEST_F(ComputerTally, APersonBesideAComputerCountsAsAlways)
{
    seat(2, "Ada (computer)");
    seat(3, "Bob");
    playAGame("Bob");
    EXPECT_EQ(model().number(0, TallyModel::Games), 1);
    EXPECT_EQ(model().number(0, TallyModel::Wins), 0);
    EXPECT_EQ(model().number(0, TallyModel::TotalWords), 1);
    // A name that merely mentions the marker is a person's.
    seat(3, "Bob (computer) fan");
    playAGame("You");
    EXPECT_EQ(model().number(0, TallyModel::Games), 2);
}

TEST_F(ComputerPlayersWindow, PlayingAgainstTheComputerCountsThoseAlreadySeated)
{
    Tchat& solo = open({});
    ASSERT_TRUE(pumpUntil([&] { return chatOf(solo).contains("You are Connected."); }));
    item(solo, "AddComputerLevel1")->trigger();
    ASSERT_TRUE(pumpUntil([&] { return seatNameOf(solo, 2) == "Ada (computer)"; }));

    SeatsAtStart seated(solo);
    startAgainstTheComputer(solo, 2, 3);
    ASSERT_TRUE(pumpUntil([&] { return seated.starts.size() == 1 && solo.client().canplay(); }));
    EXPECT_EQ(seated.starts[0],
        (std::vector<QString> { "You", "Ada (computer)", "Alan (computer)", "Grace (computer)" }));
    ASSERT_EQ(solo.computerPlayers().players().size(), 3u);
    EXPECT_EQ(solo.computerPlayers().players()[0]->level().number, 1) << "the one seated stays as it was";
    EXPECT_EQ(solo.computerPlayers().players()[1]->level().number, 2);
    EXPECT_EQ(solo.computerPlayers().players()[2]->level().number, 2);

    // Fewer asked for than sit already: nobody leaves and nobody more sits down.
    startAgainstTheComputer(solo, 2, 1);
    ASSERT_TRUE(pumpUntil([&] { return seated.starts.size() == 2; }));
    EXPECT_EQ(seated.starts[1], seated.starts[0]);
    EXPECT_FALSE(chatOf(solo).contains("computer players can play"));
}

TEST_F(ComputerPlayersWindow, PlayingAgainstTheComputerSaysWhyWhenSeatsRunShort)
{
    Tchat& solo = open({});
    ASSERT_TRUE(pumpUntil([&] { return chatOf(solo).contains("You are Connected."); }));
    // Others found the solo game on the program's port and took every seat.
    join("Bob");
    join("Cy");
    join("Dee");
    ASSERT_TRUE(pumpUntil([&] { return solo.client().state().seat(4).name == "Dee"; }));

    SeatsAtStart seated(solo);
    startAgainstTheComputer(solo, 1, 2);
    ASSERT_TRUE(pumpUntil([&] { return seated.starts.size() == 1; }));
    EXPECT_TRUE(chatOf(solo).contains("No computer player can play: every seat is taken."));
    EXPECT_EQ(seated.starts[0], (std::vector<QString> { "You", "Bob", "Cy", "Dee" })) << "the start goes out";
    EXPECT_TRUE(solo.computerPlayers().players().empty());

    // A seat comes free: one of the two sits down before the next start.
    solo.label_playername1ContextPopup(4, QPoint());
    solo.RemoveFromGame1Click();
    ASSERT_TRUE(pumpUntil([&] { return !solo.client().state().seat(4).taken; }));
    startAgainstTheComputer(solo, 1, 2);
    ASSERT_TRUE(pumpUntil([&] { return seated.starts.size() == 2; }));
    EXPECT_TRUE(
        chatOf(solo).contains("Only 1 of the 2 computer players can play: every other seat is taken."));
    EXPECT_EQ(seated.starts[1], (std::vector<QString> { "You", "Bob", "Cy", "Ada (computer)" }));
}

// The roster line at the window's default size and at twice it: the name whole
// and, in the host's window, the level beside it, both within the name's place.
TEST_F(ComputerPlayersWindow, TheRosterShowsAComputersWholeNameAndItsLevel)
{
    Tchat& host = join("Host", { "x", "true" });
    // Two people hold the first names, so the computer takes a wider one.
    Tchat& ada = join("Ada");
    join("Alan");
    host.show();
    host.resize(798, 535);
    item(host, "AddComputerLevel1")->trigger(); // Beginner, the widest level
    ASSERT_TRUE(pumpUntil([&] {
        return seatNameOf(host, 4) == "Grace (computer)" && seatNameOf(ada, 4) == "Grace (computer)"
            && levelShown(host, 4) == "Beginner";
    }));

    const auto expectWhole = [&](qreal scale) {
        SCOPED_TRACE(scale);
        EXPECT_EQ(host.layoutScale(), scale);
        auto* name = host.findChild<QLabel*>("label_playername4");
        auto* level = host.findChild<QLabel*>("label_computerlevel4");
        EXPECT_EQ(name->text(), "Grace");
        EXPECT_EQ(level->text(), "Beginner");
        EXPECT_TRUE(level->isVisibleTo(&host));
        EXPECT_TRUE(markerShown(host, 4));
        // Side by side, a space apart, within the name's place and clear of the score.
        const int nameEnd
            = name->x() + name->contentsRect().left() + name->fontMetrics().horizontalAdvance(name->text());
        const int levelStart = level->x() + level->contentsRect().right() + 1
            - level->fontMetrics().horizontalAdvance(level->text());
        EXPECT_LE(nameEnd + level->fontMetrics().horizontalAdvance(' '), levelStart);
        EXPECT_GE(levelStart, level->x() + level->contentsRect().left()) << "the level fits its label";
        EXPECT_LE(level->geometry().right(), name->geometry().right());
        EXPECT_LT(level->geometry().right(), host.findChild<QLabel*>("label_playerscore4")->x());
    };
    expectWhole(1.0);
    // Twice the panel and its margins in the window's client area: a scale of two.
    const QSize frame = host.size() - host.centralWidget()->size();
    host.resize(QSize(2 * 790 + 8, 2 * 489 + 8) + frame);
    expectWhole(2.0);

    // Another window sees the name and the marker; the level only the host knows.
    EXPECT_EQ(labelOf(ada, "label_playername4"), "Grace");
    EXPECT_FALSE(ada.findChild<QLabel*>("label_computerlevel4")->isVisibleTo(&ada));
    EXPECT_TRUE(markerShown(ada, 4));
    EXPECT_EQ(seatNameOf(ada, 4), "Grace (computer)") << "the whole name in the tooltip";
}
