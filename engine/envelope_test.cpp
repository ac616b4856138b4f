#include "engine/envelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <ostream>

namespace {

envelope_key_c Key(f32 time, f32 value, envelope_shape_e shape = shape_linear)
{
    envelope_key_c key;
    key.time = time;
    key.value = value;
    key.shape = shape;
    return key;
}

envelope_c Envelope(std::initializer_list<envelope_key_c> keys, envelope_behaviour_e pre = behaviour_constant,
                    envelope_behaviour_e post = behaviour_constant)
{
    envelope_c envelope;
    envelope.keys = keys;
    envelope.pre = pre;
    envelope.post = post;
    return envelope;
}

// Keys at 0 s (value 0) and 2 s (value 10), linear.
envelope_c Ramp(envelope_behaviour_e pre, envelope_behaviour_e post)
{
    return Envelope({Key(0, 0), Key(2, 10)}, pre, post);
}

} // namespace

TEST(EnvelopeTest, NoKeysGiveZeroAndOneKeyGivesItsValueEverywhere)
{
    envelope_c empty;
    EXPECT_EQ(empty.Evaluate(-3.0f), 0.0f);
    EXPECT_EQ(empty.Evaluate(7.0f), 0.0f);
    const envelope_c single = Envelope({Key(1, 4.5f)}, behaviour_reset, behaviour_reset);
    for (f32 t : {-10.0f, 1.0f, 99.0f})
        EXPECT_EQ(single.Evaluate(t), 4.5f);
}

TEST(EnvelopeTest, DefaultsAreConstantBehaviours)
{
    envelope_c envelope(17);
    EXPECT_EQ(envelope.target, 17u);
    EXPECT_EQ(envelope.pre, behaviour_constant);
    EXPECT_EQ(envelope.post, behaviour_constant);
}

TEST(EnvelopeTest, TimeOnTheEndKeysUsesTheKeyNotTheBehaviour)
{
    const envelope_c envelope = Ramp(behaviour_reset, behaviour_reset);
    EXPECT_EQ(envelope.Evaluate(0.0f), 0.0f);
    EXPECT_EQ(envelope.Evaluate(2.0f), 10.0f);
    EXPECT_EQ(envelope.Evaluate(-0.001f), 0.0f);
    EXPECT_EQ(envelope.Evaluate(2.001f), 0.0f);
}

struct behaviour_case_t {
    envelope_behaviour_e pre;
    envelope_behaviour_e post;
    f32 time;
    f32 expected;
};

void PrintTo(const behaviour_case_t& c, std::ostream* out)
{
    *out << "pre " << c.pre << " post " << c.post << " at " << c.time;
}

class EnvelopeBehaviourTest : public testing::TestWithParam<behaviour_case_t> {};

