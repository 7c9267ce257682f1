// The dynamic programme behind chain scoring: per layer, per cell, per number of
// yellow and red crossings, the best letter sum to the end of the word. A word's
// score is its letter sum times 2 per yellow and 3 per red crossing, so fixing
// the crossings makes the rest a plain best-sum problem.
#include "chain_scoring.h"

#include <algorithm>
#include <cstring>
#include <queue>

namespace {

constexpr std::array<std::int64_t, kMaxWordTiles + 1> powersOf(std::int64_t base)
{
    std::array<std::int64_t, kMaxWordTiles + 1> out {};
    out[0] = 1;
    for (std::size_t i = 1; i < out.size(); ++i)
        out[i] = out[i - 1] * base;
    return out;
}
constexpr auto kPowersOfTwo = powersOf(2);
constexpr auto kPowersOfThree = powersOf(3);

// Steps a word's best chain is looked for in, walking its chains one by one,
// before the tables are built instead: most words on a dealt board are laid
// only a few ways, and walking those costs less than filling a table.
constexpr int kWalkedChainSteps = 64;

// Partial chains the listing may take out before it gives up on filling the
// list: exact bounds make it take out about one per cell of each chain listed,
// so only a pathological bonus grid comes near this, and the list stays best
// first even when cut short.
constexpr int kMaxListingSteps = 1 << 16;

// Each of the yellow and red crossings of a chain counts 0 to 12.
constexpr std::size_t kCrossingCounts = (kMaxWordTiles + 1) * (kMaxWordTiles + 1);

std::int64_t multiplierOf(int yellow, int red)
{
    return kPowersOfTwo[std::size_t(yellow)] * kPowersOfThree[std::size_t(red)];
}

int yellowOf(const CellFacts& cell) { return cell.crossing == Crossing::Yellow ? 1 : 0; }
int redOf(const CellFacts& cell) { return cell.crossing == Crossing::Red ? 1 : 0; }

// Cells of a set in reading order, with a way to stop early.
template <typename F> bool anyCell(CellSet set, F&& f)
{
    for (CellSet::Bits rest = set.bits(); rest != 0; rest &= rest - 1) {
        if (f(CellSet::fromBits(rest).first()))
            return true;
    }
    return false;
}

// A chain being extended towards the end of the word: its cells so far, the
// letter sum of all but its last cell, and the crossings still owed from its
// last cell on, which fix the word's multiplier from the start.
struct Partial {
    CellPath path;
    std::int16_t sumBefore = 0;
    std::uint8_t yellow = 0;
    std::uint8_t red = 0;
    std::int64_t multiplier = 1;
    std::int64_t bound = 0; // the best score any completion can reach: exact
};

// Highest bound first; of equal bounds the path first in reading order, a
// chain before its own extensions, so complete chains come out in exactly
// the order of listBest().
struct LaterPartial {
    bool operator()(const Partial& a, const Partial& b) const
    {
        if (a.bound != b.bound)
            return a.bound < b.bound;
        const std::size_t common = std::min(a.path.length, b.path.length);
        for (std::size_t i = 0; i < common; ++i) {
            if (a.path.cells[i] != b.path.cells[i])
                return a.path.cells[i] > b.path.cells[i];
        }
        return a.path.length > b.path.length;
    }
};

} // namespace

std::vector<CellSet> forwardLayers(const BoardFacts& board, std::string_view word)
{
    std::vector<CellSet> layers;
    if (word.empty() || word.size() > kMaxWordTiles)
        return layers;
    CellSet reach = CellSet::all();
    for (std::size_t i = 0; i < word.size(); ++i) {
        const int letter = letterIndexOf(word[i]);
        if (letter < 0)
            return {};
        reach = (i == 0 ? reach : reach.around()) & board.cellsOf[std::size_t(letter)];
        if (reach.empty())
            return {};
        layers.push_back(reach);
    }
    return layers;
}

