// IniFile against real files in a temporary folder.
#include "ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::string contents(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

// The file's lines without the blank ones, which the writer lays out its own way.
QStringList filledLines(const QString& path)
{
    QStringList lines = QString::fromStdString(contents(path)).split(u'\n');
    lines.removeAll(QString());
    return lines;
}

void putContents(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path() const { return dir.filePath(QStringLiteral("lexmire.ini")); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheFallback)
{
    IniFile ini(path());
    EXPECT_EQ(ini.read("Lexmire", "Top", "3"), "3");
    EXPECT_FALSE(QFile::exists(path())) << "reading must not create the file";

    putContents(path(), "[Other]\nTop=9\n");
    EXPECT_EQ(ini.read("Lexmire", "Top", "3"), "3");
    putContents(path(), "[Lexmire]\nLeft=9\n");
    EXPECT_EQ(ini.read("Lexmire", "Top", "3"), "3");
    EXPECT_EQ(ini.read("Lexmire", "Left", "3"), "9");
}

TEST_F(IniFileTest, SectionAndKeyNamesMatchWithoutRegardToCase)
{
    putContents(path(), "[LEXMIRE]\ntextCOLOR=clRed\n");
    IniFile ini(path());
    EXPECT_EQ(ini.read("Lexmire", "Textcolor", ""), "clRed");
    EXPECT_EQ(ini.read("lexmire", "TEXTCOLOR", ""), "clRed");
}

TEST_F(IniFileTest, WritesKeyEqualsValueLinesUnderTheSection)
{
    IniFile ini(path());
    ASSERT_TRUE(ini.write("Lexmire", "Top", "3"));
    ASSERT_TRUE(ini.write("Lexmire", "Tiles", ""));
    EXPECT_EQ(contents(path()), "[Lexmire]\nTop=3\nTiles=\n");
    EXPECT_EQ(ini.read("Lexmire", "Tiles", "fallback"), "") << "an empty value is a value, not a missing key";
}

TEST_F(IniFileTest, WriteKeepsOtherSectionsAndKeysInTheirOrder)
{
    putContents(
        path(), "[First]\na=1\n\n[Lexmire]\nZeta=z\nTop=1\n; the user's note\nAlpha=a\n[Last]\nb=2\n");
    IniFile ini(path());
    ASSERT_TRUE(ini.write("Lexmire", "Top", "5"));
    ASSERT_TRUE(ini.write("Lexmire", "Firsttime", "no"));
    EXPECT_EQ(filledLines(path()),
        (QStringList { "[First]", "a=1", "[Lexmire]", "Zeta=z", "Top=5", "; the user's note", "Alpha=a",
            "Firsttime=no", "[Last]", "b=2" }));
}

TEST_F(IniFileTest, KeyInAnotherLetterCaseIsUpdatedWhereItStands)
{
    putContents(path(), "[lexmire]\ntextcolor=clRed\nTextsize=8\n");
    IniFile ini(path());
    ASSERT_TRUE(ini.write("Lexmire", "Textcolor", "clBlue"));
    EXPECT_EQ(contents(path()), "[lexmire]\ntextcolor=clBlue\nTextsize=8\n");
    EXPECT_EQ(ini.read("Lexmire", "Textcolor", ""), "clBlue");
}

TEST_F(IniFileTest, WriteAllSetsSeveralKeysInOneGo)
{
    putContents(path(), "[Lexmire]\nHeight=400\n");
    IniFile ini(path());
    ASSERT_TRUE(ini.writeAll("Lexmire", { { "Top", "3" }, { "Left", "4" }, { "Height", "535" } }));
    EXPECT_EQ(contents(path()), "[Lexmire]\nHeight=535\nTop=3\nLeft=4\n");
}

TEST_F(IniFileTest, LongValuesAreCutTo2047Characters)
{
    IniFile ini(path());
    const QString exact(IniFile::kMaxValueLength, QChar(u'\u00e9')); // two bytes each in the file
    ASSERT_TRUE(ini.write("Lexmire", "Phrase1", exact));
    EXPECT_EQ(ini.read("Lexmire", "Phrase1", ""), exact);

    ASSERT_TRUE(ini.write("Lexmire", "Phrase2", exact + "xyz"));
    EXPECT_EQ(ini.read("Lexmire", "Phrase2", ""), exact);
}

TEST_F(IniFileTest, ValuesKeepTheirTextButNotSurroundingBlanks)
{
    IniFile ini(path());
    ASSERT_TRUE(ini.write("Lexmire", "Phrase1", QString::fromUtf8("#1 Grüße; ☺ = [ok]")));
    EXPECT_EQ(ini.read("Lexmire", "Phrase1", ""), QString::fromUtf8("#1 Grüße; ☺ = [ok]"));

    putContents(path(), "[Lexmire]\nPhrase2=  Way To Go!  \n");
    EXPECT_EQ(ini.read("Lexmire", "Phrase2", ""), "Way To Go!");

    // Only the file's own byte-order mark goes; one that begins a value stays.
    putContents(path(), "\xEF\xBB\xBF[Lexmire]\nPhrase3=\xEF\xBB\xBFhi\n");
    EXPECT_EQ(ini.read("Lexmire", "Phrase3", ""), QString(QChar(0xFEFF)) + "hi");
}

TEST_F(IniFileTest, LineBreaksInAValueCannotAddKeys)
{
    IniFile ini(path());
    ASSERT_TRUE(ini.write("Lexmire", "Phrase1", "hi\nTop=999\r\n[Evil]"));
    EXPECT_EQ(ini.read("Lexmire", "Top", "3"), "3");
    EXPECT_EQ(ini.read("Lexmire", "Phrase1", ""), "hi Top=999 [Evil]");
}

TEST_F(IniFileTest, UnwritablePlaceReturnsFalseAndChangesNothing)
{
    IniFile inMissingFolder(dir.filePath("nowhere/lexmire.ini"));
    EXPECT_FALSE(inMissingFolder.write("Lexmire", "Top", "3"));
    EXPECT_FALSE(QDir(dir.filePath("nowhere")).exists());

    putContents(dir.filePath("plain"), "not a folder");
    IniFile underAFile(dir.filePath("plain/lexmire.ini"));
    EXPECT_FALSE(underAFile.write("Lexmire", "Top", "3"));
    EXPECT_EQ(contents(dir.filePath("plain")), "not a folder");
}

TEST_F(IniFileTest, ReadOnlyFolderKeepsTheOldFile)
{
    const std::string before = "[Lexmire]\nTop=1\n";
    putContents(path(), QByteArray::fromStdString(before));
    const QFileDevice::Permissions writable = QFile::permissions(dir.path());
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool bypassed = QFile(dir.filePath("probe")).open(QIODevice::WriteOnly);
    if (!bypassed) {
        IniFile ini(path());
        EXPECT_FALSE(ini.write("Lexmire", "Top", "5"));
        EXPECT_EQ(ini.read("Lexmire", "Top", ""), "1");
    }
    QFile::setPermissions(dir.path(), writable);
    if (bypassed)
        GTEST_SKIP() << "this account writes to read-only folders (root)";
    EXPECT_EQ(contents(path()), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "lexmire.ini" });
}

TEST_F(IniFileTest, SuccessfulWritesLeaveNoTemporaryFiles)
{
    IniFile ini(path());
    ASSERT_TRUE(ini.write("Lexmire", "Top", "3"));
    ASSERT_TRUE(ini.writeAll("Lexmire", { { "Left", "3" }, { "Width", "798" } }));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "lexmire.ini" });
}
