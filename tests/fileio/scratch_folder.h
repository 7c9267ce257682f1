// A fresh folder per test, removed with everything in it afterwards, and small
// helpers to put and take whole files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace fileiotest {

namespace fs = std::filesystem;

class ScratchFolder {
public:
    ScratchFolder()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::temp_directory_path()
            / ("lexmire_fileio_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_"
                + info->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(root_, ignored);
    }

    std::string path(const std::string& name) const { return (root_ / name).string(); }
    const fs::path& root() const { return root_; }

    // Every name in the folder, sorted, so a left-over temporary file shows.
    std::vector<std::string> names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path root_;
};

inline std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void put(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Text of a given length whose every line differs, so a cut or a shifted block shows.
inline std::string numberedLines(std::size_t length, const std::string& tag)
{
    std::string text;
    for (int line = 0; text.size() < length; ++line)
        text += tag + " line " + std::to_string(line) + " of the settings\r\n";
    text.resize(length);
    return text;
}

} // namespace fileiotest
