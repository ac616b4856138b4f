#include "engine/null_object.h"

#include "engine/envelope.h"
#include "foundation/command.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

constexpr float half_pi = std::numbers::pi_v<float> / 2.0f;

void ExpectNear(const vec3_c& actual, const vec3_c& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

envelope_c Ramp(float from, float to, float duration)
{
    envelope_c envelope;
    envelope.keys.resize(2);
    envelope.keys[0].value = from;
    envelope.keys[1].value = to;
    envelope.keys[1].time = duration;
    envelope.keys[0].shape = envelope.keys[1].shape = shape_linear;
    return envelope;
}

} // namespace

TEST(EntityTest, ScaleThenTranslate)
{
    null_object_c object("a");
    object.position = vec3_c(1, 2, 3);
    object.scale = vec3_c(2, 2, 2);
    object.UpdateTransform(nullptr);
    ExpectNear(vec3_c(1, 0, 0) * object.GetMatrix(), vec3_c(3, 2, 3));
    EXPECT_TRUE(object.IsUniformScale());
    ExpectNear(vec3_c(3, 2, 3) * object.GetInverseMatrix(), vec3_c(1, 0, 0));
}

TEST(EntityTest, ChildHangsBelowTurnedParent)
{
    // Heading pi/2 turns +x into -z: child origin (1, 0, 0) lands at
    // (0, 0, -1) + (10, 0, 0).
    null_object_c parent("parent");
    parent.position = vec3_c(10, 0, 0);
    parent.rotation = vec3_c(half_pi, 0, 0);
    null_object_c child("child");
    child.position = vec3_c(1, 0, 0);
    child.parent = &parent;
    parent.UpdateTransform(nullptr);
    child.UpdateTransform(nullptr);
    ExpectNear(child.GetMatrix().GetPosition(), vec3_c(10, 0, -1));
    // A point one unit along the child's z goes along the parent's x.
    ExpectNear(vec3_c(0, 0, 1) * child.GetMatrix(), vec3_c(11, 0, -1));
}

TEST(EntityTest, ArgumentParentStandsInForMissingLink)
{
    null_object_c holder("holder");
    holder.position = vec3_c(0, 5, 0);
    holder.UpdateTransform(nullptr);
    null_object_c item("item");
    item.position = vec3_c(1, 0, 0);
    item.UpdateTransform(&holder);
    ExpectNear(item.GetMatrix().GetPosition(), vec3_c(1, 5, 0));
}

TEST(EntityTest, PivotIsTakenOffBeforeScaleAndRotation)
{
    null_object_c object("pivoted");
    object.SetPivot(vec3_c(1, 0, 0));
    object.rotation = vec3_c(half_pi, 0, 0);
    object.position = vec3_c(5, 0, 0);
    object.UpdateTransform(nullptr);
    // The pivot itself stays at the position; (2, 0, 0) is one unit along x
    // from it and turns to -z.
    ExpectNear(vec3_c(1, 0, 0) * object.GetMatrix(), vec3_c(5, 0, 0));
    ExpectNear(vec3_c(2, 0, 0) * object.GetMatrix(), vec3_c(5, 0, -1));
}

TEST(EntityTest, PivotRotationTurnsAfterRotation)
{
    null_object_c object("turned");
    object.SetPivotRotation(vec3_c(half_pi, 0, 0));
    object.UpdateTransform(nullptr);
    ExpectNear(vec3_c(1, 0, 0) * object.GetMatrix(), vec3_c(0, 0, -1));
}

TEST(EntityTest, SetPivotOfZeroKeepsFlagClear)
{
    null_object_c object("a");
    object.SetPivot(vec3_c(0, 0, 0));
    EXPECT_FALSE(object.hasPivot);
    object.SetPivot(vec3_c(0, 0, 2));
    EXPECT_TRUE(object.hasPivot);
}

