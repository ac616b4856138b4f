#include "game/game_camera.h"

#include "engine/camera.h"
#include "engine/scene.h"
#include "engine/testing/recording_renderer.h"
#include "game/testing/flat_ground.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr f32 tolerance = 1e-4f;
constexpr f32 half_pi = 1.5707964f;

void ExpectNear(const vec3_c& _expected, const vec3_c& _actual, f32 _tolerance = tolerance)
{
    EXPECT_NEAR(_expected.x, _actual.x, _tolerance);
    EXPECT_NEAR(_expected.y, _actual.y, _tolerance);
    EXPECT_NEAR(_expected.z, _actual.z, _tolerance);
}

camera_target_c Target(const vec3_c& _position, const vec3_c& _rotation = vec3_c())
{
    camera_target_c target;
    target.position = _position;
    target.rotation = _rotation;
    return target;
}

class GameCamera : public ::testing::Test {
protected:
    recording_renderer_c renderer{640, 480};
    std::unique_ptr<terrain_c> ground = MakeFlatGround(&renderer, 0.0f);
    game_camera_c camera;
};

TEST_F(GameCamera, SetModeGivesTheCockpitItsWideZoom)
{
    const struct {
        i32 mode;
        f32 zoom;
    } cases[] = {{0, 1.5f}, {1, 3.2f}, {2, 3.2f}, {3, 3.2f}, {4, 3.2f}, {5, 3.2f}, {6, 3.2f}};
    for (const auto& c : cases) {
        camera.SetMode(c.mode);
        EXPECT_EQ(c.mode, camera.GetMode());
        EXPECT_EQ(c.zoom, camera.GetCamera()->zoom) << c.mode;
        EXPECT_TRUE(camera.IsChanged());
    }
}

TEST_F(GameCamera, InitTakesTheScenesCameraOrAddsOne)
{
    scene_c empty("level", &renderer);
    camera.Init(&empty);
    ASSERT_NE(nullptr, empty.GetActiveCamera());
    EXPECT_EQ(empty.GetActiveCamera(), camera.GetCamera());
    EXPECT_STREQ("game_camera", camera.GetCamera()->GetName());

    scene_c with_camera("level", &renderer);
    camera_c* own = with_camera.CreateCamera("scene camera");
    game_camera_c other;
    other.Init(&with_camera);
    EXPECT_EQ(own, other.GetCamera());
    other.Init(nullptr);
    EXPECT_NE(own, other.GetCamera());
}

TEST_F(GameCamera, CockpitSitsAtTheInsideShiftAndLooksWithTheHead)
{
    camera.SetMode(camera_cockpit);
    const camera_target_c target = Target(vec3_c(100.0f, 50.0f, 200.0f), vec3_c(half_pi, 0.0f, 0.0f));
    camera.Update(1.0, target, ground.get());
    // (0, 0.75, -0.9) turned a quarter to the right.
    ExpectNear(vec3_c(99.1f, 50.75f, 200.0f), camera.GetPosition());
    ExpectNear(vec3_c(0.0f, 0.18f, 0.0f), camera.GetRotation());
    ExpectNear(target.rotation, camera.GetCamera()->pivotRotation);

    const struct {
        f32 x, y;
        vec3_c rotation;
    } looks[] = {
        {0.5f, -0.5f, vec3_c(1.1f, 0.18f - 0.75f, 0.0f)},
        {-1.0f, 0.5f, vec3_c(-2.2f, 0.18f + 0.4f, 0.0f)},
        {0.0f, 0.0f, vec3_c(0.0f, 0.18f, 0.0f)},
    };
    camera.SetLookActive(true);
    for (const auto& look : looks) {
        camera.SetLook(look.x, look.y);
        camera.Update(1.1, target, ground.get());
        ExpectNear(look.rotation, camera.GetRotation());
    }
}

