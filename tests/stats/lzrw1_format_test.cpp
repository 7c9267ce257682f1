// The LZRW1/KH container byte for byte: the fixed vectors of the tally file
// format, the block sequence around chunk boundaries, and hand-built blocks
// that exercise each item kind of the decoder.
#include "lzrw1kh.h"
#include "sample_data.h"
#include "tlzrw1.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (const int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

std::string le32(std::uint32_t v)
{
    return bytes({ int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF), int(v >> 24 & 0xFF) });
}

// Walks the block sequence of a "WRZL" container and returns the block lengths.
std::vector<std::size_t> blockLengths(const std::string& file)
{
    std::vector<std::size_t> lengths;
    std::size_t pos = 8;
    while (pos + 2 <= file.size()) {
        const std::size_t length = static_cast<unsigned char>(file[pos])
            | std::size_t { static_cast<unsigned char>(file[pos + 1]) } << 8;
        lengths.push_back(length);
        pos += 2 + length;
    }
    EXPECT_EQ(pos, file.size()) << "the blocks must end exactly at the end of the file";
    return lengths;
}

TEST(Lzrw1Vectors, EmptyTextGivesElevenByteFileEndingInAnEmptyBlock)
{
    const std::string file = stats::compressLzrw1("");
    EXPECT_EQ(file, "WRZL"s + bytes({ 0, 0, 0, 0, 0x01, 0x00, 0x80 }));
    EXPECT_EQ(stats::decompressContainer(file), "");
}

TEST(Lzrw1Vectors, ChunkOfEqualBytesIsEightRunsALiteralAndACopyThenAnEmptyBlock)
{
    const std::string text(32768, 'Q');
    std::string runs;
    for (int i = 0; i < 8; ++i)
        runs += bytes({ 0x00, 0x0F, 0xEF, 'Q' }); // 4095 - 16 = 0x0FEF
    const std::string block = bytes({ 0x40, 0xFF, 0x40 }) + runs + "Q" + bytes({ 0x00, 0x14 });
    ASSERT_EQ(block.size(), 38u);

    const std::string file = stats::compressLzrw1(text);
    EXPECT_EQ(file, "WRZL"s + le32(32768) + bytes({ 38, 0 }) + block + bytes({ 0x01, 0x00, 0x80 }));
    EXPECT_EQ(stats::decompressContainer(file), text);
}

TEST(Lzrw1Vectors, ChunkThatDoesNotShrinkIsStored)
{
    const std::string text = "ABCDEFGHIJKLMNOPQRST";
    const std::string file = stats::compressLzrw1(text);
    EXPECT_EQ(file, "WRZL"s + le32(20) + bytes({ 21, 0, 0x80 }) + text);
    EXPECT_EQ(stats::decompressContainer(file), text);
}

TEST(Lzrw1Vectors, ChunksShorterThanFourBytesAreAlwaysStored)
{
    EXPECT_EQ(stats::compressLzrw1("abc"), "WRZL"s + le32(3) + bytes({ 4, 0, 0x80, 'a', 'b', 'c' }));
    // Even when they repeat a byte.
    EXPECT_EQ(stats::compressLzrw1("aaa"), "WRZL"s + le32(3) + bytes({ 4, 0, 0x80, 'a', 'a', 'a' }));
}

TEST(Lzrw1Vectors, TallyWithoutOpponentsGivesTheTwentySixByteFile)
{
    std::string text = "10\r\n1\r\n";
    for (int i = 0; i < 10; ++i)
        text += "0\r\n";
    ASSERT_EQ(text.size(), 37u);
    const std::string expected = bytes({ 0x57, 0x52, 0x5A, 0x4C, 0x25, 0x00, 0x00, 0x00, 0x10, 0x00, 0x40,
        0x01, 0xC0, 0x31, 0x30, 0x0D, 0x0A, 0x31, 0x0D, 0x0A, 0x00, 0x60, 0x00, 0x3F, 0x01, 0x26 });
    EXPECT_EQ(stats::compressLzrw1(text), expected);
    EXPECT_EQ(stats::decompressContainer(expected), text);
}

class Lzrw1RoundTrip : public ::testing::TestWithParam<std::size_t> { };

