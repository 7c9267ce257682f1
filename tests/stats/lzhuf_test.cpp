// The LZHUF form: the code stream round trip (including the adaptive tree's
// periodic halving and matches into the window's opening spaces), and the
// "!HZL" container around it.
#include "lzhuf.h"
#include "sample_data.h"
#include "tlzrw1.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string decodeStream(const std::string& stream, std::uint32_t size, bool& ok)
{
    std::string out;
    ok = stats::lzhufDecode(stream, size, [&](std::string_view piece) { out.append(piece); });
    return out;
}

class LzhufRoundTrip : public ::testing::TestWithParam<std::size_t> { };

TEST_P(LzhufRoundTrip, RandomAndTextComeBackUnchanged)
{
    const std::size_t size = GetParam();
    for (const std::string& text :
        { randomBytes(size, 21 + static_cast<std::uint32_t>(size)), englishText(size, 8) }) {
        const std::string file = stats::compressLzhuf(text);
        ASSERT_EQ(file.substr(0, 4), "!HZL");
        EXPECT_EQ(stats::decompressContainer(file), text);
    }
}

INSTANTIATE_TEST_SUITE_P(BoundarySizes, LzhufRoundTrip, ::testing::ValuesIn(kBoundarySizes));

TEST(LzhufRoundTrip, EmptyTextIsTheHeaderAlone)
{
    EXPECT_EQ(stats::compressLzhuf(""), std::string("!HZL\0\0\0\0", 8));
    EXPECT_EQ(stats::decompressContainer(stats::compressLzhuf("")), "");
}

TEST(LzhufRoundTrip, TextShrinksBelowTheFastForm)
{
    const std::string text = englishText(200000, 12);
    const std::string good = stats::compressLzhuf(text);
    EXPECT_LT(good.size(), stats::compressLzrw1(text).size());
    EXPECT_LT(good.size(), text.size() / 2);
}

TEST(LzhufRoundTrip, LongRunsEveryByteValueAndLeadingSpaces)
{
    std::string text(300, ' '); // matches the spaces the window starts with
    text += std::string(100000, 'x'); // tens of thousands of 60-byte matches: the tree is halved many times
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b)
            text.push_back(static_cast<char>(b));
    text += englishText(5000, 1);
    bool ok = false;
    EXPECT_EQ(decodeStream(stats::lzhufEncode(text), static_cast<std::uint32_t>(text.size()), ok), text);
    EXPECT_TRUE(ok);
    // The window starts as spaces, so 60 of them are one match from the first
    // symbol on: a length and a position, a few bytes.
    EXPECT_LE(stats::lzhufEncode(std::string(60, ' ')).size(), 4u);
}

TEST(LzhufRoundTrip, OutputReachesTheSinkInBoundedPieces)
{
    const std::string text = englishText(100000, 13);
    std::string out;
    std::size_t largest = 0;
    ASSERT_TRUE(stats::lzhufDecode(stats::lzhufEncode(text), 100000, [&](std::string_view piece) {
        largest = std::max(largest, piece.size());
        out.append(piece);
    }));
    EXPECT_EQ(out, text);
    EXPECT_LE(largest, 32u * 1024);
}

TEST(LzhufDecoding, StreamShorterThanTheSizeFails)
{
    const std::string text = englishText(5000, 14);
    const std::string stream = stats::lzhufEncode(text);
    bool ok = true;
    decodeStream(stream.substr(0, stream.size() - 1), 5000, ok);
    EXPECT_FALSE(ok);
    decodeStream(stream, 5100, ok);
    EXPECT_FALSE(ok);
    decodeStream("", 1, ok);
    EXPECT_FALSE(ok);
}

TEST(LzhufDecoding, SmallerSizeStopsAtTheSizeOrRefusesAMatchCrossingIt)
{
    // Decoding stops once the size is produced; a match that would carry the
    // output past it means the size is not the stream's.
    const std::string text = std::string(100, 'a');
    const std::string stream = stats::lzhufEncode(text);
    bool ok = false;
    EXPECT_EQ(decodeStream(stream, 1, ok), "a");
    EXPECT_TRUE(ok);
    decodeStream(stream, 2, ok); // 'a', then a 60-byte match
    EXPECT_FALSE(ok);
}

TEST(LzhufContainer, BothIdentifiersAreReadAndModesPickTheirForm)
{
    const std::string text = englishText(50000, 15);
    const std::string fast = stats::compressContainer(text, CompressionMode::Fast);
    const std::string good = stats::compressContainer(text, CompressionMode::Good);
    EXPECT_EQ(fast.substr(0, 4), "WRZL");
    EXPECT_EQ(good.substr(0, 4), "!HZL");
    EXPECT_EQ(stats::decompressContainer(fast), text);
    EXPECT_EQ(stats::decompressContainer(good), text);
}

TEST(LzhufContainer, AutoKeepsTheFastFormWhenItSavesThresholdPercent)
{
    const std::string text = englishText(50000, 16);
    const std::string fast = stats::compressLzrw1(text);
    const std::string good = stats::compressLzhuf(text);
    ASSERT_LT(good.size(), fast.size());
    const int savedPercent = static_cast<int>(100 - fast.size() * 100 / text.size());
    ASSERT_GT(savedPercent, 1);
    ASSERT_LT(savedPercent, 99);

    // Saving enough: the fast form, though the good one is smaller.
    EXPECT_EQ(stats::compressContainer(text, CompressionMode::Auto, savedPercent - 1), fast);
    // Saving too little: the smaller of the two.
    EXPECT_EQ(stats::compressContainer(text, CompressionMode::Auto, savedPercent + 1), good);
    EXPECT_EQ(stats::compressContainer(text, CompressionMode::Auto, 1000), good);
    EXPECT_EQ(stats::compressContainer(text, CompressionMode::Auto, -5), fast);

    // Random bytes: LZHUF cannot beat the stored blocks, so the fast form stays.
    const std::string noise = randomBytes(50000, 16);
    EXPECT_EQ(stats::compressContainer(noise, CompressionMode::Auto, 100), stats::compressLzrw1(noise));
}

} // namespace
