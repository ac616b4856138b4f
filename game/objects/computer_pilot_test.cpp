#include "game/testing/computer_planes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class ComputerPilot : public ::testing::Test {
public:
    plane_world_c setting;
    game_object_plane_ai_c* plane = nullptr;
    ai_pilot_c* pilot = nullptr;

    void SetUp() override
    {
        computer_plane_options_c options;
        options.position = vec3_c(0.0f, 100.0f, 0.0f);
        plane = MakeComputerPlane(setting, options);
        pilot = plane->GetPilot();
    }

    std::vector<ai_manoeuvre_c> FrontToBack() const
    {
        return std::vector<ai_manoeuvre_c>(pilot->GetManoeuvres().begin(), pilot->GetManoeuvres().end());
    }
};

float Distance(const vec3_c& _a, const vec3_c& _b)
{
    return (_a - _b).Length();
}

TEST_F(ComputerPilot, RaiseAboveTerrainLiftsOnlyPointsTooLow)
{
    const struct {
        float y;
        float height;
        bool raised;
        float expected;
    } cases[] = {{-20.0f, 50.0f, true, 50.0f},
                 {30.0f, 50.0f, true, 50.0f},
                 {50.0f, 50.0f, true, 50.0f},
                 {80.0f, 50.0f, false, 80.0f},
                 {150.0f, 200.0f, true, 200.0f}};
    for (const auto& c : cases) {
        vec3_c point(10.0f, c.y, -20.0f);
        EXPECT_EQ(c.raised, pilot->RaiseAboveTerrain(point, c.height)) << c.y;
        EXPECT_FLOAT_EQ(c.expected, point.y) << c.y;
    }
}

TEST_F(ComputerPilot, WithoutTerrainPointsStayAndPathsAreClear)
{
    setting.context.terrain = nullptr;
    setting.Restart();
    vec3_c point(0.0f, -100.0f, 0.0f);
    EXPECT_FALSE(pilot->RaiseAboveTerrain(point, 50.0f));
    EXPECT_EQ(-100.0f, point.y);
    vec3_c hit;
    EXPECT_TRUE(pilot->IsPathClear(vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, -100.0f, 0.0f), hit));
}

TEST_F(ComputerPilot, PathIntoTheGroundIsBlockedWhereItMeetsIt)
{
    vec3_c hit;
    EXPECT_FALSE(pilot->IsPathClear(vec3_c(0.0f, 100.0f, 0.0f), vec3_c(0.0f, -100.0f, 0.0f), hit));
    EXPECT_NEAR(0.0f, hit.y, 0.01f);
    EXPECT_TRUE(pilot->IsPathClear(vec3_c(0.0f, 100.0f, 0.0f), vec3_c(500.0f, 50.0f, 0.0f), hit));
}

TEST_F(ComputerPilot, GotoBelowTheGroundIsLiftedFiftyAboveIt)
{
    pilot->Goto(vec3_c(100.0f, -30.0f, 100.0f));
    EXPECT_FLOAT_EQ(50.0f, pilot->GetCurrentManoeuvre().point.y);
}

TEST_F(ComputerPilot, BombRunApproachesBombsAndClimbsAwayInThatOrder)
{
    const vec3_c target(0.0f, 0.0f, 400.0f);
    pilot->Bomb(target);
    const std::vector<ai_manoeuvre_c> list = FrontToBack();
    ASSERT_EQ(3u, list.size());
    EXPECT_EQ(manoeuvre_goto, list[2].kind) << "first: the approach";
    EXPECT_FLOAT_EQ(0.0f, Distance(list[2].point, target + vec3_c(0.0f, 50.0f, 0.0f)));
    EXPECT_EQ(manoeuvre_bomb, list[1].kind);
    EXPECT_FLOAT_EQ(0.0f, Distance(list[1].point, target));
    EXPECT_EQ(manoeuvre_goto, list[0].kind) << "last: climbing away beyond the target";
    EXPECT_NEAR(0.0f, Distance(list[0].point, vec3_c(0.0f, 150.0f, 550.0f)), 1.0e-3f);
}

