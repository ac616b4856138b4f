#include "game/objects/yacht.h"

#include "engine/null_object.h"
#include "level/level_scene.h"
#include "level/object_template.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// A harbour of _count boats, each with its own node.
void AddBoats(level_scene_c& _level, int _count)
{
    for (int i = 0; i < _count; ++i) {
        auto placed = std::make_unique<placed_object_c>();
        placed->ownedNode = std::make_unique<null_object_c>("boat");
        placed->node = placed->ownedNode.get();
        placed->node->rotation = vec3_c(1.0f, 0.0f, 0.0f);
        _level.placedObjects.push_back(std::move(placed));
    }
}

TEST(Yachts, RockOneSecondOutOfStepWithinTheirBounds)
{
    level_scene_c harbour;
    AddBoats(harbour, 3);
    game_object_yachts_c yachts;
    yachts.SetBoats(harbour);
    EXPECT_FLOAT_EQ(0.3f, yachts.rockingRate);
    yachts.OnMissionStart(10.0f);
    for (int step = 1; step <= 200; ++step) {
        const float t = static_cast<float>(step) * 0.1f;
        yachts.Update(10.0f + t);
        for (int i = 0; i < 3; ++i) {
            const float bank = harbour.placedObjects[static_cast<size_t>(i)]->node->rotation.z;
            EXPECT_NEAR(std::sin((static_cast<float>(i) + t) * 0.3f) * 0.18f, bank, 1e-4f);
            EXPECT_LE(std::fabs(bank), 0.18f + 1e-6f);
        }
    }
    EXPECT_EQ(1.0f, harbour.placedObjects[0]->node->rotation.x) << "the heading stays";
}

TEST(Yachts, TakeTheirRateFromTheFirstBoatsTemplate)
{
    level_scene_c harbour;
    AddBoats(harbour, 2);
    object_template_c boat;
    boat.groups.push_back(std::make_unique<template_group_c>());
    f32 rate = 0.0f;
    boat.groups[0]->parameters.GetSetFloat("move_speed", &rate, false, 0.0f, 1.0f);
    harbour.placedObjects[0]->tmpl = &boat;
    game_object_yachts_c yachts;
    yachts.SetBoats(harbour);
    yachts.OnMissionStart(0.0f);
    yachts.Update(3.0f);
    for (const auto& placed : harbour.placedObjects)
        EXPECT_EQ(0.0f, placed->node->rotation.z) << "a rate of 0 keeps them upright";
}

TEST(Yachts, AnEmptyHarbourDoesNothing)
{
    level_scene_c harbour;
    game_object_yachts_c yachts;
    yachts.SetBoats(harbour);
    yachts.OnMissionStart(0.0f);
    yachts.Update(1.0f);
    EXPECT_TRUE(yachts.boats.empty());
    EXPECT_EQ(1.0f, yachts.phase);
}

} // namespace
