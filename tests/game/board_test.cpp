// Letter tables, the random deal and the board row messages.
#include "board.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz";

int32_t codeOf(char letter) { return static_cast<int32_t>(letter - 'a') + 1; }

// How many of the 93 deal-table entries each letter takes.
const std::map<char, int>& expectedDealCounts()
{
    static const std::map<char, int> counts { { 'a', 10 }, { 'e', 13 }, { 'i', 7 }, { 'o', 7 }, { 'u', 5 },
        { 'd', 5 }, { 'g', 3 }, { 'h', 3 }, { 'l', 3 }, { 'm', 3 }, { 'n', 3 }, { 'p', 3 }, { 'r', 3 },
        { 's', 3 }, { 't', 3 }, { 'y', 3 }, { 'b', 2 }, { 'c', 2 }, { 'f', 2 }, { 'j', 2 }, { 'k', 2 },
        { 'w', 2 }, { 'q', 1 }, { 'v', 1 }, { 'x', 1 }, { 'z', 1 } };
    return counts;
}

std::vector<std::string> splitOnPlus(const std::string& text)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t plus = text.find('+', start);
        fields.push_back(text.substr(start, plus - start));
        if (plus == std::string::npos)
            return fields;
        start = plus + 1;
    }
}

bool sameBoard(const Board& a, const Board& b)
{
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (a.board[x][y] != b.board[x][y] || a.bonus[x][y] != b.bonus[x][y])
                return false;
        }
    }
    return true;
}

struct ExpectedBonus {
    int x;
    int y;
    int32_t kind;
};

const std::array<ExpectedBonus, 8> kFixedBonuses { {
    { 0, 0, 2 },
    { 0, 8, 2 },
    { 12, 0, 2 },
    { 12, 8, 2 },
    { 3, 2, 1 },
    { 3, 6, 1 },
    { 9, 2, 1 },
    { 9, 6, 1 },
} };

constexpr int kManyDeals = 2000;

} // namespace

TEST(LetterTables, DealTableGivesEachLetterItsCount)
{
    std::map<char, int> counts;
    for (int r = 1; r <= 93; ++r) {
        const int32_t code = dealLetterCode(r);
        ASSERT_GE(code, 1) << "r = " << r;
        ASSERT_LE(code, 26) << "r = " << r;
        ++counts[kAlphabet[static_cast<std::size_t>(code - 1)]];
    }
    EXPECT_EQ(counts, expectedDealCounts());
}

TEST(LetterTables, DealTableRunsChangeLetterAtTheRightEntries)
{
    // Boundaries between neighbouring runs, where an off-by-one would show.
    EXPECT_EQ(dealLetterCode(1), codeOf('a'));
    EXPECT_EQ(dealLetterCode(10), codeOf('a'));
    EXPECT_EQ(dealLetterCode(11), codeOf('e'));
    EXPECT_EQ(dealLetterCode(23), codeOf('e'));
    EXPECT_EQ(dealLetterCode(24), codeOf('i'));
    EXPECT_EQ(dealLetterCode(47), codeOf('d'));
    EXPECT_EQ(dealLetterCode(48), codeOf('g'));
    EXPECT_EQ(dealLetterCode(77), codeOf('y'));
    EXPECT_EQ(dealLetterCode(78), codeOf('b'));
    EXPECT_EQ(dealLetterCode(89), codeOf('w'));
    EXPECT_EQ(dealLetterCode(90), codeOf('q'));
    EXPECT_EQ(dealLetterCode(91), codeOf('v'));
    EXPECT_EQ(dealLetterCode(92), codeOf('x'));
    EXPECT_EQ(dealLetterCode(93), codeOf('z'));
}

TEST(LetterTables, DealTableOutsideItsRangeGivesNoLetter)
{
    EXPECT_EQ(dealLetterCode(0), 0);
    EXPECT_EQ(dealLetterCode(94), 0);
    EXPECT_EQ(dealLetterCode(-1), 0);
    EXPECT_EQ(dealLetterCode(INT_MIN), 0);
    EXPECT_EQ(dealLetterCode(INT_MAX), 0);
}

TEST(LetterTables, ConvertoletterGivesLowerCaseLettersAndTForAnythingElse)
{
    EXPECT_EQ(convertoletter(1), "a");
    EXPECT_EQ(convertoletter(20), "t");
    EXPECT_EQ(convertoletter(26), "z");
    for (char letter : kAlphabet)
        EXPECT_EQ(convertoletter(codeOf(letter)), std::string(1, letter));

    EXPECT_EQ(convertoletter(0), "t");
    EXPECT_EQ(convertoletter(27), "t");
    EXPECT_EQ(convertoletter(-1), "t");
    EXPECT_EQ(convertoletter(INT_MIN), "t");
    EXPECT_EQ(convertoletter(INT_MAX), "t");
}

TEST(LetterTables, LetterworthFollowsTheValueTable)
{
    const std::vector<std::pair<std::string_view, int>> groups {
        { "adeilnorstu", 1 },
        { "bcghmpy", 3 },
        { "fjkw", 5 },
        { "v", 7 },
        { "qxz", 10 },
    };
    std::string covered;
    for (const auto& [letters, value] : groups) {
        for (char letter : letters) {
            EXPECT_EQ(letterworth(codeOf(letter)), value) << letter;
            covered += letter;
        }
    }
    EXPECT_EQ(covered.size(), kAlphabet.size()) << "every letter has exactly one value";
}

TEST(LetterTables, LetterworthOutsideTheAlphabetIsOne)
{
    EXPECT_EQ(letterworth(0), 1);
    EXPECT_EQ(letterworth(27), 1);
    EXPECT_EQ(letterworth(-5), 1);
    EXPECT_EQ(letterworth(INT_MIN), 1);
    EXPECT_EQ(letterworth(INT_MAX), 1);
}