void mostCrossings(const BoardFacts& board, std::span<const CellSet> lit, std::span<std::uint8_t> mostYellow,
    std::span<std::uint8_t> mostRed)
{
    // Per cell of the layer after the current one, filled from the last layer back.
    std::array<std::uint8_t, kBoardCells> yellowAfter {};
    std::array<std::uint8_t, kBoardCells> redAfter {};
    std::array<std::uint8_t, kBoardCells> yellowHere {};
    std::array<std::uint8_t, kBoardCells> redHere {};
    const std::size_t n = std::min({ lit.size(), mostYellow.size(), mostRed.size() });
    for (std::size_t i = n; i-- > 0;) {
        int layerYellow = 0;
        int layerRed = 0;
        lit[i].forEach([&](CellIndex cell) {
            int yellow = 0;
            int red = 0;
            if (i + 1 < n) {
                (kNeighbours[cell] & lit[i + 1]).forEach([&](CellIndex next) {
                    yellow = std::max<int>(yellow, yellowAfter[next]);
                    red = std::max<int>(red, redAfter[next]);
                });
            }
            yellow += yellowOf(board.cells[cell]);
            red += redOf(board.cells[cell]);
            yellowHere[cell] = static_cast<std::uint8_t>(yellow);
            redHere[cell] = static_cast<std::uint8_t>(red);
            layerYellow = std::max(layerYellow, yellow);
            layerRed = std::max(layerRed, red);
        });
        mostYellow[i] = static_cast<std::uint8_t>(layerYellow);
        mostRed[i] = static_cast<std::uint8_t>(layerRed);
        yellowAfter = yellowHere;
        redAfter = redHere;
    }
}

bool ChainScorer::narrow(std::span<const CellSet> forward)
{
    layers_ = 0;
    valuesReady_ = false;
    if (forward.empty() || forward.size() > kMaxWordTiles)
        return false;
    const std::size_t n = forward.size();
    lit_[n - 1] = forward[n - 1];
    for (std::size_t i = n - 1; i-- > 0;)
        lit_[i] = forward[i] & lit_[i + 1].around();
    layers_ = n;
    return !lit_[0].empty();
}

ChainScorer::Value* ChainScorer::valuesOf(int layer, CellIndex cell)
{
    const Layer& l = layer_[std::size_t(layer)];
    return values_.data() + l.offset + std::size_t(slot_[std::size_t(layer)][cell]) * l.stride;
}

ChainScorer::Value ChainScorer::valueAt(int layer, CellIndex cell, int yellow, int red) const
{
    const Layer& l = layer_[std::size_t(layer)];
    if (yellow < 0 || red < 0 || yellow > l.maxYellow || red > l.maxRed)
        return kNone;
    return values_[l.offset + std::size_t(slot_[std::size_t(layer)][cell]) * l.stride
        + std::size_t(yellow * (l.maxRed + 1) + red)];
}

// Every cell of a forward layer touches one of the layer before, so walking
// back from the last letter every step leads to a complete chain. The walk
// meets chains out of reading order, so ties are settled by comparing paths.
bool ChainScorer::bestByWalkingBack(
    const BoardFacts& board, std::span<const CellSet> forward, ScoredChain& chain)
{
    const std::size_t n = forward.size();
    std::array<CellSet::Bits, kMaxWordTiles> untried;
    std::array<std::int64_t, kMaxWordTiles + 1> sum;
    std::array<std::int64_t, kMaxWordTiles + 1> multiplier;
    sum[n] = 0;
    multiplier[n] = 1;
    CellPath path;
    path.length = static_cast<std::uint8_t>(n);
    std::int64_t best = -1;
    int steps = 0;
    std::size_t i = n - 1;
    untried[i] = forward[i].bits();
    while (true) {
        if (untried[i] == 0) {
            if (i == n - 1)
                break;
            ++i;
            continue;
        }
        if (++steps > kWalkedChainSteps)
            return false;
        const CellIndex cell = CellSet::fromBits(untried[i]).first();
        untried[i] &= untried[i] - 1;
        path.cells[i] = cell;
        sum[i] = sum[i + 1] + board.cells[cell].points;
        multiplier[i] = multiplier[i + 1] * board.cells[cell].factor();
        if (i == 0) {
            const std::int64_t score = sum[0] * multiplier[0];
            if (score > best
                || (score == best && std::memcmp(path.cells.data(), chain.path.cells.data(), n) < 0)) {
                best = score;
                chain.path = path;
            }
            continue;
        }
        --i;
        untried[i] = (kNeighbours[cell] & forward[i]).bits();
    }
    chain.score = best;
    return true;
}

