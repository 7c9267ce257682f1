// MappedFile: a read-only mapping of an open file, and reads from it that end
// in a plain failure instead of a crash when the file is cut short under them.
#pragma once

#include <cstddef>

// A file truncated while it is mapped takes its pages away: reading one
// raises SIGBUS, even through a private mapping and even for a page already
// copied. So while any MappedFile exists the process has a SIGBUS handler that
// ends a guarded read touching a lost page of that read's own mapping, and
// passes every other bus error on to the handler that was there before (the
// default one ends the program as it would have without us). Reads are not
// nested and come from one thread.
class MappedFile {
public:
    // Maps the first `size` bytes of the open file `fd`. When the file cannot
    // be mapped (or size is 0), isMapped() is false and nothing else changes.
    MappedFile(int fd, std::size_t size);
    ~MappedFile();

    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool isMapped() const { return data_ != nullptr; }
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }

    // Runs read(context), which may read anywhere in the mapping. Returns false
    // when a read touched a page the file no longer has; `read` is then left
    // where it stood, without unwinding, so it must hold nothing that needs
    // destroying, and anything it stored may be partly written.
    bool guardedRead(void (*read)(void* context), void* context) const;

private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};
