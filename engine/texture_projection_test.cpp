#include "engine/primitive_set.h"
#include "engine/texture_projection.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float pi = 3.14159265358979f;

vertex_c At(float x, float y, float z)
{
    vertex_c v;
    v.position = vec3_c(x, y, z);
    return v;
}

// A point whose cylindrical angle about y gives the texture coordinate u.
vertex_c AtU(float u)
{
    const float angle = 2.0f * pi * (1.0f - u);
    return At(std::sin(angle), 0.0f, std::cos(angle));
}

triangle_set_c Triangle(const vertex_c& a, const vertex_c& b, const vertex_c& c)
{
    triangle_set_c set;
    set.vertices = {a, b, c};
    set.indices = {0, 1, 2};
    return set;
}

texture_projection_c Projection(u32 type, u32 axis)
{
    texture_projection_c p;
    p.mapType = type;
    p.axis = axis;
    return p;
}

void ExpectUv(const triangle_set_c& set, int vertex, int uv_set, float u, float v)
{
    EXPECT_NEAR(set.vertices[vertex].texCoords[uv_set][0], u, 1e-5f) << "vertex " << vertex;
    EXPECT_NEAR(set.vertices[vertex].texCoords[uv_set][1], v, 1e-5f) << "vertex " << vertex;
}

} // namespace

TEST(TextureProjectionTest, DefaultsProjectNothing)
{
    texture_projection_c p;
    EXPECT_EQ(p.mapType, 0u);
    EXPECT_EQ(p.axis, 2u);
    EXPECT_EQ(p.size[1], 1.0f);
    triangle_set_c set = Triangle(At(1, 2, 3), At(4, 5, 6), At(7, 8, 8));
    set.ProjectTextureCoordinates(0, p);
    ExpectUv(set, 0, 0, 0, 0);
}

TEST(TextureProjectionTest, PlanarAlongEachAxis)
{
    triangle_set_c set = Triangle(At(1, 1, 0), At(0, 1, 1), At(1, 0, 1));
    texture_projection_c z = Projection(1, 2);
    z.size[0] = z.size[1] = z.size[2] = 2.0f;
    set.ProjectTextureCoordinates(1, z);
    ExpectUv(set, 0, 1, 1.0f, 0.0f);
    ExpectUv(set, 0, 0, 0.0f, 0.0f); // other sets untouched

    set.ProjectTextureCoordinates(0, Projection(1, 0));
    ExpectUv(set, 1, 0, 1.5f, -0.5f); // u = z + 0.5, v = 0.5 - y
    set.ProjectTextureCoordinates(2, Projection(1, 1));
    ExpectUv(set, 2, 2, 1.5f, -0.5f); // u = x + 0.5, v = 0.5 - z
}

TEST(TextureProjectionTest, CentreAndRotationComeFirst)
{
    texture_projection_c p = Projection(1, 2);
    p.rotation[0] = pi / 2; // heading: x turns onto z
    triangle_set_c set = Triangle(At(1, 0, 0), At(0, 0, 0), At(0, 1, 0));
    set.ProjectTextureCoordinates(0, p);
    ExpectUv(set, 0, 0, 0.5f, 0.5f);

    texture_projection_c shifted = Projection(1, 2);
    shifted.centre[0] = 1.0f;
    set.ProjectTextureCoordinates(0, shifted);
    ExpectUv(set, 0, 0, 0.5f, 0.5f);
    ExpectUv(set, 1, 0, -0.5f, 0.5f);
}

TEST(TextureProjectionTest, CylindricalAngles)
{
    triangle_set_c set = Triangle(At(0, 0, 1), At(1, 0.5f, 0), At(-1, 0, 0));
    set.ProjectTextureCoordinates(0, Projection(2, 1));
    ExpectUv(set, 0, 0, 1.0f, 0.5f);
    ExpectUv(set, 1, 0, 0.75f, 0.0f);
    // 0.25 is more than 0.8125 away from neither neighbour: no seam shift.
    ExpectUv(set, 2, 0, 0.25f, 0.5f);

    triangle_set_c back = Triangle(At(0, 0, -1), At(0, 1, -1), At(0, 2, -1));
    texture_projection_c wide = Projection(2, 1);
    wide.wrapWidth = 2.0f;
    back.ProjectTextureCoordinates(0, wide);
    ExpectUv(back, 0, 0, 1.0f, 0.5f); // u = 0.5 x 2
    ExpectUv(back, 2, 0, 1.0f, -1.5f);

    // On the axis the angle is 0.
    triangle_set_c axis = Triangle(At(0, 0, 0), At(0, 0, 1), At(0, 1, 1));
    axis.ProjectTextureCoordinates(0, Projection(2, 1));
    ExpectUv(axis, 0, 0, 1.0f, 0.5f);
}

