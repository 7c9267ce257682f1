// The tally window's file: what the player is told at start and at the end
// when the tally file is damaged, is not a file, or cannot be written.
#include "ttallylist.h"

#include "tally_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class TallyWindowFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath("lexmire2tally.tld");
        tally.notify = [this](const QString& text) { notices << text; };
    }

    void put(const QString& name, const QByteArray& bytes)
    {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray contents(const QString& name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
    QString path;
    Ttallylist tally;
    QStringList notices;
};

} // namespace

TEST_F(TallyWindowFile, AFifoIsRefusedAtOnceAndNeverSavedOver)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    tally.loadFromFile(path);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0],
        "The tally cannot be read: " + path
            + " is not a regular file. The tally starts empty, and the file is left as it is.");
    EXPECT_EQ(tally.model().rowCount(), 1);
    EXPECT_EQ(tally.saveToFile(path), "The tally was not saved: " + path + " is not a regular file.");
    struct stat info { };
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(TallyWindowFile, EachUnreadableTallyIsKeptAsideAndTheNewOneSaved)
{
    for (const char* kept : { ".unreadable", ".unreadable.1", ".unreadable.2" }) {
        SCOPED_TRACE(kept);
        put(path, QByteArray("damaged ") + kept);
        notices.clear();
        Ttallylist fresh;
        fresh.notify = [this](const QString& text) { notices << text; };
        fresh.loadFromFile(path);
        ASSERT_EQ(notices.size(), 1);
        EXPECT_TRUE(notices[0].startsWith("The tally file could not be read. It is kept as " + path + kept))
            << notices[0].toStdString();
        EXPECT_TRUE(notices[0].endsWith("this file has no valid header !"));
        EXPECT_EQ(fresh.saveToFile(path), "");
        EXPECT_EQ(readTallyFile(QFile::encodeName(path).toStdString()), fresh.model().rows());
    }
    EXPECT_EQ(contents(path + ".unreadable"), "damaged .unreadable");
    EXPECT_EQ(contents(path + ".unreadable.1"), "damaged .unreadable.1");
    EXPECT_EQ(contents(path + ".unreadable.2"), "damaged .unreadable.2");
}

TEST_F(TallyWindowFile, ADamagedTallyThatCannotBeKeptAsideIsLeftAndNotSavedOver)
{
    put(path + ".unreadable", "kept");
    for (int n = 1; n <= 1000; ++n)
        put(path + ".unreadable." + QString::number(n), "kept");
    put(path, "damaged");
    tally.loadFromFile(path);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith("The tally file could not be read, nor kept aside"));
    EXPECT_FALSE(tally.saveToFile(path).isEmpty());
    EXPECT_EQ(contents(path), "damaged");
}

TEST_F(TallyWindowFile, ATallyThatCannotBeSavedSaysSo)
{
    const QString nowhere = folder.filePath("gone/lexmire2tally.tld");
    tally.loadFromFile(nowhere);
    EXPECT_TRUE(notices.isEmpty()) << "no tally yet is no problem";
    EXPECT_EQ(tally.saveToFile(nowhere),
        "The tally could not be saved.\n\nLzrw1 (de)compression : Failed to open output file : " + nowhere);
    EXPECT_EQ(tally.saveToFile(path), "");
}
