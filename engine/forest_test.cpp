#include "engine/forest.h"

#include "engine/aabb.h"
#include "engine/geometry_def.h"
#include "engine/map.h"
#include "engine/mesh.h"
#include "engine/object_chunk.h"
#include "engine/object_format.h"
#include "engine/terrain.h"
#include "engine/terrain_builder.h"
#include "engine/testing/landscape_fixtures.h"
#include "engine/testing/memory_file_system.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/command.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <memory>

namespace {

// A sloping plane, so heights between samples are exact.
f32 Ground(f32 _x, f32 _z)
{
    return 0.1f * _x - 0.05f * _z + 2.0f;
}

image_c Grey(int _side, u8 _value)
{
    image_c image;
    image.Create(_side, _side, format_l8);
    image.Fill(0xff000000u | _value * 0x010101u);
    return image;
}

size_t FindFloats(const std::vector<u8>& _bytes, std::initializer_list<f32> _values)
{
    std::vector<u8> pattern;
    for (f32 value : _values) {
        u8 word[4];
        std::memcpy(word, &value, 4);
        pattern.insert(pattern.end(), word, word + 4);
    }
    for (size_t at = 0; at + pattern.size() <= _bytes.size(); at += 4)
        if (std::memcmp(_bytes.data() + at, pattern.data(), pattern.size()) == 0)
            return at;
    return _bytes.size();
}

void PutU32(std::vector<u8>& _bytes, size_t _at, u32 _value)
{
    std::memcpy(_bytes.data() + _at, &_value, 4);
}

u32 GetU32(const std::vector<u8>& _bytes, size_t _at)
{
    u32 value;
    std::memcpy(&value, _bytes.data() + _at, 4);
    return value;
}

class Forest : public ::testing::Test {
protected:
    recording_renderer_c renderer{640, 480};
    memory_file_system_c files;

    void SetUp() override
    {
        files.Add("wood\\trees.bmp", PictureBytes(16, 8, format_a8r8g8b8, 0xff40a040));
        files.Add("wood\\density.bmp", GreyPictureBytes(2, {255, 128, 0, 255}));
    }

    // A forest of 4 x 4 cells over 40 units with 50 slots a cell.
    std::unique_ptr<forest_c> Make(bool _fixed, u8 _density = 255)
    {
        auto forest = std::make_unique<forest_c>("Wood", &renderer);
        forest->SetExtent(40.0f);
        forest->SetTreeDensity(0.5f);
        forest->SetDensityMap(Grey(4, _density));
        forest->SetVisibilityRange(100.0f);
        forest->SetTreeHeight(4.0f, 6.0f);
        forest->SetTreeWidth(1.0f, 2.0f);
        if (_fixed)
            forest->SetFlags(forest_fixed);
        return forest;
    }

    std::unique_ptr<terrain_c> Land()
    {
        // 33 x 33 samples 4 apart from (-60, 60): a plane under the forest.
        std::vector<f32> heights(33 * 33);
        for (u32 r = 0; r < 33; ++r)
            for (u32 c = 0; c < 33; ++c)
                heights[r * 33 + c] = Ground(-60.0f + 4.0f * c, 60.0f - 4.0f * r);
        std::unique_ptr<terrain_c> land(BuildTerrain("Land", &renderer, heights.data(), 33, 4.0f, 8));
        land->position = vec3_c(-60.0f, 0.0f, 60.0f);
        land->UpdateTransform(nullptr);
        return land;
    }

    bool Take(forest_c& _forest, const char* _line)
    {
        command_c command;
        command.Parse(_line);
        return _forest.SetParameter(command);
    }
};

} // namespace

