// Tile references and words on a dealt board: reading "x.y" from hostile text,
// rebuilding a word from a chain of tiles, and scoring it, each checked against
// the rules written out plainly here.
#include "fuzz_check.h"
#include "fuzz_input.h"

#include "board.h"
#include "protocol.h"
#include "word_scoring.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

bool isDigits(std::string_view text, std::size_t minLength, std::size_t maxLength)
{
    if (text.size() < minLength || text.size() > maxLength)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// "x.y": one or two digits each side of one ".", naming a cell on the board.
bool referenceParse(std::string_view text, TileRef& out)
{
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view x = text.substr(0, dot), y = text.substr(dot + 1);
    if (!isDigits(x, 1, 2) || !isDigits(y, 1, 2))
        return false;
    out.x = std::stoi(std::string(x));
    out.y = std::stoi(std::string(y));
    return out.x < kBoardColumns && out.y < kBoardRows;
}

void checkParse(std::string_view text, std::vector<TileRef>& refs)
{
    TileRef expected {};
    const bool valid = referenceParse(text, expected);
    TileRef got { -7, -7 };
    FUZZ_CHECK(parseTileRef(text, got) == valid);
    if (!valid) {
        FUZZ_CHECK(got.x == -7 && got.y == -7); // untouched on failure
        return;
    }
    FUZZ_CHECK(got.x == expected.x && got.y == expected.y);
    refs.push_back(got);
}

bool onBoard(const TileRef& t) { return t.x >= 0 && t.x < kBoardColumns && t.y >= 0 && t.y < kBoardRows; }

void checkBoard(const Board& board)
{
    for (int x = 0; x < kBoardColumns; ++x)
        for (int y = 0; y < kBoardRows; ++y) {
            FUZZ_CHECK(board.board[x][y] >= kFirstLetterCode && board.board[x][y] <= kLastLetterCode);
            FUZZ_CHECK(board.bonus[x][y] >= BonusNone && board.bonus[x][y] <= BonusTripleLetter);
            // The score bound rests on this: no two potion cells touch.
            const bool potion = board.bonus[x][y] == BonusYellowPotion || board.bonus[x][y] == BonusRedPotion;
            for (int dx = -1; dx <= 1 && potion; ++dx)
                for (int dy = -1; dy <= 1; ++dy) {
                    const TileRef n { x + dx, y + dy };
                    if ((dx || dy) && onBoard(n))
                        FUZZ_CHECK(board.bonus[n.x][n.y] != BonusYellowPotion
                            && board.bonus[n.x][n.y] != BonusRedPotion);
                }
        }
    // Every row message reads back as the row it was made from.
    for (int y = 0; y < kBoardRows; ++y) {
        const std::string message = boardRowMessage(board, y);
        const wire::SplitLine split = wire::splitCommand(message);
        FUZZ_CHECK(split.command == "CMD_boardtileline");
        wire::FieldReader fields(split.args);
        int32_t row = -1;
        FUZZ_CHECK(fields.nextInt(row) && row == y);
        const auto codes = fields.list(kBoardColumns);
        FUZZ_CHECK(codes && codes->size() == std::size_t(kBoardColumns));
        for (int x = 0; x < kBoardColumns; ++x)
            FUZZ_CHECK(wire::strictToInt((*codes)[std::size_t(x)]) == board.board[x][y]);
    }
}

void checkWord(const Board& board, const std::vector<TileRef>& tiles)
{
    bool chain = !tiles.empty() && tiles.size() <= std::size_t(kMaxWordTiles);
    for (std::size_t i = 0; chain && i < tiles.size(); ++i) {
        chain = onBoard(tiles[i]);
        if (chain && i > 0) {
            const int dx = std::abs(tiles[i].x - tiles[i - 1].x), dy = std::abs(tiles[i].y - tiles[i - 1].y);
            chain = std::max(dx, dy) == 1;
        }
    }
    const std::optional<BuiltWord> built = buildWord(board, tiles);
    FUZZ_CHECK(built.has_value() == chain);
    if (!built)
        return;

    FUZZ_CHECK(built->word.size() == tiles.size());
    int64_t letters = 0;
    std::size_t potions = 0;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const int32_t code = board.board[tiles[i].x][tiles[i].y];
        const int32_t bonus = board.bonus[tiles[i].x][tiles[i].y];
        FUZZ_CHECK(built->word[i] == char('a' + code - 1));
        const int factor = bonus == BonusDoubleLetter ? 2 : bonus == BonusTripleLetter ? 3 : 1;
        letters += int64_t(letterworth(code)) * factor;
        if (bonus == BonusYellowPotion || bonus == BonusRedPotion) {
            FUZZ_CHECK(potions < built->wordMultipliers.size() && built->wordMultipliers[potions] == bonus);
            ++potions;
        }
    }
    FUZZ_CHECK(potions == built->wordMultipliers.size());
    FUZZ_CHECK(built->letterScore == letters);
    const int64_t score = finalWordScore(*built);
    FUZZ_CHECK(score >= letters && score > 0);
    FUZZ_CHECK(score <= kMaxWordScore);
}

} // namespace

// Input: a deal seed, a mode byte, letters laid over the deal (any letters: the
// score bound must hold on every board), then the tiles, as text or as moves.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    std::mt19937 rng(input.u32());
    Board board;
    dealBoard(board, rng);
    const uint8_t mode = input.byte();

    for (int i = 0, laid = mode >> 2; i < laid; ++i) {
        const uint8_t at = input.byte();
        const int x = (at & 0x0F) % kBoardColumns, y = (at >> 4) % kBoardRows;
        board.board[x][y] = kFirstLetterCode + input.byte() % 26;
    }
    checkBoard(board);

    std::vector<TileRef> tiles;
    if (mode & 1) {
        // Text: "+"-separated references, as CMD_wordcomplete carries them.
        while (!input.empty())
            checkParse(input.until('+'), tiles);
    } else {
        // Moves: a start cell, then one byte per step: the low three bits pick
        // a neighbour, and a high nibble of 0xF jumps anywhere (a broken chain).
        TileRef at { input.byte() % kBoardColumns, input.byte() % kBoardRows };
        tiles.push_back(at);
        while (!input.empty() && tiles.size() < 16) {
            static constexpr int kDx[8] = { -1, 0, 1, -1, 1, -1, 0, 1 };
            static constexpr int kDy[8] = { -1, -1, -1, 0, 0, 1, 1, 1 };
            const uint8_t step = input.byte();
            if ((step >> 4) == 0xF)
                at = TileRef { (step & 0x0F) % kBoardColumns, input.byte() % kBoardRows };
            else
                at = TileRef { at.x + kDx[step & 7], at.y + kDy[step & 7] };
            tiles.push_back(at);
        }
        // Each tile written as text reads back as itself, or is refused when off the board.
        std::vector<TileRef> parsed;
        for (const TileRef& t : tiles)
            checkParse(std::to_string(t.x) + "." + std::to_string(t.y), parsed);
        std::size_t on = 0;
        for (const TileRef& t : tiles)
            on += onBoard(t);
        FUZZ_CHECK(parsed.size() == on);
    }
    checkWord(board, tiles);
    // The server only ever sees references that parsed: the same chain, cut to the cells on the board.
    std::vector<TileRef> onlyOnBoard;
    for (const TileRef& t : tiles)
        if (onBoard(t))
            onlyOnBoard.push_back(t);
    checkWord(board, onlyOnBoard);
    return 0;
}
