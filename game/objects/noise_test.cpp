#include "game/objects/noise.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

f32 SCurve(f32 _t)
{
    return _t * _t * (3.0f - 2.0f * _t);
}

} // namespace

TEST(Noise, ZeroAtEveryLatticePoint)
{
    for (int i = -300; i <= 300; i += 7) {
        const f32 c = static_cast<f32>(i);
        const f32 p2[2] = {c, -c};
        const f32 p3[3] = {c, 2.0f * c, -3.0f};
        EXPECT_EQ(0.0f, Noise1(c)) << i;
        EXPECT_EQ(0.0f, Noise2(p2)) << i;
        EXPECT_EQ(0.0f, Noise3(p3)) << i;
        EXPECT_EQ(0.0f, FractalNoise1(4, c)) << i;
        EXPECT_EQ(0.0f, FractalNoise3(p3, 4)) << i;
    }
}

TEST(Noise, TablesArePermutationAndUnitGradientsRepeated)
{
    const noise_tables_c& t = GetNoiseTables();
    bool seen[noise_size] = {};
    for (int i = 0; i < noise_size; ++i) {
        ASSERT_GE(t.permutation[i], 0);
        ASSERT_LT(t.permutation[i], noise_size);
        seen[t.permutation[i]] = true;
        EXPECT_NEAR(1.0f, std::hypot(t.gradient2[i][0], t.gradient2[i][1]), 1e-5f);
        EXPECT_NEAR(1.0f,
                    std::sqrt(t.gradient3[i][0] * t.gradient3[i][0] + t.gradient3[i][1] * t.gradient3[i][1] +
                              t.gradient3[i][2] * t.gradient3[i][2]),
                    1e-5f);
        EXPECT_GE(t.gradient1[i], -1.0f);
        EXPECT_LT(t.gradient1[i], 1.0f);
    }
    for (bool s : seen)
        EXPECT_TRUE(s);
    for (int i = 0; i < noise_size + 2; ++i) {
        EXPECT_EQ(t.permutation[i], t.permutation[noise_size + i]);
        EXPECT_EQ(t.gradient3[i][2], t.gradient3[noise_size + i][2]);
    }
}

TEST(Noise, SamplesBlendTheCornerGradients)
{
    const noise_tables_c& t = GetNoiseTables();
    // x = 2.25: corners 2 and 3 (plus the offset 4096, masked), offsets
    // 0.25 and -0.75.
    const int b0 = (4096 + 2) & noise_mask;
    const f32 u = 0.25f * t.gradient1[t.permutation[b0]];
    const f32 v = -0.75f * t.gradient1[t.permutation[b0 + 1]];
    EXPECT_NEAR(u + SCurve(0.25f) * (v - u), Noise1(2.25f), 1e-6f);

    // (0.5, 0.5): the four corners of cell (0, 0) weighted equally.
    const int i = t.permutation[0];
    const int j = t.permutation[1];
    auto at = [&](int _b, f32 _rx, f32 _ry) { return _rx * t.gradient2[_b][0] + _ry * t.gradient2[_b][1]; };
    const f32 a = 0.5f * (at(t.permutation[i], 0.5f, 0.5f) + at(t.permutation[j], -0.5f, 0.5f));
    const f32 b = 0.5f * (at(t.permutation[i + 1], 0.5f, -0.5f) + at(t.permutation[j + 1], -0.5f, -0.5f));
    const f32 p[2] = {0.5f, 0.5f};
    EXPECT_NEAR(0.5f * (a + b), Noise2(p), 1e-6f);
}

TEST(Noise, FractalSumsScaleAsDescribed)
{
    EXPECT_NEAR(Noise1(0.3f) + Noise1(0.6f) / 2.0f + Noise1(1.2f) / 4.0f, FractalNoise1(3, 0.3f), 1e-6f);
    EXPECT_EQ(0.0f, FractalNoise1(0, 0.3f));
    const f32 p[3] = {0.1f, 0.2f, 0.3f};
    const f32 p2[3] = {0.2f, 0.4f, 0.6f};
    const f32 p8[3] = {0.8f, 1.6f, 2.4f};
    const f32 p64[3] = {6.4f, 12.8f, 19.2f};
    const f32 expected = Noise3(p) + Noise3(p2) / 2.0f + Noise3(p8) / 4.0f + Noise3(p64) / 8.0f;
    EXPECT_NEAR(expected, FractalNoise3(p, 4), 1e-5f);
    EXPECT_EQ(0.0f, FractalNoise3(p, 0));
    EXPECT_EQ(0.0f, FractalNoise3(p, -2));
}

TEST(Noise, SmoothBoundedAndSafeFarAway)
{
    f32 previous = Noise1(10.0f);
    for (int i = 1; i <= 1000; ++i) {
        const f32 value = Noise1(10.0f + static_cast<f32>(i) * 0.001f);
        EXPECT_LT(std::fabs(value - previous), 0.01f);
        EXPECT_LE(std::fabs(value), 1.0f);
        previous = value;
    }
    const f32 far[3] = {3e9f, NAN, INFINITY};
    EXPECT_EQ(0.0f, Noise3(far));
    EXPECT_EQ(0.0f, Noise1(-INFINITY));
    EXPECT_FALSE(std::isnan(Noise1(-5000.3f)));
}
