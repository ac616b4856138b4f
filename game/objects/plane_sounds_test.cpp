#include "engine/emitter.h"
#include "engine/light.h"
#include "engine/testing/landscape_fixtures.h"
#include "game/testing/plane_world.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(PlaneSpeedCurve, LinearBetweenItsThreePoints)
{
    speed_curve_c curve;
    curve.s[0] = 0.0f;
    curve.v[0] = 0.0f;
    curve.s[1] = 0.5f;
    curve.v[1] = 1.0f;
    curve.s[2] = 1.0f;
    curve.v[2] = 0.5f;
    const std::pair<float, float> cases[] = {{-1.0f, 0.0f},  {0.0f, 0.0f}, {0.25f, 0.5f},
                                             {0.75f, 0.75f}, {1.0f, 0.5f}, {2.0f, 0.5f}};
    for (auto [q, value] : cases)
        EXPECT_FLOAT_EQ(curve.Evaluate(q), value) << q;
    curve.s[1] = 0.0f; // an empty first span gives no NaN
    EXPECT_FLOAT_EQ(curve.Evaluate(0.0f), 0.0f);
    EXPECT_TRUE(std::isfinite(curve.Evaluate(0.25f)));
}

class PlaneSoundsTest : public ::testing::Test {
protected:
    plane_world_c setting;
    test_plane_c* plane = nullptr;

    void SetUp() override
    {
        plane = setting.MakePlane();
        plane->SetPosition(vec3_c(0.0f, 500.0f, 0.0f));
        plane->SetRotation(vec3_c(0.0f, 0.0f, 0.0f));
        plane->SetThrust(1.0f);
    }

    recording_source_c* Source(const char* _file) const { return setting.sound.Find(_file); }
};

TEST_F(PlaneSoundsTest, WindAndNoiseAreSilentBelowTheMinimumVelocity)
{
    plane->SetSpeed(15.0f);
    plane->UpdateSounds(0.1f);
    for (const char* file : {"snd\\wind_l.wav", "snd\\wind_r.wav", "snd\\noise_l.wav", "snd\\noise_r.wav"}) {
        EXPECT_FALSE(Source(file)->playing) << file;
        EXPECT_FLOAT_EQ(Source(file)->volume, -100.0f) << file;
    }
    EXPECT_FLOAT_EQ(plane->turbulence, 0.0f);
}

// At speed 40 of 20..60, q = 0.5: the wind curve gives 1.0 and the noise
// curve (0.2, 0), (0.6, 0.4), (1, 1) gives 0.3, which is the turbulence.
TEST_F(PlaneSoundsTest, WindAndNoiseFollowTheirSpeedCurves)
{
    plane->SetSpeed(40.0f);
    plane->UpdateSounds(0.1f);
    EXPECT_TRUE(Source("snd\\wind_l.wav")->playing);
    EXPECT_NEAR(Source("snd\\wind_r.wav")->volume, 0.0f, 1e-4f);
    EXPECT_NEAR(Source("snd\\noise_l.wav")->volume, GainToDecibel(0.3f), 1e-3f);
    EXPECT_NEAR(plane->turbulence, 0.3f, 1e-5f);
    EXPECT_EQ(Source("snd\\wind_l.wav")->position, vec3_c(-3.0f, 500.0f, 0.0f));
}

// Level at full thrust and 40 of 60: load = 1 - (0.35 / 3 + 0.3 - 0.15).
TEST_F(PlaneSoundsTest, EnginePitchAndGainFollowTheLoad)
{
    plane->SetSpeed(40.0f);
    const float load = 1.0f - (0.35f * (1.0f - 40.0f / 60.0f) + 0.3f - 0.15f);
    EXPECT_NEAR(plane->GetEngineLoad(), load, 1e-5f);
    plane->UpdateSounds(0.1f);
    const recording_source_c* normal = Source("snd\\normal.wav");
    EXPECT_TRUE(normal->playing);
    EXPECT_NEAR(normal->pitch, 0.5f + load, 1e-5f);
    EXPECT_NEAR(normal->volume, 0.0f, 1e-4f);
    EXPECT_EQ(normal->position, vec3_c(0.0f, 500.0f, 2.0f));

    // Faster: the pitch moves a tenth of the way to the new target and the
    // gain drops by the share of the range still to go.
    plane->SetSpeed(60.0f);
    const float target = 0.5f + 0.85f;
    const float pitch = 0.5f + load + (target - 0.5f - load) * 0.1f;
    plane->UpdateSounds(0.1f);
    EXPECT_NEAR(normal->pitch, pitch, 1e-5f);
    EXPECT_NEAR(normal->volume, GainToDecibel(1.0f - (target - pitch)), 1e-3f);
    EXPECT_FALSE(Source("snd\\destr1.wav")->playing);
}

