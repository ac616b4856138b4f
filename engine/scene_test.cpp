#include "engine/scene.h"

#include "engine/still_map.h"
#include "engine/testing/marker_object.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/command.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <string>

namespace {

std::unique_ptr<map_c> FlareMap(texture_cache_c* cache)
{
    texture_def_c def(flare_def_c(), 4);
    def.mipmapping = false;
    return std::make_unique<still_map_c>(def, cache);
}

marker_object_c* AddMarker(scene_c& scene, renderer_c* renderer, f32 id, f32 z, bool opaque = true)
{
    auto* marker = new marker_object_c("m", id, renderer, vec3_c(-1, -1, -1), vec3_c(1, 1, 1));
    marker->position = vec3_c(0, 0, z);
    marker->opaque = opaque;
    scene.AddObject(marker);
    return marker;
}

// The recorded calls as "Name" or, for markers, "Draw id:pass".
std::vector<std::string> Trace(const recording_renderer_c& renderer)
{
    std::vector<std::string> trace;
    for (const recorded_call_c& call : renderer.calls) {
        if (call.name == "DrawDebug30")
            trace.push_back("Draw " + std::to_string(static_cast<int>(call.numbers[0])) + ":" +
                            std::to_string(static_cast<int>(call.numbers[1])));
        else
            trace.push_back(call.name);
    }
    return trace;
}

} // namespace

TEST(SceneTest, NewSceneFlagsAndDefaults)
{
    scene_c scene("s", nullptr);
    EXPECT_EQ(scene.GetFlags(), 0x8010017u);
    EXPECT_FLOAT_EQ(scene.GetNearClipPlane(), 1.0f);
    EXPECT_EQ(scene.GetFarClipPlane(), FLT_MAX);
    EXPECT_EQ(scene.GetActiveCamera(), nullptr);
}

TEST(SceneTest, AnimateWithinTheRange)
{
    scene_c scene("s", nullptr);
    const f32 start = 100;
    scene.Play(start, 0, 10, true);
    EXPECT_FLOAT_EQ(scene.Animate(start + 25, false), 5);
    EXPECT_FLOAT_EQ(scene.Animate(start - 3, false), 0);
    EXPECT_FLOAT_EQ(scene.GetCurrentTime(), 0);
    scene.Play(start, 0, 10, false);
    EXPECT_FLOAT_EQ(scene.Animate(start + 25, false), 10);
    EXPECT_FLOAT_EQ(scene.GetCurrentTime(), 10);
    scene.Play(start, 5, 5, true);
    EXPECT_FLOAT_EQ(scene.Animate(start + 1, false), 5);
    EXPECT_FLOAT_EQ(scene.Animate(start + 1000, false), 5);
}

TEST(SceneTest, ViewportClamps)
{
    scene_c scene("s", nullptr);
    scene.SetViewport(0.8f, 0, 0.5f, 1);
    EXPECT_FLOAT_EQ(scene.GetViewportX(), 0.5f);
    scene.SetViewport(-1, 2, 3, -1);
    EXPECT_FLOAT_EQ(scene.GetViewportX(), 0);
    EXPECT_FLOAT_EQ(scene.GetViewportWidth(), 1);
    EXPECT_FLOAT_EQ(scene.GetViewportHeight(), 0);
    EXPECT_FLOAT_EQ(scene.GetViewportY(), 1);
}

