// Safe reads: regular files whole, everything else refused at once and told
// apart, and the caller's size cap.
#include "safe_read.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace fileiotest;
using fileio::FileKind;
using fileio::ReadStatus;

TEST(SafeRead, ARegularFileIsReadWhole)
{
    ScratchFolder dir;
    const std::string bytes = numberedLines(100000, "tally") + std::string("\0\xff", 2);
    put(dir.path("tally"), bytes);
    const fileio::ReadResult result = fileio::readFile(dir.path("tally"), 1 << 20);
    EXPECT_EQ(result.status, ReadStatus::Ok);
    EXPECT_EQ(result.bytes, bytes);
    EXPECT_TRUE(result.message.empty());

    put(dir.path("empty"), "");
    EXPECT_EQ(fileio::readFile(dir.path("empty"), 0).status, ReadStatus::Ok);
}

TEST(SafeRead, AMissingFileIsMissing)
{
    ScratchFolder dir;
    const fileio::ReadResult result = fileio::readFile(dir.path("nothing"), 100);
    EXPECT_EQ(result.status, ReadStatus::Missing);
    EXPECT_EQ(result.message, dir.path("nothing") + " does not exist");
    EXPECT_EQ(fileio::kindOf(dir.path("nothing")), FileKind::Missing);
}

TEST(SafeRead, AFifoAFolderAndADeviceAreRefusedAtOnce)
{
    ScratchFolder dir;
    // Nobody ever writes to this FIFO: a read that waited for a writer would hang here.
    ASSERT_EQ(::mkfifo(dir.path("fifo").c_str(), 0600), 0);
    fs::create_directory(dir.path("folder"));
    for (const std::string& path : { dir.path("fifo"), dir.path("folder"), std::string("/dev/zero") }) {
        SCOPED_TRACE(path);
        const fileio::ReadResult result = fileio::readFile(path, 1 << 20);
        EXPECT_EQ(result.status, ReadStatus::NotRegular);
        EXPECT_TRUE(result.bytes.empty());
        EXPECT_EQ(result.message, path + " is not a regular file");
    }
    EXPECT_EQ(fileio::kindOf(dir.path("fifo")), FileKind::Other);
    EXPECT_EQ(fileio::kindOf(dir.path("folder")), FileKind::Folder);
    EXPECT_EQ(fileio::kindOf("/dev/zero"), FileKind::Other);
}

TEST(SafeRead, ALinkIsRefusedEvenToARegularFile)
{
    ScratchFolder dir;
    put(dir.path("elsewhere"), "someone else's file");
    ASSERT_EQ(::symlink(dir.path("elsewhere").c_str(), dir.path("link").c_str()), 0);
    ASSERT_EQ(::symlink(dir.path("gone").c_str(), dir.path("dangling").c_str()), 0);
    EXPECT_EQ(fileio::readFile(dir.path("link"), 100).status, ReadStatus::NotRegular);
    EXPECT_EQ(fileio::readFile(dir.path("dangling"), 100).status, ReadStatus::NotRegular);
    EXPECT_EQ(fileio::kindOf(dir.path("link")), FileKind::SymbolicLink);
    EXPECT_EQ(fileio::kindOf(dir.path("elsewhere")), FileKind::Regular);
}

TEST(SafeRead, AFileOverTheCapIsRefusedAndOneAtTheCapIsRead)
{
    ScratchFolder dir;
    put(dir.path("at"), std::string(4096, 'a'));
    put(dir.path("over"), std::string(4097, 'a'));
    EXPECT_EQ(fileio::readFile(dir.path("at"), 4096).bytes.size(), 4096u);
    const fileio::ReadResult over = fileio::readFile(dir.path("over"), 4096);
    EXPECT_EQ(over.status, ReadStatus::TooLarge);
    EXPECT_TRUE(over.bytes.empty());
    EXPECT_EQ(over.message, dir.path("over") + " is too large");
}

TEST(SafeRead, PositionedReadsStopAtTheEnd)
{
    ScratchFolder dir;
    put(dir.path("f"), "WRZL0123");
    fileio::ReadOnlyFile file(dir.path("f"));
    ASSERT_EQ(file.status(), ReadStatus::Ok);
    EXPECT_EQ(file.size(), 8u);
    char head[4];
    ASSERT_TRUE(file.readAt(0, head, 4));
    EXPECT_EQ(std::string(head, 4), "WRZL");
    EXPECT_FALSE(file.readAt(6, head, 4));
}

TEST(SafeRead, AFileThatCannotBeOpenedIsUnreadable)
{
    ScratchFolder dir;
    put(dir.path("locked"), "secret");
    ASSERT_EQ(::chmod(dir.path("locked").c_str(), 0), 0);
    if (::access(dir.path("locked").c_str(), R_OK) == 0)
        GTEST_SKIP() << "this account reads files without read permission (root)";
    const fileio::ReadResult result = fileio::readFile(dir.path("locked"), 100);
    EXPECT_EQ(result.status, ReadStatus::Unreadable);
    EXPECT_EQ(result.message, "Unable to read " + dir.path("locked") + ": Permission denied");
}
