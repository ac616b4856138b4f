#include "game/game_map.h"

#include "engine/scene.h"
#include "engine/testing/landscape_fixtures.h"
#include "engine/testing/recording_renderer.h"
#include "game/game_world.h"
#include "game/map_position.h"
#include "game/testing/hud_files.h"
#include "game/testing/mission_doubles.h"
#include "level/testing/memory_files.h"

#include <gtest/gtest.h>

using namespace game_testing;

namespace {

constexpr f32 pi = 3.14159265f;

class GameMap : public ::testing::Test {
protected:
    memory_file_system_c files;
    recording_renderer_c renderer{640, 480};
    journal_t journal;
    game_world_c world;
    game_map_c map;

    void SetUp() override
    {
        AddHudFiles(files.files, &renderer);
        world.Init(game_world_context_c());
    }
    test_object_c* AddPlane(int _type, int _side, const vec3_c& _position, f32 _heading)
    {
        auto plane = std::make_unique<test_object_c>(_type, journal);
        plane->side = _side;
        plane->ownEntity = std::make_unique<null_object_c>("plane");
        plane->entity = plane->ownEntity.get();
        plane->entity->position = _position;
        plane->entity->rotation = vec3_c(_heading, 0.0f, 0.0f);
        return static_cast<test_object_c*>(world.AddPlane(std::move(plane)));
    }
    std::string MarkerName(size_t _index) const
    {
        const null_object_c* marker = map.GetMarker(_index);
        return marker ? marker->GetName().GetData() : "";
    }
};

TEST_F(GameMap, MapPositionsAtTheCornersAndTheMiddle)
{
    const struct {
        f32 x, z;
        vec3_c shown;
    } cases[] = {{-3000.0f, -3000.0f, vec3_c(-20.0f, -15.6f, 50.0f)},
                 {3000.0f, 3000.0f, vec3_c(11.0f, 15.6f, 50.0f)},
                 {-3000.0f, 3000.0f, vec3_c(-20.0f, 15.6f, 50.0f)},
                 {0.0f, 0.0f, vec3_c(-4.5f, 0.0f, 50.0f)}};
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, MapPosition(c.x, c.z)) << c.x << " " << c.z;
}

TEST_F(GameMap, MarkersFollowTheirPlanesAndTurnAgainstTheHeading)
{
    AddPlane(object_plane_user, 1, vec3_c(-3000.0f, 100.0f, -3000.0f), pi / 2.0f);
    AddPlane(object_plane_ai, 1, vec3_c(3000.0f, 100.0f, 3000.0f), 0.0f);
    AddPlane(object_plane_ai, -1, vec3_c(0.0f, 0.0f, 0.0f), 1.0f);
    map.Init(&renderer, &world, "");
    ASSERT_EQ(3u, map.GetMarkerCount());
    EXPECT_EQ("user", MarkerName(0));
    EXPECT_EQ("allied", MarkerName(1));
    EXPECT_EQ("german", MarkerName(2));
    EXPECT_EQ(vec3_c(15.0f, 15.0f, 15.0f), map.GetMarker(0)->scale);

    map.Update(1.0f, world.GetPlanes());
    EXPECT_EQ(vec3_c(-20.0f, -15.6f, 50.0f), map.GetMarker(0)->position);
    EXPECT_EQ(vec3_c(0.0f, 0.0f, -pi / 2.0f), map.GetMarker(0)->rotation) << "heading 90 degrees turns it by -90";
    EXPECT_EQ(vec3_c(11.0f, 15.6f, 50.0f), map.GetMarker(1)->position);
    EXPECT_EQ(vec3_c(0.0f, 0.0f, -1.0f), map.GetMarker(2)->rotation);
}

TEST_F(GameMap, MarkersAreRebuiltWheneverPlanesJoinOrLeave)
{
    test_object_c* first = AddPlane(object_plane_ai, 1, vec3_c(), 0.0f);
    AddPlane(object_plane_ai, -1, vec3_c(), 0.0f);
    map.Init(&renderer, &world, "");
    map.Update(1.0f, world.GetPlanes());
    ASSERT_EQ(2u, map.GetMarkerCount());

    AddPlane(object_plane_ai, -1, vec3_c(3000.0f, 0.0f, 3000.0f), 0.0f);
    map.Update(2.0f, world.GetPlanes());
    ASSERT_EQ(3u, map.GetMarkerCount());
    EXPECT_EQ(vec3_c(11.0f, 15.6f, 50.0f), map.GetMarker(2)->position);

    world.RemoveObject(first);
    AddPlane(object_plane_user, 1, vec3_c(-3000.0f, 0.0f, -3000.0f), 0.0f);
    map.Update(3.0f, world.GetPlanes());
    ASSERT_EQ(3u, map.GetMarkerCount()) << "same count, other planes";
    EXPECT_EQ("german", MarkerName(0));
    EXPECT_EQ("user", MarkerName(2));
    EXPECT_EQ(vec3_c(-20.0f, -15.6f, 50.0f), map.GetMarker(2)->position);
    EXPECT_EQ(3u, map.GetScene()->GetObjects().GetCount()) << "the old markers left the scene";
}

TEST_F(GameMap, MissingMarkerFilesLeaveThosePlanesUnmarked)
{
    files.files.erase(map_german_marker_file);
    AddPlane(object_plane_ai, -1, vec3_c(), 0.0f);
    AddPlane(object_plane_ai, 1, vec3_c(3000.0f, 0.0f, 3000.0f), 0.0f);
    map.Init(&renderer, &world, "");
    map.Update(1.0f, world.GetPlanes());
    ASSERT_EQ(2u, map.GetMarkerCount());
    EXPECT_EQ(nullptr, map.GetMarker(0));
    EXPECT_EQ(vec3_c(11.0f, 15.6f, 50.0f), map.GetMarker(1)->position);
}

TEST_F(GameMap, BackgroundPictureIsDrawnOverTheWholeView)
{
    mission_builder_c::AddPicture(files.files, "data\\maps\\map.bmp");
    map.Init(&renderer, &world, "data\\maps\\map.bmp");
    ASSERT_NE(nullptr, map.GetScene()->GetBackgroundMap());
    renderer.ClearCalls();
    map.Render();
    EXPECT_EQ(1u, renderer.CountCalls("DrawMap"));
}

} // namespace