TEST_F(Forest, SettersClampAndDiscard)
{
    forest_c forest("Wood", &renderer);
    EXPECT_EQ(forest.GetFlags(), 23u);
    forest.SetTreeWidth(3.0f, -2.0f);
    EXPECT_EQ(forest.GetTrees().widthMin, 0.0f);
    EXPECT_EQ(forest.GetTrees().widthMax, 3.0f);
    forest.SetTreeHeight(5.0f, 2.0f);
    EXPECT_EQ(forest.GetTrees().heightMin, 2.0f);
    EXPECT_EQ(forest.GetTrees().heightMax, 5.0f);
    for (i64 count : {0, -4, 1}) {
        forest.SetSpeciesCount(count);
        EXPECT_EQ(forest.GetTrees().speciesCount, 1u) << count;
    }
    forest.SetSpeciesCount(3);
    EXPECT_EQ(forest.GetTrees().speciesCount, 3u);
    forest.SetTreeDensity(0.0f);
    EXPECT_EQ(forest.GetTrees().treeDensity, FLT_EPSILON);
    forest.SetTreeColor(vec3_c(1.0f, 0.2f, 0.5f), vec3_c(0.5f, 0.4f, 0.5f));
    EXPECT_EQ(forest.GetTrees().colorMin, vec3_c(0.5f, 0.2f, 0.5f));
    EXPECT_EQ(forest.GetTrees().colorMax, vec3_c(1.0f, 0.4f, 0.5f));
    // Changing the colours throws the ground heights away.
    auto wood = Make(true);
    auto land = Land();
    wood->UpdateTransform(nullptr);
    wood->Generate(land.get());
    EXPECT_FALSE(wood->GetTrees().treeHeights.empty());
    wood->SetTreeColor(vec3_c(0, 0, 0), vec3_c(1, 1, 1));
    EXPECT_TRUE(wood->GetTrees().treeHeights.empty());
    EXPECT_EQ(wood->GetTrees().highestGround, 0.0f);
}

TEST_F(Forest, DensityMapsOfOneSizeKeepTheSeeds)
{
    auto forest = Make(true);
    const std::vector<u32> seeds = forest->GetTrees().cellSeeds;
    ASSERT_EQ(seeds.size(), 16u);
    forest->SetDensityMap(Grey(4, 10));
    EXPECT_EQ(forest->GetTrees().cellSeeds, seeds);
    forest->SetDensityMap(Grey(5, 10));
    EXPECT_EQ(forest->GetTrees().cellSeeds.size(), 25u);
}

TEST_F(Forest, TreesStandOnTheGround)
{
    auto forest = Make(true);
    forest->position = vec3_c(10.0f, 1.0f, -5.0f);
    forest->UpdateTransform(nullptr);
    auto land = Land();
    forest->Generate(land.get());
    ASSERT_TRUE(forest->GetTrees().GroundDataFits());
    forest->BuildMeshes();
    ASSERT_EQ(forest->GetMeshCount(), 1u);
    const geometry_def_c& trees = forest->GetMesh(0)->GetDefinition();
    EXPECT_EQ(trees.name, "Wood");
    ASSERT_EQ(trees.GetVertexCount(), 16u * 49u * 8u);
    const primitive_set_c& set = *trees.primitiveSets[0];
    for (u32 v = 0; v < set.GetVertexCount(); v += 8) {
        // The foot of the first quad, in world space.
        const vec3_c foot =
            (set.vertices[v + 2].position + set.vertices[v + 3].position) * 0.5f + vec3_c(10.0f, 1.0f, -5.0f);
        // The probes start 100000 up, where floats step by 1/128.
        EXPECT_NEAR(foot.y, Ground(foot.x, foot.z), 0.02f) << v;
    }
    aabb_c box;
    forest->GetBoundingBox(box);
    EXPECT_EQ(box.min.x, -21.0f);
    EXPECT_NEAR(box.min.y, forest->GetTrees().lowestGround, 1e-6f);
    EXPECT_NEAR(box.max.y, forest->GetTrees().highestGround + 6.0f, 1e-5f);
}

TEST_F(Forest, FixedForestsRefuseTooManyTrees)
{
    auto forest = Make(true);
    forest->SetTreeDensity(100.0f); // 200000 trees
    forest->BuildMeshes();
    EXPECT_EQ(forest->GetMeshCount(), 0u);
    forest->UpdateTransform(nullptr);
    test_camera_c eye(renderer, vec3_c(0.0f, 10.0f, -60.0f));
    object_list_t pass0, pass1;
    EXPECT_FALSE(forest->Cull(pass0, pass1, nullptr, &eye, 0, 0));
}

