#include "dxt/mip_chain.h"

#include "dxt/level_encoder.h"
#include "dxt/testing/capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// 8x8, red = 10 x column, green 0, blue 0, alpha 255.
std::vector<u32> Ramp()
{
    std::vector<u32> p(64);
    for (i32 y = 0; y < 8; ++y)
        for (i32 x = 0; x < 8; ++x)
            p[y * 8 + x] = 0xFF000000u | (static_cast<u32>(10 * x) << 16);
    return p;
}

// The red bytes of each delivered level's first row.
std::vector<std::vector<i32>> RedRows(i32 filter, f32 gamma = 1.0f, f32 beta = 0.0f, i32 taps = 2)
{
    dxt_options_c o = OptionsFor(17, 0);
    o.mip_filter = static_cast<i16>(filter);
    o.filter_param_1 = gamma;
    o.filter_param_2 = beta;
    o.filter_param_3 = taps;
    EXPECT_EQ(Capture(Ramp(), 8, 8, o), 0);
    std::vector<std::vector<i32>> rows;
    i32 side = 8;
    for (const delivery_c& d : Deliveries()) {
        std::vector<i32> row;
        for (i32 x = 0; x < side; ++x)
            row.push_back(d.bytes[4 * x + 2]);
        rows.push_back(row);
        side = std::max(1, side / 2);
    }
    return rows;
}

i32 Byte(f64 v)
{
    return static_cast<i32>(std::floor(v + 0.5));
}
f64 Sinc(f64 x)
{
    return std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}

TEST(MipChain, SplineFilterFollowsTheRampThenBoxes)
{
    // 8 -> 4 along the spline at 0, 7/3, 14/3, 7; below 5 pixels a 2x2 box;
    // the 1x1 level is boxed in place from the 2x2 one.
    const auto rows = RedRows(134);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], (std::vector<i32>{0, 23, 47, 70}));
    EXPECT_EQ(rows[2], (std::vector<i32>{(0 + 23) * 2 / 4, (47 + 70) * 2 / 4}));
    EXPECT_EQ(rows[3], (std::vector<i32>{(11 + 58) * 2 >> 2}));
}

TEST(MipChain, FrequencyFilterDropsTheHighBand)
{
    const auto rows = RedRows(135);
    ASSERT_EQ(rows.size(), 4u);
    ASSERT_EQ(rows[1].size(), 4u);
    // The mean of the row stays; the chain is then boxed below 3 pixels.
    i32 sum = 0;
    for (i32 v : rows[1])
        sum += v;
    EXPECT_NEAR(sum / 4.0, 35.0, 1.0);
}

TEST(MipChain, WindowedSincKernels)
{
    // Two taps and beta 0: kernel 1 averages pairs; kernel 2 has the taps
    // sinc(0.375), sinc(0.125), sinc(0.125), sinc(0.375), normalised.
    const auto rows = RedRows(136);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], (std::vector<i32>{5, 25, 45, 65}));
    const f64 a = Sinc(0.375), b = Sinc(0.125), s = 2 * (a + b);
    const f64 w0 = a / s, w1 = b / s;
    // Level 2: the kernel at even columns of the face, then every second sample.
    const i32 left = Byte(w0 * 10 + w1 * 20 + w1 * 30 + w0 * 40);
    const i32 right = Byte(w0 * 50 + w1 * 60 + w1 * 70 + w0 * 70);
    EXPECT_EQ(rows[2], (std::vector<i32>{left, right}));
    EXPECT_EQ(rows[3], (std::vector<i32>{(2 * left + 2 * right) >> 2}));
}

TEST(MipChain, GammaFilterAveragesInGammaSpace)
{
    const auto rows = RedRows(137, 2.0f);
    ASSERT_GE(rows.size(), 2u);
    for (i32 k = 0; k < 4; ++k) {
        const f64 lo = 20.0 * k / 255.0, hi = (20.0 * k + 10.0) / 255.0;
        EXPECT_EQ(rows[1][k], Byte(255.0 * std::sqrt((lo * lo + hi * hi) / 2.0))) << k;
    }
    EXPECT_EQ(RedRows(137, 1.0f), RedRows(136, 1.0f));
}

TEST(MipChain, KaiserKernelShape)
{
    const float_kernel_c k = KaiserSincKernel(1, 4, 3.0f);
    ASSERT_EQ(k.Count(), 4);
    f32 sum = 0;
    for (f32 t : k.taps)
        sum += t;
    EXPECT_NEAR(sum, 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(k.taps[0], k.taps[3]);
    EXPECT_FLOAT_EQ(k.taps[1], k.taps[2]);
    // An odd tap parameter gets one more tap where the product is even.
    EXPECT_EQ(KaiserSincKernel(1, 3, 0.0f).Count(), 3);
    EXPECT_EQ(KaiserSincKernel(2, 3, 0.0f).Count(), 7);
    // One tap: no window, a plain pick.
    const float_kernel_c one = KaiserSincKernel(1, 1, 2.0f);
    ASSERT_EQ(one.Count(), 1);
    EXPECT_FLOAT_EQ(one.taps[0], 1.0f);
}

TEST(MipChain, BesselSeries)
{
    EXPECT_DOUBLE_EQ(BesselI0(0.0), 1.0);
    EXPECT_NEAR(BesselI0(1.0), 1.2660658777520082, 1e-12);
    EXPECT_NEAR(BesselI0(5.0), 27.239871823604442, 1e-9);
}

TEST(MipChain, UnusableParametersAreRefused)
{
    dxt_options_c o = OptionsFor(17, 0);
    o.mip_filter = 136;
    o.filter_param_3 = 0;
    EXPECT_EQ(Capture(Ramp(), 8, 8, o), -4);
    o.filter_param_3 = 1000;
    EXPECT_EQ(Capture(Ramp(), 8, 8, o), -4);
    o.mip_filter = 137;
    o.filter_param_3 = 2;
    o.filter_param_1 = 0.0f;
    EXPECT_EQ(Capture(Ramp(), 8, 8, o), -4);
    // The frequency domain needs power-of-two sides.
    o = OptionsFor(17, 0);
    o.mip_filter = 135;
    std::vector<u32> odd(12 * 8, 0xFF000000);
    EXPECT_EQ(Capture(odd, 12, 8, o), -4);
}

// The planes of a large level are reduced on threads of their own; the chain
// must be the same however many there are.
TEST(MipChain, ChainsAreAlikeOnAnyNumberOfThreads)
{
    const i32 w = 256, h = 128;
    const std::vector<u32> p = NoisePixels(static_cast<size_t>(w) * h, 4242);
    for (const i16 filter : {134, 135, 136, 137}) {
        dxt_options_c o = OptionsFor(17, 0);
        o.mip_filter = filter;
        o.filter_param_1 = 2.2f;
        o.filter_param_2 = 4.0f;
        o.filter_param_3 = 6;
        SetDxtLevelThreads(1);
        const std::vector<float_image_c> one = BuildChain(p.data(), w, h, o);
        SetDxtLevelThreads(4);
        const std::vector<float_image_c> four = BuildChain(p.data(), w, h, o);
        ASSERT_EQ(one.size(), four.size()) << filter;
        for (size_t level = 0; level < one.size(); ++level)
            for (i32 c = 0; c < 4; ++c)
                EXPECT_TRUE(one[level].planes[c].data == four[level].planes[c].data)
                    << filter << " " << level << " " << c;
    }
    SetDxtLevelThreads(0);
}

} // namespace
