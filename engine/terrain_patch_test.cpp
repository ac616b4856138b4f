#include "engine/terrain_patch.h"

#include "engine/bounding_box.h"
#include "engine/geometry_def.h"
#include "engine/primitive_set.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <vector>

namespace {

// A height field whose height is a plain function of the sample.
f32 HeightAt(u32 _row, u32 _column)
{
    return static_cast<f32>(_row % 3) * 2.0f + static_cast<f32>(_column) * 0.5f;
}

std::vector<f32> Field(u32 _side)
{
    std::vector<f32> heights(_side * _side);
    for (u32 r = 0; r < _side; ++r)
        for (u32 c = 0; c < _side; ++c)
            heights[r * _side + c] = HeightAt(r, c);
    return heights;
}

} // namespace

TEST(TerrainPatch, RefinementTable)
{
    // A box 10 wide, 2 high, 4 deep: M = 10.
    const bounding_box_c box(vec3_c(0.0f, 0.0f, 0.0f), vec3_c(10.0f, 2.0f, 4.0f));
    struct {
        vec3_c eye;
        f32 accuracy;
        bool refine;
    } cases[] = {
        {{5.0f, 1.0f, 2.0f}, 0.1f, true},    // inside: d = 0
        {{30.0f, 1.0f, 2.0f}, 0.1f, false},  // d = 20: 10 < 0.5 is false
        {{30.0f, 1.0f, 2.0f}, 1.0f, false},  // 1 < 0.5 is false
        {{15.0f, 1.0f, 2.0f}, 1.0f, true},   // d = 5: 1 < 2
        {{20.0f, 1.0f, 2.0f}, 1.0f, false},  // d = 10: 1 < 1 is false
        {{10.0f, 12.0f, 2.0f}, 1.0f, false}, // straight above, d = 10
        {{10.0f, 7.0f, 2.0f}, 1.0f, true},   // d = 5
        {{5.0f, 1.0f, 2.0f}, std::nanf(""), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PatchNeedsRefinement(box, c.eye, c.accuracy), c.refine)
            << c.eye.x << " " << c.eye.y << " " << c.eye.z << " " << c.accuracy;
    // A flat point of a box with no size never refines, even from inside.
    const bounding_box_c point(vec3_c(1.0f, 1.0f, 1.0f), vec3_c(1.0f, 1.0f, 1.0f));
    EXPECT_FALSE(PatchNeedsRefinement(point, vec3_c(1.0f, 1.0f, 1.0f), 1.0f));
}

TEST(TerrainPatch, HeightGridSamples)
{
    const std::vector<f32> heights = Field(9);
    triangle_set_c set;
    BuildHeightGrid(set, heights.data(), 9, 4, 2, 2, 2, 3.0f);
    ASSERT_EQ(set.GetVertexCount(), 9u);
    EXPECT_EQ(set.indices.size(), 24u);
    EXPECT_TRUE(set.IsIntegral());
    // Point (1, 2) of the patch is sample (6, 6).
    EXPECT_EQ(set.vertices[5].position, vec3_c(18.0f, HeightAt(6, 6), -18.0f));
    EXPECT_EQ(set.vertices[0].position, vec3_c(6.0f, HeightAt(4, 2), -12.0f));
}

TEST(TerrainPatch, BoundsCoverEveryVertex)
{
    const std::vector<f32> heights = Field(5);
    geometry_def_c geometry("Patch");
    auto* set = new triangle_set_c;
    BuildHeightGrid(*set, heights.data(), 5, 0, 0, 4, 1, 1.0f);
    geometry.AddPrimitiveSet(set);
    vec3_c min(FLT_MAX, FLT_MAX, FLT_MAX), max(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    ExtendByGeometry(geometry, min, max);
    EXPECT_EQ(min, vec3_c(0.0f, 0.0f, -4.0f));
    EXPECT_EQ(max, vec3_c(4.0f, HeightAt(2, 4), 0.0f));
}

TEST(TerrainPatch, RaysHitTheHeightField)
{
    const u32 side = 17;
    const std::vector<f32> heights = Field(side);
    geometry_def_c geometry("Patch");
    auto* set = new triangle_set_c;
    BuildHeightGrid(*set, heights.data(), side, 0, 0, side - 1, 1, 2.0f);
    geometry.AddPrimitiveSet(set);
    // Straight down onto sample points: the height there, from above 100.
    for (u32 r = 1; r < side - 1; r += 3)
        for (u32 c = 1; c < side - 1; c += 4) {
            const vec3_c top(static_cast<f32>(c) * 2.0f, 100.0f, -static_cast<f32>(r) * 2.0f);
            f32 distance = 0.0f;
            vec3_c normal;
            ASSERT_TRUE(RayTestGeometry(geometry, ray_c(top, vec3_c(0.0f, -1.0f, 0.0f)), false, distance, normal));
            EXPECT_NEAR(100.0f - distance, HeightAt(r, c), 1e-3f) << r << " " << c;
            EXPECT_GT(normal.y, 0.0f);
        }
    // As a segment the distance is a fraction of it.
    f32 fraction = 0.0f;
    vec3_c normal;
    ASSERT_TRUE(RayTestGeometry(geometry, ray_c(vec3_c(8.0f, 100.0f, -8.0f), vec3_c(0.0f, -200.0f, 0.0f)), false,
                                fraction, normal));
    EXPECT_NEAR(fraction, (100.0f - HeightAt(4, 4)) / 200.0f, 1e-5f);
    // The faces look up: from below nothing is hit one-sided.
    EXPECT_FALSE(RayTestGeometry(geometry, ray_c(vec3_c(8.0f, -50.0f, -8.0f), vec3_c(0.0f, 1.0f, 0.0f)), false,
                                 fraction, normal));
    EXPECT_TRUE(RayTestGeometry(geometry, ray_c(vec3_c(8.0f, -50.0f, -8.0f), vec3_c(0.0f, 1.0f, 0.0f)), true, fraction,
                                normal));
    // Beside the field.
    EXPECT_FALSE(RayTestGeometry(geometry, ray_c(vec3_c(-5.0f, 100.0f, 5.0f), vec3_c(0.0f, -1.0f, 0.0f)), true,
                                 fraction, normal));
}