TEST(BoardDeal, NewBoardIsAllZero)
{
    const Board board;
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            EXPECT_EQ(board.board[x][y], 0);
            EXPECT_EQ(board.bonus[x][y], 0);
        }
    }
}

TEST(BoardDeal, EveryRowMessageCarriesItsRowAndThirteenCodesOfTheBoard)
{
    std::mt19937 rng(20240611u);
    for (int deal = 0; deal < 20; ++deal) {
        Board board;
        dealBoard(board, rng);
        for (int y = 0; y < kBoardRows; ++y) {
            const std::string message = boardRowMessage(board, y);
            const std::vector<std::string> fields = splitOnPlus(message);
            ASSERT_EQ(fields.size(), 15u) << message;
            EXPECT_EQ(fields[0], "CMD_boardtileline");
            EXPECT_EQ(fields[1], std::to_string(y));
            for (int x = 0; x < kBoardColumns; ++x) {
                const std::string& field = fields[static_cast<std::size_t>(x) + 2];
                const int code = std::stoi(field);
                EXPECT_EQ(field, std::to_string(code)) << "plain decimal, no padding";
                EXPECT_GE(code, 1);
                EXPECT_LE(code, 26);
                EXPECT_EQ(code, board.board[x][y]) << "column " << x << " row " << y;
            }
            EXPECT_EQ(message.find('\xFF'), std::string::npos) << "the sender adds the end byte";
        }
    }
}

TEST(BoardDeal, RowMessageOutsideTheBoardIsRefused)
{
    const Board board;
    EXPECT_THROW(boardRowMessage(board, -1), std::out_of_range);
    EXPECT_THROW(boardRowMessage(board, 9), std::out_of_range);
}

TEST(BoardDeal, LetterSharesFollowTheDealTable)
{
    std::mt19937 rng(7772u);
    std::array<int, 27> seen {};
    Board board;
    for (int deal = 0; deal < kManyDeals; ++deal) {
        dealBoard(board, rng);
        for (int x = 0; x < kBoardColumns; ++x) {
            for (int y = 0; y < kBoardRows; ++y) {
                const int32_t code = board.board[x][y];
                ASSERT_GE(code, 1);
                ASSERT_LE(code, 26);
                ++seen[static_cast<std::size_t>(code)];
            }
        }
    }
    const double draws = static_cast<double>(kManyDeals) * kBoardColumns * kBoardRows;
    for (const auto& [letter, count] : expectedDealCounts()) {
        const double expected = count / 93.0;
        const double share = seen[static_cast<std::size_t>(codeOf(letter))] / draws;
        // Six standard deviations: far below the 1/93 a shifted table entry would
        // move a share, far above what chance does with this many draws.
        const double tolerance = 6.0 * std::sqrt(expected * (1.0 - expected) / draws);
        EXPECT_NEAR(share, expected, tolerance) << letter;
    }
}

TEST(BoardDeal, BonusCellsAreFixedExceptTheCentreWhichTakesEachKindAboutEqually)
{
    std::mt19937 rng(99u);
    std::array<int, 5> centreKinds {};
    Board board;
    for (int deal = 0; deal < kManyDeals; ++deal) {
        dealBoard(board, rng);
        int bonusCells = 0;
        for (int x = 0; x < kBoardColumns; ++x) {
            for (int y = 0; y < kBoardRows; ++y) {
                if (board.bonus[x][y] != 0)
                    ++bonusCells;
            }
        }
        ASSERT_EQ(bonusCells, 9);
        for (const ExpectedBonus& cell : kFixedBonuses)
            ASSERT_EQ(board.bonus[cell.x][cell.y], cell.kind) << cell.x << "." << cell.y;
        const int32_t centre = board.bonus[6][4];
        ASSERT_GE(centre, 1);
        ASSERT_LE(centre, 4);
        ++centreKinds[static_cast<std::size_t>(centre)];
    }
    // 500 expected per kind, standard deviation about 19.
    for (int kind = 1; kind <= 4; ++kind) {
        EXPECT_GT(centreKinds[static_cast<std::size_t>(kind)], 400) << "kind " << kind;
        EXPECT_LT(centreKinds[static_cast<std::size_t>(kind)], 600) << "kind " << kind;
    }
}

TEST(BoardDeal, RedealingClearsAStrayBonus)
{
    Board board;
    for (auto& column : board.bonus) {
        for (int32_t& kind : column)
            kind = 4;
    }
    std::mt19937 rng(5u);
    dealBoard(board, rng);
    EXPECT_EQ(board.bonus[1][1], 0);
    EXPECT_EQ(board.bonus[6][3], 0);
    EXPECT_EQ(board.bonus[12][7], 0);
}

TEST(BoardDeal, SameSeedDealsTheSameBoard)
{
    std::mt19937 first(123456u);
    std::mt19937 second(123456u);
    for (int deal = 0; deal < 5; ++deal) {
        Board a;
        Board b;
        dealBoard(a, first);
        dealBoard(b, second);
        EXPECT_TRUE(sameBoard(a, b)) << "deal " << deal;
    }
}

TEST(BoardDeal, EachDealIsNew)
{
    std::mt19937 rng(123456u);
    Board a;
    Board b;
    dealBoard(a, rng);
    dealBoard(b, rng);
    EXPECT_FALSE(sameBoard(a, b));

    std::mt19937 other(654321u);
    Board c;
    dealBoard(c, other);
    EXPECT_FALSE(sameBoard(a, c));
}
