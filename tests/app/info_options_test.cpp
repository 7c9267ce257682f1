// The desktop program's informational options: which command lines they take over, and
// what the version, tile-set and sound lists print.
#include "info_options.h"
#include "protocol.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace {

using InfoOptions::Request;

TEST(InfoOptionsRequest, AnOptionCountsOnlyAsTheSoleArgument)
{
    EXPECT_EQ(InfoOptions::requestOf(QStringList { "--version" }), Request::Version);
    EXPECT_EQ(InfoOptions::requestOf(QStringList { "--help" }), Request::Help);
    EXPECT_EQ(InfoOptions::requestOf(QStringList { "-h" }), Request::Help);
    EXPECT_EQ(InfoOptions::requestOf(QStringList { "--list-tile-sets" }), Request::ListTileSets);
    EXPECT_EQ(InfoOptions::requestOf(QStringList { "--list-sounds" }), Request::ListSounds);
    // A game start is positional: a player may be called anything.
    EXPECT_EQ(InfoOptions::requestOf(QStringList { "--version", "host", "true" }), Request::None);
    EXPECT_EQ(InfoOptions::requestOf(QStringList { "Ann", "--help" }), Request::None);
    EXPECT_EQ(InfoOptions::requestOf(QStringList {}), Request::None);
    EXPECT_EQ(InfoOptions::requestOf(QStringList { "Ann" }), Request::None);
    // Qt's own single-dash options go on to the application object.
    EXPECT_EQ(InfoOptions::requestOf(QStringList { "-reverse" }), Request::None);
    EXPECT_EQ(InfoOptions::requestOf(QStringList { "--versoin" }), Request::Unknown);
}

TEST(InfoOptionsRequest, ReadsMainsArgumentsWithoutTheProgramName)
{
    char program[] = "lexmire";
    char version[] = "--version";
    char host[] = "host";
    char* sole[] = { program, version, nullptr };
    EXPECT_EQ(InfoOptions::requestOf(2, sole), Request::Version);
    char* game[] = { program, version, host, nullptr };
    EXPECT_EQ(InfoOptions::requestOf(3, game), Request::None);
    char* none[] = { program, nullptr };
    EXPECT_EQ(InfoOptions::requestOf(1, none), Request::None);
}

TEST(InfoOptionsOutput, VersionIsTheOneTheGameLogsInWithAndThePackageCarries)
{
    std::ostringstream out;
    InfoOptions::printVersion(out);
    EXPECT_EQ(out.str(), "lexmire " + std::string(wire::kVersionText) + "\n");
    EXPECT_EQ(out.str(), "lexmire " LEXMIRE_PROJECT_VERSION "\n");
}

class TileSetListing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(shipped.isValid() && own.isValid());
        QImage strip(41 * 27, 41, QImage::Format_RGB888);
        strip.fill(Qt::darkBlue);
        ASSERT_TRUE(strip.save(shipped.filePath("Ivory.bmp"), "BMP"));
        ASSERT_TRUE(strip.save(own.filePath("Ivory.bmp"), "BMP"));
        ASSERT_TRUE(strip.save(own.filePath("Mine.bmp"), "BMP"));
        writeFile(own.filePath("notes.txt"), "not a tile set");
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QTemporaryDir shipped;
    QTemporaryDir own;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(TileSetListing, ListsTheBuiltInSetThenEachFileOnceFromItsFirstFolder)
{
    EXPECT_EQ(InfoOptions::listTileSets({ shipped.path(), own.path() }, out, err), 0);
    EXPECT_EQ(out.str(),
        "Classic\t(built in)\n"
        "Ivory\t"
            + shipped.filePath("Ivory.bmp").toStdString() + "\nMine\t"
            + own.filePath("Mine.bmp").toStdString() + "\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(TileSetListing, ReportsASetThatIsNoPicture)
{
    writeFile(own.filePath("Broken.bmp"), QByteArray(200, 'x'));
    EXPECT_EQ(InfoOptions::listTileSets({ shipped.path(), own.path() }, out, err), 1);
    EXPECT_NE(out.str().find("Broken\t" + own.filePath("Broken.bmp").toStdString()), std::string::npos);
    EXPECT_NE(err.str().find("Broken"), std::string::npos);
    EXPECT_EQ(err.str().find("Ivory"), std::string::npos);
}

TEST_F(TileSetListing, MissingFoldersLeaveOnlyTheBuiltInSet)
{
    EXPECT_EQ(InfoOptions::listTileSets({ shipped.filePath("none"), QString() }, out, err), 0);
    EXPECT_EQ(out.str(), "Classic\t(built in)\n");
}

TEST_F(TileSetListing, TheShippedSetsAllRead)
{
    EXPECT_EQ(InfoOptions::listTileSets({ LEXMIRE_SOURCE_DIR "/resources/lexmiretiles" }, out, err), 0)
        << err.str();
    EXPECT_NE(out.str().find("\nIvory\t"), std::string::npos);
    EXPECT_NE(out.str().find("\nNeon\t"), std::string::npos);
}

TEST(SoundListing, OpensEveryClipTheGamePlays)
{
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(InfoOptions::listSounds(out, err, { "/nonexistent/lexmire-sound.so", LEXMIRE_SOUND_MODULE }), 0)
        << err.str();
    EXPECT_EQ(err.str(), "");
    EXPECT_NE(out.str().find("\nsound module\t" LEXMIRE_SOUND_MODULE "\n"), std::string::npos) << out.str();
    // Every clip made for the game is embedded and listed.
    const QStringList clips
        = QDir(LEXMIRE_SOURCE_DIR "/resources/sounds").entryList({ "*.wav" }, QDir::Files);
    ASSERT_FALSE(clips.isEmpty());
    for (const QString& clip : clips)
        EXPECT_NE(out.str().find(clip.chopped(4).toStdString() + "\t"), std::string::npos)
            << clip.toStdString();
}

TEST(SoundListing, WithoutTheModuleTheListSaysSoAndFails)
{
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(InfoOptions::listSounds(out, err, { "/nonexistent/lexmire-sound.so" }), 1);
    EXPECT_NE(out.str().find("\nsound module\tnone\n"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("sound module lexmire-sound.so is missing"), std::string::npos) << err.str();
}

} // namespace
