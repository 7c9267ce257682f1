// Layout of the word-list record file and the limits the lookup relies on,
// shared by the library and the build tool that writes the list.
#pragma once

#include <cstddef>
#include <cstdint>

// One record: a marker byte, then the word in capitals left-aligned in a
// space-padded field.
inline constexpr std::size_t kRecordSize = 15;
inline constexpr std::size_t kWordFieldSize = kRecordSize - 1;
inline constexpr char kRecordMark = 0x1E;

// Both sides of a comparison are this long: the word field plus one space, so
// a query must fit the field with a space to spare to be found.
inline constexpr std::size_t kWordWidth = kRecordSize;

// A word is laid out from at most twelve tiles, and one letter alone is not a
// word, so the shipped list holds nothing outside this range.
inline constexpr std::size_t kMinWordLetters = 2;
inline constexpr std::size_t kMaxWordLetters = 12;

// Every lookup reads at most this many records from disk; it holds while the
// list stays below 2^18 records, which the build tool enforces.
inline constexpr int kMaxRecordReads = 18;
inline constexpr std::int64_t kMaxRecords = (std::int64_t { 1 } << kMaxRecordReads) - 1;
