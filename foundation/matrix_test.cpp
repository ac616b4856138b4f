#include "foundation/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <type_traits>

#include "foundation/matrix_bodies.h"
#include "foundation/processor_features.h"
#include "foundation/random_numbers.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// The plain and SSE bodies group the same sums differently. Inputs of
// magnitude up to 10 make partial sums up to 400, whose float spacing is
// 3e-5; the bodies agree within a few of those steps.
constexpr float kBodyTolerance = 2e-4f;
// The inverses agree relative to the size of each element.
constexpr float kInverseTolerance = 2e-5f;

// |a - b| <= tolerance, or <= tolerance * max(1, |a|, |b|) when relative.
void ExpectClose(const float* a, const float* b, int count, float tolerance, const std::string& what,
                 bool relative = false)
{
    for (int i = 0; i < count; ++i) {
        const float scale = relative ? std::fmax(1.0f, std::fmax(std::fabs(a[i]), std::fabs(b[i]))) : 1.0f;
        EXPECT_NEAR(a[i], b[i], tolerance * scale) << what << " element " << i;
    }
}

template <typename T>
void ExpectClose(const T& a, const T& b, float tolerance, const std::string& what, bool relative = false)
{
    static_assert(sizeof(T) % sizeof(float) == 0);
    ExpectClose(reinterpret_cast<const float*>(&a), reinterpret_cast<const float*>(&b), sizeof(T) / sizeof(float),
                tolerance, what, relative);
}

template <typename T>
T RandomFilled(random_c& random)
{
    T value;
    float* f = reinterpret_cast<float*>(&value);
    for (size_t i = 0; i < sizeof(T) / sizeof(float); ++i)
        f[i] = random.Float(-10.0f, 10.0f);
    return value;
}

// A well-conditioned random 4x4: a scaled rotation and translation with a
// perspective column small enough that translation times perspective stays
// well below 1, so the determinant never comes near 0.
mat4_c RandomInvertible(random_c& random)
{
    mat3_c r;
    // Drawn one by one: the order of evaluation of arguments differs between compilers.
    const float heading = random.Float(0, 6.28f);
    const float pitch = random.Float(-1.5f, 1.5f);
    const float bank = random.Float(-3, 3);
    r.SetEuler(euler_c(heading, pitch, bank));
    mat4_c m;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            m.m[i][j] = r.m[i][j] * random.Float(0.5f, 2.0f);
        m.m[i][3] = random.Float(-0.002f, 0.002f);
        m.m[3][i] = random.Float(-50, 50);
    }
    m.m[3][3] = 1.0f;
    return m;
}

class MatrixBodies : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HasSse())
            GTEST_SKIP() << "no SSE on this processor";
    }
    const matrix_bodies_c& plain = PlainMatrixBodies();
    const matrix_bodies_c& sse = SseMatrixBodies();
    random_c random;
};

template <typename Out, typename... In>
void ExpectBodiesAgree(const std::string& what, float tolerance, bool relative, void (*plain)(Out&, const In&...),
                       void (*sse)(Out&, const In&...), const In&... in)
{
    Out p, s;
    plain(p, in...);
    sse(s, in...);
    ExpectClose(p, s, tolerance, what, relative);
}

TEST_F(MatrixBodies, PlainAndSseAgreeOnRandomInputs)
{
    random.SetSeed(42);
    for (int round = 0; round < 200; ++round) {
        const auto v3 = RandomFilled<vec3_c>(random);
        const auto v4 = RandomFilled<vec4_c>(random);
        const auto a3 = RandomFilled<mat3_c>(random), b3 = RandomFilled<mat3_c>(random);
        const auto a43 = RandomFilled<mat4x3_c>(random), b43 = RandomFilled<mat4x3_c>(random);
        const auto a4 = RandomFilled<mat4_c>(random), b4 = RandomFilled<mat4_c>(random);
        const mat4_c invertible = RandomInvertible(random);

        ExpectBodiesAgree("vec3 * mat3", kBodyTolerance, false, plain.vec3Mat3, sse.vec3Mat3, v3, a3);
        ExpectBodiesAgree("vec3 * mat4x3", kBodyTolerance, false, plain.vec3Mat4x3, sse.vec3Mat4x3, v3, a43);
        ExpectBodiesAgree("mat3 * mat3", kBodyTolerance, false, plain.mat3Mat3, sse.mat3Mat3, a3, b3);
        ExpectBodiesAgree("vec4 * mat4", kBodyTolerance, false, plain.vec4Mat4, sse.vec4Mat4, v4, a4);
        ExpectBodiesAgree("mat4x3 * mat4x3", kBodyTolerance, false, plain.mat4x3Mat4x3, sse.mat4x3Mat4x3, a43, b43);
        ExpectBodiesAgree("mat4 * mat4", kBodyTolerance, false, plain.mat4Mat4, sse.mat4Mat4, a4, b4);
        ExpectBodiesAgree("mat4 inverse", kInverseTolerance, true, plain.mat4Inverse, sse.mat4Inverse, invertible);
    }
}

