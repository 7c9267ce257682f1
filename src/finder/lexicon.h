// The word list as a minimal word graph (a trie whose equal endings are shared)
// built once from the record file: 12 bytes per node, children found by
// popcount over a 26-bit letter mask, a word's id summed along its path.
#pragma once

#include "finder_limits.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

class Lexicon {
public:
    // A node as its parent reaches it. Bit 31 of bits marks a node that ends a
    // word; bits 0 to 25 say which letters follow. The children of a node sit
    // together from firstChild on, in letter order, so the child for letter L is
    // firstChild + popcount(letters below L). Nodes with the same endings share
    // one block of children, which is what keeps the graph small.
    //
    // A word's rank (its place in the sorted list) is the sum of rankStep over
    // the nodes of its path: each step counts the words that sort before the
    // ones through this node among those through its parent.
    struct Node {
        std::uint32_t bits = 0;
        std::uint32_t firstChild = 0;
        std::uint32_t rankStep = 0;
    };
    static constexpr std::uint32_t kWordEnd = 1u << 31;
    static constexpr std::uint32_t kLetterBits = (1u << kFinderLetters) - 1;

    // Builds from a record file (15-byte records: 0x1E, then the word in
    // capitals space-padded). A word's id is its record's index, so tables kept
    // per record line up with it. Records that are malformed, outside 2 to 12
    // letters or repeat an earlier word are skipped; an unsorted list is sorted
    // first. frequencyClasses holds one class per record; a table of another
    // length is ignored and every word counts as of unknown frequency.
    explicit Lexicon(std::string_view records, std::span<const std::uint8_t> frequencyClasses = {});

    std::span<const Node> nodes() const { return nodes_; }
    static constexpr std::uint32_t root() { return 0; }
    // The child of a node for letter 0 to 25, or nothing.
    std::optional<std::uint32_t> child(std::uint32_t node, int letter) const;
    // The id of the word of a rank, 0 to wordCount() - 1.
    std::uint32_t idOfRank(std::uint32_t rank) const { return idOfRank_.empty() ? rank : idOfRank_[rank]; }

    // The id of a word (letter case aside), or nothing when the list lacks it.
    std::optional<std::uint32_t> find(std::string_view word) const;
    int frequencyClass(std::uint32_t wordId) const;

    std::size_t wordCount() const { return wordCount_; }
    // Ids run from 0 to recordCount() - 1; a skipped record's id names no word.
    std::size_t recordCount() const { return frequency_.size(); }
    // Bytes held by the tables, not counting the object itself.
    std::size_t memoryBytes() const;

private:
    std::vector<Node> nodes_;
    // Empty when every record holds a word and the list was sorted: a rank is
    // then the id itself.
    std::vector<std::uint32_t> idOfRank_;
    std::vector<std::uint8_t> frequency_;
    std::size_t wordCount_ = 0;
};

// The lexicon of the embedded word list and frequency table, built on first
// use and never changed after.
const Lexicon& embeddedLexicon();
