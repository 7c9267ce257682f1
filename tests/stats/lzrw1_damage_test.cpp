// Damaged containers: each kind of damage ends in its fixed error text, and
// random damage of any kind ends in an error or a result, never a crash, a
// hang or an allocation the file's size fields ask for.
#include "sample_data.h"
#include "tlzrw1.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using namespace std::string_literals;

const std::string kName = "damaged.tld";
const std::string kReadError = "Lzrw1 : Error reading from input file : damaged.tld";
const std::string kLzrw1Mismatch
    = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
const std::string kLzhufMismatch = "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";
const std::string kNoMemory = "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";

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

// The error text decoding `file` ends in, or "" when it decodes.
std::string decodeError(const std::string& file, std::size_t maxSize = stats::kMaxInMemoryText)
{
    try {
        stats::decompressContainer(file, kName, maxSize);
        return "";
    } catch (const ELzrw1Error& e) {
        return e.what();
    }
}

std::string lzrw1File(std::uint32_t size, const std::string& blocks) { return "WRZL"s + le32(size) + blocks; }

std::string block(const std::string& data)
{
    return bytes({ int(data.size() & 0xFF), int(data.size() >> 8) }) + data;
}

TEST(ContainerHeader, UnknownIdentifierIsRefusedWithTheFileName)
{
    const std::string expected = "damaged.tld : Lzrw1 decompression : this file has no valid header !";
    EXPECT_EQ(decodeError("WRZX"s + le32(0) + bytes({ 1, 0, 0x80 })), expected);
    EXPECT_EQ(decodeError("wrzl"s + le32(0) + bytes({ 1, 0, 0x80 })), expected);
    EXPECT_EQ(decodeError("10\r\n1\r\n0\r\n"), expected);
    EXPECT_EQ(decodeError("WRZ"), expected);
    EXPECT_EQ(decodeError(""), expected);
}

TEST(ContainerHeader, FileEndingInsideTheSizeFieldIsAReadError)
{
    EXPECT_EQ(decodeError("WRZL"), kReadError);
    EXPECT_EQ(decodeError("!HZL\x05\x00"s), kReadError);
}

TEST(Lzrw1Damage, TruncatedFileIsAReadError)
{
    const std::string file = stats::compressLzrw1(englishText(70000, 5));
    // Inside a block, inside a block length, and just before the closing block.
    for (const std::size_t cut : { file.size() - 1, std::size_t { 9 }, std::size_t { 8 }, file.size() / 2 })
        EXPECT_EQ(decodeError(file.substr(0, cut)), kReadError) << cut;
    const std::string fullChunk = stats::compressLzrw1(std::string(32768, 'a'));
    EXPECT_EQ(decodeError(fullChunk.substr(0, fullChunk.size() - 3)), kReadError);
}

TEST(Lzrw1Damage, BlockLongerThanAnyChunkIsAReadError)
{
    std::string data(32770, 'x');
    data[0] = static_cast<char>(0x80);
    EXPECT_EQ(decodeError(lzrw1File(32769, block(data))), kReadError);
}

TEST(Lzrw1Damage, ItemRunningPastItsBlockIsAReadError)
{
    // A copy item missing its second byte, a run item cut after two bytes,
    // a compressed block too short for its control word, and a second control
    // word with no item after it.
    EXPECT_EQ(decodeError(lzrw1File(1, block(bytes({ 0x40, 0x40, 0x00, 'a', 0x00 })))), kReadError);
    EXPECT_EQ(decodeError(lzrw1File(17, block(bytes({ 0x40, 0x40, 0x00, 'a', 0x00, 0x00 })))), kReadError);
    EXPECT_EQ(decodeError(lzrw1File(0, block(bytes({ 0x40, 0x00 })))), kReadError);
    EXPECT_EQ(
        decodeError(lzrw1File(16, block(bytes({ 0x40, 0, 0 }) + std::string(16, 'l') + bytes({ 0, 0 })))),
        kReadError);
}

TEST(Lzrw1Damage, CopyReachingBeforeTheBlockIsAReadError)
{
    // Offset 2 with one byte decoded, and an offset into the previous block.
    EXPECT_EQ(decodeError(lzrw1File(4, block(bytes({ 0x40, 0x40, 0x00, 'a', 0x00, 0x20 })))), kReadError);
    std::string first(32768, 'p');
    first.insert(first.begin(), static_cast<char>(0x80));
    EXPECT_EQ(decodeError(lzrw1File(32771, block(first) + block(bytes({ 0x40, 0x80, 0x00, 0x00, 0x10 })))),
        kReadError);
}

