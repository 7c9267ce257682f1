// Word building with the mouse against a scripted server: what the window
// sends for presses, drags, clicks and slot clicks.
#include "pump.h"
#include "raw_server.h"
#include "sound_player.h"
#include "tchat.h"

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::pumpUntil;

namespace {

// The centre of cell (c, r) in board pixels.
QPoint centre(int c, int r) { return QPoint(40 * c + 20, 40 * r + 20); }

} // namespace

class BoardInput : public ::testing::Test {
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
        fake.send("CMD_startgame+1+3+n+2+");
        // Every cell holds a letter: the code is 1 + (column + row) mod 26.
        for (int r = 0; r < 9; ++r) {
            std::string row = "CMD_boardtileline+" + std::to_string(r);
            for (int c = 0; c < 13; ++c)
                row += "+" + std::to_string(1 + (c + r) % 26);
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
        board = window->findChild<QWidget*>("board");
        ASSERT_NE(board, nullptr);
    }

    void drain()
    {
        while (window->queuedMessages() > 0)
            window->Timer1Timer();
    }

    // What the window sent since the last call, once `count` messages are in.
    std::vector<std::string> sent(std::size_t count = 1)
    {
        EXPECT_TRUE(pumpUntil([&] { return fake.received().size() >= seenBefore + count; }));
        std::vector<std::string> fresh = fake.takeNew();
        seenBefore += fresh.size();
        fresh.erase(std::remove(fresh.begin(), fresh.end(), std::string()), fresh.end());
        return fresh;
    }

    void clickMode()
    {
        window->findChild<QAction*>("ClickLetters1")->trigger();
        ASSERT_TRUE(window->findChild<QAction*>("ClickLetters1")->isChecked());
    }

    QString slotHint(int n) { return window->findChild<QLabel*>(QString("wordletter%1").arg(n))->toolTip(); }

    QTemporaryDir folder;
    testsupport::RawServer fake;
    std::unique_ptr<Tchat> window;
    QWidget* board = nullptr;
    std::size_t seenBefore = 0;
};

TEST_F(BoardInput, ADragSendsTheCellsOnRelease)
{
    QTest::mousePress(board, Qt::LeftButton, {}, centre(3, 7));
    QTest::mouseMove(board, centre(4, 7));
    QTest::mouseMove(board, centre(4, 8));
    EXPECT_EQ(window->lettercount(), 3);
    QTest::mouseRelease(board, Qt::LeftButton, {}, centre(4, 8));
    ASSERT_TRUE(pumpUntil([&] { return fake.bytes().find("CMD_wordcomplete") != std::string::npos; }));
    EXPECT_NE(fake.bytes().find(std::string("CMD_wordcomplete+2+3.7+4.7+4.8\xFF")), std::string::npos);
    EXPECT_EQ(window->lettercount(), 0);
}

TEST_F(BoardInput, OnlyTheEightNeighboursMayFollow)
{
    clickMode();
    for (int c = 4; c <= 6; ++c)
        for (int r = 3; r <= 5; ++r) {
            if (c == 5 && r == 4)
                continue;
            QTest::mouseClick(board, Qt::LeftButton, {}, centre(5, 4));
            QTest::mouseClick(board, Qt::LeftButton, {}, centre(c, r));
            EXPECT_EQ(window->lettercount(), 2) << c << "," << r;
            window->button_clearClick();
        }
    for (QPoint far : { QPoint(7, 4), QPoint(5, 6) }) {
        QTest::mouseClick(board, Qt::LeftButton, {}, centre(5, 4));
        QTest::mouseClick(board, Qt::LeftButton, {}, centre(far.x(), far.y()));
        EXPECT_EQ(window->lettercount(), 1);
        window->button_clearClick();
    }
    // The same tile twice in a row counts once; A-B-A is fine.
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(2, 2));
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(2, 2));
    EXPECT_EQ(window->lettercount(), 1);
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(3, 3));
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(2, 2));
    EXPECT_EQ(window->lettercount(), 3);
    window->button_enterClick();
    EXPECT_EQ(sent(), (std::vector<std::string> { "CMD_wordcomplete+2+2.2+3.3+2.2" }));
}

