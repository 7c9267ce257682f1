// The word being built: which tile may follow, the twelve-letter limit, taking back,
// the cells sent to the server and the board's pixel geometry.
#include "word_builder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Cell {
    int c;
    int r;
};

// Builds a word from cells in order, each with a letter code derived from its position.
WordBuilder wordOf(const std::vector<Cell>& cells)
{
    WordBuilder word;
    for (const Cell& cell : cells) {
        EXPECT_TRUE(word.canAdd(cell.c, cell.r)) << cell.c << "." << cell.r;
        word.add(cell.c, cell.r, 1 + (cell.c + cell.r) % 26);
    }
    return word;
}

// Twelve cells, each next to the one before: along row 4 and back along row 5.
std::vector<Cell> twelveCells()
{
    std::vector<Cell> cells;
    for (int c = 0; c < 6; ++c)
        cells.push_back({ c, 4 });
    for (int c = 5; c >= 0; --c)
        cells.push_back({ c, 5 });
    return cells;
}

}

TEST(WordBuilderAdjacency, AnyCellMayStartAWord)
{
    const WordBuilder word;
    EXPECT_FALSE(word.previousTile().has_value());
    EXPECT_TRUE(word.canAdd(0, 0));
    EXPECT_TRUE(word.canAdd(12, 8));
    EXPECT_TRUE(word.canAdd(7, 3));
}

TEST(WordBuilderAdjacency, TheEightNeighboursMayFollowButNotTheCellItself)
{
    const WordBuilder word = wordOf({ { 5, 4 } });
    ASSERT_EQ(word.previousTile(), QPoint(5, 4));
    for (int c = 4; c <= 6; ++c) {
        for (int r = 3; r <= 5; ++r) {
            const bool itself = c == 5 && r == 4;
            EXPECT_EQ(word.canAdd(c, r), !itself) << c << "." << r;
        }
    }
    EXPECT_FALSE(word.canAdd(7, 4));
    EXPECT_FALSE(word.canAdd(5, 6));
    EXPECT_FALSE(word.canAdd(3, 2));
    EXPECT_FALSE(word.canAdd(7, 6));
}

TEST(WordBuilderAdjacency, ATileMayReturnAfterAnother)
{
    WordBuilder word = wordOf({ { 2, 2 }, { 3, 3 } });
    ASSERT_TRUE(word.canAdd(2, 2));
    word.add(2, 2, 9);
    EXPECT_EQ(word.lettercount(), 3);
    EXPECT_EQ(word.wordcompleteFields(), QStringLiteral("+2.2+3.3+2.2"));
    // Straight after itself it is still refused.
    EXPECT_FALSE(word.canAdd(2, 2));
}

TEST(WordBuilderAdjacency, OnlyTheLastTileCounts)
{
    // (1,1) touched the first tile but not the last, so it may not follow.
    const WordBuilder word = wordOf({ { 0, 0 }, { 1, 0 }, { 2, 0 } });
    EXPECT_FALSE(word.canAdd(0, 1));
    EXPECT_TRUE(word.canAdd(3, 1));
    EXPECT_TRUE(word.canAdd(1, 1));
}

TEST(WordBuilderHints, ReadOnlyTwoDecimalIntegers)
{
    int c = -1;
    int r = -1;
    EXPECT_TRUE(WordBuilder::parseHint(QStringLiteral("3.7"), c, r));
    EXPECT_EQ(c, 3);
    EXPECT_EQ(r, 7);
    EXPECT_TRUE(WordBuilder::parseHint(QStringLiteral("12.0"), c, r));
    EXPECT_EQ(c, 12);
    EXPECT_EQ(r, 0);

    for (const char* text : { "", "3", "3.", ".7", "3.7.1", "a.7", "3.x", "3,7" }) {
        c = -1;
        r = -1;
        EXPECT_FALSE(WordBuilder::parseHint(QString::fromLatin1(text), c, r)) << text;
        EXPECT_EQ(c, -1) << text;
        EXPECT_EQ(r, -1) << text;
    }
}

TEST(WordBuilderSlots, EachSlotHoldsTheLetterAndItsCell)
{
    WordBuilder word;
    word.add(3, 7, 3);
    word.add(4, 7, 1);
    EXPECT_EQ(word.lettercount(), 2);
    EXPECT_EQ(word.tag(1), 3);
    EXPECT_EQ(word.hint(1), QStringLiteral("3.7"));
    EXPECT_EQ(word.tag(2), 1);
    EXPECT_EQ(word.hint(2), QStringLiteral("4.7"));
    EXPECT_EQ(word.tag(3), 0);
    EXPECT_TRUE(word.hint(3).isEmpty());
    // Numbers outside the row read as empty slots rather than reaching outside it.
    EXPECT_EQ(word.tag(0), 0);
    EXPECT_EQ(word.tag(14), 0);
    EXPECT_TRUE(word.hint(-1).isEmpty());
}

TEST(WordBuilderSlots, TwelveLettersAndNoMore)
{
    const std::vector<Cell> cells = twelveCells();
    WordBuilder word = wordOf(cells);
    ASSERT_EQ(word.lettercount(), WordBuilder::kMaxLetters);

    // (0,6) touches the last tile (0,5), but the row is full.
    EXPECT_TRUE(word.mayFollow(0, 6));
    EXPECT_FALSE(word.canAdd(0, 6));
    EXPECT_FALSE(word.add(0, 6, 5));
    EXPECT_EQ(word.lettercount(), 12);
    EXPECT_EQ(word.tag(13), 0);
    EXPECT_TRUE(word.hint(13).isEmpty());

    QString expected;
    for (const Cell& cell : cells)
        expected += QStringLiteral("+%1.%2").arg(cell.c).arg(cell.r);
    EXPECT_EQ(word.wordcompleteFields(), expected);
}

