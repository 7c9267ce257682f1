// Book deduction: for each kind, every letter sum a chain of the word can make
// for each count of yellow and red crossings, and whether one of them times
// its multiplier is the score.
#include "book_deduction.h"

#include "board_cells.h"
#include "chain_scoring.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <vector>

namespace {

// Bit s set: some chain makes letter sum s.
using Sums = std::bitset<kMaxLetterSum + 1>;

// How many times `factor` divides `value` (above 0), at most once per tile.
std::uint8_t factorsOf(std::int64_t value, std::int64_t factor)
{
    std::uint8_t count = 0;
    while (value % factor == 0 && count < kMaxWordTiles) {
        value /= factor;
        ++count;
    }
    return count;
}

// Whether some chain of the word scores exactly `score`. Per layer, per cell of
// the layer, per crossing count: the letter sums the chains from that cell to
// the end can make.
bool scoreReachable(const BoardFacts& board, std::string_view word, std::int64_t score)
{
    ChainScorer scorer;
    const std::vector<CellSet> forward = forwardLayers(board, word);
    if (forward.empty() || !scorer.narrow(forward))
        return false;
    const std::span<const CellSet> lit = scorer.lit();
    const std::size_t n = lit.size();
    std::array<std::uint8_t, kMaxWordTiles> mostYellow {};
    std::array<std::uint8_t, kMaxWordTiles> mostRed {};
    mostCrossings(board, lit, mostYellow, mostRed);
    // Each yellow crossing doubles the word and each red one triples it, so a
    // chain crossing more than the score has factors of 2 or 3 cannot make it;
    // nor can any of its suffixes, so their tables need no room for them.
    const std::uint8_t yellowLimit = factorsOf(score, 2);
    const std::uint8_t redLimit = factorsOf(score, 3);
    for (std::size_t i = 0; i < n; ++i) {
        mostYellow[i] = std::min(mostYellow[i], yellowLimit);
        mostRed[i] = std::min(mostRed[i], redLimit);
    }

    struct Layer {
        std::array<std::uint8_t, kBoardCells> slot {}; // position of each cell among the layer's
        int reds = 1; // red crossing counts kept per yellow count
        int stride = 1; // entries per cell
        std::vector<Sums> sums;

        Sums& at(CellIndex cell, int yellow, int red)
        {
            return sums[slot[cell] * std::size_t(stride) + std::size_t(yellow * reds + red)];
        }
    };
    std::vector<Layer> layers(n);
    for (std::size_t i = 0; i < n; ++i) {
        Layer& layer = layers[i];
        int slot = 0;
        lit[i].forEach([&](CellIndex cell) { layer.slot[cell] = static_cast<std::uint8_t>(slot++); });
        layer.reds = mostRed[i] + 1;
        layer.stride = (mostYellow[i] + 1) * layer.reds;
        layer.sums.assign(std::size_t(slot) * std::size_t(layer.stride), Sums());
    }

    for (std::size_t i = n; i-- > 0;) {
        Layer& layer = layers[i];
        lit[i].forEach([&](CellIndex cell) {
            const CellFacts& facts = board.cells[cell];
            const int ownYellow = facts.crossing == Crossing::Yellow ? 1 : 0;
            const int ownRed = facts.crossing == Crossing::Red ? 1 : 0;
            if (i + 1 == n) {
                if (ownYellow <= mostYellow[i] && ownRed <= mostRed[i])
                    layer.at(cell, ownYellow, ownRed).set(facts.points);
                return;
            }
            Layer& after = layers[i + 1];
            (kNeighbours[cell] & lit[i + 1]).forEach([&](CellIndex next) {
                for (int y = 0; y <= mostYellow[i + 1]; ++y) {
                    for (int r = 0; r <= mostRed[i + 1]; ++r) {
                        const Sums& theirs = after.at(next, y, r);
                        if (theirs.none() || y + ownYellow > mostYellow[i] || r + ownRed > mostRed[i])
                            continue;
                        layer.at(cell, y + ownYellow, r + ownRed) |= theirs << facts.points;
                    }
                }
            });
        });
    }

    bool found = false;
    lit[0].forEach([&](CellIndex cell) {
        std::int64_t twos = 1;
        for (int y = 0; y <= mostYellow[0]; ++y, twos *= 2) {
            std::int64_t multiplier = twos;
            for (int r = 0; r <= mostRed[0]; ++r, multiplier *= 3) {
                if (score % multiplier != 0 || score / multiplier > kMaxLetterSum)
                    continue;
                found = found || layers[0].at(cell, y, r).test(std::size_t(score / multiplier));
            }
        }
    });
    return found;
}

} // namespace

BookKinds possibleBookKinds(const Board& board, std::string_view word, std::int64_t score)
{
    BookKinds kinds;
    if (score <= 0)
        return kinds;
    for (BonusKind kind : { BonusYellowPotion, BonusRedPotion, BonusDoubleLetter, BonusTripleLetter }) {
        Board tried = board;
        tried.bonus[kCentreColumn][kCentreRow] = kind;
        if (scoreReachable(BoardFacts(tried), word, score))
            kinds.insert(kind);
    }
    return kinds;
}
