#include "app/net_player_list.h"

#include <gtest/gtest.h>

#include "app/message/net_message.h"

namespace {

TEST(NetPlayerList, OperationsByIdActOnTheFirstEntry)
{
    net_player_list_c list;
    list.Add("a", 1, 10, 100);
    list.Add("b", 2, 20, 200);
    list.Add("a again", 1, 11, 101);
    list.Update("c", 1, 12, 102);
    EXPECT_STREQ(list.Get(0).name, "c");
    EXPECT_EQ(list.Get(0).plane, 12u);
    EXPECT_STREQ(list.Get(2).name, "a again");
    list.Update("nobody", 9, 0, 0);
    list.Remove(1);
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(list.Get(0).id, 2);
    EXPECT_EQ(list.Find(1)->plane, 11u);
    list.Remove(9);
    EXPECT_EQ(list.GetCount(), 2u);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(list.Find(2), nullptr);
}

TEST(NetPlayerList, WrittenListReadsBackWhole)
{
    net_player_list_c list;
    list.Add("Anna", 3, 0xFFFFFFFF, 0x80000002);
    list.Add("", 0xFFFF, 0, 0);
    net_message_c m;
    list.Write(m);
    net_player_list_c copy;
    copy.Add("old", 1, 1, 1);
    ASSERT_TRUE(copy.Read(m));
    ASSERT_EQ(copy.GetCount(), 2u);
    EXPECT_STREQ(copy.Get(0).name, "Anna");
    EXPECT_EQ(copy.Get(0).plane, 0xFFFFFFFFu);
    EXPECT_EQ(copy.Get(0).progress, 0x80000002u);
    EXPECT_EQ(copy.Get(1).id, 0xFFFF);
    EXPECT_EQ(m.GetRemaining(), 0u);
}

} // namespace
