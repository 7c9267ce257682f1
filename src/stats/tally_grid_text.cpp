// The tally grid's text form, written and read.
#include "tally_grid_text.h"

#include "stats_limits.h"

#include <cstdint>

namespace {

// The next line from `pos`, without its CR LF or LF; false at the end of the text.
bool nextLine(std::string_view text, std::size_t& pos, std::string_view& line)
{
    if (pos >= text.size())
        return false;
    const std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) {
        line = text.substr(pos);
        pos = text.size();
        return true;
    }
    line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    pos = end + 1;
    return true;
}

// A count written in decimal digits only, within [1, max].
bool parseCount(std::string_view line, int max, int& value)
{
    if (line.empty() || line.size() > 9)
        return false;
    std::int64_t v = 0;
    for (const char c : line) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v < 1 || v > max)
        return false;
    value = static_cast<int>(v);
    return true;
}

bool shapeAllowed(int columns, int rows)
{
    return columns >= 1 && columns <= stats::kMaxGridColumns && rows >= 1 && rows <= stats::kMaxGridRows
        && std::int64_t { columns } * rows <= stats::kMaxGridCells;
}

std::size_t indexOf(const TallyGrid& grid, int column, int row)
{
    if (column < 0 || column >= grid.columns || row < 0 || row >= grid.rows)
        throw std::out_of_range("tally grid cell outside the grid");
    return static_cast<std::size_t>(column) * static_cast<std::size_t>(grid.rows)
        + static_cast<std::size_t>(row);
}

} // namespace

TallyGrid::TallyGrid(int columns, int rows)
    : columns(columns)
    , rows(rows)
    , cells(columns > 0 && rows > 0 ? static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows) : 0)
{
}

std::string& TallyGrid::cell(int column, int row) { return cells.at(indexOf(*this, column, row)); }

const std::string& TallyGrid::cell(int column, int row) const
{
    return cells.at(indexOf(*this, column, row));
}

std::string savegrid(const TallyGrid& grid)
{
    if (!shapeAllowed(grid.columns, grid.rows))
        throw ETallyGridError("Tally grid : " + std::to_string(grid.columns) + " columns and "
            + std::to_string(grid.rows) + " rows cannot be saved");
    if (grid.cells.size() != static_cast<std::size_t>(grid.columns) * static_cast<std::size_t>(grid.rows))
        throw ETallyGridError("Tally grid : the cells do not match the column and row counts");

    std::string text = std::to_string(grid.columns) + "\r\n" + std::to_string(grid.rows) + "\r\n";
    for (const std::string& cell : grid.cells) {
        // One line per cell: a line break inside a cell (a name a server sent,
        // a file edited by hand) is written as a blank. Refusing instead would
        // leave the tally unsaved at every exit from then on.
        const std::size_t start = text.size();
        text.append(cell);
        for (std::size_t i = start; i < text.size(); ++i)
            if (text[i] == '\r' || text[i] == '\n')
                text[i] = ' ';
        text.append("\r\n");
    }
    return text;
}

TallyGrid loadgrid(std::string_view text)
{
    std::size_t pos = 0;
    std::string_view line;
    int columns = 0;
    int rows = 0;
    if (!nextLine(text, pos, line) || !parseCount(line, stats::kMaxGridColumns, columns))
        throw ETallyGridError("Tally grid : the first line is not a column count from 1 to "
            + std::to_string(stats::kMaxGridColumns));
    if (!nextLine(text, pos, line) || !parseCount(line, stats::kMaxGridRows, rows))
        throw ETallyGridError("Tally grid : the second line is not a row count from 1 to "
            + std::to_string(stats::kMaxGridRows));
    if (!shapeAllowed(columns, rows))
        throw ETallyGridError("Tally grid : " + std::to_string(columns) + " columns of "
            + std::to_string(rows) + " rows are more cells than a tally holds");

    TallyGrid grid;
    grid.columns = columns;
    grid.rows = rows;
    // Grown line by line rather than sized from the counts, so a short text
    // cannot make us allocate for cells it does not have.
    const std::size_t cellCount = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
    while (grid.cells.size() < cellCount) {
        if (!nextLine(text, pos, line))
            throw ETallyGridError("Tally grid : the text ends after " + std::to_string(grid.cells.size())
                + " of its " + std::to_string(cellCount) + " cells");
        grid.cells.emplace_back(line);
    }
    if (nextLine(text, pos, line))
        throw ETallyGridError("Tally grid : the text goes on after its last cell");
    return grid;
}
