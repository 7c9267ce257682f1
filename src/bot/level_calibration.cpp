// Every level on the same dealt boards, counted as the calibration reports it.
#include "level_calibration.h"

#include "play_planner.h"
#include "round_simulation.h"

#include <algorithm>
#include <numeric>
#include <random>

std::vector<Board> calibrationBoards(int rounds, std::uint32_t seed)
{
    std::mt19937 deal(seed);
    std::vector<Board> boards(std::size_t(std::max(0, rounds)));
    for (Board& board : boards)
        dealBoard(board, deal);
    return boards;
}

double LevelRounds::meanPoints() const
{
    return points.empty() ? 0 : std::accumulate(points.begin(), points.end(), 0.0) / double(points.size());
}

double LevelRounds::commonShare() const
{
    return wordsSent == 0 ? 0 : double(commonWordsSent) / double(wordsSent);
}

LevelRounds playLevelRounds(const Lexicon& lexicon, const BotLevel& level, const std::vector<Board>& boards,
    int seconds, std::uint32_t seed)
{
    PlayPlanner planner(lexicon, level, seed + std::uint32_t(level.number));
    LevelRounds rounds;
    for (const Board& board : boards) {
        const SimulatedRound round = simulateRound(planner, board, seconds);
        for (const SimulatedWord& word : round.words) {
            rounds.everyChainSpelt = rounds.everyChainSpelt && word.spelt;
            rounds.commonWordsSent += isCommonFrequencyClass(word.frequencyClass) ? 1 : 0;
        }
        rounds.wordsSent += round.words.size();
        rounds.points.push_back(double(round.points));
        rounds.words.push_back(double(round.words.size()));
    }
    return rounds;
}
