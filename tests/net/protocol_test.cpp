// Framing, the inbound queue and field reading.
#include "protocol.h"
#include "wire_limits.h"

#include <gtest/gtest.h>

using namespace wire;

namespace {

std::vector<std::string> feedAll(
    MessageFramer& framer, std::string_view bytes, MessageFramer::Result* result = nullptr)
{
    std::vector<std::string> out;
    auto r = framer.feed(bytes, [&](std::string&& m) { out.push_back(std::move(m)); });
    if (result)
        *result = r;
    return out;
}

std::string msg(std::string_view text) { return std::string(text) + kEndByte; }

} // namespace

TEST(MessageFramer, CutsAtEndByteAndKeepsTheUnfinishedTail)
{
    MessageFramer framer;
    auto first = feedAll(framer, msg("CMD_chat+1+a") + msg("CMD_chat+1+b") + "CMD_nextro");
    EXPECT_EQ(first, (std::vector<std::string> { "CMD_chat+1+a", "CMD_chat+1+b" }));
    EXPECT_EQ(framer.pendingBytes(), 10u);
    // The rest of a split message arrives in a later read and is reassembled.
    auto second = feedAll(framer, "und+2" + std::string(1, kEndByte));
    EXPECT_EQ(second, (std::vector<std::string> { "CMD_nextround+2" }));
    EXPECT_EQ(framer.pendingBytes(), 0u);
}

TEST(MessageFramer, PassesEmptyMessagesOnLikeTheLoginsSecondEndByte)
{
    MessageFramer framer;
    auto out = feedAll(framer, msg("CMD_logininfo+1+2.0.5+Ann") + std::string(1, kEndByte));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1], "");
}

TEST(MessageFramer, EnforcesTheLimits)
{
    MessageFramer framer;
    // An over-long complete message is dropped, its neighbours survive.
    std::string longMessage(kMaxMessageBytes + 1, 'x');
    auto out = feedAll(framer, msg(longMessage) + msg("CMD_chat+1+ok"));
    EXPECT_EQ(out, (std::vector<std::string> { "CMD_chat+1+ok" }));

    // A message of exactly the limit is kept.
    out = feedAll(framer, msg(std::string(kMaxMessageBytes, 'y')));
    EXPECT_EQ(out.size(), 1u);

    // Line breaks never occur in honest messages.
    out = feedAll(framer, msg("CMD_chat+1+a\nCMD_kickhim+1+2+") + msg("CMD_chat+1+b\r"));
    EXPECT_TRUE(out.empty());

    // Unterminated bytes beyond the limit overflow, across several reads too.
    MessageFramer flooded;
    MessageFramer::Result result;
    feedAll(flooded, std::string(kMaxUnterminatedBytes, 'z'), &result);
    EXPECT_EQ(result, MessageFramer::Result::Ok);
    feedAll(flooded, "z", &result);
    EXPECT_EQ(result, MessageFramer::Result::Overflow);
    EXPECT_EQ(flooded.pendingBytes(), 0u);
}

TEST(InboundQueue, IsFirstInFirstOutAndCountsPerOrigin)
{
    InboundQueue queue;
    EXPECT_EQ(queue.take().line, ""); // an empty queue yields an empty line
    queue.push(7, "a");
    queue.push(8, "b");
    queue.push(7, "c");
    EXPECT_EQ(queue.countFrom(7), 2u);
    EXPECT_EQ(queue.countFrom(8), 1u);
    EXPECT_EQ(queue.countFrom(9), 0u);
    QueuedMessage first = queue.take();
    EXPECT_EQ(first.origin, 7u);
    EXPECT_EQ(first.line, "a");
    EXPECT_EQ(queue.take().line, "b");
    EXPECT_EQ(queue.countFrom(7), 1u);
    EXPECT_EQ(queue.take().line, "c");
    EXPECT_TRUE(queue.empty());
    EXPECT_EQ(queue.countFrom(7), 0u);
}

TEST(FieldReading, SplitsCommandAndReadsFields)
{
    SplitLine line = splitCommand("CMD_chat+2+hi + there|clRed");
    EXPECT_EQ(line.command, "CMD_chat");
    FieldReader fields(line.args);
    int32_t n = 0;
    ASSERT_TRUE(fields.nextInt(n));
    EXPECT_EQ(n, 2);
    // The last field is free text and keeps its "+".
    EXPECT_EQ(fields.rest(), "hi + there|clRed");

    EXPECT_TRUE(splitCommand("CMD_nothing").command.empty());
    EXPECT_EQ(splitCommand("CMD_full+").command, "CMD_full");

    FieldReader missing("5");
    std::string_view field;
    EXPECT_FALSE(missing.next(field)); // a field needs its "+"
}

TEST(FieldReading, ReadsVariableListsLikeThePlusAtMarker)
{
    FieldReader word("2+3.7+4.7+4.8");
    int32_t n = 0;
    ASSERT_TRUE(word.nextInt(n));
    auto refs = word.list(12);
    ASSERT_TRUE(refs);
    EXPECT_EQ(*refs, (std::vector<std::string_view> { "3.7", "4.7", "4.8" }));

    auto scores = FieldReader("12+0+7+0").list(4);
    ASSERT_TRUE(scores);
    EXPECT_EQ(scores->size(), 4u);
    EXPECT_EQ((*scores)[2], "7");

    // A trailing "+" yields a last empty item, as the marker reading does.
    auto trailing = FieldReader("1+2+").list(5);
    ASSERT_TRUE(trailing);
    EXPECT_EQ(*trailing, (std::vector<std::string_view> { "1", "2", "" }));

    EXPECT_FALSE(FieldReader("1+2+3+4+5").list(4));
}

TEST(FieldReading, IntegersAreStrict)
{
    EXPECT_EQ(strictToInt("0"), 0);
    EXPECT_EQ(strictToInt("-12"), -12);
    EXPECT_EQ(strictToInt("2147483647"), 2147483647);
    for (const char* bad : { "", "-", " 1", "1 ", "+1", "1a", "$10", "2147483648", "99999999999", "1.5" })
        EXPECT_FALSE(strictToInt(bad)) << bad;
    EXPECT_EQ(strictToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(strictToInt64("-9223372036854775808"), INT64_MIN);
    for (const char* bad :
        { "", "-", "9223372036854775808", "18446744073709551616", "12345678901234567890", "1e3" })
        EXPECT_FALSE(strictToInt64(bad)) << bad;
}
