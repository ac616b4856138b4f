#include "engine/water_surface.h"

#include "engine/primitive_set.h"
#include "image/image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

image_c Geography(int _side, const std::vector<u8>& _pixels)
{
    image_c image;
    image.Create(_side, _side, format_l8);
    for (int r = 0; r < _side; ++r)
        for (int c = 0; c < _side; ++c)
            image.GetData()[r * image.GetPitch() + c] = _pixels[r * _side + c];
    return image;
}

u32 Alpha(const vertex_c& _vertex)
{
    return _vertex.diffuse >> 24;
}

} // namespace

TEST(WaterSurface, EdgeFadeTable)
{
    const f32 inf = std::numeric_limits<f32>::infinity();
    struct {
        f32 distance, k, fade;
    } cases[] = {{0.0f, 0.1f, 0.0f},  {5.0f, 0.1f, 0.5f}, {10.0f, 0.1f, 1.0f},
                 {50.0f, 0.1f, 1.0f}, {0.0f, inf, 1.0f},  {2.0f, inf, 1.0f}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(WaterEdgeFade(c.distance, c.k), c.fade) << c.distance << " " << c.k;
}

TEST(WaterSurface, OnePixelGivesTwoTriangles)
{
    triangle_set_c set;
    BuildWaterSurface(set, Geography(1, {9}), 100.0f, 0.05f);
    ASSERT_EQ(set.GetVertexCount(), 4u);
    ASSERT_EQ(set.indices, (std::vector<u32>{0, 1, 2, 1, 3, 2}));
    EXPECT_EQ(set.vertices[0].position, vec3_c(-50.0f, 0.0f, 50.0f));
    EXPECT_EQ(set.vertices[3].position, vec3_c(50.0f, 0.0f, -50.0f));
    // Every corner is on the edge: faded out entirely.
    for (const vertex_c& vertex : set.vertices)
        EXPECT_EQ(vertex.diffuse, 0u);
}

TEST(WaterSurface, DryMapGivesNothing)
{
    triangle_set_c set;
    BuildWaterSurface(set, Geography(3, std::vector<u8>(9, 0)), 30.0f, 0.1f);
    EXPECT_EQ(set.GetVertexCount(), 0u);
    EXPECT_TRUE(set.indices.empty());
}

TEST(WaterSurface, ShapeFollowsWaterPixels)
{
    // Water only in the top-left pixel of 2 x 2: the 3 x 3 grid keeps the
    // four points around it and the points touching it.
    triangle_set_c set;
    BuildWaterSurface(set, Geography(2, {1, 0, 0, 0}), 20.0f, 0.0f);
    ASSERT_EQ(set.GetVertexCount(), 4u);
    EXPECT_EQ(set.vertices[0].position, vec3_c(-10.0f, 0.0f, 10.0f));
    EXPECT_EQ(set.vertices[1].position, vec3_c(0.0f, 0.0f, 10.0f));
    EXPECT_EQ(set.vertices[2].position, vec3_c(-10.0f, 0.0f, 0.0f));
    EXPECT_EQ(set.vertices[3].position, vec3_c(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(set.indices.size(), 6u);
    // Border 0: no fade anywhere, the edge included.
    for (const vertex_c& vertex : set.vertices)
        EXPECT_EQ(Alpha(vertex), 255u);
}

TEST(WaterSurface, FadeTowardsTheEdges)
{
    // 4 x 4 of water over extent 40 with border 0.5: k = 0.05, so the fade
    // reaches 1.0 twenty units in, at the centre.
    triangle_set_c set;
    BuildWaterSurface(set, Geography(4, std::vector<u8>(16, 200)), 40.0f, 0.5f);
    ASSERT_EQ(set.GetVertexCount(), 25u);
    EXPECT_EQ(set.indices.size(), 16u * 6u);
    for (const vertex_c& vertex : set.vertices) {
        const f32 x = vertex.position.x, z = vertex.position.z;
        auto f = [](f32 d) { return std::min(d * 0.05f, 1.0f); };
        const f32 a = f(20 + x) * f(20 - x) * f(20 + z) * f(20 - z);
        EXPECT_EQ(Alpha(vertex), static_cast<u32>(255.0f * a)) << x << " " << z;
        const u32 grey = vertex.diffuse & 0xff;
        EXPECT_EQ((vertex.diffuse >> 8) & 0xff, grey);
        EXPECT_EQ((vertex.diffuse >> 16) & 0xff, grey);
        EXPECT_LE(grey, static_cast<u32>(255.0f * a));
    }
    EXPECT_EQ(Alpha(set.vertices[12]), 255u); // the centre
    EXPECT_EQ(Alpha(set.vertices[6]), static_cast<u32>(255.0f * 0.5f * 0.5f));
}

TEST(WaterSurface, WaterAtPixelsTable)
{
    const image_c map = Geography(2, {0, 5, 7, 0});
    struct {
        f32 extent, x, z;
        bool water;
    } cases[] = {
        {10.0f, -2.5f, 2.5f, false},        {10.0f, 2.5f, 2.5f, true}, {10.0f, -2.5f, -2.5f, true},
        {10.0f, 2.5f, -2.5f, false},        {10.0f, 5.0f, 5.0f, true}, // the far edge clamps to the last column
        {10.0f, 5.5f, 0.0f, false},         {0.0f, 0.0f, 0.0f, false}, // no square, no water
        {std::nanf(""), 0.0f, 0.0f, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWaterAt(map, c.extent, c.x, c.z), c.water) << c.extent << " " << c.x << " " << c.z;
    EXPECT_FALSE(IsWaterAt(image_c(), 10.0f, 0.0f, 0.0f));
}
