// What several fuzz targets set up once per run: a private folder for the
// dictionary's record file, and the record file for a few words.
#pragma once

#include "dict_limits.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

// A folder of its own under $TMPDIR (or /tmp), removed when the run ends.
class FuzzFolder {
public:
    explicit FuzzFolder(const std::string& name)
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + name + "-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
    }
    ~FuzzFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    FuzzFolder(const FuzzFolder&) = delete;
    FuzzFolder& operator=(const FuzzFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The dictionary's records for `words` (upper-case letters), in sorted order.
inline std::string recordsOf(std::vector<std::string> words)
{
    std::sort(words.begin(), words.end());
    std::string records;
    for (std::string& word : words) {
        word.resize(kWordFieldSize, ' ');
        records += kRecordMark + word;
    }
    return records;
}
