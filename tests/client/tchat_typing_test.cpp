// Typing words on the board against a scripted server: what lights up, what Enter sends, how
// Backspace, Esc and Tab change the word, where the keyboard goes, and the path a drag paints.
#include "board_view.h"
#include "pump.h"
#include "raw_server.h"
#include "tchat.h"
#include "typed_chains.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::pumpUntil;

namespace {

QPoint centre(int c, int r) { return QPoint(40 * c + 20, 40 * r + 20); }

constexpr int kFiller = 24; // x: spells nothing typed here

// T at (2, 2); E at (3, 2), on a yellow potion, and at (2, 3); A at (4, 2) and (1, 4). So "tea"
// lies along two chains, the one over the potion worth twice the other; the E at (8, 0) and the
// A at (10, 8) are on no chain.
int codeAt(int c, int r)
{
    static const std::map<std::pair<int, int>, char> letters { { { 2, 2 }, 't' }, { { 3, 2 }, 'e' },
        { { 2, 3 }, 'e' }, { { 4, 2 }, 'a' }, { { 1, 4 }, 'a' }, { { 8, 0 }, 'e' }, { { 10, 8 }, 'a' } };
    const auto it = letters.find({ c, r });
    return it == letters.end() ? kFiller : it->second - 'a' + 1;
}

// The board as the window scores it: the potions in place and the book not yet known.
Board knownBoard()
{
    Board board;
    for (int c = 0; c < kBoardColumns; ++c)
        for (int r = 0; r < kBoardRows; ++r)
            board.board[c][r] = codeAt(c, r);
    for (const FixedBonusCell& cell : kFixedBonusCells)
        board.bonus[cell.x][cell.y] = cell.kind;
    return board;
}

std::vector<QPoint> pointsOf(const CellPath& path)
{
    std::vector<QPoint> points;
    for (const TileRef& tile : path.tiles())
        points.emplace_back(tile.x, tile.y);
    return points;
}

std::string referencesOf(const CellPath& path)
{
    std::string text;
    for (const TileRef& tile : path.tiles())
        text += "+" + std::to_string(tile.x) + "." + std::to_string(tile.y);
    return text;
}

} // namespace

class Typing : public ::testing::Test {
protected:
    void SetUp() override
    {
        TchatSetup setup;
        setup.arguments = { "Ann", "127.0.0.1", "false" };
        setup.settingsFile = folder.filePath("ann.ini");
        setup.gamePort = std::to_string(fake.port());
        setup.dispatchIntervalMs = 0;
        window = std::make_unique<Tchat>(setup);
        window->processparams();
        ASSERT_TRUE(fake.waitForClient());
        fake.send("CMD_sendlogininfo+2");
        fake.send("CMD_newplayerinfo+2+Ann"); // the own arrival reads the settings file
        fake.send("CMD_startgame+1+3+n+2+");
        for (int r = 0; r < kBoardRows; ++r) {
            std::string row = "CMD_boardtileline+" + std::to_string(r);
            for (int c = 0; c < kBoardColumns; ++c)
                row += "+" + std::to_string(codeAt(c, r));
            fake.send(row);
        }
        fake.send("CMD_setbonustiles+");
        fake.send("CMD_nextround+1");
        ASSERT_TRUE(pumpUntil([&] {
            drain();
            return window->client().canplay();
        }));
        ASSERT_TRUE(fake.waitFor("CMD_logininfo+2+2.0.5+Ann"));
        seenBefore = fake.takeNew().size();
        board = window->findChild<BoardView*>("board");
        ASSERT_NE(board, nullptr);
    }

    void drain()
    {
        while (window->queuedMessages() > 0)
            window->Timer1Timer();
    }

    std::vector<std::string> sent(std::size_t count = 1)
    {
        EXPECT_TRUE(pumpUntil([&] { return fake.received().size() >= seenBefore + count; }));
        std::vector<std::string> fresh = fake.takeNew();
        seenBefore += fresh.size();
        fresh.erase(std::remove(fresh.begin(), fresh.end(), std::string()), fresh.end());
        return fresh;
    }

    void type(const QString& keys) { QTest::keyClicks(board, keys); }
    void press(Qt::Key key) { QTest::keyClick(board, key); }
    QString slotHint(int n) { return window->findChild<QLabel*>(QString("wordletter%1").arg(n))->toolTip(); }

    QTemporaryDir folder;
    testsupport::RawServer fake;
    std::unique_ptr<Tchat> window;
    BoardView* board = nullptr;
    std::size_t seenBefore = 0;
};

