#include "game/objects/game_object.h"

#include "engine/null_object.h"
#include "level/parameter_list.h"
#include "level/testing/level_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

class plain_object_c : public game_object_c {
public:
    int GetType() const override { return object_car; }
    void Update(float) override {}
    void OnMissionStart(float) override {}
};

} // namespace

TEST(GameObject, WithoutAnEntityEverythingReadsZero)
{
    plain_object_c object;
    EXPECT_EQ(0.0f, object.GetPosition().x);
    EXPECT_EQ(0.0f, object.GetRotation().y);
    const aabb_c box = object.GetBounds();
    EXPECT_EQ(0.0f, box.min.x);
    EXPECT_EQ(0.0f, box.max.z);
    float distance = 1.0f;
    vec3_c normal;
    EXPECT_FALSE(object.IntersectRay(distance, normal, ray_c(vec3_c(), vec3_c(0, 0, 1)), true, true, 100.0f));
    EXPECT_FALSE(object.IntersectRayExact(distance, normal, ray_c(vec3_c(), vec3_c(0, 0, 1)), true, true, 100.0f));
    object.SetPosition(vec3_c(1, 2, 3));
    object.SetVisible(true);
    EXPECT_EQ(0.0f, object.GetPosition().y);
    EXPECT_EQ(0.0f, object.damage);
    EXPECT_EQ(0, object.destroyed);
}

TEST(GameObject, SetVisibleTogglesOnlyRayTesting)
{
    null_object_c node("tank");
    node.SetVisibility(true, false);
    plain_object_c object;
    object.entity = &node;
    object.SetVisible(true);
    EXPECT_TRUE(node.HasFlags(object_rendered | object_ray_testable));
    object.SetVisible(false);
    EXPECT_TRUE(node.HasFlags(object_rendered));
    EXPECT_FALSE(node.HasFlags(object_ray_testable));
}

TEST(GameObject, FollowsAPathFacingAlongIt)
{
    null_object_c node("truck");
    plain_object_c object;
    object.entity = &node;
    auto path = MakeTestPath("road", {{0, 0, 0}, {10, 5, 10}, {10, 50, 10}});
    path->RenumberKeys();
    // Along the first interval: heading toward +x +z, no pitch despite the climb.
    object.SetPathPosition(path.get(), 0.5f);
    EXPECT_NEAR(5.0f, object.GetPosition().x, 1e-4f);
    EXPECT_NEAR(2.5f, object.GetPosition().y, 1e-4f);
    EXPECT_NEAR(std::numbers::pi_v<float> / 4.0f, object.GetRotation().x, 1e-3f);
    EXPECT_EQ(0.0f, object.GetRotation().y);
    EXPECT_EQ(0.0f, object.GetRotation().z);
    // Straight up: a zero horizontal direction still gives a defined turn.
    object.SetPathPosition(path.get(), 1.5f);
    EXPECT_FALSE(std::isnan(object.GetRotation().x));
    EXPECT_EQ(0.0f, object.GetRotation().x);
    EXPECT_NEAR(27.5f, object.GetPosition().y, 1e-3f);
    object.SetPathPosition(nullptr, 0.0f);
    EXPECT_NEAR(27.5f, object.GetPosition().y, 1e-3f);
}

TEST(GameObject, ActivationPointsAreTheExactlyNamedParameters)
{
    parameter_list_c list;
    const struct {
        const char* name;
        i32 value;
    } parameters[] = {
        {"act_ctrl_point", 3}, {"act_ctrl_point_2", 4}, {"ACT_CTRL_POINT", 5},
        {"act_ctrl_poin", 6},  {"act_ctrl_point", 7},
    };
    for (const auto& p : parameters) {
        auto parameter = CreateParameter(parameter_c::type_int);
        parameter->name = p.name;
        static_cast<parameter_int_c*>(parameter.get())->value = p.value;
        list.Add(std::move(parameter));
    }
    plain_object_c object;
    object.ReadActivationPoints(list);
    ASSERT_EQ(2u, object.activationPoints.size());
    EXPECT_EQ(3, object.activationPoints[0]);
    EXPECT_EQ(7, object.activationPoints[1]);
    EXPECT_TRUE(object.CanActivate(7));
    EXPECT_FALSE(object.CanActivate(5));
}
