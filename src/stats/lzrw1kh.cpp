// LZRW1/KH block compression and decoding, with the run items of this variant.
#include "lzrw1kh.h"

#include "stats_limits.h"

#include <algorithm>
#include <bit>
#include <cstring>

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
    // The decoder moves whole words where a shorter length would do: literals
    // and copies from far enough back in moves of 16 bytes, nearer copies in
    // moves of 8. Its buffer has room for the longest such overrun past a full chunk.
    constexpr std::size_t kWideMove = 16;
    constexpr std::size_t kNarrowMove = 8;
    constexpr std::size_t kMoveSlack = 2 * kWideMove;
    // Sixteen items read at most this much of a block before a run stops them
    // (a run is decoded with every check), and write at most this much.
    constexpr std::ptrdiff_t kUncheckedInput = 2 * kItemsPerControlWord;
    constexpr std::size_t kUncheckedRoom = kMaxCopy * kItemsPerControlWord;
    constexpr std::uint32_t kNextFlag = 0x80000000u;

    inline std::uint32_t lzrw1Hash(std::uint32_t b0, std::uint32_t b1, std::uint32_t b2)
    {
        const std::uint32_t v = (b0 << 8) ^ (b1 << 4) ^ b2;
        return ((40543u * v) >> 4) & (kLzrw1HashEntries - 1);
    }

    // The bytes `offset` back from `to`, `count` of them (at most kMaxCopy), with
    // room for kMoveSlack bytes past `to`.
    inline void copyBack(unsigned char* to, std::size_t offset, std::size_t count)
    {
        const unsigned char* from = to - offset;
        if (offset >= kWideMove) {
            // Neither move overlaps its source; the second may read what the
            // first wrote, which is what the copy means.
            std::memcpy(to, from, kWideMove);
            std::memcpy(to + kWideMove, from + kWideMove, kWideMove);
        } else if (offset >= kNarrowMove) {
            for (std::size_t i = 0; i < kMaxCopy; i += kNarrowMove)
                std::memcpy(to + i, from + i, kNarrowMove);
        } else {
            // A short offset repeats the bytes just written, one at a time.
            for (std::size_t i = 0; i < count; ++i)
                to[i] = from[i];
        }
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
    const auto* in = reinterpret_cast<const unsigned char*>(block.data());
    const std::size_t length = block.size();
    if (length <= 1) {
        chunk.clear();
        return BlockDecodeResult::Ok;
    }
    if (in[0] == kBlockFlagStored) {
        if (length - 1 > kChunkSize) {
            chunk.clear();
            return BlockDecodeResult::TooLong;
        }
        chunk.assign(block.substr(1));
        return BlockDecodeResult::Ok;
    }
    if (length < 3) {
        chunk.clear();
        return BlockDecodeResult::Damaged;
    }

    // Growing a string keeps what it holds, so a buffer decoded into block after
    // block is only cleared past its previous length.
    chunk.resize(kChunkSize + kMoveSlack);
    auto* out = reinterpret_cast<unsigned char*>(chunk.data());
    std::size_t n = 0;
    const auto finish = [&](BlockDecodeResult result) {
        chunk.resize(n);
        return result;
    };

    const unsigned char* pos = in + 3;
    const unsigned char* const end = in + length;
    // The flags still to be used sit at the top, next item first.
    std::uint32_t flags = std::uint32_t { in[1] } << 24 | std::uint32_t { in[2] } << 16;
    int left = kItemsPerControlWord;
    while (pos < end) {
        if (left == 0) {
            // A control word always has at least one item after it.
            if (end - pos < 3)
                return finish(BlockDecodeResult::Damaged);
            flags = std::uint32_t { pos[0] } << 24 | std::uint32_t { pos[1] } << 16;
            pos += 2;
            left = kItemsPerControlWord;
        }

        // A whole control word's items, when neither the block nor the chunk can
        // end among them, are decoded without checking each against both ends.
        // A run can fill the chunk by itself, so it is left to the checked steps.
        if (left == kItemsPerControlWord && end - pos >= kUncheckedInput
            && kChunkSize - n >= kUncheckedRoom) {
            while (left > 0) {
                if ((flags & kNextFlag) == 0) {
                    // The literals up to the next copy, moved as one; a bit just past
                    // the last flag stops the count at the word's end.
                    const int literals = std::countl_zero(flags | 1u << (31 - left));
                    if (end - pos >= std::ptrdiff_t(kWideMove))
                        std::memcpy(out + n, pos, kWideMove);
                    else
                        std::memcpy(out + n, pos, std::size_t(literals));
                    n += std::size_t(literals);
                    pos += literals;
                    flags <<= literals;
                    left -= literals;
                    continue;
                }
                const std::size_t item = std::size_t { pos[0] } << 8 | pos[1];
                const std::size_t offset = item >> 4;
                if (offset == 0)
                    break;
                if (offset > n)
                    return finish(BlockDecodeResult::Damaged);
                const std::size_t count = (item & 15) + kMinCopy;
                copyBack(out + n, offset, count);
                n += count;
                pos += 2;
                --left;
                flags <<= 1;
            }
            if (left == 0)
                continue;
        }

        // The literals at the head of the flags, copied as one run. A bit just
        // past the last flag stops the count at the word's end.
        const auto available = static_cast<std::size_t>(end - pos);
        const std::size_t literals = std::min<std::size_t>(
            static_cast<std::size_t>(std::countl_zero(flags | 1u << (31 - left))), available);
        if (literals > 0) {
            const std::size_t room = kChunkSize - n;
            if (literals > room) {
                std::memcpy(out + n, pos, room);
                n = kChunkSize;
                return finish(BlockDecodeResult::TooLong);
            }
            if (available >= kWideMove)
                std::memcpy(out + n, pos, kWideMove);
            else
                std::memcpy(out + n, pos, literals);
            n += literals;
            pos += literals;
            flags <<= literals;
            left -= static_cast<int>(literals);
            if (left == 0 || pos == end)
                continue;
        }

        // A copy or a run.
        flags <<= 1;
        --left;
        if (end - pos < 2)
            return finish(BlockDecodeResult::Damaged);
        const std::size_t item = std::size_t { pos[0] } << 8 | pos[1];
        const std::size_t offset = item >> 4;
        if (offset == 0) {
            if (end - pos < 4)
                return finish(BlockDecodeResult::Damaged);
            const std::size_t count = (std::size_t { pos[1] } << 8 | pos[2]) + kMinRun;
            if (count > kChunkSize - n)
                return finish(BlockDecodeResult::TooLong);
            std::memset(out + n, pos[3], count);
            n += count;
            pos += 4;
            continue;
        }
        const std::size_t count = (item & 15) + kMinCopy;
        if (offset > n)
            return finish(BlockDecodeResult::Damaged);
        if (count > kChunkSize - n)
            return finish(BlockDecodeResult::TooLong);
        copyBack(out + n, offset, count);
        n += count;
        pos += 2;
    }
    return finish(BlockDecodeResult::Ok);
}

} // namespace stats
