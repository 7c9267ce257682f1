// Conversion of a plain word list into sorted word-list records.
#include "word_list_conversion.h"

#include "dict_limits.h"

#include <algorithm>
#include <cassert>
#include <vector>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view trimmed(std::string_view line)
{
    while (!line.empty() && isBlank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && isBlank(line.back()))
        line.remove_suffix(1);
    return line;
}

bool isUsableWord(std::string_view word)
{
    if (word.size() < kMinWordLetters || word.size() > kMaxWordLetters)
        return false;
    return std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

} // namespace

std::string wordRecord(std::string_view word)
{
    assert(word.size() <= kWordFieldSize);
    std::string record(kRecordSize, ' ');
    record[0] = kRecordMark;
    for (std::size_t i = 0; i < word.size() && i < kWordFieldSize; ++i)
        record[1 + i] = static_cast<char>(word[i] - 'a' + 'A');
    return record;
}

std::string wordRecordsFromText(std::string_view text)
{
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, byteOrderMark.size()) == byteOrderMark)
        text.remove_prefix(byteOrderMark.size());

    std::vector<std::string> records;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view word = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (isUsableWord(word))
            records.push_back(wordRecord(word));
    }

    // Every record starts with the same marker, so ordering whole records is
    // ordering their word fields; std::string compares bytes as unsigned,
    // which is the order the bisection expects.
    std::sort(records.begin(), records.end());
    records.erase(std::unique(records.begin(), records.end()), records.end());

    std::string out;
    out.reserve(records.size() * kRecordSize);
    for (const std::string& record : records)
        out += record;
    return out;
}