TEST_F(GameCamera, CockpitShakesOnlyAboveWalkingSpeed)
{
    camera.SetMode(camera_cockpit);
    camera_target_c target = Target(vec3_c(0.0f, 100.0f, 0.0f));
    target.speed = 1.0f;
    for (int i = 0; i <= 20; ++i)
        camera.Update(0.1 * i, target, nullptr);
    EXPECT_EQ(0.0f, camera.GetShake().x);
    EXPECT_EQ(0.0f, camera.GetShake().y);
    EXPECT_EQ(0.0f, camera.GetShake().z) << "no vibration, no shake";

    target.vibration = 1.0f;
    camera.Update(2.1, target, nullptr);
    EXPECT_EQ(0.0f, camera.GetShake().x);
    EXPECT_NE(0.0f, camera.GetShake().z) << "the vibration term applies at any speed";
    EXPECT_LE(std::fabs(camera.GetShake().z), 0.005f);

    target.vibration = 0.0f;
    target.speed = 30.0f;
    for (int i = 22; i <= 40; ++i)
        camera.Update(0.1 * i, target, nullptr);
    EXPECT_NE(0.0f, camera.GetShake().x);
    EXPECT_LE(std::fabs(camera.GetShake().x), 0.02f);
    ExpectNear(target.rotation + camera.GetShake(), camera.GetCamera()->pivotRotation);
}

TEST_F(GameCamera, ShakeRepeatsForTheSameFlight)
{
    game_camera_c other;
    camera_target_c target = Target(vec3_c(0.0f, 100.0f, 0.0f));
    target.speed = 30.0f;
    target.vibration = 0.5f;
    for (game_camera_c* c : {&camera, &other}) {
        c->SetMode(camera_cockpit);
        for (int i = 0; i < 30; ++i)
            c->Update(0.05 * i, target, nullptr);
    }
    EXPECT_EQ(camera.GetShake().x, other.GetShake().x);
    EXPECT_EQ(camera.GetShake().y, other.GetShake().y);
    EXPECT_EQ(camera.GetShake().z, other.GetShake().z);
}

TEST_F(GameCamera, BehindTakesItsFrameAtOnceAfterAModeChange)
{
    camera.SetMode(camera_behind);
    camera.Update(1.0, Target(vec3_c(0.0f, 100.0f, 0.0f)), ground.get());
    EXPECT_FALSE(camera.IsChanged());
    // 12.5 back along the look axis and 4 up.
    ExpectNear(vec3_c(0.0f, 104.0f, -12.5f), camera.GetPosition());
    ExpectNear(vec3_c(0.0f, 0.0f, 0.0f), camera.GetRotation());
}

TEST_F(GameCamera, BehindRollsWithABankedPlane)
{
    const f32 bank = 0.3f;
    camera.SetMode(camera_behind);
    camera.Update(1.0, Target(vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, 0.0f, bank)), ground.get());
    ExpectNear(vec3_c(-4.0f * std::sin(bank), 100.0f + 4.0f * std::cos(bank), -12.5f), camera.GetPosition());
    ExpectNear(vec3_c(0.0f, 0.0f, bank), camera.GetRotation());
}

TEST_F(GameCamera, BehindTurnsTowardTheGoalThreeTimesTheStep)
{
    camera.SetMode(camera_behind);
    camera.Update(1.0, Target(vec3_c(0.0f, 100.0f, 0.0f)), ground.get());
    const f32 heading = 0.5f;
    camera.Update(1.1, Target(vec3_c(0.0f, 100.0f, 0.0f), vec3_c(heading, 0.0f, 0.0f)), ground.get());
    // The look axis moved 0.3 of the way from +z to the new heading.
    const f32 expected = std::atan2(0.3f * std::sin(heading), 0.7f + 0.3f * std::cos(heading));
    EXPECT_NEAR(expected, camera.GetRotation().x, tolerance);
    EXPECT_NEAR(0.0f, camera.GetRotation().y, tolerance);
    EXPECT_NEAR(0.0f, camera.GetRotation().z, tolerance);
}

TEST_F(GameCamera, BehindLookViewFacesThePlaneFromAhead)
{
    camera.SetMode(camera_behind);
    camera.Update(1.0, Target(vec3_c(0.0f, 100.0f, 0.0f)), ground.get());
    camera.SetLookActive(true);
    camera.Update(1.1, Target(vec3_c(0.0f, 100.0f, 0.0f)), ground.get());
    ExpectNear(vec3_c(0.15f, 102.25f, 15.0f), camera.GetPosition());
    EXPECT_TRUE(camera.IsChanged());
    // Facing back toward the plane.
    const euler_c toward(vec3_c(-0.15f, -2.25f, -15.0f));
    ExpectNear(vec3_c(toward.heading, toward.pitch, 0.0f), camera.GetRotation());
}