TEST_F(ComputerPilot, LandingApproachesThenTouchesDownThenRolls)
{
    const vec3_c touchdown(0.0f, 0.0f, 500.0f);
    const vec3_c direction(0.0f, 0.0f, 800.0f);
    pilot->Land(touchdown, direction);
    const std::vector<ai_manoeuvre_c> list = FrontToBack();
    ASSERT_EQ(3u, list.size());
    EXPECT_EQ(manoeuvre_goto, list[2].kind);
    EXPECT_NEAR(0.0f, Distance(list[2].point, vec3_c(0.0f, 60.0f, 300.0f)), 1.0e-3f);
    EXPECT_EQ(manoeuvre_landing, list[1].kind);
    EXPECT_EQ(0.0f, Distance(list[1].point, touchdown));
    EXPECT_EQ(manoeuvre_landing, list[0].kind);
    EXPECT_EQ(0.0f, Distance(list[0].point, direction));
}

TEST_F(ComputerPilot, DodgeReplacesEveryDodgeAndStaysBelowTheCeiling)
{
    pilot->Goto(vec3_c(0.0f, 300.0f, 1000.0f));
    pilot->Dodge(vec3_c(10.0f, 200.0f, 0.0f));
    pilot->Dodge(vec3_c(20.0f, 1500.0f, 0.0f));
    const std::vector<ai_manoeuvre_c> list = FrontToBack();
    ASSERT_EQ(2u, list.size());
    EXPECT_EQ(manoeuvre_goto, list[0].kind);
    EXPECT_EQ(manoeuvre_dodge, list[1].kind);
    EXPECT_EQ(1400.0f, list[1].point.y);
}

TEST_F(ComputerPilot, GunSightNeedsTheTargetAheadAndNear)
{
    const vec3_c position = plane->GetPosition();
    const struct {
        vec3_c offset;
        bool inSight;
    } cases[] = {{vec3_c(0.0f, 0.0f, 0.0f), false},    {vec3_c(0.0f, 0.0f, 100.0f), true},
                 {vec3_c(0.0f, 0.0f, -100.0f), false}, {vec3_c(0.0f, 0.0f, 500.0f), false},
                 {vec3_c(50.0f, 0.0f, 100.0f), false}, {vec3_c(1.0f, 0.0f, 399.0f), true}};
    for (const auto& c : cases)
        EXPECT_EQ(c.inSight, pilot->InGunSight(position + c.offset)) << c.offset.x << " " << c.offset.z;
}

TEST_F(ComputerPilot, BombIsReleasedWhenThePredictedImpactHasJustPassedThePoint)
{
    // At 50 above the ground, 30 a second along z: the bomb falls 3.2 s and
    // lands 96 ahead, 50 below the plane.
    plane->SetPosition(vec3_c(0.0f, 50.0f, 0.0f));
    const struct {
        float z;
        bool release;
    } cases[] = {{80.0f, true}, {40.0f, true}, {120.0f, false}, {300.0f, false}, {0.0f, false}};
    for (const auto& c : cases)
        EXPECT_EQ(c.release, pilot->AtBombRelease(vec3_c(0.0f, 0.0f, c.z))) << c.z;
    EXPECT_FALSE(pilot->AtBombRelease(vec3_c(0.0f, 200.0f, 100.0f))) << "a point above the plane";
}

