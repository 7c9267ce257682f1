// Typed words: reachability forwards and backwards over the letters' cells,
// then the scorer's best-first listing.
#include "typed_chains.h"

#include <algorithm>

std::optional<TypedChains> findTypedChains(const Board& board, std::string_view typed, std::size_t limit)
{
    if (typed.empty() || typed.size() > kMaxTypedLetters)
        return std::nullopt;
    const BoardFacts facts(board);
    const std::vector<CellSet> forward = forwardLayers(facts, typed);
    ChainScorer scorer;
    if (forward.empty() || !scorer.narrow(forward))
        return std::nullopt;

    TypedChains answer;
    answer.lit.assign(scorer.lit().begin(), scorer.lit().end());
    scorer.listBest(facts, std::clamp<std::size_t>(limit, 1, kMaxListedChains), answer.chains);
    if (answer.chains.empty())
        return std::nullopt;
    return answer;
}
