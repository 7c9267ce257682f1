// Build-time conversion of a list of word counts (a JSON array of objects with
// "word" and "count") into the frequency table: one class byte per record of
// the word list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

// Count per word, in small letters. Words other than 2 to 12 letters a to z
// (letter case aside) are left out, being no word of ours; a word listed twice
// in different letter case has its counts added. Throws std::runtime_error
// naming the byte offset when the text is not such an array.
std::unordered_map<std::string, std::uint64_t> parseWordCounts(std::string_view json);

// 0 for a word never counted, otherwise 1 + floor(log2(count)), at most
// kTopFrequencyClass.
int frequencyClassForCount(std::uint64_t count);

// One class byte per record of the record file, in record order; a record the
// counts do not name gets class 0.
std::string frequencyTable(
    std::string_view records, const std::unordered_map<std::string, std::uint64_t>& counts);