TEST(SceneTest, Keywords)
{
    scene_c scene("s", nullptr);
    EXPECT_TRUE(scene.SetParameter(command_c("Viewport WIDTH=0.5")));
    EXPECT_FLOAT_EQ(scene.GetViewportWidth(), 0.5f);
    EXPECT_FLOAT_EQ(scene.GetViewportHeight(), 1.0f);
    EXPECT_FLOAT_EQ(scene.GetViewportX(), 0.25f);
    EXPECT_FLOAT_EQ(scene.GetViewportY(), 0.0f);
    EXPECT_TRUE(scene.SetParameter(command_c("viewport w=0.5 h=0.5 x=0 y=0.1")));
    EXPECT_FLOAT_EQ(scene.GetViewportY(), 0.1f);
    EXPECT_TRUE(scene.SetParameter(command_c("Looping 0")));
    EXPECT_FALSE(scene.HasFlags(scene_looping));
    EXPECT_TRUE(scene.SetParameter(command_c("ClearBackground 0")));
    EXPECT_FALSE(scene.HasFlags(scene_clear_background));
    EXPECT_TRUE(scene.SetParameter(command_c("NearClipPlane -4")));
    EXPECT_FLOAT_EQ(scene.GetNearClipPlane(), FLT_EPSILON);
    EXPECT_TRUE(scene.SetParameter(command_c("FarClipPlane 500")));
    EXPECT_FLOAT_EQ(scene.GetFarClipPlane(), 500);
    EXPECT_TRUE(scene.SetParameter(command_c("Aspect 0")));
    EXPECT_FLOAT_EQ(scene.GetAspectRatio(), FLT_EPSILON);
    EXPECT_TRUE(scene.SetParameter(command_c("NearDepthWeight -2")));
    EXPECT_FLOAT_EQ(scene.GetNearDepthWeight(), 0);
    EXPECT_TRUE(scene.SetParameter(command_c("FarDepthWeight 3")));
    EXPECT_FLOAT_EQ(scene.GetFarDepthWeight(), 3);
    EXPECT_TRUE(scene.SetParameter(command_c("DepthTest 0")));
    EXPECT_FALSE(scene.SetParameter(command_c("Gravity 1")));
}

TEST(SceneTest, FirstCameraBecomesActiveAndRemovalClearsIt)
{
    scene_c scene("s", nullptr);
    camera_c* first = scene.CreateCamera("a");
    camera_c* second = scene.CreateCamera("b");
    EXPECT_EQ(scene.GetActiveCamera(), first);
    camera_c stranger("x");
    scene.SetActiveCamera(&stranger);
    EXPECT_EQ(scene.GetActiveCamera(), first);
    std::unique_ptr<camera_c> removed(scene.RemoveCamera(first));
    EXPECT_EQ(scene.GetActiveCamera(), nullptr);
    std::unique_ptr<camera_c> removed_too(scene.RemoveCamera(second));
    camera_c* third = scene.CreateCamera("c");
    EXPECT_EQ(scene.GetActiveCamera(), third);
}

TEST(SceneTest, FrameDrawsInPassOrder)
{
    recording_renderer_c renderer(640, 480);
    scene_c scene("s", &renderer);
    scene.SetFlags(object_shadow_casting | scene_glow);
    scene.glowStrength = 0.25f;
    scene.SetBackgroundMap(FlareMap(&renderer));
    scene.SetForegroundMap(FlareMap(&renderer));
    scene.foregroundValue = 0.5f;
    scene.CreateCamera("camera");
    light_c* dim = scene.AddLight(new light_c("dim"));
    dim->color = vec3_c(0.2f, 0.2f, 0.2f);
    light_c* bright = scene.AddLight(new light_c("bright"));
    bright->color = vec3_c(1, 1, 1);
    bright->SetFlags(light_shadows);
    bright->shadowStrength = 0.5f;
    light_c* dark = scene.AddLight(new light_c("dark"));
    dark->color = vec3_c(0, 0, 0);
    AddMarker(scene, &renderer, 1, 20)->castsShadow = true;
    AddMarker(scene, &renderer, 2, 10);
    AddMarker(scene, &renderer, 3, 15, false);
    AddMarker(scene, &renderer, 4, 30, false);
    AddMarker(scene, &renderer, 5, -20);
    scene.SetFlags(object_shadow_casting);
    for (null_object_c* object = scene.GetObjects().GetFirst(); object; object = object->GetNext())
        object->SetFlags(object_shadow_casting);

    scene.Animate(0, true);
    scene.PrepareFrame();
    ASSERT_EQ(scene.GetLightList().size(), 2u);
    EXPECT_EQ(scene.GetLightList()[0], bright);
    EXPECT_EQ(scene.GetPickList().size(), 4u);
    renderer.ClearCalls();
    scene.Render();
    const std::vector<std::string> expected = {"SetViewportRect",  "DrawMap",         "SetScene",  "Draw 2:0",
                                               "Draw 1:0",         "Draw 4:1",        "Draw 3:1",  "Draw 1:2",
                                               "ResetRenderLists", "DrawShadowShade", "ApplyGlow", "DrawMap"};
    EXPECT_EQ(Trace(renderer), expected);
    const recorded_call_c* set_scene = renderer.FindCall("SetScene");
    ASSERT_NE(set_scene, nullptr);
    EXPECT_EQ(set_scene->objects[0], &scene);
    EXPECT_EQ(set_scene->objects[2], bright);
    const recorded_call_c* shade = renderer.FindCall("DrawShadowShade");
    ASSERT_NE(shade, nullptr);
    EXPECT_FLOAT_EQ(static_cast<float>(shade->numbers.back()), (1.0f - 0.0f) * 0.5f);
    EXPECT_FLOAT_EQ(static_cast<float>(renderer.FindCall("DrawMap", 1)->numbers[0]), 0.5f);
}