// out = left * right computed three ways: into a separate result, into the
// left operand and into the right operand; all three must be identical.
template <typename Out, typename Right>
void ExpectAliasSafe(const std::string& what, void (*body)(Out&, const Out&, const Right&), const Out& left,
                     const Right& right)
{
    Out expected, inLeft = left;
    body(expected, left, right);
    body(inLeft, inLeft, right);
    ExpectClose(expected, inLeft, 0, what + " into the left operand");
    if constexpr (std::is_same_v<Out, Right>) {
        Out inRight = right;
        body(inRight, left, inRight);
        ExpectClose(expected, inRight, 0, what + " into the right operand");
    }
}

TEST_F(MatrixBodies, ResultMayBeAnOperand)
{
    random.SetSeed(7);
    for (const matrix_bodies_c* bodies : {&plain, &sse}) {
        const std::string name = bodies == &plain ? "plain " : "sse ";
        const auto v3 = RandomFilled<vec3_c>(random);
        const auto v4 = RandomFilled<vec4_c>(random);
        const auto a3 = RandomFilled<mat3_c>(random), b3 = RandomFilled<mat3_c>(random);
        const auto a43 = RandomFilled<mat4x3_c>(random), b43 = RandomFilled<mat4x3_c>(random);
        const auto a4 = RandomFilled<mat4_c>(random), b4 = RandomFilled<mat4_c>(random);

        ExpectAliasSafe(name + "vec3 * mat3", bodies->vec3Mat3, v3, a3);
        ExpectAliasSafe(name + "vec3 * mat4x3", bodies->vec3Mat4x3, v3, a43);
        ExpectAliasSafe(name + "mat3 * mat3", bodies->mat3Mat3, a3, b3);
        ExpectAliasSafe(name + "vec4 * mat4", bodies->vec4Mat4, v4, a4);
        ExpectAliasSafe(name + "mat4x3 * mat4x3", bodies->mat4x3Mat4x3, a43, b43);
        ExpectAliasSafe(name + "mat4 * mat4", bodies->mat4Mat4, a4, b4);

        const mat4_c invertible = RandomInvertible(random);
        mat4_c expectedInverse, aliasInverse = invertible;
        bodies->mat4Inverse(expectedInverse, invertible);
        bodies->mat4Inverse(aliasInverse, aliasInverse);
        ExpectClose(expectedInverse, aliasInverse, 0, name + "mat4 inverse");
    }
}

// The SSE bodies read and write exactly their own floats: neighbours of an
// unaligned, packed operand stay untouched.
TEST_F(MatrixBodies, SseBodiesStayInsideTheirOperands)
{
    struct packed_s {
        float before;
        mat4x3_c m;
        float after;
    };
    packed_s out{};
    out.before = 111.0f;
    out.after = 222.0f;
    mat4x3_c a, b;
    a.SetEuler(euler_c(0.3f, 0.2f, 0.1f));
    b.SetTranslation(vec3_c(1, 2, 3));
    sse.mat4x3Mat4x3(out.m, a, b);
    EXPECT_EQ(out.before, 111.0f);
    EXPECT_EQ(out.after, 222.0f);
    EXPECT_FLOAT_EQ(out.m.m[3][0], 1.0f);
    EXPECT_FLOAT_EQ(out.m.m[3][2], 3.0f);

    struct packed3_s {
        vec3_c v;
        float after;
    };
    packed3_s v{{1, 2, 3}, 333.0f};
    mat3_c m;
    m.SetScale(vec3_c(2, 2, 2));
    sse.vec3Mat3(v.v, v.v, m);
    EXPECT_EQ(v.after, 333.0f);
    EXPECT_FLOAT_EQ(v.v.z, 6.0f);
}