TEST_F(PlaneSoundsTest, DamageStagesPlayTheExplosionOncePerStage)
{
    plane->SetSpeed(40.0f);
    struct stage_c {
        float damage;
        const char* playing;
        int explosions;
    };
    const stage_c stages[] = {{0.0f, "snd\\normal.wav", 0},
                              {0.6f, "snd\\destr1.wav", 1},
                              {0.6f, "snd\\destr1.wav", 1},
                              {0.9f, "snd\\destr2.wav", 2},
                              {1.0f, nullptr, 2}};
    for (const stage_c& stage : stages) {
        plane->damage = stage.damage;
        plane->UpdateSounds(0.1f);
        for (const char* loop : {"snd\\normal.wav", "snd\\destr1.wav", "snd\\destr2.wav"})
            EXPECT_EQ(Source(loop)->playing, stage.playing && std::string(loop) == stage.playing)
                << stage.damage << " " << loop;
        EXPECT_EQ(Source("snd\\explode.wav")->plays, stage.explosions) << stage.damage;
    }
}

TEST_F(PlaneSoundsTest, ClosingTheThrottleOnTheGroundStopsTheEngine)
{
    plane->SetSpeed(0.0f);
    plane->UpdateSounds(0.1f);
    ASSERT_TRUE(Source("snd\\normal.wav")->playing);

    plane->SetThrust(0.1f);
    for (int i = 0; i < 20; ++i)
        plane->UpdateSounds(0.1f);
    EXPECT_EQ(Source("snd\\off.wav")->plays, 1);
    EXPECT_TRUE(Source("snd\\normal.wav")->playing);
    for (int i = 0; i < 15; ++i)
        plane->UpdateSounds(0.1f);
    EXPECT_FALSE(Source("snd\\normal.wav")->playing);
    EXPECT_FALSE(plane->engineRunning);

    plane->SetThrust(1.0f);
    for (int i = 0; i < 5; ++i)
        plane->UpdateSounds(0.1f);
    EXPECT_EQ(Source("snd\\on.wav")->plays, 1);
    EXPECT_TRUE(plane->engineRunning);
    // The engine warms up again: silent for the first second.
    EXPECT_FLOAT_EQ(Source("snd\\on.wav")->volume, 0.0f);
}

TEST_F(PlaneSoundsTest, DeadEngineChokesAndRestartsWithTheUnchoke)
{
    plane->SetSpeed(40.0f);
    plane->UpdateSounds(0.1f);
    plane->engineFactor = 0.0f;
    plane->UpdateSounds(0.1f);
    EXPECT_EQ(Source("snd\\choke.wav")->plays, 1);
    EXPECT_FALSE(Source("snd\\normal.wav")->playing);
    plane->UpdateSounds(0.1f);
    EXPECT_EQ(Source("snd\\choke.wav")->plays, 1);

    plane->engineFactor = 1.0f;
    plane->UpdateSounds(0.1f);
    EXPECT_EQ(Source("snd\\unchoke.wav")->plays, 1);
    EXPECT_TRUE(Source("snd\\normal.wav")->playing);
    // From its lowest pitch a tenth of the way to the target.
    const float target = 0.5f + plane->GetEngineLoad();
    EXPECT_NEAR(Source("snd\\normal.wav")->pitch, 0.5f + (target - 0.5f) * 0.1f, 1e-5f);
}

TEST_F(PlaneSoundsTest, GunSoundsStopTwoTenthsAfterTheLastShot)
{
    plane->SetSpeed(40.0f);
    plane->FireGuns(1.0f);
    plane->UpdateEffects(1.1f);
    plane->UpdateSounds(0.1f);
    EXPECT_TRUE(Source("snd\\gun.wav")->playing);
    EXPECT_TRUE(Source("snd\\shells.wav")->playing);
    plane->UpdateEffects(1.25f);
    plane->UpdateSounds(0.1f);
    EXPECT_FALSE(Source("snd\\gun.wav")->playing);
    EXPECT_FALSE(Source("snd\\shells.wav")->playing);
}

