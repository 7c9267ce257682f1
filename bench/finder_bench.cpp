// The word finder on 1,000 boards dealt by the server's own deal: time per board
// (mean and worst), words per board, the lexicon's memory and build time; beside
// it, as the reference measured in the same run, a plain pointer-based trie
// doing the same search. Then the typed-chain query on its hardest input and on
// a typical word.
//
//   finder_bench [--boards N] [--passes N] [--seed N]
#include "dict_limits.h"
#include "embedded_word_list.h"
#include "lexicon.h"
#include "typed_chains.h"
#include "word_finder.h"
#include "word_frequency.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <time.h>

namespace {

// CPU time of this thread: on a machine shared with other builds the wall
// clock would also count the time another program held the core.
double threadMicros()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
}

// The reference: one heap node per prefix, 26 child pointers each, and the
// plain depth-first walk over chains (from every cell to every neighbour, a tile
// may come back but not twice in a row) keeping each word's best chain, the
// first in reading order, as the finder does. It must find the same words with
// the same scores.
class PointerTrie {
public:
    static constexpr std::uint32_t kNoWord = UINT32_MAX;
    struct Node {
        std::array<std::unique_ptr<Node>, 26> children;
        std::uint32_t wordId = kNoWord;
        std::uint32_t seenOnBoard = 0;
        std::uint32_t slot = 0;
    };

    explicit PointerTrie(std::string_view records)
    {
        const std::size_t count = records.size() / kRecordSize;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view field = records.substr(i * kRecordSize + 1, kWordFieldSize);
            const std::string_view word = field.substr(0, field.find(' '));
            Node* node = &root_;
            for (char c : word) {
                auto& next = node->children[std::size_t(c - 'A')];
                if (!next) {
                    next = std::make_unique<Node>();
                    ++nodeCount_;
                }
                node = next.get();
            }
            node->wordId = static_cast<std::uint32_t>(i);
        }
    }

    std::size_t memoryBytes() const { return (nodeCount_ + 1) * sizeof(Node); }
    std::size_t nodeCount() const { return nodeCount_ + 1; }

    struct Found {
        std::uint32_t wordId;
        std::int64_t score;
        CellPath path;
    };

    const std::vector<Found>& solve(const Board& board)
    {
        ++boardNumber_;
        found_.clear();
        facts_ = BoardFacts(board).cells;
        for (int cell = 0; cell < kBoardCells; ++cell) {
            Node* child = root_.children[facts_[cell].letter].get();
            if (child == nullptr)
                continue;
            path_[0] = static_cast<CellIndex>(cell);
            walk(child, cell, 1, facts_[cell].points, facts_[cell].factor());
        }
        return found_;
    }

private:
    void walk(Node* node, int cell, int depth, std::uint32_t sum, std::uint32_t product)
    {
        if (node->wordId != kNoWord) {
            const std::int64_t score = std::int64_t(sum) * product;
            if (node->seenOnBoard != boardNumber_) {
                node->seenOnBoard = boardNumber_;
                node->slot = static_cast<std::uint32_t>(found_.size());
                Found& f = found_.emplace_back();
                f.wordId = node->wordId;
                f.score = score;
                f.path.length = static_cast<std::uint8_t>(depth);
                std::copy_n(path_.begin(), depth, f.path.cells.begin());
            } else if (score > found_[node->slot].score) {
                found_[node->slot].score = score;
                std::copy_n(path_.begin(), depth, found_[node->slot].path.cells.begin());
            }
        }
        if (depth == kMaxWordTiles)
            return;
        const int x = cell % kBoardColumns;
        const int y = cell / kBoardColumns;
        // Neighbours in reading order, so ties keep the same chain as the finder.
        for (int ny = y - 1; ny <= y + 1; ++ny) {
            for (int nx = x - 1; nx <= x + 1; ++nx) {
                if ((nx == x && ny == y) || nx < 0 || nx >= kBoardColumns || ny < 0 || ny >= kBoardRows)
                    continue;
                const int next = ny * kBoardColumns + nx;
                Node* child = node->children[facts_[next].letter].get();
                if (child == nullptr)
                    continue;
                path_[depth] = static_cast<CellIndex>(next);
                walk(child, next, depth + 1, sum + facts_[next].points, product * facts_[next].factor());
            }
        }
    }

    Node root_;
    std::size_t nodeCount_ = 0;
    std::uint32_t boardNumber_ = 0;
    std::array<CellFacts, kBoardCells> facts_ {};
    std::array<CellIndex, kMaxWordTiles> path_ {};
    std::vector<Found> found_;
};

