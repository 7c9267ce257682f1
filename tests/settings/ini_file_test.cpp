// IniFile against real files in a temporary folder.
#include "ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

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
    EXPECT_TRUE(ini.load()) << "a missing file is an empty one";
    EXPECT_FALSE(QFile::exists(path())) << "reading must not create the file";

    putContents(path(), "[Other]\nTop=9\n");
    EXPECT_EQ(IniFile(path()).read("Lexmire", "Top", "3"), "3");
    putContents(path(), "[Lexmire]\nLeft=9\n");
    IniFile again(path());
    EXPECT_EQ(again.read("Lexmire", "Top", "3"), "3");
    EXPECT_EQ(again.read("Lexmire", "Left", "3"), "9");
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
    EXPECT_EQ(contents(path()),
        "[First]\na=1\n\n[Lexmire]\nZeta=z\nTop=5\n; the user's note\nAlpha=a\nFirsttime=no\n[Last]\nb=2\n");
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
    EXPECT_EQ(IniFile(path()).read("Lexmire", "Phrase1", ""), QString::fromUtf8("#1 Grüße; ☺ = [ok]"));

    putContents(path(), "[Lexmire]\nPhrase2=  Way To Go!  \n");
    EXPECT_EQ(IniFile(path()).read("Lexmire", "Phrase2", ""), "Way To Go!");

    // Only the file's own byte-order mark goes; one that begins a value stays.
    putContents(path(), "\xEF\xBB\xBF[Lexmire]\nPhrase3=\xEF\xBB\xBFhi\n");
    EXPECT_EQ(IniFile(path()).read("Lexmire", "Phrase3", ""), QString(QChar(0xFEFF)) + "hi");
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

TEST_F(IniFileTest, LegacyEightBitValuesReadAsLatin1AndAreWrittenBackAsTheyWere)
{
    const QByteArray before = "[Lexmire]\nPhrase1=Caf\xe9 cr\xe8me\nPhrase2=Gr\xc3\xbc\xc3\x9f"
                              "e\n";
    putContents(path(), before);
    IniFile ini(path());
    EXPECT_EQ(ini.read("Lexmire", "Phrase1", ""), QString::fromUtf8("Café crème"));
    EXPECT_EQ(ini.read("Lexmire", "Phrase2", ""), QString::fromUtf8("Grüße")) << "valid UTF-8 stays UTF-8";

    // Saving another key leaves both lines' bytes alone.
    ASSERT_TRUE(ini.write("Lexmire", "Top", "3"));
    EXPECT_EQ(contents(path()), before.toStdString() + "Top=3\n");

    // New text goes out as Latin-1 when it fits, else as UTF-8, and reads back the same.
    ASSERT_TRUE(ini.write("Lexmire", "Phrase3", QString::fromUtf8("Crème brûlée")));
    ASSERT_TRUE(ini.write("Lexmire", "Phrase4", QString::fromUtf8("Smile ☺")));
    // Latin-1 bytes that would read as UTF-8 are written as UTF-8 instead.
    ASSERT_TRUE(ini.write("Lexmire", "Phrase5", QString::fromUtf8("Ã©")));
    EXPECT_EQ(contents(path()),
        before.toStdString()
            + "Top=3\nPhrase3=Cr\xe8me br\xfbl\xe9"
              "e\nPhrase4=Smile \xe2\x98\xba\nPhrase5=\xc3\x83\xc2\xa9\n");
    IniFile fresh(path());
    EXPECT_EQ(fresh.read("Lexmire", "Phrase3", ""), QString::fromUtf8("Crème brûlée"));
    EXPECT_EQ(fresh.read("Lexmire", "Phrase4", ""), QString::fromUtf8("Smile ☺"));
    EXPECT_EQ(fresh.read("Lexmire", "Phrase5", ""), QString::fromUtf8("Ã©"));
}

TEST_F(IniFileTest, AWriteChangesOnlyItsOwnLineAndEveryOtherByteStays)
{
    // Another program's file: a byte-order mark, CRLF, a duplicate key, comments,
    // a line without "=", odd spacing and section names in their own case.
    const std::string head = "\xEF\xBB\xBF; shared settings\r\n[BrellowLobby]\r\nName = Ann \r\nname=Bob\r\n"
                             "just a line\r\n  Volume\t=  7\r\n\r\n[lexmire]\r\n# ours\r\n";
    const std::string tail = "Textsize=8\r\nTop=1\r\n[Other] trailing\r\nx = 1 \r\nx = 2\r\n";
    putContents(path(), QByteArray::fromStdString(head + "Textcolor =  clRed  \r\n" + tail));
    IniFile ini(path());
    ASSERT_TRUE(ini.write("Lexmire", "Textcolor", "clBlue"));
    EXPECT_EQ(contents(path()), head + "Textcolor =  clBlue\r\n" + tail);

    // The same value again leaves the file as it is.
    ASSERT_TRUE(ini.write("Lexmire", "Textsize", "8"));
    EXPECT_EQ(contents(path()), head + "Textcolor =  clBlue\r\n" + tail);
    EXPECT_EQ(ini.read("BrellowLobby", "name", ""), "Ann") << "the first of duplicate keys counts";
    EXPECT_EQ(ini.read("brellowlobby", "VOLUME", ""), "7");
}

