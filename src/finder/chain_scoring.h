// Scoring the chains that spell one word on one board: which cells lie on a
// chain at all, the best chain, and the chains in order of score, all without
// walking the chains one by one (they may be astronomically many).
#pragma once

#include "board_cells.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

struct ScoredChain {
    CellPath path;
    std::int64_t score = 0; // as the server scores the word laid along path
};

// The cells where each letter of a word may stand, each layer within the cells
// around the one before; empty when a letter is no letter or no chain spells
// the word. At most twelve layers.
std::vector<CellSet> forwardLayers(const BoardFacts& board, std::string_view word);

// For chains running through the layers of `lit` (each cell of a layer touching
// one of the next), the most yellow and red crossings a chain can make from
// any cell of each layer to the end, so per-crossing tables can be sized to
// what chains actually make.
void mostCrossings(const BoardFacts& board, std::span<const CellSet> lit, std::span<std::uint8_t> mostYellow,
    std::span<std::uint8_t> mostRed);

// Holds its working tables, so a scorer reused word after word allocates only
// while its tables grow.
class ChainScorer {
public:
    // forward[i] holds the cells where letter i may stand at the end of a chain
    // of the first i + 1 letters (each layer within the cells around the one
    // before). Keeps of each layer only the cells on some complete chain. False
    // when no chain spells the word, or for no layers or more than twelve.
    bool narrow(std::span<const CellSet> forward);

    // After narrow(): the cells each letter may stand on.
    std::span<const CellSet> lit() const { return { lit_.data(), layers_ }; }

    // After a successful narrow(): the chain of the highest score. Of equal
    // scores, the first in reading order, compared cell by cell from the first
    // letter.
    ScoredChain best(const BoardFacts& board);

    // The best chain, as best() gives it, of a word whose forward layers (as
    // narrow() takes them) end in a nonempty layer. When the chains are few
    // they are walked back from the last letter, where every step leads to a
    // complete chain; otherwise this narrows and builds the tables.
    ScoredChain bestThrough(const BoardFacts& board, std::span<const CellSet> forward);

    // After a successful narrow(): up to `limit` distinct chains, highest score
    // first and equal scores in reading order as for best(), so the first is
    // best()'s.
    void listBest(const BoardFacts& board, std::size_t limit, std::vector<ScoredChain>& out);

    // Bytes of the working tables.
    std::size_t memoryBytes() const { return sizeof(*this) + values_.capacity() * sizeof(Value); }

private:
    // Highest letter sum (-1: none) of the chains from a cell of a layer to the
    // last letter that cross exactly y yellow and r red potions, counting the
    // cell's own letter and crossing.
    using Value = std::int16_t;
    static constexpr Value kNone = -1;

    struct Layer {
        std::uint32_t offset = 0; // of the layer's first value
        std::uint8_t maxYellow = 0; // most crossings of each kind from here on
        std::uint8_t maxRed = 0;
        std::uint16_t stride = 1; // values per cell
    };

    static bool bestByWalkingBack(
        const BoardFacts& board, std::span<const CellSet> forward, ScoredChain& chain);
    void computeValues(const BoardFacts& board);
    Value valueAt(int layer, CellIndex cell, int yellow, int red) const;
    Value* valuesOf(int layer, CellIndex cell);

    std::array<CellSet, kMaxWordTiles> lit_ {};
    std::size_t layers_ = 0;
    bool valuesReady_ = false;
    std::array<Layer, kMaxWordTiles> layer_ {};
    // Position of each cell among its layer's cells.
    std::array<std::array<std::uint8_t, kBoardCells>, kMaxWordTiles> slot_ {};
    std::vector<Value> values_;
};
