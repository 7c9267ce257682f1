// Chains for a typed word: lit cells, the best chain and the listed chains
// against every walk tried one by one; the hardest input; no chain at all.
#include "typed_chains.h"
#include "walk_reference.h"
#include "word_finder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using walkref::codeOf;
using walkref::Tiles;

std::vector<CellIndex> cellsOf(const Tiles& tiles)
{
    std::vector<CellIndex> out;
    for (const TileRef& t : tiles)
        out.push_back(cellIndexOf(t));
    return out;
}

std::vector<CellIndex> cellsOf(const CellPath& path)
{
    return { path.cells.begin(), path.cells.begin() + path.length };
}

Board boardOf(char letter)
{
    Board board;
    for (auto& column : board.board)
        for (int32_t& code : column)
            code = codeOf(letter);
    for (const FixedBonusCell& cell : kFixedBonusCells)
        board.bonus[cell.x][cell.y] = cell.kind;
    board.bonus[kCentreColumn][kCentreRow] = BonusRedPotion;
    return board;
}

TEST(TypedChainsTest, MatchesEveryChainTriedOneByOne)
{
    std::mt19937 rng(5);
    int compared = 0;
    for (int round = 0; round < 60; ++round) {
        const Board board = walkref::smallBoard(rng, "abe", 'z');
        for (const std::string& typed : walkref::randomWords(rng, "abe", 12, 7)) {
            const std::vector<Tiles> walks = walkref::walksSpelling(board, typed, 100000);
            ASSERT_LT(walks.size(), 100000u);
            const auto answer = findTypedChains(board, typed);
            if (walks.empty()) {
                EXPECT_FALSE(answer.has_value()) << typed;
                continue;
            }
            ASSERT_TRUE(answer.has_value()) << typed;
            ++compared;

            // Lit cells: exactly the union of the chains' cells, letter by letter.
            ASSERT_EQ(answer->lit.size(), typed.size());
            for (std::size_t i = 0; i < typed.size(); ++i) {
                CellSet expected;
                for (const Tiles& walk : walks)
                    expected.insert(cellIndexOf(walk[i]));
                EXPECT_TRUE(answer->lit[i] == expected) << typed << " letter " << i;
            }

            // Chains: the reference's, sorted by score then reading order, as far as listed.
            std::vector<std::pair<std::int64_t, std::vector<CellIndex>>> ranked;
            for (const Tiles& walk : walks)
                ranked.emplace_back(walkref::scoreOf(board, walk), cellsOf(walk));
            std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
                return a.first != b.first ? a.first > b.first : a.second < b.second;
            });
            const std::size_t listed = std::min(ranked.size(), kMaxListedChains);
            ASSERT_EQ(answer->chains.size(), listed) << typed;
            for (std::size_t k = 0; k < listed; ++k) {
                EXPECT_EQ(answer->chains[k].score, ranked[k].first) << typed << " chain " << k;
                EXPECT_EQ(cellsOf(answer->chains[k].path), ranked[k].second) << typed << " chain " << k;
            }
        }
    }
    EXPECT_GT(compared, 200);
}

TEST(TypedChainsTest, TwelveEsOnABoardOfEsAnswersInShape)
{
    const Board board = boardOf('e');
    const auto answer = findTypedChains(board, "eeeeeeeeeeee");
    ASSERT_TRUE(answer.has_value());
    ASSERT_EQ(answer->lit.size(), 12u);
    for (const CellSet& layer : answer->lit)
        EXPECT_TRUE(layer == CellSet::all());
    ASSERT_EQ(answer->chains.size(), kMaxListedChains);

    // Going back and forth over a red cell six times is the most a chain can
    // make: 12 letters worth 1, times 3 to the sixth.
    EXPECT_EQ(answer->best().score, 12 * 729);
    std::set<std::vector<CellIndex>> distinct;
    for (std::size_t k = 0; k < answer->chains.size(); ++k) {
        const ScoredChain& chain = answer->chains[k];
        const auto built = buildWord(board, chain.path.tiles());
        ASSERT_TRUE(built.has_value());
        EXPECT_EQ(built->word, "eeeeeeeeeeee");
        EXPECT_EQ(finalWordScore(*built), chain.score);
        if (k > 0) {
            EXPECT_LE(chain.score, answer->chains[k - 1].score);
        }
        distinct.insert(cellsOf(chain.path));
    }
    EXPECT_EQ(distinct.size(), answer->chains.size());
}

TEST(TypedChainsTest, NoChainIsSaidPlainly)
{
    Board board = boardOf('e');
    board.board[4][4] = codeOf('q');
    EXPECT_FALSE(findTypedChains(board, "").has_value());
    EXPECT_FALSE(findTypedChains(board, "x").has_value());
    EXPECT_FALSE(findTypedChains(board, "qq").has_value()); // one q: never twice in a row
    EXPECT_FALSE(findTypedChains(board, "e e").has_value());
    EXPECT_FALSE(findTypedChains(board, "eeeeeeeeeeeee").has_value()); // thirteen letters
    EXPECT_FALSE(findTypedChains(board, std::string("e\0e", 3)).has_value());
    EXPECT_TRUE(findTypedChains(board, "qeq").has_value()); // back to the q after an e
    EXPECT_TRUE(findTypedChains(board, "EqE").has_value());
}

TEST(TypedChainsTest, TheListCanBeShorter)
{
    const Board board = boardOf('e');
    const auto three = findTypedChains(board, "eee", 3);
    ASSERT_TRUE(three.has_value());
    EXPECT_EQ(three->chains.size(), 3u);
    const auto none = findTypedChains(board, "eee", 0);
    ASSERT_TRUE(none.has_value());
    EXPECT_EQ(none->chains.size(), 1u); // the best chain is always given
    const auto all = findTypedChains(board, "eee");
    ASSERT_TRUE(all.has_value());
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_EQ(cellsOf(three->chains[k].path), cellsOf(all->chains[k].path));
}

// The board search and the typed word agree on every word of a dealt board.
TEST(TypedChainsTest, BestChainIsTheOneTheFinderKeeps)
{
    std::mt19937 rng(3);
    Board board;
    dealBoard(board, rng);
    WordFinder finder(embeddedLexicon());
    const auto& found = finder.solve(board);
    ASSERT_GT(found.size(), 500u);
    for (const FoundWord& word : found) {
        const auto answer = findTypedChains(board, word.word(), 1);
        ASSERT_TRUE(answer.has_value()) << word.word();
        EXPECT_EQ(answer->best().score, word.score) << word.word();
        EXPECT_EQ(cellsOf(answer->best().path), cellsOf(word.path)) << word.word();
    }
}

} // namespace
