#include "dxt/farthest_pair.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

struct pair_c {
    i32 first, second;
    bool operator==(const pair_c&) const = default;
};

pair_c Farthest(const f64 (*channels)[16], i32 count, i32 lanes)
{
    pair_c p{-1, -1};
    FarthestPair(channels, count, p.first, p.second, lanes);
    return p;
}

// Colours on a coarse grid tie often, so the order of the pairs decides.
TEST(FarthestPair, PathsAgreeWithTheFirstLargestPair)
{
    std::mt19937 rng(3);
    for (i32 round = 0; round < 20000; ++round) {
        const i32 count = 1 + static_cast<i32>(rng() % 16);
        const i32 steps = 1 + static_cast<i32>(rng() % 4);
        f64 channels[3][16] = {};
        for (auto& channel : channels)
            for (i32 u = 0; u < count; ++u)
                channel[u] = static_cast<f64>(rng() % (steps + 1)) / steps;
        pair_c expected{0, 0};
        f64 best = -1.0;
        for (i32 u = 0; u < count; ++u)
            for (i32 v = u + 1; v < count; ++v) {
                f64 dd = 0.0;
                for (const auto& channel : channels)
                    dd += (channel[u] - channel[v]) * (channel[u] - channel[v]);
                if (dd > best) {
                    best = dd;
                    expected = {u, v};
                }
            }
        for (const i32 lanes : {0, 1})
            ASSERT_EQ(Farthest(channels, count, lanes), expected) << "round " << round << " lanes " << lanes;
    }
}

TEST(FarthestPair, DistancesThatAreNotNumbersNeverWin)
{
    const f64 nan = std::nan("");
    const struct {
        const char* name;
        f64 red[4];
        i32 count;
        pair_c expected;
    } cases[] = {
        {"one colour", {0.5}, 1, {0, 0}},
        {"every pair unmeasurable", {nan, nan}, 2, {0, 0}},
        {"the farthest beside one", {0.0, nan, 0.25, 1.0}, 4, {0, 3}},
        {"an infinite distance", {0.0, INFINITY, 0.5}, 3, {0, 1}},
    };
    for (const auto& c : cases) {
        f64 channels[3][16] = {};
        std::copy(c.red, c.red + 4, channels[0]);
        for (const i32 lanes : {0, 1})
            EXPECT_EQ(Farthest(channels, c.count, lanes), c.expected) << c.name << " lanes " << lanes;
    }
}

} // namespace
