// Bytes from the game server as the window's socket reads them: framing over
// reads, the queue's bound, and what makes the window let the server go.
#include "tchat.h"
#include "wire_limits.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

class Inbound : public ::testing::Test {
protected:
    void SetUp() override
    {
        TchatSetup setup;
        setup.settingsFile = folder.filePath("s.ini");
        window = std::make_unique<Tchat>(setup);
    }

    QTemporaryDir folder;
    std::unique_ptr<Tchat> window;
};

TEST_F(Inbound, AMessageSplitOverReadsIsQueuedOnceWholeAndHandledAtTheNextTick)
{
    EXPECT_TRUE(window->receiveServerBytes("CMD_sendlogin"));
    EXPECT_EQ(window->queuedMessages(), 0u);
    EXPECT_TRUE(window->receiveServerBytes(
        std::string("info+3") + wire::kEndByte + "CMD_chat+a\nb" + wire::kEndByte));
    EXPECT_EQ(window->queuedMessages(), 1u); // a message holding a line break is dropped
    window->Timer1Timer();
    EXPECT_EQ(window->queuedMessages(), 0u);
    EXPECT_EQ(window->client().mynumber(), 3);
}

TEST_F(Inbound, AFloodPastTheQueuesBoundEndsTheConnection)
{
    std::string flood;
    for (std::size_t i = 0; i <= wire::kMaxClientQueue; ++i)
        flood += std::string("CMD_setbonustiles+") + wire::kEndByte;
    EXPECT_FALSE(window->receiveServerBytes(flood));
    EXPECT_EQ(window->queuedMessages(), wire::kMaxClientQueue);
    // The connection is gone: nothing more arrives, what was queued still is handled.
    EXPECT_FALSE(window->receiveServerBytes(std::string("CMD_sendlogininfo+2") + wire::kEndByte));
    EXPECT_EQ(window->queuedMessages(), wire::kMaxClientQueue);
    while (window->queuedMessages() > 0)
        window->Timer1Timer();
    EXPECT_EQ(window->client().mynumber(), 0);
}

TEST_F(Inbound, TooManyBytesWithoutAnEndByteEndTheConnection)
{
    const std::string half(wire::kMaxUnterminatedBytes / 2, 'x');
    EXPECT_TRUE(window->receiveServerBytes(half));
    EXPECT_TRUE(window->receiveServerBytes(half)); // exactly at the bound is still allowed
    EXPECT_FALSE(window->receiveServerBytes("x"));
    EXPECT_FALSE(window->receiveServerBytes(std::string("CMD_sendlogininfo+2") + wire::kEndByte));
    EXPECT_EQ(window->queuedMessages(), 0u);
}
