// Slow, obviously correct answers for the finder's tests: every walk over the
// board tried one by one, each scored by the server's own rebuild and score.
#pragma once

#include "board.h"
#include "word_scoring.h"

#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace walkref {

using Tiles = std::vector<TileRef>;

struct Best {
    std::int64_t score = -1;
    Tiles tiles; // the first walk in reading order of those scoring best
};

// The server's score for a walk.
std::int64_t scoreOf(const Board& board, const Tiles& tiles);

// A word list held for walking boards against it.
class WordWalker {
public:
    explicit WordWalker(const std::set<std::string>& words);

    // Every word of the list that some walk spells, with its best walk. Walks
    // start from every cell and step to any of the eight neighbours, cells in
    // reading order, so the first best walk met is the first in reading order;
    // a walk is cut short only when no word starts with its letters.
    std::map<std::string, Best> wordsOn(const Board& board) const;

private:
    // Hashed, so the many look-ups of a walk's letters stay cheap.
    std::unordered_set<std::string> words_;
    std::unordered_set<std::string> prefixes_;
};

// Every walk spelling `word`, in reading order (at most `cap` of them).
std::vector<Tiles> walksSpelling(const Board& board, std::string_view word, std::size_t cap);

// A board whose top-left 4 x 3 cells hold letters drawn from `alphabet` and
// bonus kinds drawn at random (potions may touch), everything else `padding`
// with no bonus.
Board smallBoard(std::mt19937& rng, std::string_view alphabet, char padding);

// Random strings over `alphabet` of 2 to maxLetters letters.
std::set<std::string> randomWords(std::mt19937& rng, std::string_view alphabet, int count, int maxLetters);

inline int32_t codeOf(char letter) { return static_cast<int32_t>(letter - 'a') + 1; }

} // namespace walkref
