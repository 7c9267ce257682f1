// The installer on disk: written out of sight, renamed into place whole,
// never through a link, and removed when it is not wanted.
#include "installer_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList entries(const QString& path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class InstallerFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QString target() const { return folder.filePath("Setup.exe"); }

    QTemporaryDir folder;
};

TEST_F(InstallerFileTest, IsWrittenOutOfSightAndTakesItsNameOnlyWhenWhole)
{
    QFile old(target());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old installer");
    old.close();

    InstallerFile file;
    ASSERT_TRUE(file.create(folder.path(), "Setup.exe"));
    ASSERT_TRUE(file.write("MZ", 2));
    ASSERT_TRUE(file.write("-new", 4));
    EXPECT_EQ(file.size(), 6);
    // Until the end the name keeps what it held, and the new file is hidden.
    EXPECT_EQ(contents(target()), "old installer");
    const QStringList during = entries(folder.path());
    ASSERT_EQ(during.size(), 2);
    for (const QString& name : during)
        EXPECT_TRUE(name == "Setup.exe" || name.startsWith('.')) << name.toStdString();

    ASSERT_TRUE(file.commit());
    EXPECT_EQ(contents(target()), "MZ-new");
    EXPECT_EQ(entries(folder.path()), QStringList { "Setup.exe" });
    EXPECT_EQ(file.path(), target());
    EXPECT_TRUE(file.isInPlace());
    EXPECT_FALSE(QFileInfo(target()).permissions() & QFile::ExeOwner);
    ASSERT_TRUE(file.makeExecutable());
    EXPECT_TRUE(QFileInfo(target()).permissions() & QFile::ExeOwner);
    // Nobody else may read or change an installer about to run.
    EXPECT_FALSE(QFileInfo(target()).permissions() & (QFile::WriteGroup | QFile::WriteOther));
}

TEST_F(InstallerFileTest, UnfinishedFileIsRemovedByDiscardOrWithItsOwner)
{
    {
        InstallerFile file;
        ASSERT_TRUE(file.create(folder.path(), "Setup.exe"));
        ASSERT_TRUE(file.write("MZ", 2));
        EXPECT_EQ(entries(folder.path()).size(), 1);
    }
    EXPECT_EQ(entries(folder.path()), QStringList());

    InstallerFile file;
    ASSERT_TRUE(file.create(folder.path(), "Setup.exe"));
    file.discard();
    EXPECT_EQ(entries(folder.path()), QStringList());
    EXPECT_FALSE(file.write("MZ", 2));
    EXPECT_FALSE(file.commit());

    // A committed file refused later goes too.
    ASSERT_TRUE(file.create(folder.path(), "Setup.exe"));
    ASSERT_TRUE(file.commit());
    file.discard();
    EXPECT_EQ(entries(folder.path()), QStringList());
}

TEST_F(InstallerFileTest, MissingFolderOrANameTakenByAFolderFails)
{
    InstallerFile file;
    EXPECT_FALSE(file.create(folder.filePath("missing"), "Setup.exe"));
    EXPECT_FALSE(file.isOpen());

    ASSERT_TRUE(QDir(folder.path()).mkdir("Setup.exe"));
    ASSERT_TRUE(file.create(folder.path(), "Setup.exe"));
    ASSERT_TRUE(file.write("MZ", 2));
    EXPECT_FALSE(file.commit());
    file.discard();
    EXPECT_EQ(entries(folder.path()), QStringList { "Setup.exe" });
    EXPECT_TRUE(QFileInfo(target()).isDir());
}

} // namespace
