// Who wins a game that has played its rounds: only seats somebody still holds
// can win, so a player who left is never named and a seat's score left behind
// never decides the game.
#pragma once

#include "game_facts.h"

#include <array>
#include <cstdint>

struct GameOutcome {
    enum Kind {
        Undecided, // nobody held leads alone with a score above 0: play on
        Won, // `seat` wins, with `partner` when a held partner shares the win
        Abandoned, // nobody holds a seat: the game ends without a winner
    };
    Kind kind = Undecided;
    int seat = 0;
    int partner = 0; // 0 when the winner is named alone
};

// scores and held are indexed by seat, 1 to 4 (index 0 is unused). Partners
// hold equal scores in a team game, so level teams go to the lower seat, as
// a lone leader among seats playing alone must lead by a point.
GameOutcome decideGame(
    const std::array<int64_t, kSeats + 1>& scores, const std::array<bool, kSeats + 1>& held, bool teamGame);