TEST_P(Lzrw1RoundTrip, RandomAndTextComeBackUnchangedInChunkSizedBlocks)
{
    const std::size_t size = GetParam();
    for (const std::string& text :
        { randomBytes(size, 7 + static_cast<std::uint32_t>(size)), englishText(size, 3) }) {
        const std::string file = stats::compressLzrw1(text);
        ASSERT_EQ(file.substr(0, 4), "WRZL");
        EXPECT_EQ(file.substr(4, 4), le32(static_cast<std::uint32_t>(size)));
        EXPECT_EQ(stats::decompressContainer(file), text);

        // One block per started chunk, plus an empty one after a full last chunk.
        const std::vector<std::size_t> lengths = blockLengths(file);
        EXPECT_EQ(lengths.size(), size / 32768 + 1);
        for (const std::size_t length : lengths)
            EXPECT_LE(length, 32769u);
        if (size % 32768 == 0) {
            EXPECT_EQ(file.substr(file.size() - 3), bytes({ 0x01, 0x00, 0x80 }));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BoundarySizes, Lzrw1RoundTrip, ::testing::ValuesIn(kBoundarySizes));

TEST(Lzrw1RoundTrip, TextShrinksAndRandomBytesAreStored)
{
    const std::string text = englishText(65536, 11);
    EXPECT_LT(stats::compressLzrw1(text).size(), text.size() * 3 / 4);

    const std::string noise = randomBytes(65536, 11);
    const std::string file = stats::compressLzrw1(noise);
    // Two stored full chunks and the empty block: flag byte and length per block.
    EXPECT_EQ(file.size(), 8 + 2 * (2 + 1 + 32768) + 3u);
    EXPECT_EQ(static_cast<unsigned char>(file[10]), 0x80);
}

TEST(Lzrw1RoundTrip, RunsAtTheLimitsOfTheRunItem)
{
    // 15 equal bytes are too few for a run; 16 and 4095 are the shortest and
    // longest; 4096 needs a second item.
    for (const std::size_t run : { 15u, 16u, 17u, 4095u, 4096u, 4111u, 8190u }) {
        const std::string text = "xy" + std::string(run, 'z') + "xy" + std::string(run, '\0');
        EXPECT_EQ(stats::decompressContainer(stats::compressLzrw1(text)), text) << run;
    }
}

std::string decodeBlock(const std::string& block)
{
    std::string chunk;
    EXPECT_EQ(stats::decodeLzrw1Block(block, chunk), stats::BlockDecodeResult::Ok);
    return chunk;
}

TEST(Lzrw1BlockDecoding, CopyWithAnOffsetBelowItsLengthRepeatsBytes)
{
    // 'a' 'b', then offset 2 length 7: the copy reads bytes it has just written.
    EXPECT_EQ(decodeBlock(bytes({ 0x40, 0x20, 0x00, 'a', 'b', 0x00, 0x24 })), "ababababa");
}

TEST(Lzrw1BlockDecoding, RunItemWritesItsByteCountPlusSixteenTimes)
{
    EXPECT_EQ(decodeBlock(bytes({ 0x40, 0x80, 0x00, 0x00, 0x00, 0x00, 'r' })), std::string(16, 'r'));
    EXPECT_EQ(decodeBlock(bytes({ 0x40, 0x80, 0x00, 0x00, 0x01, 0x02, 'r' })), std::string(16 + 258, 'r'));
}

TEST(Lzrw1BlockDecoding, ControlWordIsReadAgainAfterSixteenItems)
{
    // Sixteen literals, then a second control word whose first item is a copy.
    std::string block = bytes({ 0x40, 0x00, 0x00 });
    const std::string literals = "0123456789abcdef";
    block += literals;
    block += bytes({ 0x80, 0x00, 0x01, 0x00 }); // offset 16, length 3
    EXPECT_EQ(decodeBlock(block), literals + "012");
}

TEST(Lzrw1BlockDecoding, StoredBlockIsItsBytesAndTinyBlocksAreEmpty)
{
    EXPECT_EQ(decodeBlock(bytes({ 0x80, 'h', 'i' })), "hi");
    EXPECT_EQ(decodeBlock(bytes({ 0x80 })), "");
    EXPECT_EQ(decodeBlock(""), "");
}

} // namespace
