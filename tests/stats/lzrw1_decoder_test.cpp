// The LZRW1/KH block decoder against a plain model that decodes one item at a
// time: the same result and the same bytes, damage and overflow included, on
// real blocks, their cut and flipped forms, and made-up blocks near the limits.
#include "lzrw1kh.h"
#include "sample_data.h"
#include "stats_limits.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using stats::BlockDecodeResult;

struct Decoded {
    BlockDecodeResult result = BlockDecodeResult::Ok;
    std::string chunk;
};

// The format read as literally as it is written down, with no care for speed.
Decoded modelDecode(std::string_view block)
{
    Decoded d;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(block[i]); };
    const auto fail = [&](BlockDecodeResult result) {
        d.result = result;
        return d;
    };
    if (block.size() <= 1)
        return d;
    if (byte(0) == stats::kBlockFlagStored) {
        if (block.size() - 1 > stats::kChunkSize)
            return fail(BlockDecodeResult::TooLong);
        d.chunk = block.substr(1);
        return d;
    }
    if (block.size() < 3)
        return fail(BlockDecodeResult::Damaged);
    unsigned control = byte(1) << 8 | byte(2);
    std::size_t pos = 3;
    int items = 0;
    while (pos < block.size()) {
        if (items == 16) {
            if (block.size() - pos < 3)
                return fail(BlockDecodeResult::Damaged);
            control = byte(pos) << 8 | byte(pos + 1);
            pos += 2;
            items = 0;
        }
        const bool literal = (control & 0x8000) == 0;
        control <<= 1;
        ++items;
        if (literal) {
            if (d.chunk.size() == stats::kChunkSize)
                return fail(BlockDecodeResult::TooLong);
            d.chunk.push_back(block[pos++]);
            continue;
        }
        if (block.size() - pos < 2)
            return fail(BlockDecodeResult::Damaged);
        const std::size_t offset = (byte(pos) << 8 | byte(pos + 1)) >> 4;
        if (offset == 0) {
            if (block.size() - pos < 4)
                return fail(BlockDecodeResult::Damaged);
            const std::size_t count = (byte(pos + 1) << 8 | byte(pos + 2)) + 16;
            if (d.chunk.size() + count > stats::kChunkSize)
                return fail(BlockDecodeResult::TooLong);
            d.chunk.append(count, block[pos + 3]);
            pos += 4;
            continue;
        }
        const std::size_t count = (byte(pos + 1) & 15) + 3;
        if (offset > d.chunk.size())
            return fail(BlockDecodeResult::Damaged);
        if (d.chunk.size() + count > stats::kChunkSize)
            return fail(BlockDecodeResult::TooLong);
        for (std::size_t i = 0; i < count; ++i)
            d.chunk.push_back(d.chunk[d.chunk.size() - offset]);
        pos += 2;
    }
    return d;
}

// Decodes into one string reused from block to block, as the container does,
// so bytes left by an earlier block would show.
class DecoderAgainstModel : public ::testing::Test {
protected:
    void check(const std::string& block, const std::string& what)
    {
        const Decoded expected = modelDecode(block);
        const BlockDecodeResult result = stats::decodeLzrw1Block(block, reused);
        ASSERT_EQ(result, expected.result) << what;
        ASSERT_EQ(reused, expected.chunk) << what;
        ++checked;
    }
    std::string reused = std::string(stats::kChunkSize, '#');
    int checked = 0;
};

std::string compressedChunk(std::string_view chunk)
{
    stats::Lzrw1HashTable table {};
    std::string block;
    stats::compressLzrw1Chunk(chunk, table, block);
    return block;
}

// Text with short repeats (offsets under 8 and under 16), runs of every
// length class, noise and plain English, so every kind of item appears.
std::vector<std::string> sampleChunks()
{
    std::string mixed = englishText(9000, 21);
    mixed += "ababababababababab" + std::string(40, ' ') + "abcdefghabcdefghabcdefghij";
    mixed += std::string(4111, '0') + randomBytes(300, 5) + std::string(17, 'x') + englishText(9000, 22);
    return { englishText(stats::kChunkSize, 20), mixed, std::string(stats::kChunkSize, 'q'),
        randomBytes(2000, 3) + englishText(30000, 23), "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n10\r\n" };
}

TEST_F(DecoderAgainstModel, RealBlocksDecodeAlikeWholeAndCutAnywhere)
{
    for (const std::string& chunk : sampleChunks()) {
        const std::string block = compressedChunk(chunk);
        check(block, "whole block");
        EXPECT_EQ(reused, chunk);
        // Every cut of the short blocks, and one every 17 bytes of the long ones.
        const std::size_t step = block.size() > 3000 ? 17 : 1;
        for (std::size_t cut = 0; cut < block.size(); cut += step)
            check(block.substr(0, cut), "cut at " + std::to_string(cut));
    }
    EXPECT_GT(checked, 1000);
}

