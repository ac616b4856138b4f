#include "engine/primitive_set.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

vertex_c At(float x, float y, float z)
{
    vertex_c v;
    v.position = vec3_c(x, y, z);
    return v;
}

// One triangle in the plane z = 0, counter-clockwise seen from -z... its
// normal (p1 - p0) x (p2 - p0) points along +z.
triangle_set_c Triangle()
{
    triangle_set_c set;
    set.vertices = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0)};
    set.indices = {0, 1, 2};
    return set;
}

} // namespace

TEST(PrimitiveSetTest, PrimitiveCountsByKind)
{
    triangle_set_c strip;
    strip.vertices.resize(5);
    EXPECT_EQ(strip.GetPrimitiveCount(0), 3u);
    EXPECT_EQ(strip.GetPrimitiveCount(3), 3u);
    EXPECT_EQ(strip.GetPrimitiveCount(2), 0u);
    strip.indices = {0, 1, 2, 2, 1, 3};
    EXPECT_EQ(strip.GetPrimitiveCount(0), 2u);

    line_set_c lines;
    lines.vertices.resize(4);
    EXPECT_EQ(lines.GetPrimitiveCount(2), 3u);
    EXPECT_EQ(lines.GetPrimitiveCount(1), 0u);
    lines.vertices.resize(1);
    EXPECT_EQ(lines.GetPrimitiveCount(0), 0u);

    point_set_c points;
    points.vertices.resize(4);
    EXPECT_EQ(points.GetPrimitiveCount(1), 4u);
    points.indices = {3};
    EXPECT_EQ(points.GetPrimitiveCount(0), 1u);
    EXPECT_EQ(points.GetPrimitiveCount(3), 0u);

    triangle_set_c two;
    two.vertices.resize(2);
    EXPECT_EQ(two.GetPrimitiveCount(0), 0u);
}

TEST(PrimitiveSetTest, IndicesPointerIsNullWithoutIndices)
{
    triangle_set_c set;
    EXPECT_EQ(set.GetIndices(), nullptr);
    EXPECT_EQ(set.GetIndicesConst(), nullptr);
    set.indices = {4, 5, 6};
    EXPECT_EQ(*set.GetIndicesConst(), 4u);
    EXPECT_EQ(set.GetVerticesPerPrimitive(), 3u);
    EXPECT_EQ(line_set_c().GetVerticesPerPrimitive(), 2u);
    EXPECT_EQ(point_set_c().GetVerticesPerPrimitive(), 1u);
}

TEST(PrimitiveSetTest, Integrity)
{
    triangle_set_c triangles;
    EXPECT_TRUE(triangles.IsIntegral()); // empty
    triangles.indices = {0, 1, 2};
    EXPECT_FALSE(triangles.IsIntegral()); // indices without vertices
    triangles.indices.clear();
    triangles.vertices.resize(2);
    EXPECT_FALSE(triangles.IsIntegral()); // too short a strip
    triangles.vertices.resize(3);
    EXPECT_TRUE(triangles.IsIntegral()); // one strip triangle
    triangles.indices = {0, 1, 3};
    EXPECT_FALSE(triangles.IsIntegral()); // index equal to the count
    triangles.indices = {0, 1, 2, 1};
    EXPECT_FALSE(triangles.IsIntegral()); // not whole triangles
    triangles.indices = {2, 1, 0};
    EXPECT_TRUE(triangles.IsIntegral());

    line_set_c lines;
    lines.vertices.resize(1);
    EXPECT_FALSE(lines.IsIntegral());
    point_set_c points;
    points.vertices.resize(1);
    EXPECT_TRUE(points.IsIntegral());
    points.indices = {0xFFFFFFFF};
    EXPECT_FALSE(points.IsIntegral());
}

