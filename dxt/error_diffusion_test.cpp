#include "dxt/error_diffusion.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ErrorDiffusion, GreyRampTo5BitsKeepsTheMean)
{
    const i32 w = 64, h = 32;
    std::vector<u8> p(static_cast<size_t>(w) * h * 3);
    for (i32 y = 0; y < h; ++y)
        for (i32 x = 0; x < w; ++x)
            for (i32 c = 0; c < 3; ++c)
                p[(y * w + x) * 3 + c] = static_cast<u8>(x * 4 + 1);
    f64 before = 0.0;
    for (u8 v : p)
        before += v;
    DiffuseErrors3(p.data(), w, h, 5, 5, 5);
    f64 after = 0.0;
    for (u8 v : p) {
        after += v;
        ASSERT_TRUE(v % 8 == 0 || v == 255) << static_cast<int>(v);
    }
    EXPECT_NEAR(after / p.size(), before / p.size(), 0.5);
}

TEST(ErrorDiffusion, UniformGreyMixesTheTwoNearestLevels)
{
    const i32 w = 32, h = 32;
    std::vector<u8> p(static_cast<size_t>(w) * h * 4, 100);
    DiffuseErrors4(p.data(), w, h, 5, 5, 5, 5);
    f64 sum = 0.0;
    for (u8 v : p) {
        EXPECT_TRUE(v == 96 || v == 104) << static_cast<int>(v);
        sum += v;
    }
    EXPECT_NEAR(sum / p.size(), 100.0, 8.0);
}

TEST(ErrorDiffusion, EightBitsLeaveTheChannel)
{
    std::vector<u8> p = {0, 17, 255, 128, 3, 250};
    const std::vector<u8> before = p;
    DiffuseErrors3(p.data(), 2, 1, 8, 8, 8);
    EXPECT_EQ(p, before);
}

TEST(ErrorDiffusion, OnePixelWideIsPlainQuantisation)
{
    std::vector<u8> p = {100, 100, 100, 100, 100, 100, 100, 100, 100};
    DiffuseErrors3(p.data(), 1, 3, 4, 4, 4);
    // (1600 + 127) cleared to a multiple of 256: 1536 -> 96; no error travels down.
    for (u8 v : p)
        EXPECT_EQ(v, 96);
}

TEST(ErrorDiffusion, BadBitCountsThrow)
{
    std::vector<u8> p(12);
    EXPECT_THROW(DiffuseErrors4(p.data(), 1, 3, 0, 4, 4, 4), std::invalid_argument);
    EXPECT_THROW(DiffuseErrors3(p.data(), 1, 4, 9, 4, 4), std::invalid_argument);
}

} // namespace
