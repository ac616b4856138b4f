#include "game/objects/flak.h"

#include "game/game_world.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class FlakTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.Init(game_world_context_c());
        auto made = std::make_unique<game_object_flak_c>();
        made->Init(nullptr, nullptr);
        flak = static_cast<game_object_flak_c*>(world.AddObject(std::move(made)));
    }

    game_world_c world;
    game_object_flak_c* flak = nullptr;
};

TEST_F(FlakTest, HasOneSlowShellGunAimedUpAndForward)
{
    ASSERT_EQ(flak->guns.size(), 1u);
    const gun_c& gun = flak->guns[0];
    EXPECT_EQ(gun.shellGun, 1);
    EXPECT_EQ(gun.burstLength, 1);
    EXPECT_FLOAT_EQ(gun.maxYawDot, 0.8f);
    EXPECT_NEAR(gun.aimDirection.y, 0.70710677f, 1e-5f);
    EXPECT_EQ(flak->GetType(), object_flak);
}

// Damage is amount x 0.1 x 5, or x 1 for a pilot given steady aim.
TEST_F(FlakTest, DamageScalesWithThePilotsProfile)
{
    const struct {
        bool steady;
        float total;
        bool destroyed;
    } cases[] = {{false, 2.0f, true}, {true, 2.0f, false}, {false, 1.9f, false}, {true, 10.0f, true}};
    for (const auto& c : cases) {
        flak->damage = 0.0f;
        flak->destroyed = 0;
        flak->steadyAim = c.steady;
        flak->TakeDamage(vec3_c(), vec3_c(), c.total / 2.0f, nullptr, 6);
        flak->TakeDamage(vec3_c(), vec3_c(), c.total / 2.0f, nullptr, 6);
        EXPECT_EQ(flak->destroyed != 0, c.destroyed) << c.total << " steady " << c.steady;
    }
}

TEST_F(FlakTest, DestructionIsCountedOnce)
{
    flak->TakeDamage(vec3_c(), vec3_c(), 5.0f, nullptr, 6);
    flak->TakeDamage(vec3_c(), vec3_c(), 5.0f, nullptr, 6);
    EXPECT_EQ(world.counters.flaks, 1u);
    EXPECT_EQ(world.counters.flaksByPlayer, 0u);
    EXPECT_FLOAT_EQ(flak->damage, 1.0f);
}

TEST_F(FlakTest, TimerEventsKeepChoosingTargetsUntilDestroyed)
{
    flak->OnMissionStart(0.0f);
    EXPECT_EQ(world.GetTimerCount(), 1u);
    const game_event_c timer{event_timer, 0, flak};
    flak->HandleEvent(&timer);
    EXPECT_EQ(world.GetTimerCount(), 2u);
    flak->TakeDamage(vec3_c(), vec3_c(), 5.0f, nullptr, 6);
    flak->HandleEvent(&timer);
    EXPECT_EQ(world.GetTimerCount(), 2u);
}

} // namespace
