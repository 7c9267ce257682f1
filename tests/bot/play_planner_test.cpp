// The computer player's decisions without a connection: what it sends is on
// the board and known to its level, when it sends keeps a human pace, it never
// depends on the spell book's hidden kind, and a stronger level scores more.
#include "bot_limits.h"
#include "lexicon.h"
#include "play_planner.h"
#include "round_simulation.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

constexpr int kTwoMinutes = 120;

Board dealt(std::uint32_t seed)
{
    std::mt19937 deal(seed);
    Board board;
    dealBoard(board, deal);
    return board;
}

// At most `ceiling` words in any minute of the round: every word starts a
// window of sixty seconds that must hold no more.
void expectCeiling(const SimulatedRound& round, int ceiling)
{
    for (std::size_t i = 0; i < round.words.size(); ++i) {
        int inWindow = 0;
        for (std::size_t j = i; j < round.words.size() && round.words[j].atMs < round.words[i].atMs + 60000;
             ++j)
            ++inWindow;
        EXPECT_LE(inWindow, ceiling) << "from " << round.words[i].atMs << " ms";
    }
}

} // namespace

TEST(PlayPlanner, EveryWordIsOnTheBoardKnownToItsLevelAndSentOnce)
{
    const Lexicon& lexicon = embeddedLexicon();
    for (const BotLevel& level : kBotLevels) {
        PlayPlanner planner(lexicon, level, 11);
        for (std::uint32_t seed = 1; seed <= 5; ++seed) {
            const SimulatedRound round = simulateRound(planner, dealt(seed), kTwoMinutes);
            ASSERT_FALSE(round.words.empty()) << level.name;
            std::set<std::string> seen;
            for (const SimulatedWord& word : round.words) {
                EXPECT_TRUE(word.spelt) << word.word;
                EXPECT_TRUE(lexicon.find(word.word).has_value()) << word.word;
                EXPECT_GE(lexicon.frequencyClass(*lexicon.find(word.word)), level.rarestKnownClass)
                    << word.word;
                EXPECT_TRUE(seen.insert(word.word).second) << "sent twice: " << word.word;
            }
        }
    }
}

TEST(PlayPlanner, WordsComeAtAHumanPaceNeverFasterThanTheCeiling)
{
    const Lexicon& lexicon = embeddedLexicon();
    for (const BotLevel& level : kBotLevels) {
        PlayPlanner planner(lexicon, level, 5);
        // Long rounds, so the ceiling and not the round's end bounds the count.
        for (std::uint32_t seed = 20; seed < 24; ++seed) {
            const SimulatedRound round = simulateRound(planner, dealt(seed), 5 * 60);
            ASSERT_GE(round.words.size(), 2u) << level.name;
            // The board is read first: no word the moment it appears.
            EXPECT_GE(round.words.front().atMs, botlimits::kLeastReadingMs) << level.name;
            for (std::size_t i = 1; i < round.words.size(); ++i)
                EXPECT_GE(round.words[i].atMs - round.words[i - 1].atMs, planner.leastGapMs()) << level.name;
            expectCeiling(round, level.wordsPerMinute);
            // Spread over the round rather than bunched at its start.
            EXPECT_GT(round.words.back().atMs, 4 * 60 * 1000) << level.name;
        }
    }
}

TEST(PlayPlanner, NothingGoesOutInTheRoundsLastSeconds)
{
    PlayPlanner planner(embeddedLexicon(), kBotLevels[4], 3);
    planner.startRound(dealt(3));
    // Every word is due long ago, yet the clock says the round is about to end.
    EXPECT_FALSE(planner.next(600000, botlimits::kQuietSecondsAtEnd));
    EXPECT_FALSE(planner.next(600000, 0));
    EXPECT_TRUE(planner.next(600000, botlimits::kQuietSecondsAtEnd + 1));
    // Nor after the round is over.
    planner.endRound();
    EXPECT_FALSE(planner.next(1200000, 60));

    for (std::uint32_t seed = 30; seed < 40; ++seed)
        for (const SimulatedWord& word : simulateRound(planner, dealt(seed), 60).words)
            EXPECT_GT(word.secondsLeft, botlimits::kQuietSecondsAtEnd);
}

TEST(PlayPlanner, TheHiddenSpellBookChangesNoChoice)
{
    Board board = dealt(8);
    std::vector<std::string> first;
    for (BonusKind book :
        { BonusNone, BonusYellowPotion, BonusRedPotion, BonusDoubleLetter, BonusTripleLetter }) {
        board.bonus[kCentreColumn][kCentreRow] = book;
        PlayPlanner planner(embeddedLexicon(), kBotLevels[4], 77);
        std::vector<std::string> words;
        for (const SimulatedWord& word : simulateRound(planner, board, kTwoMinutes).words)
            words.push_back(word.word);
        if (first.empty())
            first = words;
        EXPECT_EQ(words, first) << "book " << book;
    }
    EXPECT_FALSE(first.empty());
}

TEST(PlayPlanner, ASeedRepeatsAGameAndAnotherSeedPlaysAnother)
{
    const auto play = [](std::uint32_t seed) {
        PlayPlanner planner(embeddedLexicon(), kBotLevels[2], seed);
        std::vector<std::pair<std::string, std::int64_t>> words;
        for (const SimulatedWord& word : simulateRound(planner, dealt(4), kTwoMinutes).words)
            words.emplace_back(word.word, word.atMs);
        return words;
    };
    EXPECT_EQ(play(1), play(1));
    EXPECT_NE(play(1), play(2));
}

TEST(PlayPlanner, EachLevelOutscoresTheOneBelowOverManyRounds)
{
    constexpr int kRounds = 40;
    std::vector<std::int64_t> totals;
    for (const BotLevel& level : kBotLevels) {
        PlayPlanner planner(embeddedLexicon(), level, 1000 + std::uint32_t(level.number));
        std::int64_t total = 0;
        for (std::uint32_t seed = 0; seed < kRounds; ++seed)
            total += simulateRound(planner, dealt(500 + seed), kTwoMinutes).points;
        totals.push_back(total);
    }
    for (std::size_t i = 1; i < totals.size(); ++i)
        EXPECT_GT(totals[i], totals[i - 1] * 3 / 2)
            << kBotLevels[i].name << " against " << kBotLevels[i - 1].name;
    // The weakest stays beatable by a beginner.
    EXPECT_LT(totals.front() / kRounds, 60);
}
