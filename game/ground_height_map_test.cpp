#include "game/ground_height_map.h"

#include "engine/testing/recording_renderer.h"
#include "game/testing/flat_ground.h"

#include <gtest/gtest.h>

namespace {

TEST(GroundHeightMap, AnswersInsideItsRectangleOnly)
{
    recording_renderer_c renderer;
    std::unique_ptr<terrain_c> ground = MakeFlatGround(&renderer, 4.0f);
    ground_height_map_c map;
    map.Sample(ground.get(), 30.0f, -10.0f, -10.0f, 10.0f, 99.0f);
    EXPECT_EQ(21u, map.GetColumns());
    EXPECT_EQ(11u, map.GetRows());
    const struct {
        f32 x, z, height;
    } cases[] = {
        {0.0f, 0.0f, 4.0f},
        {-10.0f, -10.0f, 4.0f},
        {30.0f, 10.0f, 4.0f},
        {3.3f, 7.7f, 4.0f},
        {30.5f, 0.0f, ground_invalid_height},
        {0.0f, -10.1f, ground_invalid_height},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(c.height, map.GetHeight(c.x, c.z), 1e-3f) << c.x << ", " << c.z;
}

TEST(GroundHeightMap, FlatWithoutATerrainAndInvalidOffIt)
{
    ground_height_map_c flat;
    flat.Sample(nullptr, 0.0f, 0.0f, 1000.0f, 1000.0f, 7.0f);
    EXPECT_EQ(129u, flat.GetColumns()) << "wider spacing for a large area";
    EXPECT_EQ(7.0f, flat.GetHeight(512.3f, 3.0f));

    recording_renderer_c renderer;
    std::unique_ptr<terrain_c> ground = MakeFlatGround(&renderer, 0.0f);
    ground_height_map_c edge;
    edge.Sample(ground.get(), 3150.0f, 0.0f, 3250.0f, 10.0f, 0.0f);
    EXPECT_NEAR(0.0f, edge.GetHeight(3160.0f, 5.0f), 1e-3f);
    EXPECT_EQ(ground_invalid_height, edge.GetHeight(3240.0f, 5.0f)) << "beyond the terrain";

    ground_height_map_c line;
    line.Sample(nullptr, 5.0f, 5.0f, 5.0f, 5.0f, 1.0f);
    EXPECT_EQ(1.0f, line.GetHeight(5.0f, 5.0f));
    EXPECT_EQ(ground_invalid_height, line.GetHeight(5.1f, 5.0f));
}

} // namespace
