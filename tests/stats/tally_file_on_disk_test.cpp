// The tally file as found at start: loaded, missing, refused without being
// opened (FIFO, device, link), or damaged and kept aside under a free name.
#include "tally_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class TallyOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path()
            / ("lexmire_tally_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(dir);
        ASSERT_TRUE(fs::create_directories(dir));
        tally = (dir / "lexmire2tally.tld").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    void put(const std::string& path, const std::string& bytes)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string contents(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
    std::string tally;
};

std::vector<TallyModel::Row> someRows()
{
    TallyModel model;
    model.startTallying("Ann");
    model.addgame("Ann", { "Ann" });
    return model.rows();
}

} // namespace

TEST_F(TallyOnDisk, ARegularTallyIsLoadedAndAMissingOneIsNoProblem)
{
    EXPECT_EQ(loadTallyFile(tally).outcome, TallyLoad::Outcome::Missing);
    writeTallyFile(tally, someRows());
    const TallyLoad load = loadTallyFile(tally);
    EXPECT_EQ(load.outcome, TallyLoad::Outcome::Loaded);
    EXPECT_EQ(load.rows, someRows());
    EXPECT_TRUE(load.problem.empty());
}

TEST_F(TallyOnDisk, AFifoADeviceOrALinkIsRefusedAtOnceAndLeftAlone)
{
    // Nobody writes to the FIFO: opening it to read would wait for ever.
    ASSERT_EQ(::mkfifo(tally.c_str(), 0600), 0);
    TallyLoad load = loadTallyFile(tally);
    EXPECT_EQ(load.outcome, TallyLoad::Outcome::NotAFile);
    EXPECT_EQ(load.problem, tally + " is not a regular file");
    struct stat info { };
    ASSERT_EQ(::lstat(tally.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(names(), std::vector<std::string> { "lexmire2tally.tld" });

    ASSERT_EQ(::unlink(tally.c_str()), 0);
    ASSERT_EQ(::symlink("/dev/zero", tally.c_str()), 0);
    EXPECT_EQ(loadTallyFile(tally).outcome, TallyLoad::Outcome::NotAFile);
    EXPECT_EQ(fs::read_symlink(tally), "/dev/zero");

    ASSERT_EQ(::unlink(tally.c_str()), 0);
    writeTallyFile((dir / "real.tld").string(), someRows());
    ASSERT_EQ(::symlink((dir / "real.tld").c_str(), tally.c_str()), 0);
    EXPECT_EQ(loadTallyFile(tally).outcome, TallyLoad::Outcome::NotAFile);
    EXPECT_TRUE(fs::is_symlink(tally));
}

TEST_F(TallyOnDisk, EveryUnreadableTallyIsKeptUnderANameOfItsOwn)
{
    const std::vector<std::string> damaged { "not a tally at all", "WRZL\xff\xff\xff\xff broken", "" };
    std::vector<std::string> kept;
    for (const std::string& bytes : damaged) {
        put(tally, bytes);
        const TallyLoad load = loadTallyFile(tally);
        EXPECT_EQ(load.outcome, TallyLoad::Outcome::KeptAside) << load.problem;
        EXPECT_FALSE(load.problem.empty());
        kept.push_back(load.keptAs);
        EXPECT_FALSE(fs::exists(tally));
    }
    EXPECT_EQ(kept,
        (std::vector<std::string> {
            tally + ".unreadable", tally + ".unreadable.1", tally + ".unreadable.2" }));
    for (std::size_t i = 0; i < damaged.size(); ++i)
        EXPECT_EQ(contents(kept[i]), damaged[i]);
}

TEST_F(TallyOnDisk, TemporaryFilesOfAKilledSaveAreClearedAtStart)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    ::waitpid(child, &status, 0);
    writeTallyFile(tally, someRows());
    put(tally + ".tmp-" + std::to_string(child) + "-4", "half a tally");
    EXPECT_EQ(loadTallyFile(tally).outcome, TallyLoad::Outcome::Loaded);
    EXPECT_EQ(names(), std::vector<std::string> { "lexmire2tally.tld" });
}
