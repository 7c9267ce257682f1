// The walk-by-walk reference the finder's tests compare against.
#include "walk_reference.h"

#include <functional>

namespace {

using walkref::Tiles;

// Calls visit(tiles, letters) for every walk of 1 to kMaxWordTiles tiles whose
// letters keep(letters) accepts as a start, in reading order.
void walkAll(const Board& board, const std::function<bool(const std::string&)>& keep,
    const std::function<void(const Tiles&, const std::string&)>& visit)
{
    Tiles tiles;
    std::string letters;
    std::function<void()> extend = [&] {
        visit(tiles, letters);
        if (tiles.size() == static_cast<std::size_t>(kMaxWordTiles))
            return;
        const TileRef last = tiles.back();
        for (int y = last.y - 1; y <= last.y + 1; ++y) {
            for (int x = last.x - 1; x <= last.x + 1; ++x) {
                if ((x == last.x && y == last.y) || x < 0 || y < 0 || x >= kBoardColumns || y >= kBoardRows)
                    continue;
                letters += convertoletter(board.board[x][y]);
                if (keep(letters)) {
                    tiles.push_back({ x, y });
                    extend();
                    tiles.pop_back();
                }
                letters.pop_back();
            }
        }
    };
    for (int y = 0; y < kBoardRows; ++y) {
        for (int x = 0; x < kBoardColumns; ++x) {
            letters = convertoletter(board.board[x][y]);
            if (keep(letters)) {
                tiles = { { x, y } };
                extend();
            }
        }
    }
}

} // namespace

namespace walkref {

std::int64_t scoreOf(const Board& board, const Tiles& tiles)
{
    const auto built = buildWord(board, tiles);
    return built ? finalWordScore(*built) : -1;
}

WordWalker::WordWalker(const std::set<std::string>& words)
    : words_(words.begin(), words.end())
{
    for (const std::string& word : words) {
        for (std::size_t n = 1; n <= word.size(); ++n)
            prefixes_.insert(word.substr(0, n));
    }
}

std::map<std::string, Best> WordWalker::wordsOn(const Board& board) const
{
    std::map<std::string, Best> found;
    walkAll(
        board, [&](const std::string& letters) { return prefixes_.count(letters) != 0; },
        [&](const Tiles& tiles, const std::string& letters) {
            if (words_.count(letters) == 0)
                return;
            Best& best = found[letters];
            const std::int64_t score = scoreOf(board, tiles);
            if (score > best.score)
                best = { score, tiles };
        });
    return found;
}

std::vector<Tiles> walksSpelling(const Board& board, std::string_view word, std::size_t cap)
{
    std::vector<Tiles> walks;
    walkAll(
        board,
        [&](const std::string& letters) {
            return walks.size() < cap && letters.size() <= word.size()
                && word.substr(0, letters.size()) == letters;
        },
        [&](const Tiles& tiles, const std::string& letters) {
            if (letters == word && walks.size() < cap)
                walks.push_back(tiles);
        });
    return walks;
}

Board smallBoard(std::mt19937& rng, std::string_view alphabet, char padding)
{
    Board board;
    for (auto& column : board.board) {
        for (int32_t& code : column)
            code = codeOf(padding);
    }
    std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> bonus(0, 9);
    for (int x = 0; x < 4; ++x) {
        for (int y = 0; y < 3; ++y) {
            board.board[x][y] = codeOf(alphabet[letter(rng)]);
            const int b = bonus(rng);
            board.bonus[x][y] = b <= BonusTripleLetter ? b : BonusNone;
        }
    }
    return board;
}

std::set<std::string> randomWords(std::mt19937& rng, std::string_view alphabet, int count, int maxLetters)
{
    std::uniform_int_distribution<std::size_t> letter(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(2, maxLetters);
    std::set<std::string> words;
    for (int i = 0; i < count; ++i) {
        std::string word;
        const int n = length(rng);
        for (int k = 0; k < n; ++k)
            word += alphabet[letter(rng)];
        words.insert(word);
    }
    return words;
}

} // namespace walkref
