#include "net/net_scramble.h"

#include <gtest/gtest.h>

#include "net/net_protocol.h"

namespace {

std::vector<u8> Bytes(const net_message_c& message)
{
    return std::vector<u8>(message.GetPayload(), message.GetPayload() + message.GetLength());
}

net_message_c Record(const std::vector<u8>& bytes)
{
    net_message_c message;
    message.Assign(bytes.data(), bytes.size());
    return message;
}

} // namespace

TEST(NetScramble, KeystreamFromSeedZeroAndTheSeedBehind)
{
    net_message_c message = Record({'a', 'b', 'c'});
    ASSERT_TRUE(ScrambleMessage(kNetScrambled, message, 0x1200));
    EXPECT_EQ(Bytes(message), std::vector<u8>({'a' ^ 0xC3, 'b' ^ 0x7A, 'c' ^ 0x55, 0x00, 0x12}));
}

TEST(NetScramble, ReceivedBodiesOfEveryShortLengthComeBackWhole)
{
    for (std::size_t size = 0; size < 6; ++size) {
        std::vector<u8> body;
        for (std::size_t i = 0; i < size; ++i)
            body.push_back(static_cast<u8>('k' + i));
        net_message_c message = Record(body);
        ASSERT_TRUE(ScrambleMessage(0x800B, message, 0xBEEF));
        // On receipt the payload starts with the type word.
        std::vector<u8> received = {0x0B, 0x80};
        const std::vector<u8> sent = Bytes(message);
        received.insert(received.end(), sent.begin(), sent.end());
        net_message_c record = Record(received);
        ASSERT_TRUE(UnscrambleMessage(0x800B, record)) << size;
        std::vector<u8> expected = {0x0B, 0x80};
        expected.insert(expected.end(), body.begin(), body.end());
        EXPECT_EQ(Bytes(record), expected) << size;
    }
}

TEST(NetScramble, OnlyTheScrambleBitActs)
{
    net_message_c message = Record({1, 2});
    ASSERT_TRUE(ScrambleMessage(0x4005, message, 7));
    EXPECT_EQ(Bytes(message), std::vector<u8>({1, 2}));
    ASSERT_TRUE(UnscrambleMessage(0x4005, message));
    EXPECT_EQ(Bytes(message), std::vector<u8>({1, 2}));
}

TEST(NetScramble, PayloadTooShortForTypeAndSeedIsRefusedUnchanged)
{
    for (const std::vector<u8>& bytes : {std::vector<u8>{}, std::vector<u8>{0x0B}, std::vector<u8>{0x0B, 0x80, 1}}) {
        net_message_c record = Record(bytes);
        EXPECT_FALSE(UnscrambleMessage(kNetScrambled, record));
        EXPECT_EQ(Bytes(record), bytes);
    }
}

TEST(NetScramble, FullRecordHasNoRoomForTheSeed)
{
    net_message_c message = Record(std::vector<u8>(net_message_c::kPayloadSize - 1, 9));
    EXPECT_FALSE(ScrambleMessage(kNetScrambled, message, 1));
    EXPECT_EQ(message.GetLength(), net_message_c::kPayloadSize - 1);
}
