#include "engine/forest_generator.h"

#include "engine/primitive_set.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/text_string.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A forest of side _extent over an N x N density map of one value.
forest_generator_c Forest(u32 _side, u8 _pixel, f32 _extent, f32 _density)
{
    forest_generator_c forest;
    forest.extent = _extent;
    forest.treeDensity = _density;
    image_c map;
    map.Create(static_cast<int>(_side), static_cast<int>(_side), format_l8);
    map.Fill(0xff000000u | _pixel * 0x010101u);
    forest.SetDensityMap(map);
    forest.InitCellSeeds();
    return forest;
}

// Ground that rises along x and falls along z.
f32 Ground(f32 _x, f32 _z)
{
    return 0.25f * _x - 0.5f * _z + 3.0f;
}

const forest_generator_c::ground_probe_f slope = [](const vec3_c& _top, f32& _height) {
    _height = Ground(_top.x, _top.z);
    return true;
};

std::vector<forest_tree_c> AllTrees(const forest_generator_c& _forest)
{
    std::vector<forest_tree_c> trees;
    random_c random;
    for (u32 i = 0; i < _forest.GetCellCount(); ++i) {
        _forest.StartCell(random, i);
        for (u32 k = 0; k < _forest.GetCellTreeCount(i, 1.0f); ++k) {
            trees.emplace_back();
            _forest.DrawTree(random, i, k, trees.back());
        }
    }
    return trees;
}

// A view other than the identity the pass starts from.
mat4x3_c Moved()
{
    mat4x3_c view;
    view.SetTranslation(vec3_c(1.0f, 2.0f, 3.0f));
    return view;
}

} // namespace

TEST(ForestGenerator, TreeSlotsTable)
{
    struct {
        u32 side;
        f32 extent, density;
        u32 slots;
        bool trees;
    } cases[] = {
        {100, 1000.0f, 0.0001f, 0, false}, // trunc(0.0001 * 10^6 / 10^4) = 0
        {10, 100.0f, 0.02f, 2, false},     // two slots: not enough for any tree
        {10, 100.0f, 0.03f, 3, true},           {4, 40.0f, 0.5f, 50, true},
        {4, 1e6f, 1e6f, (1u << 24) / 16, true}, // slots of the whole forest are bounded
    };
    for (const auto& c : cases) {
        const forest_generator_c forest = Forest(c.side, 255, c.extent, c.density);
        EXPECT_EQ(forest.GetTreeSlots(), c.slots) << c.side << " " << c.extent << " " << c.density;
        EXPECT_EQ(forest.HasTrees(), c.trees);
    }
}

TEST(ForestGenerator, CellTreeCountStopsBelowTheSlots)
{
    // 50 slots a cell; a full pixel would give 50 trees but gets 49.
    EXPECT_EQ(Forest(4, 255, 40.0f, 0.5f).GetCellTreeCount(5, 1.0f), 49u);
    EXPECT_EQ(Forest(4, 0, 40.0f, 0.5f).GetCellTreeCount(5, 1.0f), 0u);
    // 51 / 255 of 50 = 10 trees; the fade halves them.
    EXPECT_EQ(Forest(4, 51, 40.0f, 0.5f).GetCellTreeCount(5, 1.0f), 10u);
    EXPECT_EQ(Forest(4, 51, 40.0f, 0.5f).GetCellTreeCount(5, 0.5f), 5u);
}

TEST(ForestGenerator, DensityMapBecomesSquareGrey)
{
    forest_generator_c forest;
    image_c map;
    map.Create(8, 5, format_a8r8g8b8);
    map.Fill(0xff808080u);
    forest.SetDensityMap(map);
    EXPECT_EQ(forest.densityMap.GetWidth(), 5);
    EXPECT_EQ(forest.densityMap.GetHeight(), 5);
    EXPECT_EQ(forest.densityMap.GetFormat(), format_l8);
    EXPECT_EQ(forest.GetCellSide(), 5u);
    forest.InitCellSeeds();
    EXPECT_EQ(forest.cellSeeds.size(), 25u);
    for (u32 seed : forest.cellSeeds)
        EXPECT_LE(seed, 0x7fffffffu);
}

