// Replacing a file all at once: the new bytes go to a temporary file beside the
// target, every write is checked, the data is flushed to disk and the file
// renamed over the target. Until the rename the old file is untouched, so a full
// disk, a crash or a kill never leaves a short or empty file under the real name.
// A transient file (one written afresh at every start and removed at the end) is
// not flushed: a program crash still leaves it whole, but a power loss may leave
// it short, empty or, on some file systems, with blocks of zeros.
#pragma once

#include "file_error.h"

#include <string>
#include <string_view>

#include <sys/types.h>

namespace fileio {

// Permissions of a file made fresh, before the umask. A file that is replaced
// keeps the permissions it had, so a file shared with other programs stays as
// readable to them as it was.
constexpr mode_t kDefaultFileMode = 0666;

// The front of every temporary name made for `path`: "<path>.tmp-", followed
// by the writer's process id, "-" and a serial number.
std::string temporaryPrefix(const std::string& path);

// Flushed: the data is on the disk before the file takes the real name (settings,
// the tally). Transient: a file the program makes again whenever it is missing or
// wrong, so a crash may lose it; flushing it would only hold up the start.
enum class Durability { Flushed, Transient };

class AtomicWriter {
public:
    // Creates the temporary file (never through a link, never over an existing
    // name). Throws FileError with Stage::Open when the target is a folder or the
    // folder refuses a new file.
    explicit AtomicWriter(
        std::string path, mode_t mode = kDefaultFileMode, Durability durability = Durability::Flushed);
    // A writer that was not committed removes its temporary file.
    ~AtomicWriter();
    AtomicWriter(const AtomicWriter&) = delete;
    AtomicWriter& operator=(const AtomicWriter&) = delete;

    // Appends to the temporary file; throws FileError with Stage::Write.
    void write(std::string_view bytes);
    // Flushes, closes and renames into place; throws FileError with Stage::Write
    // and leaves the old file as it was. A symbolic link at the target is
    // replaced by the file, never written through.
    void commit();

    const std::string& path() const { return path_; }
    const std::string& temporaryPath() const { return temporary_; }

private:
    [[noreturn]] void fail(FileError::Stage stage, int error);

    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    Durability durability_;
    bool committed_ = false;
};

// The whole file in one go; throws FileError.
void writeFileAtomically(const std::string& path, std::string_view bytes, mode_t mode = kDefaultFileMode,
    Durability durability = Durability::Flushed);

// The same without an exception: an empty string on success, else the text to show.
std::string tryWriteFileAtomically(
    const std::string& path, std::string_view bytes, mode_t mode = kDefaultFileMode) noexcept;

} // namespace fileio