TEST(WordBuilderSlots, OnlyTheLastLetterCanBeTakenBack)
{
    WordBuilder word = wordOf({ { 3, 7 }, { 4, 7 }, { 4, 8 } });

    EXPECT_FALSE(word.takeBack(2));
    EXPECT_FALSE(word.takeBack(0));
    EXPECT_FALSE(word.takeBack(4));
    EXPECT_EQ(word.lettercount(), 3);
    EXPECT_EQ(word.wordcompleteFields(), QStringLiteral("+3.7+4.7+4.8"));

    EXPECT_TRUE(word.takeBack(3));
    EXPECT_EQ(word.lettercount(), 2);
    EXPECT_EQ(word.tag(3), 0);
    EXPECT_TRUE(word.hint(3).isEmpty());
    // The tile before it is the previous tile again, and chains on from there.
    EXPECT_EQ(word.previousTile(), QPoint(4, 7));
    EXPECT_TRUE(word.canAdd(5, 8));
    EXPECT_EQ(word.wordcompleteFields(), QStringLiteral("+3.7+4.7"));

    EXPECT_TRUE(word.takeBack(2));
    EXPECT_TRUE(word.takeBack(1));
    EXPECT_EQ(word.lettercount(), 0);
    EXPECT_FALSE(word.previousTile().has_value());
    EXPECT_FALSE(word.takeBack(0));
    EXPECT_EQ(word.lettercount(), 0);
}

TEST(WordBuilderSlots, ClearEmptiesEverySlot)
{
    WordBuilder word = wordOf(twelveCells());
    word.clear();
    EXPECT_EQ(word.lettercount(), 0);
    EXPECT_TRUE(word.wordcompleteFields().isEmpty());
    EXPECT_FALSE(word.previousTile().has_value());
    for (int slot = 1; slot <= WordBuilder::kSlotCount; ++slot) {
        EXPECT_EQ(word.tag(slot), 0);
        EXPECT_TRUE(word.hint(slot).isEmpty());
    }
    EXPECT_TRUE(word.canAdd(12, 0));
}

TEST(WordBuilderSlots, TheWordIsSentAsItsCellsInOrder)
{
    const WordBuilder word = wordOf({ { 3, 7 }, { 4, 7 }, { 4, 8 } });
    EXPECT_EQ(word.wordcompleteFields(), QStringLiteral("+3.7+4.7+4.8"));
    EXPECT_TRUE(WordBuilder().wordcompleteFields().isEmpty());
}

TEST(WordBuilderGeometry, PointsFallInTheCellBelowThem)
{
    EXPECT_EQ(WordBuilder::cellAt(QPoint(0, 0)), QPoint(0, 0));
    EXPECT_EQ(WordBuilder::cellAt(QPoint(39, 39)), QPoint(0, 0));
    EXPECT_EQ(WordBuilder::cellAt(QPoint(40, 80)), QPoint(1, 2));
    EXPECT_EQ(WordBuilder::cellAt(QPoint(519, 359)), QPoint(12, 8));
}

TEST(WordBuilderGeometry, PointsOffTheCellsAreNoCell)
{
    // The board's bottom pixel line is row 9.
    EXPECT_FALSE(WordBuilder::cellAt(QPoint(100, 360)).has_value());
    // Column 13 starts at 520, just past the board.
    EXPECT_FALSE(WordBuilder::cellAt(QPoint(520, 100)).has_value());
    // A drag that leaves the board at the top or left.
    EXPECT_FALSE(WordBuilder::cellAt(QPoint(-1, 100)).has_value());
    EXPECT_FALSE(WordBuilder::cellAt(QPoint(100, -30)).has_value());
}

TEST(WordBuilderGeometry, TheInnerSquareSpansNineToThirtyThree)
{
    const int c = 3;
    const int r = 2;
    const int x0 = 40 * c;
    const int y0 = 40 * r;
    const int mid = 20;
    EXPECT_FALSE(WordBuilder::inInnerSquare(QPoint(x0 + 8, y0 + mid), c, r));
    EXPECT_TRUE(WordBuilder::inInnerSquare(QPoint(x0 + 9, y0 + mid), c, r));
    EXPECT_TRUE(WordBuilder::inInnerSquare(QPoint(x0 + 33, y0 + mid), c, r));
    EXPECT_FALSE(WordBuilder::inInnerSquare(QPoint(x0 + 34, y0 + mid), c, r));

    EXPECT_FALSE(WordBuilder::inInnerSquare(QPoint(x0 + mid, y0 + 8), c, r));
    EXPECT_TRUE(WordBuilder::inInnerSquare(QPoint(x0 + mid, y0 + 9), c, r));
    EXPECT_TRUE(WordBuilder::inInnerSquare(QPoint(x0 + mid, y0 + 33), c, r));
    EXPECT_FALSE(WordBuilder::inInnerSquare(QPoint(x0 + mid, y0 + 34), c, r));

    // A corner point of the cell is in no inner square, neither this cell's nor the next.
    EXPECT_FALSE(WordBuilder::inInnerSquare(QPoint(x0 + 38, y0 + 38), c, r));
    EXPECT_FALSE(WordBuilder::inInnerSquare(QPoint(x0 + 41, y0 + 41), c + 1, r + 1));
}
