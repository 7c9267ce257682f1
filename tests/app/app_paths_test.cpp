// Where files live: the private runtime folder and its fallback, how the
// program's folder is judged (installed, ours alone, shared), and the paths
// each layout gives.
#include "app_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Sets or clears one environment variable and puts it back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<QString>& value)
        : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = std::string(old);
        if (value)
            ::setenv(name, value->toUtf8().constData(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

mode_t modeOf(const QString& path)
{
    struct stat info { };
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info.st_mode;
}

void makeFolder(const QString& path, mode_t mode)
{
    ASSERT_TRUE(QDir().mkpath(path));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

// Per-user folders and the home override pointed into a scratch folder, so no
// test touches the real ones.
class AppPathsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scratch.isValid()); }
    QString at(const QString& name) const { return scratch.filePath(name); }

    QTemporaryDir scratch;
    ScopedEnv home { "LEXMIRE_HOME", std::nullopt };
    ScopedEnv config { "XDG_CONFIG_HOME", scratch.filePath("config") };
    ScopedEnv data { "XDG_DATA_HOME", scratch.filePath("data") };
};

QString userConfig()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + "/lexmire";
}
QString userData() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/lexmire"; }

} // namespace

TEST(AppPaths, DictionaryLivesInAPrivateFolderUnderTheRuntimeFolder)
{
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.path());

    const std::string folder = runtime.path().toStdString() + "/lexmire";
    // A folder others can enter is made private again.
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    EXPECT_EQ(AppPaths::dictionaryFile(), folder + "/English");
    struct stat info { };
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // Something else in the folder's place is refused rather than used.
    ASSERT_EQ(::rmdir(folder.c_str()), 0);
    ASSERT_EQ(::symlink("/tmp", folder.c_str()), 0);
    EXPECT_THROW(AppPaths::dictionaryFile(), std::runtime_error);
}

TEST_F(AppPathsTest, WithoutASessionRuntimeFolderAPrivateOneUnderTheCacheIsUsed)
{
    const ScopedEnv noRuntime("XDG_RUNTIME_DIR", std::nullopt);
    const ScopedEnv cache("XDG_CACHE_HOME", at("cache"));
    const ScopedEnv temp("TMPDIR", at("tmp"));
    // Another user taking the old shared name first no longer matters.
    ASSERT_TRUE(QDir().mkpath(at("tmp")));
    const QString squatted = at("tmp/lexmire-") + QString::number(::getuid());
    ASSERT_TRUE(QFile::link(at("elsewhere"), squatted));

    QString host;
    for (const QChar c : QSysInfo::machineHostName().left(64))
        if ((c.isLetterOrNumber() && c.unicode() < 128) || c == u'-' || c == u'.' || c == u'_')
            host += c;
    const QString expected = at("cache/lexmire/runtime-") + (host.isEmpty() ? "host" : host);
    EXPECT_EQ(QString::fromStdString(AppPaths::runtimeFolder()), expected);
    EXPECT_TRUE(S_ISDIR(modeOf(expected)));
    EXPECT_EQ(modeOf(expected) & 0777, 0700u);
    EXPECT_TRUE(QFileInfo(squatted).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(at("elsewhere")));

    // Opened up since: made private again. A link in its place: refused.
    ASSERT_EQ(::chmod(QFile::encodeName(expected).constData(), 0755), 0);
    EXPECT_EQ(QString::fromStdString(AppPaths::runtimeFolder()), expected);
    EXPECT_EQ(modeOf(expected) & 0777, 0700u);
    ASSERT_TRUE(QDir(expected).removeRecursively());
    ASSERT_TRUE(QFile::link(at("elsewhere"), expected));
    EXPECT_THROW(AppPaths::runtimeFolder(), std::runtime_error);
}

