// The atomic writer.
#include "atomic_write.h"

#include "system_calls.h"

#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {
namespace {

    // Names taken by other writers are skipped; this many clashes in a row means
    // something is planting names on purpose, and the save gives up.
    constexpr int kMaxNameAttempts = 100;

    std::string failureText(const std::string& path, int error)
    {
        return "Unable to write to " + path + ": " + std::strerror(error);
    }

} // namespace

std::string temporaryPrefix(const std::string& path) { return path + ".tmp-"; }

AtomicWriter::AtomicWriter(std::string path, mode_t mode, Durability durability)
    : path_(std::move(path))
    , durability_(durability)
{
    if (path_.empty())
        fail(FileError::Stage::Open, ENOENT);
    struct stat target { };
    if (::lstat(path_.c_str(), &target) == 0) {
        if (S_ISDIR(target.st_mode))
            fail(FileError::Stage::Open, EISDIR);
        if (S_ISREG(target.st_mode))
            mode = target.st_mode & 07777;
    }

    // A name of our own in the target's folder, so the rename stays on one file
    // system and two writers never share a temporary file.
    static unsigned serial = 0;
    int error = EEXIST;
    for (int attempt = 0; attempt < kMaxNameAttempts && fd_ < 0 && error == EEXIST; ++attempt) {
        temporary_ = temporaryPrefix(path_) + std::to_string(::getpid()) + "-" + std::to_string(serial++);
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        error = fd_ < 0 ? errno : 0;
    }
    if (fd_ < 0) {
        temporary_.clear();
        fail(FileError::Stage::Open, error);
    }
    // The umask has trimmed the mode of a fresh file; a replaced file keeps its own.
    if (S_ISREG(target.st_mode))
        ::fchmod(fd_, mode);
}

AtomicWriter::~AtomicWriter()
{
    if (fd_ >= 0)
        systemCalls().close(fd_);
    if (!committed_ && !temporary_.empty())
        ::unlink(temporary_.c_str());
}

void AtomicWriter::fail(FileError::Stage stage, int error)
{
    throw FileError(stage, failureText(path_, error), error);
}

void AtomicWriter::write(std::string_view bytes)
{
    if (fd_ < 0)
        fail(FileError::Stage::Write, EBADF);
    while (!bytes.empty()) {
        const ssize_t n = systemCalls().write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        // A write that takes nothing makes no progress: the disk is full.
        if (n <= 0)
            fail(FileError::Stage::Write, n < 0 ? errno : ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void AtomicWriter::commit()
{
    if (fd_ < 0)
        fail(FileError::Stage::Write, EBADF);
    // Delayed allocation reports a full disk only here or at close, so both count.
    // A transient file skips the flush (the writes and the close still report a
    // full disk on the usual file systems); its readers must take a short file
    // after a crash for a missing one.
    if (durability_ == Durability::Flushed && systemCalls().fsync(fd_) != 0)
        fail(FileError::Stage::Write, errno);
    const int fd = fd_;
    fd_ = -1; // closed even when close reports an error; never closed twice
    if (systemCalls().close(fd) != 0)
        fail(FileError::Stage::Write, errno);
    if (systemCalls().rename(temporary_.c_str(), path_.c_str()) != 0)
        fail(FileError::Stage::Write, errno);
    // The folder is not flushed: a crash right after the rename may bring back
    // the old file, but never a short or empty one, and each save pays one flush.
    committed_ = true;
}

void writeFileAtomically(const std::string& path, std::string_view bytes, mode_t mode, Durability durability)
{
    AtomicWriter writer(path, mode, durability);
    writer.write(bytes);
    writer.commit();
}

std::string tryWriteFileAtomically(const std::string& path, std::string_view bytes, mode_t mode) noexcept
{
    try {
        writeFileAtomically(path, bytes, mode);
        return {};
    } catch (const FileError& error) {
        return error.what();
    } catch (const std::bad_alloc&) {
        return failureText(path, ENOMEM);
    }
}

} // namespace fileio
