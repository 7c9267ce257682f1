// Tile references, rebuilding a word from its tiles, and scoring it.
#include "word_scoring.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

int32_t codeOf(char letter) { return static_cast<int32_t>(letter - 'a') + 1; }

void put(Board& board, int x, int y, char letter, int32_t bonus = 0)
{
    board.board[x][y] = codeOf(letter);
    board.bonus[x][y] = bonus;
}

void fillLetters(Board& board, char letter)
{
    for (auto& column : board.board) {
        for (int32_t& code : column)
            code = codeOf(letter);
    }
}

// c-a-t along row 5 from column 4; the cells named get the bonuses given.
Board catBoard(int32_t cBonus, int32_t aBonus, int32_t tBonus)
{
    Board board;
    put(board, 4, 5, 'c', cBonus);
    put(board, 5, 5, 'a', aBonus);
    put(board, 6, 5, 't', tBonus);
    return board;
}

const std::vector<TileRef> kCatTiles { { 4, 5 }, { 5, 5 }, { 6, 5 } };

std::optional<int64_t> scoreOf(const Board& board, const std::vector<TileRef>& tiles)
{
    const std::optional<BuiltWord> built = buildWord(board, tiles);
    if (!built)
        return std::nullopt;
    return finalWordScore(*built);
}

// Back and forth between two touching cells, starting on the first.
std::vector<TileRef> shuttle(TileRef first, TileRef second, int length)
{
    std::vector<TileRef> tiles;
    for (int i = 0; i < length; ++i)
        tiles.push_back(i % 2 == 0 ? first : second);
    return tiles;
}

constexpr int64_t pow3(int n) { return n == 0 ? 1 : 3 * pow3(n - 1); }

} // namespace

// --- tile references -------------------------------------------------------

TEST(TileRefParsing, ReadsColumnThenRow)
{
    TileRef tile;
    ASSERT_TRUE(parseTileRef("3.7", tile));
    EXPECT_EQ(tile.x, 3);
    EXPECT_EQ(tile.y, 7);

    ASSERT_TRUE(parseTileRef("12.8", tile));
    EXPECT_EQ(tile.x, 12);
    EXPECT_EQ(tile.y, 8);

    ASSERT_TRUE(parseTileRef("0.0", tile));
    EXPECT_EQ(tile.x, 0);
    EXPECT_EQ(tile.y, 0);

    ASSERT_TRUE(parseTileRef("07.1", tile)) << "two digits are allowed even with a leading zero";
    EXPECT_EQ(tile.x, 7);
    EXPECT_EQ(tile.y, 1);
}

TEST(TileRefParsing, EveryCellRoundTrips)
{
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            const std::string text = std::to_string(x) + "." + std::to_string(y);
            TileRef tile;
            ASSERT_TRUE(parseTileRef(text, tile)) << text;
            EXPECT_EQ(tile.x, x) << text;
            EXPECT_EQ(tile.y, y) << text;
        }
    }
}

TEST(TileRefParsing, RefusesCellsOffTheBoard)
{
    for (std::string_view text : { "13.0", "0.9", "99.99", "12.9", "13.8" }) {
        TileRef tile;
        EXPECT_FALSE(parseTileRef(text, tile)) << text;
    }
}

TEST(TileRefParsing, RefusesMalformedText)
{
    using namespace std::string_literals;
    const std::vector<std::string> bad { "", ".", "12", "-1.2", "1.-2", "+1.2", "1.+2", "1..2", "1.", ".2",
        "a.b", "1.b", "1.2.3", " 1.2", "1.2 ", "1 .2", "1. 2", "007.1", "1.002", "1,2", "1.2\n", "0x1.2",
        "1e0.2", ":.1", "1/.2", "1.2\0"s, "\3771.2"s, "1.2\xFF"s, "4294967297.1", "1.4294967304" };
    for (const std::string& text : bad) {
        TileRef tile { 5, 6 };
        EXPECT_FALSE(parseTileRef(text, tile)) << '"' << text << '"';
        EXPECT_EQ(tile.x, 5) << "a refused reference leaves the output alone";
        EXPECT_EQ(tile.y, 6) << "a refused reference leaves the output alone";
    }
}

