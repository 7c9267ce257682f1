// The round's board: letter codes and bonus kinds per cell, the random deal,
// the board row message, and the letter and point tables every word is scored by.
#pragma once

#include "game_facts.h"

#include <cstdint>
#include <random>
#include <string>

// Number of equally likely entries in the deal table: a letter's chance is its count / 93.
constexpr int kDealTableSize = 93;

// Both grids are indexed [x][y], column first, as tile references name cells.
// Every cell of a new board is 0; only the nine bonus cells ever take another kind.
struct Board {
    int32_t board[kBoardColumns][kBoardRows] {};
    int32_t bonus[kBoardColumns][kBoardRows] {};
};

// The letter code of deal-table entry r (1 to 93); 0 for any r outside the table.
int32_t dealLetterCode(int r);

// "a" to "z" for codes 1 to 26; any other code reads as "t".
std::string convertoletter(int32_t code);

// Point value of a letter; any code outside 1 to 26 is worth 1.
int letterworth(int32_t code);

// Deals a new round: every cell gets a letter drawn uniformly from the deal table
// (rows 0 to 8, each from column 0 to 12), then the bonus cells are set and the
// centre's kind is drawn uniformly from 1 to 4. The caller owns the generator so
// that one seeding covers the whole game and tests can repeat a deal.
void dealBoard(Board& board, std::mt19937& rng);

// "CMD_boardtileline+" y, then "+" and the code of each of the 13 cells of row y,
// column 0 first. The caller appends the end byte. Throws std::out_of_range for a
// row outside 0 to 8.
std::string boardRowMessage(const Board& board, int y);
