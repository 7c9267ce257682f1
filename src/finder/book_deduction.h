// Learning the spell book's kind: the window is never told what the centre
// gives this round, but every score the server gives a word narrows it down.
#pragma once

#include "board.h"

#include <bit>
#include <cstdint>
#include <string_view>

// A set of spell-book kinds, BonusYellowPotion to BonusTripleLetter.
class BookKinds {
public:
    constexpr void insert(BonusKind kind) { bits_ |= bitOf(kind); }
    constexpr bool contains(BonusKind kind) const { return (bits_ & bitOf(kind)) != 0; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr int count() const { return std::popcount(bits_); }
    // The kinds both sets allow: what words scored one after another leave.
    friend constexpr BookKinds operator&(BookKinds a, BookKinds b) { return BookKinds(a.bits_ & b.bits_); }
    friend constexpr bool operator==(BookKinds a, BookKinds b) = default;

    static constexpr BookKinds all()
    {
        BookKinds kinds;
        for (BonusKind kind : { BonusYellowPotion, BonusRedPotion, BonusDoubleLetter, BonusTripleLetter })
            kinds.insert(kind);
        return kinds;
    }

private:
    constexpr BookKinds() = default;
    constexpr explicit BookKinds(std::uint8_t bits)
        : bits_(bits)
    {
    }
    static constexpr std::uint8_t bitOf(BonusKind kind)
    {
        return kind >= BonusYellowPotion && kind <= BonusTripleLetter ? std::uint8_t(1u << kind) : 0;
    }
    friend BookKinds possibleBookKinds(const Board&, std::string_view, std::int64_t);

    std::uint8_t bits_ = 0;
};

// The kinds of spell book under which some chain of `word` on the board scores
// exactly `score`: each kind is tried at the centre in place of whatever the
// board holds there. Empty when no kind fits (a word not on this board, a
// score the server cannot have given).
BookKinds possibleBookKinds(const Board& board, std::string_view word, std::int64_t score);