// --- rebuilding and scoring ------------------------------------------------

TEST(WordScoring, CatOnPlainCellsScoresItsLetters)
{
    const std::optional<BuiltWord> built = buildWord(catBoard(0, 0, 0), kCatTiles);
    ASSERT_TRUE(built);
    EXPECT_EQ(built->word, "cat");
    EXPECT_EQ(built->letterScore, 5);
    EXPECT_TRUE(built->wordMultipliers.empty());
    EXPECT_EQ(finalWordScore(*built), 5);
}

TEST(WordScoring, LetterBonusesMultiplyOnlyTheirLetter)
{
    EXPECT_EQ(scoreOf(catBoard(BonusDoubleLetter, 0, 0), kCatTiles), 3 * 2 + 1 + 1);
    EXPECT_EQ(scoreOf(catBoard(BonusTripleLetter, 0, 0), kCatTiles), 3 * 3 + 1 + 1);
    EXPECT_EQ(scoreOf(catBoard(0, 0, BonusTripleLetter), kCatTiles), 3 + 1 + 1 * 3);

    const std::optional<BuiltWord> built = buildWord(catBoard(BonusDoubleLetter, 0, 0), kCatTiles);
    ASSERT_TRUE(built);
    EXPECT_TRUE(built->wordMultipliers.empty()) << "a letter bonus is no word multiplier";
}

TEST(WordScoring, PotionsMultiplyTheWholeWord)
{
    const std::optional<BuiltWord> yellow = buildWord(catBoard(0, BonusYellowPotion, 0), kCatTiles);
    ASSERT_TRUE(yellow);
    EXPECT_EQ(yellow->letterScore, 5) << "the potion's own letter counts once before multiplying";
    EXPECT_EQ(yellow->wordMultipliers, std::vector<BonusKind> { BonusYellowPotion });
    EXPECT_EQ(finalWordScore(*yellow), (3 + 1 + 1) * 2);

    EXPECT_EQ(scoreOf(catBoard(BonusRedPotion, 0, 0), kCatTiles), 5 * 3);
    EXPECT_EQ(scoreOf(catBoard(BonusYellowPotion, 0, BonusRedPotion), kCatTiles), 5 * 2 * 3);
}

TEST(WordScoring, MultipliersAreListedInTheOrderUsed)
{
    const std::optional<BuiltWord> built
        = buildWord(catBoard(BonusRedPotion, BonusDoubleLetter, BonusYellowPotion), kCatTiles);
    ASSERT_TRUE(built);
    EXPECT_EQ(built->wordMultipliers, (std::vector<BonusKind> { BonusRedPotion, BonusYellowPotion }));
    EXPECT_EQ(built->letterScore, 3 + 1 * 2 + 1);
    EXPECT_EQ(finalWordScore(*built), (3 + 2 + 1) * 3 * 2);
}

TEST(WordScoring, SpellBookCountsAsWhicheverKindWasDealt)
{
    // c-a-t through the centre with the a on the spell book.
    const std::vector<TileRef> tiles { { 5, 4 }, { 6, 4 }, { 7, 4 } };
    struct Case {
        int32_t kind;
        int64_t score;
    };
    const Case cases[] {
        { BonusYellowPotion, (3 + 1 + 1) * 2 },
        { BonusRedPotion, (3 + 1 + 1) * 3 },
        { BonusDoubleLetter, 3 + 1 * 2 + 1 },
        { BonusTripleLetter, 3 + 1 * 3 + 1 },
    };
    for (const Case& c : cases) {
        std::mt19937 rng(1u);
        Board board;
        dealBoard(board, rng);
        put(board, 5, 4, 'c');
        put(board, 6, 4, 'a', c.kind);
        put(board, 7, 4, 't');
        const std::optional<BuiltWord> built = buildWord(board, tiles);
        ASSERT_TRUE(built) << "kind " << c.kind;
        EXPECT_EQ(built->word, "cat");
        EXPECT_EQ(finalWordScore(*built), c.score) << "kind " << c.kind;
    }
}

