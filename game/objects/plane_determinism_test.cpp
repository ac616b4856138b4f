#include "game/testing/plane_world.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Every float of the planes' flight state and of the projectiles, as bytes,
// after each step of a mission flown by fixed controls: two planes with
// sounds (so turbulence jitters the roll), guns, bombs and a landing.
std::vector<u8> FlyMission()
{
    plane_world_c setting;
    test_plane_c* planes[2] = {setting.MakePlane(), setting.MakePlane(test_plane_file_c(), object_plane_ai)};
    planes[0]->SetPosition(vec3_c(0.0f, 1.4f, -2000.0f));
    planes[0]->SetRotation(vec3_c(0.0f, 0.0f, 0.0f));
    planes[0]->SetSpeed(0.0f);
    planes[1]->SetPosition(vec3_c(300.0f, 400.0f, 0.0f));
    planes[1]->SetRotation(vec3_c(1.0f, 0.0f, 0.0f));
    planes[1]->SetSpeed(28.0f);
    planes[1]->SetWeapons(0, 10, nullptr, nullptr);
    std::vector<u8> states;
    auto keep = [&](const void* _data, size_t _size) {
        const u8* bytes = static_cast<const u8*>(_data);
        states.insert(states.end(), bytes, bytes + _size);
    };
    float time = 0.0f;
    for (int i = 0; i < 50 * 40; ++i) {
        time += 0.02f;
        test_plane_c& runner = *planes[0];
        runner.SetThrust(time < 30.0f ? 1.0f : 0.0f);
        runner.pitch = time > 12.0f && time < 14.0f ? 0.3f : 0.0f;
        runner.roll = time > 20.0f && time < 21.0f ? 0.4f : 0.0f;
        runner.SetAutoLevel(time > 22.0f);
        runner.trigger = time > 15.0f && time < 18.0f;
        planes[1]->roll = 0.2f;
        planes[1]->trigger = i % 3 == 0;
        planes[1]->DropBomb(time, 1.5f);
        setting.world.Process(time);
        for (const test_plane_c* plane : planes) {
            const vec3_c position = plane->GetPosition();
            const vec3_c rotation = plane->GetRotation();
            const float values[] = {plane->GetSpeed(), plane->GetAltitude(), plane->turbulence};
            keep(&position, sizeof position);
            keep(&rotation, sizeof rotation);
            keep(&plane->GetAttitude(), sizeof(mat3_c));
            keep(values, sizeof values);
        }
        for (const projectile_c& projectile : setting.world.GetProjectiles()) {
            keep(&projectile.position, sizeof projectile.position);
            keep(&projectile.direction, sizeof projectile.direction);
        }
    }
    return states;
}

TEST(PlaneDeterminism, SameControlsAndStepsGiveBitIdenticalStates)
{
    const std::vector<u8> first = FlyMission();
    const std::vector<u8> second = FlyMission();
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size()), 0);
}

} // namespace
