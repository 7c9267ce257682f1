// The board's marks as data: words in flight and their answers in order, the bounds on both,
// when each animation ends, the numbers each chosen tile shows, and where the rising score goes.
#include "board_marks.h"
#include "board_marks_layout.h"
#include "game_facts.h"

#include <gtest/gtest.h>

namespace {

std::vector<QPoint> word(int column) { return { QPoint(column, 0), QPoint(column, 1) }; }

} // namespace

TEST(BoardMarksModel, AnswersFlashTheWordsInTheOrderTheyWereSent)
{
    BoardMarks marks;
    marks.holdSent(word(1));
    marks.holdSent(word(2));
    ASSERT_TRUE(marks.answer(BoardMarks::Answer::Refused, {}));
    ASSERT_TRUE(marks.answer(BoardMarks::Answer::Found, "+4"));
    ASSERT_EQ(marks.flashes().size(), 2u);
    EXPECT_EQ(marks.flashes()[0].cells, word(1));
    EXPECT_EQ(marks.flashes()[0].answer, BoardMarks::Answer::Refused);
    EXPECT_EQ(marks.flashes()[1].cells, word(2));
    EXPECT_EQ(marks.flashes()[1].caption, "+4");
    EXPECT_TRUE(marks.pending().empty());
    // An answer with nothing in flight (sent before the marks were cleared) flashes nothing.
    EXPECT_FALSE(marks.answer(BoardMarks::Answer::Found, "+1"));
    EXPECT_EQ(marks.flashes().size(), 2u);
}

TEST(BoardMarksModel, WordsInFlightAndFlashesAreBounded)
{
    BoardMarks marks;
    for (int i = 0; i < 20; ++i)
        marks.holdSent(word(i % 13));
    EXPECT_EQ(marks.pending().size(), BoardMarks::kMaxPending);
    // The oldest are forgotten: the first still held is the thirteenth sent.
    EXPECT_EQ(marks.pending().front(), word(12));
    marks.holdSent({}); // nothing sent, nothing held
    EXPECT_EQ(marks.pending().size(), BoardMarks::kMaxPending);
    for (int i = 0; i < 8; ++i)
        marks.answer(BoardMarks::Answer::Found, "+1");
    EXPECT_EQ(marks.flashes().size(), BoardMarks::kMaxFlashes);
}

TEST(BoardMarksModel, EachAnimationEndsAfterItsSteps)
{
    BoardMarks marks;
    EXPECT_FALSE(marks.animating());
    marks.holdSent(word(3));
    marks.answer(BoardMarks::Answer::Refused, {});
    int steps = 0;
    while (marks.tick())
        ++steps;
    EXPECT_EQ(steps + 1, BoardMarks::kRefusedSteps);

    marks.holdSent(word(3));
    marks.answer(BoardMarks::Answer::Found, "+2");
    steps = 0;
    while (marks.tick())
        ++steps;
    EXPECT_EQ(steps + 1, BoardMarks::kFoundSteps);

    marks.refuseKey();
    EXPECT_EQ(marks.keyCue(), BoardMarks::kKeyCueSteps);
    steps = 0;
    while (marks.tick())
        ++steps;
    EXPECT_EQ(steps + 1, BoardMarks::kKeyCueSteps);
    EXPECT_EQ(marks.keyCue(), 0);
}

TEST(BoardMarksModel, ClearingARoundKeepsTheReview)
{
    BoardMarks marks;
    marks.setPath(word(1));
    marks.setLit(word(2));
    marks.holdSent(word(3));
    marks.showReview(word(4));
    marks.clearRound();
    EXPECT_TRUE(marks.path().empty());
    EXPECT_TRUE(marks.lit().empty());
    EXPECT_TRUE(marks.pending().empty());
    EXPECT_EQ(marks.review(), word(4));
    marks.clearReview();
    EXPECT_TRUE(marks.review().empty());
    EXPECT_FALSE(marks.animating());
}

TEST(BoardMarksModel, ATileAWordComesBackToHoldsEveryVisitsNumber)
{
    // R E V E R E R on three tiles: the R is visited first, fifth and last.
    const QPoint r(4, 4), e(5, 4), v(5, 5);
    const std::vector<QPoint> word { r, e, v, e, r, e, r };
    const std::vector<BoardMarks::TileVisits> tiles = BoardMarks::tileVisits(word, word.size());
    ASSERT_EQ(tiles.size(), 3u);
    EXPECT_EQ(tiles[0].cell, r);
    EXPECT_EQ(tiles[0].visits, (std::vector<int> { 1, 5, 7 }));
    EXPECT_EQ(tiles[1].cell, e);
    EXPECT_EQ(tiles[1].visits, (std::vector<int> { 2, 4, 6 }));
    EXPECT_EQ(tiles[2].cell, v);
    EXPECT_EQ(tiles[2].visits, (std::vector<int> { 3 }));
    EXPECT_EQ(
        BoardMarks::visitCaption(tiles[0].visits), QString("1") + QChar(0x00B7) + "5" + QChar(0x00B7) + "7");
    EXPECT_EQ(BoardMarks::visitCaption(tiles[2].visits), "3");
    // A review laid so far: only the tiles shown count, and a count past the end is the whole word.
    const std::vector<BoardMarks::TileVisits> laid = BoardMarks::tileVisits(word, 5);
    ASSERT_EQ(laid.size(), 3u);
    EXPECT_EQ(laid[0].visits, (std::vector<int> { 1, 5 }));
    EXPECT_EQ(BoardMarks::tileVisits(word, 99).size(), 3u);
    EXPECT_TRUE(BoardMarks::tileVisits(word, 0).empty());
}

TEST(BoardMarksLayout, TheRisingScoreStaysOnTheBoardFromEveryTile)
{
    for (QSizeF size : { QSizeF(24.0, 16.0), QSizeF(50.0, 17.0), QSizeF(80.0, 20.0) })
        for (int c = 0; c < kBoardColumns; ++c)
            for (int r = 0; r < kBoardRows; ++r)
                for (int step = 0; step <= BoardMarks::kFoundSteps; ++step) {
                    const qreal progress = qreal(step) / BoardMarks::kFoundSteps;
                    const QRectF box = marklayout::risingScoreBox(QPoint(c, r), size, progress);
                    ASSERT_TRUE(marklayout::kBoardArea.contains(box))
                        << c << "," << r << " at " << step << ": " << box.top() << " " << box.left();
                    EXPECT_EQ(box.size(), size);
                    const qreal tileMiddle = 40.0 * r + 20.0;
                    // It rises, except from the top row, where it sinks over the tiles below.
                    if (step > 0) {
                        EXPECT_TRUE(r == 0 ? box.center().y() > tileMiddle : box.center().y() < tileMiddle)
                            << c << "," << r;
                    }
                }
    // It moves steadily one way as it fades.
    for (int r : { 0, 1, 8 }) {
        const QRectF start = marklayout::risingScoreBox(QPoint(6, r), QSizeF(30.0, 16.0), 0.0);
        const QRectF end = marklayout::risingScoreBox(QPoint(6, r), QSizeF(30.0, 16.0), 1.0);
        EXPECT_GT(std::abs(end.center().y() - start.center().y()), 20.0) << r;
    }
}