TEST_F(Typing, TheBoardTakesTheKeyboardWhenTheRoundStarts) { EXPECT_EQ(window->focusWidget(), board); }

TEST_F(Typing, TypedLettersLightEveryChainTheFinderGivesAndEnterSendsTheBest)
{
    type("tea");
    const auto expected = findTypedChains(knownBoard(), "tea");
    ASSERT_TRUE(expected.has_value());
    ASSERT_EQ(expected->chains.size(), 2u);
    std::vector<QPoint> lit;
    CellSet all;
    for (const CellSet& layer : expected->lit)
        all |= layer;
    all.forEach([&](CellIndex cell) { lit.emplace_back(tileOf(cell).x, tileOf(cell).y); });
    EXPECT_EQ(board->marks().lit(), lit);
    EXPECT_EQ(lit.size(), 5u);
    // The path and the word row show the chain Enter sends: the best.
    EXPECT_EQ(board->marks().path(), pointsOf(expected->best().path));
    EXPECT_EQ(window->lettercount(), 3);
    EXPECT_EQ(slotHint(2), "3.2");

    press(Qt::Key_Return);
    EXPECT_EQ(
        sent(), (std::vector<std::string> { "CMD_wordcomplete+2" + referencesOf(expected->best().path) }));
    EXPECT_EQ(window->lettercount(), 0);
    EXPECT_TRUE(board->marks().lit().empty());
    // The word stays drawn faintly until the server answers.
    ASSERT_EQ(board->marks().pending().size(), 1u);
    EXPECT_EQ(board->marks().pending().front(), pointsOf(expected->best().path));
}

TEST_F(Typing, TabMovesToTheOtherChainBeforeSending)
{
    type("tea");
    press(Qt::Key_Tab);
    const auto chains = findTypedChains(knownBoard(), "tea");
    ASSERT_TRUE(chains.has_value());
    EXPECT_EQ(board->marks().path(), pointsOf(chains->chains[1].path));
    press(Qt::Key_Tab); // round to the first again
    EXPECT_EQ(board->marks().path(), pointsOf(chains->chains[0].path));
    press(Qt::Key_Backtab);
    press(Qt::Key_Enter);
    EXPECT_EQ(
        sent(), (std::vector<std::string> { "CMD_wordcomplete+2" + referencesOf(chains->chains[1].path) }));
}

TEST_F(Typing, TabCyclesChainsOnlyWhileAWordIsTypedAndOtherwiseMovesTheKeyboardOn)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(pumpUntil([&] { return window->isActiveWindow(); }));
    board->setFocus(Qt::OtherFocusReason);
    type("te");
    press(Qt::Key_Tab);
    EXPECT_EQ(window->focusWidget(), board) << "Tab chose another chain of the typed word";
    press(Qt::Key_Backtab);
    EXPECT_EQ(window->focusWidget(), board);

    // Nothing typed: Tab and Shift+Tab leave the board like any control, so the chat, the phrase
    // buttons and the others stay in reach.
    press(Qt::Key_Escape);
    press(Qt::Key_Tab);
    EXPECT_NE(window->focusWidget(), board);
    EXPECT_EQ(window->lettercount(), 0);
    board->setFocus(Qt::OtherFocusReason);
    press(Qt::Key_Backtab);
    EXPECT_NE(window->focusWidget(), board);
}

TEST_F(Typing, ALetterThatMakesNoChainIsRefusedAndNotAdded)
{
    type("tea");
    EXPECT_FALSE(board->animating());
    type("t"); // the only T touches neither A
    EXPECT_EQ(window->typedWord().typed(), "tea");
    EXPECT_EQ(window->lettercount(), 3);
    EXPECT_GT(board->marks().keyCue(), 0);
    type("q"); // on no cell at all
    type("7"); // no letter
    EXPECT_EQ(window->typedWord().typed(), "tea");
    while (board->animating())
        board->animationTick();
    EXPECT_EQ(board->marks().keyCue(), 0);
}