TEST_F(GameCamera, GunsViewSitsOverTheGunsOrBehindWhenLooking)
{
    camera.SetMode(camera_guns);
    const camera_target_c target = Target(vec3_c(0.0f, 100.0f, 0.0f), vec3_c(half_pi, 0.0f, 0.0f));
    camera.Update(1.0, target, ground.get());
    ExpectNear(vec3_c(0.0f, 100.75f, 0.0f), camera.GetPosition());
    ExpectNear(vec3_c(), camera.GetRotation());
    ExpectNear(target.rotation, camera.GetCamera()->pivotRotation);

    camera.SetLookActive(true);
    camera.Update(1.1, target, ground.get());
    ExpectNear(vec3_c(-10.0f, 100.0f, 0.0f), camera.GetPosition());
    EXPECT_NEAR(half_pi, camera.GetRotation().x, tolerance);
    EXPECT_FALSE(camera.GetCamera()->hasPivotRotation);
}

TEST_F(GameCamera, FlyByJumpsAheadOnlyWhenLeftFarBehind)
{
    camera.SetMode(camera_fly_by);
    camera.Update(1.0, Target(vec3_c(0.0f, 100.0f, 300.0f)), ground.get());
    const vec3_c placed = camera.GetPosition();
    EXPECT_NEAR(100.0f, placed.y, tolerance);
    EXPECT_NEAR(50.0f, (placed - vec3_c(0.0f, 100.0f, 300.0f)).Length(), 1e-3f);
    EXPECT_GE(placed.z, 300.0f + 50.0f * std::cos(std::atan(0.4f)) - 1e-3f);

    // Within 150 the camera stays and turns after the plane.
    camera.Update(1.1, Target(vec3_c(0.0f, 100.0f, 440.0f)), ground.get());
    ExpectNear(placed, camera.GetPosition());
    const euler_c toward(vec3_c(0.0f, 100.0f, 440.0f) - placed);
    EXPECT_NEAR(toward.heading, camera.GetRotation().x, tolerance);

    // A plane low over the ground gets a camera 10 above the ground.
    camera.Update(1.2, Target(vec3_c(0.0f, 2.0f, 2000.0f)), ground.get());
    EXPECT_NEAR(10.0f, camera.GetPosition().y, 1e-3f);
}

TEST_F(GameCamera, OrbitCirclesItsCentreAndStopsGrowingAtTheLimit)
{
    camera.SetMode(camera_orbit);
    const vec3_c centre(10.0f, 100.0f, 20.0f);
    camera.Update(1.0, Target(centre), nullptr);
    const f32 unit = 1.0f / std::sqrt(1.04f);
    ExpectNear(centre + vec3_c(0.0f, 0.2f, 1.0f) * (40.0f * unit), camera.GetPosition(), 1e-3f);
    ExpectNear(centre, camera.GetOrbitCentre());

    // The centre stays where the orbit began.
    camera.Update(2.0, Target(vec3_c(500.0f, 100.0f, 0.0f)), nullptr);
    ExpectNear(centre, camera.GetOrbitCentre());
    EXPECT_NEAR(0.09f, camera.GetOrbitAngle(), tolerance);
    EXPECT_NEAR(60.0f, camera.GetOrbitDistance(), tolerance);
    vec3_c out(0.0f, 0.2f, 1.0f);
    out.Rotate(1, 0.09f);
    // The placement used the angle and distance before this frame's step.
    camera.Update(2.0, Target(vec3_c()), nullptr);
    ExpectNear(centre + out * (60.0f * unit), camera.GetPosition(), 1e-3f);

    for (int i = 1; i <= 100; ++i)
        camera.Update(2.0 + 0.1 * i, Target(centre), nullptr);
    EXPECT_GE(camera.GetOrbitDistance(), game_camera_c::orbit_limit);
    EXPECT_LT(camera.GetOrbitDistance(), game_camera_c::orbit_limit + 2.0f + tolerance);

    camera.SetMode(camera_orbit);
    EXPECT_EQ(40.0f, camera.GetOrbitDistance());
    EXPECT_EQ(0.0f, camera.GetOrbitAngle());
    camera.Update(13.0, Target(vec3_c(-50.0f, 80.0f, 0.0f)), nullptr);
    ExpectNear(vec3_c(-50.0f, 80.0f, 0.0f), camera.GetOrbitCentre());
}

