// The board's marks as data: words in flight and their answers in order, the bounds on both,
// and when each animation ends.
#include "board_marks.h"

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
