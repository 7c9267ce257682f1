// The deal table, the letter and point tables, dealing a board and writing its rows.
#include "board.h"

#include <array>
#include <stdexcept>

namespace {

struct LetterShare {
    int32_t code;
    int count;
};

// Letters in deal-table order with the number of entries each takes: vowels and
// common consonants fill most of the table so that boards stay playable.
constexpr std::array<LetterShare, 26> kDealShares { {
    { 1, 10 }, // a
    { 5, 13 }, // e
    { 9, 7 }, // i
    { 15, 7 }, // o
    { 21, 5 }, // u
    { 4, 5 }, // d
    { 7, 3 }, // g
    { 8, 3 }, // h
    { 12, 3 }, // l
    { 13, 3 }, // m
    { 14, 3 }, // n
    { 16, 3 }, // p
    { 18, 3 }, // r
    { 19, 3 }, // s
    { 20, 3 }, // t
    { 25, 3 }, // y
    { 2, 2 }, // b
    { 3, 2 }, // c
    { 6, 2 }, // f
    { 10, 2 }, // j
    { 11, 2 }, // k
    { 23, 2 }, // w
    { 17, 1 }, // q
    { 22, 1 }, // v
    { 24, 1 }, // x
    { 26, 1 }, // z
} };

constexpr int dealShareTotal()
{
    int total = 0;
    for (const LetterShare& share : kDealShares)
        total += share.count;
    return total;
}
static_assert(dealShareTotal() == kDealTableSize, "the letter counts must fill the deal table exactly");

constexpr std::array<int32_t, kDealTableSize> makeDealTable()
{
    std::array<int32_t, kDealTableSize> table {};
    std::size_t next = 0;
    for (const LetterShare& share : kDealShares) {
        for (int i = 0; i < share.count; ++i)
            table[next++] = share.code;
    }
    return table;
}

constexpr std::array<int32_t, kDealTableSize> kDealTable = makeDealTable();

} // namespace

int32_t dealLetterCode(int r)
{
    if (r < 1 || r > kDealTableSize)
        return 0;
    return kDealTable[static_cast<std::size_t>(r - 1)];
}

std::string convertoletter(int32_t code) { return std::string(1, letterOf(code)); }

int letterworth(int32_t code) { return letterValue(code); }

void dealBoard(Board& board, std::mt19937& rng)
{
    std::uniform_int_distribution<int> letterDraw(1, kDealTableSize);
    for (int y = 0; y < kBoardRows; ++y) {
        for (int x = 0; x < kBoardColumns; ++x)
            board.board[x][y] = dealLetterCode(letterDraw(rng));
    }

    // Cleared first so that a board the caller reused cannot keep a stray bonus.
    for (auto& column : board.bonus) {
        for (int32_t& kind : column)
            kind = BonusNone;
    }
    for (const FixedBonusCell& cell : kFixedBonusCells)
        board.bonus[cell.x][cell.y] = cell.kind;
    std::uniform_int_distribution<int32_t> centreDraw(BonusYellowPotion, BonusTripleLetter);
    board.bonus[kCentreColumn][kCentreRow] = centreDraw(rng);
}

std::string boardRowMessage(const Board& board, int y)
{
    if (y < 0 || y >= kBoardRows)
        throw std::out_of_range("board row out of range");
    std::string message = "CMD_boardtileline+" + std::to_string(y);
    for (int x = 0; x < kBoardColumns; ++x) {
        message += '+';
        message += std::to_string(board.board[x][y]);
    }
    return message;
}
