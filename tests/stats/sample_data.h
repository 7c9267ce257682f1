// Deterministic test inputs: random bytes, and English-like text that has the
// repetition of real text without being one sentence over and over.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

inline std::string randomBytes(std::size_t size, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::string out(size, '\0');
    for (char& c : out)
        c = static_cast<char>(rng() & 0xFF);
    return out;
}

inline std::string englishText(std::size_t size, std::uint32_t seed)
{
    static constexpr std::array<std::string_view, 32> kWords
        = { "the", "quick", "player", "found", "a", "word", "on", "board", "before", "clock", "ran", "out",
              "and", "scored", "seven", "points", "while", "her", "opponent", "kept", "looking", "for",
              "longer", "words", "in", "corner", "letters", "round", "tally", "game", "wins", "again" };
    std::mt19937 rng(seed);
    std::string out;
    out.reserve(size + 16);
    while (out.size() < size) {
        const int words = 5 + static_cast<int>(rng() % 9);
        for (int i = 0; i < words; ++i) {
            std::string_view w = kWords[rng() % kWords.size()];
            if (i == 0) {
                out.push_back(static_cast<char>(w[0] - 'a' + 'A'));
                w.remove_prefix(1);
            } else {
                out.push_back(' ');
            }
            out.append(w);
        }
        out.append(rng() % 4 == 0 ? ".\r\n" : ". ");
    }
    out.resize(size);
    return out;
}

// The sizes around the block boundaries of the LZRW1/KH form.
inline constexpr std::array<std::size_t, 7> kBoundarySizes = { 0, 1, 32767, 32768, 32769, 65536, 100000 };
