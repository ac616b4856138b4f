#include "engine/camera.h"

#include "engine/light.h"
#include "engine/testing/recording_renderer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <numbers>

namespace {

constexpr float pi = std::numbers::pi_v<float>;

} // namespace

TEST(CameraTest, FieldOfViewSetsZoom)
{
    camera_c camera("c");
    EXPECT_FLOAT_EQ(camera.zoom, 3.2f);
    camera.SetFieldOfView(pi / 2);
    EXPECT_NEAR(camera.zoom, 1.0f, 1e-6f);
}

TEST(CameraTest, ViewShapeFromViewport)
{
    recording_renderer_c renderer(640, 480);
    renderer.SetViewport(0, 0, 1, 1, 1.0f);
    camera_c camera("c");
    camera.zoom = 2.0f;
    camera.SetViewShape(renderer);
    // (320 x 1 x 1) / (240 x 2)
    EXPECT_FLOAT_EQ(camera.GetHorizontalExtent(), 320.0f / 480.0f);
    EXPECT_FLOAT_EQ(camera.GetVerticalExtent(), 0.5f);
}

TEST(CameraTest, ProjectionWithAndWithoutFarPlane)
{
    camera_c camera("c");
    camera.SetProjection(1, FLT_MAX);
    EXPECT_FLOAT_EQ(camera.GetProjection().m[2][2], 1.0f);
    EXPECT_FLOAT_EQ(camera.GetProjection().m[3][2], -1.0f);
    EXPECT_FLOAT_EQ(camera.GetProjection().m[2][3], 1.0f);
    camera.SetProjection(1, 101);
    EXPECT_FLOAT_EQ(camera.GetProjection().m[2][2], 101.0f / 100.0f);
    EXPECT_FLOAT_EQ(camera.GetProjection().m[3][2], 101.0f / -100.0f);
    camera.SetProjection(-5, 10);
    EXPECT_FLOAT_EQ(camera.GetProjection().m[3][2], 0.0f);
}

TEST(CameraTest, PickRayThroughCentreAndCorner)
{
    camera_c camera("c");
    camera.position = vec3_c(0, 0, -10);
    camera.zoom = 1.0f;
    recording_renderer_c renderer;
    // A square output with square pixels.
    renderer.SetResolutionAspect(100, 100, 4, 3);
    renderer.SetViewport(0, 0, 1, 1, 1.0f);
    camera.SetViewShape(renderer);
    camera.UpdateTransform(nullptr);
    ray_c ray;
    camera.GetPickRay(ray, 0.5f, 0.5f);
    EXPECT_NEAR(ray.direction.z, 1.0f, 1e-6f);
    EXPECT_NEAR(ray.origin.z, -10.0f, 1e-6f);
    camera.GetPickRay(ray, 0.0f, 0.0f);
    // Top left at 45 degrees both ways: (-1, 1, 1) normalised.
    EXPECT_NEAR(ray.direction.x, -0.57735f, 1e-4f);
    EXPECT_NEAR(ray.direction.y, 0.57735f, 1e-4f);
}

TEST(CameraTest, TargetTurnsTheCamera)
{
    camera_c target("t");
    target.position = vec3_c(10, 0, 0);
    target.UpdateTransform(nullptr);
    camera_c camera("c");
    camera.target = &target;
    camera.UpdateTransform(nullptr);
    // Its forward axis (row 2) points at the target.
    EXPECT_NEAR(camera.GetMatrix().m[2][0], 1.0f, 1e-5f);
    EXPECT_NEAR(camera.GetMatrix().m[2][2], 0.0f, 1e-5f);
}

TEST(LightTest, FlagRules)
{
    light_c light("l");
    EXPECT_EQ(light.GetFlags(), 0x19u);
    light.SetFlags(light_point);
    EXPECT_EQ(light.GetFlags(), 0x19u);
    light.SetType(light_point);
    EXPECT_EQ(light.GetFlags(), 0x1Au);
    light.SetType(0x6);
    EXPECT_EQ(light.GetFlags() & 7, 0x2u);
    light.SetType(0);
    EXPECT_EQ(light.GetFlags() & 7, 0x1u);
    light.ClearFlags(light_directional);
    EXPECT_EQ(light.GetFlags() & 7, 0x1u);
}

TEST(LightTest, FalloffOnlyForLightsThatAreNotDirectional)
{
    light_c light("l");
    light.SetFalloff(true, true);
    EXPECT_EQ(light.GetFlags() & 0x60, 0u);
    EXPECT_FALSE(light.HasFalloff());
    light.SetType(light_point);
    light.SetFalloff(true, true);
    EXPECT_EQ(light.GetFlags() & 0x60, 0x40u);
    EXPECT_TRUE(light.HasFalloffKind2());
    light.SetFlags(light_falloff_1);
    EXPECT_TRUE(light.HasFalloffKind1());
    EXPECT_FALSE(light.HasFalloffKind2());
}

TEST(LightTest, ColourChannelsAndCameraSpace)
{
    light_c light("l");
    light.color = vec3_c(1, 0.5f, 0);
    light.intensity = 2;
    EXPECT_FLOAT_EQ(light.GetColor().y, 1.0f);
    EXPECT_EQ(light.GetEnvelopeTarget(31), &light.intensity);
    EXPECT_EQ(light.GetEnvelopeTarget(33), &light.coneAngle);
    EXPECT_EQ(light.GetEnvelopeTarget(34), &light.edgeAngle);
    light.position = vec3_c(0, 10, 0);
    light.UpdateTransform(nullptr);
    camera_c camera("c");
    camera.position = vec3_c(0, 4, 0);
    camera.UpdateTransform(nullptr);
    light.UpdateForCamera(camera);
    EXPECT_NEAR(light.GetCameraMatrix().GetPosition().y, 6.0f, 1e-5f);
    EXPECT_TRUE(light.IsCameraUniformScale());
}