// The reference for typed words: every chain spelling the word walked one by
// one, scored, the lit cells gathered and the best listed, which is what the
// typed-chain query answers without walking.
struct WalkedChains {
    std::array<CellSet, kMaxWordTiles> lit {};
    std::vector<std::pair<std::int64_t, CellPath>> chains;
};

void walkChains(const BoardFacts& board, std::string_view word, CellPath& path, std::int64_t sum,
    std::int64_t multiplier, WalkedChains& out)
{
    const std::size_t depth = path.length;
    if (depth == word.size()) {
        for (std::size_t i = 0; i < depth; ++i)
            out.lit[i].insert(path.cells[i]);
        out.chains.emplace_back(sum * multiplier, path);
        return;
    }
    const int letter = letterIndexOf(word[depth]);
    const CellSet next = depth == 0 ? CellSet::all() : kNeighbours[path.cells[depth - 1]];
    for (int cell = 0; cell < kBoardCells; ++cell) {
        if (!next.contains(CellIndex(cell)) || board.cells[cell].letter != letter)
            continue;
        path.cells[depth] = CellIndex(cell);
        path.length = std::uint8_t(depth + 1);
        walkChains(
            board, word, path, sum + board.cells[cell].points, multiplier * board.cells[cell].factor(), out);
        path.length = std::uint8_t(depth);
    }
}

std::size_t walkedTypedChains(const Board& board, std::string_view word)
{
    const BoardFacts facts(board);
    WalkedChains out;
    CellPath path;
    walkChains(facts, word, path, 0, 1, out);
    const std::size_t listed = std::min(out.chains.size(), kMaxListedChains);
    std::partial_sort(out.chains.begin(), out.chains.begin() + std::ptrdiff_t(listed), out.chains.end(),
        [](const auto& a, const auto& b) {
            return a.first != b.first ? a.first > b.first
                                      : std::lexicographical_compare(a.second.cells.begin(),
                                          a.second.cells.begin() + a.second.length, b.second.cells.begin(),
                                          b.second.cells.begin() + b.second.length);
        });
    return out.chains.size();
}

struct Options {
    int boards = 1000;
    int passes = 5;
    unsigned seed = 20240601;
};

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (name == "--boards")
            options.boards = std::clamp(value, 1, 100000);
        else if (name == "--passes")
            options.passes = std::clamp(value, 1, 101);
        else if (name == "--seed")
            options.seed = static_cast<unsigned>(value);
    }
    return options;
}

struct Timing {
    double meanMicros = 0;
    double worstMicros = 0; // worst board, each board's median over the passes
    double worstSingleMicros = 0; // worst single solve of any pass
};