TEST(Lzrw1Damage, BlockDecodingPastAFullChunkIsASizeMismatch)
{
    // Nine runs of 4095 bytes are 36 855 bytes in one block.
    std::string data = bytes({ 0x40, 0xFF, 0x80 });
    for (int i = 0; i < 9; ++i)
        data += bytes({ 0x00, 0x0F, 0xEF, 'z' });
    EXPECT_EQ(decodeError(lzrw1File(36855, block(data))), kLzrw1Mismatch);
}

TEST(Lzrw1Damage, SizeFieldDisagreeingWithTheBlocksIsASizeMismatch)
{
    const std::string text = englishText(40000, 9);
    const std::string file = stats::compressLzrw1(text);
    for (const std::uint32_t size : { 39999u, 40001u, 0u, 0xFFFFFFFFu }) {
        std::string damaged = file;
        damaged.replace(4, 4, le32(size));
        EXPECT_EQ(decodeError(damaged), kLzrw1Mismatch) << size;
    }
}

TEST(Lzrw1Damage, OutputIsStoppedOnceItPassesTheSizeField)
{
    // Two full chunks of runs against a size of one chunk: the second block
    // is refused before any of it is handed on.
    std::string runs = bytes({ 0x40, 0xFF, 0x40 });
    for (int i = 0; i < 8; ++i)
        runs += bytes({ 0x00, 0x0F, 0xEF, 'r' });
    runs += bytes({ 'r', 0x00, 0x14 });
    const std::string file = lzrw1File(32768, block(runs) + block(runs) + block(bytes({ 0x80 })));
    std::size_t handed = 0;
    try {
        stats::decompressContainerTo(
            file, [&](std::string_view piece) { handed += piece.size(); }, kName);
        ADD_FAILURE() << "decoded a file whose blocks outgrow its size";
    } catch (const ELzrw1Error& e) {
        EXPECT_EQ(e.what(), kLzrw1Mismatch);
    }
    EXPECT_EQ(handed, 32768u);
}

TEST(ContainerMemory, DecodingIntoMemoryStopsAtTheCap)
{
    const std::string text = englishText(100000, 4);
    EXPECT_EQ(decodeError(stats::compressLzrw1(text), 99999), kNoMemory);
    EXPECT_EQ(decodeError(stats::compressLzhuf(text), 99999), kNoMemory);
    EXPECT_EQ(decodeError(stats::compressLzrw1(text), 100000), "");
}

TEST(LzhufDamage, StreamEndingBeforeTheSizeIsASizeMismatch)
{
    const std::string file = stats::compressLzhuf(englishText(20000, 6));
    EXPECT_EQ(decodeError(file.substr(0, file.size() - 1)), kLzhufMismatch);
    EXPECT_EQ(decodeError(file.substr(0, 8)), kLzhufMismatch);
    std::string larger = file;
    larger.replace(4, 4, le32(20100)); // more than the zero bits padding the last byte can hold
    EXPECT_EQ(decodeError(larger), kLzhufMismatch);
    EXPECT_EQ(decodeError("!HZL"s + le32(0xFFFFFFFFu) + randomBytes(64, 1)), kLzhufMismatch);
}

// Random damage: byte flips in a valid file, random tails behind a valid
// header, and random sizes. Any outcome but an ELzrw1Error or a result (a
// crash, another exception, a hang) fails; run it under the sanitizers too.
class RandomDamage : public ::testing::TestWithParam<bool> {
protected:
    std::string compress(const std::string& text) const
    {
        return GetParam() ? stats::compressLzhuf(text) : stats::compressLzrw1(text);
    }
};

TEST_P(RandomDamage, FlippedBytesGiveAnErrorOrAResult)
{
    const std::string text = englishText(40000, 2) + randomBytes(3000, 2) + std::string(5000, ' ');
    const std::string file = compress(text);
    int errors = 0;
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        std::string damaged = file;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < flips; ++i)
            damaged[rng() % damaged.size()] ^= static_cast<char>(1 + rng() % 255);
        try {
            // Only damage the format cannot see (a literal byte, a stored byte)
            // gets through, and then the size field still holds.
            const std::string out = stats::decompressContainer(damaged, kName);
            EXPECT_EQ(le32(static_cast<std::uint32_t>(out.size())), damaged.substr(4, 4));
        } catch (const ELzrw1Error&) {
            ++errors;
        }
    }
    EXPECT_GT(errors, 0);
}

TEST_P(RandomDamage, RandomDataBehindAValidHeaderGivesAnErrorOrAResult)
{
    const std::string identifier = GetParam() ? "!HZL" : "WRZL";
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        const std::uint32_t size = seed % 3 == 0 ? rng() : rng() % 100000;
        const std::string file = identifier + le32(size) + randomBytes(rng() % 5000, seed);
        try {
            EXPECT_EQ(stats::decompressContainer(file, kName).size(), size);
        } catch (const ELzrw1Error&) {
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothForms, RandomDamage, ::testing::Bool(),
    [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Lzhuf" : "Lzrw1"; });

} // namespace
