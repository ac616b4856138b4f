#include "screens/career_order.h"

#include <gtest/gtest.h>

#include "engine/testing/memory_file_system.h"
#include "foundation/file_error.h"

namespace {

std::vector<u8> Bytes(const std::string& _text)
{
    return {_text.begin(), _text.end()};
}

TEST(CareerOrder, EveryMissionCommandGivesTheNextMissionsNeeds)
{
    memory_file_system_c files;
    files.Add("order.txt", Bytes("Mission\nmission req1=1\nUnknown req1=5\nMISSION req2=2 req1=1 req3=3\n"));
    const career_order_c order("order.txt");
    ASSERT_EQ(order.GetCount(), 3u);
    EXPECT_TRUE(order.GetRequirements(0).empty());
    EXPECT_EQ(order.GetRequirements(1), (std::vector<i32>{1}));
    EXPECT_EQ(order.GetRequirements(2), (std::vector<i32>{1, 2, 3}));
    EXPECT_TRUE(order.GetRequirements(3).empty()) << "beyond the file";
    EXPECT_TRUE(order.GetRequirements(-1).empty());
}

TEST(CareerOrder, AMissionIsAvailableOnceItsNeedsAreDone)
{
    memory_file_system_c files;
    files.Add("order.txt", Bytes("Mission\nMission req1=3\nMission req1=0\nMission req1=21\n"));
    const career_order_c order("order.txt");
    u32 done[20] = {};
    EXPECT_TRUE(order.IsAvailable(0, done, 20));
    EXPECT_FALSE(order.IsAvailable(1, done, 20));
    done[2] = 1;
    EXPECT_TRUE(order.IsAvailable(1, done, 20));
    EXPECT_FALSE(order.IsAvailable(2, done, 20)) << "mission 0 does not exist";
    EXPECT_FALSE(order.IsAvailable(3, done, 20)) << "beyond the profile's missions";
    EXPECT_TRUE(order.IsAvailable(30, done, 20));
}

TEST(CareerOrder, AMissingFileFailsLikeEveryParameterFile)
{
    memory_file_system_c files;
    EXPECT_THROW(career_order_c("none.txt"), file_error_c);
}

} // namespace
