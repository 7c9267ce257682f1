// The levels measured: every level plays one round on each of the same dealt
// boards, with the planner the live player uses, on a virtual clock. The
// calibration bench prints these figures and the tests hold the levels to them.
#pragma once

#include "board.h"
#include "bot_level.h"
#include "lexicon.h"

#include <cstdint>
#include <vector>

// The calibration's boards, rounds and seed, as docs/opponents.md reports them.
struct CalibrationSetup {
    int rounds = 200;
    int seconds = 120;
    std::uint32_t seed = 20240601;
};

// `rounds` boards dealt by the server's own deal from a generator seeded `seed`.
std::vector<Board> calibrationBoards(int rounds, std::uint32_t seed);

// One level's rounds, one per board, in board order.
struct LevelRounds {
    std::vector<double> points;
    std::vector<double> words; // words sent
    std::size_t wordsSent = 0;
    std::size_t commonWordsSent = 0; // of a common frequency class
    bool everyChainSpelt = true;

    double meanPoints() const;
    // The share of the words sent that are common, 0 to 1.
    double commonShare() const;
};

// One round of `seconds` on every board. The planner is seeded with `seed`
// plus the level's number, so one level's figures do not move when another
// level's parameters change.
LevelRounds playLevelRounds(const Lexicon& lexicon, const BotLevel& level, const std::vector<Board>& boards,
    int seconds, std::uint32_t seed);