TEST(TextureProjectionTest, SphericalAnglesAndPoles)
{
    triangle_set_c set = Triangle(At(0, 1, 0), At(0, 0, 1), At(1, 1, 0));
    set.ProjectTextureCoordinates(0, Projection(3, 1));
    ExpectUv(set, 0, 0, 1.0f, 0.0f); // the pole
    ExpectUv(set, 1, 0, 1.0f, 0.5f);
    ExpectUv(set, 2, 0, 0.75f, 0.25f);

    texture_projection_c tall = Projection(3, 1);
    tall.wrapHeight = 2.0f;
    triangle_set_c south = Triangle(At(0, -3, 0), At(0, 0, 0), At(0, 0, 1));
    south.ProjectTextureCoordinates(0, tall);
    ExpectUv(south, 0, 0, 1.0f, 2.0f);
    ExpectUv(south, 1, 0, 1.0f, 1.0f);
}

TEST(TextureProjectionTest, CubicPicksTheDominantAxis)
{
    // Normal along x: planar along x (u = z + 0.5, v = 0.5 - y).
    triangle_set_c x_facing = Triangle(At(2, 0, 0), At(2, 1, 0), At(2, 0, 1));
    x_facing.ProjectTextureCoordinates(0, Projection(4, 2));
    ExpectUv(x_facing, 2, 0, 1.5f, 0.5f);

    // Normal (1, 1, 0): x wins over y on equality.
    triangle_set_c xy = Triangle(At(0, 0, 0), At(0, 0, 1), At(1, -1, 0));
    xy.ProjectTextureCoordinates(0, Projection(4, 2));
    ExpectUv(xy, 1, 0, 1.5f, 0.5f);

    // Normal (0, 1, 1): z wins on equality (u = x + 0.5, v = 0.5 - y).
    triangle_set_c yz = Triangle(At(0, 0, 0), At(1, 0, 0), At(0, -1, 1));
    yz.ProjectTextureCoordinates(0, Projection(4, 0));
    ExpectUv(yz, 1, 0, 1.5f, 0.5f);

    // Normal along y: planar along y (u = x + 0.5, v = 0.5 - z).
    triangle_set_c up = Triangle(At(0, 0, 0), At(0, 0, 1), At(1, 0, 0));
    up.ProjectTextureCoordinates(0, Projection(4, 2));
    ExpectUv(up, 1, 0, 0.5f, -0.5f);
}

TEST(TextureProjectionTest, SeamFixShiftsCornersAcrossTheWrap)
{
    const texture_projection_c p = Projection(2, 1);
    triangle_set_c forward = Triangle(AtU(0.95f), AtU(0.05f), AtU(0.9f));
    forward.ProjectTextureCoordinates(0, p);
    ExpectUv(forward, 0, 0, 0.95f, 0.5f);
    ExpectUv(forward, 1, 0, 1.05f, 0.5f);
    ExpectUv(forward, 2, 0, 0.9f, 0.5f);

    triangle_set_c backward = Triangle(AtU(0.05f), AtU(0.1f), AtU(0.95f));
    backward.ProjectTextureCoordinates(0, p);
    ExpectUv(backward, 2, 0, -0.05f, 0.5f);

    triangle_set_c closing = Triangle(AtU(0.95f), AtU(0.55f), AtU(0.1f));
    closing.ProjectTextureCoordinates(0, p);
    ExpectUv(closing, 0, 0, -0.05f, 0.5f);
    ExpectUv(closing, 1, 0, 0.55f, 0.5f);
    ExpectUv(closing, 2, 0, 0.1f, 0.5f);
}

TEST(TextureProjectionTest, PlanarMapsHaveNoSeamFix)
{
    triangle_set_c set = Triangle(At(0.45f, 0, 0), At(-0.45f, 0, 0), At(0, 1, 0));
    set.ProjectTextureCoordinates(0, Projection(1, 2));
    ExpectUv(set, 0, 0, 0.95f, 0.5f);
    ExpectUv(set, 1, 0, 0.05f, 0.5f);
}

TEST(TextureProjectionTest, SharedVerticesKeepTheLastTrianglesValue)
{
    triangle_set_c set;
    set.vertices = {AtU(0.95f), AtU(0.05f), AtU(0.9f), AtU(0.1f)};
    set.indices = {0, 1, 2, 3, 1, 2};
    set.ProjectTextureCoordinates(0, Projection(2, 1));
    // Second triangle: 0.1, 0.05, 0.9 -> the last corner shifts to -0.1.
    ExpectUv(set, 2, 0, -0.1f, 0.5f);
    ExpectUv(set, 1, 0, 0.05f, 0.5f);
}

TEST(TextureProjectionTest, OutOfRangeSetsAndOtherSetKindsDoNothing)
{
    triangle_set_c set = Triangle(At(1, 1, 0), At(0, 1, 1), At(1, 0, 1));
    set.ProjectTextureCoordinates(3, Projection(1, 2));
    for (const vertex_c& v : set.vertices)
        for (const auto& uv : v.texCoords)
            EXPECT_EQ(uv[0], 0.0f);
    line_set_c lines;
    lines.vertices = set.vertices;
    lines.indices = {0, 1};
    lines.ProjectTextureCoordinates(0, Projection(1, 2));
    EXPECT_EQ(lines.vertices[0].texCoords[0][0], 0.0f);
}
