// The word finder's limits and the constants its tables are laid out by, each
// with the reason for its value, and its numbering of the letters.
#pragma once

#include "game_facts.h"

#include <cstddef>
#include <cstdint>

// Letters a to z: a word-graph node keeps one bit per letter in a 32-bit mask.
inline constexpr int kFinderLetters = 26;

// A typed word longer than the word row can never be laid on the board.
inline constexpr std::size_t kMaxTypedLetters = kMaxWordTiles;

// Chains offered for one typed word, best first: enough to cycle through with
// Tab, small enough that listing them stays far inside one frame even when the
// chains spelling the word are astronomically many.
inline constexpr std::size_t kMaxListedChains = 64;

// No cell adds more to a word's letter sum than a z on a triple-letter cell,
// and no word has more than twelve tiles.
inline constexpr int kMaxCellPoints = 10 * 3;
inline constexpr int kMaxLetterSum = kMaxCellPoints * kMaxWordTiles;

// Frequency classes: 0 for a word the frequency list does not know (the
// rarest), otherwise 1 + floor(log2(count)), so each class is about twice as
// common as the one below. The commonest word of the source counts about two
// million (class 22); the cap only keeps a hostile table in range.
inline constexpr int kUnknownFrequencyClass = 0;
inline constexpr int kTopFrequencyClass = 31;

// The common classes: 8 and commoner, words met at least 128 times in the
// source's 51 million words of subtitles (2.5 a million and more), the words
// a player meets in everyday speech. Rarer words read as a dictionary's.
inline constexpr int kCommonFrequencyClass = 8;
constexpr bool isCommonFrequencyClass(int frequencyClass) { return frequencyClass >= kCommonFrequencyClass; }

// Letter index 0 to 25 of an a to z or A to Z, or -1 for anything else.
constexpr int letterIndexOf(char c)
{
    const int32_t code = letterCodeOf(c);
    return code == 0 ? -1 : code - kFirstLetterCode;
}
