#include "engine/null_renderer.h"

#include "engine/font_def.h"
#include "engine/still_map.h"
#include "engine/camera.h"
#include "engine/trail.h"

#include <gtest/gtest.h>

TEST(NullRendererTest, ResourcesHoldTheirDefinitionsAndLoadNothing)
{
    null_renderer_c renderer;
    // No such file: a null texture never loads its picture.
    still_map_c map(texture_def_c("nowhere\\missing.bmp", true, false), &renderer);
    texture_c* texture = map.GetTexture(0);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->definition.imagePath, "nowhere\\missing.bmp");
    EXPECT_EQ(texture->GetLevelCount(), 1u);
    EXPECT_FALSE(texture->IsCubic());
    EXPECT_FALSE(texture->definition.image.IsValid());

    geometry_def_c definition("mesh");
    geometry_c* geometry = renderer.GetGeometry(definition);
    ASSERT_NE(geometry, nullptr);
    EXPECT_EQ(geometry->definition.name, "mesh");

    renderer.SetResolution(640, 480);
    EXPECT_EQ(renderer.GetOutputWidth(), 640);
    EXPECT_EQ(renderer.GetOutputHeight(), 480);
}

TEST(NullRendererTest, EffectsRunOnIt)
{
    null_renderer_c renderer;
    camera_c camera("c");
    camera.UpdateTransform(nullptr);
    trail_c trail("t", &renderer);
    trail.SetSegments(4);
    trail.position = vec3_c(0, 0, 10);
    object_list_t pass0;
    object_list_t pass1;
    trail.UpdateTransform(nullptr);
    EXPECT_TRUE(trail.Cull(pass0, pass1, nullptr, &camera, 0, 0));
    ASSERT_NE(trail.GetRibbon(), nullptr);
    trail.Render(1);
}
