#include "dxt/rescale.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Rescale, PowerOfTwoRules)
{
    struct row_c {
        i32 n, nearest, next, prev;
    };
    const row_c rows[] = {{1, 1, 1, 1},
                          {3, 4, 4, 2},
                          {5, 4, 8, 4},
                          {6, 8, 8, 4},
                          {12, 16, 16, 8},
                          {96, 128, 128, 64},
                          {0, -1, -1, -1},
                          {-7, -1, -1, -1},
                          {(1 << 30) + 1, -1, -1, -1},
                          {1 << 30, 1 << 30, 1 << 30, 1 << 30}};
    for (const row_c& r : rows) {
        EXPECT_EQ(NearestPow2(r.n), r.nearest) << r.n;
        EXPECT_EQ(NextPow2(r.n), r.next) << r.n;
        EXPECT_EQ(PrevPow2(r.n), r.prev) << r.n;
    }
}

TEST(Rescale, PickKeepsPowerOfTwoSides)
{
    i32 w, h;
    ASSERT_TRUE(PickPow2Size(2, 96, 64, w, h));
    EXPECT_EQ(w, 128);
    EXPECT_EQ(h, 64);
    ASSERT_TRUE(PickPow2Size(1, 100, 300, w, h));
    EXPECT_EQ(w, 128);
    EXPECT_EQ(h, 256);
    ASSERT_TRUE(PickPow2Size(3, 100, 300, w, h));
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 256);
    EXPECT_FALSE(PickPow2Size(1, 0, 300, w, h));
}

TEST(Rescale, SameSizeReturnsTheKnots)
{
    const u8 src[6] = {10, 11, 255, 0, 40, 200};
    const std::vector<u8> out = RescaleImage(src, 6, 1, 1, 6, 6, 1);
    // Each value gets 0.5 added and is rounded halves to even.
    EXPECT_EQ(out, (std::vector<u8>{10, 12, 255, 0, 40, 200}));
}

TEST(Rescale, ConstantChannelStaysConstant)
{
    std::vector<u8> src(7 * 5 * 3);
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = i % 3 == 0 ? 100 : (i % 3 == 1 ? 30 : 221);
    const std::vector<u8> out = RescaleImage(src.data(), 7, 5, 3, 21, 16, 8);
    ASSERT_EQ(out.size(), 16u * 8 * 3);
    for (size_t i = 0; i < out.size(); i += 3) {
        EXPECT_EQ(out[i], 100);
        EXPECT_EQ(out[i + 1], 30);
        EXPECT_EQ(out[i + 2], 222);
    }
}

TEST(Rescale, SideOfOneGivesItsValueEverywhere)
{
    const u8 src[4] = {50, 60, 70, 80};
    const std::vector<u8> out = RescaleImage(src, 1, 1, 4, 4, 5, 3);
    ASSERT_EQ(out.size(), 5u * 3 * 4);
    for (size_t i = 0; i < out.size(); i += 4) {
        EXPECT_EQ(out[i], 50);
        EXPECT_EQ(out[i + 1], 60);
        EXPECT_EQ(out[i + 2], 70);
        EXPECT_EQ(out[i + 3], 80);
    }
}

TEST(Rescale, SplineFollowsALine)
{
    // A straight line is reproduced by the spline between the knots.
    const f32 y[5] = {0, 10, 20, 30, 40};
    f32 out[9];
    ResampleLine(y, 5, out, 9);
    for (i32 i = 0; i < 9; ++i)
        EXPECT_NEAR(out[i], 5.0f * i, 1e-3f) << i;
}

TEST(Rescale, TwoSamplesMakeAStraightLine)
{
    const u8 src[2] = {0, 30};
    EXPECT_EQ(RescaleImage(src, 2, 1, 1, 2, 4, 1), (std::vector<u8>{0, 10, 20, 30}));
}

TEST(Rescale, RowPitchIsHonoured)
{
    // Two rows of two pixels, with two bytes of padding per row.
    const u8 src[] = {1, 2, 99, 99, 3, 4, 99, 99};
    EXPECT_EQ(RescaleImage(src, 2, 2, 1, 4, 2, 2), (std::vector<u8>{2, 2, 4, 4}));
}

} // namespace
