// Moving a file aside under a free name.
#include "move_aside.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>

namespace fileio {
namespace {

    // Renames only when nothing has the new name. File systems without an
    // atomic no-replace rename get a check and a plain rename; only this program
    // makes these names, so the gap between the two is not contested.
    int renameWithoutReplacing(const std::string& from, const std::string& to)
    {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return 0;
        if (errno != EINVAL && errno != ENOSYS)
            return -1;
        struct stat info { };
        if (::lstat(to.c_str(), &info) == 0) {
            errno = EEXIST;
            return -1;
        }
        return ::rename(from.c_str(), to.c_str());
    }

} // namespace

std::string moveAside(const std::string& path, const std::string& aside)
{
    for (int n = 0; n <= kMaxKeptAside; ++n) {
        const std::string name = n == 0 ? aside : aside + "." + std::to_string(n);
        if (renameWithoutReplacing(path, name) == 0)
            return name;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

} // namespace fileio
