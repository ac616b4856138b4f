#include "dxt/float_plane.h"

#include "dxt/level_encoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(FloatPlane, MirrorReflectsDifferentlyAtTheTwoEnds)
{
    const float_plane_c p(5, 3);
    EXPECT_EQ(MirrorIndex(p, -1, 0), 1u);
    EXPECT_EQ(MirrorIndex(p, -2, 0), 2u);
    EXPECT_EQ(MirrorIndex(p, 5, 0), 4u);
    EXPECT_EQ(MirrorIndex(p, 6, 0), 3u);
    EXPECT_EQ(MirrorIndex(p, 0, -1), 5u);
    EXPECT_EQ(MirrorIndex(p, 0, 3), 10u);
    EXPECT_EQ(MirrorCoordinate(-1, 1), 0);
    EXPECT_EQ(MirrorCoordinate(17, 4), 3);
}

TEST(FloatPlane, KernelWithZeroSumStaysAsItIs)
{
    float_kernel_c k(2);
    k.taps = {1.0f, -1.0f};
    k.Normalize();
    EXPECT_EQ(k.taps, (std::vector<f32>{1.0f, -1.0f}));
    k.taps = {1.0f, 3.0f};
    k.Normalize();
    EXPECT_EQ(k.taps, (std::vector<f32>{0.25f, 0.75f}));
}

TEST(FloatPlane, KernelReductionTakesEvenSamplesAndTheirRight)
{
    float_plane_c p(4, 2);
    p.data = {0, 10, 20, 30, 100, 110, 120, 130};
    float_kernel_c k(2);
    k.taps = {0.5f, 0.5f};
    const float_plane_c out = ReduceWithKernel(p, k);
    ASSERT_EQ(out.width, 2);
    ASSERT_EQ(out.height, 1);
    EXPECT_FLOAT_EQ(out.At(0, 0), 55.0f);
    EXPECT_FLOAT_EQ(out.At(1, 0), 75.0f);
    EXPECT_EQ(ReduceWithKernel(float_plane_c(1, 1), k).data.size(), 0u);
}

TEST(FloatPlane, PickingMatchesRepeatedReductions)
{
    float_plane_c p(37, 29);
    for (size_t i = 0; i < p.data.size(); ++i)
        p.data[i] = static_cast<f32>((i * 7919) % 251) / 251.0f;
    float_kernel_c k(6);
    k.taps = {0.05f, -0.1f, 0.55f, 0.55f, -0.1f, 0.05f};
    float_kernel_c pick(2);
    pick.taps = {0.0f, 1.0f};
    for (i32 picks = 0; picks < 4; ++picks) {
        float_plane_c slow = ReduceWithKernel(p, k);
        for (i32 i = 0; i < picks; ++i)
            slow = ReduceWithKernel(slow, pick);
        const float_plane_c fast = ReduceWithKernelThenPick(p, k, picks);
        ASSERT_EQ(fast.width, slow.width);
        ASSERT_EQ(fast.height, slow.height);
        EXPECT_EQ(fast.data, slow.data) << picks;
    }
}

TEST(FloatPlane, FrequencyReductionKeepsAConstant)
{
    float_plane_c p(8, 4);
    for (f32& v : p.data)
        v = 0.3f;
    const float_plane_c out = ReduceByFft(p);
    ASSERT_EQ(out.width, 4);
    ASSERT_EQ(out.height, 2);
    for (f32 v : out.data)
        EXPECT_NEAR(v, 0.3f, 1e-6f);
}

TEST(FloatPlane, FrequencyReductionDropsTheHighBand)
{
    float_plane_c p(8, 8);
    for (i32 y = 0; y < 8; ++y)
        for (i32 x = 0; x < 8; ++x)
            p.At(x, y) = (x % 2) ? 0.8f : 0.0f;
    for (f32 v : ReduceByFft(p).data)
        EXPECT_NEAR(v, 0.4f, 1e-5f);
}

TEST(FloatPlane, FrequencyReductionNeedsPowersOfTwo)
{
    EXPECT_THROW(ReduceByFft(float_plane_c(6, 4)), std::invalid_argument);
}

TEST(FloatPlane, SampledGaussSpansThreeUnits)
{
    const sampled_kernel_c k = SampleKernel(Gauss, 2, true);
    ASSERT_EQ(k.taps.size(), 5u);
    EXPECT_FLOAT_EQ(k.taps[2], 1.0f);
    EXPECT_FLOAT_EQ(k.taps[3], std::exp(-2.25f));
    EXPECT_FLOAT_EQ(k.taps[4], std::exp(-9.0f));
    EXPECT_FLOAT_EQ(k.taps[0], k.taps[4]);
    const sampled_kernel_c d = SampleKernel(GaussDerivative, 1, false);
    EXPECT_FLOAT_EQ(d.taps[0], -d.taps[2]);
}

TEST(FloatPlane, ConvolveLeavesTheBorderZero)
{
    float_plane_c p(5, 3);
    for (i32 x = 0; x < 5; ++x)
        for (i32 y = 0; y < 3; ++y)
            p.At(x, y) = static_cast<f32>(x);
    sampled_kernel_c k;
    k.taps = {1.0f, 0.0f, -1.0f};
    const float_plane_c out = Convolve(p, k);
    for (i32 y = 0; y < 3; ++y) {
        EXPECT_EQ(out.At(0, y), 0.0f);
        EXPECT_EQ(out.At(4, y), 0.0f);
        for (i32 x = 1; x < 4; ++x)
            EXPECT_FLOAT_EQ(out.At(x, y), -2.0f);
    }
    k.horizontal = false;
    const float_plane_c vertical = Convolve(p, k);
    for (i32 x = 0; x < 5; ++x)
        EXPECT_EQ(vertical.At(x, 1), 0.0f);
}

TEST(FloatPlane, ClampAndPower)
{
    float_image_c img(2, 1);
    img.planes[0].data = {-1.0f, 4.0f};
    img.Clamp(0.0f, 2.0f);
    EXPECT_EQ(img.planes[0].data, (std::vector<f32>{0.0f, 2.0f}));
    img.Power(2.0f);
    EXPECT_EQ(img.planes[0].data, (std::vector<f32>{0.0f, 4.0f}));
}

// A four-plane image's reductions are each plane's own, whichever thread
// works on which plane.
TEST(FloatPlane, ImageReductionsArePlaneByPlane)
{
    const i32 side = 256;
    float_image_c image(side, side);
    u32 seed = 17;
    for (float_plane_c& plane : image.planes)
        for (f32& v : plane.data)
            v = static_cast<f32>((seed = seed * 1664525u + 1013904223u) >> 24) / 255.0f;
    float_kernel_c kernel(4);
    kernel.taps = {-0.1f, 0.6f, 0.6f, -0.1f};
    SetDxtLevelThreads(4);
    const float_image_c by_fft = ReduceByFft(image), by_kernel = ReduceWithKernel(image, kernel),
                        picked = ReduceWithKernelThenPick(image, kernel, 2);
    SetDxtLevelThreads(0);
    for (i32 c = 0; c < 4; ++c) {
        EXPECT_TRUE(by_fft.planes[c].data == ReduceByFft(image.planes[c]).data) << c;
        EXPECT_TRUE(by_kernel.planes[c].data == ReduceWithKernel(image.planes[c], kernel).data) << c;
        EXPECT_TRUE(picked.planes[c].data == ReduceWithKernelThenPick(image.planes[c], kernel, 2).data) << c;
    }
    EXPECT_EQ(picked.width, side / 8);
    EXPECT_EQ(picked.height, side / 8);
}

} // namespace