TEST_F(GameCamera, OrbitStaysAboveTheGround)
{
    camera.SetMode(camera_orbit);
    camera.Update(1.0, Target(vec3_c(0.0f, 0.5f, 0.0f)), ground.get());
    EXPECT_NEAR(10.0f, camera.GetPosition().y, 1e-3f);
}

TEST_F(GameCamera, HighViewLooksDownFromBehindTheHeading)
{
    camera.SetMode(camera_high);
    // Bank and pitch do not move it.
    camera.Update(1.0, Target(vec3_c(0.0f, 100.0f, 0.0f), vec3_c(half_pi, 0.4f, 0.7f)), ground.get());
    ExpectNear(vec3_c(-10.5f, 135.0f, 0.0f), camera.GetPosition());
    const euler_c toward(vec3_c(10.5f, -35.0f, 0.0f));
    ExpectNear(vec3_c(toward.heading, toward.pitch, 0.0f), camera.GetRotation());
}

TEST_F(GameCamera, CutSceneKeepsWhatTheScriptSet)
{
    camera.SetMode(camera_cut_scene);
    camera.SetPosition(vec3_c(1.0f, 2.0f, 3.0f));
    camera.SetRotation(vec3_c(0.1f, 0.2f, 0.3f));
    camera.Update(1.0, Target(vec3_c(500.0f, 100.0f, 0.0f)), ground.get());
    ExpectNear(vec3_c(1.0f, 2.0f, 3.0f), camera.GetPosition());
    ExpectNear(vec3_c(0.1f, 0.2f, 0.3f), camera.GetRotation());
    ExpectNear(vec3_c(1.0f, 2.0f, 3.0f), camera.GetCamera()->GetMatrix().GetPosition());
}

TEST_F(GameCamera, ClampAboveGroundRaisesOnlyLowPoints)
{
    const struct {
        f32 y;
        f32 expected;
    } cases[] = {{5.0f, 10.0f}, {-3.0f, 10.0f}, {10.0f, 10.0f}, {15.0f, 15.0f}};
    for (const auto& c : cases)
        EXPECT_NEAR(c.expected, game_camera_c::ClampAboveGround(vec3_c(7.0f, c.y, -9.0f), 10.0f, ground.get()).y, 1e-3f)
            << c.y;
    ExpectNear(vec3_c(7.0f, 5.0f, 0.0f), game_camera_c::ClampAboveGround(vec3_c(7.0f, 5.0f, 0.0f), 10.0f, nullptr));
    // Beyond the terrain's edge nothing is hit.
    ExpectNear(vec3_c(9000.0f, 5.0f, 0.0f),
               game_camera_c::ClampAboveGround(vec3_c(9000.0f, 5.0f, 0.0f), 10.0f, ground.get()));
}

TEST_F(GameCamera, NoTargetGivesNoNaN)
{
    for (i32 mode = 0; mode <= 6; ++mode) {
        game_camera_c fresh;
        fresh.SetMode(mode);
        fresh.SetLookActive(mode % 2 == 0);
        for (int i = 0; i < 3; ++i)
            fresh.Update(0.1 * i, camera_target_c(), nullptr);
        const vec3_c p = fresh.GetPosition();
        const vec3_c r = fresh.GetRotation();
        for (f32 v : {p.x, p.y, p.z, r.x, r.y, r.z})
            EXPECT_TRUE(std::isfinite(v)) << "mode " << mode;
        for (const auto& row : fresh.GetViewMatrix().m)
            for (f32 v : row)
                EXPECT_TRUE(std::isfinite(v)) << "mode " << mode;
    }
}

} // namespace