// Solves every board `passes` times with each solver, the two taking turns
// pass by pass: a change in the machine's load falls on both alike, and
// neither runs with its tables pushed out of the caches by the other's.
template <typename Ours, typename Theirs>
std::pair<Timing, Timing> timeBoards(const std::vector<Board>& boards, int passes, Ours ours, Theirs theirs)
{
    std::vector<std::vector<double>> oursSamples(boards.size());
    std::vector<std::vector<double>> theirsSamples(boards.size());
    Timing oursTiming;
    Timing theirsTiming;
    const auto timeOne = [](auto& solve, const Board& board, std::vector<double>& samples, Timing& timing) {
        const double start = threadMicros();
        solve(board);
        const double micros = threadMicros() - start;
        samples.push_back(micros);
        timing.worstSingleMicros = std::max(timing.worstSingleMicros, micros);
    };
    for (int pass = 0; pass < passes; ++pass) {
        for (std::size_t b = 0; b < boards.size(); ++b)
            timeOne(ours, boards[b], oursSamples[b], oursTiming);
        for (std::size_t b = 0; b < boards.size(); ++b)
            timeOne(theirs, boards[b], theirsSamples[b], theirsTiming);
    }
    const auto summarise = [&](std::vector<std::vector<double>>& samples, Timing& timing) {
        double total = 0;
        for (auto& s : samples) {
            std::nth_element(s.begin(), s.begin() + std::ptrdiff_t(s.size() / 2), s.end());
            const double median = s[s.size() / 2];
            total += median;
            timing.worstMicros = std::max(timing.worstMicros, median);
        }
        timing.meanMicros = total / double(boards.size());
    };
    summarise(oursSamples, oursTiming);
    summarise(theirsSamples, theirsTiming);
    return { oursTiming, theirsTiming };
}

// Median time of `runs` calls.
template <typename Call> double medianMicros(int runs, Call call)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = threadMicros();
        call();
        times.push_back(threadMicros() - start);
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[std::size_t(runs / 2)];
}

