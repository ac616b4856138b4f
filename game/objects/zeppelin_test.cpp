#include "game/objects/zeppelin.h"

#include "engine/aggregate.h"
#include "engine/null_object.h"
#include "engine/testing/recording_renderer.h"
#include "game/game_world.h"
#include "game/projectile.h"
#include "game/testing/bit_identical.h"
#include "game/testing/flat_ground.h"
#include "level/object_template.h"
#include "level/testing/level_fixtures.h"
#include "level/walk_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// A plane that only stands somewhere.
class standing_plane_c : public game_object_c {
public:
    standing_plane_c(int _side, const vec3_c& _position) : position(_position) { side = _side; }
    int GetType() const override { return object_plane_ai; }
    void Update(float) override {}
    void OnMissionStart(float) override {}
    vec3_c GetPosition() const override { return position; }
    vec3_c position;
};

template_group_c& AddGroup(object_template_c& _template, const char* _name)
{
    _template.groups.push_back(std::make_unique<template_group_c>());
    _template.groups.back()->name = _name;
    return *_template.groups.back();
}

u32 CountBombs(const game_world_c& _world)
{
    u32 bombs = 0;
    for (const projectile_c& projectile : _world.GetProjectiles())
        bombs += projectile.kind == projectile_bomb ? 1 : 0;
    return bombs;
}

// A zeppelin (or, with "drown", a ship) on a 500-unit route at height 300,
// 36 km/h.
class ZeppelinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.Init(game_world_context_c());
        route = MakeTestPath("route", {{0.0f, 300.0f, 0.0f}, {0.0f, 300.0f, 500.0f}});
        route->MeasureLength();
    }

    game_object_zeppelin_c* Make(const char* _on_destroy, bool _with_path = true)
    {
        template_group_c& main = AddGroup(tmpl, "MainGroup");
        f32 speed = 36.0f;
        main.parameters.GetSetFloat("move_speed", &speed, false, 0.0f, 100.0f);
        string_c kind = _on_destroy;
        main.parameters.GetSetString("on_destroy", &kind, false);
        vec3_c rate(0.0f, 0.0f, 0.5f);
        main.parameters.GetSetVector("drown_rotation_vector", &rate, false);
        vec3_c end(0.0f, 0.0f, 0.5235988f); // kept as 30 degrees
        main.parameters.GetSetRotation("drown_rotation_end", &end, false);
        auto made = std::make_unique<game_object_zeppelin_c>();
        made->Init(&tmpl, &node, nullptr, nullptr);
        if (_with_path)
            made->SetMovePath(route.get());
        zeppelin = static_cast<game_object_zeppelin_c*>(world.AddObject(std::move(made)));
        world.StartMission(0.0f);
        return zeppelin;
    }

    void Run(float _from, float _to, float _step = 0.25f)
    {
        for (float t = _from; t <= _to + 1e-4f; t += _step)
            world.Process(t);
    }

    game_world_c world;
    object_template_c tmpl;
    null_object_c node{"zeppelin"};
    std::unique_ptr<walk_path_c> route;
    game_object_zeppelin_c* zeppelin = nullptr;
};

TEST_F(ZeppelinTest, ReadsItsKeysFromTheTemplate)
{
    Make("drown");
    EXPECT_EQ(zeppelin_drown, zeppelin->destroyKind);
    EXPECT_NEAR(10.0f, zeppelin->moveSpeed, 1e-4f);
    EXPECT_NEAR(0.5235988f, zeppelin->rotationEnd.z, 1e-5f);
    EXPECT_EQ(-1, zeppelin->side);
    EXPECT_TRUE(zeppelin->guns.empty());
    EXPECT_EQ(0u, world.GetTimerCount()) << "no guns, no target timer";
}

TEST_F(ZeppelinTest, BombsNearTheEndOfItsPathThenFallsWhenDestroyed)
{
    Make("drop");
    Run(0.25f, 44.0f);
    EXPECT_FALSE(zeppelin->bombing);
    EXPECT_LT(node.position.z, 0.9f * 500.0f);
    Run(44.25f, 50.0f);
    EXPECT_TRUE(zeppelin->bombing);
    EXPECT_GE(CountBombs(world), 2u);
    for (const projectile_c& bomb : world.GetProjectiles())
        EXPECT_LT(bomb.direction.y, -0.7f) << "within 40 degrees of straight down";

    // Two explosions destroy it; more change nothing.
    for (int i = 0; i < 4; ++i)
        zeppelin->TakeDamage(vec3_c(), vec3_c(), 10.0f, nullptr, 6);
    ASSERT_TRUE(zeppelin->destroyed);
    EXPECT_EQ(2, zeppelin->modelState);
    EXPECT_EQ(1u, world.counters.zeppelins);
    EXPECT_EQ(0u, world.counters.ships);

    const float height = node.position.y;
    Run(50.25f, 52.0f);
    EXPECT_LT(node.position.y, height - 10.0f) << "falls under gravity";
    const float travelled = node.position.z;
    Run(52.25f, 20.0f + 52.0f);
    EXPECT_TRUE(zeppelin->crashed);
    EXPECT_EQ(3, zeppelin->modelState);
    EXPECT_FLOAT_EQ(0.0f, node.position.y) << "on the ground plane without a terrain";
    EXPECT_FLOAT_EQ(travelled, node.position.z) << "no longer on its path";
    EXPECT_EQ(1u, world.counters.zeppelins);
}

