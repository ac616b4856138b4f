#include "dxt/projection_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

namespace {

std::vector<i32> Sorted(const std::vector<f64>& proj, i32 tie_break)
{
    std::vector<i32> order(proj.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](i32 a, i32 b) {
        if (proj[a] != proj[b])
            return proj[a] < proj[b];
        return tie_break == 0 ? a < b : a > b;
    });
    return order;
}

// Few distinct values make long runs of ties, where the tie-break decides.
TEST(ProjectionOrder, MatchesASortByProjectionThenIndex)
{
    std::mt19937 rng(5);
    for (i32 round = 0; round < 4000; ++round) {
        const i32 count = 1 + static_cast<i32>(rng() % 16);
        const i32 distinct = 1 + static_cast<i32>(rng() % 17);
        std::vector<f64> proj(count);
        for (f64& p : proj)
            p = static_cast<f64>(static_cast<i32>(rng() % distinct)) * 0.37 - 1.0;
        for (const i32 tie_break : {0, 1})
            for (const i32 lanes : {0, 2, 4, 8}) {
                i32 order[16];
                ASSERT_TRUE(OrderByProjection(proj.data(), count, tie_break, order, lanes));
                ASSERT_EQ(std::vector<i32>(order, order + count), Sorted(proj, tie_break))
                    << "round " << round << " tie-break " << tie_break << " lanes " << lanes;
            }
    }
}

TEST(ProjectionOrder, NotANumberIsRefused)
{
    const f64 proj[3] = {0.5, std::nan(""), -0.25};
    i32 order[16];
    for (const i32 lanes : {0, 2, 4, 8})
        EXPECT_FALSE(OrderByProjection(proj, 3, 0, order, lanes));
}

} // namespace
