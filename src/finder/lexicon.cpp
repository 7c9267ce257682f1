// Building the word graph from the record file: a trie first, then its nodes
// with equal endings merged, then one block of children per distinct node.
#include "lexicon.h"

#include "dict_limits.h"
#include "embedded_word_list.h"
#include "word_frequency.h"

#include <algorithm>
#include <bit>
#include <unordered_set>

namespace {

struct ListedWord {
    std::string_view letters; // capitals A to Z
    std::uint32_t id;
};

// The word of one record, or an empty view when the record does not hold 2 to
// 12 capitals followed only by spaces.
std::string_view recordWord(std::string_view record)
{
    if (record[0] != kRecordMark)
        return {};
    const std::string_view field = record.substr(1, kWordFieldSize);
    const std::size_t end = field.find(' ');
    const std::string_view letters = field.substr(0, end);
    if (letters.size() < kMinWordLetters || letters.size() > kMaxWordTiles)
        return {};
    for (char c : letters) {
        if (c < 'A' || c > 'Z')
            return {};
    }
    if (end != std::string_view::npos && field.find_first_not_of(' ', end) != std::string_view::npos)
        return {};
    return letters;
}

// A plain trie: one node per prefix, each node's children in one block, every
// block placed after its parent.
struct Trie {
    struct Node {
        std::uint32_t bits = 0;
        std::uint32_t firstChild = 0;
    };
    std::vector<Node> nodes;

    std::uint32_t childCount(std::uint32_t node) const
    {
        return std::uint32_t(std::popcount(nodes[node].bits & Lexicon::kLetterBits));
    }

    // Fills node `at` from words [begin, end), sorted and distinct, that all
    // share their first `depth` letters.
    void fill(std::uint32_t at, const ListedWord* begin, const ListedWord* end, std::size_t depth)
    {
        if (begin != end && begin->letters.size() == depth) {
            nodes[at].bits |= Lexicon::kWordEnd;
            ++begin;
        }
        if (begin == end)
            return;
        std::uint32_t letters = 0;
        for (const ListedWord* w = begin; w != end; ++w)
            letters |= 1u << (w->letters[depth] - 'A');
        const auto first = static_cast<std::uint32_t>(nodes.size());
        nodes[at].bits |= letters;
        nodes[at].firstChild = first;
        nodes.resize(nodes.size() + std::size_t(std::popcount(letters)));

        std::uint32_t next = first;
        const ListedWord* group = begin;
        while (group != end) {
            const char letter = group->letters[depth];
            const ListedWord* groupEnd = group;
            while (groupEnd != end && groupEnd->letters[depth] == letter)
                ++groupEnd;
            fill(next++, group, groupEnd, depth + 1);
            group = groupEnd;
        }
    }
};

// Turns the trie into the word graph: trie nodes that end the same words from
// there on (same word end, same letters, equal children) become one node.
class GraphBuilder {
public:
    explicit GraphBuilder(const Trie& trie)
        : trie_(trie)
        , kind_(trie.nodes.size())
        , words_(trie.nodes.size())
        , blockOfKind_(trie.nodes.size(), kNoBlock)
    {
        // Children come after their parents, so walking back meets every child
        // before its parent.
        std::unordered_set<std::uint32_t, KindHash, SameKind> kinds(
            trie.nodes.size() / 4, KindHash { this }, SameKind { this });
        for (std::uint32_t n = static_cast<std::uint32_t>(trie.nodes.size()); n-- > 0;) {
            const Trie::Node& node = trie.nodes[n];
            std::uint32_t words = (node.bits & Lexicon::kWordEnd) ? 1 : 0;
            for (std::uint32_t k = 0; k < trie.childCount(n); ++k)
                words += words_[node.firstChild + k];
            words_[n] = words;
            kind_[n] = *kinds.insert(n).first;
        }
    }

    std::vector<Lexicon::Node> build()
    {
        graph_.assign(1, Lexicon::Node { trie_.nodes[0].bits, 0, 0 });
        graph_[0].firstChild = place(0);
        return std::move(graph_);
    }

private:
    static constexpr std::uint32_t kNoBlock = UINT32_MAX;

    // The block of children of a trie node's kind, placed on first need; the
    // blocks below it follow in depth-first order, so a search going down reads
    // nearby memory.
    std::uint32_t place(std::uint32_t node)
    {
        const std::uint32_t kind = kind_[node];
        const std::uint32_t count = trie_.childCount(node);
        if (count == 0)
            return 0;
        if (blockOfKind_[kind] != kNoBlock)
            return blockOfKind_[kind];
        const Trie::Node& here = trie_.nodes[kind];
        const auto block = static_cast<std::uint32_t>(graph_.size());
        blockOfKind_[kind] = block;
        graph_.resize(graph_.size() + count);
        std::uint32_t before = (here.bits & Lexicon::kWordEnd) ? 1 : 0;
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::uint32_t child = here.firstChild + k;
            const std::uint32_t childBlock = place(child);
            graph_[block + k] = { trie_.nodes[child].bits, childBlock, before };
            before += words_[child];
        }
        return block;
    }

