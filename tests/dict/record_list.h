// Test helpers: small word lists in the record-file format, made here without
// the library's own conversion so the two can check each other.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

// One record per word: 0x1E, then the word in capitals cut to 14 letters and
// padded with spaces. Sorted by the word field, keeping duplicates.
inline std::string recordsOf(std::vector<std::string> words)
{
    std::vector<std::string> records;
    for (const std::string& word : words) {
        std::string record(15, ' ');
        record[0] = '\x1E';
        for (std::size_t i = 0; i < word.size() && i < 14; ++i) {
            const char c = word[i];
            record[1 + i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        }
        records.push_back(record);
    }
    std::stable_sort(records.begin(), records.end());
    std::string out;
    for (const std::string& record : records)
        out += record;
    return out;
}

// The word held by a record, without its padding.
inline std::string wordOfRecord(std::string_view record)
{
    std::string_view field = record.substr(1, 14);
    return std::string(field.substr(0, field.find(' ')));
}
