// Rebuilding a finished word from the tile references a player sent, on the
// server's own board, and scoring it. The server does its dictionary and duplicate
// checks between the two steps, so only an accepted word is multiplied out.
#pragma once

#include "board.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One board cell, column first, as a tile reference "x.y" names it.
struct TileRef {
    int x = 0;
    int y = 0;
};

// Reads a tile reference "x.y": one or two decimal digits each side of a single
// ".", nothing else, and a cell on the board. The text comes off the network, so
// anything else is refused; out is written only on success.
bool parseTileRef(std::string_view text, TileRef& out);

// The highest score a word can make on a dealt board, 87 480 = 12 × 10 × 3^6. No
// two potion cells touch, so at most every other tile of a twelve-letter word lies
// on a potion: six crossings, each at most ×3 (a red corner, or the spell book
// dealt as a red). No letter is worth more than 10, and the spell book as a letter
// bonus is too far from every potion to beat twelve z's going back and forth over
// one red corner (checked over every path for each kind of spell book).
constexpr int64_t kMaxWordScore = 87480;

struct BuiltWord {
    std::string word; // lower case, one letter per tile
    int64_t letterScore = 0; // letter values, with double and triple letter cells applied
    std::vector<BonusKind> wordMultipliers; // the potion kinds crossed, in order of use
};

// Rebuilds the word the tiles spell and sums its letters. Each tile must be one of
// the eight neighbours of the one before; a cell may come back later in the word
// and then counts again, letter and bonus. Gives nothing for a broken chain, a cell
// off the board, or a word of no tiles or more than kMaxWordTiles.
std::optional<BuiltWord> buildWord(const Board& board, std::span<const TileRef> tiles);

// The letter score multiplied by every potion crossed: ×2 yellow, ×3 red. Every
// crossing counts, however many there are.
int64_t finalWordScore(const BuiltWord& word);