TEST(WordScoring, ACellUsedAgainCountsAgain)
{
    Board board;
    put(board, 2, 2, 'a', BonusDoubleLetter);
    put(board, 3, 3, 'b');
    const std::vector<TileRef> aba { { 2, 2 }, { 3, 3 }, { 2, 2 } };
    const std::optional<BuiltWord> built = buildWord(board, aba);
    ASSERT_TRUE(built);
    EXPECT_EQ(built->word, "aba");
    EXPECT_EQ(finalWordScore(*built), 1 * 2 + 3 + 1 * 2);

    put(board, 2, 2, 'a', BonusYellowPotion);
    const std::optional<BuiltWord> twice = buildWord(board, aba);
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->wordMultipliers.size(), 2u);
    EXPECT_EQ(finalWordScore(*twice), (1 + 3 + 1) * 2 * 2);
}

TEST(WordScoring, EveryNeighbourTouchesAndNothingElseDoes)
{
    Board board;
    fillLetters(board, 'e');
    const TileRef centre { 6, 4 };
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            const bool neighbour = std::abs(x - centre.x) <= 1 && std::abs(y - centre.y) <= 1
                && !(x == centre.x && y == centre.y);
            const std::vector<TileRef> tiles { centre, { x, y } };
            EXPECT_EQ(buildWord(board, tiles).has_value(), neighbour) << x << "." << y;
        }
    }
}

TEST(WordScoring, BrokenChainsAreDropped)
{
    Board board;
    fillLetters(board, 'o');
    // The same cell twice in a row.
    EXPECT_FALSE(buildWord(board, std::vector<TileRef> { { 4, 4 }, { 4, 4 } }));
    EXPECT_FALSE(buildWord(board, std::vector<TileRef> { { 3, 3 }, { 4, 4 }, { 4, 4 }, { 5, 5 } }));
    // The third cell two columns away from the second.
    EXPECT_FALSE(buildWord(board, std::vector<TileRef> { { 1, 1 }, { 2, 1 }, { 4, 1 } }));
    // Two rows away, and a knight's move.
    EXPECT_FALSE(buildWord(board, std::vector<TileRef> { { 1, 1 }, { 1, 3 } }));
    EXPECT_FALSE(buildWord(board, std::vector<TileRef> { { 1, 1 }, { 2, 3 } }));
    // A long word broken only at its last step.
    std::vector<TileRef> tiles = shuttle({ 5, 5 }, { 6, 6 }, 11);
    ASSERT_TRUE(buildWord(board, tiles));
    tiles.push_back({ 0, 0 });
    EXPECT_FALSE(buildWord(board, tiles));
}

TEST(WordScoring, WordLengthIsOneToTwelveTiles)
{
    Board board;
    fillLetters(board, 's');
    EXPECT_FALSE(buildWord(board, std::vector<TileRef> {}));

    const std::optional<BuiltWord> one = buildWord(board, std::vector<TileRef> { { 0, 0 } });
    ASSERT_TRUE(one);
    EXPECT_EQ(one->word, "s");

    const std::optional<BuiltWord> twelve = buildWord(board, shuttle({ 7, 7 }, { 8, 8 }, kMaxWordTiles));
    ASSERT_TRUE(twelve);
    EXPECT_EQ(twelve->word, std::string(12, 's'));
    EXPECT_EQ(twelve->letterScore, 12);

    EXPECT_FALSE(buildWord(board, shuttle({ 7, 7 }, { 8, 8 }, kMaxWordTiles + 1)));
    EXPECT_FALSE(buildWord(board, shuttle({ 7, 7 }, { 8, 8 }, 1000)));
}

TEST(WordScoring, CellsOffTheBoardAreRefused)
{
    const Board board;
    const std::vector<std::vector<TileRef>> words {
        { { 13, 0 } },
        { { 0, 9 } },
        { { -1, 0 } },
        { { 0, -1 } },
        { { INT_MIN, INT_MIN } },
        { { INT_MAX, 0 } },
        { { 12, 8 }, { 13, 8 } },
        { { 12, 8 }, { 12, 9 } },
        { { 0, 0 }, { -1, -1 } },
    };
    for (const std::vector<TileRef>& tiles : words)
        EXPECT_FALSE(buildWord(board, tiles)) << tiles.back().x << "." << tiles.back().y;
}

