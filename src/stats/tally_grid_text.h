// The tally grid and its text form: the column count, the row count, then
// every cell on a line of its own, column by column (all rows of column 0,
// then column 1, ...), each line ending in CR LF.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct TallyGrid {
    TallyGrid() = default;
    // A grid of empty cells.
    TallyGrid(int columns, int rows);

    int columns = 0;
    int rows = 0;
    // Column by column, as in the text form: cell (column, row) is
    // cells[column * rows + row].
    std::vector<std::string> cells;

    // Throw std::out_of_range outside the grid.
    std::string& cell(int column, int row);
    const std::string& cell(int column, int row) const;
};

class ETallyGridError : public std::runtime_error {
public:
    explicit ETallyGridError(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

// The text form of `grid`. Refuses (ETallyGridError) a grid that loadgrid
// would refuse: a shape outside the limits, or a cell count that does not
// match the shape. A CR or LF inside a cell is written as a blank, since it
// would otherwise shift every later cell by a line.
std::string savegrid(const TallyGrid& grid);

// Reads a text form; lines may end in CR LF or LF alone, and the last line
// needs no ending. The counts must be decimal numbers within the limits of
// stats_limits.h, and the text must hold exactly one line per cell: a text
// with lines missing or left over is refused (ETallyGridError) rather than
// guessed at, since either means it was cut short or edited by hand.
TallyGrid loadgrid(std::string_view text);