TEST_F(MatrixBodies, DispatchUsesTheSseBodies)
{
    random.SetSeed(99);
    const auto a4 = RandomFilled<mat4_c>(random), b4 = RandomFilled<mat4_c>(random);
    mat4_c expected;
    sse.mat4Mat4(expected, a4, b4);
    ExpectClose(expected, a4 * b4, 0, "distinct form");
    mat4_c inPlace = a4;
    inPlace *= b4;
    ExpectClose(expected, inPlace, 0, "in-place form");
    const mat4_c invertible = RandomInvertible(random);
    mat4_c viaDispatch;
    mat4_c::Inverse(viaDispatch, invertible);
    sse.mat4Inverse(expected, invertible);
    ExpectClose(expected, viaDispatch, 0, "inverse");
}

TEST(Matrix, PlainInverseNeedsNoNonZeroDiagonal)
{
    // A quarter turn about y puts zeros on the diagonal.
    mat4_c m{};
    m.m[0][2] = -1;
    m.m[1][1] = 1;
    m.m[2][0] = 1;
    m.m[3][0] = 5;
    m.m[3][1] = 6;
    m.m[3][2] = 7;
    m.m[3][3] = 1;
    mat4_c inverse, product, identity;
    PlainMatrixBodies().mat4Inverse(inverse, m);
    PlainMatrixBodies().mat4Mat4(product, m, inverse);
    identity.SetIdentity();
    ExpectClose(product, identity, 1e-6f, "m * m^-1");
}

TEST(Matrix, InversesGiveTheIdentity)
{
    random_c random;
    random.SetSeed(5);
    for (int round = 0; round < 50; ++round) {
        const mat4_c m = RandomInvertible(random);
        for (const matrix_bodies_c* bodies : {&PlainMatrixBodies(), HasSse() ? &SseMatrixBodies() : nullptr}) {
            if (!bodies)
                continue;
            mat4_c inverse, product, identity;
            bodies->mat4Inverse(inverse, m);
            bodies->mat4Mat4(product, m, inverse);
            identity.SetIdentity();
            ExpectClose(product, identity, 1e-4f, "m * m^-1");
        }

        mat4x3_c a;
        a.SetEuler(euler_c(random.Float(0, 6), random.Float(-1, 1), random.Float(-3, 3)));
        a.SetPosition(vec3_c(random.Float(-9, 9), random.Float(-9, 9), random.Float(-9, 9)));
        mat4x3_c inverse, identity;
        mat4x3_c::Inverse(inverse, a);
        identity.SetIdentity();
        ExpectClose(a * inverse, identity, 1e-5f, "affine");
        mat4x3_c inPlace = a;
        inPlace.SetInverse(inPlace);
        ExpectClose(inPlace, inverse, 0, "affine in place");
        mat4x3_c invert;
        mat4x3_c::Invert(invert, a);
        ExpectClose(invert, inverse, 0, "Invert");

        const mat3_c r = a.GetRotation();
        mat3_c r3inverse = r;
        mat3_c::Inverse(r3inverse, r3inverse);
        mat3_c identity3;
        identity3.SetIdentity();
        ExpectClose(r * r3inverse, identity3, 1e-5f, "mat3");
    }
}

TEST(Matrix, ZeroAnglesGiveExactIdentities)
{
    mat3_c identity;
    identity.SetIdentity();
    mat3_c m;
    m.SetEuler(euler_c(0, 0, 0));
    ExpectClose(m, identity, 0, "SetEuler");
    for (int axis = 0; axis < 3; ++axis) {
        m.SetScale(vec3_c(9, 9, 9));
        m.SetRotation(axis, 0.0f);
        ExpectClose(m, identity, 0, "SetRotation");
    }
    m.SetAxisRotation(vec3_c(1, 2, 3), 0.0f);
    ExpectClose(m, identity, 0, "SetAxisRotation");
}

