#include "engine/testing/landscape_fixtures.h"
#include "engine/testing/marker_object.h"
#include "engine/water.h"
#include "level/level_scene.h"
#include "game/testing/plane_world.h"
#include "level/object_template.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class PlaneWeaponsTest : public ::testing::Test {
protected:
    plane_world_c setting;
    test_plane_c* plane = nullptr;

    void SetUp() override
    {
        AddTestTemplate(setting.files.files, "data\\game\\common_objects\\raca\\raca.op",
                        {test_group_c{"rocket", true, {}}}, {{"normal", {0}}}, &setting.renderer);
        plane = setting.MakePlane();
        plane->SetPosition(vec3_c(0.0f, 500.0f, 0.0f));
        plane->SetRotation(vec3_c(0.0f, 0.0f, 0.0f));
    }

    const std::vector<projectile_c>& Projectiles() const { return setting.world.GetProjectiles(); }
};

// More than 0.1 s must pass between shots; the first shot flips the side to
// the right gun, and the sides alternate from there.
TEST_F(PlaneWeaponsTest, GunsFireEveryTenthOfASecondFromAlternatingSides)
{
    EXPECT_TRUE(plane->FireGuns(5.0f));
    EXPECT_FALSE(plane->FireGuns(5.1f));
    EXPECT_TRUE(plane->FireGuns(5.2f));
    EXPECT_TRUE(plane->FireGuns(5.35f));
    ASSERT_EQ(Projectiles().size(), 3u);
    EXPECT_FLOAT_EQ(Projectiles()[0].position.x, 0.5f);
    EXPECT_FLOAT_EQ(Projectiles()[1].position.x, -0.5f);
    EXPECT_FLOAT_EQ(Projectiles()[2].position.x, 0.5f);
    for (const projectile_c& bullet : Projectiles()) {
        EXPECT_EQ(bullet.kind, projectile_bullet);
        EXPECT_FLOAT_EQ(bullet.speed, 700.0f);
        EXPECT_EQ(bullet.direction, vec3_c(0.0f, 0.0f, 1.0f));
        EXPECT_EQ(bullet.shooter, plane);
    }
}

TEST_F(PlaneWeaponsTest, CockpitViewShootsFromTheInsideGuns)
{
    plane->SetModelView(plane_view_inside);
    plane->FireGuns(1.0f);
    plane->FireGuns(1.2f);
    EXPECT_FLOAT_EQ(Projectiles()[0].position.x, 0.2f);
    EXPECT_FLOAT_EQ(Projectiles()[1].position.x, -0.2f);
    EXPECT_FLOAT_EQ(Projectiles()[1].position.y, 500.8f);
}

TEST_F(PlaneWeaponsTest, GunJamPlaysFromTheStartAtThePlane)
{
    plane->PlayGunJam();
    plane->PlayGunJam();
    const recording_source_c* jam = setting.sound.Find("snd\\jam.wav");
    EXPECT_EQ(jam->plays, 2);
    EXPECT_EQ(jam->stops, 2);
    EXPECT_EQ(jam->position, vec3_c(0.0f, 500.0f, 1.0f));
}

TEST_F(PlaneWeaponsTest, BombsLeaveAtTheGivenIntervalWithThePlanesVelocity)
{
    plane->SetWeapons(0, 2, nullptr, nullptr);
    plane->velocity = vec3_c(0.0f, 0.0f, 40.0f);
    plane->DropBomb(1.0f, 0.5f);
    plane->DropBomb(1.4f, 0.5f);
    plane->DropBomb(1.6f, 0.5f);
    plane->DropBomb(9.0f, 0.5f);
    ASSERT_EQ(Projectiles().size(), 2u);
    EXPECT_EQ(plane->GetBombCount(), 0);
    const projectile_c& bomb = Projectiles()[0];
    EXPECT_EQ(bomb.kind, projectile_bomb);
    // 40 forward plus 3 along (0.5, 1, -1) / 1.5.
    const vec3_c expected = vec3_c(0.0f, 0.0f, 40.0f) + vec3_c(1.0f, 2.0f, -2.0f);
    EXPECT_NEAR(bomb.speed, expected.Length(), 1e-3f);
    EXPECT_NEAR(bomb.direction.y * bomb.speed, 2.0f, 1e-3f);
    EXPECT_EQ(setting.sound.Find("snd\\bomb.wav")->plays, 2);
}

