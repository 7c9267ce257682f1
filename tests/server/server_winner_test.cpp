// Who wins a game: only seats still held count, teams are named as they stand.
#include "server_winner.h"

#include <gtest/gtest.h>

namespace {

using Scores = std::array<int64_t, kSeats + 1>;
using Held = std::array<bool, kSeats + 1>;

constexpr Held kAllHeld { false, true, true, true, true };

} // namespace

TEST(GameWinner, TheBestHeldSeatWinsAlone)
{
    const GameOutcome outcome = decideGame(Scores { 0, 5, 9, 3, 0 }, kAllHeld, false);
    EXPECT_EQ(outcome.kind, GameOutcome::Won);
    EXPECT_EQ(outcome.seat, 2);
    EXPECT_EQ(outcome.partner, 0);
}

TEST(GameWinner, ALevelTopOrNoScoreIsUndecided)
{
    EXPECT_EQ(decideGame(Scores { 0, 9, 9, 3, 0 }, kAllHeld, false).kind, GameOutcome::Undecided);
    EXPECT_EQ(decideGame(Scores { 0, 0, 0, 0, 0 }, kAllHeld, false).kind, GameOutcome::Undecided);
    EXPECT_EQ(decideGame(Scores { 0, 0, 0, 0, 0 }, kAllHeld, true).kind, GameOutcome::Undecided);
}

TEST(GameWinner, ASeatNobodyHoldsNeverWinsNorTies)
{
    // Seat 2 left with the best score: seat 1 leads the seats still held.
    const GameOutcome outcome
        = decideGame(Scores { 0, 5, 9, 3, 0 }, Held { false, true, false, true, true }, false);
    EXPECT_EQ(outcome.kind, GameOutcome::Won);
    EXPECT_EQ(outcome.seat, 1);
    // A level score left behind does not hold the game up.
    EXPECT_EQ(decideGame(Scores { 0, 9, 9, 0, 0 }, Held { false, true, false, true, true }, false).seat, 1);
    // Nobody held above zero is undecided, as ever.
    EXPECT_EQ(decideGame(Scores { 0, 0, 9, 0, 0 }, Held { false, true, false, false, false }, false).kind,
        GameOutcome::Undecided);
}

TEST(GameWinner, TeamsAreNamedByTheSeatsStillHeld)
{
    // Seats 2 and 4 lead; both held.
    GameOutcome outcome = decideGame(Scores { 0, 3, 8, 3, 8 }, kAllHeld, true);
    EXPECT_EQ(outcome.kind, GameOutcome::Won);
    EXPECT_EQ(outcome.seat, 2);
    EXPECT_EQ(outcome.partner, 4);
    // Seat 2 left: seat 4 carries the team's win alone.
    outcome = decideGame(Scores { 0, 3, 8, 3, 8 }, Held { false, true, false, true, true }, true);
    EXPECT_EQ(outcome.seat, 4);
    EXPECT_EQ(outcome.partner, 0);
    // Seat 4 left: seat 2 alone.
    outcome = decideGame(Scores { 0, 3, 8, 3, 8 }, Held { false, true, true, true, false }, true);
    EXPECT_EQ(outcome.seat, 2);
    EXPECT_EQ(outcome.partner, 0);
    // Both left: the other team wins.
    outcome = decideGame(Scores { 0, 3, 8, 3, 8 }, Held { false, true, false, true, false }, true);
    EXPECT_EQ(outcome.seat, 1);
    EXPECT_EQ(outcome.partner, 3);
    // Level teams go to the lower seat.
    outcome = decideGame(Scores { 0, 8, 8, 8, 8 }, kAllHeld, true);
    EXPECT_EQ(outcome.seat, 1);
    EXPECT_EQ(outcome.partner, 3);
}

TEST(GameWinner, NobodyHoldingASeatAbandonsTheGame)
{
    EXPECT_EQ(decideGame(Scores { 0, 3, 8, 3, 8 }, Held {}, true).kind, GameOutcome::Abandoned);
    EXPECT_EQ(decideGame(Scores { 0, 0, 0, 0, 0 }, Held {}, false).kind, GameOutcome::Abandoned);
}
