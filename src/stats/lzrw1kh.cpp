// LZRW1/KH block compression and decoding, with the run items of this variant.
#include "lzrw1kh.h"

#include "stats_limits.h"

#include <algorithm>

namespace stats {

namespace {

    constexpr std::uint16_t kEmptySlot = 0xFFFF;
    constexpr std::size_t kMaxOffset = 4095;
    constexpr std::size_t kMinCopy = 3;
    constexpr std::size_t kMaxCopy = 18;
    constexpr std::size_t kMinRun = 16;
    constexpr std::size_t kMaxRun = 4095;
    constexpr int kItemsPerControlWord = 16;
    // The loop stops once the output passes the chunk size, but the item that
    // crosses it, and the control word reserved before it, are still written.
    constexpr std::size_t kOutputSlack = 2 + 4;

    inline std::uint32_t lzrw1Hash(std::uint32_t b0, std::uint32_t b1, std::uint32_t b2)
    {
        const std::uint32_t v = (b0 << 8) ^ (b1 << 4) ^ b2;
        return ((40543u * v) >> 4) & (kLzrw1HashEntries - 1);
    }

} // namespace

void compressLzrw1Chunk(std::string_view chunk, Lzrw1HashTable& table, std::string& block)
{
    const auto* in = reinterpret_cast<const unsigned char*>(chunk.data());
    const std::size_t n = chunk.size();
    // The hash of the last two positions reads past the chunk; those bytes count as 0.
    const auto byteAt = [&](std::size_t i) -> std::uint32_t { return i < n ? in[i] : 0; };

    table.fill(kEmptySlot);
    block.assign(n + 3 + kOutputSlack, '\0');
    auto* out = reinterpret_cast<unsigned char*>(block.data());

    out[0] = kBlockFlagCompressed;
    std::size_t y = 3;
    std::size_t z = 1;
    int items = 0;
    std::uint16_t control = 0;
    std::size_t x = 0;

    while (x < n && y <= n) {
        if (items == kItemsPerControlWord) {
            out[z] = static_cast<unsigned char>(control >> 8);
            out[z + 1] = static_cast<unsigned char>(control);
            z = y;
            y += 2;
            items = 0;
        }

        const std::size_t runLimit = std::min(kMaxRun, n - x);
        std::size_t run = 1;
        while (run < runLimit && in[x + run] == in[x])
            ++run;

        if (run >= kMinRun) {
            const std::size_t r = run - kMinRun;
            out[y] = 0;
            out[y + 1] = static_cast<unsigned char>(r >> 8);
            out[y + 2] = static_cast<unsigned char>(r);
            out[y + 3] = in[x];
            x += run;
            y += 4;
            control = static_cast<std::uint16_t>((control << 1) | 1);
        } else {
            const std::uint32_t h = lzrw1Hash(in[x], byteAt(x + 1), byteAt(x + 2));
            const std::uint16_t p = table[h];
            table[h] = static_cast<std::uint16_t>(x);
            std::size_t length = 0;
            if (p != kEmptySlot && x - p <= kMaxOffset) {
                while (length < kMaxCopy && x + length < n && in[x + length] == in[p + length])
                    ++length;
            }
            if (length >= kMinCopy) {
                const std::size_t k = (x - p) << 4 | (length - kMinCopy);
                out[y] = static_cast<unsigned char>(k >> 8);
                out[y + 1] = static_cast<unsigned char>(k);
                x += length;
                y += 2;
                control = static_cast<std::uint16_t>((control << 1) | 1);
            } else {
                out[y] = in[x];
                x += 1;
                y += 1;
                control = static_cast<std::uint16_t>(control << 1);
            }
        }
        ++items;
    }

    control = static_cast<std::uint16_t>(control << (kItemsPerControlWord - items));
    out[z] = static_cast<unsigned char>(control >> 8);
    out[z + 1] = static_cast<unsigned char>(control);

    if (y > n) {
        block.resize(1);
        block[0] = static_cast<char>(kBlockFlagStored);
        block.append(chunk);
    } else {
        block.resize(y);
    }
}

BlockDecodeResult decodeLzrw1Block(std::string_view block, std::string& chunk)
{
    chunk.clear();
    const auto* in = reinterpret_cast<const unsigned char*>(block.data());
    const std::size_t length = block.size();
    if (length <= 1)
        return BlockDecodeResult::Ok;

    if (in[0] == kBlockFlagStored) {
        if (length - 1 > kChunkSize)
            return BlockDecodeResult::TooLong;
        chunk.assign(block.substr(1));
        return BlockDecodeResult::Ok;
    }
    if (length < 3)
        return BlockDecodeResult::Damaged;

    // Decoded into a full-chunk buffer; every item checks its room first.
    chunk.resize(kChunkSize);
    auto* out = reinterpret_cast<unsigned char*>(chunk.data());
    std::size_t n = 0;
    const auto finish = [&](BlockDecodeResult result) {
        chunk.resize(n);
        return result;
    };

    std::uint16_t control = static_cast<std::uint16_t>(in[1] << 8 | in[2]);
    std::size_t pos = 3;
    int items = 0;
    while (pos < length) {
        if (items == kItemsPerControlWord) {
            // A control word always has at least one item after it.
            if (length - pos < 3)
                return finish(BlockDecodeResult::Damaged);
            control = static_cast<std::uint16_t>(in[pos] << 8 | in[pos + 1]);
            pos += 2;
            items = 0;
        }
        const bool isLiteral = (control & 0x8000) == 0;
        control = static_cast<std::uint16_t>(control << 1);
        ++items;

        if (isLiteral) {
            if (n == kChunkSize)
                return finish(BlockDecodeResult::TooLong);
            out[n++] = in[pos++];
            continue;
        }

        if (length - pos < 2)
            return finish(BlockDecodeResult::Damaged);
        const std::size_t k = std::size_t { in[pos] } << 8 | in[pos + 1];
        const std::size_t offset = k >> 4;
        if (offset == 0) {
            if (length - pos < 4)
                return finish(BlockDecodeResult::Damaged);
            const std::size_t count = (std::size_t { in[pos + 1] } << 8 | in[pos + 2]) + kMinRun;
            if (count > kChunkSize - n)
                return finish(BlockDecodeResult::TooLong);
            std::fill_n(out + n, count, in[pos + 3]);
            n += count;
            pos += 4;
        } else {
            const std::size_t count = (k & 15) + kMinCopy;
            if (offset > n)
                return finish(BlockDecodeResult::Damaged);
            if (count > kChunkSize - n)
                return finish(BlockDecodeResult::TooLong);
            // One byte at a time: an offset shorter than the length repeats bytes.
            const unsigned char* from = out + n - offset;
            for (std::size_t i = 0; i < count; ++i)
                out[n + i] = from[i];
            n += count;
            pos += 2;
        }
    }
    return finish(BlockDecodeResult::Ok);
}

} // namespace stats
