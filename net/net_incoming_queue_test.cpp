#include "net/net_incoming_queue.h"

#include <gtest/gtest.h>

#include "net/net_protocol.h"

namespace {

net_message_c Record(u8 mark, f32 time = 1.5f)
{
    net_message_c record;
    record.WriteU16(mark);
    record.SetTime(time);
    return record;
}

} // namespace

TEST(NetIncomingQueue, FirstInFirstOutWithTimeAndBytes)
{
    net_incoming_queue_c queue(8);
    queue.Push(Record(1, 0.25f), 5);
    queue.Push(Record(2), kLocalSender);
    queue.Push(Record(3), 6);
    net_message_c record;
    for (u8 mark : {1, 2, 3}) {
        ASSERT_TRUE(queue.Pop(record));
        EXPECT_EQ(record.GetLength(), 2u);
        EXPECT_EQ(record.ReadU16(), mark);
    }
    EXPECT_FALSE(queue.Pop(record));
    queue.Push(Record(1, 0.25f), 5);
    ASSERT_TRUE(queue.Pop(record));
    EXPECT_EQ(record.GetTime(), 0.25f);
}

TEST(NetIncomingQueue, ASenderPastItsShareIsRefusedAndNamedOnce)
{
    net_incoming_queue_c queue(3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(queue.Push(Record(1), 9));
    EXPECT_FALSE(queue.Push(Record(1), 9));
    EXPECT_FALSE(queue.Push(Record(1), 9));
    EXPECT_TRUE(queue.Push(Record(2), 10)); // others are not held up
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(queue.Push(Record(3), kLocalSender));
    EXPECT_EQ(queue.GetRefused(), 2u);
    EXPECT_EQ(queue.TakeFlooders(), std::vector<u32>{9});
    EXPECT_TRUE(queue.TakeFlooders().empty());
    EXPECT_EQ(queue.GetHighWater(), 14u);
    net_message_c record;
    ASSERT_TRUE(queue.Pop(record));
    EXPECT_TRUE(queue.Push(Record(1), 9)); // its share came back
}

TEST(NetIncomingQueue, ClearDropsEverythingAndTheShares)
{
    net_incoming_queue_c queue(1);
    queue.Push(Record(1), 4);
    queue.Clear();
    EXPECT_EQ(queue.GetCount(), 0u);
    EXPECT_TRUE(queue.Push(Record(1), 4));
}
