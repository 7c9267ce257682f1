// Clean-up after dead writers: only a dead process's temporary files of the
// one file named go; everything else stays.
#include "scratch_folder.h"
#include "stale_temporaries.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace fileiotest;

namespace {

// The id of a process that has ended and been reaped.
pid_t deadProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

} // namespace

TEST(StaleTemporaries, ADeadWritersFilesGoAndALiveOnesStay)
{
    ScratchFolder dir;
    const pid_t dead = deadProcess();
    ASSERT_FALSE(fileio::processRuns(dead));
    const std::string tally = dir.path("lexmire2tally.tld");
    const std::string deadPrefix = tally + ".tmp-" + std::to_string(dead) + "-";
    const std::string livePrefix = tally + ".tmp-" + std::to_string(::getpid()) + "-";

    put(tally, "the tally");
    put(deadPrefix + "0", "half a tally");
    put(deadPrefix + "17", "another half");
    put(livePrefix + "3", "being written right now");
    put(dir.path("brellowlobby.ini.tmp-" + std::to_string(dead) + "-0"), "another file's");
    put(deadPrefix + "x", "not a serial number");
    put(deadPrefix + "01", "not as a writer names it");
    put(tally + ".tmp--1-0", "no process id");
    put(tally + ".tmp-0-0", "a process group, not a writer");
    fs::create_directory(deadPrefix + "5");
    ASSERT_EQ(::symlink(tally.c_str(), (deadPrefix + "6").c_str()), 0);

    EXPECT_EQ(fileio::removeStaleTemporaries(tally), 2);
    const std::string deadId = std::to_string(dead);
    const std::string live = std::to_string(::getpid());
    std::vector<std::string> kept { "brellowlobby.ini.tmp-" + deadId + "-0", "lexmire2tally.tld",
        "lexmire2tally.tld.tmp--1-0", "lexmire2tally.tld.tmp-" + deadId + "-01",
        "lexmire2tally.tld.tmp-" + deadId + "-5", "lexmire2tally.tld.tmp-" + deadId + "-6",
        "lexmire2tally.tld.tmp-" + deadId + "-x", "lexmire2tally.tld.tmp-0-0",
        "lexmire2tally.tld.tmp-" + live + "-3" };
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(dir.names(), kept);
    EXPECT_EQ(contents(tally), "the tally");
    EXPECT_EQ(fileio::removeStaleTemporaries(tally), 0);
}

TEST(StaleTemporaries, AMissingFolderRemovesNothing)
{
    ScratchFolder dir;
    EXPECT_EQ(fileio::removeStaleTemporaries(dir.path("gone/lexmire2tally.tld")), 0);
}

TEST(StaleTemporaries, ProcessIdsThatNameGroupsNeverCountAsRunning)
{
    EXPECT_TRUE(fileio::processRuns(::getpid()));
    EXPECT_TRUE(fileio::processRuns(1));
    EXPECT_FALSE(fileio::processRuns(0));
    EXPECT_FALSE(fileio::processRuns(-1));
    EXPECT_FALSE(fileio::processRuns(deadProcess()));
}
