// Looking a word's frequency class up by bisection over the embedded records.
#include "word_frequency.h"

#include "dict_limits.h"
#include "embedded_word_list.h"

#include <algorithm>
#include <array>

int frequencyClassOf(std::string_view word)
{
    if (word.size() < kMinWordLetters || word.size() > kMaxWordLetters)
        return kUnknownFrequencyClass;
    // The record's word field: capitals, space-padded.
    std::array<char, kWordFieldSize> field;
    field.fill(' ');
    for (std::size_t i = 0; i < word.size(); ++i) {
        const int letter = letterIndexOf(word[i]);
        if (letter < 0)
            return kUnknownFrequencyClass;
        field[i] = static_cast<char>('A' + letter);
    }
    const std::string_view key(field.data(), field.size());

    const std::string_view records = embeddedWordList();
    const std::span<const std::uint8_t> classes = embeddedFrequencyClasses();
    std::size_t low = 0;
    std::size_t high = classes.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const std::string_view value = records.substr(middle * kRecordSize + 1, kWordFieldSize);
        if (value == key)
            return std::min<int>(classes[middle], kTopFrequencyClass);
        if (value < key)
            low = middle + 1;
        else
            high = middle;
    }
    return kUnknownFrequencyClass;
}