TEST(WordScoring, AnUndealtCellReadsAsAOnePointT)
{
    const Board board;
    const std::optional<BuiltWord> built = buildWord(board, std::vector<TileRef> { { 0, 0 }, { 1, 0 } });
    ASSERT_TRUE(built);
    EXPECT_EQ(built->word, "tt");
    EXPECT_EQ(finalWordScore(*built), 2);
}

// --- many potion crossings -------------------------------------------------

TEST(WordScoring, EveryPotionCrossingMultipliesBeyondFive)
{
    static_assert(std::is_same_v<decltype(finalWordScore(std::declval<const BuiltWord&>())), int64_t>);

    // Twelve a's alternating between touching yellow and red cells: six of each.
    Board board;
    fillLetters(board, 'a');
    board.bonus[5][5] = BonusYellowPotion;
    board.bonus[5][6] = BonusRedPotion;
    const std::optional<BuiltWord> built = buildWord(board, shuttle({ 5, 5 }, { 5, 6 }, 12));
    ASSERT_TRUE(built);
    EXPECT_EQ(built->wordMultipliers.size(), 12u);
    EXPECT_EQ(finalWordScore(*built), int64_t { 12 } * (1 << 6) * pow3(6));

    // Back and forth over one red corner: each crossing, up to the six a word can
    // make, triples again.
    for (int crossings = 1; crossings <= 6; ++crossings) {
        Board corner;
        fillLetters(corner, 'b');
        corner.bonus[0][0] = BonusRedPotion;
        const std::optional<BuiltWord> word = buildWord(corner, shuttle({ 0, 0 }, { 1, 1 }, 2 * crossings));
        ASSERT_TRUE(word);
        EXPECT_EQ(finalWordScore(*word), int64_t { 3 } * 2 * crossings * pow3(crossings)) << crossings;
    }
}

TEST(WordScoring, BestPossibleWordReachesTheLargestScore)
{
    static_assert(kMaxWordScore == 12 * 10 * pow3(6));
    std::mt19937 rng(3u);
    Board board;
    dealBoard(board, rng);
    fillLetters(board, 'z');

    // Back and forth over a red corner, twelve z's.
    const std::optional<BuiltWord> corner = buildWord(board, shuttle({ 12, 8 }, { 11, 7 }, 12));
    ASSERT_TRUE(corner);
    EXPECT_EQ(finalWordScore(*corner), kMaxWordScore);

    // The same over the spell book dealt as a red potion.
    board.bonus[6][4] = BonusRedPotion;
    const std::optional<BuiltWord> centre = buildWord(board, shuttle({ 6, 5 }, { 6, 4 }, 12));
    ASSERT_TRUE(centre);
    EXPECT_EQ(finalWordScore(*centre), kMaxWordScore);
}

TEST(WordScoring, RandomWordsOnDealtBoardsStayWithinTheLargestScore)
{
    std::mt19937 rng(4242u);
    std::uniform_int_distribution<int> column(0, kBoardColumns - 1);
    std::uniform_int_distribution<int> row(0, kBoardRows - 1);
    std::uniform_int_distribution<int> length(1, kMaxWordTiles);
    std::uniform_int_distribution<int> step(-1, 1);
    Board board;
    for (int deal = 0; deal < 200; ++deal) {
        dealBoard(board, rng);
        for (int word = 0; word < 100; ++word) {
            std::vector<TileRef> tiles { { column(rng), row(rng) } };
            const int size = length(rng);
            while (static_cast<int>(tiles.size()) < size) {
                const TileRef next { tiles.back().x + step(rng), tiles.back().y + step(rng) };
                const bool moved = next.x != tiles.back().x || next.y != tiles.back().y;
                if (moved && next.x >= 0 && next.x < kBoardColumns && next.y >= 0 && next.y < kBoardRows)
                    tiles.push_back(next);
            }
            const std::optional<BuiltWord> built = buildWord(board, tiles);
            ASSERT_TRUE(built);
            ASSERT_EQ(built->word.size(), tiles.size());
            const int64_t score = finalWordScore(*built);
            EXPECT_GE(score, built->letterScore);
            EXPECT_LE(score, kMaxWordScore);
        }
    }
}
