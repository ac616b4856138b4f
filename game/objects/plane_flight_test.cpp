#include "engine/scene.h"
#include "engine/testing/recording_renderer.h"
#include "game/game_world.h"
#include "game/testing/flat_ground.h"
#include "game/testing/plane_fixtures.h"
#include "game/testing/test_plane.h"
#include "level/object_template.h"
#include "level/testing/memory_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

constexpr float step = 0.02f;

class PlaneFlightTest : public ::testing::Test {
protected:
    recording_renderer_c renderer;
    scene_c scene{"scene", &renderer};
    memory_file_system_c files;
    std::unique_ptr<terrain_c> ground = MakeFlatGround(&renderer);
    game_world_context_c context;
    game_world_c world;
    test_plane_file_c file;
    test_plane_c* plane = nullptr;
    float time = 0.0f;

    void SetUp() override
    {
        context.scene = &scene;
        context.terrain = ground.get();
        world.Init(context);
    }

    test_plane_c* Make(int _type = object_plane_user)
    {
        AddTestPlane(files.files, "planes\\testbird.op", file, &renderer);
        auto made = std::make_unique<test_plane_c>(_type);
        made->Load("planes\\testbird.op", &renderer, &scene, nullptr, false);
        plane = static_cast<test_plane_c*>(world.AddPlane(std::move(made)));
        return plane;
    }

    void Place(const vec3_c& _position, float _heading, float _speed)
    {
        plane->SetPosition(_position);
        plane->SetRotation(vec3_c(_heading, 0.0f, 0.0f));
        plane->SetSpeed(_speed);
    }

    // Steps the world for _seconds, calling _each after every step.
    void Fly(float _seconds, const std::function<void()>& _each = nullptr)
    {
        const int steps = static_cast<int>(std::lround(_seconds / step));
        for (int i = 0; i < steps; ++i) {
            time += step;
            world.Process(time);
            if (_each)
                _each();
        }
    }
};

// A plane file with velocities 20 to 60 and thrust 0.1 to 1: at full thrust
// the level cruise speed is 20 + 0.5 x 40 = 40 and no attitude drives the
// target speed past 40 + 20 = 60.
TEST_F(PlaneFlightTest, TakeOffClimbLevelTurnAndLandByControls)
{
    Make();
    Place(vec3_c(0.0f, 1.4f, -2000.0f), 0.0f, 0.0f);
    plane->SetThrust(1.0f);
    float highest = 0.0f;
    auto watch = [&] {
        ASSERT_GE(plane->GetSpeed(), 0.0f);
        ASSERT_LE(plane->GetSpeed(), 60.0f);
        ASSERT_EQ(plane->crashes, 0);
        highest = std::fmax(highest, plane->GetAltitude());
    };

    // Take-off run: on the wheels, gathering speed along +z.
    Fly(6.0f, watch);
    EXPECT_TRUE(plane->HasWheelContact());
    EXPECT_GT(plane->GetSpeed(), 10.0f);
    EXPECT_LT(plane->GetAltitude(), 2.0f);
    EXPECT_NEAR(plane->GetPosition().x, 0.0f, 0.5f);
    Fly(6.0f, watch);
    EXPECT_GE(plane->GetSpeed(), 20.0f);

    // Climb: the stick pulled for 2 s.
    plane->pitch = 0.3f;
    Fly(2.0f, watch);
    plane->pitch = 0.0f;
    Fly(11.0f, watch);
    EXPECT_GT(plane->GetAltitude(), 150.0f);
    EXPECT_LT(plane->GetRotation().y, 0.0f); // nose up

    // Level flight: auto-level brings the nose to the horizon at cruise.
    plane->SetAutoLevel(true);
    Fly(5.0f, watch);
    plane->SetAutoLevel(false);
    const vec3_c before = plane->GetPosition();
    Fly(1.0f, watch);
    EXPECT_NEAR(plane->GetPosition().y, before.y, 1.0f);
    EXPECT_GT(plane->GetSpeed(), 20.0f);
    EXPECT_LT(plane->GetSpeed(), 40.0f);
    EXPECT_NEAR(plane->GetRotation().z, 0.0f, 0.05f);

    // Turn: a second of roll banks the plane, and the bank turns it.
    const float heading = plane->GetRotation().x;
    plane->roll = 0.5f;
    Fly(1.0f, watch);
    plane->roll = 0.0f;
    EXPECT_GT(std::fabs(plane->GetRotation().z), 0.5f);
    Fly(5.0f, watch);
    plane->SetAutoLevel(true);
    Fly(4.0f, watch);
    EXPECT_GT(std::fabs(plane->GetRotation().x - heading), 0.5f);
    EXPECT_NEAR(plane->GetRotation().z, 0.0f, 0.1f);

    // Landing: throttle closed, nose gently down, levelled near the ground.
    plane->SetThrust(0.0f);
    EXPECT_FLOAT_EQ(plane->GetThrust(), 0.1f);
    plane->SetAutoLevel(false);
    bool touched = false;
    Fly(20.0f, [&] {
        watch();
        plane->pitch = plane->GetAltitude() > 8.0f ? -0.05f : 0.0f;
        plane->SetAutoLevel(plane->GetAltitude() <= 8.0f);
        touched = touched || plane->HasWheelContact();
    });
    EXPECT_TRUE(touched);

    // Ground stop: with the throttle closed the plane comes to rest.
    const vec3_c stopped = plane->GetPosition();
    Fly(5.0f, watch);
    EXPECT_FLOAT_EQ(plane->GetSpeed(), 0.0f);
    EXPECT_NEAR((plane->GetPosition() - stopped).Length(), 0.0f, 0.01f);
    EXPECT_LT(plane->GetAltitude(), 2.0f);
    EXPECT_FALSE(plane->IsWrecked());
    EXPECT_GT(highest, 200.0f);
}