TEST_F(PlaneWeaponsTest, TwelveRocketsLoadEightStackedFromTheLeft)
{
    plane->SetWeapons(12, 0, &setting.renderer, &setting.scene);
    EXPECT_EQ(plane->GetRocketCount(), 8);
    for (int i = 0; i < 8; ++i) {
        plane->FireRocket(10.0f + 2.5f * static_cast<float>(i));
        const projectile_c& rocket = Projectiles().back();
        const float side = i % 2 ? 2.0f : -2.0f;
        EXPECT_FLOAT_EQ(rocket.position.x, side) << i;
        EXPECT_NEAR(rocket.position.y, 500.0f - 0.5f - 0.2f * static_cast<float>(i / 2), 1e-4f) << i;
        EXPECT_EQ(rocket.kind, projectile_rocket);
        EXPECT_FLOAT_EQ(rocket.speed, 100.0f);
    }
    EXPECT_EQ(plane->GetRocketCount(), 0);
    EXPECT_EQ(Projectiles().size(), 8u);
}

TEST_F(PlaneWeaponsTest, RocketsNeedMoreThanTwoSecondsBetweenThem)
{
    plane->SetWeapons(4, 0, &setting.renderer, &setting.scene);
    plane->FireRocket(10.0f);
    plane->FireRocket(11.9f);
    EXPECT_EQ(Projectiles().size(), 1u);
    plane->FireRocket(12.1f);
    EXPECT_EQ(Projectiles().size(), 2u);
    EXPECT_EQ(setting.sound.Find("snd\\rocket.wav")->plays, 2);
}

TEST_F(PlaneWeaponsTest, NetworkGamesReArmThePlaneAfterItsLastRocket)
{
    setting.context.gameType = 3;
    setting.context.networkGame = true;
    setting.Restart();
    plane->SetWeapons(1, 0, &setting.renderer, &setting.scene);
    plane->FireRocket(10.0f);
    plane->FireRocket(13.0f); // re-arms, launches nothing
    EXPECT_EQ(Projectiles().size(), 1u);
    EXPECT_EQ(plane->GetRocketCount(), 8);
    EXPECT_EQ(plane->GetBombCount(), 100);
    plane->FireRocket(13.5f);
    EXPECT_EQ(Projectiles().size(), 2u);

    setting.context.gameType = 0;
    setting.Restart();
    plane->SetWeapons(0, 0, nullptr, nullptr);
    plane->FireRocket(20.0f);
    EXPECT_EQ(plane->GetRocketCount(), 0);
}

TEST_F(PlaneWeaponsTest, ImpactsShowTheBombOrRocketEffect)
{
    test_plane_file_c file;
    file.impactEffects = true;
    plane = setting.MakePlane(file);
    projectile_c bomb;
    bomb.kind = projectile_bomb;
    plane->OnProjectileImpact(vec3_c(1.0f, 0.0f, 2.0f), vec3_c(0.0f, 1.0f, 0.0f), &bomb);
    ASSERT_NE(setting.sound.Find("snd\\bomb_fx.wav"), nullptr);
    EXPECT_EQ(setting.sound.Find("snd\\bomb_fx.wav")->position, vec3_c(1.0f, 0.0f, 2.0f));
    projectile_c shell;
    shell.kind = projectile_shell;
    plane->OnProjectileImpact(vec3_c(), vec3_c(0.0f, 1.0f, 0.0f), &shell);
    EXPECT_NE(setting.sound.Find("snd\\rocket_fx.wav"), nullptr);
    EXPECT_EQ(setting.effects.GetEffectCount(), 2u);
}

TEST_F(PlaneWeaponsTest, CrashOnTheGroundHappensOnce)
{
    test_plane_file_c file;
    file.impactEffects = true;
    plane = setting.MakePlane(file);
    plane->SetPosition(vec3_c(10.0f, 0.3f, 10.0f));
    plane->velocity = vec3_c(0.0f, -5.0f, 30.0f);
    plane->CrashOnGround(3.0f);
    EXPECT_TRUE(plane->IsWrecked());
    EXPECT_TRUE(plane->destroyed);
    EXPECT_FLOAT_EQ(plane->damage, 1.0f);
    EXPECT_EQ(plane->GetModelView(), plane_view_crashed);
    EXPECT_EQ(plane->velocity, vec3_c());
    EXPECT_NEAR(plane->GetPosition().y, -0.5f, 1e-4f);
    EXPECT_EQ(setting.sound.Find("snd\\crash.wav")->plays, 1);
    EXPECT_EQ(setting.effects.GetEffectCount(), 1u);

    plane->SetPosition(vec3_c(10.0f, 7.0f, 10.0f));
    plane->CrashOnGround(4.0f);
    EXPECT_FLOAT_EQ(plane->GetPosition().y, 7.0f);
    EXPECT_EQ(setting.sound.Find("snd\\crash.wav")->plays, 1);
    EXPECT_EQ(setting.effects.GetEffectCount(), 1u);
}

TEST_F(PlaneWeaponsTest, NoCrashWithoutTerrain)
{
    setting.context.terrain = nullptr;
    setting.Restart();
    plane->CrashOnGround(1.0f);
    EXPECT_FALSE(plane->IsWrecked());
}

