// Builds a dictionary record file's bytes from a few words, for tests.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace testsupport {

inline std::string makeWordRecords(std::vector<std::string> words)
{
    for (std::string& w : words) {
        for (char& c : w)
            if (c >= 'a' && c <= 'z')
                c = char(c - 'a' + 'A');
        w.resize(14, ' ');
    }
    std::sort(words.begin(), words.end());
    std::string records;
    for (const std::string& w : words)
        records += '\x1E' + w;
    return records;
}

} // namespace testsupport
