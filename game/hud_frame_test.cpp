#include "game/hud_frame.h"

#include "game/testing/plane_world.h"

#include <gtest/gtest.h>

namespace {

class HudFrame : public ::testing::Test {
protected:
    plane_world_c setting;
};

TEST_F(HudFrame, PlayersPlaneGivesPlaceGunsWeaponsAndTheNearestPlanes)
{
    test_plane_c* player = setting.MakePlane();
    player->side = 1;
    player->SetPosition(vec3_c(0.0f, 100.0f, 0.0f));
    player->SetWeapons(3, 12, nullptr, nullptr);
    test_plane_c* friendly = setting.MakePlane(test_plane_file_c(), object_plane_ai, false);
    friendly->side = 1;
    friendly->SetPosition(vec3_c(50.0f, 100.0f, 0.0f));
    test_plane_c* enemy = setting.MakePlane(test_plane_file_c(), object_plane_ai, false);
    enemy->side = -1;
    enemy->SetPosition(vec3_c(0.0f, 100.0f, -70.0f));
    test_plane_c* downed = setting.MakePlane(test_plane_file_c(), object_plane_ai, false);
    downed->side = -1;
    downed->destroyed = 1;

    camera_c camera("camera");
    const hud_frame_c frame = GatherHudFrame(2.5f, player, setting.world, &camera);
    EXPECT_EQ(2.5f, frame.time);
    EXPECT_EQ(&camera, frame.camera);
    EXPECT_EQ(vec3_c(0.0f, 100.0f, 0.0f), frame.playerPosition);
    EXPECT_FLOAT_EQ(0.5f, frame.gunOffset) << "both guns 0.5 up";
    EXPECT_EQ(0.0f, frame.gunHeat);
    EXPECT_EQ(3, frame.rockets);
    EXPECT_EQ(12, frame.bombs);
    EXPECT_FALSE(frame.playerDestroyed);
    EXPECT_EQ(vec3_c(50.0f, 100.0f, 0.0f), frame.nearestFriendly);
    EXPECT_EQ(vec3_c(0.0f, 100.0f, -70.0f), frame.nearestEnemy);
    EXPECT_EQ(2, frame.alliedCount);
    EXPECT_EQ(1, frame.germanCount) << "the destroyed plane does not count";
}

TEST_F(HudFrame, WithoutAPlayersPlaneOnlyTheCountsAreGiven)
{
    test_plane_c* enemy = setting.MakePlane(test_plane_file_c(), object_plane_ai, false);
    enemy->side = -1;
    const hud_frame_c frame = GatherHudFrame(1.0f, nullptr, setting.world, nullptr);
    EXPECT_TRUE(frame.playerDestroyed);
    EXPECT_EQ(1, frame.germanCount);
    EXPECT_EQ(0, frame.alliedCount);
    EXPECT_EQ(0, frame.rockets);
}

} // namespace
