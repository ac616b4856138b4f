#include "game/objects/vehicle.h"

#include "engine/null_object.h"
#include "engine/testing/recording_renderer.h"
#include "game/game_world.h"
#include "game/testing/flat_ground.h"
#include "level/level_scene.h"
#include "level/parameter_list.h"
#include "level/testing/level_fixtures.h"
#include "level/walk_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// A 600-unit road along z at height 10.
class ConvoyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.Init(game_world_context_c());
        road = MakeTestPath("road", {{0.0f, 10.0f, 0.0f}, {0.0f, 10.0f, 600.0f}});
        road->MeasureLength();
    }

    game_object_car_c* AddVehicle(int _order, walk_path_c* _path, float _speed = 10.0f)
    {
        nodes.push_back(std::make_unique<null_object_c>("car"));
        parameter_list_c parameters;
        parameters.GetSetInt("in_convoy_order", &_order, false, -10, 10);
        auto made = std::make_unique<game_object_car_c>();
        made->Init(nullptr, nodes.back().get(), nullptr, nullptr, parameters);
        made->speed = _speed;
        made->SetMovePath(_path);
        auto* car = static_cast<game_object_car_c*>(world.AddObject(std::move(made)));
        cars.push_back(car);
        return car;
    }

    // Where a vehicle of that order stands on the road after _time seconds
    // at 10 m/s (the measured length, not the drawn 600, sets the pace).
    float Expected(float _time, int _order) const
    {
        const float length = road->pathLength;
        return 600.0f * (std::min(1.0f, _time * 10.0f / length) - static_cast<float>(_order) * 30.0f / length);
    }

    void Run(float _from, float _to)
    {
        for (float t = _from; t <= _to + 1e-4f; t += 0.5f)
            world.Process(t);
    }

    game_world_c world;
    std::unique_ptr<walk_path_c> road;
    std::vector<std::unique_ptr<null_object_c>> nodes;
    std::vector<game_object_car_c*> cars;
};

TEST_F(ConvoyTest, FollowsThePathThirtyUnitsApartAndStaysAtItsEnd)
{
    for (int order = 0; order < 3; ++order)
        AddVehicle(order, road.get());
    world.StartMission(0.0f);
    EXPECT_LT(cars[2]->PathFraction(0.0f), 0.0f) << "behind the start at first";
    Run(0.5f, 30.0f);
    for (int order = 0; order < 3; ++order)
        EXPECT_NEAR(Expected(30.0f, order), cars[static_cast<size_t>(order)]->GetPosition().z, 0.01f);
    EXPECT_NEAR(30.0f, cars[0]->GetPosition().z - cars[1]->GetPosition().z, 1.0f);
    EXPECT_FLOAT_EQ(10.0f, cars[0]->GetPosition().y) << "no ground: the path's height";
    Run(30.5f, 100.0f);
    EXPECT_NEAR(600.0f, cars[0]->GetPosition().z, 0.01f);
    EXPECT_NEAR(Expected(100.0f, 2), cars[2]->GetPosition().z, 0.01f);
}

TEST_F(ConvoyTest, HaltsBehindADestroyedOrStoppedVehicle)
{
    for (int order = 0; order < 3; ++order)
        AddVehicle(order, road.get());
    world.StartMission(0.0f);
    Run(0.5f, 10.0f);
    cars[1]->TakeDamage(vec3_c(), vec3_c(), 5.0f, nullptr, 6);
    ASSERT_TRUE(cars[1]->destroyed);
    const float second = cars[1]->GetPosition().z;
    const float third = cars[2]->GetPosition().z;
    Run(10.5f, 20.0f);
    EXPECT_NEAR(Expected(20.0f, 0), cars[0]->GetPosition().z, 0.01f) << "the leader drives on";
    EXPECT_EQ(second, cars[1]->GetPosition().z);
    EXPECT_EQ(third, cars[2]->GetPosition().z);

    // The script stops the leader: it stays, and so do those behind it.
    cars[0]->SetStopped(true);
    const float leader = cars[0]->GetPosition().z;
    Run(20.5f, 25.0f);
    EXPECT_EQ(leader, cars[0]->GetPosition().z);
}

TEST_F(ConvoyTest, VehiclesOnAnotherPathDoNotWait)
{
    auto other = MakeTestPath("lane", {{50.0f, 0.0f, 0.0f}, {50.0f, 0.0f, 600.0f}});
    other->MeasureLength();
    AddVehicle(0, road.get())->SetStopped(true);
    game_object_car_c* car = AddVehicle(1, other.get());
    world.StartMission(0.0f);
    Run(0.5f, 10.0f);
    EXPECT_NEAR(Expected(10.0f, 1), car->GetPosition().z, 0.01f);
}