TEST_F(ZeppelinTest, TwoFramesFiveSecondsApartDropOneBomb)
{
    Make("drop");
    zeppelin->Update(1.0f);
    zeppelin->StartBombing();
    zeppelin->Update(6.0f);
    EXPECT_EQ(1u, CountBombs(world));
    EXPECT_GT(zeppelin->nextBombTime, 6.0f);
}

TEST_F(ZeppelinTest, WithoutAPathItNeitherMovesNorBombs)
{
    node.position = vec3_c(7.0f, 100.0f, 9.0f);
    Make("drop", false);
    Run(0.25f, 80.0f, 1.0f);
    EXPECT_EQ(vec3_c(7.0f, 100.0f, 9.0f), node.position);
    EXPECT_FALSE(zeppelin->bombing);
}

TEST_F(ZeppelinTest, AShipStaysAtItsPathsEndAndSinksTurningToItsEnd)
{
    Make("drown");
    Run(0.25f, 80.0f, 1.0f);
    EXPECT_NEAR(500.0f, node.position.z, 1e-3f);
    EXPECT_FALSE(zeppelin->bombing);
    EXPECT_EQ(0u, CountBombs(world));

    zeppelin->TakeDamage(vec3_c(), vec3_c(), 10.0f, nullptr, 6);
    zeppelin->TakeDamage(vec3_c(), vec3_c(), 10.0f, nullptr, 6);
    ASSERT_TRUE(zeppelin->destroyed);
    EXPECT_EQ(1u, world.counters.ships);
    Run(80.25f, 120.0f);
    EXPECT_TRUE(zeppelin->crashed);
    EXPECT_FLOAT_EQ(zeppelin->rotationEnd.z, zeppelin->extraRotation.z) << "stops exactly at the end";
    EXPECT_EQ(0.0f, zeppelin->rotationRate.z);
    EXPECT_FLOAT_EQ(zeppelin->rotationEnd.z, node.rotation.z);
}

TEST_F(ZeppelinTest, AlliedObjectsTakeHalfTheDamage)
{
    Make("drop");
    zeppelin->TakeDamage(vec3_c(), vec3_c(), 1.0f, nullptr, 0);
    EXPECT_FLOAT_EQ(0.05f, zeppelin->damage);
    zeppelin->side = 1;
    zeppelin->TakeDamage(vec3_c(), vec3_c(), 1.0f, nullptr, 0);
    EXPECT_FLOAT_EQ(0.075f, zeppelin->damage);
}

TEST_F(ZeppelinTest, ThePilotsCreationFlagHalvesTheDamage)
{
    game_world_context_c context;
    context.creationFlag = true;
    world.Init(context);
    Make("drop");
    zeppelin->TakeDamage(vec3_c(), vec3_c(), 1.0f, nullptr, 0);
    EXPECT_FLOAT_EQ(0.025f, zeppelin->damage);
}

TEST_F(ZeppelinTest, GunsComeFromTheGunGroupsWithTheirDefaults)
{
    template_group_c& first = AddGroup(tmpl, "gun_front");
    first.ownedNode = std::make_unique<null_object_c>("gun_front");
    first.node = first.ownedNode.get();
    first.node->position = vec3_c(0.0f, -4.0f, 20.0f);
    first.node->UpdateTransform(nullptr);
    f32 length = 3.7f;
    first.parameters.GetSetFloat("gun burst length", &length, false, 0.0f, 10.0f);
    template_group_c& second = AddGroup(tmpl, "gun_back");
    second.ownedNode = std::make_unique<null_object_c>("gun_back");
    second.node = second.ownedNode.get();
    AddGroup(tmpl, "gun_without_node");
    node.UpdateTransform(nullptr);
    Make("drop");

    ASSERT_EQ(2u, zeppelin->guns.size());
    const gun_c& gun = zeppelin->guns[0];
    EXPECT_EQ(3, gun.burstLength);
    EXPECT_FLOAT_EQ(0.4f, gun.burstDelay);
    EXPECT_FLOAT_EQ(0.4f, gun.shootingDelay);
    EXPECT_FLOAT_EQ(0.0f, gun.maxYawDot);
    EXPECT_FLOAT_EQ(0.7f, gun.agility);
    EXPECT_EQ(vec3_c(0.0f, -4.0f, 20.0f), gun.muzzleOffset);
    EXPECT_EQ(vec3_c(0.0f, 0.0f, 1.0f), gun.restDirection);
    EXPECT_EQ(1u, world.GetTimerCount()) << "one target timer, 3.0 / guns apart";
}

