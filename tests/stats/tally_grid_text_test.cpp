// The tally grid's text form: the layout column by column, the tally without
// opponents all the way to its file bytes, and the checks on texts read back.
#include "tally_grid_text.h"
#include "tlzrw1.h"

#include <gtest/gtest.h>

namespace {

std::string loadError(std::string_view text)
{
    try {
        loadgrid(text);
    } catch (const ETallyGridError& e) {
        return e.what();
    }
    return "";
}

TEST(TallyGridText, TallyWithoutOpponentsIsTwelveLinesAndTheTwentySixByteFile)
{
    TallyGrid grid(10, 1);
    for (int column = 0; column < 10; ++column)
        grid.cell(column, 0) = "0";
    const std::string text = savegrid(grid);
    EXPECT_EQ(text, "10\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");

    const std::string file = stats::compressLzrw1(text);
    EXPECT_EQ(file,
        std::string("WRZL\x25\0\0\0\x10\0\x40\x01\xC0"
                    "10\r\n1\r\n\0\x60\0\x3F\x01\x26",
            26));

    const TallyGrid back = loadgrid(stats::decompressContainer(file));
    EXPECT_EQ(back.columns, 10);
    EXPECT_EQ(back.rows, 1);
    EXPECT_EQ(back.cells, grid.cells);
}

TEST(TallyGridText, CellsAreWrittenColumnByColumn)
{
    TallyGrid grid(3, 2);
    grid.cell(0, 0) = "0";
    grid.cell(1, 0) = "5";
    grid.cell(2, 0) = "3";
    grid.cell(0, 1) = "Ann";
    grid.cell(1, 1) = "2";
    grid.cell(2, 1) = "";
    EXPECT_EQ(savegrid(grid), "3\r\n2\r\n0\r\nAnn\r\n5\r\n2\r\n3\r\n\r\n");
    EXPECT_EQ(loadgrid(savegrid(grid)).cell(0, 1), "Ann");
    EXPECT_EQ(loadgrid(savegrid(grid)).cell(2, 1), "");
}

TEST(TallyGridText, TallyWithOpponentsRoundTripsThroughTheFile)
{
    TallyGrid grid(10, 4);
    const char* const own[10]
        = { "0", "12", "5", "QUIXOTRY", "8", "ZEPHYR", "31", "140", "3 mins-15 Words", "62" };
    for (int column = 0; column < 10; ++column)
        grid.cell(column, 0) = own[column];
    const char* const names[3] = { "Ann", "bob smith", "Zo\xC3\xAB" };
    for (int row = 1; row < 4; ++row) {
        grid.cell(0, row) = names[row - 1];
        for (int column = 1; column < 10; ++column)
            grid.cell(column, row) = std::to_string(row * 10 + column);
    }
    grid.cell(3, 0) = ""; // a record not yet made

    const std::string file = stats::compressContainer(savegrid(grid), CompressionMode::Fast);
    const TallyGrid back = loadgrid(stats::decompressContainer(file));
    EXPECT_EQ(back.columns, 10);
    EXPECT_EQ(back.rows, 4);
    EXPECT_EQ(back.cells, grid.cells);
}

TEST(TallyGridText, LinesMayEndInLineFeedAloneAndTheLastNeedsNoEnding)
{
    const TallyGrid grid = loadgrid("2\n2\r\na\nb\r\n\nd");
    EXPECT_EQ(grid.cells, (std::vector<std::string> { "a", "b", "", "d" }));
    // Only the CR of a line's ending is taken off.
    EXPECT_EQ(loadgrid("1\r\n1\r\nx\r\r\n").cell(0, 0), "x\r");
}

TEST(TallyGridText, CountsMustBeDecimalNumbersWithinTheLimits)
{
    for (const char* text : { "", "0\r\n1\r\n", "65\r\n1\r\n", "ten\r\n1\r\n", "-1\r\n1\r\n", " 1\r\n1\r\n",
             "1 \r\n1\r\n", "+1\r\n1\r\n", "99999999999\r\n1\r\n" })
        EXPECT_NE(loadError(text), "") << text;
    for (const char* text : { "1\r\n", "1\r\n0\r\n", "1\r\n100001\r\n", "1\r\n1e3\r\n" })
        EXPECT_NE(loadError(text), "") << text;
    EXPECT_EQ(loadgrid("01\r\n1\r\nx\r\n").columns, 1);
    EXPECT_EQ(loadgrid("64\r\n1\r\n" + std::string(64, '\n')).columns, 64);
}

TEST(TallyGridText, GridTooLargeForATallyIsRefusedBeforeReadingCells)
{
    // 64 columns of 100 000 rows are within each limit but not their product.
    EXPECT_NE(loadError("64\r\n100000\r\n"), "");
    const std::string text = "10\r\n100000\r\n" + std::string(1000000, '\n');
    EXPECT_EQ(loadgrid(text).cells.size(), 1000000u);
}

TEST(TallyGridText, MissingOrLeftOverLinesAreRefused)
{
    EXPECT_NE(loadError("10\r\n1\r\n0\r\n0\r\n"), "");
    EXPECT_NE(loadError("2\r\n1\r\na\r\n"), "");
    EXPECT_NE(loadError("1\r\n1\r\na\r\nb\r\n"), "");
    EXPECT_NE(loadError("1\r\n1\r\na\r\n\r\n"), "");
    // A huge row count with few lines is refused without room for its cells.
    EXPECT_NE(loadError("10\r\n100000\r\n0\r\n"), "");
}

TEST(TallyGridText, LineBreaksInsideACellAreSavedAsBlanks)
{
    TallyGrid grid(2, 2);
    grid.cell(0, 0) = "two\r\nlines";
    grid.cell(0, 1) = "line\nfeed";
    grid.cell(1, 0) = "lone\rreturn\r";
    grid.cell(1, 1) = "7";
    const TallyGrid back = loadgrid(savegrid(grid));
    EXPECT_EQ(back.cells, (std::vector<std::string> { "two  lines", "line feed", "lone return ", "7" }));
    // A lone CR read from a file stays in its cell and is saved as a blank.
    EXPECT_EQ(loadgrid(savegrid(loadgrid("1\r\n1\r\n0\rm\r\n"))).cells, std::vector<std::string> { "0 m" });
}

TEST(TallyGridText, GridThatCannotBeReadBackIsNotSaved)
{
    TallyGrid grid(2, 1);
    grid.cell(0, 0) = "ok";
    grid.cells.pop_back();
    EXPECT_THROW(savegrid(grid), ETallyGridError);
    EXPECT_THROW(savegrid(TallyGrid(0, 1)), ETallyGridError);
    EXPECT_THROW(savegrid(TallyGrid(65, 1)), ETallyGridError);
}

TEST(TallyGridText, CellAccessOutsideTheGridThrows)
{
    TallyGrid grid(10, 1);
    EXPECT_THROW(grid.cell(10, 0), std::out_of_range);
    EXPECT_THROW(grid.cell(0, 1), std::out_of_range);
    EXPECT_THROW(grid.cell(-1, 0), std::out_of_range);
}

} // namespace
