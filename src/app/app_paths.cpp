// Where the program's files live.
#include "app_paths.h"

#include <QDir>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes dir (one level) with mode 0700, or accepts an existing one only when
// it is a real folder of ours that nobody else can enter.
void ensurePrivateFolder(const std::string& dir)
{
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        throw std::runtime_error("Cannot create folder " + dir);
    struct stat info {};
    if (::lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        throw std::runtime_error("Folder is not private: " + dir);
    if ((info.st_mode & 077) != 0 && ::chmod(dir.c_str(), 0700) != 0)
        throw std::runtime_error("Folder is not private: " + dir);
}

} // namespace

std::string AppPaths::runtimeFolder()
{
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    std::string folder;
    if (xdg && *xdg && ::stat(xdg, &info) == 0 && S_ISDIR(info.st_mode))
        folder = std::string(xdg) + "/lexmire";
    else
        folder = QDir::tempPath().toStdString() + "/lexmire-" + std::to_string(::getuid());
    ensurePrivateFolder(folder);
    return folder;
}

std::string AppPaths::dictionaryFile()
{
    return runtimeFolder() + "/English";
}
