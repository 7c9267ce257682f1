// The tally file written and read back, and what a damaged one does.
#include "tally_file.h"

#include "tlzrw1.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

TEST(TallyFile, RoundTripsEveryCell)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("lexmire2tally.tld").toStdString();
    TallyModel tally;
    tally.addword("QUARTZ", 6, TallyModel::LongestWord);
    tally.startTallying("Ann");
    tally.addgame("Ann", { "Ann" });
    writeTallyFile(path, tally.rows());
    const std::vector<TallyModel::Row> back = readTallyFile(path);
    EXPECT_EQ(back, tally.rows());
}

TEST(TallyFile, AnOpponentNamedWithALineBreakStillSaves)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("lexmire2tally.tld").toStdString();
    TallyModel tally;
    tally.startTallying("Ann\r\nX");
    tally.startTallying("Bo");
    tally.addgame("Bo", { "Ann\r\nX", "Bo" });
    writeTallyFile(path, tally.rows());
    const std::vector<TallyModel::Row> back = readTallyFile(path);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[1][0], "Ann  X");
    EXPECT_EQ(back[2], tally.rows()[2]);
}

TEST(TallyFile, AnEmptyTallyIsTheKnownTwentySixBytes)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("t.tld").toStdString();
    writeTallyFile(path, TallyModel().rows());
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string expected(
        "\x57\x52\x5A\x4C\x25\x00\x00\x00\x10\x00\x40\x01\xC0\x31\x30\x0D\x0A\x31\x0D\x0A\x00\x60"
        "\x00\x3F\x01\x26",
        26);
    EXPECT_EQ(bytes, expected);
}

TEST(TallyFile, DamageIsReportedWithTheCodecsText)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("t.tld").toStdString();
    std::ofstream(path, std::ios::binary) << "JUNKJUNKJUNK";
    try {
        readTallyFile(path);
        FAIL() << "a damaged file was read";
    } catch (const std::exception& error) {
        EXPECT_EQ(
            std::string(error.what()), path + " : Lzrw1 decompression : this file has no valid header !");
    }
}
