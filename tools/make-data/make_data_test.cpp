// The generators on their own, in memory: the same set every run, and a
// landscape the game can fly over.
#include <gtest/gtest.h>

#include "engine/map.h"
#include "engine/null_renderer.h"
#include "engine/terrain.h"
#include "engine/testing/memory_file_system.h"
#include "tools/make-data/landscape.h"
#include "tools/make-data/make_data.h"

#include <cmath>
#include <memory>

namespace {

TEST(MakeData, EveryRunMakesTheSameBytes)
{
    data_files_t first, second;
    MakeDataSet(first);
    MakeDataSet(second);
    ASSERT_EQ(first.size(), second.size());
    for (const auto& [name, bytes] : first)
        EXPECT_TRUE(second.count(name) && second.at(name) == bytes) << name;
}

TEST(MakeData, LandscapeIsWideWithAFlatMeadowAtTheOrigin)
{
    const landscape_c landscape;
    EXPECT_GE(landscape.GetSize(), 5600.0f) << "crashes and ground runs need ground to +-2800";
    // Flat and level where the planes take off.
    for (const f32 x : {-450.0f, 0.0f, 450.0f})
        for (const f32 z : {-450.0f, 0.0f, 450.0f})
            EXPECT_FLOAT_EQ(landscape.GetHeight(x, z), kMeadowHeight) << x << " " << z;
    // Hills around it.
    f32 highest = 0.0f;
    for (f32 x = -2800.0f; x <= 2800.0f; x += 400.0f)
        highest = std::max(highest, landscape.GetHeight(x, 2500.0f));
    EXPECT_GT(highest, 150.0f);
}

TEST(MakeData, TerrainFileLoadsAsThePatchTree)
{
    data_files_t files;
    null_renderer_c renderer;
    landscape_c().AddTerrain(files, &renderer);
    memory_file_system_c disk;
    for (const auto& [name, bytes] : files)
        disk.Add(name, bytes);
    terrain_c::RegisterReader();
    std::unique_ptr<terrain_c> terrain(LoadTerrain((std::string(kTerrainFolder) + "terrain.ter").c_str(), &renderer));
    ASSERT_NE(terrain, nullptr);
    EXPECT_EQ(terrain->GetChildCount(), 4u);
    EXPECT_FLOAT_EQ(terrain->position.x, -landscape_c().GetSize() * 0.5f);
    EXPECT_FLOAT_EQ(terrain->position.z, landscape_c().GetSize() * 0.5f);
    // Every patch draws with the colour map and the detail map over it.
    for (const terrain_c* patch = terrain.get(); patch; patch = patch->GetChild(3)) {
        ASSERT_NE(patch->GetColorMap(0), nullptr);
        ASSERT_NE(patch->GetColorMap(1), nullptr);
        EXPECT_EQ(patch->GetColorMap(1)->GetBlendMode(), 2u);
    }
}

} // namespace
