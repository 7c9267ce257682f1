// One round of a planner on a virtual clock, scored as the server scores it.
#include "round_simulation.h"

#include "bot_limits.h"
#include "word_scoring.h"

SimulatedRound simulateRound(PlayPlanner& planner, const Board& dealt, int seconds)
{
    constexpr int kMsPerSecond = 1000;
    planner.startRound(withPlainBook(dealt));
    SimulatedRound round;
    for (std::int64_t now = botlimits::kTickMs;; now += botlimits::kTickMs) {
        // The clock shows the whole seconds left, as a window's clock does.
        const int secondsLeft = seconds - int(now / kMsPerSecond);
        if (secondsLeft <= 0)
            break;
        const std::optional<FoundWord> word = planner.next(now, secondsLeft);
        if (!word)
            continue;
        SimulatedWord played { std::string(word->word()), now, secondsLeft };
        played.frequencyClass = word->frequencyClass;
        const std::vector<TileRef> tiles = word->path.tiles();
        if (const std::optional<BuiltWord> built = buildWord(dealt, tiles)) {
            played.spelt = built->word == played.word;
            played.score = finalWordScore(*built);
        }
        round.points += played.spelt ? played.score : 0;
        round.words.push_back(std::move(played));
    }
    planner.endRound();
    return round;
}
