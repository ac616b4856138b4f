#include "engine/bucket_sort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

std::vector<int> Sorted(const std::vector<f32>& keys, bool descending)
{
    std::vector<int> values(keys.size());
    std::vector<int*> items;
    for (size_t i = 0; i < keys.size(); ++i) {
        values[i] = static_cast<int>(i);
        items.push_back(&values[i]);
    }
    std::vector<int*> out;
    BucketSort(items, keys, descending, out);
    std::vector<int> order;
    for (int* item : out)
        order.push_back(*item);
    return order;
}

} // namespace

TEST(BucketSortTest, AscendingKeepsInputOrderOfEqualKeys)
{
    EXPECT_EQ(Sorted({3, 1, 2, 1}, false), (std::vector<int>{1, 3, 2, 0}));
}

TEST(BucketSortTest, DescendingReversesEqualKeys)
{
    EXPECT_EQ(Sorted({3, 1, 2, 1}, true), (std::vector<int>{0, 2, 3, 1}));
}

TEST(BucketSortTest, KeysInOneBucketShareIt)
{
    // 1000 and 1000.1 fall into the same bucket of a 0..1e6 span.
    EXPECT_EQ(Sorted({1000.1f, 1000.0f, 1e6f, 0}, false), (std::vector<int>{3, 0, 1, 2}));
}

TEST(BucketSortTest, AllEqualKeys)
{
    EXPECT_EQ(Sorted({5, 5, 5}, false), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Sorted({5, 5, 5}, true), (std::vector<int>{2, 1, 0}));
}

TEST(BucketSortTest, NotANumberAndInfinityLandInValidBuckets)
{
    const f32 nan = std::numeric_limits<f32>::quiet_NaN();
    const f32 inf = std::numeric_limits<f32>::infinity();
    EXPECT_EQ(Sorted({2, nan, 1}, false), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(Sorted({nan, nan}, false), (std::vector<int>{0, 1}));
    EXPECT_EQ(Sorted({inf, 1, -inf}, false).size(), 3u);
}

TEST(BucketSortTest, EmptyAndSingle)
{
    EXPECT_TRUE(Sorted({}, false).empty());
    EXPECT_EQ(Sorted({7}, true), (std::vector<int>{0}));
}