TEST_F(Forest, ViewDependentForestFollowsTheCamera)
{
    auto forest = Make(false);
    forest->UpdateTransform(nullptr);
    test_camera_c eye(renderer, vec3_c(0.0f, 10.0f, -60.0f));
    object_list_t pass0, pass1;
    // 16 cells, one a frame: the pass ends on the 16th frame and the batch
    // goes to the renderer again.
    for (int frame = 0; frame < 16; ++frame) {
        pass0.clear();
        ASSERT_TRUE(forest->Cull(pass0, pass1, nullptr, &eye, 0, 0)) << frame;
    }
    ASSERT_EQ(forest->GetMeshCount(), 1u);
    EXPECT_EQ(forest->GetMesh(0)->GetDefinition().name, "Wood (0)");
    EXPECT_TRUE(forest->GetMesh(0)->HasPrivateGeometry());
    auto* geometry = static_cast<recording_geometry_c*>(forest->GetMesh(0)->GetGeometry());
    EXPECT_EQ(geometry->updateCount, 2u);
    EXPECT_EQ(geometry->vertexCount, forest->GetViewPass().batches[0]->GetVertexCount());
    EXPECT_GT(geometry->vertexCount, 0u);
    // A camera that stays keeps its trees.
    forest->Cull(pass0, pass1, nullptr, &eye, 0, 0);
    EXPECT_EQ(geometry->updateCount, 2u);
    EXPECT_EQ(forest->GetViewPass().progress, 0);
}

TEST_F(Forest, FarForestsAndEmptyCapacitiesAreNotDrawn)
{
    auto forest = Make(false);
    forest->UpdateTransform(nullptr);
    object_list_t pass0, pass1;
    test_camera_c far(renderer, vec3_c(0.0f, 10.0f, -200.0f));
    EXPECT_FALSE(forest->Cull(pass0, pass1, nullptr, &far, clip_inside, 0));
    forest->SetVisibilityRange(0.0f);
    test_camera_c near(renderer, vec3_c(0.0f, 10.0f, -60.0f));
    EXPECT_FALSE(forest->Cull(pass0, pass1, nullptr, &near, clip_inside, 0));
    EXPECT_EQ(forest->GetMeshCount(), 0u);
}

TEST_F(Forest, RaysHitTheTrees)
{
    for (bool fixed : {true, false}) {
        auto forest = Make(fixed);
        forest->UpdateTransform(nullptr);
        // Every cell is full: a low ray across the forest meets a tree.
        const ray_c across(vec3_c(-30.0f, 1.0f, 0.3f), vec3_c(60.0f, 0.0f, 0.0f));
        f32 fraction = 0.0f;
        vec3_c normal;
        ASSERT_TRUE(forest->RayTest(fraction, normal, across, true, true, FLT_MAX)) << fixed;
        EXPECT_GT(fraction, 9.0f / 60.0f);
        EXPECT_LT(fraction, 0.5f);
        EXPECT_NEAR(normal.Length(), 1.0f, 1e-3f);
        // Not precise: the box, which starts at x = -21.
        ASSERT_TRUE(forest->RayTest(fraction, normal, across, true, false, FLT_MAX));
        EXPECT_NEAR(fraction, 9.0f / 60.0f, 1e-5f);
        // Above the trees nothing is hit.
        EXPECT_FALSE(
            forest->RayTest(fraction, normal, ray_c(vec3_c(-30, 50, 0), vec3_c(60, 0, 0)), true, true, FLT_MAX));
    }
}

TEST_F(Forest, KeywordsSetTheForest)
{
    forest_c forest("Wood", &renderer);
    const char* lines[] = {"Extent 80",
                           "Fix",
                           "VisibilityRange 300",
                           "SpeciesCount 4",
                           "TreeDensity 0.25 MAP=wood\\density.bmp",
                           "TreeWidth MIN=2 MAX=3",
                           "TreeHeight MAXIMUM=9 MINIMUM=7",
                           "TreeColor MIN={0.5 0.5 0.5} MAX={1 1 1}",
                           "Map wood\\trees.bmp"};
    for (const char* line : lines)
        EXPECT_TRUE(Take(forest, line)) << line;
    EXPECT_FALSE(Take(forest, "Border 1"));
    EXPECT_TRUE(forest.IsFixed());
    EXPECT_EQ(forest.GetTrees().extent, 80.0f);
    EXPECT_EQ(forest.GetTrees().speciesCount, 4u);
    EXPECT_EQ(forest.GetTrees().GetCellSide(), 2u);
    EXPECT_EQ(forest.GetTrees().cellSeeds.size(), 4u);
    EXPECT_EQ(forest.GetTrees().heightMin, 7.0f);
    EXPECT_EQ(forest.GetTrees().colorMin, vec3_c(0.5f, 0.5f, 0.5f));
    ASSERT_NE(forest.GetColorMap(), nullptr);
    EXPECT_EQ(forest.GetColorMap()->GetRepeat(), 0);
    // "MAP" must be given with a density.
    EXPECT_THROW(Take(forest, "TreeDensity 0.5"), command_error_c);
}

