// The command line of lexmire-bot.
#include "bot_options.h"

#include <gtest/gtest.h>

TEST(BotOptions, DefaultsPlayASkilledPlayerOnTheLocalGame)
{
    const BotOptions options = parseBotOptions({});
    EXPECT_TRUE(options.error.empty());
    EXPECT_EQ(options.host, "127.0.0.1");
    EXPECT_EQ(options.port, 7772);
    EXPECT_EQ(options.level.number, 3);
    EXPECT_EQ(options.name, "Skilled");
    EXPECT_EQ(options.secondMs, 1000);
    EXPECT_FALSE(options.seed);
    EXPECT_FALSE(options.help);
}

TEST(BotOptions, ReadsEveryOption)
{
    const BotOptions options = parseBotOptions({ "--host", "game.example", "--port", "7000", "--level",
        "EXPERT", "--name", "Ada", "--second-ms", "20", "--seed", "4294967295", "--verbose" });
    EXPECT_TRUE(options.error.empty()) << options.error;
    EXPECT_EQ(options.host, "game.example");
    EXPECT_EQ(options.port, 7000);
    EXPECT_EQ(options.level.number, 4);
    EXPECT_EQ(options.name, "Ada");
    EXPECT_EQ(options.secondMs, 20);
    EXPECT_EQ(options.seed, 4294967295u);
    EXPECT_TRUE(options.verbose);

    EXPECT_EQ(parseBotOptions({ "--level", "1" }).level.number, 1);
    EXPECT_EQ(parseBotOptions({ "--level", "master" }).name, "Master");
    EXPECT_TRUE(parseBotOptions({ "--help" }).help);
    EXPECT_TRUE(parseBotOptions({ "-h" }).help);
}

TEST(BotOptions, RefusesWhatItCannotUseWithAClearReason)
{
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const Case cases[] = {
        { { "--port" }, "--port needs a value" },
        { { "--port", "0" }, "bad value for --port: 0" },
        { { "--port", "65536" }, "bad value for --port: 65536" },
        { { "--port", "12ab" }, "bad value for --port: 12ab" },
        { { "--level", "6" }, "bad value for --level: 6" },
        { { "--level", "grandmaster" }, "bad value for --level: grandmaster" },
        { { "--name", "  " }, "bad value for --name:   " },
        { { "--host", "" }, "bad value for --host: " },
        { { "--second-ms", "0" }, "bad value for --second-ms: 0" },
        { { "--seed", "-1" }, "bad value for --seed: -1" },
        { { "--seed", "4294967296" }, "bad value for --seed: 4294967296" },
        { { "--levels", "3" }, "unknown argument: --levels" },
        { { "Ada" }, "unknown argument: Ada" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseBotOptions(c.args).error, c.error);
}