TEST_P(EnvelopeBehaviourTest, OutsideTheKeys)
{
    const behaviour_case_t c = GetParam();
    EXPECT_NEAR(Ramp(c.pre, c.post).Evaluate(c.time), c.expected, 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(Ramp, EnvelopeBehaviourTest,
                         testing::Values(
                             // reset and constant
                             behaviour_case_t{behaviour_reset, behaviour_constant, -1.0f, 0.0f},
                             behaviour_case_t{behaviour_constant, behaviour_constant, -1.0f, 0.0f},
                             behaviour_case_t{behaviour_constant, behaviour_constant, 5.0f, 10.0f},
                             behaviour_case_t{behaviour_constant, behaviour_reset, 5.0f, 0.0f},
                             // offset before the first key: cycle -1 shifts by -(10 - 0)
                             behaviour_case_t{behaviour_offset, behaviour_constant, -1.0f, -5.0f},
                             behaviour_case_t{behaviour_constant, behaviour_offset, 3.0f, 15.0f},
                             behaviour_case_t{behaviour_constant, behaviour_offset, 5.0f, 25.0f},
                             // repeat
                             behaviour_case_t{behaviour_constant, behaviour_repeat, 3.0f, 5.0f},
                             behaviour_case_t{behaviour_repeat, behaviour_constant, -0.5f, 7.5f},
                             // oscillate: cycle 1 reflects the time
                             behaviour_case_t{behaviour_constant, behaviour_oscillate, 3.0f, 5.0f},
                             behaviour_case_t{behaviour_constant, behaviour_oscillate, 2.5f, 7.5f},
                             behaviour_case_t{behaviour_constant, behaviour_oscillate, 4.5f, 2.5f},
                             behaviour_case_t{behaviour_oscillate, behaviour_constant, -0.5f, 2.5f},
                             // linear continuation along the end slopes
                             behaviour_case_t{behaviour_linear, behaviour_constant, -1.0f, -5.0f},
                             behaviour_case_t{behaviour_constant, behaviour_linear, 3.0f, 15.0f}));

TEST(EnvelopeTest, OscillationStaysWithinTheKeySpan)
{
    // Keys at 1 s and 3 s: 4.5 s is cycle 1, wrapped 2.5 s, reflected 1.5 s.
    const envelope_c envelope = Envelope({Key(1, 0), Key(3, 10)}, behaviour_constant, behaviour_oscillate);
    EXPECT_NEAR(envelope.Evaluate(4.5f), 2.5f, 1e-5f);
    EXPECT_NEAR(envelope.Evaluate(5.5f), 2.5f, 1e-5f);
    EXPECT_NEAR(envelope.Evaluate(6.5f), 7.5f, 1e-5f);
}

TEST(EnvelopeTest, ZeroSpanWithRepeatingBehaviourGivesTheFirstValue)
{
    const envelope_c envelope = Envelope({Key(1, 4), Key(1, 9)}, behaviour_repeat, behaviour_offset);
    EXPECT_EQ(envelope.Evaluate(-5.0f), 4.0f);
    EXPECT_EQ(envelope.Evaluate(6.0f), 4.0f);
}

TEST(EnvelopeTest, ZeroSpanWithLinearBehaviourDoesNotDivideByZero)
{
    const envelope_c envelope = Envelope({Key(1, 4), Key(1, 9)}, behaviour_linear, behaviour_linear);
    EXPECT_EQ(envelope.Evaluate(0.0f), 4.0f);
    EXPECT_EQ(envelope.Evaluate(2.0f), 9.0f);
}

TEST(EnvelopeTest, LinearAndSteppedIntervals)
{
    const envelope_c linear = Envelope({Key(0, 1), Key(1, 5), Key(3, -1)});
    EXPECT_NEAR(linear.Evaluate(0.25f), 2.0f, 1e-6f);
    EXPECT_NEAR(linear.Evaluate(2.0f), 2.0f, 1e-6f);
    EXPECT_EQ(linear.Evaluate(1.0f), 5.0f);

    const envelope_c stepped = Envelope({Key(0, 1), Key(1, 5, shape_stepped), Key(2, 7, shape_stepped)});
    EXPECT_EQ(stepped.Evaluate(0.99f), 1.0f);
    EXPECT_EQ(stepped.Evaluate(1.5f), 5.0f);
}

TEST(EnvelopeTest, UnknownShapeGivesOnlyTheOffset)
{
    envelope_c envelope = Envelope({Key(0, 3), Key(1, 5, static_cast<envelope_shape_e>(9))});
    EXPECT_EQ(envelope.Evaluate(0.5f), 0.0f);
    envelope.post = behaviour_offset;
    // 1.5 s is cycle 1 with offset 2; the interval itself contributes nothing.
    EXPECT_NEAR(envelope.Evaluate(1.5f), 2.0f, 1e-6f);
}

TEST(EnvelopeTest, TcbWithoutNeighboursFollowsTheChord)
{
    // Both tangents equal the chord, so the Hermite curve is the straight line.
    const envelope_c envelope = Envelope({Key(0, 0, shape_tcb), Key(1, 1, shape_tcb)});
    EXPECT_NEAR(envelope.Evaluate(0.25f), 0.25f, 1e-6f);
    EXPECT_NEAR(envelope.Evaluate(0.5f), 0.5f, 1e-6f);
}

TEST(EnvelopeTest, TcbUsesTheKeyAfterTheInterval)
{
    // Incoming tangent at key 1: ratio 0.5 x ((0 - 1) + 1) = 0; outgoing at key 0: 1.
    // At t = 0.5: h2 = 0.5, h3 = 0.125.
    const envelope_c envelope = Envelope({Key(0, 0, shape_tcb), Key(1, 1, shape_tcb), Key(2, 0, shape_tcb)});
    EXPECT_NEAR(envelope.Evaluate(0.5f), 0.625f, 1e-6f);
    // Second interval mirrored: out at key 1 is 0, in at key 2 is -1.
    // At t = 0.5: h1 = 0.5, h4 = -0.125 -> 0.5 + 0.125.
    EXPECT_NEAR(envelope.Evaluate(1.5f), 0.625f, 1e-6f);
}

TEST(EnvelopeTest, FullTensionFlattensTheTangents)
{
    envelope_key_c a = Key(0, 0, shape_tcb);
    envelope_key_c b = Key(1, 1, shape_tcb);
    a.tension = 1.0f;
    b.tension = 1.0f;
    const envelope_c envelope = Envelope({a, b});
    EXPECT_NEAR(envelope.Evaluate(0.25f), 3 * 0.0625f - 2 * 0.015625f, 1e-6f);
}

TEST(EnvelopeTest, ContinuityAndBiasWeightTheNeighbours)
{
    // Outgoing at key 1 with p = key 0: ratio = 1/2, A = (1+c)(1+b), B = (1-c)(1-b).
    envelope_key_c k0 = Key(0, 0, shape_tcb);
    envelope_key_c k1 = Key(1, 2, shape_tcb);
    envelope_key_c k2 = Key(2, 2, shape_tcb);
    k1.continuity = 0.5f;
    k1.bias = -0.5f;
    const envelope_c envelope = Envelope({k0, k1, k2});
    const f32 out = 0.5f * ((1.5f * 0.5f) * 2.0f + (0.5f * 1.5f) * 0.0f);
    const f32 in = 0.0f; // key 2 without a next key: A x d with d = 0
    const f32 t = 0.5f;
    const f32 h2 = 3 * t * t - 2 * t * t * t, h1 = 1 - h2, h3 = t * t * t - 2 * t * t + t, h4 = t * t * t - t * t;
    EXPECT_NEAR(envelope.Evaluate(1.5f), h1 * 2 + h2 * 2 + h3 * out + h4 * in, 1e-6f);
}

TEST(EnvelopeTest, HermiteTangentsComeFromTheParameters)
{
    envelope_key_c a = Key(0, 0, shape_hermite);
    envelope_key_c b = Key(1, 0, shape_hermite);
    a.param1 = 2.0f; // outgoing
    b.param0 = 0.0f; // incoming
    EXPECT_NEAR(Envelope({a, b}).Evaluate(0.5f), 0.125f * 2.0f, 1e-6f);
}

TEST(EnvelopeTest, BezierHandlesShapeTheCurve)
{
    // Handles at a third of the interval, flat: x(s) = s, y(s) = 3s^2 - 2s^3.
    envelope_key_c a = Key(0, 0, shape_bezier);
    envelope_key_c b = Key(1, 1, shape_bezier);
    a.param2 = 1.0f / 3.0f;
    a.param3 = 0.0f;
    b.param0 = -1.0f / 3.0f;
    b.param1 = 0.0f;
    const envelope_c envelope = Envelope({a, b});
    EXPECT_NEAR(envelope.Evaluate(0.5f), 0.5f, 1e-3f);
    EXPECT_NEAR(envelope.Evaluate(0.25f), 3 * 0.0625f - 2 * 0.015625f, 1e-3f);
}

TEST(EnvelopeTest, BezierOutgoingHandleWithZeroTimeOffsetDoesNotDivide)
{
    // Outgoing tangent: interval 1 x value offset 2e-5 x 100000 = 2.
    envelope_key_c a = Key(0, 0, shape_bezier);
    a.param2 = 0.0f;
    a.param3 = 2e-5f;
    const envelope_c envelope = Envelope({a, Key(1, 0)}, behaviour_linear, behaviour_constant);
    EXPECT_NEAR(envelope.Evaluate(-1.0f), -2.0f, 1e-4f);
}

TEST(EnvelopeTest, BezierBisectionEndsOnUnreachableTolerance)
{
    // At a million seconds one float step exceeds the 0.0001 tolerance.
    envelope_key_c a = Key(0, 0, shape_bezier);
    envelope_key_c b = Key(1.0e6f, 1, shape_bezier);
    const f32 value = Envelope({a, b}).Evaluate(123456.7f);
    EXPECT_TRUE(std::isfinite(value));
    EXPECT_GE(value, 0.0f);
    EXPECT_LE(value, 1.0f);
}

TEST(EnvelopeTest, DamagedBehaviourValuesStayWithinTheKeys)
{
    const envelope_c envelope = Ramp(static_cast<envelope_behaviour_e>(9), static_cast<envelope_behaviour_e>(200));
    // Before the first key the first interval is evaluated at the time.
    EXPECT_NEAR(envelope.Evaluate(-1.0f), -5.0f, 1e-5f);
    EXPECT_EQ(envelope.Evaluate(50.0f), 10.0f);
}

TEST(EnvelopeTest, NonFiniteTimesDoNotCrash)
{
    const envelope_c envelope = Ramp(behaviour_repeat, behaviour_oscillate);
    envelope.Evaluate(INFINITY);
    envelope.Evaluate(-INFINITY);
    envelope.Evaluate(NAN);
    SUCCEED();
}
