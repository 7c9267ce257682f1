// Every word of the list that a board holds, each with its best score and one
// chain of cells that makes it: the computer players' moves and the review of
// missed words after a round.
#pragma once

#include "board_cells.h"
#include "chain_scoring.h"
#include "lexicon.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

struct FoundWord {
    std::uint32_t wordId = 0; // the word's id in the lexicon
    std::int64_t score = 0; // as the server would score `path`
    CellPath path; // a best-scoring chain; of several, the first in reading order
    std::array<char, kMaxWordTiles> letters {}; // the word in small letters
    std::uint8_t frequencyClass = kUnknownFrequencyClass;

    std::string_view word() const { return { letters.data(), path.length }; }
};

// Holds the search's working tables, so one finder solving board after board
// allocates nothing once its result list has grown. The lexicon must outlive it.
class WordFinder {
public:
    explicit WordFinder(const Lexicon& lexicon);

    // Every word the board holds, once each, in the order of the list. A chain
    // may come back to a tile, never twice in a row, and has at most twelve
    // tiles. Of chains of the same best score the one kept is the first in
    // reading order, compared cell by cell from the first letter. The list
    // stays valid until the next solve.
    const std::vector<FoundWord>& solve(const Board& board);

    // Bytes of the working tables, not counting the lexicon.
    std::size_t memoryBytes() const;

private:
    void descend(std::uint32_t node, int depth, std::uint32_t rank);
    void keep(std::uint32_t rank, int length);

    const Lexicon& lexicon_;
    const Lexicon::Node* nodes_;
    BoardFacts board_;
    // The cells where each letter of the prefix being searched may stand: the
    // search goes down the word graph once per prefix however many chains
    // spell it, so no word is met twice and no board, however repetitive,
    // makes it explode.
    std::array<CellSet, kMaxWordTiles> reach_ {};
    std::array<char, kMaxWordTiles> letters_ {};
    ChainScorer scorer_;
    std::vector<FoundWord> results_;
};