TEST(ForestGenerator, SameSeedsSameTrees)
{
    forest_generator_c a = Forest(4, 200, 40.0f, 0.5f);
    forest_generator_c b = Forest(4, 200, 40.0f, 0.5f);
    ASSERT_NE(a.cellSeeds, b.cellSeeds); // the shared generator moved on
    b.cellSeeds = a.cellSeeds;
    const auto first = AllTrees(a);
    const auto second = AllTrees(b);
    ASSERT_EQ(first.size(), second.size());
    ASSERT_GT(first.size(), 100u);
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].position, second[i].position);
        EXPECT_EQ(first[i].width, second[i].width);
        EXPECT_EQ(first[i].color, second[i].color);
    }
    b.cellSeeds[0] ^= 1;
    EXPECT_NE(AllTrees(b)[0].position, first[0].position);
}

TEST(ForestGenerator, TreesStayInTheirCellAndRanges)
{
    forest_generator_c forest = Forest(4, 255, 40.0f, 0.5f);
    forest.speciesCount = 3;
    forest.widthMin = 2.0f, forest.widthMax = 4.0f;
    forest.heightMin = 5.0f, forest.heightMax = 6.0f;
    forest.colorMin = vec3_c(0.1f, 0.2f, 0.3f), forest.colorMax = vec3_c(0.2f, 0.4f, 0.6f);
    random_c random;
    for (u32 i = 0; i < 16; ++i) {
        const f32 x0 = -20.0f + static_cast<f32>(i % 4) * 10.0f;
        const f32 z1 = 20.0f - static_cast<f32>(i / 4) * 10.0f;
        forest.StartCell(random, i);
        for (u32 k = 0; k < 49; ++k) {
            forest_tree_c tree;
            forest.DrawTree(random, i, k, tree);
            EXPECT_GE(tree.position.x, x0);
            EXPECT_LE(tree.position.x, x0 + 10.0f);
            EXPECT_GE(tree.position.z, z1 - 10.0f);
            EXPECT_LE(tree.position.z, z1);
            EXPECT_LT(tree.species, 3u);
            EXPECT_GE(tree.width, 2.0f);
            EXPECT_LE(tree.height, 6.0f);
            EXPECT_GE(tree.color.z, 0.3f);
            EXPECT_LE(tree.color.y, 0.4f);
        }
    }
}

TEST(ForestGenerator, ZeroSpeciesDrawsFromOne)
{
    forest_generator_c forest = Forest(2, 255, 20.0f, 0.5f);
    forest.speciesCount = 0;
    random_c random;
    forest.StartCell(random, 0);
    forest_tree_c tree;
    forest.DrawTree(random, 0, 0, tree);
    EXPECT_EQ(tree.species, 0u);
    triangle_set_c set;
    forest.BuildTreeSet(set);
    ASSERT_GT(set.GetVertexCount(), 0u);
    for (const vertex_c& vertex : set.vertices)
        EXPECT_TRUE(std::isfinite(vertex.texCoords[0][0]));
}

TEST(ForestGenerator, TreeBasesStandOnTheGround)
{
    forest_generator_c forest = Forest(4, 255, 40.0f, 0.5f);
    forest.Generate(&slope);
    ASSERT_TRUE(forest.GroundDataFits());
    EXPECT_EQ(forest.groundGrid.size(), 25u);
    EXPECT_EQ(forest.treeHeights.size(), 16u * 50u);
    EXPECT_FLOAT_EQ(forest.groundGrid[0], Ground(-20.0f, 20.0f));
    EXPECT_FLOAT_EQ(forest.groundGrid[24], Ground(20.0f, -20.0f));
    f32 lowest = 1e9f, highest = -1e9f;
    for (const forest_tree_c& tree : AllTrees(forest)) {
        EXPECT_NEAR(tree.position.y, Ground(tree.position.x, tree.position.z), 1e-4f);
        lowest = std::min(lowest, tree.position.y);
        highest = std::max(highest, tree.position.y);
    }
    EXPECT_LE(forest.lowestGround, lowest);
    EXPECT_GE(forest.highestGround, highest);
    EXPECT_GE(forest.lowestGround, Ground(-20.0f, 20.0f));

    triangle_set_c set;
    forest.BuildTreeSet(set);
    ASSERT_EQ(set.GetVertexCount(), 16u * 49u * 8u);
    for (u32 v = 0; v < set.GetVertexCount(); v += 8) {
        // Vertices 2 and 3 are the foot of the first quad.
        const vec3_c foot = (set.vertices[v + 2].position + set.vertices[v + 3].position) * 0.5f;
        EXPECT_NEAR(foot.y, Ground(foot.x, foot.z), 1e-3f);
    }
}