Board boardOf(char letter)
{
    Board board;
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y)
            board.board[x][y] = letterCodeOf(letter);
    }
    for (const FixedBonusCell& cell : kFixedBonusCells)
        board.bonus[cell.x][cell.y] = cell.kind;
    board.bonus[kCentreColumn][kCentreRow] = BonusRedPotion;
    return board;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv);
    std::printf("#");
    for (int i = 0; i < argc; ++i)
        std::printf(" %s", argv[i]);
    std::printf("\n# %d boards from dealBoard, std::mt19937 seeded %u; %d passes, each board's time the "
                "median of its passes; times are this thread's CPU time\n",
        options.boards, options.seed, options.passes);
    if (std::FILE* load = std::fopen("/proc/loadavg", "r")) {
        char line[64] = {};
        if (std::fgets(line, sizeof line, load))
            std::printf("# load average at start: %s", line);
        std::fclose(load);
    }
    std::printf("\n");

    double start = threadMicros();
    const Lexicon lexicon(embeddedWordList(), embeddedFrequencyClasses());
    const double lexiconBuild = threadMicros() - start;
    start = threadMicros();
    PointerTrie reference(embeddedWordList());
    const double referenceBuild = threadMicros() - start;
    WordFinder finder(lexicon);

    std::vector<Board> boards(std::size_t(options.boards));
    std::mt19937 rng(options.seed);
    for (Board& board : boards)
        dealBoard(board, rng);

    // Both must agree before their times mean anything.
    std::size_t disagreements = 0;
    std::size_t totalWords = 0;
    std::size_t fewest = SIZE_MAX;
    std::size_t most = 0;
    for (const Board& board : boards) {
        const auto& ours = finder.solve(board);
        const auto& theirs = reference.solve(board);
        // Word, score and the chain kept, for every word of each.
        using Answer = std::tuple<std::uint32_t, std::int64_t, std::vector<CellIndex>>;
        std::vector<Answer> a;
        std::vector<Answer> b;
        for (const FoundWord& f : ours)
            a.emplace_back(
                f.wordId, f.score, std::vector<CellIndex>(f.path.view().begin(), f.path.view().end()));
        for (const auto& f : theirs)
            b.emplace_back(
                f.wordId, f.score, std::vector<CellIndex>(f.path.view().begin(), f.path.view().end()));
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        disagreements += a != b;
        totalWords += ours.size();
        fewest = std::min(fewest, ours.size());
        most = std::max(most, ours.size());
    }

    const auto [oursTime, referenceTime] = timeBoards(
        boards, options.passes, [&](const Board& b) { finder.solve(b); },
        [&](const Board& b) { reference.solve(b); });

    std::printf("words per board: mean %.1f, min %zu, max %zu; boards where the two disagree: %zu\n\n",
        double(totalWords) / double(boards.size()), fewest, most, disagreements);
    std::printf("%-34s %14s %14s %10s\n", "", "finder", "pointer trie", "ratio");
    std::printf("%-34s %14.1f %14.1f %10.2f\n", "solve, mean per board (us)", oursTime.meanMicros,
        referenceTime.meanMicros, oursTime.meanMicros / referenceTime.meanMicros);
    std::printf("%-34s %14.1f %14.1f %10.2f\n", "solve, worst board (us)", oursTime.worstMicros,
        referenceTime.worstMicros, oursTime.worstMicros / referenceTime.worstMicros);
    std::printf("%-34s %14.1f %14.1f %10.2f\n", "solve, worst single run (us)", oursTime.worstSingleMicros,
        referenceTime.worstSingleMicros, oursTime.worstSingleMicros / referenceTime.worstSingleMicros);
    std::printf("%-34s %14.1f %14.1f %10.2f\n", "lexicon build (ms)", lexiconBuild / 1000,
        referenceBuild / 1000, lexiconBuild / referenceBuild);
    std::printf("%-34s %14zu %14zu %10.2f\n", "lexicon memory (bytes)", lexicon.memoryBytes(),
        reference.memoryBytes(), double(lexicon.memoryBytes()) / double(reference.memoryBytes()));
    std::printf("%-34s %14zu\n", "finder working memory (bytes)", finder.memoryBytes());
    std::printf("%-34s %14zu %14zu\n", "nodes", lexicon.nodes().size(), reference.nodeCount());

    // Typed words: every five-letter word found on the first boards, then the
    // hardest input there is.
    std::vector<std::pair<std::size_t, std::string>> typical;
    for (std::size_t b = 0; b < boards.size() && b < 20; ++b) {
        for (const FoundWord& f : finder.solve(boards[b])) {
            if (f.path.length == 5)
                typical.emplace_back(b, std::string(f.word()));
        }
    }
    std::size_t typedChecksum = 0;
    const double typedOurs = medianMicros(11, [&] {
        for (const auto& [b, word] : typical)
            typedChecksum += findTypedChains(boards[b], word)->chains.size();
    }) / double(typical.size());
    const double typedWalked = medianMicros(11, [&] {
        for (const auto& [b, word] : typical)
            typedChecksum += walkedTypedChains(boards[b], word);
    }) / double(typical.size());
    const Board allE = boardOf('e');
    const double twelveEs
        = medianMicros(21, [&] { typedChecksum += findTypedChains(allE, "eeeeeeeeeeee")->chains.size(); });
    const double fiveEsWalked = medianMicros(3, [&] { typedChecksum += walkedTypedChains(allE, "eeeee"); });
    std::printf("\n%-44s %12s %12s %8s\n", "typed-chain query (us)", "finder", "walking", "ratio");
    std::printf("%-44s %12.2f %12.2f %8.3f\n",
        ("typical: each of " + std::to_string(typical.size()) + " 5-letter words").c_str(), typedOurs,
        typedWalked, typedOurs / typedWalked);
    std::printf("%-44s %12.2f %12s %8.3f\n", "\"eeeeeeeeeeee\" on a board of e (vs \"eeeee\")", twelveEs, "",
        twelveEs / fiveEsWalked);
    std::printf("%-44s %12s %12.2f\n", "walking \"eeeee\" on a board of e", "", fiveEsWalked);
    std::printf("(walking twelve e's would take some 117 x 8^11 chains; checksum %zu)\n", typedChecksum);
    return 0;
}
