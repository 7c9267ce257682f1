// GameSettings: the key table's names and defaults, typed reading, and saves
// that write only what changed into the file as it is on disk.
#include "game_settings.h"
#include "settings_values.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using settings::SettingKey;

namespace {

class GameSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("brellowlobby.ini");
    }

    void put(const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray contents()
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }

    QTemporaryDir dir;
    QString path;
};

} // namespace

TEST_F(GameSettingsTest, TheTableNamesEveryKeyAsStoredWithItsDefault)
{
    const std::vector<std::pair<const char*, const char*>> expected {
        { "Top", "3" },
        { "Left", "3" },
        { "Width", "798" },
        { "Height", "535" },
        { "Textsize", "8" },
        { "Textcolor", "clblack" },
        { "Actioncolor", "clblack" },
        { "Clickletters", "1" },
        { "Rounds", "3" },
        { "Timeperround", "2" },
        { "Playsounds", "true" },
        { "Turnsound", "0" },
        { "Phrase1", "" },
        { "Phrase2", "" },
        { "Phrase3", "" },
        { "Phrase4", "" },
        { "Phrase5", "" },
        { "Phrase6", "" },
        { "Phrase7", "" },
        { "Phrase8", "" },
        { "Phrase9", "" },
        { "Tiles", "" },
        { "Firsttime", "yes" },
        { "ChatterSounds", "true" },
        { "PlayerName", "" },
        { "RecentAddress1", "" },
        { "RecentAddress2", "" },
        { "RecentAddress3", "" },
        { "RecentAddress4", "" },
        { "RecentAddress5", "" },
        { "RecentAddress6", "" },
        { "RecentAddress7", "" },
        { "RecentAddress8", "" },
        { "RecentAddress9", "" },
        { "RecentAddress10", "" },
        { "AnnounceGame", "true" },
        { "WordPath", "true" },
        { "TypeWords", "true" },
        { "BonusLabels", "true" },
        { "GrowWithWindow", "true" },
        { "RoundReview", "true" },
        { "PlayComputer", "false" },
        { "ComputerLevel", "2" },
        { "ComputerCount", "1" },
    };
    ASSERT_EQ(settings::kSettingCount, int(expected.size()));
    GameSettings values(path);
    EXPECT_EQ(values.load(), "");
    for (int i = 0; i < settings::kSettingCount; ++i) {
        const SettingKey key = SettingKey(i);
        EXPECT_STREQ(settings::specOf(key).name, expected[std::size_t(i)].first);
        EXPECT_EQ(values.defaultText(key), expected[std::size_t(i)].second) << expected[std::size_t(i)].first;
        EXPECT_EQ(values.text(key), expected[std::size_t(i)].second) << expected[std::size_t(i)].first;
    }
    EXPECT_EQ(values.number(SettingKey::Width), 798);
    EXPECT_EQ(values.colour(SettingKey::Textcolor), 0u);
    EXPECT_TRUE(values.isOn(SettingKey::Clickletters)) << "dragging by default";
    EXPECT_TRUE(values.isOn(SettingKey::Playsounds));
    EXPECT_FALSE(values.isOn(SettingKey::Turnsound));
    EXPECT_FALSE(values.isOn(SettingKey::Firsttime));
    EXPECT_TRUE(values.isOn(SettingKey::ChatterSounds));
    EXPECT_EQ(settings::phraseKey(1), SettingKey::Phrase1);
    EXPECT_EQ(settings::phraseKey(9), SettingKey::Phrase9);
    EXPECT_EQ(settings::phraseKey(0), std::nullopt);
    EXPECT_EQ(settings::phraseKey(10), std::nullopt);
    EXPECT_TRUE(values.isOn(SettingKey::AnnounceGame)) << "a hosted game is announced unless turned off";
    EXPECT_EQ(settings::recentAddressKey(1), SettingKey::RecentAddress1);
    EXPECT_EQ(settings::recentAddressKey(10), SettingKey::RecentAddress10);
    EXPECT_EQ(settings::recentAddressKey(0), std::nullopt);
    EXPECT_EQ(settings::recentAddressKey(11), std::nullopt);
}

TEST_F(GameSettingsTest, StoredValuesReadTypedInAnyLetterCaseOfTheKey)
{
    put("[Other]\nTop=99\n[LEXMIRE]\ntextcolor=clRed\nClickletters=yes\nPlaysounds=False\nCHATTERSOUNDS="
        "false\n"
        "Turnsound=1\nTextsize=0x0C\nLeft=junk\nFirsttime=no\nPhrase3=Hi all\nTimeperround=12 \n");
    GameSettings values(path);
    EXPECT_EQ(values.load(), "");
    EXPECT_EQ(values.colour(SettingKey::Textcolor), 0x0000FFu);
    EXPECT_EQ(values.colour(SettingKey::Actioncolor), 0x0000FFu) << "missing: the text colour's value";
    EXPECT_FALSE(values.isOn(SettingKey::Clickletters)) << "anything but \"1\" is clicking";
    EXPECT_TRUE(values.isOn(SettingKey::Playsounds)) << "only the exact \"false\" turns sounds off";
    EXPECT_FALSE(values.isOn(SettingKey::ChatterSounds));
    EXPECT_TRUE(values.isOn(SettingKey::Turnsound));
    EXPECT_TRUE(values.isOn(SettingKey::Firsttime));
    EXPECT_EQ(values.number(SettingKey::Textsize), 12);
    EXPECT_EQ(values.number(SettingKey::Left), 3) << "not a number: the default";
    EXPECT_EQ(values.number(SettingKey::Top), 3) << "another section's key is not ours";
    EXPECT_EQ(values.text(SettingKey::Phrase3), "Hi all");
    EXPECT_EQ(values.text(SettingKey::Timeperround), "12");
    EXPECT_FALSE(values.hasChanges());
}