TEST(ForestGenerator, MissesAndNoGroundGiveZero)
{
    forest_generator_c forest = Forest(2, 255, 20.0f, 0.5f);
    const forest_generator_c::ground_probe_f miss = [](const vec3_c&, f32& _height) {
        _height = 99.0f;
        return false;
    };
    forest.Generate(&miss);
    for (f32 height : forest.treeHeights)
        EXPECT_EQ(height, 0.0f);
    EXPECT_EQ(forest.lowestGround, 0.0f);
    EXPECT_EQ(forest.highestGround, 0.0f);
    forest.Generate(&slope);
    forest.Generate(nullptr);
    EXPECT_EQ(forest.treeHeights.size(), 4u * 50u);
    EXPECT_EQ(forest.treeHeights[7], 0.0f);
}

TEST(ForestGenerator, TreeGeometry)
{
    forest_tree_c tree;
    tree.position = vec3_c(10.0f, 2.0f, -4.0f);
    tree.width = 2.0f;
    tree.height = 5.0f;
    tree.color = vec3_c(1.0f, 0.5f, 0.0f);
    triangle_set_c set;
    set.vertices.resize(3);
    forest_generator_c::BuildTree(set, tree, 0.25f, 0.5f);
    ASSERT_EQ(set.GetVertexCount(), 11u);
    EXPECT_EQ(set.indices, (std::vector<u32>{3, 4, 5, 4, 6, 5, 7, 8, 9, 8, 10, 9}));
    const vec3_c expected[8] = {{9, 7, -4},  {11, 7, -4}, {9, 2, -4},  {11, 2, -4},
                                {10, 7, -3}, {10, 7, -5}, {10, 2, -3}, {10, 2, -5}};
    const f32 u[8] = {0.25f, 0.5f, 0.25f, 0.5f, 0.25f, 0.5f, 0.25f, 0.5f};
    const f32 v[8] = {0, 0, 1, 1, 0, 0, 1, 1};
    for (u32 i = 0; i < 8; ++i) {
        const vertex_c& vertex = set.vertices[3 + i];
        EXPECT_NEAR((vertex.position - expected[i]).Length(), 0.0f, 1e-5f) << i;
        EXPECT_EQ(vertex.texCoords[0][0], u[i]);
        EXPECT_EQ(vertex.texCoords[0][1], v[i]);
        EXPECT_EQ(vertex.diffuse, 0x00ff7f00u);
    }
}

TEST(ForestGenerator, EveryBuilderSeesTheSameTrees)
{
    forest_generator_c forest = Forest(4, 255, 40.0f, 0.5f);
    // Every corner lies within half the range of the eye: no fade.
    forest.visibilityRange = 200.0f;
    forest.Generate(&slope);
    triangle_set_c fixed;
    forest.BuildTreeSet(fixed);
    // A ray from outside along the forest reaches every tree.
    triangle_set_c ray;
    forest.BuildRayTrees(ray, vec3_c(-30.0f, 0.0f, 0.0f), vec3_c(100.0f, 0.0f, 0.0f), 200.0f);
    ASSERT_EQ(fixed.GetVertexCount(), ray.GetVertexCount());
    for (u32 i = 0; i < fixed.GetVertexCount(); ++i)
        EXPECT_EQ(fixed.vertices[i].position, ray.vertices[i].position);
    EXPECT_EQ(ray.vertices[0].texCoords[0][0], 0.0f);

    forest_view_pass_c pass;
    pass.Reset(forest.GetViewCapacity());
    mat4x3_c view;
    view.SetIdentity();
    view.m[3][0] = 1.0f;
    recording_renderer_c renderer(640, 480);
    u32 frames = 1;
    while (!pass.Step(forest, view, vec3_c(-30.0f, 0.0f, 0.0f), vec3_c(1.0f, 0.0f, 0.0f), "Wood", &renderer))
        ++frames;
    EXPECT_EQ(frames, 16u); // a cell a frame: ceil(16 / 30) = 1
    u32 vertices = 0;
    for (const auto& batch : pass.batches)
        for (u32 i = 0; i < batch->GetVertexCount(); ++i, ++vertices)
            EXPECT_EQ(batch->vertices[i].position, fixed.vertices[vertices].position);
    EXPECT_EQ(vertices, fixed.GetVertexCount());
}

