#include "game/crowds.h"

#include "engine/scene.h"
#include "engine/testing/landscape_fixtures.h"
#include "engine/testing/recording_renderer.h"
#include "game/testing/bit_identical.h"
#include "game/testing/flat_ground.h"
#include "level/scene_records.h"
#include "level/testing/memory_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

class CrowdTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        files.files["run.vob"] = Written(null_object_c("runner"));
        files.files["walk.vob"] = Written(null_object_c("walker"));
    }

    // An area of 40 x 40 centred at _centre.
    i32 AddArea(const vec3_c& _centre, null_object_c* _terrain = nullptr, f32 _size = 40.0f)
    {
        area_record_c record;
        record.position = _centre;
        record.scale = vec3_c(_size, 1.0f, _size);
        return crowd.AddPath(record, _terrain);
    }

    void Run(const vec3_c& _player, int _frames)
    {
        for (int i = 0; i < _frames; ++i)
            crowd.Update(0.1f, _player);
    }

    bool Inside(const crowd_member_c& _member, const crowd_area_c& _area) const
    {
        return std::fabs(_member.position.x - _area.centre.x) <= 20.0f + 1e-3f &&
               std::fabs(_member.position.z - _area.centre.z) <= 20.0f + 1e-3f;
    }

    memory_file_system_c files;
    recording_renderer_c renderer;
    scene_c scene{"scene", &renderer};
    crowd_c crowd;
};

TEST_F(CrowdTest, FiguresGetPairsOfTheirOwnWithTheirSpeeds)
{
    const i32 first = AddArea(vec3_c(0.0f, 5.0f, 0.0f));
    const i32 second = AddArea(vec3_c(500.0f, 5.0f, 0.0f));
    crowd.Create(first, "run.vob", "walk.vob", 3, &renderer, &scene);
    crowd.Create(second, "run.vob", "walk.vob", 2, &renderer, &scene);
    crowd.Create(7, "run.vob", "walk.vob", 2, &renderer, &scene);
    EXPECT_EQ(10u, scene.GetObjects().GetCount()) << "two models for each of five figures";
    const auto& members = crowd.GetArea(0).members;
    ASSERT_EQ(3u, members.size());
    EXPECT_EQ(3.0f, members[0].models->fleeingSpeed);
    EXPECT_EQ(0.2f, members[0].models->walkingSpeed);
    EXPECT_EQ(5.0f, members[1].models->fleeingSpeed);
    EXPECT_EQ(2.0f, members[1].models->walkingSpeed);
    EXPECT_NE(members[0].models->walking, members[1].models->walking);
    EXPECT_NE(crowd.GetArea(1).members[0].models, members[0].models);
    for (const crowd_member_c& member : members) {
        EXPECT_EQ(crowd_walking, member.state);
        EXPECT_TRUE(member.models->walking->HasFlags(object_rendered));
        EXPECT_FALSE(member.models->fleeing->HasFlags(object_rendered));
        EXPECT_GE(member.waitTime, 10.0f);
        EXPECT_LE(member.waitTime, 20.0f);
    }
}

TEST_F(CrowdTest, ACountFromTheLevelIsBoundedAndANegativeOneMakesNone)
{
    const i32 area = AddArea(vec3_c());
    crowd.Create(area, "run.vob", "walk.vob", -3, &renderer, &scene);
    EXPECT_TRUE(crowd.GetArea(0).members.empty());
    crowd.Create(area, "run.vob", "walk.vob", 1 << 30, &renderer, &scene);
    EXPECT_EQ(static_cast<size_t>(crowd_max_figures), crowd.GetArea(0).members.size());
}

TEST_F(CrowdTest, FleesBelowOneHundredAndWalksAgainFromOneHundredAndFive)
{
    crowd.Create(AddArea(vec3_c(0.0f, 0.0f, 0.0f)), "run.vob", "walk.vob", 1, &renderer, &scene);
    crowd_member_c& member = crowd.GetArea(0).members[0];
    auto player_at = [&](f32 _distance) { return member.position + vec3_c(0.0f, _distance, 0.0f); };

    crowd.Update(0.0f, player_at(102.0f));
    EXPECT_EQ(crowd_walking, member.state) << "102 does not frighten a walker";
    crowd.Update(0.0f, player_at(99.0f));
    EXPECT_EQ(crowd_fleeing, member.state);
    EXPECT_TRUE(member.models->fleeing->HasFlags(object_rendered));
    EXPECT_FALSE(member.models->walking->HasFlags(object_rendered));
    crowd.Update(0.0f, player_at(102.0f));
    EXPECT_EQ(crowd_fleeing, member.state) << "nor calms a runner";
    crowd.Update(0.0f, player_at(105.0f));
    EXPECT_EQ(crowd_walking, member.state);
}

