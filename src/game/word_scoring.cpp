// Tile reference parsing, word rebuilding and word scoring.
#include "word_scoring.h"

#include <cstdlib>

namespace {

// One or two decimal digits, nothing else: no coordinate needs more, and a length
// cap means hostile text can never overflow the value.
bool parseCoordinate(std::string_view text, int& out)
{
    if (text.empty() || text.size() > 2)
        return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    out = value;
    return true;
}

bool onBoard(const TileRef& tile)
{
    return tile.x >= 0 && tile.x < kBoardColumns && tile.y >= 0 && tile.y < kBoardRows;
}

// One of the eight neighbours: the same cell twice in a row does not count.
bool touches(const TileRef& previous, const TileRef& next)
{
    const int dx = std::abs(next.x - previous.x);
    const int dy = std::abs(next.y - previous.y);
    return dx <= 1 && dy <= 1 && (dx != 0 || dy != 0);
}

} // namespace

bool parseTileRef(std::string_view text, TileRef& out)
{
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos)
        return false;
    TileRef tile;
    // A second "." lands in the row text and fails the digit test there.
    if (!parseCoordinate(text.substr(0, dot), tile.x) || !parseCoordinate(text.substr(dot + 1), tile.y))
        return false;
    if (!onBoard(tile))
        return false;
    out = tile;
    return true;
}

std::optional<BuiltWord> buildWord(const Board& board, std::span<const TileRef> tiles)
{
    if (tiles.empty() || tiles.size() > static_cast<std::size_t>(kMaxWordTiles))
        return std::nullopt;

    BuiltWord built;
    built.word.reserve(tiles.size());
    const TileRef* previous = nullptr;
    for (const TileRef& tile : tiles) {
        if (!onBoard(tile))
            return std::nullopt;
        if (previous != nullptr && !touches(*previous, tile))
            return std::nullopt;
        previous = &tile;

        const int32_t code = board.board[tile.x][tile.y];
        const int64_t worth = letterworth(code);
        switch (board.bonus[tile.x][tile.y]) {
        case BonusDoubleLetter:
            built.letterScore += 2 * worth;
            break;
        case BonusTripleLetter:
            built.letterScore += 3 * worth;
            break;
        case BonusYellowPotion:
            built.wordMultipliers.push_back(BonusYellowPotion);
            built.letterScore += worth;
            break;
        case BonusRedPotion:
            built.wordMultipliers.push_back(BonusRedPotion);
            built.letterScore += worth;
            break;
        default:
            built.letterScore += worth;
            break;
        }
        built.word += convertoletter(code);
    }
    return built;
}

int64_t finalWordScore(const BuiltWord& word)
{
    int64_t score = word.letterScore;
    for (BonusKind kind : word.wordMultipliers) {
        if (kind == BonusYellowPotion)
            score *= 2;
        else if (kind == BonusRedPotion)
            score *= 3;
    }
    return score;
}
