// TDictn: writing the record file when needed, and the on-disk bisection.
#include "tdictn.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kNotFoundNotice = "English.dic dictionary not found!";

// Creates the missing folders leading to a file, private to the user: the list
// lives in a per-user runtime folder that nobody else should be able to fill.
bool makeFolders(const std::filesystem::path& folder)
{
    if (folder.empty())
        return true;
    struct stat st { };
    if (::stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    if (errno != ENOENT || folder == folder.parent_path())
        return false;
    if (!makeFolders(folder.parent_path()))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

char upperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

} // namespace

TDictn::TDictn(std::string filePath, Notice notice, std::string_view records)
    : path_(std::move(filePath))
    , notice_(std::move(notice))
    , records_(records.substr(0, records.find('\0')))
{
    OpenDictionary();
}

TDictn::~TDictn() { CloseDictionary(); }

void TDictn::OpenDictionary()
{
    if (open_)
        return;
    writeFileWhenStale();

    file_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    struct stat st { };
    if (file_ < 0 || ::fstat(file_, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (file_ >= 0)
            ::close(file_);
        file_ = -1;
        if (notice_)
            notice_(kNotFoundNotice);
        return;
    }
    device_ = st.st_dev;
    inode_ = st.st_ino;
    lastIndex_ = static_cast<std::int64_t>(st.st_size) / static_cast<std::int64_t>(kRecordSize) - 1;
    open_ = true;
}

// A file left by a crash is reused only when it could be this list; one of
// another size comes from another version or was damaged, and is replaced.
// With nothing to write, whatever is there is used as it is.
void TDictn::writeFileWhenStale()
{
    if (records_.empty())
        return;
    struct stat st { };
    if (::lstat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)
        && static_cast<std::size_t>(st.st_size) % kRecordSize == 0
        && static_cast<std::size_t>(st.st_size) == records_.size())
        return;
    writeFile();
}

// Written under a temporary name in the same folder and renamed into place, so
// a crash or a full disk never leaves a short list that would later be trusted.
void TDictn::writeFile()
{
    const std::string cannotCreate = "Cannot create file " + path_;
    if (!makeFolders(std::filesystem::path(path_).parent_path()))
        throw std::runtime_error(cannotCreate);

    const std::string tempPath = path_ + ".tmp." + std::to_string(::getpid());
    ::unlink(tempPath.c_str());
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        throw std::runtime_error(cannotCreate);
    const bool written = writeAll(fd, records_);
    // close() is where some file systems report a failed write.
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(tempPath.c_str(), path_.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        throw std::runtime_error(cannotCreate);
    }
}

bool TDictn::readRecord(std::int64_t index)
{
    ++recordReads_;
    const auto offset = static_cast<off_t>(index * static_cast<std::int64_t>(kRecordSize));
    std::size_t got = 0;
    while (got < kRecordSize) {
        const ssize_t n
            = ::pread(file_, recordBuffer_.data() + got, kRecordSize - got, offset + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool TDictn::CheckWord(std::string_view query)
{
    recordReads_ = 0;
    if (!open_)
        return false;

    std::string word(query);
    std::replace(word.begin(), word.end(), '\0', ' ');
    const std::size_t first = word.find_first_not_of(' ');
    if (first == std::string::npos)
        return false;
    word = word.substr(first, word.find_last_not_of(' ') - first + 1);
    // A query longer than the width keeps its length and so can never equal a
    // record's value: fifteen letters or more, or any inner space, is no word.
    if (word.size() < kWordWidth)
        word.resize(kWordWidth, ' ');
    std::transform(word.begin(), word.end(), word.begin(), upperCase);

    std::array<char, kWordWidth> value {};
    std::int64_t low = 0;
    std::int64_t high = lastIndex_;
    while (low <= high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (!readRecord(middle))
            return false;
        std::transform(recordBuffer_.begin() + 1, recordBuffer_.end(), value.begin(), upperCase);
        value[kWordWidth - 1] = ' ';
        // char_traits<char> compares bytes as unsigned, the order the list is sorted in.
        const int order = std::string_view(value.data(), value.size()).compare(word);
        if (order == 0)
            return true;
        if (order < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return false;
}

void TDictn::CloseDictionary()
{
    open_ = false;
    if (file_ < 0)
        return;
    ::close(file_);
    file_ = -1;
    struct stat st { };
    if (::lstat(path_.c_str(), &st) == 0 && static_cast<std::uint64_t>(st.st_dev) == device_
        && static_cast<std::uint64_t>(st.st_ino) == inode_)
        ::unlink(path_.c_str());
}
