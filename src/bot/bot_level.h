// The five strengths of computer player, from Beginner to Master: how fast
// each finds words, which words it knows and which it looks for first.
#pragma once

#include <QString>

#include <array>
#include <optional>

struct BotLevel {
    int number = 1; // 1 (weakest) to 5
    const char* name = "";
    // A ceiling, never exceeded: no two words closer than 60 / wordsPerMinute
    // seconds, so no minute of play holds more.
    int wordsPerMinute = 1;
    // The mean think time beyond that least gap, drawn anew for every word.
    double extraThinkSeconds = 0;
    // The mean time spent reading a new board before the first word.
    double readingSeconds = 0;
    // Words of this frequency class and commoner are known; rarer ones never
    // come to mind (0 knows every word of the list).
    int rarestKnownClass = 0;
    // Of the words it may know, the frequency class of which it knows half:
    // each class commoner makes the odds that it knows a word four times
    // better, each rarer four times worse, so it finds common words first and
    // knows some rare ones.
    double halfKnownClass = 0;
    // The word length looked for first, and how far from it the search strays.
    double preferredLength = 3;
    double lengthSpread = 1;
    // How much more likely a word is chosen for each potion its chain crosses:
    // a player who sees the potions goes for words through them.
    double potionEye = 0;
    // The mean points of a 2-minute round this level is tuned to, over the
    // calibration's boards (src/bot/level_calibration.h): its strength, which
    // a change to how it chooses words keeps within 15 %.
    double pointsPerRound = 0;
};

inline constexpr int kBotLevelCount = 5;

// The levels, weakest first; level n is kBotLevels[n - 1].
extern const std::array<BotLevel, kBotLevelCount> kBotLevels;

// The chance that a player of the level knows a word of the frequency class
// (0 below its rarest known class): a word comes to mind no sooner.
double knowingChance(const BotLevel& level, int frequencyClass);

// Level 1 to 5, or nothing.
std::optional<BotLevel> botLevel(int number);
// A level by its number ("3") or its name in any letter case ("expert").
std::optional<BotLevel> botLevelFrom(const QString& text);