TEST(PrimitiveSetTest, WeldingMergesEqualVerticesAndRewritesIndices)
{
    triangle_set_c set;
    set.vertices = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0), At(0, 0, 0), At(1, 0, 0), At(0, 1, 0)};
    set.indices = {0, 1, 2, 3, 4, 5};
    set.WeldVertices();
    ASSERT_EQ(set.vertices.size(), 3u);
    EXPECT_EQ(set.indices, (std::vector<u32>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(set.vertices[1].position.x, 1.0f);
}

TEST(PrimitiveSetTest, WeldingKeepsFirstOccurrenceOrder)
{
    triangle_set_c set;
    set.vertices = {At(5, 0, 0), At(1, 0, 0), At(5, 0, 0), At(2, 0, 0)};
    set.indices = {3, 2, 1, 0, 2, 3};
    set.WeldVertices();
    ASSERT_EQ(set.vertices.size(), 3u);
    EXPECT_EQ(set.vertices[2].position.x, 2.0f);
    EXPECT_EQ(set.indices, (std::vector<u32>{2, 0, 1, 0, 0, 2}));
}

TEST(PrimitiveSetTest, WeldingTolerances)
{
    vertex_c a = At(0, 0, 0), b = At(0, 0, 0);
    b.normal.y = 1e-8f;
    EXPECT_TRUE(a == b);
    b = a;
    b.blendWeights[1] = 1e-8f;
    EXPECT_FALSE(a == b);
    b = a;
    b.texCoords[2][1] = 1e-6f;
    EXPECT_FALSE(a == b);
    b = a;
    b.matrixIndices[3] = 1;
    EXPECT_FALSE(a == b);
    b = a;
    b.diffuse = 0xFF000000;
    EXPECT_FALSE(a == b);
}

TEST(PrimitiveSetTest, StripsAreNotWelded)
{
    triangle_set_c strip;
    strip.vertices = {At(0, 0, 0), At(1, 0, 0), At(0, 0, 0), At(1, 1, 0)};
    strip.WeldVertices();
    EXPECT_EQ(strip.vertices.size(), 4u);
}

TEST(PrimitiveSetTest, RemapIndices)
{
    line_set_c lines;
    lines.vertices.resize(3);
    lines.indices = {0, 2, 2, 1};
    lines.RemapIndices({1, 0, 0});
    EXPECT_EQ(lines.indices, (std::vector<u32>{1, 0, 0, 0}));
}

TEST(PrimitiveSetTest, CloneCopiesVerticesAndIndices)
{
    const triangle_set_c set = Triangle();
    std::unique_ptr<primitive_set_c> copy(set.Clone());
    EXPECT_EQ(copy->GetVerticesPerPrimitive(), 3u);
    EXPECT_EQ(copy->indices, set.indices);
    EXPECT_EQ(copy->vertices[2].position.y, 1.0f);
}

TEST(PrimitiveSetTest, RayHitsAHandPlacedTriangle)
{
    const triangle_set_c set = Triangle();
    float distance = 0.0f;
    vec3_c normal;
    // From behind the front face (from -z towards +z the triangle is seen
    // from its back): a two-sided test hits it, a one-sided one does not.
    const ray_c from_below(vec3_c(0.25f, 0.25f, -2.0f), vec3_c(0, 0, 1));
    ASSERT_TRUE(set.RayTest(distance, normal, from_below, true));
    EXPECT_NEAR(distance, 2.0f, 1e-6f);
    EXPECT_NEAR(normal.z, -1.0f, 1e-5f); // faces the ray origin
    EXPECT_FALSE(set.RayTest(distance, normal, from_below, false));

    const ray_c from_above(vec3_c(0.25f, 0.25f, 4.0f), vec3_c(0, 0, -8.0f));
    ASSERT_TRUE(set.RayTest(distance, normal, from_above, false));
    EXPECT_NEAR(distance, 0.5f, 1e-6f);
    EXPECT_NEAR(normal.z, 1.0f, 1e-5f);
}

TEST(PrimitiveSetTest, RayMisses)
{
    const triangle_set_c set = Triangle();
    float distance = 0.0f;
    vec3_c normal;
    // Parallel to the plane.
    EXPECT_FALSE(set.RayTest(distance, normal, ray_c(vec3_c(0.25f, 0.25f, 0.0f), vec3_c(1, 0, 0)), true));
    // Outside the edges.
    EXPECT_FALSE(set.RayTest(distance, normal, ray_c(vec3_c(0.75f, 0.75f, 1.0f), vec3_c(0, 0, -1)), true));
    // Behind the origin.
    EXPECT_FALSE(set.RayTest(distance, normal, ray_c(vec3_c(0.25f, 0.25f, 1.0f), vec3_c(0, 0, 1)), true));
    // Strips are not tested.
    triangle_set_c strip = Triangle();
    strip.indices.clear();
    EXPECT_FALSE(strip.RayTest(distance, normal, ray_c(vec3_c(0.25f, 0.25f, 1.0f), vec3_c(0, 0, -1)), true));
    // Lines and points never hit.
    line_set_c lines;
    lines.vertices = set.vertices;
    lines.indices = {0, 1};
    EXPECT_FALSE(lines.RayTest(distance, normal, ray_c(vec3_c(0.5f, 0, 1), vec3_c(0, 0, -1)), true));
}

TEST(PrimitiveSetTest, RayKeepsTheNearestTriangle)
{
    triangle_set_c set;
    set.vertices = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0), At(0, 0, 2), At(1, 0, 2), At(0, 1, 2)};
    set.indices = {0, 1, 2, 3, 4, 5, 0, 1, 2};
    float distance = 0.0f;
    vec3_c normal;
    ASSERT_TRUE(set.RayTest(distance, normal, ray_c(vec3_c(0.2f, 0.2f, 5.0f), vec3_c(0, 0, -1)), true));
    EXPECT_NEAR(distance, 3.0f, 1e-5f);
}

TEST(PrimitiveSetTest, RayIgnoresIndicesOutsideTheSet)
{
    triangle_set_c set = Triangle();
    set.indices = {0, 1, 9};
    float distance = 0.0f;
    vec3_c normal;
    EXPECT_FALSE(set.RayTest(distance, normal, ray_c(vec3_c(0.25f, 0.25f, 1.0f), vec3_c(0, 0, -1)), true));
}

TEST(PrimitiveSetTest, CreateBySize)
{
    std::unique_ptr<primitive_set_c> points(CreatePrimitiveSet(1));
    std::unique_ptr<primitive_set_c> lines(CreatePrimitiveSet(2));
    std::unique_ptr<primitive_set_c> triangles(CreatePrimitiveSet(3));
    EXPECT_EQ(points->GetVerticesPerPrimitive(), 1u);
    EXPECT_EQ(lines->GetVerticesPerPrimitive(), 2u);
    EXPECT_EQ(triangles->GetVerticesPerPrimitive(), 3u);
    EXPECT_EQ(CreatePrimitiveSet(0), nullptr);
    EXPECT_EQ(CreatePrimitiveSet(4), nullptr);
}

TEST(PrimitiveSetTest, LinesAreIndexPairs)
{
    line_set_c lines;
    lines.vertices.resize(3);
    lines.AddLine(line_c{0, 2});
    lines.AddLine(line_c{2, 1});
    EXPECT_EQ(lines.indices, (std::vector<u32>{0, 2, 2, 1}));
    EXPECT_EQ(lines.GetPrimitiveCount(0), 2u);
    EXPECT_EQ(lines.GetLine(1).first, 2u);
    EXPECT_EQ(lines.GetLine(1).second, 1u);
    EXPECT_TRUE(lines.IsIntegral());
}
