// The computer player's paces and bounds, each with the reason for its value.
#pragma once

#include <cstdint>

namespace botlimits {

// One tick of the player's clock, in milliseconds of game time: fine enough
// that a word is never held back noticeably past its moment, coarse enough
// that a player waiting for its next word costs four wake-ups a second.
constexpr int kTickMs = 250;

// No word goes out once the round's clock shows this many seconds or fewer,
// so no word is still on its way when the server's clock reaches 0:00 (the
// server's corrections can put our clock a second out).
constexpr int kQuietSecondsAtEnd = 3;

// Before its first word a player reads the board for at least this long, so
// no word ever comes the moment a board appears.
constexpr std::int64_t kLeastReadingMs = 2500;

// A think time is drawn from an exponential distribution; a draw past this
// many means is cut back, so one unlucky draw never silences a player for a
// whole round.
constexpr double kLongestThinkInMeans = 4.0;

} // namespace botlimits
