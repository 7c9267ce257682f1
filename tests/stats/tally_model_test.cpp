// The tally's arithmetic: records, games against tallied opponents, loading,
// deleting a row and resetting.
#include "tally_model.h"

#include <gtest/gtest.h>

namespace {

TallyModel::Row row(std::initializer_list<const char*> cells)
{
    TallyModel::Row r;
    std::size_t i = 0;
    for (const char* c : cells)
        r[i++] = c;
    return r;
}

} // namespace

TEST(TallyModel, StartsWithZerosAndNoRecords)
{
    TallyModel tally;
    ASSERT_EQ(tally.rowCount(), 1);
    for (int c = 0; c < TallyModel::kColumns; ++c)
        EXPECT_EQ(tally.cell(0, c), "0");
    EXPECT_EQ(tally.ownLabel(TallyModel::LongestWord), "None");
    EXPECT_EQ(tally.ownLabel(TallyModel::BestRound), "0");
    EXPECT_EQ(tally.ownLabel(TallyModel::Games), "0");
}

TEST(TallyModel, AThirdPlayersWinCountsAsNeitherForTheOtherOpponent)
{
    TallyModel tally;
    tally.startTallying("B");
    tally.startTallying("C");
    tally.addgame("C", { "B", "C" });
    EXPECT_EQ(tally.number(0, TallyModel::Games), 1);
    EXPECT_EQ(tally.number(0, TallyModel::Wins), 0);
    // B: a game together, neither won (total and session).
    EXPECT_EQ(tally.number(1, 1), 1);
    EXPECT_EQ(tally.number(1, 5), 1);
    EXPECT_EQ(tally.number(1, 4), 1);
    EXPECT_EQ(tally.number(1, 8), 1);
    EXPECT_EQ(tally.number(1, 2), 0);
    // C: a game together, C won.
    EXPECT_EQ(tally.number(2, 1), 1);
    EXPECT_EQ(tally.number(2, 2), 1);
    EXPECT_EQ(tally.number(2, 6), 1);
    EXPECT_EQ(tally.number(2, 4), 0);

    tally.addgame("addtomine", { "B" });
    EXPECT_EQ(tally.number(0, TallyModel::Games), 2);
    EXPECT_EQ(tally.number(0, TallyModel::Wins), 1);
    EXPECT_EQ(tally.number(1, 3), 1);
    EXPECT_EQ(tally.number(1, 7), 1);
    EXPECT_EQ(tally.number(2, 1), 1); // C was not in that game
}

TEST(TallyModel, OnlyLongerWordsAndHigherScoresBecomeRecords)
{
    TallyModel tally;
    tally.addword("CAT", 3, TallyModel::LongestWord);
    EXPECT_EQ(tally.ownLabel(TallyModel::LongestWord), "CAT (3)");
    EXPECT_EQ(tally.threshold(TallyModel::LongestWord), 3);
    tally.addword("2 mins-15 Words", 120, TallyModel::BestRound);
    EXPECT_EQ(tally.ownLabel(TallyModel::BestRound), "2 mins-15 Words (120)");
    EXPECT_EQ(tally.cell(0, 9), "120");
}

TEST(TallyModel, LoadingPreparesThresholdsAndZeroesTheSession)
{
    TallyModel tally;
    tally.loadtally({ row({ "0", "4", "2", "QUARTZ", "6", "ZAX", "42", "77", "2 mins-9 Words", "88" }),
        row({ "Ann", "10", "3", "5", "2", "1", "1", "0", "0", "0" }) });
    EXPECT_EQ(tally.threshold(TallyModel::LongestWord), 6);
    EXPECT_EQ(tally.threshold(TallyModel::BestWord), 42);
    EXPECT_EQ(tally.threshold(TallyModel::BestRound), 88);
    EXPECT_EQ(tally.ownLabel(TallyModel::BestWord), "ZAX (42)");
    EXPECT_EQ(tally.talliedNames(), std::vector<std::string> { "Ann" });
    EXPECT_EQ(tally.cell(1, 1), "10");
    for (int c = 5; c <= 8; ++c)
        EXPECT_EQ(tally.cell(1, c), "0");
    EXPECT_EQ(tally.talliedIndex("ANN"), 0);

    // A first run saved with zeros everywhere shows "0 (0)" after a restart.
    TallyModel fresh;
    fresh.loadtally({ row({ "0", "0", "0", "0", "0", "0", "0", "0", "0", "0" }) });
    EXPECT_EQ(fresh.ownLabel(TallyModel::LongestWord), "0 (0)");
    EXPECT_EQ(fresh.ownLabel(TallyModel::BestRound), "0 (0)");
}

TEST(TallyModel, DamagedCellsCountAsZero)
{
    TallyModel tally;
    tally.loadtally({ row({ "0", "lots", "", "X", "big", "Y", "7x", "-", "Z", "" }),
        row({ "Bob", "?", "", "", "", "", "", "", "", "" }) });
    EXPECT_EQ(tally.threshold(TallyModel::LongestWord), 0);
    EXPECT_EQ(tally.addit(TallyModel::Games, 0), 1);
    tally.addgame("Bob", { "Bob" });
    EXPECT_EQ(tally.cell(1, 1), "1");
    EXPECT_EQ(tally.cell(1, 2), "1");
    EXPECT_EQ(tally.cell(1, 3), "0"); // empty cells are filled with "0"
}

TEST(TallyModel, CountsAtTheLargestNumberStayThere)
{
    TallyModel tally;
    const char* top = "9223372036854775807";
    tally.loadtally({ row({ "0", top, "", "", "", "", "", "", "", "" }),
        row({ "Bob", top, "0", "5", "", "", "", "", "", "" }) });
    EXPECT_EQ(tally.addit(TallyModel::Games, 0), INT64_MAX);
    tally.addgame("addtomine", { "Bob" });
    EXPECT_EQ(tally.cell(0, TallyModel::Games), top);
    EXPECT_EQ(tally.cell(1, TallyModel::Together), top);
    EXPECT_EQ(tally.cell(1, TallyModel::YouWon), "6");
}

TEST(TallyModel, TallyingStartsOnceAndRowsCanBeRemoved)
{
    TallyModel tally;
    tally.startTallying("Ann");
    tally.startTallying("ann"); // already tallied, whatever the case
    tally.startTallying("Bob");
    EXPECT_EQ(tally.rowCount(), 3);
    tally.moverow(1);
    EXPECT_EQ(tally.talliedNames(), std::vector<std::string> { "Bob" });
    tally.moverow(0); // the own record is never removed
    tally.moverow(7);
    EXPECT_EQ(tally.rowCount(), 2);
}

TEST(TallyModel, ResetClearsEverything)
{
    TallyModel tally;
    tally.addword("QUARTZ", 6, TallyModel::LongestWord);
    tally.addtomine(TallyModel::Games);
    tally.startTallying("Ann");
    tally.reset();
    EXPECT_EQ(tally.rowCount(), 1);
    EXPECT_EQ(tally.threshold(TallyModel::LongestWord), 0);
    EXPECT_EQ(tally.ownLabel(TallyModel::LongestWord), "N/A");
    EXPECT_EQ(tally.ownLabel(TallyModel::Games), "0");
    // With opponents present every cell of the own row became "0".
    EXPECT_EQ(tally.cell(0, 3), "0");
    tally.addword("CAT", 3, TallyModel::LongestWord);
    EXPECT_EQ(tally.ownLabel(TallyModel::LongestWord), "CAT (3)");
}