ScoredChain ChainScorer::bestThrough(const BoardFacts& board, std::span<const CellSet> forward)
{
    ScoredChain chain;
    if (forward.empty() || forward.size() > kMaxWordTiles || forward.back().empty())
        return chain;
    if (bestByWalkingBack(board, forward, chain))
        return chain;
    chain = {};
    if (!narrow(forward))
        return chain;
    return best(board);
}

void ChainScorer::computeValues(const BoardFacts& board)
{
    const int n = static_cast<int>(layers_);
    std::array<std::uint8_t, kMaxWordTiles> mostYellow {};
    std::array<std::uint8_t, kMaxWordTiles> mostRed {};
    const CellSet potions = board.yellow | board.red;
    if (std::any_of(
            lit_.begin(), lit_.begin() + n, [&](CellSet layer) { return !(layer & potions).empty(); }))
        mostCrossings(board, lit(), mostYellow, mostRed);
    std::uint32_t total = 0;
    for (int i = n - 1; i >= 0; --i) {
        Layer& layer = layer_[std::size_t(i)];
        int slot = 0;
        lit_[std::size_t(i)].forEach(
            [&](CellIndex cell) { slot_[std::size_t(i)][cell] = static_cast<std::uint8_t>(slot++); });
        layer.maxYellow = mostYellow[std::size_t(i)];
        layer.maxRed = mostRed[std::size_t(i)];
        layer.stride = static_cast<std::uint16_t>((layer.maxYellow + 1) * (layer.maxRed + 1));
        layer.offset = total;
        total += std::uint32_t(slot) * layer.stride;
    }
    if (values_.size() < total)
        values_.resize(total);
    std::fill_n(values_.begin(), total, kNone);

    for (int i = n - 1; i >= 0; --i) {
        const Layer& layer = layer_[std::size_t(i)];
        lit_[std::size_t(i)].forEach([&](CellIndex cell) {
            const CellFacts& facts = board.cells[cell];
            const int ownYellow = yellowOf(facts);
            const int ownRed = redOf(facts);
            Value* mine = valuesOf(i, cell);
            if (i == n - 1) {
                mine[ownYellow * (layer.maxRed + 1) + ownRed] = facts.points;
                return;
            }
            const Layer& after = layer_[std::size_t(i) + 1];
            (kNeighbours[cell] & lit_[std::size_t(i) + 1]).forEach([&](CellIndex next) {
                const Value* theirs = valuesOf(i + 1, next);
                for (int y = 0; y <= after.maxYellow; ++y) {
                    for (int r = 0; r <= after.maxRed; ++r) {
                        const Value v = theirs[y * (after.maxRed + 1) + r];
                        if (v == kNone)
                            continue;
                        // Cannot happen while the bounds hold; a guard costs nothing.
                        if (y + ownYellow > layer.maxYellow || r + ownRed > layer.maxRed)
                            continue;
                        Value& best = mine[(y + ownYellow) * (layer.maxRed + 1) + r + ownRed];
                        best = std::max<Value>(best, static_cast<Value>(v + facts.points));
                    }
                }
            });
        });
    }
    valuesReady_ = true;
}

