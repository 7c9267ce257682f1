// A disk that fills up while a file is being replaced: first through the file
// size limit (write fails with EFBIG part way through), then on a real, tiny
// tmpfs mounted in a private namespace of a child process. Either way the old
// file must come back byte for byte.
#include "atomic_write.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace fileiotest;

namespace {

// Lowers the largest file this process may write, so a write fails part way
// as on a full disk; restored when it goes out of scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit low = old_;
        low.rlim_cur = std::min(bytes, old_.rlim_cur);
        // Past the limit write() fails with EFBIG instead of the process being killed.
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &low);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_ {};
    void (*oldHandler_)(int) = nullptr;
};

// Exit codes of the child that runs on the tmpfs.
enum ChildResult {
    kPassed = 0,
    kNoMount = 77, // this system lets no namespace or tmpfs be made: nothing was tried
    kNotFull = 78, // the disk could not be filled
    kSaved = 79, // the write claimed success on a full disk
    kOldChanged = 80,
    kTemporaryLeft = 81,
};

bool fillUp(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) { }
    const bool full = errno == ENOSPC;
    // One page back, so the new file starts fine and runs out part way.
    const off_t size = ::lseek(fd, 0, SEEK_END);
    const bool freed = ::ftruncate(fd, std::max<off_t>(0, size - 4096)) == 0;
    ::close(fd);
    return full && freed;
}

int replaceOnATinyDisk(const std::string& mountPoint)
{
    const bool root = ::geteuid() == 0;
    if (::unshare(CLONE_NEWNS | (root ? 0 : CLONE_NEWUSER)) != 0)
        return kNoMount;
    // Keeps the tmpfs out of the namespace the test runs in.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
        return kNoMount;
    const std::string path = mountPoint + "/brellowlobby.ini";
    const std::string old = numberedLines(9000, "old");
    put(path, old);
    if (contents(path) != old || !fillUp(mountPoint + "/filler"))
        return kNotFull;
    try {
        fileio::writeFileAtomically(path, numberedLines(9000, "new"));
        return kSaved;
    } catch (const fileio::FileError&) {
    }
    if (contents(path) != old)
        return kOldChanged;
    const std::vector<std::string> expected { "brellowlobby.ini", "filler" };
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(mountPoint))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names == expected ? kPassed : kTemporaryLeft;
}

} // namespace

TEST(FullDisk, AWriteCutShortByTheSizeLimitKeepsTheOldFile)
{
    ScratchFolder dir;
    const std::string path = dir.path("brellowlobby.ini");
    const std::string old = numberedLines(9000, "old");
    put(path, old);
    {
        const FileSizeLimit limit(4096);
        try {
            fileio::writeFileAtomically(path, numberedLines(9000, "new"));
            ADD_FAILURE() << "a write past the size limit reported success";
        } catch (const fileio::FileError& error) {
            EXPECT_EQ(error.stage(), fileio::FileError::Stage::Write);
            EXPECT_EQ(error.error(), EFBIG);
        }
    }
    EXPECT_EQ(contents(path), old);
    EXPECT_EQ(dir.names(), std::vector<std::string> { "brellowlobby.ini" });
}

TEST(FullDisk, AFullTmpfsKeepsTheOldFileByteForByte)
{
    ScratchFolder dir;
    fs::create_directory(dir.path("disk"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(replaceOnATinyDisk(dir.path("disk")));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kNoMount)
        GTEST_SKIP() << "no private tmpfs can be mounted here";
    EXPECT_EQ(WEXITSTATUS(status), kPassed);
}
