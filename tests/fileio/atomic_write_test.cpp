// The atomic writer: what lands on disk, what a planted link or folder does to
// it, and that every failing step (short writes, flush, close, rename) keeps
// the old file byte for byte and leaves no temporary file.
#include "atomic_write.h"
#include "scratch_folder.h"
#include "system_calls.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace fileiotest;
using fileio::FileError;

namespace {

mode_t permissionsOf(const std::string& path)
{
    struct stat info { };
    ::lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

bool isRegular(const std::string& path)
{
    struct stat info { };
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The writer's failure, or a stage of -1 when it succeeded.
struct Outcome {
    int stage = -1;
    int error = 0;
    std::string text;
};

Outcome attempt(const std::function<void()>& run)
{
    try {
        run();
    } catch (const FileError& e) {
        return { int(e.stage()), e.error(), e.what() };
    }
    return {};
}

constexpr int kOpen = int(FileError::Stage::Open);
constexpr int kWrite = int(FileError::Stage::Write);

// Replacement system calls, each failing one step the way a full or broken disk does.
ssize_t writeNothingFull(int, const void*, std::size_t)
{
    errno = ENOSPC;
    return -1;
}
ssize_t writeOneByte(int fd, const void* data, std::size_t)
{
    return fileio::ScopedSystemCalls::real().write(fd, data, 1);
}
ssize_t writeZero(int, const void*, std::size_t) { return 0; }
int fsyncFull(int)
{
    errno = ENOSPC;
    return -1;
}
int closeFailing(int fd)
{
    fileio::ScopedSystemCalls::real().close(fd);
    errno = EIO;
    return -1;
}
int renameAcrossDevices(const char*, const char*)
{
    errno = EXDEV;
    return -1;
}

fileio::SystemCalls withWrite(ssize_t (*write)(int, const void*, std::size_t))
{
    fileio::SystemCalls calls = fileio::ScopedSystemCalls::real();
    calls.write = write;
    return calls;
}

} // namespace

TEST(AtomicWrite, WritesTheBytesUnderTheRealNameAndLeavesNothingElse)
{
    ScratchFolder dir;
    const std::string bytes = numberedLines(20000, "new");
    fileio::writeFileAtomically(dir.path("brellowlobby.ini"), bytes);
    EXPECT_EQ(contents(dir.path("brellowlobby.ini")), bytes);
    EXPECT_EQ(dir.names(), std::vector<std::string> { "brellowlobby.ini" });

    fileio::writeFileAtomically(dir.path("brellowlobby.ini"), "");
    EXPECT_EQ(contents(dir.path("brellowlobby.ini")), "");
    EXPECT_TRUE(isRegular(dir.path("brellowlobby.ini")));
}

TEST(AtomicWrite, AReplacedFileKeepsItsPermissionsAndANewOneGetsTheAskedMode)
{
    ScratchFolder dir;
    put(dir.path("shared.ini"), "old");
    ASSERT_EQ(::chmod(dir.path("shared.ini").c_str(), 0640), 0);
    fileio::writeFileAtomically(dir.path("shared.ini"), "new");
    EXPECT_EQ(permissionsOf(dir.path("shared.ini")), 0640u);

    fileio::writeFileAtomically(dir.path("English"), "records", 0600);
    EXPECT_EQ(permissionsOf(dir.path("English")), 0600u);
}

TEST(AtomicWrite, ALinkAtTheTargetIsReplacedAndItsTargetNeverWritten)
{
    ScratchFolder dir;
    put(dir.path("victim"), "someone else's data");
    ASSERT_EQ(::symlink(dir.path("victim").c_str(), dir.path("brellowlobby.ini").c_str()), 0);
    fileio::writeFileAtomically(dir.path("brellowlobby.ini"), "[Lexmire]\n");
    EXPECT_EQ(contents(dir.path("victim")), "someone else's data");
    EXPECT_TRUE(isRegular(dir.path("brellowlobby.ini")));
    EXPECT_EQ(contents(dir.path("brellowlobby.ini")), "[Lexmire]\n");

    // A dangling link pointing where the file would be created is no different.
    ASSERT_EQ(::unlink(dir.path("brellowlobby.ini").c_str()), 0);
    ASSERT_EQ(::symlink(dir.path("planted").c_str(), dir.path("brellowlobby.ini").c_str()), 0);
    fileio::writeFileAtomically(dir.path("brellowlobby.ini"), "mine");
    EXPECT_FALSE(fs::exists(dir.path("planted")));
    EXPECT_EQ(contents(dir.path("brellowlobby.ini")), "mine");
}

TEST(AtomicWrite, AFolderOrAMissingFolderIsRefusedBeforeAnythingIsWritten)
{
    ScratchFolder dir;
    fs::create_directory(dir.path("lexmire2tally.tld"));
    const Outcome folder = attempt([&] { fileio::writeFileAtomically(dir.path("lexmire2tally.tld"), "x"); });
    EXPECT_EQ(folder.stage, kOpen);
    EXPECT_EQ(folder.error, EISDIR);
    EXPECT_NE(folder.text.find(dir.path("lexmire2tally.tld")), std::string::npos) << folder.text;

    const Outcome missing = attempt([&] { fileio::writeFileAtomically(dir.path("no/such/file"), "x"); });
    EXPECT_EQ(missing.stage, kOpen);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(attempt([&] { fileio::writeFileAtomically("", "x"); }).stage, kOpen);
    EXPECT_EQ(dir.names(), std::vector<std::string> { "lexmire2tally.tld" });
}

TEST(AtomicWrite, ShortWritesAreCarriedOnUntilEverythingIsWritten)
{
    ScratchFolder dir;
    const fileio::SystemCalls calls = withWrite(writeOneByte);
    const fileio::ScopedSystemCalls swap(calls);
    fileio::writeFileAtomically(dir.path("tally"), "written one byte at a time");
    EXPECT_EQ(contents(dir.path("tally")), "written one byte at a time");
}

TEST(AtomicWrite, EveryFailingStepKeepsTheOldFileAndRemovesTheTemporary)
{
    ScratchFolder dir;
    const std::string old = numberedLines(9000, "old");
    const std::string path = dir.path("brellowlobby.ini");
    put(path, old);

    struct Case {
        const char* what;
        fileio::SystemCalls calls;
        int error;
    };
    fileio::SystemCalls fsyncFails = fileio::ScopedSystemCalls::real();
    fsyncFails.fsync = fsyncFull;
    fileio::SystemCalls closeFails = fileio::ScopedSystemCalls::real();
    closeFails.close = closeFailing;
    fileio::SystemCalls renameFails = fileio::ScopedSystemCalls::real();
    renameFails.rename = renameAcrossDevices;
    const Case cases[] = {
        { "write", withWrite(writeNothingFull), ENOSPC },
        { "write taking nothing", withWrite(writeZero), ENOSPC },
        { "flush", fsyncFails, ENOSPC },
        { "close", closeFails, EIO },
        { "rename", renameFails, EXDEV },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fileio::ScopedSystemCalls swap(c.calls);
        const Outcome outcome
            = attempt([&] { fileio::writeFileAtomically(path, numberedLines(9000, "new")); });
        EXPECT_EQ(outcome.stage, kWrite);
        EXPECT_EQ(outcome.error, c.error);
        EXPECT_EQ(outcome.text, "Unable to write to " + path + ": " + std::strerror(c.error));
        EXPECT_EQ(contents(path), old);
        EXPECT_EQ(dir.names(), std::vector<std::string> { "brellowlobby.ini" });

        EXPECT_EQ(fileio::tryWriteFileAtomically(path, "new"), outcome.text);
        EXPECT_EQ(contents(path), old);
    }
    EXPECT_EQ(fileio::tryWriteFileAtomically(path, "new"), "");
    EXPECT_EQ(contents(path), "new");
}

TEST(AtomicWrite, AnUncommittedWriterLeavesTheOldFile)
{
    ScratchFolder dir;
    put(dir.path("tally"), "old");
    std::string temporary;
    {
        fileio::AtomicWriter writer(dir.path("tally"));
        writer.write("half of the new");
        temporary = writer.temporaryPath();
        EXPECT_TRUE(isRegular(temporary));
    }
    EXPECT_FALSE(fs::exists(temporary));
    EXPECT_EQ(contents(dir.path("tally")), "old");
    EXPECT_EQ(dir.names(), std::vector<std::string> { "tally" });
}

TEST(AtomicWrite, TwoWritersOfOneFileNeverShareATemporaryFile)
{
    ScratchFolder dir;
    fileio::AtomicWriter first(dir.path("tally"));
    fileio::AtomicWriter second(dir.path("tally"));
    EXPECT_NE(first.temporaryPath(), second.temporaryPath());
    const std::string prefix = dir.path("tally") + ".tmp-" + std::to_string(::getpid()) + "-";
    EXPECT_EQ(first.temporaryPath().rfind(prefix, 0), 0u) << first.temporaryPath();
    first.write("first");
    second.write("second");
    first.commit();
    EXPECT_EQ(contents(dir.path("tally")), "first");
    second.commit();
    EXPECT_EQ(contents(dir.path("tally")), "second");
    EXPECT_EQ(dir.names(), std::vector<std::string> { "tally" });
}

TEST(AtomicWrite, ATransientFileIsNotFlushedYetAFailingCloseStillKeepsTheOldFile)
{
    ScratchFolder dir;
    const std::string path = dir.path("English");
    put(path, "old");
    constexpr auto kTransient = fileio::Durability::Transient;
    {
        // A flush would fail here; a transient file never asks for one.
        fileio::SystemCalls fsyncFails = fileio::ScopedSystemCalls::real();
        fsyncFails.fsync = fsyncFull;
        const fileio::ScopedSystemCalls swap(fsyncFails);
        fileio::writeFileAtomically(path, "new", fileio::kDefaultFileMode, kTransient);
        EXPECT_EQ(contents(path), "new");
    }
    fileio::SystemCalls closeFails = fileio::ScopedSystemCalls::real();
    closeFails.close = closeFailing;
    const fileio::ScopedSystemCalls swap(closeFails);
    const Outcome outcome
        = attempt([&] { fileio::writeFileAtomically(path, "newer", fileio::kDefaultFileMode, kTransient); });
    EXPECT_EQ(outcome.stage, kWrite);
    EXPECT_EQ(outcome.error, EIO);
    EXPECT_EQ(contents(path), "new");
    EXPECT_EQ(dir.names(), std::vector<std::string> { "English" });
}