TEST_F(PlaneFlightTest, AZeroStepNeitherChangesSpeedNorMoves)
{
    Make();
    Place(vec3_c(0.0f, 300.0f, 0.0f), 0.0f, 33.0f);
    plane->UpdateFlight(0.0f);
    EXPECT_FLOAT_EQ(plane->GetSpeed(), 33.0f);
    EXPECT_EQ(plane->GetPosition(), vec3_c(0.0f, 300.0f, 0.0f));
}

// Beyond 2800 a plane flying away is turned home about the up axis by
// (distance - 2800) x k x 0.005 per second, the distance taken after the
// step's advance (4 units at 40 per second for 0.1 s); one flying homeward
// is not.
TEST_F(PlaneFlightTest, MapBoundaryTurnsPlanesHome)
{
    Make();
    struct case_c {
        vec3_c position;
        float heading;
        float turn_per_second;
    };
    const float half_pi = 1.5707964f;
    // Straight away (k = 0.5): 104 x 0.5 x 0.005 and 54 x 0.5 x 0.005.
    const case_c cases[] = {
        {vec3_c(2900.0f, 300.0f, 0.0f), half_pi, 0.26f},
        {vec3_c(2900.0f, 300.0f, 0.0f), -half_pi, 0.0f},
        {vec3_c(0.0f, 300.0f, -2850.0f), 3.14159265f, 0.135f},
        {vec3_c(2700.0f, 300.0f, 0.0f), half_pi, 0.0f},
    };
    for (const case_c& c : cases) {
        Place(c.position, c.heading, 40.0f);
        const mat3_c before = plane->GetAttitude();
        plane->UpdateFlight(0.1f);
        const mat3_c& after = plane->GetAttitude();
        const vec3_c f0(before.m[2][0], before.m[2][1], before.m[2][2]);
        const vec3_c f1(after.m[2][0], after.m[2][1], after.m[2][2]);
        const float angle = std::acos(std::fmin(1.0f, Dot(f0, f1)));
        EXPECT_NEAR(angle, c.turn_per_second * 0.1f, 2e-4f) << c.position.x << " " << c.position.z;
    }
}

