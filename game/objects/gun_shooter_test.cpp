#include "game/objects/gun_shooter.h"

#include "game/game_world.h"
#include "game/projectile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

// A plane reduced to what the turret looks at: side, place and velocity.
class target_c : public game_object_c {
public:
    target_c(int _side, const vec3_c& _position, const vec3_c& _velocity = vec3_c())
        : position(_position), speed(_velocity)
    {
        side = _side;
    }
    int GetType() const override { return object_plane_ai; }
    void Update(float) override {}
    void OnMissionStart(float) override {}
    vec3_c GetPosition() const override { return position; }
    vec3_c GetVelocity() const override { return speed; }

    vec3_c position;
    vec3_c speed;
};

// A shooter standing at the origin without a model.
class turret_c : public gun_shooter_c {
public:
    int GetType() const override { return object_aagun; }
    void Update(float) override {}
    void OnMissionStart(float) override {}
    void OnShot(int _gun) override { shots.push_back(_gun); }
    std::vector<int> shots;
};

gun_c AagunGun()
{
    gun_c gun;
    gun.aimDirection = vec3_c(0.0f, 0.0f, 1.0f);
    gun.restDirection = vec3_c(0.0f, 0.0f, 1.0f);
    gun.maxYawDot = -1.0f;
    gun.shootingDelay = 1.0f;
    gun.burstLength = 3;
    gun.burstDelay = 3.0f;
    gun.agility = 1.2f;
    return gun;
}

class GunShooterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.Init(game_world_context_c());
        auto made = std::make_unique<turret_c>();
        made->side = 1;
        made->guns.push_back(AagunGun());
        turret = static_cast<turret_c*>(world.AddObject(std::move(made)));
    }

    target_c* AddPlane(int _side, const vec3_c& _position, const vec3_c& _velocity = vec3_c())
    {
        return static_cast<target_c*>(world.AddPlane(std::make_unique<target_c>(_side, _position, _velocity)));
    }

    game_world_c world;
    turret_c* turret = nullptr;
};

TEST_F(GunShooterTest, ChoosesOnlyLivingEnemiesInsideRange)
{
    AddPlane(1, vec3_c(0.0f, 0.0f, 100.0f));                  // own side
    AddPlane(-1, vec3_c(0.0f, 0.0f, 600.0f));                 // exactly at range
    target_c* dead = AddPlane(-1, vec3_c(0.0f, 0.0f, 50.0f)); // destroyed
    dead->destroyed = 1;
    target_c* enemy = AddPlane(-1, vec3_c(0.0f, 10.0f, 599.0f));
    turret->ChooseTarget();
    EXPECT_EQ(turret->guns[0].target, enemy);
}

TEST_F(GunShooterTest, TheConeLimitsTargetsByMaxYawDot)
{
    AddPlane(-1, vec3_c(0.0f, 0.0f, -100.0f)); // behind the gun
    turret->ChooseTarget();
    EXPECT_NE(turret->guns[0].target, nullptr);
    turret->guns[0].maxYawDot = 0.5f;
    turret->ChooseTarget();
    EXPECT_EQ(turret->guns[0].target, nullptr);
}

TEST_F(GunShooterTest, GunsReceiveTargetsInTurnStartingAfterTheFirst)
{
    turret->guns.push_back(AagunGun());
    turret->guns.push_back(AagunGun());
    target_c* enemy = AddPlane(-1, vec3_c(0.0f, 0.0f, 100.0f));
    const u32 expected[] = {1, 2, 0, 1};
    for (u32 gun : expected) {
        turret->ChooseTarget();
        EXPECT_EQ(turret->nextGun, gun);
        EXPECT_EQ(turret->guns[gun].target, enemy);
    }
}

TEST_F(GunShooterTest, FiresBurstsAtTheGunsCadence)
{
    turret->guns[0].target = AddPlane(-1, vec3_c(0.0f, 0.0f, 100.0f));
    // Shots 1 s apart, three to a burst, then more than 3 s of pause.
    const struct {
        float time;
        size_t shots;
    } steps[] = {{0.5f, 0}, {1.01f, 1}, {1.5f, 1}, {2.02f, 2}, {3.03f, 3}, {4.1f, 3},
                 {6.0f, 3}, {6.04f, 3}, {6.1f, 4}, {7.2f, 5},  {8.3f, 6},  {9.4f, 6}};
    for (const auto& step : steps) {
        turret->UpdateGuns(step.time);
        EXPECT_EQ(turret->shots.size(), step.shots) << "at " << step.time;
    }
    ASSERT_EQ(world.GetProjectiles().size(), 6u);
    EXPECT_EQ(world.GetProjectiles()[0].kind, projectile_bullet);
    EXPECT_FLOAT_EQ(world.GetProjectiles()[0].speed, gun_muzzle_speed);
}

TEST_F(GunShooterTest, ShellGunsFuseShellsBetweenThirtyAndThreeHundredUnits)
{
    turret->guns[0].target = AddPlane(-1, vec3_c(0.0f, 0.0f, 100.0f));
    turret->guns[0].shellGun = 1;
    turret->guns[0].burstLength = 50;
    turret->guns[0].shootingDelay = 0.0f;
    for (int i = 1; i <= 50; ++i)
        turret->UpdateGuns(static_cast<float>(i));
    ASSERT_EQ(world.GetProjectiles().size(), 50u);
    for (const projectile_c& shell : world.GetProjectiles()) {
        EXPECT_EQ(shell.kind, projectile_shell);
        const float reach = shell.expiry * gun_muzzle_speed; // world time is 0;
        EXPECT_GE(reach, 30.0f * 0.001667f * gun_muzzle_speed - 1e-3f);
        EXPECT_LT(reach, 300.0f * 0.001667f * gun_muzzle_speed + 1e-3f);
    }
}