TEST_F(Typing, BackspaceTakesBackALetterAndEscClears)
{
    type("tea");
    press(Qt::Key_Backspace);
    EXPECT_EQ(window->typedWord().typed(), "te");
    EXPECT_EQ(window->lettercount(), 2);
    EXPECT_TRUE(slotHint(3).isEmpty());
    const auto chains = findTypedChains(knownBoard(), "te");
    ASSERT_TRUE(chains.has_value());
    EXPECT_EQ(board->marks().path(), pointsOf(chains->best().path));
    press(Qt::Key_Escape);
    EXPECT_EQ(window->lettercount(), 0);
    EXPECT_TRUE(window->typedWord().empty());
    EXPECT_TRUE(board->marks().path().empty());
    EXPECT_TRUE(board->marks().lit().empty());
    // Enter with nothing typed sends nothing: a marker sound arrives first.
    press(Qt::Key_Return);
    window->wave20Click(3);
    EXPECT_EQ(sent(), (std::vector<std::string> { "CMD_playasound+2+wave3+" }));
}

TEST_F(Typing, TheChatEntryTakesTheKeysAndEscInAnEmptyEntryGivesThemBack)
{
    auto* entry = window->findChild<QLineEdit*>("mychat");
    QTest::mouseClick(entry, Qt::LeftButton);
    entry->setFocus();
    EXPECT_EQ(window->focusWidget(), entry);
    QTest::keyClicks(entry, "hi");
    EXPECT_EQ(window->lettercount(), 0); // chat text builds no word
    QTest::keyClick(entry, Qt::Key_Escape); // text in the box: Esc leaves the keys there
    EXPECT_EQ(window->focusWidget(), entry);
    entry->clear();
    QTest::keyClick(entry, Qt::Key_Escape);
    EXPECT_EQ(window->focusWidget(), board);
}

TEST_F(Typing, TheMouseAndTheKeyboardTakeOverFromEachOther)
{
    window->findChild<QAction*>("ClickLetters1")->trigger();
    window->findChild<QLineEdit*>("mychat")->setFocus();
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(10, 8));
    EXPECT_EQ(window->focusWidget(), board); // a click gives the board the keys back
    EXPECT_EQ(window->lettercount(), 1);
    type("t"); // typing starts afresh over a clicked word
    EXPECT_EQ(window->typedWord().typed(), "t");
    EXPECT_EQ(window->lettercount(), 1);
    EXPECT_EQ(slotHint(1), "2.2");
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(8, 0)); // and the mouse over a typed one
    EXPECT_TRUE(window->typedWord().empty());
    EXPECT_EQ(slotHint(1), "8.0");
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(9, 1));
    press(Qt::Key_Backspace); // takes back a clicked letter too
    EXPECT_EQ(window->lettercount(), 1);
    press(Qt::Key_Return);
    EXPECT_EQ(sent(), (std::vector<std::string> { "CMD_wordcomplete+2+8.0" }));
}

TEST_F(Typing, TypingIsAnOptionAndRemembered)
{
    QAction* option = window->findChild<QAction*>("TypeWords1");
    ASSERT_NE(option, nullptr);
    EXPECT_TRUE(option->isChecked());
    option->trigger();
    type("tea");
    EXPECT_EQ(window->lettercount(), 0);
    QFile file(folder.filePath("ann.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("TypeWords=false"));
}

TEST_F(Typing, ADraggedPathIsTheOnePaintedAndItsAnswerFlashes)
{
    QTest::mousePress(board, Qt::LeftButton, {}, centre(2, 2));
    QTest::mouseMove(board, centre(3, 2));
    QTest::mouseMove(board, centre(4, 2));
    const std::vector<QPoint> dragged { QPoint(2, 2), QPoint(3, 2), QPoint(4, 2) };
    EXPECT_EQ(board->marks().path(), dragged);
    const QImage painted = board->grab().toImage();
    const QImage untouched = [&] {
        board->setMarksShown(false);
        QImage plain = board->grab().toImage();
        board->setMarksShown(true);
        return plain;
    }();
    for (const QPoint& cell : dragged)
        EXPECT_NE(painted.pixel(centre(cell.x(), cell.y())), untouched.pixel(centre(cell.x(), cell.y())));
    EXPECT_EQ(painted.pixel(centre(7, 7)), untouched.pixel(centre(7, 7)));

    QTest::mouseRelease(board, Qt::LeftButton, {}, centre(4, 2));
    EXPECT_EQ(sent(), (std::vector<std::string> { "CMD_wordcomplete+2+2.2+3.2+4.2" }));
    fake.send("CMD_foundword+2+tea+6+6+4+0");
    ASSERT_TRUE(pumpUntil([&] {
        drain();
        return !board->marks().flashes().empty();
    }));
    EXPECT_EQ(board->marks().flashes()[0].cells, dragged);
    EXPECT_EQ(board->marks().flashes()[0].answer, BoardMarks::Answer::Found);
    EXPECT_EQ(board->marks().flashes()[0].caption, "+6");
}