    struct KindHash {
        const GraphBuilder* builder;
        std::size_t operator()(std::uint32_t n) const
        {
            const Trie::Node& node = builder->trie_.nodes[n];
            std::size_t h = node.bits;
            for (std::uint32_t k = 0; k < builder->trie_.childCount(n); ++k)
                h = h * 0x9E3779B97F4A7C15ull + builder->kind_[node.firstChild + k];
            return h;
        }
    };
    struct SameKind {
        const GraphBuilder* builder;
        bool operator()(std::uint32_t a, std::uint32_t b) const
        {
            const Trie::Node& x = builder->trie_.nodes[a];
            const Trie::Node& y = builder->trie_.nodes[b];
            if (x.bits != y.bits)
                return false;
            for (std::uint32_t k = 0; k < builder->trie_.childCount(a); ++k) {
                if (builder->kind_[x.firstChild + k] != builder->kind_[y.firstChild + k])
                    return false;
            }
            return true;
        }
    };

    const Trie& trie_;
    std::vector<std::uint32_t> kind_; // the trie node standing for all nodes equal to this one
    std::vector<std::uint32_t> words_; // words ending at or below each trie node
    std::vector<std::uint32_t> blockOfKind_;
    std::vector<Lexicon::Node> graph_;
};

} // namespace

Lexicon::Lexicon(std::string_view records, std::span<const std::uint8_t> frequencyClasses)
{
    const std::size_t recordCount = records.size() / kRecordSize;
    std::vector<ListedWord> words;
    words.reserve(recordCount);
    for (std::size_t i = 0; i < recordCount; ++i) {
        const std::string_view letters = recordWord(records.substr(i * kRecordSize, kRecordSize));
        if (!letters.empty())
            words.push_back({ letters, static_cast<std::uint32_t>(i) });
    }
    const auto byLetters = [](const ListedWord& a, const ListedWord& b) { return a.letters < b.letters; };
    const auto sameLetters = [](const ListedWord& a, const ListedWord& b) { return a.letters == b.letters; };
    // The shipped list is sorted; the check spares it the sort.
    if (!std::is_sorted(words.begin(), words.end(), byLetters))
        std::stable_sort(words.begin(), words.end(), byLetters);
    words.erase(std::unique(words.begin(), words.end(), sameLetters), words.end());
    wordCount_ = words.size();
    for (std::size_t rank = 0; rank < words.size() && idOfRank_.empty(); ++rank) {
        if (words[rank].id != rank) {
            idOfRank_.reserve(words.size());
            for (const ListedWord& w : words)
                idOfRank_.push_back(w.id);
        }
    }

    Trie trie;
    trie.nodes.reserve(words.size() * 3);
    trie.nodes.resize(1);
    trie.fill(root(), words.data(), words.data() + words.size(), 0);
    nodes_ = GraphBuilder(trie).build();
    nodes_.shrink_to_fit();

    frequency_.assign(recordCount, static_cast<std::uint8_t>(kUnknownFrequencyClass));
    if (frequencyClasses.size() == recordCount) {
        for (std::size_t i = 0; i < recordCount; ++i)
            frequency_[i] = std::min<std::uint8_t>(frequencyClasses[i], kTopFrequencyClass);
    }
}

std::optional<std::uint32_t> Lexicon::child(std::uint32_t node, int letter) const
{
    if (letter < 0 || letter >= kFinderLetters)
        return std::nullopt;
    const Node& n = nodes_[node];
    const std::uint32_t bit = 1u << letter;
    if ((n.bits & bit) == 0)
        return std::nullopt;
    return n.firstChild + std::uint32_t(std::popcount(n.bits & (bit - 1)));
}

std::optional<std::uint32_t> Lexicon::find(std::string_view word) const
{
    if (word.size() > kMaxWordTiles)
        return std::nullopt;
    std::uint32_t node = root();
    std::uint32_t rank = 0;
    for (char c : word) {
        const std::optional<std::uint32_t> next = child(node, letterIndexOf(c));
        if (!next)
            return std::nullopt;
        node = *next;
        rank += nodes_[node].rankStep;
    }
    if ((nodes_[node].bits & kWordEnd) == 0)
        return std::nullopt;
    return idOfRank(rank);
}

int Lexicon::frequencyClass(std::uint32_t wordId) const
{
    return wordId < frequency_.size() ? frequency_[wordId] : kUnknownFrequencyClass;
}

std::size_t Lexicon::memoryBytes() const
{
    return nodes_.capacity() * sizeof(Node) + idOfRank_.capacity() * sizeof(std::uint32_t)
        + frequency_.capacity() * sizeof(std::uint8_t);
}

const Lexicon& embeddedLexicon()
{
    static const Lexicon lexicon(embeddedWordList(), embeddedFrequencyClasses());
    return lexicon;
}
