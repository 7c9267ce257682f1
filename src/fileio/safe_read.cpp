// Safe reads.
#include "safe_read.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {

FileKind kindOf(const std::string& path)
{
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0)
        return FileKind::Missing;
    if (S_ISREG(info.st_mode))
        return FileKind::Regular;
    if (S_ISDIR(info.st_mode))
        return FileKind::Folder;
    if (S_ISLNK(info.st_mode))
        return FileKind::SymbolicLink;
    return FileKind::Other;
}

ReadOnlyFile::ReadOnlyFile(const std::string& path)
{
    // O_NONBLOCK lets a FIFO open at once instead of waiting for a writer; it
    // changes nothing for a regular file. O_NOFOLLOW fails on a link with ELOOP.
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        if (error_ == ENOENT || error_ == ENOTDIR)
            status_ = ReadStatus::Missing;
        else if (error_ == ELOOP || error_ == ENXIO)
            status_ = ReadStatus::NotRegular;
        else
            status_ = ReadStatus::Unreadable;
        return;
    }
    struct stat info { };
    if (::fstat(fd_, &info) != 0) {
        error_ = errno;
        status_ = ReadStatus::Unreadable;
    } else if (!S_ISREG(info.st_mode)) {
        status_ = ReadStatus::NotRegular;
    } else {
        status_ = ReadStatus::Ok;
        size_ = static_cast<std::uint64_t>(info.st_size);
    }
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool ReadOnlyFile::readAt(std::uint64_t offset, char* into, std::size_t length) const
{
    if (status_ != ReadStatus::Ok)
        return false;
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd_, into + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

ReadStatus ReadOnlyFile::readAll(std::uint64_t maxBytes, std::string& into)
{
    if (status_ != ReadStatus::Ok)
        return status_;
    if (size_ > maxBytes)
        return ReadStatus::TooLarge;
    // Reading stops one byte past the cap, which tells a file that grew too long.
    const std::uint64_t limit = maxBytes < UINT64_MAX ? maxBytes + 1 : maxBytes;
    try {
        // One byte more than the size seen, to notice a file that grew since.
        into.assign(static_cast<std::size_t>(size_) + 1, '\0');
        std::size_t done = 0;
        for (;;) {
            if (done == into.size()) {
                if (done > maxBytes) {
                    into.clear();
                    return ReadStatus::TooLarge;
                }
                into.resize(static_cast<std::size_t>(std::min<std::uint64_t>(limit, into.size() * 2)));
            }
            const ssize_t n = ::pread(fd_, into.data() + done, into.size() - done, static_cast<off_t>(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                error_ = errno;
                into.clear();
                return ReadStatus::Unreadable;
            }
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        if (done > maxBytes) {
            into.clear();
            return ReadStatus::TooLarge;
        }
        into.resize(done);
    } catch (const std::bad_alloc&) {
        into.clear();
        error_ = ENOMEM;
        return ReadStatus::Unreadable;
    }
    return ReadStatus::Ok;
}

ReadResult readFile(const std::string& path, std::uint64_t maxBytes)
{
    ReadResult result;
    ReadOnlyFile file(path);
    result.status = file.readAll(maxBytes, result.bytes);
    if (result.status != ReadStatus::Ok)
        result.message = describe(result.status, path, file.error());
    return result;
}

std::string describe(ReadStatus status, const std::string& path, int error)
{
    switch (status) {
    case ReadStatus::Ok:
        return {};
    case ReadStatus::Missing:
        return path + " does not exist";
    case ReadStatus::NotRegular:
        return path + " is not a regular file";
    case ReadStatus::TooLarge:
        return path + " is too large";
    case ReadStatus::Unreadable:
        break;
    }
    return "Unable to read " + path + (error != 0 ? std::string(": ") + std::strerror(error) : std::string());
}

} // namespace fileio
