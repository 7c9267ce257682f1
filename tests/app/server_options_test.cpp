// The command line of lexmire-server.
#include "server_options.h"

#include <gtest/gtest.h>

TEST(ServerOptions, DefaultsAndValues)
{
    ServerOptions none = parseServerOptions({});
    EXPECT_EQ(none.port, 7772);
    EXPECT_EQ(none.secondMs, 1000);
    EXPECT_TRUE(none.error.empty());

    ServerOptions set = parseServerOptions({ "--port", "0", "--second-ms", "20" });
    EXPECT_EQ(set.port, 0);
    EXPECT_EQ(set.secondMs, 20);
    EXPECT_TRUE(parseServerOptions({ "--help" }).help);
    EXPECT_TRUE(parseServerOptions({ "--version" }).version);
}

TEST(ServerOptions, AnnouncesUnlessToldNotTo)
{
    EXPECT_TRUE(parseServerOptions({}).announce);
    ServerOptions quiet = parseServerOptions({ "--port", "0", "--no-announce" });
    EXPECT_TRUE(quiet.error.empty());
    EXPECT_FALSE(quiet.announce);
    EXPECT_EQ(quiet.port, 0);
    EXPECT_FALSE(parseServerOptions({ "--no-announce=yes" }).error.empty());
    EXPECT_NE(std::string(kServerUsage).find("--no-announce"), std::string::npos);
}

TEST(ServerOptions, RefusesWhatItCannotUse)
{
    for (auto args :
        std::vector<std::vector<std::string>> { { "--port" }, { "--port", "65536" }, { "--port", "-1" },
            { "--port", "x" }, { "--second-ms", "0" }, { "--second-ms", "" }, { "--bogus" }, { "7772" } })
        EXPECT_FALSE(parseServerOptions(args).error.empty()) << args.front();
}
