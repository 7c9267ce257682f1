// The five levels' parameters, set by the calibration in bench/bot_calibration.cpp
// (docs/opponents.md has its table), and finding a level by number or name.
#include "bot_level.h"

// clang-format off
const std::array<BotLevel, kBotLevelCount> kBotLevels { {
    //  n  name        wpm  extra  read  class  length spread potions
    {   1, "Beginner",   4,  10.0,  9.0,   14,   3.0,  0.8,   0.0 },
    {   2, "Casual",     6,   6.0,  7.0,   11,   4.0,  1.0,   0.0 },
    {   3, "Skilled",    9,   3.5,  5.0,    8,   5.0,  1.2,   0.5 },
    {   4, "Expert",    13,   2.0,  4.0,    5,   6.0,  1.5,   1.0 },
    {   5, "Master",    18,   1.0,  3.0,    0,   7.0,  2.0,   2.0 },
} };
// clang-format on

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
