// Containers in memory: the LZRW1/KH block sequence, the LZHUF stream behind
// its header, and the choice between them.
#include "tlzrw1.h"

#include "lzrw1_texts.h"
#include "lzrw1kh.h"

#include <algorithm>
#include <memory>
#include <new>

namespace stats {

namespace {

    constexpr std::size_t kHeaderSize = 8;
    // A copy item stands for at most 18 bytes in 2, so only long runs of one
    // byte make a body decode to more than about nine times its length. A
    // header naming more than this many times its body gets no memory up front
    // (the text may still grow that far as it decodes).
    constexpr std::size_t kPlausibleExpansion = 16;

    void appendLe32(std::string& out, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<char>(v >> (8 * i)));
    }

    std::uint32_t readLe32(std::string_view bytes)
    {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | static_cast<unsigned char>(bytes[i]);
        return v;
    }

    std::string header(std::string_view identifier, std::string_view text, std::string_view inputName)
    {
        if (text.size() > kMaxContainerText)
            throw ELzrw1Error(lzrw1text::sizeOf(inputName));
        std::string out(identifier);
        appendLe32(out, static_cast<std::uint32_t>(text.size()));
        return out;
    }

    std::uint32_t decodeLzrw1Blocks(
        std::string_view file, std::uint32_t size, const ByteSink& sink, std::string_view inputName)
    {
        std::size_t pos = kHeaderSize;
        std::uint64_t produced = 0;
        std::string chunk;
        chunk.reserve(kChunkSize);
        // A full chunk means another block follows, even if it is empty.
        bool more = true;
        while (more) {
            if (file.size() - pos < 2)
                throw ELzrw1Error(lzrw1text::readError(inputName));
            const std::size_t length = static_cast<unsigned char>(file[pos])
                | std::size_t { static_cast<unsigned char>(file[pos + 1]) } << 8;
            pos += 2;
            if (length > kMaxBlockLength || file.size() - pos < length)
                throw ELzrw1Error(lzrw1text::readError(inputName));

            switch (decodeLzrw1Block(file.substr(pos, length), chunk)) {
            case BlockDecodeResult::Ok:
                break;
            case BlockDecodeResult::Damaged:
                throw ELzrw1Error(lzrw1text::readError(inputName));
            case BlockDecodeResult::TooLong:
                throw ELzrw1Error(lzrw1text::kLzrw1SizeMismatch);
            }
            pos += length;
            produced += chunk.size();
            if (produced > size)
                throw ELzrw1Error(lzrw1text::kLzrw1SizeMismatch);
            sink(chunk);
            more = chunk.size() == kChunkSize;
        }
        if (produced != size)
            throw ELzrw1Error(lzrw1text::kLzrw1SizeMismatch);
        return size;
    }

} // namespace

bool isContainerIdentifier(std::string_view identifier)
{
    return identifier == kLzrw1Identifier || identifier == kLzhufIdentifier;
}

std::string compressLzrw1(std::string_view text, std::string_view inputName)
{
    std::unique_ptr<Lzrw1HashTable> table;
    try {
        table = std::make_unique<Lzrw1HashTable>();
    } catch (const std::bad_alloc&) {
        throw ELzrw1Error(lzrw1text::kNoHashMemory);
    }
    return lzrw1text::withMemoryText([&] {
        std::string out = header(kLzrw1Identifier, text, inputName);
        out.reserve(kHeaderSize + text.size() + (text.size() / kChunkSize + 1) * 3);
        std::string block;
        block.reserve(kChunkSize + 16);
        std::size_t pos = 0;
        bool more = true;
        while (more) {
            const std::string_view chunk = text.substr(pos, kChunkSize);
            compressLzrw1Chunk(chunk, *table, block);
            out.push_back(static_cast<char>(block.size()));
            out.push_back(static_cast<char>(block.size() >> 8));
            out.append(block);
            pos += chunk.size();
            more = chunk.size() == kChunkSize;
        }
        return out;
    });
}

std::string compressLzhuf(std::string_view text, std::string_view inputName)
{
    return lzrw1text::withMemoryText([&] {
        std::string out = header(kLzhufIdentifier, text, inputName);
        out.append(lzhufEncode(text));
        return out;
    });
}

std::string compressContainer(
    std::string_view text, CompressionMode mode, int threshold, std::string_view inputName)
{
    switch (mode) {
    case CompressionMode::Fast:
        break;
    case CompressionMode::Good:
        return compressLzhuf(text, inputName);
    case CompressionMode::Auto: {
        std::string fast = compressLzrw1(text, inputName);
        const std::uint64_t percent = static_cast<std::uint64_t>(std::clamp(threshold, 0, 100));
        if (std::uint64_t { fast.size() } * 100 <= std::uint64_t { text.size() } * (100 - percent))
            return fast;
        std::string good = compressLzhuf(text, inputName);
        return good.size() < fast.size() ? good : fast;
    }
    }
    return compressLzrw1(text, inputName);
}

std::uint32_t decompressContainerTo(std::string_view file, const ByteSink& sink, std::string_view inputName)
{
    const std::string_view identifier = file.substr(0, 4);
    if (!isContainerIdentifier(identifier))
        throw ELzrw1Error(lzrw1text::noValidHeader(inputName));
    if (file.size() < kHeaderSize)
        throw ELzrw1Error(lzrw1text::readError(inputName));
    const std::uint32_t size = readLe32(file.substr(4, 4));

    return lzrw1text::withMemoryText([&] {
        if (identifier == kLzrw1Identifier)
            return decodeLzrw1Blocks(file, size, sink, inputName);
        if (!lzhufDecode(file.substr(kHeaderSize), size, sink))
            throw ELzrw1Error(lzrw1text::kLzhufSizeMismatch);
        return size;
    });
}

std::string decompressContainer(std::string_view file, std::string_view inputName, std::size_t maxSize)
{
    std::string text;
    // Growing a long text step by step costs more than decoding it, so the room
    // the header names is taken at once; but only as much as the file's length
    // makes plausible, so a damaged header never gets a large buffer for a few bytes.
    if (file.size() >= kHeaderSize && isContainerIdentifier(file.substr(0, 4)))
        text.reserve(std::min({ std::size_t { readLe32(file.substr(4, 4)) }, maxSize,
            (file.size() - kHeaderSize) * kPlausibleExpansion }));
    decompressContainerTo(
        file,
        [&](std::string_view bytes) {
            if (bytes.size() > maxSize - text.size())
                throw ELzrw1Error(lzrw1text::kNoBufferMemory);
            text.append(bytes);
        },
        inputName);
    return text;
}

} // namespace stats