// A target crossing from left to right is led: the aim settles ahead of it.
TEST_F(GunShooterTest, LeadsACrossingTarget)
{
    target_c* enemy = AddPlane(-1, vec3_c(0.0f, 100.0f, 300.0f), vec3_c(40.0f, 0.0f, 0.0f));
    turret->guns[0].target = enemy;
    game_world_context_c steady;
    steady.creationFlag = true;
    world.Init(steady);
    float leadSum = 0.0f;
    for (int i = 1; i <= 600; ++i) {
        const float time = i * 0.02f;
        turret->AimAtTarget(time, 0.02f);
        if (i > 400) {
            const vec3_c aim = turret->guns[0].aimDirection;
            leadSum += aim.x / aim.z;
        }
    }
    const float onTarget = 0.0f;
    EXPECT_GT(leadSum / 200.0f, onTarget + 0.02f);
}

// The pilot's creation flag shrinks the aim's wobble around a still target
// from 5.0 to 1.0.
TEST_F(GunShooterTest, ThePilotsCreationFlagSteadiesTheAim)
{
    auto wobble = [this](bool _flag) {
        game_world_context_c context;
        context.creationFlag = _flag;
        world.Init(context);
        turret->guns[0].aimDirection = vec3_c(0.0f, 0.0f, 1.0f);
        turret->guns[0].target =
            turret->guns[0].target ? turret->guns[0].target : AddPlane(-1, vec3_c(0.0f, 0.0f, 300.0f));
        turret->random = random_c();
        float squares = 0.0f;
        for (int i = 1; i <= 800; ++i) {
            turret->AimAtTarget(i * 0.05f, 0.05f);
            if (i > 200) {
                const vec3_c aim = turret->guns[0].aimDirection;
                squares += aim.x * aim.x + aim.y * aim.y;
            }
        }
        return std::sqrt(squares / 600.0f);
    };
    const float loose = wobble(false);
    const float steady = wobble(true);
    EXPECT_GT(steady, 0.0f);
    EXPECT_LT(steady * 3.0f, loose);
}

TEST_F(GunShooterTest, ZeroOrOppositeAimTurnsWithoutNaN)
{
    turret->guns[0].target = AddPlane(-1, vec3_c(0.0f, 0.0f, 100.0f));
    const vec3_c starts[] = {vec3_c(), vec3_c(0.0f, 0.0f, -1.0f), vec3_c(0.0f, 0.0f, 1.0f)};
    for (const vec3_c& start : starts) {
        turret->guns[0].aimDirection = start;
        for (int i = 1; i <= 200; ++i)
            turret->AimAtTarget(i * 0.05f, 0.05f);
        const vec3_c aim = turret->guns[0].aimDirection;
        ASSERT_TRUE(std::isfinite(aim.x) && std::isfinite(aim.y) && std::isfinite(aim.z));
        EXPECT_GT(aim.z, 0.5f);
    }
}

TEST_F(GunShooterTest, AGunWithoutAgilityIsNeverTurned)
{
    turret->guns[0].target = AddPlane(-1, vec3_c(100.0f, 0.0f, 0.0f));
    turret->guns[0].agility = 0.0f;
    turret->AimAtTarget(1.0f, 0.1f);
    EXPECT_EQ(turret->guns[0].aimDirection, vec3_c(0.0f, 0.0f, 1.0f));
}

TEST_F(GunShooterTest, ATargetRemovedFromTheWorldIsDropped)
{
    target_c* enemy = AddPlane(-1, vec3_c(0.0f, 0.0f, 100.0f));
    turret->guns[0].target = enemy;
    world.RemoveObject(enemy);
    EXPECT_EQ(turret->guns[0].target, nullptr);
    turret->UpdateGuns(5.0f);
    turret->AimAtTarget(5.0f, 0.1f);
    EXPECT_TRUE(turret->shots.empty());
}

TEST(GunShooterDeterminismTest, SameStepsGiveBitIdenticalAims)
{
    auto run = [] {
        game_world_c world;
        world.Init(game_world_context_c());
        auto made = std::make_unique<turret_c>();
        made->side = 1;
        made->guns.push_back(AagunGun());
        turret_c* turret = static_cast<turret_c*>(world.AddObject(std::move(made)));
        turret->guns[0].target =
            world.AddPlane(std::make_unique<target_c>(-1, vec3_c(50.0f, 80.0f, 200.0f), vec3_c(-30.0f, 0.0f, 5.0f)));
        for (int i = 1; i <= 300; ++i) {
            turret->AimAtTarget(i * 0.03f, 0.03f);
            turret->UpdateGuns(i * 0.03f);
        }
        return turret->guns[0].aimDirection;
    };
    const vec3_c first = run();
    const vec3_c second = run();
    EXPECT_EQ(std::memcmp(&first, &second, sizeof(vec3_c)), 0);
}

} // namespace
