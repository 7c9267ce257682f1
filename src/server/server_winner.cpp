// Who wins a game: the best score among the seats still held.
#include "server_winner.h"

GameOutcome decideGame(
    const std::array<int64_t, kSeats + 1>& scores, const std::array<bool, kSeats + 1>& held, bool teamGame)
{
    int leader = 0;
    for (int n = 1; n <= kSeats; ++n)
        if (held[std::size_t(n)] && (leader == 0 || scores[std::size_t(n)] > scores[std::size_t(leader)]))
            leader = n;
    if (leader == 0)
        return GameOutcome { GameOutcome::Abandoned, 0, 0 };
    const int64_t best = scores[std::size_t(leader)];
    if (best <= 0)
        return GameOutcome {};
    if (!teamGame)
        for (int n = 1; n <= kSeats; ++n)
            if (n != leader && held[std::size_t(n)] && scores[std::size_t(n)] == best)
                return GameOutcome {};
    const int partner = teamGame && held[std::size_t(partnerOf(leader))] ? partnerOf(leader) : 0;
    return GameOutcome { GameOutcome::Won, leader, partner };
}