TEST_F(ComputerPilot, ManoeuvresEndByTheirKind)
{
    EXPECT_TRUE(pilot->IsManoeuvreDone()) << "nothing to do";
    pilot->Goto(plane->GetPosition() + vec3_c(1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(pilot->IsManoeuvreDone());
    pilot->ClearManoeuvres();
    pilot->Goto(plane->GetPosition() + vec3_c(0.0f, 0.0f, 300.0f));
    EXPECT_FALSE(pilot->IsManoeuvreDone());
    pilot->ClearManoeuvres();
    pilot->Spin();
    EXPECT_FALSE(pilot->IsManoeuvreDone()) << "a spin ends only on the ground";
    pilot->ClearManoeuvres();
    pilot->Dodge(plane->GetPosition() + vec3_c(0.0f, 0.0f, 29.0f));
    EXPECT_TRUE(pilot->IsManoeuvreDone());
}

TEST_F(ComputerPilot, ChaseEndsWhenTheTargetIsDestroyed)
{
    computer_plane_options_c other;
    other.seed = 4;
    other.position = vec3_c(0.0f, 200.0f, 300.0f);
    game_object_plane_ai_c* target = MakeComputerPlane(setting, other);
    pilot->Trace(target);
    EXPECT_FALSE(pilot->IsManoeuvreDone());
    target->destroyed = 1;
    EXPECT_TRUE(pilot->IsManoeuvreDone());
}

TEST_F(ComputerPilot, StartleShakesWithinItsRanges)
{
    for (int i = 0; i < 20; ++i) {
        const vec3_c before = pilot->GetPerturbation();
        pilot->Startle(2.0f);
        const vec3_c change = pilot->GetPerturbation() - before;
        EXPECT_GE(change.x, 4.0f);
        EXPECT_LE(change.x, 8.0f);
        EXPECT_GE(std::fabs(change.y), 1.0f);
        EXPECT_LE(std::fabs(change.y), 1.4f);
        EXPECT_GE(std::fabs(change.z), 8.0f);
        EXPECT_LE(std::fabs(change.z), 12.0f);
    }
}

TEST_F(ComputerPilot, SkillSetsReactionAndLeadTime)
{
    pilot->SetSkill(0.8f);
    EXPECT_EQ(-0.8f, pilot->GetReaction());
    EXPECT_EQ(0.4f, pilot->GetLeadTime());
    setting.context.networkGame = true;
    setting.Restart();
    EXPECT_EQ(-1.0f, pilot->GetReaction()) << "every pilot of a network game";
}

TEST_F(ComputerPilot, PlanesTooCloseSwerveAndCollide)
{
    computer_plane_options_c other;
    other.seed = 6;
    other.position = plane->GetPosition() + vec3_c(0.0f, 1.0f, 3.0f);
    game_object_plane_ai_c* near = MakeComputerPlane(setting, other);
    EXPECT_TRUE(pilot->ScanPlanes());
    EXPECT_TRUE(plane->destroyed);
    EXPECT_TRUE(near->destroyed);
}

TEST_F(ComputerPilot, SeenEnemyIsChasedFromAPatrol)
{
    computer_plane_options_c enemy;
    enemy.seed = 8;
    enemy.file.iff = -1;
    enemy.position = plane->GetPosition() + vec3_c(0.0f, 0.0f, 250.0f);
    game_object_plane_ai_c* target = MakeComputerPlane(setting, enemy);
    plane->OrderPatrol(vec3_c(), 1000.0f, true);
    EXPECT_FALSE(pilot->ScanPlanes());
    EXPECT_EQ(2, pilot->GetSightState(target));
    const ai_manoeuvre_c current = pilot->GetCurrentManoeuvre();
    EXPECT_EQ(manoeuvre_trace, current.kind);
    EXPECT_EQ(target, current.object);
}

TEST_F(ComputerPilot, TerrainAheadMakesThePilotDodge)
{
    plane->SetPosition(vec3_c(0.0f, 30.0f, 0.0f));
    plane->SetRotation(vec3_c(0.0f, 0.6f, 0.0f));
    ASSERT_LT(plane->GetForward().y, -0.3f) << "the nose points at the ground";
    pilot->Goto(vec3_c(0.0f, 300.0f, 2000.0f));
    pilot->Step(0.0f);
    pilot->CheckTerrainAhead();
    pilot->Step(0.02f);
    EXPECT_EQ(manoeuvre_dodge, pilot->GetCurrentManoeuvre().kind);
}

} // namespace
