// Board cells as the finder numbers them (reading order), sets of cells as bit
// masks, and the per-cell facts of one board that every search reads.
#pragma once

#include "board.h"
#include "finder_limits.h"
#include "word_scoring.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <vector>

// A cell number 0 to 116 in reading order: row by row from the top, each row
// from the left. Ties between equally good chains are broken by this order.
using CellIndex = std::uint8_t;

constexpr CellIndex cellIndexOf(int x, int y) { return static_cast<CellIndex>(y * kBoardColumns + x); }
constexpr CellIndex cellIndexOf(TileRef tile) { return cellIndexOf(tile.x, tile.y); }
constexpr TileRef tileOf(CellIndex cell) { return { cell % kBoardColumns, cell / kBoardColumns }; }

// Every cell but those of one column, one bit per cell in reading order.
constexpr unsigned __int128 cellMaskOutsideColumn(int column)
{
    unsigned __int128 mask = 0;
    for (int cell = 0; cell < kBoardCells; ++cell) {
        if (cell % kBoardColumns != column)
            mask |= static_cast<unsigned __int128>(1) << cell;
    }
    return mask;
}

// A set of board cells, one bit per cell in reading order.
class CellSet {
public:
    using Bits = unsigned __int128;
    static_assert(kBoardCells <= 128, "a board's cells must fit one 128-bit mask");

    constexpr CellSet() = default;
    static constexpr CellSet fromBits(Bits bits) { return CellSet(bits & kAllBits); }
    static constexpr CellSet all() { return CellSet(kAllBits); }
    static constexpr CellSet of(CellIndex cell) { return CellSet(Bits(1) << cell); }

    constexpr bool empty() const { return bits_ == 0; }
    constexpr bool contains(CellIndex cell) const { return cell < kBoardCells && ((bits_ >> cell) & 1) != 0; }
    constexpr void insert(CellIndex cell) { bits_ |= Bits(1) << cell; }
    constexpr int count() const { return std::popcount(low()) + std::popcount(high()); }
    constexpr bool single() const { return bits_ != 0 && (bits_ & (bits_ - 1)) == 0; }
    // The first cell in reading order; the set must not be empty.
    constexpr CellIndex first() const
    {
        return static_cast<CellIndex>(low() != 0 ? std::countr_zero(low()) : 64 + std::countr_zero(high()));
    }
    // Every cell that touches a cell of the set: the eight neighbours of each,
    // so a cell is in it only when another cell of the set touches it.
    constexpr CellSet around() const
    {
        const Bits east = (bits_ << 1) & kNotFirstColumn;
        const Bits west = (bits_ >> 1) & kNotLastColumn;
        const Bits row = bits_ | east | west;
        return CellSet((east | west | (row << kBoardColumns) | (row >> kBoardColumns)) & kAllBits);
    }
    constexpr Bits bits() const { return bits_; }

    // Calls f(cell) for every cell, in reading order.
    template <typename F> constexpr void forEach(F&& f) const
    {
        for (Bits rest = bits_; rest != 0; rest &= rest - 1)
            f(CellSet(rest).first());
    }

    friend constexpr CellSet operator&(CellSet a, CellSet b) { return CellSet(a.bits_ & b.bits_); }
    friend constexpr CellSet operator|(CellSet a, CellSet b) { return CellSet(a.bits_ | b.bits_); }
    constexpr CellSet& operator&=(CellSet other) { return *this = *this & other; }
    constexpr CellSet& operator|=(CellSet other) { return *this = *this | other; }
    friend constexpr bool operator==(CellSet a, CellSet b) { return a.bits_ == b.bits_; }

private:
    constexpr explicit CellSet(Bits bits)
        : bits_(bits)
    {
    }
    constexpr std::uint64_t low() const { return static_cast<std::uint64_t>(bits_); }
    constexpr std::uint64_t high() const { return static_cast<std::uint64_t>(bits_ >> 64); }

    static constexpr Bits kAllBits = (Bits(1) << kBoardCells) - 1;
    static constexpr Bits kNotFirstColumn = cellMaskOutsideColumn(0);
    static constexpr Bits kNotLastColumn = cellMaskOutsideColumn(kBoardColumns - 1);

    Bits bits_ = 0;
};

// The up to eight neighbours of each cell.
inline constexpr std::array<CellSet, kBoardCells> kNeighbours = [] {
    std::array<CellSet, kBoardCells> table {};
    for (int cell = 0; cell < kBoardCells; ++cell)
        table[std::size_t(cell)] = CellSet::of(static_cast<CellIndex>(cell)).around();
    return table;
}();

// A chain of cells, first letter first: at most one cell per tile of the word row.
struct CellPath {
    std::array<CellIndex, kMaxWordTiles> cells {};
    std::uint8_t length = 0;

    std::span<const CellIndex> view() const { return { cells.data(), length }; }
    // The tile references a player would send for this chain.
    std::vector<TileRef> tiles() const;
    friend bool operator==(const CellPath& a, const CellPath& b)
    {
        return a.length == b.length
            && std::equal(a.cells.begin(), a.cells.begin() + a.length, b.cells.begin());
    }
};

// What one cell adds to a word laid through it.
enum class Crossing : std::uint8_t { None, Yellow, Red };

struct CellFacts {
    std::uint8_t letter = 0; // 0 to 25 for a to z
    std::uint8_t points = 0; // the letter's value times the cell's letter bonus
    Crossing crossing = Crossing::None;

    // What the word is multiplied by for crossing this cell.
    constexpr std::uint32_t factor() const
    {
        return crossing == Crossing::Red ? 3 : crossing == Crossing::Yellow ? 2 : 1;
    }
};

// One board as the searches read it, taken as the server reads it: a code
// outside 1 to 26 is the letter t worth 1, and a bonus kind it does not know
// counts as none. The bonus grid is used as it is, so a caller that does not
// know the spell book's kind may leave the centre at BonusNone or try each kind.
struct BoardFacts {
    BoardFacts() = default;
    explicit BoardFacts(const Board& board);

    std::array<CellFacts, kBoardCells> cells {};
    std::array<CellSet, kFinderLetters> cellsOf {}; // the cells holding each letter
    CellSet yellow; // potion cells that double the word
    CellSet red; // potion cells that triple it
};
