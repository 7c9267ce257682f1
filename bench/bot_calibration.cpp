// Calibration of the computer players' levels. Every level plays the same
// rounds on boards dealt by the server's own deal (a seeded generator), with
// the planner the live player uses, on a virtual clock: a tick every quarter
// second of game time, the round's clock counting down from the round's
// length, nothing sent in its last seconds. Each word is scored as the server
// scores it, with the spell book's real kind; the board's total is every word
// the finder finds, scored the same way. Prints, per level, the points per
// round (mean, spread, range), the words per round, the share of the board's
// total, the share of its words from the common frequency classes, how often
// it beats the level below on the same board, the points it is tuned to and
// how far it is from them, and the CPU time of planning a round beside
// solving the board alone.
//
//   bot_calibration [--rounds N] [--seconds N] [--seed N]
#include "bot_level.h"
#include "level_calibration.h"
#include "lexicon.h"
#include "word_finder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include <time.h>

namespace {

using Options = CalibrationSetup;

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const long value = std::strtol(argv[i + 1], nullptr, 10);
        if (std::strcmp(argv[i], "--rounds") == 0 && value > 0)
            options.rounds = int(value);
        else if (std::strcmp(argv[i], "--seconds") == 0 && value > 0)
            options.seconds = int(value);
        else if (std::strcmp(argv[i], "--seed") == 0 && value >= 0)
            options.seed = std::uint32_t(value);
        else {
            std::fprintf(stderr, "usage: bot_calibration [--rounds N] [--seconds N] [--seed N]\n");
            std::exit(2);
        }
    }
    return options;
}

// CPU time of this thread: other programs on the machine do not count.
double threadMicros()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e6 + double(now.tv_nsec) / 1e3;
}

struct Summary {
    double mean = 0;
    double spread = 0; // standard deviation
    double low = 0;
    double high = 0;
};

Summary summarise(const std::vector<double>& values)
{
    Summary s;
    if (values.empty())
        return s;
    s.mean = std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
    double squares = 0;
    for (double v : values)
        squares += (v - s.mean) * (v - s.mean);
    s.spread = values.size() > 1 ? std::sqrt(squares / double(values.size() - 1)) : 0;
    s.low = *std::min_element(values.begin(), values.end());
    s.high = *std::max_element(values.begin(), values.end());
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv);
    const Lexicon& lexicon = embeddedLexicon();

    const std::vector<Board> boards = calibrationBoards(options.rounds, options.seed);
    std::vector<double> totals;
    WordFinder finder(lexicon);
    double solveMicros = 0;
    for (const Board& board : boards) {
        const double start = threadMicros();
        const std::vector<FoundWord>& found = finder.solve(board);
        solveMicros += threadMicros() - start;
        std::int64_t total = 0;
        for (const FoundWord& word : found)
            total += word.score;
        totals.push_back(double(total));
    }
    const Summary boardTotal = summarise(totals);

    std::printf("# bot_calibration --rounds %d --seconds %d --seed %u\n", options.rounds, options.seconds,
        options.seed);
    std::printf("# %d boards from dealBoard (std::mt19937 seeded %u), one round of %d s each per level;\n"
                "# board total (every word the finder finds, real spell book): mean %.0f, spread %.0f\n\n",
        options.rounds, options.seed, options.seconds, boardTotal.mean, boardTotal.spread);
    std::printf("%-3s %-9s %5s %13s %9s %13s %7s %9s %7s %13s %7s %7s\n", "lvl", "name", "ceil",
        "points mean", "spread", "range", "words", "share", "common", "beats below", "tuned", "off");

    std::vector<std::vector<double>> points(kBotLevels.size());
    double planMicros = 0;
    for (const BotLevel& level : kBotLevels) {
        const double start = threadMicros();
        const LevelRounds rounds = playLevelRounds(lexicon, level, boards, options.seconds, options.seed);
        planMicros += threadMicros() - start;
        if (!rounds.everyChainSpelt) {
            std::fprintf(stderr, "a planned chain of %s does not spell its word\n", level.name);
            return 1;
        }
        std::vector<double>& mine = points[std::size_t(level.number - 1)];
        mine = rounds.points;
        std::vector<double> shares;
        for (std::size_t r = 0; r < boards.size(); ++r)
            shares.push_back(totals[r] > 0 ? mine[r] / totals[r] : 0);
        const Summary p = summarise(mine);
        const Summary w = summarise(rounds.words);
        const Summary s = summarise(shares);
        std::string beats = "-";
        if (level.number > 1) {
            const std::vector<double>& below = points[std::size_t(level.number - 2)];
            int wins = 0;
            for (std::size_t r = 0; r < mine.size(); ++r)
                wins += mine[r] > below[r] ? 1 : 0;
            beats = std::to_string(wins * 100 / int(mine.size())) + "%";
        }
        std::printf("%-3d %-9s %5d %13.1f %9.1f %6.0f-%-6.0f %7.1f %8.2f%% %6.0f%% %13s %7.1f %+6.1f%%\n",
            level.number, level.name, level.wordsPerMinute, p.mean, p.spread, p.low, p.high, w.mean,
            100.0 * s.mean, 100.0 * rounds.commonShare(), beats.c_str(), level.pointsPerRound,
            100.0 * (p.mean / level.pointsPerRound - 1.0));
    }
    const double plans = double(boards.size() * kBotLevels.size());
    std::printf("\nplanning and playing a round (us, CPU)   %8.1f\n", planMicros / plans);
    std::printf("solving its board alone (us, CPU)        %8.1f\n", solveMicros / double(boards.size()));
    std::printf("ratio                                    %8.2f\n",
        (planMicros / plans) / (solveMicros / double(boards.size())));
    return 0;
}