TEST_F(BoardInput, DraggingPicksADiagonalOnlyInsideItsInnerSquare)
{
    QTest::mousePress(board, Qt::LeftButton, {}, centre(2, 2));
    QTest::mouseMove(board, QPoint(40 * 3 + 2, 40 * 3 + 2)); // the corner of (3, 3)
    EXPECT_EQ(window->lettercount(), 1);
    QTest::mouseMove(board, QPoint(40 * 3 + 8, 40 * 3 + 20));
    EXPECT_EQ(window->lettercount(), 1);
    QTest::mouseMove(board, QPoint(40 * 3 + 9, 40 * 3 + 9));
    EXPECT_EQ(window->lettercount(), 2);
    QTest::mouseRelease(board, Qt::LeftButton, {}, QPoint(129, 129));
    EXPECT_EQ(sent(), (std::vector<std::string> { "CMD_wordcomplete+2+2.2+3.3" }));
}

TEST_F(BoardInput, TwelveLettersAtMost)
{
    clickMode();
    int c = 0;
    for (int i = 0; i < 13; ++i, c = (c == 0 ? 1 : 0))
        QTest::mouseClick(board, Qt::LeftButton, {}, centre(c, 0));
    EXPECT_EQ(window->lettercount(), 12);
    window->button_enterClick();
    const std::vector<std::string> word = sent();
    ASSERT_EQ(word.size(), 1u);
    EXPECT_EQ(word[0], "CMD_wordcomplete+2+0.0+1.0+0.0+1.0+0.0+1.0+0.0+1.0+0.0+1.0+0.0+1.0");
}

TEST_F(BoardInput, OnlyTheLastLetterCanBeTakenBackAndTheWandFollows)
{
    clickMode();
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(3, 7));
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(4, 7));
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(4, 8));
    auto* wand = window->findChild<QLabel*>("thewand");
    EXPECT_EQ(wand->pos(), QPoint(40 * 4 + 20, 40 * 8 + 20));
    QTest::mouseClick(window->findChild<QLabel*>("wordletter2"), Qt::LeftButton);
    EXPECT_EQ(window->lettercount(), 3);
    window->sounds().clearPlayed();
    QTest::mouseClick(window->findChild<QLabel*>("wordletter3"), Qt::LeftButton);
    EXPECT_EQ(window->lettercount(), 2);
    EXPECT_TRUE(slotHint(3).isEmpty());
    EXPECT_EQ(wand->pos(), QPoint(40 * 4 + 20, 40 * 7 + 20));
    EXPECT_TRUE(window->sounds().played().contains("clear"));
}

TEST_F(BoardInput, ARightPressSendsOnceInDragMode)
{
    QTest::mousePress(board, Qt::LeftButton, {}, centre(1, 1));
    QTest::mouseMove(board, centre(2, 1));
    QTest::mousePress(board, Qt::RightButton, {}, centre(2, 1));
    QTest::mouseRelease(board, Qt::RightButton, {}, centre(2, 1));
    QTest::mouseRelease(board, Qt::LeftButton, {}, centre(2, 1));
    // Anything sent by the release would arrive before this marker.
    window->wave20Click(5);
    EXPECT_EQ(
        sent(2), (std::vector<std::string> { "CMD_wordcomplete+2+1.1+2.1", "CMD_playasound+2+wave5+" }));
}

TEST_F(BoardInput, ThePressesBelowTheLastRowAndOutsideARoundDoNothing)
{
    QTest::mousePress(board, Qt::LeftButton, {}, QPoint(100, 360)); // row 9
    EXPECT_EQ(window->lettercount(), 0);
    QTest::mouseRelease(board, Qt::LeftButton, {}, QPoint(100, 360));
    fake.send("CMD_endround+0+0+0+0");
    ASSERT_TRUE(pumpUntil([&] {
        drain();
        return !window->client().canplay();
    }));
    QTest::mousePress(board, Qt::LeftButton, {}, centre(1, 1));
    EXPECT_EQ(window->lettercount(), 0);
}

TEST_F(BoardInput, AHalfBuiltWordDoesNotCarryOver)
{
    clickMode();
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(5, 5));
    fake.send("CMD_endround+0+0+0+0");
    fake.send("CMD_boardtileline+0+7+7+7+7+7+7+7+7+7+7+7+7+7");
    fake.send("CMD_nextround+2");
    ASSERT_TRUE(pumpUntil([&] {
        drain();
        return window->findChild<QLabel*>("label_round")->text() == "2";
    }));
    EXPECT_EQ(window->lettercount(), 0);
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(0, 0));
    QTest::mouseClick(board, Qt::LeftButton, {}, centre(1, 0));
    window->button_enterClick();
    EXPECT_EQ(sent(), (std::vector<std::string> { "CMD_wordcomplete+2+0.0+1.0" }));
}
