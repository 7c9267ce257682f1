// Working out the spell book's kind from the scores of accepted words.
#include "book_deduction.h"
#include "walk_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include <map>
#include <random>
#include <set>
#include <string>

namespace {

using walkref::codeOf;

// Letters across the centre row, the rest code 0 (which reads as t), the fixed
// bonus cells in place and the book left unknown.
Board centreBoard(std::string_view letters, int firstColumn)
{
    Board board;
    for (const FixedBonusCell& cell : kFixedBonusCells)
        board.bonus[cell.x][cell.y] = cell.kind;
    for (std::size_t i = 0; i < letters.size(); ++i)
        board.board[firstColumn + int(i)][kCentreRow] = codeOf(letters[i]);
    return board;
}

std::set<BonusKind> asSet(BookKinds kinds)
{
    std::set<BonusKind> out;
    for (BonusKind k : { BonusYellowPotion, BonusRedPotion, BonusDoubleLetter, BonusTripleLetter })
        if (kinds.contains(k))
            out.insert(k);
    return out;
}

TEST(BookDeductionTest, AWordOverTheBookTellsItsKind)
{
    // c-a-b with the a on the book, the b next to no t so "cab" is laid one way.
    const Board board = centreBoard("cab", kCentreColumn - 1);
    EXPECT_EQ(asSet(possibleBookKinds(board, "cab", 3 + 1 + 3)),
        std::set<BonusKind> {}); // plain: no kind gives that
    EXPECT_EQ(
        asSet(possibleBookKinds(board, "cab", (3 + 1 + 3) * 2)), std::set<BonusKind> { BonusYellowPotion });
    EXPECT_EQ(
        asSet(possibleBookKinds(board, "cab", (3 + 1 + 3) * 3)), std::set<BonusKind> { BonusRedPotion });
    EXPECT_EQ(asSet(possibleBookKinds(board, "cab", 3 + 2 + 3)), std::set<BonusKind> { BonusDoubleLetter });
    EXPECT_EQ(asSet(possibleBookKinds(board, "cab", 3 + 3 + 3)), std::set<BonusKind> { BonusTripleLetter });
    EXPECT_TRUE(possibleBookKinds(board, "cab", 11).empty());
}

TEST(BookDeductionTest, SomeScoresLeaveTwoKinds)
{
    // a then e on the book: as a yellow (1 + 1) x 2 = 4, as a triple letter 1 + 3 = 4.
    const Board board = centreBoard("ae", kCentreColumn - 1);
    EXPECT_EQ(asSet(possibleBookKinds(board, "ae", 4)),
        (std::set<BonusKind> { BonusYellowPotion, BonusTripleLetter }));
    EXPECT_EQ(asSet(possibleBookKinds(board, "ae", 3)), std::set<BonusKind> { BonusDoubleLetter });
    EXPECT_EQ(asSet(possibleBookKinds(board, "ae", 6)), std::set<BonusKind> { BonusRedPotion });
    // Two words together narrow it down.
    const Board other = centreBoard("ea", kCentreColumn);
    EXPECT_EQ(asSet(possibleBookKinds(board, "ae", 4) & possibleBookKinds(other, "ea", 4)),
        (std::set<BonusKind> { BonusYellowPotion, BonusTripleLetter }));
}

TEST(BookDeductionTest, AWordAwayFromTheBookFitsEveryKind)
{
    Board board = centreBoard("", 0);
    board.board[1][1] = codeOf('c');
    board.board[2][1] = codeOf('a');
    board.board[3][1] = codeOf('b');
    EXPECT_EQ(possibleBookKinds(board, "cab", 7).count(), 4);
    EXPECT_TRUE(possibleBookKinds(board, "cab", 8).empty());
    // Whatever the board says the centre holds is set aside.
    board.bonus[kCentreColumn][kCentreRow] = BonusRedPotion;
    EXPECT_EQ(possibleBookKinds(board, "cab", 7).count(), 4);
}

TEST(BookDeductionTest, HostileScoresAndWordsGiveNothing)
{
    const Board board = centreBoard("cab", kCentreColumn - 1);
    for (std::int64_t score :
        { std::int64_t(0), std::int64_t(-14), INT64_MIN, INT64_MAX, std::int64_t(1) << 40 })
        EXPECT_TRUE(possibleBookKinds(board, "cab", score).empty()) << score;
    for (const char* word : { "", "c b", "cabcabcabcabc", "xyz", "c\xe9" })
        EXPECT_TRUE(possibleBookKinds(board, word, 14).empty()) << word;
}

// Against the scores of every walk, kind by kind, on small boards around the centre.
TEST(BookDeductionTest, MatchesEveryWalkTriedOneByOne)
{
    std::mt19937 rng(17);
    std::uniform_int_distribution<int> pick(0, 2);
    const std::string alphabet = "aek";
    for (int round = 0; round < 30; ++round) {
        Board board;
        for (const FixedBonusCell& cell : kFixedBonusCells)
            board.bonus[cell.x][cell.y] = cell.kind;
        for (auto& column : board.board)
            for (int32_t& code : column)
                code = codeOf('z');
        for (int x = kCentreColumn - 2; x <= kCentreColumn + 1; ++x)
            for (int y = kCentreRow - 1; y <= kCentreRow + 1; ++y)
                board.board[x][y] = codeOf(alphabet[std::size_t(pick(rng))]);
        for (const std::string& word : walkref::randomWords(rng, alphabet, 6, 5)) {
            std::map<BonusKind, std::set<std::int64_t>> scores;
            for (BonusKind kind :
                { BonusYellowPotion, BonusRedPotion, BonusDoubleLetter, BonusTripleLetter }) {
                Board tried = board;
                tried.bonus[kCentreColumn][kCentreRow] = kind;
                for (const auto& walk : walkref::walksSpelling(tried, word, 1000000))
                    scores[kind].insert(walkref::scoreOf(tried, walk));
            }
            std::set<std::int64_t> every;
            for (const auto& [kind, s] : scores)
                every.insert(s.begin(), s.end());
            every.insert(1); // a score no chain makes
            for (std::int64_t score : every) {
                std::set<BonusKind> expected;
                for (const auto& [kind, s] : scores)
                    if (s.count(score))
                        expected.insert(kind);
                EXPECT_EQ(asSet(possibleBookKinds(board, word, score)), expected) << word << " " << score;
            }
        }
    }
}

} // namespace