TEST_F(PlaneFlightTest, WithoutTerrainTheAltitudeIsTenThousandAndNoWheelTouches)
{
    context.terrain = nullptr;
    world.Init(context);
    Make();
    Place(vec3_c(0.0f, -3.0f, 0.0f), 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(plane->GetAltitude(), 10000.0f);
    EXPECT_FALSE(plane->IsTouchingGround());
    plane->UpdateGroundContact(0.1f);
    EXPECT_EQ(plane->GetPosition(), vec3_c(0.0f, -3.0f, 0.0f));
    EXPECT_FALSE(plane->CheckTerrainCollision(false));
}

TEST_F(PlaneFlightTest, AltitudeIsTheHeightAboveTheGround)
{
    ground = MakeFlatGround(&renderer, 50.0f);
    context.terrain = ground.get();
    world.Init(context);
    Make();
    Place(vec3_c(100.0f, 80.0f, 100.0f), 0.0f, 30.0f);
    EXPECT_NEAR(plane->GetAltitude(), 30.0f, 1e-3f);
    EXPECT_TRUE(plane->IsFlyable());
    plane->SetSpeed(10.0f);
    EXPECT_FALSE(plane->IsFlyable());
    Place(vec3_c(100.0f, 50.5f, 100.0f), 0.0f, 0.0f);
    EXPECT_TRUE(plane->IsFlyable());
    EXPECT_TRUE(plane->IsTouchingGround());
}

TEST_F(PlaneFlightTest, DiveIntoTheGroundCrashesOnce)
{
    Make();
    Place(vec3_c(0.0f, 60.0f, 0.0f), 0.0f, 50.0f);
    plane->SetRotation(vec3_c(0.0f, 1.2f, 0.0f)); // nose down
    Fly(5.0f);
    EXPECT_EQ(plane->crashes, 1);
    EXPECT_TRUE(plane->IsWrecked());
    EXPECT_TRUE(plane->destroyed);
    EXPECT_NEAR(plane->GetPosition().y, -0.5f, 1e-3f);
}

// Velocities and thrusts with empty ranges give finite numbers everywhere.
TEST_F(PlaneFlightTest, EqualRangesInThePlaneFileGiveNoNaN)
{
    file.minVelocity = 30.0f;
    file.maxVelocity = 30.0f;
    file.minThrust = 0.0f;
    file.maxThrust = 0.0f;
    Make();
    Place(vec3_c(0.0f, 300.0f, 0.0f), 0.0f, 0.0f);
    plane->roll = 0.3f;
    Fly(3.0f);
    Place(vec3_c(0.0f, 1.4f, 0.0f), 0.0f, 5.0f);
    Fly(3.0f);
    const vec3_c p = plane->GetPosition();
    const vec3_c r = plane->GetRotation();
    for (float value : {p.x, p.y, p.z, r.x, r.y, r.z, plane->GetSpeed(), plane->GetEngineLoad()})
        EXPECT_TRUE(std::isfinite(value));
}

TEST(PlaneAttitude, AnglesOfAnAttitudeMatrixGiveItBack)
{
    const vec3_c cases[] = {vec3_c(0.0f, 0.0f, 0.0f), vec3_c(1.0f, 0.2f, -0.4f), vec3_c(-2.5f, -0.7f, 0.9f),
                            vec3_c(3.0f, 0.1f, 2.0f), vec3_c(0.3f, 1.2f, -1.5f)};
    for (const vec3_c& angles : cases) {
        mat3_c attitude;
        attitude.SetEuler(euler_c(angles.x, angles.y, angles.z));
        mat3_c again;
        const vec3_c derived = AttitudeAngles(attitude);
        again.SetEuler(euler_c(derived.x, derived.y, derived.z));
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                EXPECT_NEAR(again.m[row][column], attitude.m[row][column], 1e-5f)
                    << angles.x << " " << angles.y << " " << angles.z;
    }
}

} // namespace
