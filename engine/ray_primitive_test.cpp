#include "engine/ray_primitive.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

// A shape that does not provide its own copy.
class sphere_shape_c : public rt_primitive_c {
public:
    float Intersect(const ray_c&) const override { return 1.0f; }
};

} // namespace

TEST(RtPlaneTest, NormalisesThePlaneEquation)
{
    // (0, 2, 0) . p - 4 = 0 is the plane y = 2.
    const rt_plane_c plane(vec3_c(0, 2, 0), -4.0f);
    EXPECT_NEAR(plane.GetNormal().y, 1.0f, 1e-6f);
    EXPECT_NEAR(plane.GetConstant(), 2.0f, 1e-6f);
}

TEST(RtPlaneTest, DistancesAreInUnitsOfTheDirection)
{
    const rt_plane_c plane(vec3_c(0, 2, 0), -4.0f);
    EXPECT_NEAR(plane.Intersect(ray_c(vec3_c(0, 5, 0), vec3_c(0, -1, 0))), 3.0f, 1e-5f);
    EXPECT_NEAR(plane.Intersect(ray_c(vec3_c(0, 5, 0), vec3_c(0, -2, 0))), 1.5f, 1e-5f);
    // Both sides are hit alike.
    EXPECT_NEAR(plane.Intersect(ray_c(vec3_c(3, -1, 7), vec3_c(0, 1, 0))), 3.0f, 1e-5f);
}

TEST(RtPlaneTest, Misses)
{
    const rt_plane_c plane(vec3_c(0, 2, 0), -4.0f);
    EXPECT_EQ(plane.Intersect(ray_c(vec3_c(0, 5, 0), vec3_c(0, 1, 0))), 3.4028235e38f);
    EXPECT_EQ(plane.Intersect(ray_c(vec3_c(0, 5, 0), vec3_c(1, 0, 0))), 3.4028235e38f);
}

TEST(RtPlaneTest, RayStartingOnThePlaneGivesZero)
{
    const rt_plane_c plane(vec3_c(0, 1, 0), -2.0f);
    EXPECT_NEAR(plane.Intersect(ray_c(vec3_c(4, 2, -1), vec3_c(0.3f, -1, 0))), 0.0f, 1e-6f);
}

TEST(RtPlaneTest, CloneCopiesThePlane)
{
    const rt_plane_c plane(vec3_c(1, 0, 0), -3.0f);
    std::unique_ptr<rt_primitive_c> copy(plane.Clone());
    EXPECT_NEAR(copy->Intersect(ray_c(vec3_c(0, 0, 0), vec3_c(1, 0, 0))), 3.0f, 1e-5f);
}

TEST(RtPrimitiveTest, CloneOfAShapeWithoutOneThrows)
{
    const sphere_shape_c shape;
    try {
        delete shape.Clone();
        FAIL() << "no exception";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "rt_primitive_c* rt_primitive_c::Clone() const");
    }
}