// A computer plane with velocities 15 to 30 comes back at 15 + 0.8 x 15.
TEST_F(PlaneWeaponsTest, RespawnReturnsAtTheNextSpawnPointAtEightyPercent)
{
    test_plane_file_c file;
    file.minVelocity = 15.0f;
    file.impactEffects = true;
    plane = setting.MakePlane(file, object_plane_ai);
    setting.world.SetSpawnPoints(1, {vec3_c(100.0f, 300.0f, 0.0f), vec3_c(200.0f, 300.0f, 0.0f)},
                                 {vec3_c(1.0f, 0.0f, 0.0f), vec3_c(2.0f, 0.0f, 0.0f)});
    plane->SetPosition(vec3_c(10.0f, 0.3f, 10.0f));
    plane->CrashOnGround(1.0f);

    plane->Respawn();
    EXPECT_FLOAT_EQ(plane->GetSpeed(), 27.0f);
    EXPECT_FLOAT_EQ(plane->GetThrust(), 0.1f + 0.8f * 0.9f);
    EXPECT_FALSE(plane->destroyed);
    EXPECT_FALSE(plane->IsWrecked());
    EXPECT_FLOAT_EQ(plane->damage, 0.0f);
    EXPECT_EQ(plane->GetPosition(), vec3_c(100.0f, 300.0f, 0.0f));
    EXPECT_FLOAT_EQ(plane->GetRotation().x, 1.0f);
    EXPECT_EQ(plane->GetModelView(), plane_view_outside);
    EXPECT_NEAR(plane->GetAttitude().m[2][0], std::sin(1.0f), 1e-5f);
    setting.effects.Update(5.0f);
    EXPECT_EQ(setting.effects.GetEffectCount(), 0u); // the crash effect expired

    plane->Respawn();
    EXPECT_EQ(plane->GetPosition(), vec3_c(200.0f, 300.0f, 0.0f));
    plane->Respawn();
    EXPECT_EQ(plane->GetPosition(), vec3_c(100.0f, 300.0f, 0.0f));
}

TEST_F(PlaneWeaponsTest, RespawnWithoutASpawnPointOfItsSideStaysPut)
{
    setting.world.SetSpawnPoints(-1, {vec3_c(100.0f, 300.0f, 0.0f)}, {});
    plane->SetPosition(vec3_c(10.0f, 50.0f, 10.0f));
    plane->Respawn();
    EXPECT_EQ(plane->GetPosition(), vec3_c(10.0f, 50.0f, 10.0f));
    EXPECT_FALSE(plane->destroyed);
}

TEST_F(PlaneWeaponsTest, AnnouncingADestructionOutsideANetworkGameCountsNothing)
{
    plane->AnnounceDestroyed(0xFFFF, 1, plane);
    EXPECT_EQ(plane->score, 0);
}

} // namespace

namespace {

class PlaneCollisionTest : public PlaneWeaponsTest {
protected:
    level_scene_c level;

    void SetUp() override
    {
        PlaneWeaponsTest::SetUp();
        AddTowerAndLake(level, &setting.renderer);
        setting.context.levelScenes = {&level};
        setting.Restart();
    }
};

TEST_F(PlaneCollisionTest, ObjectsAndWaterAreHitByTheWingsAndFuselage)
{
    bool water = true;
    plane->SetPosition(vec3_c(0.0f, 100.0f, -1.5f)); // the tower between the wing tips
    EXPECT_TRUE(plane->CheckObjectCollision(water));
    EXPECT_FALSE(water);
    EXPECT_EQ(setting.sound.Find("snd\\crash.wav")->plays, 1);

    plane->SetPosition(vec3_c(1000.0f, 0.3f, 0.0f));
    plane->SetRotation(vec3_c(0.0f, 0.3f, 0.0f)); // the nose dips into the lake
    EXPECT_TRUE(plane->CheckObjectCollision(water));
    EXPECT_TRUE(water);
    EXPECT_EQ(setting.sound.Find("snd\\splash.wav")->plays, 1);

    plane->SetPosition(vec3_c(500.0f, 100.0f, 0.0f));
    EXPECT_FALSE(plane->CheckObjectCollision(water));
}

TEST_F(PlaneCollisionTest, SinkingPlaneGoesDownByNoiseToFiftyBelow)
{
    plane->SetPosition(vec3_c(1000.0f, -49.0f, 0.0f));
    plane->sinking = 1;
    for (int i = 0; i < 200; ++i) {
        plane->UpdateAirscrew(static_cast<float>(i) * 0.37f);
        plane->UpdateFlight(0.02f);
    }
    EXPECT_LE(plane->GetPosition().y, -49.0f);
    EXPECT_GE(plane->GetPosition().y, -50.1f);
    EXPECT_FLOAT_EQ(plane->GetPosition().x, 1000.0f);
}

} // namespace
