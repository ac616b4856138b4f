#include "engine/aabb.h"
#include "engine/bounding_box.h"
#include "engine/clip_mask.h"
#include "engine/quad_volume.h"

#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <gtest/gtest.h>

namespace {

mat4x3_c Identity43()
{
    mat4x3_c m;
    m.SetIdentity();
    return m;
}

mat4_c Identity44()
{
    mat4_c m;
    m.SetIdentity();
    return m;
}

// A hand-made projection: clip = (x, y, z - 1, z), so the view volume is
// the pyramid z >= 1 with |x|, |y| < z (near plane at z = 1, far plane at
// infinity... at z - 1 <= z, always).
mat4_c Pyramid()
{
    mat4_c m;
    m.SetIdentity();
    m.m[2][3] = 1.0f;
    m.m[3][2] = -1.0f;
    m.m[3][3] = 0.0f;
    return m;
}

void ExpectVec(const vec3_c& v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

u32 ClipBox(const vec3_c& a, const vec3_c& b, u32 parent = 0)
{
    bounding_box_c box(a, b);
    box.ToClipSpace(Identity43(), Identity44());
    return box.Clip(parent);
}

} // namespace

TEST(AabbTest, EmptyIsNotValidAndAPointIs)
{
    aabb_c box;
    EXPECT_FALSE(box.IsValid());
    EXPECT_EQ(box.min.x, 3.4028235e38f);
    EXPECT_EQ(box.max.z, -3.4028235e38f);
    box.Set(vec3_c(1, 2, 3), vec3_c(1, 2, 3));
    EXPECT_TRUE(box.IsValid());
    box.Set(vec3_c(1, 2, 3), vec3_c(1, 1, 3));
    EXPECT_FALSE(box.IsValid());
}

TEST(AabbTest, IntersectOfDisjointBoxesIsNotValid)
{
    aabb_c result;
    result.Intersect(aabb_c(vec3_c(0, 0, 0), vec3_c(1, 1, 1)), aabb_c(vec3_c(2, 2, 2), vec3_c(3, 3, 3)));
    ExpectVec(result.min, 2, 2, 2);
    ExpectVec(result.max, 1, 1, 1);
    EXPECT_FALSE(result.IsValid());
}

TEST(AabbTest, IntersectOfOverlappingBoxes)
{
    aabb_c result;
    result.Intersect(aabb_c(vec3_c(0, 0, 0), vec3_c(2, 2, 2)), aabb_c(vec3_c(1, -1, 1), vec3_c(3, 1, 5)));
    ExpectVec(result.min, 1, 0, 1);
    ExpectVec(result.max, 2, 1, 2);
    EXPECT_TRUE(result.IsValid());
}

TEST(AabbTest, IntersectWithAnEmptyOperandIsEmpty)
{
    aabb_c result(vec3_c(0, 0, 0), vec3_c(1, 1, 1));
    result.Intersect(aabb_c(vec3_c(0, 0, 0), vec3_c(1, 1, 1)), aabb_c());
    EXPECT_FALSE(result.IsValid());
    EXPECT_EQ(result.min.y, 3.4028235e38f);
}

TEST(AabbTest, TransformTakesTheExtremesOfTheCorners)
{
    mat4x3_c m;
    m.SetRotation(1, 1.5707963267948966f); // x -> -z, z -> x
    m.SetPosition(vec3_c(10, 0, 0));
    aabb_c result;
    result.Transform(aabb_c(vec3_c(0, 0, 0), vec3_c(1, 2, 3)), m);
    EXPECT_NEAR(result.min.x, 10.0f, 1e-5f);
    EXPECT_NEAR(result.max.x, 13.0f, 1e-5f);
    EXPECT_NEAR(result.min.y, 0.0f, 1e-5f);
    EXPECT_NEAR(result.max.y, 2.0f, 1e-5f);
    EXPECT_NEAR(result.min.z, -1.0f, 1e-5f);
    EXPECT_NEAR(result.max.z, 0.0f, 1e-5f);
}

TEST(AabbTest, FromBoundingBoxTakesCornersZeroAndSeven)
{
    const aabb_c box(bounding_box_c(vec3_c(-1, -2, -3), vec3_c(4, 5, 6)));
    ExpectVec(box.min, -1, -2, -3);
    ExpectVec(box.max, 4, 5, 6);
}

TEST(BoundingBoxTest, CornerOrder)
{
    const bounding_box_c box(vec3_c(0, 0, 0), vec3_c(1, 2, 3));
    ExpectVec(box.GetCorner(0), 0, 0, 0);
    ExpectVec(box.GetCorner(1), 1, 0, 0);
    ExpectVec(box.GetCorner(2), 0, 2, 0);
    ExpectVec(box.GetCorner(3), 1, 2, 0);
    ExpectVec(box.GetCorner(4), 0, 0, 3);
    ExpectVec(box.GetCorner(5), 1, 0, 3);
    ExpectVec(box.GetCorner(6), 0, 2, 3);
    ExpectVec(box.GetCorner(7), 1, 2, 3);
    EXPECT_EQ(box.GetProjected(7).w, 1.0f);
    EXPECT_EQ(box.GetClipMask(), 0u);
}

TEST(BoundingBoxTest, DefaultIsBuiltFromTheEmptyExtremes)
{
    const bounding_box_c box;
    EXPECT_EQ(box.GetCorner(0).x, 3.4028235e38f);
    EXPECT_EQ(box.GetCorner(7).z, -3.4028235e38f);
}

TEST(BoundingBoxTest, Sphere)
{
    const bounding_box_c box(vec3_c(-1, 0, 2), vec3_c(1, 4, 6));
    ExpectVec(box.GetCentre(), 0, 2, 4);
    EXPECT_FLOAT_EQ(box.GetRadius(), 3.0f); // |(2, 4, 4)| / 2
}

TEST(BoundingBoxTest, ClipMasksAgainstTheUnitVolume)
{
    // Wholly inside.
    EXPECT_EQ(ClipBox(vec3_c(-0.5f, -0.5f, 0.2f), vec3_c(0.5f, 0.5f, 0.8f)), 127u);
    // Crossing the near plane, inside the other five.
    EXPECT_EQ(ClipBox(vec3_c(-0.5f, -0.5f, -0.5f), vec3_c(0.5f, 0.5f, 0.5f)), 126u);
    // Wholly behind the near plane.
    EXPECT_EQ(ClipBox(vec3_c(-0.5f, -0.5f, -2.0f), vec3_c(0.5f, 0.5f, -1.0f)), 0u);
    // Every corner at z = 0: z must be greater than 0.
    EXPECT_EQ(ClipBox(vec3_c(-0.5f, -0.5f, 0.0f), vec3_c(0.5f, 0.5f, 0.0f)), 0u);
    // Corners exactly at x = w and y = w count as inside.
    EXPECT_EQ(ClipBox(vec3_c(0.0f, 0.0f, 0.5f), vec3_c(1.0f, 1.0f, 1.0f)), 127u);
    // ... but x = -w is outside the left plane.
    EXPECT_EQ(ClipBox(vec3_c(-1.0f, 0.0f, 0.5f), vec3_c(-1.0f, 0.5f, 1.0f)), 0u);
    // Crossing right and far planes.
    EXPECT_EQ(ClipBox(vec3_c(0.5f, -0.5f, 0.5f), vec3_c(1.5f, 0.5f, 1.5f)), 64u | 1 | 2 | 8 | 16);
}

TEST(BoundingBoxTest, NeedsClippingUnlessWhollyInside)
{
    bounding_box_c box(vec3_c(-0.5f, -0.5f, 0.2f), vec3_c(0.5f, 0.5f, 0.8f));
    box.ToClipSpace(Identity43(), Identity44());
    box.Clip(0);
    EXPECT_FALSE(box.NeedsClipping());
    box.Set(vec3_c(-0.5f, -0.5f, -0.5f), vec3_c(0.5f, 0.5f, 0.5f));
    box.ToClipSpace(Identity43(), Identity44());
    box.Clip(0);
    EXPECT_TRUE(box.NeedsClipping());
}

TEST(BoundingBoxTest, ParentMaskPlanesAreNotTestedAgain)
{
    // Left of the volume, but the parent says the left plane holds it.
    const vec3_c a(-3.0f, -0.5f, 0.2f), b(-2.0f, 0.5f, 0.8f);
    EXPECT_EQ(ClipBox(a, b, 0), 0u);
    EXPECT_EQ(ClipBox(a, b, clip_left), 127u);
    // 127 is taken without looking at the corners.
    EXPECT_EQ(ClipBox(vec3_c(50, 50, -50), vec3_c(60, 60, -40), 127), 127u);
}

TEST(BoundingBoxTest, ClipThroughAHandMadeFrustum)
{
    mat4x3_c world;
    world.SetTranslation(vec3_c(0, 0, 5));
    bounding_box_c box(vec3_c(-1, -1, -1), vec3_c(1, 1, 1));
    box.ToClipSpace(world, Pyramid());
    EXPECT_EQ(box.Clip(0), 127u);
    EXPECT_FLOAT_EQ(box.GetMin().w, 4.0f);
    EXPECT_FLOAT_EQ(box.GetMax().z, 5.0f);

    // Straddling the near plane (z = 1) and reaching out of the sides.
    world.SetTranslation(vec3_c(0, 0, 1));
    box.ToClipSpace(world, Pyramid());
    EXPECT_EQ(box.Clip(0), 64u | clip_far);
    // Beside the pyramid.
    world.SetTranslation(vec3_c(20, 0, 5));
    box.ToClipSpace(world, Pyramid());
    EXPECT_EQ(box.Clip(0), 0u);
}

TEST(BoundingBoxTest, TransformCornersAppliesOnlyTheAffineMatrix)
{
    mat4x3_c m;
    m.SetScale(vec3_c(2, 2, 2));
    bounding_box_c box(vec3_c(0, 0, 0), vec3_c(1, 1, 1));
    box.ToClipSpace(Identity43(), Identity44());
    box.Clip(0);
    box.TransformCorners(m);
    EXPECT_EQ(box.GetClipMask(), 0u);
    EXPECT_FLOAT_EQ(box.GetProjected(7).x, 2.0f);
    EXPECT_FLOAT_EQ(box.GetProjected(7).w, 1.0f);
}

TEST(BoundingBoxTest, RayDistance)
{
    const bounding_box_c box(vec3_c(-1, -1, -1), vec3_c(1, 1, 1));
    EXPECT_FLOAT_EQ(box.RayDistance(ray_c(vec3_c(0, 0, -5), vec3_c(0, 0, 1))), 4.0f);
    EXPECT_EQ(box.RayDistance(ray_c(vec3_c(0, 0, -5), vec3_c(1, 0, 0))), 3.4028235e38f);
    // A segment: distances are fractions of the direction.
    EXPECT_FLOAT_EQ(box.RayDistance(ray_c(vec3_c(0, 0, -5), vec3_c(0, 0, 8))), 0.5f);
    // From inside, the face it leaves through.
    EXPECT_FLOAT_EQ(box.RayDistance(ray_c(vec3_c(0, 0, 0), vec3_c(0, 2, 0))), 0.5f);
    // Pointing away.
    EXPECT_EQ(box.RayDistance(ray_c(vec3_c(0, 0, -5), vec3_c(0, 0, -1))), 3.4028235e38f);
    // Grazing an edge counts (bounds inclusive).
    EXPECT_FLOAT_EQ(box.RayDistance(ray_c(vec3_c(1, 1, -5), vec3_c(0, 0, 1))), 4.0f);
}

TEST(BoundingBoxTest, RayFaceDistanceRules)
{
    const ray_c ray(vec3_c(0, 0, -5), vec3_c(0, 0, 1));
    const vec3_c a(-1, -1, 1), b(1, 1, 1);
    EXPECT_FLOAT_EQ(RayFaceDistance(ray, 3, a, b), 6.0f);
    EXPECT_EQ(RayFaceDistance(ray, 1, a, b), 3.4028235e38f); // parallel
    EXPECT_EQ(RayFaceDistance(ray, 0, a, b), 3.4028235e38f);
    EXPECT_EQ(RayFaceDistance(ray, 4, a, b), 3.4028235e38f);
    EXPECT_EQ(RayFaceDistance(ray_c(vec3_c(0, 0, 5), vec3_c(0, 0, 1)), 3, a, b), 3.4028235e38f); // behind
    EXPECT_EQ(RayFaceDistance(ray_c(vec3_c(2, 0, -5), vec3_c(0, 0, 1)), 3, a, b), 3.4028235e38f);
}

TEST(BoundingBoxTest, ClosestPoint)
{
    const bounding_box_c box(vec3_c(-1, -1, -1), vec3_c(1, 1, 1));
    ExpectVec(box.ClosestPoint(vec3_c(5, 0, 0)), 1, 0, 0);
    ExpectVec(box.ClosestPoint(vec3_c(0.5f, 0, 0)), 0.5f, 0, 0);
    ExpectVec(box.ClosestPoint(vec3_c(-3, 4, 0.25f)), -1, 1, 0.25f);
    ExpectVec(box.ClosestPoint(vec3_c(1, 1, 1)), 1, 1, 1);
}

TEST(BoundingBoxTest, CopyKeepsProjectionAndMask)
{
    bounding_box_c box(vec3_c(-0.5f, -0.5f, 0.2f), vec3_c(0.5f, 0.5f, 0.8f));
    box.ToClipSpace(Identity43(), Identity44());
    box.Clip(0);
    const bounding_box_c copy(box);
    EXPECT_EQ(copy.GetClipMask(), 127u);
    EXPECT_EQ(copy.GetProjected(3).y, box.GetProjected(3).y);
}

TEST(BoundingBoxTest, StoredFormIsCornerZeroThenSeven)
{
    output_file_c out;
    out.WriteU8(1);
    WriteBoundingBox(out, bounding_box_c(vec3_c(-1, -2, -3), vec3_c(4, 5, 6)));
    EXPECT_EQ(out.GetSize(), 4u + 24);

    input_file_c in(out.GetData(), out.GetSize());
    u8 skip;
    in.ReadU8(skip);
    bounding_box_c box;
    box.ToClipSpace(Identity43(), Identity44());
    box.Clip(127);
    ReadBoundingBox(in, box);
    ExpectVec(box.GetCorner(0), -1, -2, -3);
    ExpectVec(box.GetCorner(5), 4, -2, 6);
    EXPECT_EQ(box.GetClipMask(), 0u);

    // Data that ends early leaves the values it lacks as they were.
    input_file_c cut(out.GetData(), out.GetSize() - 1);
    cut.ReadU8(skip);
    box.Set(vec3_c(10, 20, 30), vec3_c(40, 50, 60));
    ReadBoundingBox(cut, box);
    ExpectVec(box.GetCorner(0), -1, -2, -3);
    ExpectVec(box.GetCorner(7), 4, 5, 60);
}

TEST(QuadVolumeTest, CornersLieAtTheFirstPointsDepth)
{
    quad_volume_c quad;
    EXPECT_EQ(quad.GetCorner(0).x, 3.4028235e38f);
    quad.Set(vec3_c(-1, -2, 0.5f), vec3_c(3, 4, 9));
    ExpectVec(quad.GetCorner(0), -1, -2, 0.5f);
    ExpectVec(quad.GetCorner(1), 3, -2, 0.5f);
    ExpectVec(quad.GetCorner(2), -1, 4, 0.5f);
    ExpectVec(quad.GetCorner(3), 3, 4, 0.5f);
}

TEST(QuadVolumeTest, ClipMasks)
{
    quad_volume_c quad;
    quad.Set(vec3_c(-0.5f, -0.5f, 0.5f), vec3_c(0.5f, 0.5f, 0.5f));
    quad.ToClipSpace(Identity43(), Identity44());
    EXPECT_EQ(quad.Clip(0), 127u);
    EXPECT_FALSE(quad.NeedsClipping());

    quad.Set(vec3_c(0.5f, -0.5f, 0.5f), vec3_c(1.5f, 0.5f, 0.5f));
    quad.ToClipSpace(Identity43(), Identity44());
    EXPECT_EQ(quad.Clip(0), 127u & ~static_cast<u32>(clip_right));
    EXPECT_TRUE(quad.NeedsClipping());
    EXPECT_EQ(quad.Clip(127), 127u);

    mat4x3_c behind;
    behind.SetTranslation(vec3_c(0, 0, -3));
    quad.ToClipSpace(behind, Identity44());
    EXPECT_EQ(quad.GetClipMask(), 0u);
    EXPECT_EQ(quad.Clip(0), 0u);
}

TEST(ClipMaskTest, EmptyPointSetIsCulled)
{
    EXPECT_EQ(ComputeClipMask(nullptr, 0, 0), 0u);
}