TEST(ForestGenerator, ViewPassKeepsItsTreesWhileTheViewStays)
{
    forest_generator_c forest = Forest(8, 255, 80.0f, 0.5f);
    forest.visibilityRange = 30.0f;
    forest_view_pass_c pass;
    EXPECT_EQ(forest.GetViewCapacity(), static_cast<u32>(0.5 * 900.0 * 1.1780972450961724));
    pass.Reset(forest.GetViewCapacity());
    ASSERT_EQ(pass.batches.size(), 1u);
    EXPECT_EQ(pass.batches[0]->GetVertexCount(), pass.capacity * 8);
    mat4x3_c view;
    view.SetIdentity();
    view.m[3][2] = 5.0f;
    recording_renderer_c renderer(640, 480);
    // 64 cells, three a frame: the pass completes on the 22nd frame.
    for (int frame = 1; frame < 22; ++frame)
        EXPECT_FALSE(pass.Step(forest, view, vec3_c(), vec3_c(0.0f, 0.0f, 1.0f), "Wood", &renderer)) << frame;
    EXPECT_TRUE(pass.Step(forest, view, vec3_c(), vec3_c(0.0f, 0.0f, 1.0f), "Wood", &renderer));
    const u32 kept = pass.batches[0]->GetVertexCount();
    EXPECT_GT(kept, 0u);
    for (const vertex_c& vertex : pass.batches[0]->vertices)
        EXPECT_GT(vertex.position.z, -5.0f); // nothing from the cells behind
    EXPECT_FALSE(pass.Step(forest, view, vec3_c(), vec3_c(0.0f, 0.0f, 1.0f), "Wood", &renderer));
    EXPECT_EQ(pass.batches[0]->GetVertexCount(), kept);
    EXPECT_EQ(pass.progress, 0);
}

TEST(ForestGenerator, ViewPassReportsTreesBeyondItsCapacity)
{
    forest_generator_c forest = Forest(2, 255, 20.0f, 0.5f);
    forest.visibilityRange = 1000.0f; // no fade
    forest_view_pass_c pass;
    pass.Reset(3);
    mat4x3_c view;
    view.SetIdentity();
    view.m[3][0] = 2.0f;
    recording_renderer_c renderer(640, 480);
    while (!pass.Step(forest, view, vec3_c(0.0f, 0.0f, -50.0f), vec3_c(0.0f, 0.0f, 1.0f), "Wood", &renderer)) {}
    EXPECT_EQ(pass.batches[0]->GetVertexCount(), 24u);
    // 4 cells of 49 trees, 3 kept.
    const std::string log = renderer.GetWarningLog().GetData();
    const std::string line = "[Wood] Out of bound!\n";
    ASSERT_EQ(log.size(), (4 * 49 - 3) * line.size());
    for (size_t at = 0; at < log.size(); at += line.size())
        EXPECT_EQ(log.substr(at, line.size()), line);
}

TEST(ForestGenerator, NoCapacityNoBatches)
{
    forest_generator_c forest = Forest(2, 255, 20.0f, 0.5f);
    forest_view_pass_c pass;
    pass.Reset(forest.GetViewCapacity());
    EXPECT_TRUE(pass.batches.empty());
    EXPECT_FALSE(pass.Step(forest, Moved(), vec3_c(), vec3_c(0, 0, 1), "Wood", nullptr));
}

TEST(ForestGenerator, ViewCapacityIsBounded)
{
    forest_generator_c forest = Forest(2, 255, 20.0f, 1.0f);
    forest.visibilityRange = 1e5f;
    EXPECT_EQ(forest.GetViewCapacity(), forest_view_limit);
    forest.visibilityRange = std::nanf("");
    EXPECT_EQ(forest.GetViewCapacity(), 0u);
}

TEST(ForestGenerator, LargeCapacitySplitsIntoBatches)
{
    forest_view_pass_c pass;
    pass.Reset(20001);
    ASSERT_EQ(pass.batchTrees, (std::vector<u32>{8000, 8000, 4001}));
    EXPECT_EQ(pass.batches[2]->indices.size(), 4001u * 12u);
}
