// Tlzrw1's file operations: the input read whole, the output written under a
// temporary name beside the target and renamed into place once complete.
#include "tlzrw1.h"

#include "atomic_write.h"
#include "lzrw1_texts.h"
#include "safe_read.h"

#include <limits>
#include <optional>

namespace {

using namespace stats;

// The input through the safe reader: it never blocks on a FIFO and never
// follows a link, so only a regular file is read.
class InputHandle {
public:
    explicit InputHandle(const std::string& path)
        : path_(path)
        , file_(path)
    {
        if (file_.status() != fileio::ReadStatus::Ok && file_.status() != fileio::ReadStatus::NotRegular)
            throw ELzrw1Error(lzrw1text::openInput(path));
    }

    // Only regular files: a pipe or a device has no size and may never end.
    bool regularSize(std::uint64_t& size) const
    {
        if (file_.status() != fileio::ReadStatus::Ok)
            return false;
        size = file_.size();
        return true;
    }

    // The whole file, which must be exactly `expected` bytes long.
    std::string readAll(std::uint64_t expected) const
    {
        std::string data(static_cast<std::size_t>(expected), '\0');
        if (!file_.readAt(0, data.data(), data.size()))
            throw ELzrw1Error(lzrw1text::readError(path_));
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
            if (!file_.readAt(0, identifier, sizeof identifier))
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
    fileio::ReadOnlyFile file_;
};

// The atomic writer with the compressor's fixed texts: a file that cannot be
// started is an open failure, anything later a write failure.
class AtomicOutput {
public:
    explicit AtomicOutput(const std::string& path)
        : path_(path)
    {
        try {
            writer_.emplace(path);
        } catch (const fileio::FileError&) {
            throw ELzrw1Error(lzrw1text::openOutput(path));
        }
    }

    void write(std::string_view bytes)
    {
        guarded([&] { writer_->write(bytes); });
    }
    void commit()
    {
        guarded([&] { writer_->commit(); });
    }

private:
    template <typename F> void guarded(F&& step)
    {
        try {
            step();
        } catch (const fileio::FileError&) {
            throw ELzrw1Error(lzrw1text::writeError(path_));
        }
    }

    std::string path_;
    std::optional<fileio::AtomicWriter> writer_;
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