TEST(SceneTest, WithoutDepthTestOpaqueObjectsGoFarToNear)
{
    recording_renderer_c renderer(640, 480);
    scene_c scene("s", &renderer);
    scene.ClearFlags(object_depth_test);
    scene.CreateCamera("camera");
    AddMarker(scene, &renderer, 1, 10);
    AddMarker(scene, &renderer, 2, 30);
    AddMarker(scene, &renderer, 3, 20);
    scene.PrepareFrame();
    renderer.ClearCalls();
    scene.Render();
    const std::vector<std::string> expected = {"SetViewportRect", "SetScene", "Draw 2:0",
                                               "Draw 3:0",        "Draw 1:0", "ResetRenderLists"};
    EXPECT_EQ(Trace(renderer), expected);
}

TEST(SceneTest, ZeroDepthWeightsStillSortEveryObject)
{
    recording_renderer_c renderer(640, 480);
    scene_c scene("s", &renderer);
    scene.SetDepthWeights(0, 0);
    scene.CreateCamera("camera");
    for (int i = 0; i < 5; ++i)
        AddMarker(scene, &renderer, static_cast<f32>(i), 10.0f + static_cast<f32>(i) * 3.0f);
    scene.PrepareFrame();
    ASSERT_EQ(scene.GetPass0List().size(), 5u);
    for (null_object_c* object : scene.GetPass0List())
        EXPECT_NE(object, nullptr);
}

TEST(SceneTest, WithoutCameraOnlyMapsAndGlow)
{
    recording_renderer_c renderer(640, 480);
    scene_c scene("s", &renderer);
    scene.SetFlags(scene_glow);
    scene.SetBackgroundMap(FlareMap(&renderer));
    AddMarker(scene, &renderer, 1, 10);
    scene.PrepareFrame();
    renderer.ClearCalls();
    scene.Render();
    EXPECT_EQ(Trace(renderer), (std::vector<std::string>{"SetViewportRect", "DrawMap", "ApplyGlow"}));
}

TEST(SceneTest, PickAtScreenFindsTheNearestObjectUnderThePoint)
{
    recording_renderer_c renderer;
    renderer.SetResolutionAspect(100, 100, 4, 3);
    scene_c scene("s", &renderer);
    camera_c* camera = scene.CreateCamera("camera");
    camera->zoom = 1.0f;
    marker_object_c* far_one = AddMarker(scene, &renderer, 1, 30);
    marker_object_c* near_one = AddMarker(scene, &renderer, 2, 10);
    // Right of centre, at the edge of the view: x = z.
    marker_object_c* side = AddMarker(scene, &renderer, 3, 20);
    side->position = vec3_c(20, 0, 20);
    scene.PrepareFrame();
    EXPECT_EQ(scene.PickAtScreen(0.5f, 0.5f, true, false, FLT_MAX), near_one);
    EXPECT_EQ(scene.PickAtScreen(1.0f, 0.5f, true, false, FLT_MAX), side);
    EXPECT_EQ(scene.PickAtScreen(0.5f, 0.0f, true, false, FLT_MAX), nullptr);
    near_one->SetVisibility(true, false);
    EXPECT_EQ(scene.PickAtScreen(0.5f, 0.5f, true, false, FLT_MAX), far_one);
    EXPECT_EQ(scene.PickAtScreen(0.5f, 0.5f, true, false, 5.0f), nullptr);

    f32 distance;
    vec3_c normal;
    EXPECT_EQ(scene.RayTestObjects(distance, normal, ray_c(vec3_c(0, 0, 0), vec3_c(0, 0, 1)), true, false, FLT_MAX),
              far_one);
    EXPECT_FLOAT_EQ(distance, 29);
    EXPECT_EQ(scene.RayTestObjects(distance, normal, ray_c(vec3_c(0, 50, 0), vec3_c(0, 0, 1)), true, false, FLT_MAX),
              nullptr);
    EXPECT_EQ(distance, FLT_MAX);
}

