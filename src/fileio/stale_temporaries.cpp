// Stale temporary files.
#include "stale_temporaries.h"

#include "atomic_write.h"

#include <cerrno>
#include <charconv>
#include <optional>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {
namespace {

    // A folder holding more entries than this is not one of ours; the scan stops
    // there rather than walking it for ever.
    constexpr int kMaxEntriesScanned = 100000;

    // The whole text as a decimal number without sign or leading zero; nullopt otherwise.
    template <typename Number> std::optional<Number> plainNumber(std::string_view text)
    {
        if (text.empty() || text.size() > 19 || (text.size() > 1 && text.front() == '0'))
            return std::nullopt;
        Number value {};
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size())
            return std::nullopt;
        return value;
    }

    // The writer's process id in "<pid>-<n>", the part after the prefix.
    std::optional<pid_t> writerOf(std::string_view suffix)
    {
        const std::size_t dash = suffix.find('-');
        if (dash == std::string_view::npos || !plainNumber<unsigned long long>(suffix.substr(dash + 1)))
            return std::nullopt;
        const std::optional<pid_t> pid = plainNumber<pid_t>(suffix.substr(0, dash));
        if (!pid || *pid <= 0)
            return std::nullopt;
        return pid;
    }

} // namespace

bool processRuns(pid_t pid)
{
    // Signal 0 only asks whether the process exists. Ids of 0 and below would
    // address whole process groups, so they never name a writer.
    if (pid <= 0)
        return false;
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

int removeStaleTemporaries(const std::string& path)
{
    const std::string prefix = temporaryPrefix(path);
    const std::size_t slash = prefix.rfind('/');
    const std::string folder
        = slash == std::string::npos ? "." : (slash == 0 ? "/" : prefix.substr(0, slash));
    const std::string namePrefix = slash == std::string::npos ? prefix : prefix.substr(slash + 1);

    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return 0;
    DIR* dir = ::fdopendir(folderFd);
    if (!dir) {
        ::close(folderFd);
        return 0;
    }
    int removed = 0;
    int scanned = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (++scanned > kMaxEntriesScanned)
            break;
        const std::string_view name(entry->d_name);
        if (name.size() <= namePrefix.size() || name.substr(0, namePrefix.size()) != namePrefix)
            continue;
        const std::optional<pid_t> writer = writerOf(name.substr(namePrefix.size()));
        if (!writer || processRuns(*writer))
            continue;
        struct stat info { };
        if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)
            || info.st_uid != ::geteuid())
            continue;
        if (::unlinkat(folderFd, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir); // closes folderFd too
    return removed;
}

} // namespace fileio