TEST(EntityTest, AnimatedPositionFollowsLocalTime)
{
    null_object_c object("moving");
    object.AddEnvelope(Ramp(0, 10, 10), &object.position.x);
    object.timeOffset = 2;
    EXPECT_FLOAT_EQ(object.Animate(7), 5);
    object.UpdateTransform(nullptr);
    ExpectNear(object.GetMatrix().GetPosition(), vec3_c(5, 0, 0));
    object.ResetAnimation();
    EXPECT_FLOAT_EQ(object.position.x, 0);
}

TEST(EntityTest, ChannelIndicesNameTheirMembers)
{
    null_object_c object("a");
    EXPECT_EQ(object.GetEnvelopeTarget(3), &object.position.x);
    EXPECT_EQ(object.GetEnvelopeTarget(8), &object.rotation.z);
    EXPECT_EQ(object.GetEnvelopeTarget(11), &object.scale.z);
    EXPECT_EQ(object.GetEnvelopeTarget(24), &object.dissolve);
    EXPECT_EQ(object.GetEnvelopeTarget(12), nullptr);
    EXPECT_EQ(object.GetEnvelopeTarget(2), nullptr);
}

TEST(EntityTest, UnequalScaleIsNotUniformForChildrenEither)
{
    null_object_c parent("parent");
    parent.scale = vec3_c(1, 2, 1);
    null_object_c child("child");
    child.parent = &parent;
    parent.UpdateTransform(nullptr);
    child.UpdateTransform(nullptr);
    EXPECT_FALSE(parent.IsUniformScale());
    EXPECT_FALSE(child.IsUniformScale());
}

TEST(EntityTest, StaticChildKeepsMatricesBelowStaticParentOnly)
{
    null_object_c parent("parent");
    parent.isStatic = true;
    parent.UpdateTransform(nullptr);
    null_object_c child("child");
    child.isStatic = true;
    child.parent = &parent;
    child.position = vec3_c(1, 0, 0);
    child.UpdateTransform(nullptr);
    // A static entity is still placed once.
    ExpectNear(child.GetMatrix().GetPosition(), vec3_c(1, 0, 0));
    child.position = vec3_c(2, 0, 0);
    child.UpdateTransform(nullptr);
    ExpectNear(child.GetMatrix().GetPosition(), vec3_c(1, 0, 0));
    parent.isStatic = false;
    child.UpdateTransform(nullptr);
    ExpectNear(child.GetMatrix().GetPosition(), vec3_c(2, 0, 0));
}

TEST(EntityTest, StaticRootGetsItsFirstMatrix)
{
    null_object_c root("root");
    root.isStatic = true;
    root.position = vec3_c(0, 0, 7);
    root.UpdateTransform(nullptr);
    ExpectNear(root.GetMatrix().GetPosition(), vec3_c(0, 0, 7));
}

TEST(EntityTest, KeywordsSetAndClearFlags)
{
    null_object_c object("a");
    object.SetFlags(object_depth_test);
    EXPECT_TRUE(object.SetParameter(command_c("depthtest 0")));
    EXPECT_FALSE(object.HasFlags(object_depth_test));
    EXPECT_TRUE(object.SetParameter(command_c("ShadowCasting 1")));
    EXPECT_TRUE(object.HasFlags(object_shadow_casting));
    const u32 before = object.GetFlags();
    EXPECT_FALSE(object.SetParameter(command_c("Wobble 1")));
    EXPECT_FALSE(object.SetParameter(command_c("")));
    EXPECT_EQ(object.GetFlags(), before);
    EXPECT_THROW(object.SetParameter(command_c("DepthTest")), command_error_c);
}

TEST(EntityTest, CopyHasNoLinks)
{
    null_object_c parent("parent");
    null_object_c object("a");
    object.parent = &parent;
    object.target = &parent;
    object.dissolve = 0.5f;
    object.SetVisibility(true, false);
    std::unique_ptr<null_object_c> copy(object.Clone());
    EXPECT_EQ(copy->parent, nullptr);
    EXPECT_EQ(copy->target, nullptr);
    EXPECT_EQ(copy->GetName(), "a");
    EXPECT_EQ(copy->dissolve, 0.5f);
    EXPECT_EQ(copy->GetFlags(), object_rendered);
}