TEST_F(Forest, WriteThenReadKeepsTheTrees)
{
    auto forest = Make(true, 200);
    forest->SetSpeciesCount(2);
    forest->SetColorMap("wood\\trees.bmp");
    forest->UpdateTransform(nullptr);
    auto land = Land();
    forest->Generate(land.get());
    const std::vector<u8> bytes = Written(*forest);
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<forest_c> copy(forest_c::Read(in, &renderer));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetName(), "Wood");
    EXPECT_TRUE(copy->IsFixed());
    EXPECT_EQ(copy->GetTrees().cellSeeds, forest->GetTrees().cellSeeds);
    EXPECT_EQ(copy->GetTrees().treeHeights, forest->GetTrees().treeHeights);
    EXPECT_EQ(copy->GetTrees().densityMap.GetWidth(), 4);
    EXPECT_NE(copy->GetColorMap(), nullptr);
    EXPECT_EQ(Written(*copy), bytes);
    // The same trees.
    triangle_set_c a, b;
    forest_generator_c original = forest->GetTrees(), read = copy->GetTrees();
    original.BuildTreeSet(a);
    read.BuildTreeSet(b);
    ASSERT_EQ(a.GetVertexCount(), b.GetVertexCount());
    for (u32 i = 0; i < a.GetVertexCount(); ++i)
        EXPECT_EQ(a.vertices[i].position, b.vertices[i].position);
    std::unique_ptr<null_object_c> clone(copy->Clone());
    EXPECT_EQ(Written(*clone), bytes);
    input_file_c again(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<null_object_c> loaded(LoadObject(again, &renderer, false));
    EXPECT_NE(dynamic_cast<forest_c*>(loaded.get()), nullptr);
}

TEST_F(Forest, DamagedChunksAreMended)
{
    auto forest = Make(true);
    forest->SetExtent(41.5f);
    forest->SetVisibilityRange(77.25f);
    forest->SetTreeColor(vec3_c(0.125f, 0.25f, 0.375f), vec3_c(0.625f, 0.75f, 0.875f));
    const std::vector<u8> bytes = Written(*forest);
    const size_t species = FindFloats(bytes, {41.5f, 77.25f}) + 8;
    const size_t seeds = FindFloats(bytes, {0.625f, 0.75f, 0.875f}) + 12;
    ASSERT_LT(seeds, bytes.size());
    ASSERT_EQ(GetU32(bytes, seeds), 16u);

    // No species reads as one.
    std::vector<u8> none = bytes;
    PutU32(none, species, 0);
    input_file_c in(none.data(), static_cast<u32>(none.size()));
    std::unique_ptr<forest_c> read(forest_c::Read(in, &renderer));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->GetTrees().speciesCount, 1u);

    // Seeds that do not match the map are drawn anew, one a cell.
    std::vector<u8> short_seeds = bytes;
    short_seeds.erase(short_seeds.begin() + seeds + 4, short_seeds.begin() + seeds + 8);
    PutU32(short_seeds, seeds, 15);
    PutU32(short_seeds, 8, GetU32(short_seeds, 8) - 4);
    input_file_c in2(short_seeds.data(), static_cast<u32>(short_seeds.size()));
    read.reset(forest_c::Read(in2, &renderer));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->GetTrees().cellSeeds.size(), 16u);
    read->BuildMeshes();
    EXPECT_EQ(read->GetMeshCount(), 1u);

    // A count beyond the data is refused before anything is allocated.
    std::vector<u8> huge = bytes;
    PutU32(huge, seeds, 0x40000000);
    input_file_c in3(huge.data(), static_cast<u32>(huge.size()));
    try {
        delete forest_c::Read(in3, &renderer);
        FAIL();
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), "Forest data larger than its file!");
    }

    // Another version: skipped whole.
    output_file_c body, out;
    WriteChunk(out, MakeTag("FRST"), 4, body);
    const std::vector<u8> old = Bytes(out);
    input_file_c in4(old.data(), static_cast<u32>(old.size()));
    EXPECT_EQ(forest_c::Read(in4, &renderer), nullptr);
    EXPECT_EQ(in4.GetPosition(), old.size());
}