TEST(Matrix, RotationOfAnotherAxisLeavesTheMatrix)
{
    mat3_c m, before;
    m.SetScale(vec3_c(2, 3, 4));
    before = m;
    m.SetRotation(5, 1.0f);
    ExpectClose(m, before, 0, "axis 5");
}

TEST(Matrix, RotationsAgreeWithVectorRotation)
{
    const vec3_c v(0.3f, -1.2f, 2.5f);
    for (int axis = 0; axis < 3; ++axis) {
        mat3_c m;
        m.SetRotation(axis, 0.8f);
        vec3_c rotated = v;
        rotated.Rotate(axis, 0.8f);
        ExpectClose(v * m, rotated, 1e-6f, "axis " + std::to_string(axis));
    }
    mat3_c axisRotation, yRotation;
    axisRotation.SetAxisRotation(vec3_c(0, 5, 0), 0.8f);
    yRotation.SetRotation(1, 0.8f);
    ExpectClose(axisRotation, yRotation, 1e-6f, "axis rotation about y");
}

TEST(Matrix, EulerMatrixMatchesRotateByEuler)
{
    const euler_c angles(2.1f, -0.6f, 0.9f);
    mat3_c m;
    m.SetEuler(angles);
    const vec3_c forward(angles);
    ExpectClose(vec3_c(m.m[2][0], m.m[2][1], m.m[2][2]), forward, 1e-6f, "row 2");
    const vec3_c v(1.5f, -2.0f, 0.25f);
    vec3_c rotated = v;
    rotated.RotateByEuler(angles);
    ExpectClose(v * m, rotated, 1e-5f, "any vector");
}

TEST(Matrix, BuildersAndTransforms)
{
    mat3_c t;
    t.SetTranslation(vec3_c(0.5f, 0.25f, 1));
    ExpectClose(vec3_c(2, 3, 1) * t, vec3_c(2.5f, 3.25f, 1), 0, "2D translation");

    mat4x3_c move, scale;
    move.SetTranslation(vec3_c(1, 2, 3));
    scale.SetScale(vec3_c(2, 2, 2));
    // Apply the left operand first: scale, then move.
    ExpectClose(vec3_c(1, 1, 1) * (scale * move), vec3_c(3, 4, 5), 0, "scale then move");
    ExpectClose(vec3_c(1, 1, 1) * (move * scale), vec3_c(4, 6, 8), 0, "move then scale");
    mat4x3_c combined = scale;
    combined *= move;
    ExpectClose(combined, scale * move, 0, "operator*=");
    vec3_c point(1, 1, 1);
    point *= combined;
    ExpectClose(point, vec3_c(3, 4, 5), 0, "point in place");

    mat3_c r;
    r.SetRotation(2, 0.4f);
    const mat4x3_c fromR(r);
    ExpectClose(fromR.GetRotation(), r, 0, "rotation part");
    ExpectClose(fromR.GetPosition(), vec3_c(), 0, "zero translation");

    mat3_c transposed;
    transposed.SetTranspose(r);
    r.Transpose();
    ExpectClose(r, transposed, 0, "Transpose");
    EXPECT_EQ(r.m[0][1], -std::sin(0.4f));

    vec4_c v(1, 2, 3, 1);
    mat4_c m;
    m.SetIdentity();
    m.m[3][0] = 10;
    v *= m;
    ExpectClose(v, vec4_c(11, 2, 3, 1), 0, "vec4 in place");
}

TEST(Matrix, IsEqual)
{
    mat4x3_c a;
    a.SetEuler(euler_c(0.1f, 0.2f, 0.3f));
    EXPECT_TRUE(a.IsEqual(a));
    mat4x3_c b = a;
    b.m[2][1] += 1e-6f;
    EXPECT_FALSE(a.IsEqual(b));
    b = a;
    b.m[3][2] = NAN;
    EXPECT_FALSE(a.IsEqual(b));
}

TEST(Matrix, QuarterTurnsOfTheAxes)
{
    mat3_c m;
    m.SetRotation(1, kPi / 2);
    ExpectClose(vec3_c(0, 0, 1) * m, vec3_c(1, 0, 0), 1e-6f, "heading quarter turn");
}

} // namespace
