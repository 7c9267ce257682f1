// The levels on the calibration's boards, the same rounds docs/opponents.md
// reports: each keeps the strength it is tuned to, the strong ones play
// mostly common words as a strong human does, and a higher level scores more.
#include "bot_level.h"
#include "level_calibration.h"

#include <gtest/gtest.h>

namespace {

// Every level's rounds, played once for all the tests here.
const std::vector<LevelRounds>& calibrated()
{
    static const std::vector<LevelRounds> levels = [] {
        const CalibrationSetup setup;
        const std::vector<Board> boards = calibrationBoards(setup.rounds, setup.seed);
        std::vector<LevelRounds> played;
        for (const BotLevel& level : kBotLevels)
            played.push_back(playLevelRounds(embeddedLexicon(), level, boards, setup.seconds, setup.seed));
        return played;
    }();
    return levels;
}

} // namespace

TEST(LevelCalibration, EachLevelScoresWithinFifteenPercentOfItsTunedPoints)
{
    for (const BotLevel& level : kBotLevels) {
        const LevelRounds& rounds = calibrated()[std::size_t(level.number - 1)];
        EXPECT_TRUE(rounds.everyChainSpelt) << level.name;
        EXPECT_NEAR(rounds.meanPoints(), level.pointsPerRound, 0.15 * level.pointsPerRound) << level.name;
    }
}

TEST(LevelCalibration, ExpertAndMasterPlayMostlyCommonWords)
{
    for (const int number : { 4, 5 }) {
        const LevelRounds& rounds = calibrated()[std::size_t(number - 1)];
        ASSERT_GT(rounds.wordsSent, 1000u);
        EXPECT_GE(rounds.commonShare(), 0.70) << kBotLevels[std::size_t(number - 1)].name;
    }
}

TEST(LevelCalibration, AHigherLevelScoresMore)
{
    for (std::size_t i = 1; i < kBotLevels.size(); ++i)
        EXPECT_GT(calibrated()[i].meanPoints(), calibrated()[i - 1].meanPoints()) << kBotLevels[i].name;
}