TEST(SceneTest, RemovingAnObjectEmptiesTheDrawLists)
{
    recording_renderer_c renderer(640, 480);
    scene_c scene("s", &renderer);
    scene.CreateCamera("camera");
    marker_object_c* marker = AddMarker(scene, &renderer, 1, 10);
    scene.PrepareFrame();
    ASSERT_EQ(scene.GetPickList().size(), 1u);
    scene.DeleteObject(marker);
    EXPECT_TRUE(scene.GetPickList().empty());
    EXPECT_TRUE(scene.GetPass0List().empty());
    renderer.ClearCalls();
    scene.Render();
    EXPECT_EQ(renderer.CountCalls("SetScene"), 0u);
}

TEST(SceneTest, CloneKeepsSettingsMapsAndTheActiveCameraPosition)
{
    recording_renderer_c renderer(640, 480);
    scene_c scene("s", &renderer);
    scene.CreateCamera("first");
    camera_c* second = scene.CreateCamera("second");
    scene.SetActiveCamera(second);
    scene.SetBackgroundMap(FlareMap(&renderer));
    scene.fogDensity = 0.5f;
    scene.SetClipPlanes(2, 200);
    AddMarker(scene, &renderer, 1, 10);
    scene.PrepareFrame();
    std::unique_ptr<scene_c> copy(static_cast<scene_c*>(scene.Clone()));
    EXPECT_EQ(copy->GetActiveCamera(), copy->GetCameras().GetLast());
    EXPECT_NE(copy->GetActiveCamera(), second);
    ASSERT_NE(copy->GetBackgroundMap(), nullptr);
    EXPECT_NE(copy->GetBackgroundMap(), scene.GetBackgroundMap());
    EXPECT_FLOAT_EQ(copy->fogDensity, 0.5f);
    EXPECT_FLOAT_EQ(copy->GetFarClipPlane(), 200);
    EXPECT_TRUE(copy->GetPickList().empty());
    EXPECT_EQ(copy->GetObjects().GetCount(), 1u);
}

TEST(SceneTest, ItemsRemovedFromNestedAggregatesAfterPrepareAreNotDrawn)
{
    recording_renderer_c renderer(640, 480);
    scene_c scene("s", &renderer);
    scene.CreateCamera("camera");
    auto* group = new aggregate_c("group", &renderer);
    scene.AddObject(group);
    auto* doomed = new marker_object_c("doomed", 1, &renderer, vec3_c(-1, -1, -1), vec3_c(1, 1, 1));
    doomed->position = vec3_c(0, 0, 10);
    group->AddObject(doomed);
    auto* kept = new marker_object_c("kept", 2, &renderer, vec3_c(-1, -1, -1), vec3_c(1, 1, 1));
    kept->position = vec3_c(0, 0, 20);
    group->AddObject(kept);
    scene.PrepareFrame();
    ASSERT_EQ(scene.GetPass0List().size(), 2u);
    group->DeleteObject(doomed);
    renderer.ClearCalls();
    scene.Render();
    EXPECT_EQ(Trace(renderer),
              (std::vector<std::string>{"SetViewportRect", "SetScene", "Draw 2:0", "ResetRenderLists"}));
    EXPECT_EQ(scene.PickAtScreen(0.5f, 0.5f, true, false, FLT_MAX), group);
}
