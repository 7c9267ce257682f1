// The command line of lexmire-bot.
#pragma once

#include "bot_level.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct BotOptions {
    std::string host = "127.0.0.1";
    int port = 7772;
    BotLevel level = kBotLevels[2];
    QString name; // empty: the level's name
    int secondMs = 1000;
    std::optional<std::uint32_t> seed; // none: from the clock
    bool verbose = false;
    bool help = false;
    std::string error; // set when the command line cannot be used
};

BotOptions parseBotOptions(const std::vector<std::string>& args);

extern const char* const kBotUsage;
