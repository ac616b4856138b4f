#include "game/objects/prediction_value.h"

#include <gtest/gtest.h>

namespace {

TEST(PredictionValueTest, NoSampleGivesNoValue)
{
    const prediction_value_c<vec3_c> predictor;
    EXPECT_FALSE(predictor.Predict(1.0f, -1.0f).has_value());
}

TEST(PredictionValueTest, OneSampleStandsStillAtAnyTime)
{
    prediction_value_c<vec3_c> predictor;
    predictor.Push(2.0f, vec3_c(1.0f, 2.0f, 3.0f));
    for (float t : {0.0f, 2.0f, 7.5f}) {
        const std::optional<vec3_c> value = predictor.Predict(t, -1.0f);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, vec3_c(1.0f, 2.0f, 3.0f));
    }
}

// Between the samples it interpolates, past the newer one it goes on with
// the same velocity.
TEST(PredictionValueTest, TwoSamplesInterpolateAndExtrapolate)
{
    prediction_value_c<vec3_c> predictor;
    predictor.Push(1.0f, vec3_c(0.0f, 100.0f, 0.0f));
    predictor.Push(2.0f, vec3_c(10.0f, 100.0f, -4.0f));
    const struct {
        float time;
        vec3_c expected;
    } cases[] = {
        {1.0f, vec3_c(0.0f, 100.0f, 0.0f)},   {1.5f, vec3_c(5.0f, 100.0f, -2.0f)},
        {2.0f, vec3_c(10.0f, 100.0f, -4.0f)}, {3.5f, vec3_c(25.0f, 100.0f, -10.0f)},
        {0.0f, vec3_c(-10.0f, 100.0f, 4.0f)},
    };
    for (const auto& c : cases) {
        const std::optional<vec3_c> value = predictor.Predict(c.time, -1.0f);
        ASSERT_TRUE(value.has_value()) << c.time;
        EXPECT_NEAR(value->x, c.expected.x, 1e-4f) << c.time;
        EXPECT_NEAR(value->y, c.expected.y, 1e-4f) << c.time;
        EXPECT_NEAR(value->z, c.expected.z, 1e-4f) << c.time;
    }
}

TEST(PredictionValueTest, ThirdSampleDropsTheOldest)
{
    prediction_value_c<vec3_c> predictor;
    predictor.Push(1.0f, vec3_c(0.0f, 0.0f, 0.0f));
    predictor.Push(2.0f, vec3_c(1.0f, 0.0f, 0.0f));
    predictor.Push(3.0f, vec3_c(5.0f, 0.0f, 0.0f));
    EXPECT_EQ(predictor.GetCount(), 2);
    EXPECT_FLOAT_EQ(predictor.GetTime(0), 2.0f);
    EXPECT_NEAR(predictor.Predict(4.0f, -1.0f)->x, 9.0f, 1e-4f);
}

TEST(PredictionValueTest, TwoSamplesOfOneTimeGiveNoValue)
{
    prediction_value_c<vec3_c> predictor;
    predictor.Push(1.0f, vec3_c(0.0f, 0.0f, 0.0f));
    predictor.Push(1.0f, vec3_c(1.0f, 0.0f, 0.0f));
    EXPECT_FALSE(predictor.Predict(1.5f, -1.0f).has_value());
}

// A straight line walked in steps stays the same straight line.
TEST(PredictionValueTest, SteppedExtrapolationOfALineIsTheLine)
{
    prediction_value_c<vec3_c> predictor;
    predictor.Push(0.0f, vec3_c(0.0f, 0.0f, 0.0f));
    predictor.Push(1.0f, vec3_c(2.0f, 0.0f, 0.0f));
    EXPECT_NEAR(predictor.Predict(4.0f, 0.5f)->x, 8.0f, 1e-3f);
    EXPECT_NEAR(predictor.Predict(1.2f, 0.5f)->x, 2.4f, 1e-4f);
}

struct angle_case_c {
    float from;
    float to;
    float t;
    float expected;
};

// Heading 3.1 to -3.1 turns 0.083 rad through pi, not 6.2 rad back; a
// difference of exactly 3.14 or less is taken directly.
TEST(PredictionValueEulerTest, AnglesTakeTheShortWayRound)
{
    // 3.1 - 2 pi + 0.0831853 t, and the mirror of it.
    const angle_case_c cases[] = {
        {3.1f, -3.1f, 1.0f, -3.1f},      {3.1f, -3.1f, 0.5f, -3.1415927f}, {3.1f, -3.1f, 2.0f, -3.0168147f},
        {-3.1f, 3.1f, 0.5f, 3.1415927f}, {0.0f, 3.14f, 0.5f, 1.57f},       {0.0f, -3.14f, 0.5f, -1.57f},
        {0.5f, 1.5f, 0.25f, 0.75f},
    };
    for (const angle_case_c& c : cases) {
        prediction_value_euler_c predictor;
        predictor.Push(0.0f, vec3_c(c.from, 0.0f, 0.0f));
        predictor.Push(1.0f, vec3_c(c.to, 0.0f, 0.0f));
        const std::optional<vec3_c> value = predictor.Predict(c.t, -1.0f);
        ASSERT_TRUE(value.has_value());
        EXPECT_NEAR(value->x, c.expected, 1e-4f) << c.from << " to " << c.to << " at " << c.t;
    }
}

TEST(PredictionValueEulerTest, EachAngleWrapsOnItsOwn)
{
    prediction_value_euler_c predictor;
    predictor.Push(0.0f, vec3_c(0.1f, 3.1f, -3.0f));
    predictor.Push(1.0f, vec3_c(0.2f, -3.1f, 3.0f));
    const vec3_c value = *predictor.Predict(0.5f, -1.0f);
    EXPECT_NEAR(value.x, 0.15f, 1e-5f);
    EXPECT_NEAR(value.y, -3.1415927f, 1e-4f);
    EXPECT_NEAR(value.z, 3.1415927f, 1e-4f);
}

TEST(PredictionValueEulerTest, CloneKeepsTheShortWay)
{
    prediction_value_euler_c predictor;
    predictor.Push(0.0f, vec3_c(3.1f, 0.0f, 0.0f));
    predictor.Push(1.0f, vec3_c(-3.1f, 0.0f, 0.0f));
    const std::unique_ptr<prediction_value_c<vec3_c>> copy = predictor.Clone();
    EXPECT_NEAR(copy->Predict(0.5f, -1.0f)->x, -3.1415927f, 1e-4f);
}

} // namespace