TEST_F(ZeppelinTest, AGunPartGivesTheMuzzleAndTheRestDirection)
{
    template_group_c& gun = AddGroup(tmpl, "gun_top");
    auto turret = std::make_unique<aggregate_c>("gun_top", nullptr);
    turret->position = vec3_c(0.0f, 0.0f, 10.0f);
    null_object_c* part = turret->AddObject(new null_object_c("dzialko"));
    part->position = vec3_c(1.0f, 2.0f, 3.0f);
    part->rotation = vec3_c(1.5707964f, 0.0f, 0.0f);
    gun.node = turret.get();
    gun.ownedNode = std::move(turret);
    node.UpdateTransform(nullptr);
    Make("drop");

    ASSERT_EQ(1u, zeppelin->guns.size());
    const gun_c& made = zeppelin->guns[0];
    EXPECT_NEAR(1.0f, made.muzzleOffset.x, 1e-4f);
    EXPECT_NEAR(2.0f, made.muzzleOffset.y, 1e-4f);
    EXPECT_NEAR(13.0f, made.muzzleOffset.z, 1e-4f);
    const vec3_c forward(euler_c(1.5707964f, 0.0f, 0.0f));
    EXPECT_NEAR(forward.x, made.restDirection.x, 1e-4f);
    EXPECT_NEAR(forward.y, made.restDirection.y, 1e-4f);
    EXPECT_NEAR(forward.z, made.restDirection.z, 1e-4f);
    EXPECT_NEAR(1.0f, made.restDirection.Length(), 1e-4f);
}

TEST_F(ZeppelinTest, FallsOntoTheTerrainBelow)
{
    recording_renderer_c renderer;
    std::unique_ptr<terrain_c> ground = MakeFlatGround(&renderer, 40.0f);
    Make("drop");
    zeppelin->terrain = ground.get();
    Run(0.25f, 5.0f);
    zeppelin->TakeDamage(vec3_c(), vec3_c(), 30.0f, nullptr, 6);
    Run(5.25f, 30.0f);
    ASSERT_TRUE(zeppelin->crashed);
    EXPECT_NEAR(40.0f, node.position.y, 1e-3f);
}

TEST_F(ZeppelinTest, TimersServeTheGunsInTurnAndARemovedTargetIsDropped)
{
    template_group_c& gun = AddGroup(tmpl, "gun_1");
    gun.ownedNode = std::make_unique<null_object_c>("gun_1");
    gun.node = gun.ownedNode.get();
    Make("drop", false);
    auto* plane = world.AddPlane(std::make_unique<standing_plane_c>(1, vec3_c(0.0f, 0.0f, 100.0f)));
    Run(0.25f, 3.5f);
    ASSERT_EQ(plane, zeppelin->guns[0].target);
    world.RemoveObject(plane);
    EXPECT_EQ(nullptr, zeppelin->guns[0].target);
    Run(3.75f, 10.0f);
    EXPECT_EQ(nullptr, zeppelin->guns[0].target);
    EXPECT_EQ(1u, world.GetTimerCount());
}

TEST_F(ZeppelinTest, SameStepsGiveBitIdenticalBombs)
{
    auto run = [] {
        game_world_c world;
        world.Init(game_world_context_c());
        auto route = MakeTestPath("route", {{0.0f, 300.0f, 0.0f}, {0.0f, 300.0f, 100.0f}});
        route->MeasureLength();
        null_object_c node("zeppelin");
        auto made = std::make_unique<game_object_zeppelin_c>();
        made->Init(nullptr, &node, nullptr, nullptr);
        made->moveSpeed = 10.0f;
        made->SetMovePath(route.get());
        world.AddObject(std::move(made));
        world.StartMission(0.0f);
        for (int i = 1; i <= 600; ++i)
            world.Process(static_cast<float>(i) * 0.033f);
        std::vector<float> state;
        for (const projectile_c& bomb : world.GetProjectiles())
            state.insert(state.end(), {bomb.position.x, bomb.position.y, bomb.position.z, bomb.speed});
        return state;
    };
    ExpectBitIdenticalRuns(run);
}

} // namespace
