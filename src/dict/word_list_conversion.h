// Conversion of a plain word list (one word per line) into the sorted
// fixed-size records that the dictionary searches on disk.
#pragma once

#include <string>
#include <string_view>

// The record of one word: the marker byte, then the word in capitals
// left-aligned in the space-padded field. The word must be a-z and fit the field.
std::string wordRecord(std::string_view word);

// The records of every usable line of text, deduplicated and sorted by their
// word field. A line is usable when, once a byte-order mark, the CR of a CRLF
// ending and surrounding blanks are gone, it is a word of kMinWordLetters to
// kMaxWordLetters letters a-z. Everything else (names in capitals, digits,
// apostrophes, accented letters, words too short or too long for the board)
// is skipped rather than guessed at.
std::string wordRecordsFromText(std::string_view text);