TEST_F(IniFileTest, MissingKeysAndSectionsAreAddedWithTheFilesOwnLineEnds)
{
    putContents(path(), "[Lexmire]\r\nTop=1\r\n\r\n[Other]\r\nk=v");
    IniFile ini(path());
    ASSERT_TRUE(ini.writeAll("Lexmire", { { "Left", "4" }, { "Top", "2" } }));
    EXPECT_EQ(contents(path()), "[Lexmire]\r\nTop=2\r\nLeft=4\r\n\r\n[Other]\r\nk=v");
    ASSERT_TRUE(ini.write("Third", "a", "b"));
    EXPECT_EQ(
        contents(path()), "[Lexmire]\r\nTop=2\r\nLeft=4\r\n\r\n[Other]\r\nk=v\r\n\r\n[Third]\r\na=b\r\n");
}

TEST_F(IniFileTest, TheFileIsReadOnceAndAWriteKeepsWhatOthersChangedSince)
{
    putContents(path(), "[Lexmire]\nTop=1\n[Lobby]\nName=Ann\n");
    IniFile ini(path());
    EXPECT_EQ(ini.read("Lexmire", "Top", ""), "1");
    putContents(path(), "[Lexmire]\nTop=9\n[Lobby]\nName=Bob\n");
    EXPECT_EQ(ini.read("Lexmire", "Top", ""), "1") << "read once, not at every key";

    ASSERT_TRUE(ini.write("Lexmire", "Left", "5"));
    EXPECT_EQ(contents(path()), "[Lexmire]\nTop=9\nLeft=5\n[Lobby]\nName=Bob\n");
    EXPECT_EQ(ini.read("Lobby", "Name", ""), "Bob");
}

TEST_F(IniFileTest, AFileOverTheCapIsRefusedAndNeverWritten)
{
    QByteArray huge = "[Lexmire]\nTop=7\n";
    huge += QByteArray(qsizetype(settings::kMaxSettingsFileBytes) + 1 - huge.size(), ';');
    putContents(path(), huge);
    IniFile ini(path());
    EXPECT_FALSE(ini.load());
    EXPECT_TRUE(ini.refused());
    EXPECT_TRUE(ini.errorText().startsWith(path() + " is too large (over 4 MB)"))
        << ini.errorText().toStdString();
    EXPECT_EQ(ini.read("Lexmire", "Top", "3"), "3");
    EXPECT_FALSE(ini.write("Lexmire", "Top", "5"));

    // Even once it is small again, this run leaves it alone.
    putContents(path(), "[Lexmire]\nTop=7\n");
    EXPECT_FALSE(ini.write("Lexmire", "Top", "5"));
    EXPECT_EQ(contents(path()), "[Lexmire]\nTop=7\n");

    huge.chop(1);
    putContents(path(), huge);
    IniFile atTheCap(path());
    EXPECT_TRUE(atTheCap.load());
    EXPECT_EQ(atTheCap.read("Lexmire", "Top", "3"), "7");
}

TEST_F(IniFileTest, AFifoOrALinkInPlaceOfTheFileIsRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo(path().toLocal8Bit().constData(), 0600), 0);
    IniFile fifo(path());
    EXPECT_FALSE(fifo.load()); // would wait for a writer for ever if opened as a file
    EXPECT_EQ(fifo.errorText(),
        path() + " is not a regular file. The settings in it are not used, and the file is left as it is.");
    EXPECT_FALSE(fifo.write("Lexmire", "Top", "5"));
    struct stat info { };
    ASSERT_EQ(::lstat(path().toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    ASSERT_TRUE(QFile::remove(path()));
    putContents(dir.filePath("elsewhere"), "[Lexmire]\nTop=7\n");
    ASSERT_TRUE(QFile::link(dir.filePath("elsewhere"), path()));
    IniFile link(path());
    EXPECT_FALSE(link.load());
    EXPECT_EQ(link.read("Lexmire", "Top", "3"), "3");
    EXPECT_FALSE(link.write("Lexmire", "Top", "5"));
    EXPECT_EQ(contents(dir.filePath("elsewhere")), "[Lexmire]\nTop=7\n");
}

TEST_F(IniFileTest, AFailedWriteSaysWhy)
{
    IniFile ini(dir.filePath("nowhere/brellowlobby.ini"));
    EXPECT_FALSE(ini.write("Lexmire", "Top", "3"));
    EXPECT_EQ(ini.errorText(),
        "Unable to write to " + dir.filePath("nowhere/brellowlobby.ini") + ": No such file or directory");
    EXPECT_FALSE(ini.write("Lexmire", "Bad=Key", "3"));
    EXPECT_FALSE(ini.write("[Section]", "Key", "3"));
}
