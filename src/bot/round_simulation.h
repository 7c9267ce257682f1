// One round played by a planner on a virtual clock, without a connection: the
// calibration measures the levels with it and tests check the timing on it.
// The clock runs as the live player's does, a tick every quarter second of
// game time, and each word is scored as the server scores it.
#pragma once

#include "play_planner.h"

#include <cstdint>
#include <string>
#include <vector>

struct SimulatedWord {
    std::string word;
    std::int64_t atMs = 0; // since the round began
    int secondsLeft = 0; // on the round's clock when it went out
    std::int64_t score = 0; // as the server scores it on the dealt board
    bool spelt = false; // its chain spells it on the dealt board
    int frequencyClass = kUnknownFrequencyClass; // the word's, as the finder gave it
};

struct SimulatedRound {
    std::vector<SimulatedWord> words;
    std::int64_t points = 0;
};

// Plays one round of `seconds` on the board as dealt (the spell book's real
// kind in the centre); the planner sees it with the book as a plain cell.
SimulatedRound simulateRound(PlayPlanner& planner, const Board& dealt, int seconds);
