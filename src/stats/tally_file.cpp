// The tally file.
#include "tally_file.h"

#include "move_aside.h"
#include "safe_read.h"
#include "stale_temporaries.h"
#include "tlzrw1.h"

#include <algorithm>

std::vector<TallyModel::Row> tallyRowsOf(const TallyGrid& grid)
{
    const int columns = std::min(grid.columns, TallyModel::kColumns);
    std::vector<TallyModel::Row> rows(std::size_t(grid.rows));
    for (int r = 0; r < grid.rows; ++r)
        for (int c = 0; c < TallyModel::kColumns; ++c)
            rows[std::size_t(r)][std::size_t(c)] = c < columns ? grid.cell(c, r) : "0";
    return rows;
}

std::vector<TallyModel::Row> readTallyFile(const std::string& path)
{
    Tlzrw1 codec;
    codec.InputFile = path;
    return tallyRowsOf(loadgrid(codec.decompressText()));
}

TallyGrid tallyGridOf(const std::vector<TallyModel::Row>& rows)
{
    TallyGrid grid(TallyModel::kColumns, int(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < TallyModel::kColumns; ++c)
            grid.cell(c, int(r)) = rows[r][std::size_t(c)];
    return grid;
}

void writeTallyFile(const std::string& path, const std::vector<TallyModel::Row>& rows)
{
    const TallyGrid grid = tallyGridOf(rows);
    Tlzrw1 codec;
    codec.OutputFile = path;
    codec.CompressMode = CompressionMode::Fast;
    codec.compressText(savegrid(grid));
}

TallyLoad loadTallyFile(const std::string& path)
{
    fileio::removeStaleTemporaries(path);
    TallyLoad load;
    switch (fileio::kindOf(path)) {
    case fileio::FileKind::Missing:
        load.outcome = TallyLoad::Outcome::Missing;
        return load;
    case fileio::FileKind::Regular:
        break;
    default:
        // Not opened at all: a FIFO would wait for a writer, and a link or a
        // device is not ours to read, move or replace.
        load.outcome = TallyLoad::Outcome::NotAFile;
        load.problem = fileio::describe(fileio::ReadStatus::NotRegular, path);
        return load;
    }
    try {
        load.rows = readTallyFile(path);
        load.outcome = TallyLoad::Outcome::Loaded;
        return load;
    } catch (const std::exception& error) {
        load.problem = error.what();
    }
    load.keptAs = fileio::moveAside(path, path + ".unreadable");
    load.outcome = load.keptAs.empty() ? TallyLoad::Outcome::LeftDamaged : TallyLoad::Outcome::KeptAside;
    return load;
}
