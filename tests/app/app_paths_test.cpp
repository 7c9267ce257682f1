// The private runtime folder.
#include "app_paths.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

#include <sys/stat.h>

TEST(AppPaths, DictionaryLivesInAPrivateFolderUnderTheRuntimeFolder)
{
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    std::string previous = saved ? saved : "";
    ::setenv("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData(), 1);

    const std::string folder = runtime.path().toStdString() + "/lexmire";
    // A folder others can enter is made private again.
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    EXPECT_EQ(AppPaths::dictionaryFile(), folder + "/English");
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // Something else in the folder's place is refused rather than used.
    ASSERT_EQ(::rmdir(folder.c_str()), 0);
    ASSERT_EQ(::symlink("/tmp", folder.c_str()), 0);
    EXPECT_THROW(AppPaths::dictionaryFile(), std::runtime_error);

    if (saved)
        ::setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}
