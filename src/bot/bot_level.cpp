// The five levels' parameters, set by the calibration in bench/bot_calibration.cpp
// (docs/opponents.md has its table), and finding a level by number or name.
#include "bot_level.h"

#include <cmath>

// clang-format off
const std::array<BotLevel, kBotLevelCount> kBotLevels { {
    //  n  name        wpm  extra  read  class  half  length spread potions  points
    {   1, "Beginner",   4,  10.0,  9.0,   14,  14.0,   3.0,  0.8,   0.0,     30.8 },
    {   2, "Casual",     6,   6.0,  7.0,   11,  11.0,   4.0,  1.0,   0.0,     62.8 },
    {   3, "Skilled",    9,   3.5,  5.0,    8,   8.0,   5.0,  1.2,   0.5,    121.6 },
    {   4, "Expert",    13,   2.0,  4.0,    5,   8.0,   6.0,  1.5,   2.0,    232.8 },
    {   5, "Master",    18,   1.0,  3.0,    0,   7.5,   9.0,  2.0,   5.0,    502.0 },
} };
// clang-format on

namespace {

// How many times better the odds that a player knows a word are than for a
// word of the class below, half as frequent. Steep: a strong player knows
// nearly every common word, its knowledge thins out within a few rarer
// classes, and the list's oddities, which the subtitles never use, almost
// never come to mind.
constexpr double kKnowingOddsPerClass = 4.0;

} // namespace

double knowingChance(const BotLevel& level, int frequencyClass)
{
    if (frequencyClass < level.rarestKnownClass)
        return 0;
    return 1.0 / (1.0 + std::pow(kKnowingOddsPerClass, level.halfKnownClass - double(frequencyClass)));
}

std::optional<BotLevel> botLevel(int number)
{
    if (number < 1 || number > kBotLevelCount)
        return std::nullopt;
    return kBotLevels[std::size_t(number - 1)];
}

std::optional<BotLevel> botLevelFrom(const QString& text)
{
    const QString wanted = text.trimmed();
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    if (isNumber)
        return botLevel(number);
    for (const BotLevel& level : kBotLevels)
        if (wanted.compare(QLatin1String(level.name), Qt::CaseInsensitive) == 0)
            return level;
    return std::nullopt;
}
