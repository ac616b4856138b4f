#include "foundation/vector_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectNear(const vec3_c& actual, const vec3_c& expected, float tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(VectorMath, ForwardDirectionOfAngles)
{
    struct row_s {
        euler_c angles;
        vec3_c direction;
    };
    const row_s rows[] = {
        {{0, 0, 0}, {0, 0, 1}},    {{kPi / 2, 0, 0}, {1, 0, 0}}, {{0, kPi / 2, 0}, {0, -1, 0}},
        {{kPi, 0, 0}, {0, 0, -1}}, {{0, 0, 1.0f}, {0, 0, 1}}, // bank is ignored
    };
    for (const row_s& row : rows)
        ExpectNear(vec3_c(row.angles), row.direction, 1e-6f);
    const vec3_c straight(euler_c(0, 0, 0));
    EXPECT_EQ(straight.x, 0.0f);
    EXPECT_EQ(straight.y, 0.0f);
    EXPECT_EQ(straight.z, 1.0f);
}

TEST(VectorMath, DirectionToEulerTable)
{
    struct row_s {
        vec3_c direction;
        float heading, pitch;
    };
    const row_s rows[] = {
        {{0, 0, 1}, 0, 0},      {{-1, 0, 0}, 3 * kPi / 2, 0}, {{1, 0, 0}, kPi / 2, 0},
        {{0, 0, -2}, kPi, 0},   {{0, 5, 0}, 0, -kPi / 2},     {{0, -5, 0}, 0, kPi / 2},
        {{0, 0, 0}, 0, 0},      {{1e-8f, 0, 0}, 0, 0}, // shorter than epsilon
        {{-1e-7f, 0, 1}, 0, 0},                        // just left of straight ahead: not 2 pi
    };
    for (const row_s& row : rows) {
        float heading = -1, pitch = -1;
        DirectionToEuler(row.direction, heading, pitch);
        EXPECT_NEAR(heading, row.heading, 1e-6f) << row.direction.x << " " << row.direction.y;
        EXPECT_NEAR(pitch, row.pitch, 1e-6f) << row.direction.x << " " << row.direction.y;
        EXPECT_GE(heading, 0.0f);
        EXPECT_LT(heading, static_cast<float>(kTwoPi));
    }
}

TEST(VectorMath, DirectionToEulerRoundTrip)
{
    for (float h = 0.05f; h < 6.2f; h += 0.37f) {
        for (float p = -1.5f; p < 1.5f; p += 0.29f) {
            const euler_c angles(vec3_c(euler_c(h, p, 0)), 0.25f);
            EXPECT_NEAR(angles.heading, h, 2e-4f);
            EXPECT_NEAR(angles.pitch, p, 2e-4f);
            EXPECT_EQ(angles.bank, 0.25f);
        }
    }
}

TEST(VectorMath, NormalizeKeepsZeroAndScalesToUnit)
{
    vec3_c v;
    v.Normalize(vec3_c(0, 0, 0));
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_EQ(v.z, 0.0f);

    v.Normalize(vec3_c(3, 0, 4));
    ExpectNear(v, vec3_c(0.6f, 0, 0.8f), 1e-6f);

    vec3_c w(0, -7, 0);
    w.NormalizeSelf();
    ExpectNear(w, vec3_c(0, -1, 0), 1e-6f);
}

TEST(VectorMath, FastInvSqrt)
{
    EXPECT_TRUE(std::isinf(FastInvSqrt(0.0f)));
    EXPECT_GT(FastInvSqrt(0.0f), 0.0f);
    for (float x : {1e-6f, 0.01f, 0.5f, 1.0f, 2.0f, 25.0f, 12345.0f, 1e12f})
        EXPECT_NEAR(FastInvSqrt(x) * std::sqrt(x), 1.0f, 1e-6f) << x;
}

TEST(VectorMath, SinCosOfZeroIsExact)
{
    float s = 5, c = 5;
    SinCos(0.0f, s, c);
    EXPECT_EQ(s, 0.0f);
    EXPECT_EQ(c, 1.0f);
    SinCos(kPi / 6, s, c);
    EXPECT_NEAR(s, 0.5f, 1e-6f);
    EXPECT_NEAR(c, std::sqrt(3.0f) / 2, 1e-6f);
}

TEST(VectorMath, RotateAboutEachAxis)
{
    struct row_s {
        int axis;
        vec3_c before, after;
    };
    const row_s rows[] = {
        {0, {0, 1, 0}, {0, 0, 1}},
        {1, {0, 0, 1}, {1, 0, 0}},
        {2, {1, 0, 0}, {0, 1, 0}},
        {3, {1, 2, 3}, {1, 2, 3}}, // not an axis: unchanged
    };
    for (const row_s& row : rows) {
        vec3_c v = row.before;
        v.Rotate(row.axis, kPi / 2);
        ExpectNear(v, row.after, 1e-6f);
    }
}

TEST(VectorMath, RotateByEulerMatchesForwardDirection)
{
    const euler_c angles(0.7f, -0.4f, 1.1f);
    vec3_c v(0, 0, 1);
    v.RotateByEuler(angles);
    ExpectNear(v, vec3_c(angles), 1e-6f);
}

TEST(VectorMath, ArithmeticAndComparison)
{
    const vec3_c a(1, 2, 3), b(4, 5, 6);
    ExpectNear(a + b, vec3_c(5, 7, 9), 0);
    ExpectNear(b - a, vec3_c(3, 3, 3), 0);
    ExpectNear(-a, vec3_c(-1, -2, -3), 0);
    ExpectNear(a * 2, vec3_c(2, 4, 6), 0);
    ExpectNear(b / 2, vec3_c(2, 2.5f, 3), 1e-7f);
    vec3_c c = a;
    c += b;
    ExpectNear(c, vec3_c(5, 7, 9), 0);
    EXPECT_FLOAT_EQ(vec3_c(2, 3, 6).Length(), 7.0f);
    EXPECT_FLOAT_EQ(Dot(a, b), 32.0f);

    vec3_c cross;
    cross.Cross(vec3_c(1, 0, 0), vec3_c(0, 1, 0));
    ExpectNear(cross, vec3_c(0, 0, 1), 0);
    vec3_c self(1, 0, 0);
    self.Cross(self, vec3_c(0, 1, 0)); // operand is the result
    ExpectNear(self, vec3_c(0, 0, 1), 0);

    EXPECT_FALSE(a != vec3_c(1 + 1e-8f, 2, 3));
    EXPECT_TRUE(a != vec3_c(1, 2, 3 + 1e-5f));
}

} // namespace