TEST_F(PlaneSoundsTest, GroundRollGrowsWithWheelContactAndSpeed)
{
    plane->SetPosition(vec3_c(0.0f, 1.3f, 0.0f));
    plane->SetSpeed(10.0f);
    ASSERT_TRUE(plane->IsTouchingGround());
    plane->UpdateSounds(0.1f);
    const recording_source_c* roll = Source("snd\\roll.wav");
    EXPECT_TRUE(roll->playing);
    EXPECT_NEAR(roll->volume, GainToDecibel(0.5f * 0.6f), 1e-3f);
    plane->UpdateSounds(0.1f);
    EXPECT_NEAR(roll->volume, GainToDecibel(0.5f * 1.0f), 1e-3f);

    plane->SetPosition(vec3_c(0.0f, 100.0f, 0.0f));
    plane->IsTouchingGround();
    // The level falls 0.3 a step to 0; the next step stops the sound.
    for (int i = 0; i < 4; ++i)
        plane->UpdateSounds(0.1f);
    EXPECT_TRUE(roll->playing);
    plane->UpdateSounds(0.1f);
    EXPECT_FALSE(roll->playing);
}

class PlaneEffectsTest : public ::testing::Test {
protected:
    plane_world_c setting;
    test_plane_c* plane = nullptr;

    void SetUp() override
    {
        auto& files = setting.files.files;
        files["data\\common\\planes\\fx\\smoke.png"] = PictureBytes(4, 4, format_a8r8g8b8, 0x80808080);
        files["data\\common\\planes\\fx\\case1.png"] = PictureBytes(4, 4, format_a8r8g8b8, 0xffc0a040);
        files["data\\common\\planes\\fx\\shoot\\ogien.lws"] = Written(null_object_c("flash"));
        AddTestPlane(files, "planes\\testbird.op", test_plane_file_c(), &setting.renderer);
        auto made = std::make_unique<test_plane_c>();
        made->Load("planes\\testbird.op", &setting.renderer, &setting.scene, &setting.sound, true);
        plane = static_cast<test_plane_c*>(setting.world.AddPlane(std::move(made)));
        plane->SetPosition(vec3_c(0.0f, 500.0f, 0.0f));
        plane->SetRotation(vec3_c(0.0f, 0.0f, 0.0f));
    }

    null_object_c* Find(const char* _name) const
    {
        for (null_object_c* object = setting.scene.GetObjects().GetFirst(); object; object = object->GetNext())
            if (object->GetName() == _name)
                return object;
        return nullptr;
    }
};

TEST_F(PlaneEffectsTest, SmokeShowsDamageBehindThePlane)
{
    auto* smoke = static_cast<emitter_c*>(Find("smoke emitter"));
    ASSERT_NE(smoke, nullptr);
    plane->UpdateEffects(1.0f);
    EXPECT_FALSE(smoke->HasFlags(object_rendered));

    plane->damage = 0.5f;
    plane->UpdateEffects(1.1f);
    EXPECT_TRUE(smoke->HasFlags(object_rendered));
    EXPECT_FLOAT_EQ(smoke->dissolve, 0.5f);
    EXPECT_EQ(smoke->position, vec3_c(0.0f, 500.0f, -2.5f));
    EXPECT_FLOAT_EQ(smoke->GetLifetimeMaximum(), 0.45f);

    plane->sinking = 1;
    plane->UpdateEffects(1.2f);
    EXPECT_FALSE(smoke->HasFlags(object_rendered));
}

TEST_F(PlaneEffectsTest, MuzzleFlashAndShellCasesWhileTheGunsFire)
{
    null_object_c* flash = Find("flash");
    null_object_c* cases = Find("case emitter");
    ASSERT_NE(flash, nullptr);
    ASSERT_NE(cases, nullptr);
    plane->FireGuns(2.0f);
    plane->UpdateEffects(2.05f);
    EXPECT_TRUE(flash->HasFlags(object_rendered));
    EXPECT_TRUE(cases->HasFlags(object_rendered));
    EXPECT_EQ(flash->position, vec3_c(0.5f, 500.5f, 2.0f));
    EXPECT_EQ(cases->position, vec3_c(0.5f, 500.5f, 0.9f));

    plane->UpdateEffects(2.25f);
    EXPECT_FALSE(flash->HasFlags(object_rendered));
    EXPECT_FALSE(cases->HasFlags(object_rendered));
    const light_c* light = setting.scene.GetLights().GetFirst();
    ASSERT_NE(light, nullptr);
    EXPECT_FLOAT_EQ(light->intensity, 0.0f);
}

} // namespace
