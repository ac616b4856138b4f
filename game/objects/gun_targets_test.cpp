#include "game/objects/aagun.h"
#include "game/objects/flak.h"

#include "game/game_world.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace {

// A gun of kind T, without a model, in an empty world.
template <typename T>
class GunTargetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.Init(game_world_context_c());
        auto made = std::make_unique<T>();
        made->Init(nullptr, nullptr);
        gun = static_cast<T*>(world.AddObject(std::move(made)));
    }

    game_world_c world;
    T* gun = nullptr;
};

class AagunTest : public GunTargetTest<game_object_aagun_c> {};

TEST_F(AagunTest, InitGivesRandomTimingInItsRangesAndTheLevelReplacesIt)
{
    ASSERT_EQ(gun->guns.size(), 1u);
    const gun_c& made = gun->guns[0];
    EXPECT_GE(made.shootingDelay, 0.3f);
    EXPECT_LT(made.shootingDelay, 1.0f);
    EXPECT_GE(made.burstLength, 3);
    EXPECT_LE(made.burstLength, 6);
    EXPECT_GE(made.burstDelay, 3.0f);
    EXPECT_LT(made.burstDelay, 6.0f);
    EXPECT_EQ(made.shellGun, 0);
    gun->SetGunParameters(2.0f, 4.0f, 5, 0.5f, 0.25f);
    EXPECT_FLOAT_EQ(gun->guns[0].agility, 2.0f);
    EXPECT_FLOAT_EQ(gun->guns[0].burstDelay, 4.0f);
    EXPECT_EQ(gun->guns[0].burstLength, 5);
    EXPECT_FLOAT_EQ(gun->guns[0].shootingDelay, 0.5f);
    EXPECT_FLOAT_EQ(gun->guns[0].maxYawDot, 0.25f);
}

TEST_F(AagunTest, DestructionRunsOnceAndStopsTheGun)
{
    gun->TakeDamage(vec3_c(), vec3_c(), 0.6f, nullptr, 0);
    EXPECT_FALSE(gun->destroyed);
    gun->TakeDamage(vec3_c(), vec3_c(), 0.6f, nullptr, 0);
    EXPECT_TRUE(gun->destroyed);
    EXPECT_FLOAT_EQ(gun->damage, 1.0f);
    gun->TakeDamage(vec3_c(), vec3_c(), 5.0f, nullptr, 0);
    EXPECT_FLOAT_EQ(gun->damage, 1.0f);
    gun->guns[0].target = gun; // anything: a destroyed gun never fires
    gun->Update(10.0f);
    EXPECT_TRUE(world.GetProjectiles().empty());
}

class FlakTest : public GunTargetTest<game_object_flak_c> {};

TEST_F(FlakTest, HasOneSlowShellGunAimedUpAndForward)
{
    EXPECT_EQ(gun->GetType(), object_flak);
    ASSERT_EQ(gun->guns.size(), 1u);
    const gun_c& fixed = gun->guns.front();
    EXPECT_EQ(std::make_tuple(fixed.shellGun, fixed.burstLength, fixed.maxYawDot, fixed.shootingDelay, fixed.agility),
              std::make_tuple(u8{1}, 1, 0.8f, 2.0f, 0.1f));
    EXPECT_NEAR(fixed.aimDirection.y, 0.70710677f, 1e-5f);
}

// Damage is amount x 0.1 x 5, or x 1 with the pilot's creation flag.
TEST_F(FlakTest, DamageScalesWithThePilotsProfile)
{
    const struct {
        bool steady;
        float total;
        bool destroyed;
    } cases[] = {{false, 2.0f, true}, {true, 2.0f, false}, {false, 1.9f, false}, {true, 10.0f, true}};
    for (const auto& c : cases) {
        gun->damage = 0.0f;
        gun->destroyed = 0;
        game_world_context_c context;
        context.creationFlag = c.steady;
        world.Init(context);
        gun->TakeDamage(vec3_c(), vec3_c(), c.total / 2.0f, nullptr, 6);
        gun->TakeDamage(vec3_c(), vec3_c(), c.total / 2.0f, nullptr, 6);
        EXPECT_EQ(gun->destroyed != 0, c.destroyed) << c.total << " steady " << c.steady;
    }
}

TEST_F(FlakTest, DestructionIsCountedOnce)
{
    gun->TakeDamage(vec3_c(), vec3_c(), 5.0f, nullptr, 6);
    gun->TakeDamage(vec3_c(), vec3_c(), 5.0f, nullptr, 6);
    EXPECT_EQ(world.counters.flaks, 1u);
    EXPECT_EQ(world.counters.flaksByPlayer, 0u);
    EXPECT_FLOAT_EQ(gun->damage, 1.0f);
}

using GunKinds = ::testing::Types<game_object_aagun_c, game_object_flak_c>;
TYPED_TEST_SUITE(GunTargetTest, GunKinds);

TYPED_TEST(GunTargetTest, TimerEventsKeepChoosingTargetsUntilDestroyed)
{
    TypeParam* gun = this->gun;
    game_world_c& world = this->world;
    gun->OnMissionStart(0.0f);
    EXPECT_EQ(world.GetTimerCount(), 1u);
    const game_event_c timer{event_timer, 0, gun};
    gun->HandleEvent(&timer);
    EXPECT_EQ(world.GetTimerCount(), 2u);
    gun->TakeDamage(vec3_c(), vec3_c(), 50.0f, nullptr, 6);
    gun->HandleEvent(&timer);
    EXPECT_EQ(world.GetTimerCount(), 2u);
    EXPECT_EQ(gun->GetRotation(), vec3_c());
}

} // namespace