TEST_F(DecoderAgainstModel, FlippedBytesDecodeAlike)
{
    std::vector<std::string> blocks;
    for (const std::string& chunk : sampleChunks())
        blocks.push_back(compressedChunk(chunk));
    std::mt19937 rng(77);
    for (int round = 0; round < 2000; ++round) {
        std::string block = blocks[rng() % blocks.size()];
        for (int flips = 1 + static_cast<int>(rng() % 4); flips > 0; --flips)
            block[1 + rng() % (block.size() - 1)] ^= static_cast<char>(1 + rng() % 255);
        check(block, "round " + std::to_string(round));
    }
}

// Made-up blocks: any control words, copies that mostly reach back within what
// is decoded (short offsets and long ones) and sometimes beyond, and runs that
// bring the output near the end of the chunk, so that literal runs, copies and
// runs each cross that end.
std::string madeUpBlock(std::mt19937& rng)
{
    std::string block(1, static_cast<char>(stats::kBlockFlagCompressed));
    const int words = 1 + static_cast<int>(rng() % 24);
    const bool nearFull = rng() % 2 == 0;
    std::size_t decoded = 0;
    for (int w = 0; w < words; ++w) {
        const unsigned control = rng() & 0xFFFF;
        block.push_back(static_cast<char>(control >> 8));
        block.push_back(static_cast<char>(control));
        for (int i = 0; i < 16; ++i) {
            if ((control << i & 0x8000) == 0) {
                block.push_back(static_cast<char>(rng()));
                decoded += 1;
            } else if (rng() % 32 == 0 || (nearFull && w < 8 && i < 8)) {
                const unsigned count = rng() % 4 == 0 ? rng() % 4096 : 4079 - rng() % 40;
                block += { '\0', static_cast<char>(count >> 8), static_cast<char>(count),
                    static_cast<char>(rng()) };
                decoded += count + 16;
            } else {
                const std::size_t reach = std::min<std::size_t>(decoded, rng() % 2 ? 20 : 4095);
                const unsigned offset
                    = reach == 0 || rng() % 16 == 0 ? rng() % 4096 : 1 + static_cast<unsigned>(rng() % reach);
                const unsigned item = offset << 4 | (rng() & 15);
                block += { static_cast<char>(item >> 8), static_cast<char>(item) };
                decoded += (item & 15) + 3;
            }
        }
    }
    if (rng() % 3 == 0)
        block.resize(1 + rng() % block.size());
    return block;
}

TEST_F(DecoderAgainstModel, MadeUpBlocksDecodeAlikeIncludingOverflowAndDamage)
{
    std::mt19937 rng(4242);
    int ok = 0;
    int damaged = 0;
    int tooLong = 0;
    for (int round = 0; round < 10000; ++round) {
        const std::string block = madeUpBlock(rng);
        check(block, "round " + std::to_string(round));
        const BlockDecodeResult result = stats::decodeLzrw1Block(block, reused);
        ok += result == BlockDecodeResult::Ok;
        damaged += result == BlockDecodeResult::Damaged;
        tooLong += result == BlockDecodeResult::TooLong;
    }
    // Each outcome is reached often enough to have been compared.
    EXPECT_GT(ok, 1000) << damaged << " " << tooLong;
    EXPECT_GT(damaged, 1000) << ok << " " << tooLong;
    EXPECT_GT(tooLong, 1000) << ok << " " << damaged;
}

TEST_F(DecoderAgainstModel, ChunkFilledExactlyThenOneMoreItem)
{
    // Eight runs reach 32 760 bytes and eight literals fill the chunk exactly;
    // whatever item follows has no room, or is cut short first.
    std::string filled = { static_cast<char>(stats::kBlockFlagCompressed), '\xFF', '\x00' };
    for (int i = 0; i < 8; ++i)
        filled += { '\0', '\x0F', static_cast<char>(0xEF), 'r' };
    filled += "abcdefgh";
    ASSERT_EQ(modelDecode(filled).chunk.size(), stats::kChunkSize);
    check(filled, "filled");
    const std::string copyFirst("\x80\x00", 2);
    const std::string literalsOnly("\x00\x00", 2);
    for (const std::string& next : { copyFirst + std::string("\x00\x10", 2),
             copyFirst + std::string("\x00\x00\x00z", 4), copyFirst + std::string("\x00\x00", 2),
             copyFirst + "z", literalsOnly + "z", literalsOnly + "zzzzzzzzzzzzzzzzzzzz" }) {
        check(filled + next, "then " + std::to_string(next.size()) + " bytes");
        EXPECT_EQ(reused.size(), stats::kChunkSize);
    }
}

} // namespace
