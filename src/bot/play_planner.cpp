// The computer player's choice of words and its human timing.
#include "play_planner.h"

#include "bot_limits.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMsPerMinute = 60000.0;

bool isPotion(int32_t kind) { return kind == BonusYellowPotion || kind == BonusRedPotion; }

} // namespace

Board withPlainBook(Board board)
{
    board.bonus[kCentreColumn][kCentreRow] = BonusNone;
    return board;
}

PlayPlanner::PlayPlanner(const Lexicon& lexicon, const BotLevel& level, std::uint32_t seed)
    : level_(level)
    , finder_(lexicon)
    , random_(seed)
{
}

// Our own draw from the generator's 32 bits rather than a standard
// distribution, whose results differ between libraries: a seed then gives the
// same play everywhere, and the calibration table can be reproduced.
double PlayPlanner::unitRandom() { return (double(random_()) + 0.5) / 4294967296.0; }

std::int64_t PlayPlanner::leastGapMs() const
{
    return std::int64_t(std::ceil(kMsPerMinute / std::max(1, level_.wordsPerMinute)));
}

std::int64_t PlayPlanner::thinkMs()
{
    const double mean = level_.extraThinkSeconds * 1000.0;
    const double extra = std::min(-mean * std::log(unitRandom()), mean * botlimits::kLongestThinkInMeans);
    return leastGapMs() + std::int64_t(extra);
}

double PlayPlanner::weightOf(const FoundWord& word, const Board& board) const
{
    const double away = (double(word.path.length) - level_.preferredLength) / level_.lengthSpread;
    double weight = std::exp(-0.5 * away * away);
    int potions = 0;
    for (const CellIndex cell : word.path.view()) {
        const TileRef tile = tileOf(cell);
        potions += isPotion(board.bonus[tile.x][tile.y]) ? 1 : 0;
    }
    return weight * (1.0 + level_.potionEye * potions) * knowingChance(level_, word.frequencyClass);
}

void PlayPlanner::startRound(const Board& board)
{
    const Board seen = withPlainBook(board);
    const std::vector<FoundWord>& found = finder_.solve(seen);
    // A weighted shuffle: each known word gets the key log(u) / weight and the
    // largest keys come first, so a word twice as attractive tends to come
    // earlier, yet any known word may come to mind at any time.
    keys_.clear();
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (found[i].frequencyClass < level_.rarestKnownClass)
            continue;
        const double weight = weightOf(found[i], seen);
        if (weight > 0)
            keys_.emplace_back(std::log(unitRandom()) / weight, i);
    }
    std::sort(keys_.begin(), keys_.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    order_.clear();
    order_.reserve(keys_.size());
    for (const auto& [key, index] : keys_)
        order_.push_back(found[index]);
    sent_ = 0;
    const double reading = level_.readingSeconds * 1000.0 * (0.5 + unitRandom());
    nextDueMs_ = std::max(botlimits::kLeastReadingMs, std::int64_t(reading));
    inRound_ = true;
}

void PlayPlanner::endRound()
{
    inRound_ = false;
    order_.clear();
    sent_ = 0;
}

std::optional<FoundWord> PlayPlanner::next(std::int64_t nowMs, int secondsLeft)
{
    if (!inRound_ || secondsLeft <= botlimits::kQuietSecondsAtEnd || nowMs < nextDueMs_
        || sent_ >= order_.size())
        return std::nullopt;
    const FoundWord word = order_[sent_++];
    // Timed from this word, not from when it was due: a late tick never lets
    // two words come closer than the level allows.
    nextDueMs_ = nowMs + thinkMs();
    return word;
}
