// The tally's text form and the play that follows loading it: any text is
// either refused or read into a grid that saves back to a text reading the
// same; and a tally loaded from such a grid survives the operations of play
// (games, words, new opponents, removals, resets) and can always be saved.
#include "fuzz_check.h"
#include "fuzz_input.h"

#include "tally_file.h"
#include "tally_grid_text.h"
#include "tally_model.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool sameGrid(const TallyGrid& a, const TallyGrid& b)
{
    return a.columns == b.columns && a.rows == b.rows && a.cells == b.cells;
}

// A name from the input: short, and any bytes at all, line breaks included,
// as a hostile server may send.
std::string nameFrom(FuzzInput& input) { return std::string(input.bytes(input.byte() % 12)); }

void play(TallyModel& tally, FuzzInput& input)
{
    for (int step = 0; step < 64 && !input.empty(); ++step) {
        const int rowsBefore = tally.rowCount();
        switch (input.byte() % 7) {
        case 0: {
            std::vector<std::string> players;
            for (int k = input.byte() % 4; k > 0; --k)
                players.push_back(input.byte() % 2 && tally.rowCount() > 1
                        ? tally.cell(1 + input.byte() % (tally.rowCount() - 1), 0)
                        : nameFrom(input));
            const std::string result = input.byte() % 3 == 0 ? "addtomine" : nameFrom(input);
            tally.addgame(result, players);
            FUZZ_CHECK(tally.rowCount() == rowsBefore);
            break;
        }
        case 1: {
            static constexpr int kRecordColumns[]
                = { TallyModel::LongestWord, TallyModel::BestWord, TallyModel::BestRound };
            const int column = kRecordColumns[input.byte() % 3];
            const auto value = static_cast<int64_t>(input.u32());
            tally.addword(nameFrom(input), value, column);
            FUZZ_CHECK(tally.threshold(column) == value);
            break;
        }
        case 2: {
            const std::string name = nameFrom(input);
            tally.startTallying(name);
            FUZZ_CHECK(tally.talliedIndex(name) >= 0);
            break;
        }
        case 3:
            tally.moverow(static_cast<int8_t>(input.byte()));
            FUZZ_CHECK(tally.rowCount() >= 1 && tally.rowCount() <= rowsBefore);
            break;
        case 4:
            tally.reset();
            FUZZ_CHECK(tally.rowCount() == 1);
            break;
        case 5:
            tally.addtomine(1 + input.byte() % (TallyModel::kColumns - 1));
            break;
        case 6:
            for (int column = 0; column < TallyModel::kColumns; ++column)
                (void)tally.ownLabel(column);
            break;
        }
        FUZZ_CHECK(tally.rowCount() >= 1);
        FUZZ_CHECK(int(tally.talliedNames().size()) == tally.rowCount() - 1);
    }
}

} // namespace

// Input: the length of the text form (two bytes), the text form, then the
// steps of play.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const std::size_t textLength = std::size_t { input.byte() } << 8 | input.byte();
    const std::string_view text = input.bytes(textLength);

    TallyGrid grid;
    try {
        grid = loadgrid(text);
    } catch (const ETallyGridError&) {
        return 0;
    }
    FUZZ_CHECK(grid.cells.size() == std::size_t(grid.columns) * std::size_t(grid.rows));
    // What was read saves, and reads back the same but for a stray CR inside
    // a cell, which is saved as a blank.
    TallyGrid blanked = grid;
    for (std::string& cell : blanked.cells)
        std::replace(cell.begin(), cell.end(), '\r', ' ');
    FUZZ_CHECK(sameGrid(loadgrid(savegrid(grid)), blanked));

    TallyModel tally;
    tally.loadtally(tallyRowsOf(grid));
    FUZZ_CHECK(tally.rowCount() == grid.rows);
    for (int row = 1; row < tally.rowCount(); ++row)
        for (int column = TallyModel::Together + TallyModel::SessionOffset;
             column <= TallyModel::NeitherWon + TallyModel::SessionOffset; ++column)
            FUZZ_CHECK(tally.cell(row, column) == "0");

    play(tally, input);

    // The tally as it would be written at exit always saves, and reads back
    // the same but for line breaks, saved as blanks.
    std::vector<TallyModel::Row> expected = tally.rows();
    for (TallyModel::Row& row : expected)
        for (std::string& cell : row)
            std::replace_if(
                cell.begin(), cell.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    FUZZ_CHECK(tallyRowsOf(loadgrid(savegrid(tallyGridOf(tally.rows())))) == expected);
    return 0;
}