TEST_F(GameSettingsTest, ASaveWritesOnlyTheChangedKeysIntoTheFileAsItIsNow)
{
    put("[Lobby]\r\nName=Ann\r\n[Lexmire]\r\nTop=10\r\nTextsize=8\r\nLeft=20\r\n");
    GameSettings values(path);
    ASSERT_EQ(values.load(), "");
    values.setNumber(SettingKey::Textsize, 14);
    values.setNumber(SettingKey::Top, 10); // unchanged
    values.setOn(SettingKey::Playsounds, false);
    EXPECT_TRUE(values.hasChanges());

    // Another copy of the program or the lobby changes the file meanwhile.
    put("[Lobby]\r\nName=Bob\r\n[Lexmire]\r\nTop=11\r\nTextsize=8\r\nLeft=20\r\n");
    EXPECT_EQ(values.save(), "");
    EXPECT_EQ(contents(),
        "[Lobby]\r\nName=Bob\r\n[Lexmire]\r\nTop=11\r\nTextsize=14\r\nLeft=20\r\nPlaysounds=false\r\n");
    EXPECT_FALSE(values.hasChanges());

    // Nothing changed since: nothing is written, even over a file changed by hand.
    put("edited by hand");
    EXPECT_EQ(values.save(), "");
    EXPECT_EQ(contents(), "edited by hand");
}

TEST_F(GameSettingsTest, NothingIsWrittenBeforeTheFileIsRead)
{
    put("[Lexmire]\nTextsize=12\n");
    GameSettings values(path);
    values.setNumber(SettingKey::Textsize, 8);
    EXPECT_FALSE(values.hasChanges());
    EXPECT_EQ(values.save(), "");
    EXPECT_EQ(contents(), "[Lexmire]\nTextsize=12\n");
    ASSERT_EQ(values.load(), "");
    EXPECT_EQ(values.number(SettingKey::Textsize), 12) << "a value set before reading is dropped";

    GameSettings absent(dir.filePath("none.ini"));
    ASSERT_EQ(absent.load(), "");
    EXPECT_EQ(absent.save(), "");
    EXPECT_FALSE(QFile::exists(dir.filePath("none.ini"))) << "no change, no file";
}

TEST_F(GameSettingsTest, AFileThatCannotBeUsedIsReportedAndNeverWritten)
{
    QByteArray huge = "[Lexmire]\nTextsize=12\n";
    huge += QByteArray(qsizetype(settings::kMaxSettingsFileBytes), '#');
    put(huge);
    GameSettings oversized(path);
    const QString message = oversized.load();
    EXPECT_TRUE(message.contains("too large")) << message.toStdString();
    EXPECT_EQ(oversized.number(SettingKey::Textsize), 8) << "the defaults apply";
    oversized.setNumber(SettingKey::Textsize, 14);
    EXPECT_EQ(oversized.save(), message);
    EXPECT_EQ(contents(), huge);

    ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    GameSettings fifo(path);
    EXPECT_EQ(fifo.load(),
        path + " is not a regular file. The settings in it are not used, and the file is left as it is.");
    fifo.setOn(SettingKey::Firsttime, true);
    EXPECT_FALSE(fifo.save().isEmpty());
    struct stat info { };
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(GameSettingsTest, AFailedSaveSaysWhyAndKeepsTheChangesForTheNextSave)
{
    const QString inFolder = dir.filePath("later/brellowlobby.ini");
    GameSettings values(inFolder);
    ASSERT_EQ(values.load(), "");
    values.setText(SettingKey::Tiles, "Gold");
    EXPECT_EQ(values.save(), "Unable to write to " + inFolder + ": No such file or directory");
    EXPECT_TRUE(values.hasChanges());
    ASSERT_TRUE(QDir().mkpath(dir.filePath("later")));
    EXPECT_EQ(values.save(), "");
    EXPECT_FALSE(values.hasChanges());
    GameSettings again(inFolder);
    ASSERT_EQ(again.load(), "");
    EXPECT_EQ(again.text(SettingKey::Tiles), "Gold");
}

TEST_F(GameSettingsTest, LoadingClearsAwayTheTemporaryFilesOfAKilledSave)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    ::waitpid(child, &status, 0);
    const QString stale = path + ".tmp-" + QString::number(child) + "-0";
    const QString live = path + ".tmp-" + QString::number(::getpid()) + "-999";
    for (const QString& name : { stale, live }) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    GameSettings values(path);
    values.load();
    EXPECT_FALSE(QFile::exists(stale));
    EXPECT_TRUE(QFile::exists(live));
}
