// The chains that spell a word being typed on the keyboard: which cells to
// light for each letter, the best chain, and a short list to cycle through.
#pragma once

#include "board_cells.h"
#include "chain_scoring.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

struct TypedChains {
    // For each typed letter, every cell where it stands on some chain that
    // spells the whole of what was typed.
    std::vector<CellSet> lit;
    // Distinct chains, highest score first, equal scores in reading order
    // (compared cell by cell from the first letter); never empty. The score is
    // what the server would give the word laid along the chain.
    std::vector<ScoredChain> chains;

    const ScoredChain& best() const { return chains.front(); }
};

// Nothing when no chain on the board spells `typed`: when it is empty, longer
// than twelve letters or holds anything but a to z (either case). What was
// typed need not be a word yet. Lists `limit` chains at most, held to 1 to
// kMaxListedChains; the answer takes a fraction of a frame even for twelve e's
// on a board of e's, where the chains are beyond counting.
std::optional<TypedChains> findTypedChains(
    const Board& board, std::string_view typed, std::size_t limit = kMaxListedChains);
