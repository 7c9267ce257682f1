// The board search: depth first down the word graph, carrying the set of cells
// each prefix can end on, then the best chain of every word found.
#include "word_finder.h"

#include <bit>

namespace {

// A dealt board holds a few thousand words; a richer board grows the list.
constexpr std::size_t kExpectedWords = 4096;

} // namespace

WordFinder::WordFinder(const Lexicon& lexicon)
    : lexicon_(lexicon)
    , nodes_(lexicon.nodes().data())
{
    results_.reserve(kExpectedWords);
}

std::size_t WordFinder::memoryBytes() const
{
    return sizeof(*this) - sizeof(scorer_) + scorer_.memoryBytes() + results_.capacity() * sizeof(FoundWord);
}

const std::vector<FoundWord>& WordFinder::solve(const Board& board)
{
    board_ = BoardFacts(board);
    results_.clear();
    const Lexicon::Node root = nodes_[Lexicon::root()];
    std::uint32_t child = root.firstChild;
    for (std::uint32_t letters = root.bits & Lexicon::kLetterBits; letters != 0;
         letters &= letters - 1, ++child) {
        const int letter = std::countr_zero(letters);
        if (board_.cellsOf[letter].empty())
            continue;
        reach_[0] = board_.cellsOf[letter];
        letters_[0] = static_cast<char>('a' + letter);
        descend(child, 1, nodes_[child].rankStep);
    }
    return results_;
}

void WordFinder::descend(std::uint32_t node, int depth, std::uint32_t rank)
{
    const Lexicon::Node here = nodes_[node];
    if (here.bits & Lexicon::kWordEnd)
        keep(rank, depth);
    std::uint32_t letters = here.bits & Lexicon::kLetterBits;
    if (depth == kMaxWordTiles || letters == 0)
        return;

    // The children to go down, found first so that the children of each can
    // be asked of memory for all at once: the graph does not fit the nearest
    // caches, and one wait per node would otherwise dominate the search.
    // Plain bits rather than CellSet, whose zeroing constructor would clear
    // the whole array on every visit.
    struct Step {
        std::uint32_t node;
        int letter;
        CellSet::Bits reach;
    };
    Step steps[kFinderLetters];
    int count = 0;
    const CellSet around = reach_[depth - 1].around();
    for (std::uint32_t child = here.firstChild; letters != 0; letters &= letters - 1, ++child) {
        const int letter = std::countr_zero(letters);
        const CellSet next = around & board_.cellsOf[letter];
        if (!next.empty())
            steps[count++] = { child, letter, next.bits() };
    }
    for (int k = 0; k < count; ++k) {
        const Lexicon::Node child = nodes_[steps[k].node];
        if (child.bits & Lexicon::kLetterBits)
            __builtin_prefetch(nodes_ + child.firstChild);
    }
    for (int k = 0; k < count; ++k) {
        reach_[depth] = CellSet::fromBits(steps[k].reach);
        letters_[depth] = static_cast<char>('a' + steps[k].letter);
        descend(steps[k].node, depth + 1, rank + nodes_[steps[k].node].rankStep);
    }
}

void WordFinder::keep(std::uint32_t rank, int length)
{
    const ScoredChain chain = scorer_.bestThrough(board_, { reach_.data(), std::size_t(length) });
    FoundWord& found = results_.emplace_back();
    found.wordId = lexicon_.idOfRank(rank);
    found.frequencyClass = static_cast<std::uint8_t>(lexicon_.frequencyClass(found.wordId));
    found.score = chain.score;
    found.path = chain.path;
    std::copy_n(letters_.begin(), length, found.letters.begin());
}