TEST_F(CrowdTest, ARunnerFacesAwayFromThePlayer)
{
    crowd.Create(AddArea(vec3_c(0.0f, 0.0f, 0.0f)), "run.vob", "walk.vob", 1, &renderer, &scene);
    crowd_member_c& member = crowd.GetArea(0).members[0];
    crowd.Update(0.0f, vec3_c(-50.0f, 0.0f, 0.0f));
    crowd.Update(0.0f, vec3_c(-50.0f, 0.0f, 0.0f));
    ASSERT_EQ(crowd_fleeing, member.state);
    const vec3_c facing(euler_c(member.heading, 0.0f, 0.0f));
    EXPECT_NEAR(1.0f, facing.x, 1e-4f);
    EXPECT_EQ(member.heading, member.models->fleeing->rotation.x);
}

TEST_F(CrowdTest, OnlyTheNearestAreaWithinReachMoves)
{
    crowd.Create(AddArea(vec3_c(0.0f, 0.0f, 0.0f)), "run.vob", "walk.vob", 2, &renderer, &scene);
    crowd.Create(AddArea(vec3_c(1000.0f, 0.0f, 0.0f)), "run.vob", "walk.vob", 2, &renderer, &scene);
    const vec3_c far_start = crowd.GetArea(1).members[0].position;
    Run(vec3_c(0.0f, 300.0f, 0.0f), 50);
    EXPECT_EQ(0, crowd.GetCurrentArea());
    EXPECT_EQ(far_start, crowd.GetArea(1).members[0].position) << "the other area stands still";

    crowd_c distant;
    area_record_c record;
    record.position = vec3_c(5000.0f, 0.0f, 0.0f);
    record.scale = vec3_c(40.0f, 1.0f, 40.0f);
    distant.AddPath(record, nullptr);
    distant.Create(0, "run.vob", "walk.vob", 1, &renderer, &scene);
    const vec3_c start = distant.GetArea(0).members[0].position;
    for (int i = 0; i < 50; ++i)
        distant.Update(0.1f, vec3_c(2980.0f, 0.0f, 0.0f));
    EXPECT_EQ(-1, distant.GetCurrentArea()) << "every point 2000 or more away";
    EXPECT_EQ(start, distant.GetArea(0).members[0].position);
}

TEST_F(CrowdTest, FiguresFleeAndReturnAndStayInTheirAreaOnTheGround)
{
    std::unique_ptr<terrain_c> ground = MakeFlatGround(&renderer, 3.0f);
    crowd.Create(AddArea(vec3_c(0.0f, 50.0f, 0.0f), ground.get()), "run.vob", "walk.vob", 6, &renderer, &scene);
    const crowd_area_c& area = crowd.GetArea(0);
    Run(vec3_c(0.0f, 60.0f, 0.0f), 100);
    for (const crowd_member_c& member : area.members) {
        EXPECT_EQ(crowd_fleeing, member.state);
        EXPECT_TRUE(Inside(member, area));
        EXPECT_NEAR(3.0f, member.position.y, 1e-3f) << "on the terrain";
    }
    Run(vec3_c(0.0f, 400.0f, 0.0f), 600);
    for (const crowd_member_c& member : area.members) {
        EXPECT_EQ(crowd_walking, member.state);
        EXPECT_TRUE(Inside(member, area));
        EXPECT_TRUE(std::isfinite(member.heading));
    }
}

TEST_F(CrowdTest, AFigureOffTheMapTurnsInsteadOfMoving)
{
    // The area's box lies beyond the flat ground's edge.
    std::unique_ptr<terrain_c> ground = MakeFlatGround(&renderer, 0.0f);
    crowd.Create(AddArea(vec3_c(4000.0f, 0.0f, 0.0f), ground.get()), "run.vob", "walk.vob", 1, &renderer, &scene);
    crowd_member_c& member = crowd.GetArea(0).members[0];
    const vec3_c start = member.position;
    const f32 heading = member.heading;
    crowd.Update(0.5f, vec3_c(4000.0f, 500.0f, 0.0f));
    EXPECT_EQ(start, member.position);
    EXPECT_NE(heading, member.heading);
}

TEST_F(CrowdTest, AnAreaWithoutSizeKeepsItsFiguresFinite)
{
    crowd.Create(AddArea(vec3_c(10.0f, 1.0f, 10.0f), nullptr, 0.0f), "run.vob", "walk.vob", 2, &renderer, &scene);
    Run(vec3_c(10.0f, 50.0f, 10.0f), 30);
    for (const crowd_member_c& member : crowd.GetArea(0).members) {
        EXPECT_EQ(vec3_c(10.0f, 1.0f, 10.0f), member.position);
        EXPECT_TRUE(std::isfinite(member.heading));
    }
}

TEST_F(CrowdTest, SameStepsGiveBitIdenticalCrowds)
{
    auto run = [this] {
        crowd_c made;
        area_record_c record;
        record.scale = vec3_c(60.0f, 1.0f, 60.0f);
        made.AddPath(record, nullptr);
        made.Create(0, "run.vob", "walk.vob", 5, &renderer, &scene);
        std::vector<f32> state;
        for (int i = 0; i < 400; ++i) {
            made.Update(0.05f, vec3_c(std::sin(i * 0.02f) * 150.0f, 10.0f, 0.0f));
        }
        for (const crowd_member_c& member : made.GetArea(0).members)
            state.insert(state.end(), {member.position.x, member.position.z, member.heading, member.waitTime});
        return state;
    };
    ExpectBitIdenticalRuns(run);
}

} // namespace
