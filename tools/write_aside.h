// Build tools' output: written aside and renamed, so an interrupted build never
// leaves a short file that looks up to date.
#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

// Writes bytes to path through path + ".part"; returns the failure, or an empty
// string when the file is in place whole.
inline std::string writeAside(const std::string& path, const std::string& bytes)
{
    const std::string partPath = path + ".part";
    {
        std::ofstream output(partPath, std::ios::binary | std::ios::trunc);
        output.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        output.close();
        if (!output) {
            std::remove(partPath.c_str());
            return "cannot write " + partPath;
        }
    }
    if (std::rename(partPath.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        std::remove(partPath.c_str());
        return "cannot rename " + partPath + " to " + path + ": " + reason;
    }
    return {};
}
