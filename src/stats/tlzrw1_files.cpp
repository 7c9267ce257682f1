// Tlzrw1's file operations: the input read whole, the output written under a
// temporary name beside the target and renamed into place once complete.
#include "tlzrw1.h"

#include "lzrw1_texts.h"

#include <atomic>
#include <limits>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace stats;

class InputHandle {
public:
    explicit InputHandle(const std::string& path)
        : path_(path)
    {
        if (!path.empty())
            fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0)
            throw ELzrw1Error(lzrw1text::openInput(path));
    }
    ~InputHandle() { ::close(fd_); }
    InputHandle(const InputHandle&) = delete;
    InputHandle& operator=(const InputHandle&) = delete;

    // Only regular files: a pipe or a device has no size and may never end.
    bool regularSize(std::uint64_t& size) const
    {
        struct stat st { };
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        size = static_cast<std::uint64_t>(st.st_size);
        return true;
    }

    // The whole file, which must be exactly `expected` bytes long.
    std::string readAll(std::uint64_t expected) const
    {
        std::string data(static_cast<std::size_t>(expected), '\0');
        std::size_t done = 0;
        while (done < data.size()) {
            const ssize_t n = ::read(fd_, data.data() + done, data.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw ELzrw1Error(lzrw1text::readError(path_));
            done += static_cast<std::size_t>(n);
        }
        return data;
    }

    // A container file whole. The identifier is checked before anything else
    // is read, so a wrong file of any size is refused at once; a file longer
    // than maxSize is refused as one too big for memory.
    std::string readContainer(std::uint64_t maxSize) const
    {
        std::uint64_t size = 0;
        if (!regularSize(size))
            throw ELzrw1Error(lzrw1text::readError(path_));
        char identifier[4];
        if (size >= sizeof identifier) {
            if (::pread(fd_, identifier, sizeof identifier, 0) != static_cast<ssize_t>(sizeof identifier))
                throw ELzrw1Error(lzrw1text::readError(path_));
            if (!isContainerIdentifier(std::string_view(identifier, sizeof identifier)))
                throw ELzrw1Error(lzrw1text::noValidHeader(path_));
        }
        if (size > maxSize)
            throw ELzrw1Error(lzrw1text::kNoBufferMemory);
        return readAll(size);
    }

private:
    std::string path_;
    int fd_ = -1;
};

class AtomicOutput {
public:
    explicit AtomicOutput(const std::string& path)
        : path_(path)
    {
        struct stat st { };
        const bool isFolder = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        if (path.empty() || isFolder)
            throw ELzrw1Error(lzrw1text::openOutput(path));
        // A name of our own in the target's folder, so the rename stays on one
        // file system and two writers never share a temporary file.
        static std::atomic<unsigned> serial { 0 };
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            temp_ = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
            fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
            if (fd_ < 0 && errno != EEXIST)
                break;
        }
        if (fd_ < 0)
            throw ELzrw1Error(lzrw1text::openOutput(path));
    }
    ~AtomicOutput()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!committed_)
            ::unlink(temp_.c_str());
    }
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    void write(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw ELzrw1Error(lzrw1text::writeError(path_));
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    // Flushed to disk before the rename, so a crash leaves the old file or
    // the new one, never an empty one under the real name.
    void commit()
    {
        const bool synced = ::fsync(fd_) == 0;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        if (!synced || !closed || ::rename(temp_.c_str(), path_.c_str()) != 0)
            throw ELzrw1Error(lzrw1text::writeError(path_));
        committed_ = true;
    }

private:
    std::string path_;
    std::string temp_;
    int fd_ = -1;
    bool committed_ = false;
};

} // namespace

std::int64_t Tlzrw1::Compress()
{
    return lzrw1text::withMemoryText([&]() -> std::int64_t {
        const InputHandle in(InputFile);
        AtomicOutput out(OutputFile);
        std::uint64_t size = 0;
        if (!in.regularSize(size) || size > kMaxContainerText)
            throw ELzrw1Error(lzrw1text::sizeOf(InputFile));
        const std::string packed = compressContainer(in.readAll(size), CompressMode, Threshold, InputFile);
        out.write(packed);
        out.commit();
        return static_cast<std::int64_t>(packed.size());
    });
}

std::int64_t Tlzrw1::Decompress()
{
    return lzrw1text::withMemoryText([&]() -> std::int64_t {
        const InputHandle in(InputFile);
        AtomicOutput out(OutputFile);
        const std::string data = in.readContainer(std::numeric_limits<std::uint64_t>::max());
        const std::uint32_t size = decompressContainerTo(
            data, [&](std::string_view bytes) { out.write(bytes); }, InputFile);
        out.commit();
        return size;
    });
}

std::int64_t Tlzrw1::compressText(std::string_view text) const
{
    return lzrw1text::withMemoryText([&]() -> std::int64_t {
        AtomicOutput out(OutputFile);
        const std::string packed = compressContainer(text, CompressMode, Threshold);
        out.write(packed);
        out.commit();
        return static_cast<std::int64_t>(packed.size());
    });
}

std::string Tlzrw1::decompressText() const
{
    return lzrw1text::withMemoryText([&] {
        const InputHandle in(InputFile);
        return decompressContainer(in.readContainer(kMaxInMemoryContainer), InputFile);
    });
}