ScoredChain ChainScorer::best(const BoardFacts& board)
{
    ScoredChain chain;
    const std::size_t n = layers_;
    if (n == 0 || lit_[0].empty())
        return chain;
    chain.path.length = static_cast<std::uint8_t>(n);

    // Most words a board holds are laid one way only: no table needed.
    if (std::all_of(lit_.begin(), lit_.begin() + std::ptrdiff_t(n), [](CellSet s) { return s.single(); })) {
        std::int64_t sum = 0;
        std::int64_t multiplier = 1;
        for (std::size_t i = 0; i < n; ++i) {
            const CellIndex cell = lit_[i].first();
            chain.path.cells[i] = cell;
            sum += board.cells[cell].points;
            multiplier *= board.cells[cell].factor();
        }
        chain.score = sum * multiplier;
        return chain;
    }
    if (!valuesReady_)
        computeValues(board);

    // The first start cell reaching the best score; every crossing count that
    // reaches it there stays a candidate until the cells part ways.
    struct Candidate {
        int yellow;
        int red;
        int need; // letter sum still to make from the current cell on
    };
    std::int64_t bestScore = -1;
    CellIndex start = 0;
    const Layer& first = layer_[0];
    lit_[0].forEach([&](CellIndex cell) {
        for (int y = 0; y <= first.maxYellow; ++y) {
            for (int r = 0; r <= first.maxRed; ++r) {
                const Value v = valueAt(0, cell, y, r);
                if (v != kNone && v * multiplierOf(y, r) > bestScore) {
                    bestScore = v * multiplierOf(y, r);
                    start = cell;
                }
            }
        }
    });
    // At most one candidate per crossing count, so fixed arrays hold them.
    std::array<Candidate, kCrossingCounts> bufferA;
    std::array<Candidate, kCrossingCounts> bufferB;
    Candidate* candidates = bufferA.data();
    Candidate* next = bufferB.data();
    std::size_t candidateCount = 0;
    std::size_t nextCount = 0;
    for (int y = 0; y <= first.maxYellow; ++y) {
        for (int r = 0; r <= first.maxRed; ++r) {
            const Value v = valueAt(0, start, y, r);
            if (v != kNone && v * multiplierOf(y, r) == bestScore)
                candidates[candidateCount++] = { y, r, v };
        }
    }

    chain.path.cells[0] = start;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const CellIndex cell = chain.path.cells[i];
        const CellFacts& facts = board.cells[cell];
        anyCell(kNeighbours[cell] & lit_[i + 1], [&](CellIndex following) {
            nextCount = 0;
            for (std::size_t k = 0; k < candidateCount; ++k) {
                const Candidate& c = candidates[k];
                const Candidate after { c.yellow - yellowOf(facts), c.red - redOf(facts),
                    c.need - facts.points };
                if (valueAt(int(i) + 1, following, after.yellow, after.red) == after.need)
                    next[nextCount++] = after;
            }
            if (nextCount == 0)
                return false;
            chain.path.cells[i + 1] = following;
            return true;
        });
        std::swap(candidates, next);
        candidateCount = nextCount;
    }
    chain.score = bestScore;
    return chain;
}

void ChainScorer::listBest(const BoardFacts& board, std::size_t limit, std::vector<ScoredChain>& out)
{
    out.clear();
    const std::size_t n = layers_;
    if (limit == 0 || n == 0 || lit_[0].empty())
        return;
    if (!valuesReady_)
        computeValues(board);

    std::priority_queue<Partial, std::vector<Partial>, LaterPartial> open;
    const Layer& first = layer_[0];
    lit_[0].forEach([&](CellIndex cell) {
        for (int y = 0; y <= first.maxYellow; ++y) {
            for (int r = 0; r <= first.maxRed; ++r) {
                const Value v = valueAt(0, cell, y, r);
                if (v == kNone)
                    continue;
                Partial p;
                p.path.cells[0] = cell;
                p.path.length = 1;
                p.yellow = static_cast<std::uint8_t>(y);
                p.red = static_cast<std::uint8_t>(r);
                p.multiplier = multiplierOf(y, r);
                p.bound = v * p.multiplier;
                open.push(p);
            }
        }
    });

    // Every bound is exact, so each chain taken out complete is the best one
    // left, and a partial chain taken out always leads to the next one.
    for (int steps = 0; !open.empty() && out.size() < limit && steps < kMaxListingSteps; ++steps) {
        const Partial top = open.top();
        open.pop();
        if (top.path.length == n) {
            out.push_back({ top.path, top.bound });
            continue;
        }
        const std::size_t i = top.path.length - 1;
        const CellIndex cell = top.path.cells[i];
        const CellFacts& facts = board.cells[cell];
        const int sum = top.sumBefore + facts.points;
        const int yellow = top.yellow - yellowOf(facts);
        const int red = top.red - redOf(facts);
        (kNeighbours[cell] & lit_[i + 1]).forEach([&](CellIndex following) {
            const Value v = valueAt(int(i) + 1, following, yellow, red);
            if (v == kNone)
                return;
            Partial p = top;
            p.path.cells[i + 1] = following;
            p.path.length = static_cast<std::uint8_t>(i + 2);
            p.sumBefore = static_cast<std::int16_t>(sum);
            p.yellow = static_cast<std::uint8_t>(yellow);
            p.red = static_cast<std::uint8_t>(red);
            p.bound = (sum + v) * p.multiplier;
            open.push(p);
        });
    }
}