TEST_F(ConvoyTest, ZeroLengthPathsAndZeroSpeedsStayFinite)
{
    auto point = MakeTestPath("point", {{5.0f, 1.0f, 5.0f}, {5.0f, 1.0f, 5.0f}});
    point->MeasureLength();
    game_object_car_c* still = AddVehicle(2, point.get());
    game_object_car_c* parked = AddVehicle(0, road.get(), 0.0f);
    game_object_car_c* lost = AddVehicle(0, nullptr);
    world.StartMission(0.0f);
    Run(0.5f, 5.0f);
    for (const game_object_car_c* car : {still, parked, lost}) {
        const vec3_c p = car->GetPosition();
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    }
    EXPECT_FLOAT_EQ(5.0f, still->GetPosition().x);
    EXPECT_FLOAT_EQ(0.0f, parked->GetPosition().z);
}

TEST_F(ConvoyTest, BulletsGlanceOffABulletProofVehicleAndDestructionRunsOnce)
{
    game_object_car_c* car = AddVehicle(0, road.get());
    car->bulletProof = 1;
    car->TakeDamage(vec3_c(), vec3_c(), 100.0f, nullptr, 0);
    EXPECT_EQ(0.0f, car->damage);
    car->TakeDamage(vec3_c(), vec3_c(), 2.5f, nullptr, 6);
    EXPECT_FLOAT_EQ(0.5f, car->damage);
    car->TakeDamage(vec3_c(), vec3_c(), 2.5f, nullptr, 6);
    EXPECT_TRUE(car->destroyed);
    EXPECT_EQ(2, car->modelState);
    car->TakeDamage(vec3_c(), vec3_c(), 5.0f, nullptr, 6);
    car->TakeDamage(vec3_c(), vec3_c(), 5.0f, nullptr, 42);
    EXPECT_EQ(1u, world.counters.vehicles);
    EXPECT_EQ(0u, world.counters.vehiclesByPlayer);
}

TEST_F(ConvoyTest, FollowsTheGroundAndKeepsThePathHeightWhereThereIsNone)
{
    recording_renderer_c renderer;
    std::unique_ptr<terrain_c> ground = MakeFlatGround(&renderer, 2.0f);
    auto below = MakeTestPath("below", {{0.0f, -5.0f, 0.0f}, {0.0f, -5.0f, 100.0f}});
    below->MeasureLength();
    game_object_car_c* onRoad = AddVehicle(0, road.get());
    game_object_car_c* underground = AddVehicle(0, below.get());
    for (game_object_car_c* car : cars)
        car->ground = ground.get();
    world.StartMission(0.0f);
    Run(0.5f, 2.0f);
    EXPECT_NEAR(2.0f, onRoad->GetPosition().y, 1e-3f);
    EXPECT_FLOAT_EQ(-5.0f, underground->GetPosition().y);

    onRoad->groundMode = vehicle_ground_none;
    Run(2.5f, 3.0f);
    EXPECT_FLOAT_EQ(10.0f, onRoad->GetPosition().y);
}

TEST_F(ConvoyTest, InObjectModeTheHighestPlacedObjectBelowCarriesIt)
{
    recording_renderer_c renderer;
    std::unique_ptr<terrain_c> ground = MakeFlatGround(&renderer, 2.0f);
    level_scene_c level;
    auto bridge = std::make_unique<placed_object_c>();
    bridge->ownedNode = MakeFlatGround(&renderer, 6.0f);
    bridge->node = bridge->ownedNode.get();
    level.placedObjects.push_back(std::move(bridge));
    game_world_context_c context;
    context.levelScenes.push_back(&level);
    world.Init(context);

    game_object_car_c* car = AddVehicle(0, road.get());
    car->ground = ground.get();
    car->groundMode = vehicle_ground_objects;
    world.StartMission(0.0f);
    Run(0.5f, 1.0f);
    EXPECT_NEAR(6.0f, car->GetPosition().y, 1e-3f);

    car->groundMode = vehicle_ground_terrain;
    Run(1.5f, 2.0f);
    EXPECT_NEAR(2.0f, car->GetPosition().y, 1e-3f) << "the terrain alone";
}

} // namespace