TEST_F(AppPathsTest, AFolderOfOursAloneIsPrivateAndOneOthersCanWriteIsShared)
{
    makeFolder(at("portable"), 0755);
    EXPECT_EQ(AppPaths::classify(at("portable")), AppPaths::ProgramFolder::Private);
    for (const mode_t open : { 0775u, 0757u, 0777u, 01777u }) {
        makeFolder(at("portable"), open);
        EXPECT_EQ(AppPaths::classify(at("portable")), AppPaths::ProgramFolder::Shared) << std::oct << open;
    }
    EXPECT_EQ(AppPaths::classify(at("missing")), AppPaths::ProgramFolder::Shared);
    QFile plain(at("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    EXPECT_EQ(AppPaths::classify(at("plain")), AppPaths::ProgramFolder::Shared);
}

TEST_F(AppPathsTest, AFolderAboveThatOthersMayChangeMakesItShared)
{
    // Others could rename "app" away and put their own folder in its place.
    makeFolder(at("open"), 0777);
    makeFolder(at("open/app"), 0755);
    EXPECT_EQ(AppPaths::classify(at("open/app")), AppPaths::ProgramFolder::Shared);
    // With the sticky bit (as /tmp has) they cannot.
    makeFolder(at("sticky"), 01777);
    makeFolder(at("sticky/app"), 0755);
    EXPECT_EQ(AppPaths::classify(at("sticky/app")), AppPaths::ProgramFolder::Private);
}

TEST_F(AppPathsTest, AFolderOwnedByAnotherUserIsShared)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    constexpr uid_t kNobody = 65534;
    makeFolder(at("theirs/app"), 0755);
    ASSERT_EQ(::chown(QFile::encodeName(at("theirs/app")).constData(), kNobody, kNobody), 0);
    EXPECT_EQ(AppPaths::classify(at("theirs/app")), AppPaths::ProgramFolder::Shared);
    ASSERT_EQ(::chown(QFile::encodeName(at("theirs/app")).constData(), 0, 0), 0);
    ASSERT_EQ(::chown(QFile::encodeName(at("theirs")).constData(), kNobody, kNobody), 0);
    EXPECT_EQ(AppPaths::classify(at("theirs/app")), AppPaths::ProgramFolder::Shared);
}

TEST_F(AppPathsTest, APrivateProgramFolderKeepsItsFilesBesideTheProgram)
{
    makeFolder(at("build/src/app"), 0755);
    const QString program = at("build/src/app");
    EXPECT_EQ(AppPaths::homeFolder(program), program);
    EXPECT_EQ(AppPaths::dataFolder(program), program);
    EXPECT_EQ(AppPaths::settingsFile(program), program + "/brellowlobby.ini");
    EXPECT_EQ(AppPaths::tallyFile(program), program + "/lexmire2tally.tld");
    EXPECT_EQ(AppPaths::tileFolders(program), QStringList { program + "/lexmiretiles" });
    EXPECT_EQ(AppPaths::downloadFolder(program), program);
}

TEST_F(AppPathsTest, ASharedProgramFolderIsNeverWrittenEvenWithALinkPlantedInIt)
{
    makeFolder(at("shared"), 0777);
    const QString program = at("shared");
    ASSERT_TRUE(QFile::link(at("victim"), program + "/brellowlobby.ini"));
    EXPECT_EQ(AppPaths::homeFolder(program), "");
    EXPECT_EQ(AppPaths::settingsFile(program), userConfig() + "/brellowlobby.ini");
    EXPECT_EQ(AppPaths::tallyFile(program), userData() + "/lexmire2tally.tld");
    EXPECT_EQ(AppPaths::tileFolders(program),
        (QStringList { program + "/lexmiretiles", userData() + "/lexmiretiles" }));
    EXPECT_TRUE(AppPaths::settingsFile(program).startsWith(at("config/")));
    EXPECT_TRUE(QFileInfo(userConfig()).isDir());
}

TEST_F(AppPathsTest, AnInstalledProgramReadsItsShareFolderAndWritesOnlyPerUser)
{
    makeFolder(at("usr/bin"), 0755);
    makeFolder(at("usr/share/lexmire/lexmiretiles"), 0755);
    const QString program = at("usr/bin");
    EXPECT_EQ(AppPaths::classify(program), AppPaths::ProgramFolder::Installed);
    EXPECT_EQ(AppPaths::homeFolder(program), "") << "never beside itself, though the folder is ours";
    EXPECT_EQ(AppPaths::dataFolder(program), at("usr/share/lexmire"));
    EXPECT_EQ(AppPaths::settingsFile(program), userConfig() + "/brellowlobby.ini");
    EXPECT_EQ(AppPaths::tallyFile(program), userData() + "/lexmire2tally.tld");
    EXPECT_EQ(AppPaths::downloadFolder(program), userData());
    EXPECT_EQ(AppPaths::tileFolders(program),
        (QStringList { at("usr/share/lexmire/lexmiretiles"), userData() + "/lexmiretiles" }));

    // A "bin" folder without the shared data beside it is just a folder.
    makeFolder(at("opt/bin"), 0755);
    EXPECT_EQ(AppPaths::classify(at("opt/bin")), AppPaths::ProgramFolder::Private);
    EXPECT_EQ(AppPaths::dataFolder(at("opt/bin")), at("opt/bin"));
}

TEST_F(AppPathsTest, LexmireHomeTakesEveryWrittenFile)
{
    makeFolder(at("usr/bin"), 0755);
    makeFolder(at("usr/share/lexmire"), 0755);
    const ScopedEnv own("LEXMIRE_HOME", at("ann"));
    for (const QString& program : { at("usr/bin"), at("usr/share") }) {
        EXPECT_EQ(AppPaths::settingsFile(program), at("ann/brellowlobby.ini"));
        EXPECT_EQ(AppPaths::tallyFile(program), at("ann/lexmire2tally.tld"));
        EXPECT_EQ(AppPaths::downloadFolder(program), at("ann"));
    }
    EXPECT_EQ(AppPaths::tileFolders(at("usr/bin")),
        (QStringList { at("usr/share/lexmire/lexmiretiles"), at("ann/lexmiretiles") }));
    EXPECT_TRUE(QFileInfo(at("ann")).isDir());
}
