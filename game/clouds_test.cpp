#include "game/clouds.h"

#include "engine/scene.h"
#include "engine/sprite.h"
#include "engine/testing/recording_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(CloudLayer, CountFollowsDetailSpreadAndDensityWithinBounds)
{
    const struct {
        f32 detail, density, spread;
        u32 count;
    } cases[] = {
        {0.7f, 4.0f, 0.0f, 1u},        // no spread: still one cloud
        {1.0f, 1.0f, 1000.0f, 2u},     // 1 + round(1.0)
        {0.0f, 10.0f, 1000.0f, 3u},    // 1 + round(2.0)
        {1.0f, 1.0e9f, 1.0e6f, 4096u}, // capped
        {1.0f, std::numeric_limits<f32>::quiet_NaN(), 10.0f, 1u},
        {1.0f, -5.0f, 1000.0f, 1u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.count, cloud_layer_c::CloudCount(c.detail, c.density, c.spread)) << c.density << " " << c.spread;
}

TEST(CloudLayer, RingsOfTwelveSpritesTurnAndRoll)
{
    recording_renderer_c renderer;
    scene_c scene("scene", &renderer);
    cloud_layer_c layer;
    layer.Create(1.0f, 2.0f, 100.0f, 1000.0f, 500.0f, nullptr, nullptr, &scene, &renderer);
    ASSERT_EQ(3u, layer.GetClouds().size());
    EXPECT_EQ(3u, scene.GetObjects().GetCount());
    for (const aggregate_c* cloud : layer.GetClouds()) {
        EXPECT_LE(std::fabs(cloud->position.x), 500.0f);
        EXPECT_GE(cloud->position.y, 450.0f);
        EXPECT_LE(cloud->position.y, 650.0f);
        ASSERT_EQ(cloud_sprite_count, cloud->GetObjects().GetCount());
        const null_object_c* first = cloud->GetObjects().GetFirst();
        EXPECT_FLOAT_EQ(220.0f * 1.3f, first->scale.x);
        EXPECT_FLOAT_EQ(220.0f, first->scale.y);
        EXPECT_FLOAT_EQ(0.1f, first->dissolve);
        EXPECT_TRUE(first->HasFlags(object_depth_test | object_fog));
        const vec3_c offset = first->position;
        const f32 radius = std::sqrt(offset.x * offset.x + offset.z * offset.z);
        EXPECT_GE(radius, 50.0f - 1e-3f);
        EXPECT_LE(radius, 120.0f + 1e-3f);
    }
    for (int frame = 1; frame <= 100; ++frame)
        layer.Update(static_cast<f32>(frame) * 0.1f, -50.0f);
    for (const aggregate_c* cloud : layer.GetClouds()) {
        EXPECT_GE(cloud->rotation.x, 0.0f);
        EXPECT_LT(cloud->rotation.x, 6.2831855f);
        EXPECT_NEAR(10.0f, cloud->GetObjects().GetFirst()->rotation.z, 1e-3f);
    }
    layer.Update(10.1f, std::numeric_limits<f32>::infinity());
    for (const aggregate_c* cloud : layer.GetClouds())
        EXPECT_TRUE(std::isfinite(cloud->rotation.x));
}

} // namespace
