// Reading a file that anyone may have put in our place: the open never blocks
// (a FIFO would wait for a writer for ever) and never follows a symbolic link,
// only a regular file is read, and never more than the caller allows.
#pragma once

#include <cstdint>
#include <string>

namespace fileio {

enum class ReadStatus {
    Ok,
    Missing, // nothing at that name (a dangling link counts as a link, below)
    NotRegular, // a folder, FIFO, device, socket or symbolic link
    TooLarge, // longer than the caller's cap
    Unreadable, // present but refused or failing (permissions, I/O error)
};

// What an entry is, looked at without following a link or opening it.
enum class FileKind { Missing, Regular, Folder, SymbolicLink, Other };
FileKind kindOf(const std::string& path);

// An open regular file, read with positioned reads.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Ok when the file is open and regular; otherwise why not.
    ReadStatus status() const { return status_; }
    // The errno value behind Unreadable, or 0.
    int error() const { return error_; }
    std::uint64_t size() const { return size_; }

    // Exactly `length` bytes from `offset`; false on a read error or an early end.
    bool readAt(std::uint64_t offset, char* into, std::size_t length) const;
    // The whole file, at most maxBytes long: Ok, TooLarge (also when it grew past
    // the cap while being read) or Unreadable.
    ReadStatus readAll(std::uint64_t maxBytes, std::string& into);

private:
    int fd_ = -1;
    ReadStatus status_ = ReadStatus::Unreadable;
    int error_ = 0;
    std::uint64_t size_ = 0;
};

struct ReadResult {
    ReadStatus status = ReadStatus::Unreadable;
    std::string bytes; // the file's bytes when status is Ok
    std::string message; // why not, fit to show, when status is not Ok
};

// The whole regular file at `path` when it is at most maxBytes long.
ReadResult readFile(const std::string& path, std::uint64_t maxBytes);

// The text telling why `path` was not read.
std::string describe(ReadStatus status, const std::string& path, int error = 0);

} // namespace fileio
