#include "engine/flare.h"

#include "engine/aabb.h"
#include "engine/aggregate.h"
#include "engine/effect_maps.h"
#include "engine/object_chunk.h"
#include "engine/object_format.h"
#include "engine/scene.h"
#include "engine/testing/effect_fixtures.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/command.h"
#include "foundation/file_error.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

namespace {

struct flare_scene_c {
    recording_renderer_c renderer;
    scene_c scene{"scene", &renderer};
    std::unique_ptr<camera_c> camera = MakeTestCamera(vec3_c());
    object_list_t pass0;
    object_list_t pass1;

    flare_scene_c() { scene.SetClipPlanes(1.0f, 1000.0f); }

    bool Cull(flare_c& _flare, u32 _depth = 0)
    {
        pass0.clear();
        pass1.clear();
        _flare.UpdateTransform(nullptr);
        return _flare.Cull(pass0, pass1, &scene, camera.get(), 0, _depth);
    }
};

} // namespace

TEST(FlareTest, FadeOffScreen)
{
    recording_renderer_c renderer;
    flare_c flare("sun", &renderer);
    auto camera = MakeTestCamera(vec3_c());
    EXPECT_FLOAT_EQ(flare.ComputeFade(nullptr, camera.get(), vec3_c(11, 5, 10), 0), 1.0f);
    flare.SetFlags(flare_fade_off_screen);
    const struct {
        vec3_c p;
        float fade;
    } cases[] = {
        {vec3_c(11, 5, 10), 0.5f},   {vec3_c(-11, 5, 10), 0.5f},  {vec3_c(5, 11, 10), 0.5f},
        {vec3_c(11, 11, 10), 0.25f}, {vec3_c(10, -10, 10), 1.0f}, {vec3_c(12, 0, 10), 0.0f},
        {vec3_c(0, -13, 10), 0.0f},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(flare.ComputeFade(nullptr, camera.get(), c.p, 0), c.fade, 1e-5f) << c.p.x << " " << c.p.y;
    flare.SetIntensity(0.5f);
    EXPECT_NEAR(flare.ComputeFade(nullptr, camera.get(), vec3_c(11, 5, 10), 0), 0.25f, 1e-5f);
}

TEST(FlareTest, FlarePastTheScreenEdgeIsNotDrawn)
{
    flare_scene_c fixture;
    flare_c flare("sun", &fixture.renderer);
    flare.SetFlags(flare_fade_off_screen);
    flare.position = vec3_c(12, 0, 10);
    EXPECT_FALSE(fixture.Cull(flare));
    flare.position = vec3_c(11, 0, 10);
    EXPECT_TRUE(fixture.Cull(flare));
    ASSERT_EQ(fixture.pass1.size(), 1u);
    EXPECT_TRUE(fixture.pass0.empty());
}

TEST(FlareTest, FadeInFog)
{
    flare_scene_c fixture;
    flare_c flare("lamp", &fixture.renderer);
    flare.SetFlags(flare_fade_in_fog);
    fixture.scene.fogStart = 100.0f;
    fixture.scene.fogEnd = 300.0f;
    const vec3_c at_200(0, 120, 160);
    // Fog off: no fog factor.
    EXPECT_FLOAT_EQ(flare.ComputeFade(&fixture.scene, fixture.camera.get(), at_200, 0), 1.0f);
    fixture.scene.SetFlags(scene_fog_on);
    EXPECT_NEAR(flare.ComputeFade(&fixture.scene, fixture.camera.get(), at_200, 0), 0.5f, 1e-5f);
    EXPECT_FLOAT_EQ(flare.ComputeFade(&fixture.scene, fixture.camera.get(), vec3_c(0, 0, 90), 0), 1.0f);
    EXPECT_FLOAT_EQ(flare.ComputeFade(&fixture.scene, fixture.camera.get(), vec3_c(0, 0, 300), 0), 0.0f);
    // A fog that ends where it starts hides what lies beyond, without a
    // division by its empty range.
    fixture.scene.fogEnd = 100.0f;
    EXPECT_FLOAT_EQ(flare.ComputeFade(&fixture.scene, fixture.camera.get(), vec3_c(0, 0, 100), 0), 1.0f);
    EXPECT_FLOAT_EQ(flare.ComputeFade(&fixture.scene, fixture.camera.get(), vec3_c(0, 0, 101), 0), 0.0f);
    flare.ClearFlags(flare_fade_in_fog);
    EXPECT_FLOAT_EQ(flare.ComputeFade(&fixture.scene, fixture.camera.get(), vec3_c(0, 0, 500), 0), 1.0f);
}

TEST(FlareTest, FadeBehindAnOccluder)
{
    flare_scene_c fixture;
    // Covers the left third of the ray pattern around a light at z = 100:
    // the samples at x = -0.5 there cross the wall at x = -0.25.
    auto* wall = new wall_c(50.0f, -10.0f, -0.1f);
    fixture.scene.AddObject(wall);
    flare_c flare("sun", &fixture.renderer);
    flare.SetFlags(flare_fade_behind_objects);
    const vec3_c light(0, 0, 100);
    EXPECT_NEAR(flare_c::TraceVisibility(&fixture.scene, fixture.camera.get(), light), 0.75f, 1e-5f);
    EXPECT_NEAR(flare.ComputeFade(&fixture.scene, fixture.camera.get(), light, 0), 0.75f, 1e-5f);
    // In front of the wall nothing blocks it.
    EXPECT_FLOAT_EQ(flare_c::TraceVisibility(&fixture.scene, fixture.camera.get(), vec3_c(0, 0, 40)), 1.0f);

    wall->maxX = 10.0f;
    fixture.scene.SetFlags(aggregate_bounds_dirty);
    EXPECT_FLOAT_EQ(flare.ComputeFade(&fixture.scene, fixture.camera.get(), light, 0), 0.0f);
    flare.position = light;
    EXPECT_FALSE(fixture.Cull(flare));
    // Inside an aggregate (or as a child) no rays are cast.
    EXPECT_FLOAT_EQ(flare.ComputeFade(&fixture.scene, fixture.camera.get(), light, 1), 1.0f);
    EXPECT_TRUE(fixture.Cull(flare, 1));
}

TEST(FlareTest, SizeFollowsFadeDistanceAndDistortion)
{
    flare_scene_c fixture;
    flare_c flare("sun", &fixture.renderer);
    flare.position = vec3_c(0, 0, 10);
    flare.SetNominalDistance(2.0f);
    flare.SetDistortionFactor(1.5f);
    ASSERT_TRUE(fixture.Cull(flare));
    const mat4x3_c& m = flare.GetWorldMatrix();
    // One size on screen: nominal x depth / zoom.
    EXPECT_NEAR(m.m[0][0], 30.0f, 1e-4f);
    EXPECT_NEAR(m.m[1][1], 20.0f, 1e-4f);
    EXPECT_NEAR(m.GetPosition().z, 10.0f, 1e-4f);
    flare.SetFlags(flare_fade_with_distance);
    ASSERT_TRUE(fixture.Cull(flare));
    EXPECT_NEAR(flare.GetWorldMatrix().m[0][0], 3.0f, 1e-4f);
    EXPECT_NEAR(flare.GetWorldMatrix().m[1][1], 2.0f, 1e-4f);
}

TEST(FlareTest, ClipPlanesAndIntensityHideTheFlare)
{
    flare_scene_c fixture;
    flare_c flare("sun", &fixture.renderer);
    flare.AddChild(new flare_c("ring", &fixture.renderer));
    for (const vec3_c& place : {vec3_c(0, 0, -5), vec3_c(0, 0, 0.5f), vec3_c(0, 0, 1001)}) {
        flare.position = place;
        EXPECT_FALSE(fixture.Cull(flare)) << place.z;
        EXPECT_TRUE(fixture.pass1.empty());
    }
    flare.position = vec3_c(0, 0, 1000);
    EXPECT_TRUE(fixture.Cull(flare));
    flare.position = vec3_c(0, 0, 10);
    flare.SetIntensity(0.0f);
    EXPECT_FALSE(fixture.Cull(flare));
    EXPECT_TRUE(fixture.pass1.empty());
    flare.SetIntensity(1.0f);
    flare.dissolve = 1.0f;
    EXPECT_FALSE(fixture.Cull(flare));
}

TEST(FlareTest, ChildrenSitOnTheAxisThroughTheScreenCentre)
{
    flare_scene_c fixture;
    flare_c flare("sun", &fixture.renderer);
    flare.SetFlags(flare_fade_off_screen);
    flare.dissolve = 0.2f;
    const float axis[] = {0.0f, 1.0f, -1.0f, 0.5f};
    for (float t : axis) {
        auto* child = flare.AddChild(new flare_c("ring", &fixture.renderer));
        child->SetAxisPosition(t);
    }
    // Light at (10.5, 2, 10) in camera space: ax = 1.05, fade 0.75.
    fixture.camera = MakeTestCamera(vec3_c(1, 2, 3), vec3_c(0.3f, 0.1f, 0.0f));
    const vec3_c p(10.5f, 2.0f, 10.0f);
    flare.position = p * fixture.camera->GetMatrix();
    flare.Animate(4.0f);
    ASSERT_TRUE(fixture.Cull(flare));
    ASSERT_EQ(fixture.pass1.size(), 5u);
    EXPECT_EQ(fixture.pass1.back(), &flare);
    const vec3_c expected[] = {vec3_c(0, 0, 10), p, vec3_c(-10.5f, -2.0f, 10.0f), vec3_c(5.25f, 1.0f, 10.0f)};
    for (u32 i = 0; i < flare.GetChildCount(); ++i) {
        flare_c* child = flare.GetChild(i);
        EXPECT_EQ(fixture.pass1[i], child);
        const vec3_c seen = child->GetMatrix().GetPosition() * fixture.camera->GetInverseMatrix();
        EXPECT_NEAR(seen.x, expected[i].x, 1e-3f) << i;
        EXPECT_NEAR(seen.y, expected[i].y, 1e-3f) << i;
        EXPECT_NEAR(seen.z, expected[i].z, 1e-3f) << i;
        // 1 - (1 - 0.2) x 0.75
        EXPECT_NEAR(child->dissolve, 0.4f, 1e-5f) << i;
        EXPECT_FLOAT_EQ(child->GetLocalTime(), 4.0f);
    }
}

TEST(FlareTest, Keywords)
{
    memory_file_system_c files;
    AddTestPicture(files, "sun.bmp");
    recording_renderer_c renderer;
    flare_c flare("sun", &renderer);
    EXPECT_TRUE(flare.HasFlags(object_rendered | sprite_additive));
    const struct {
        const char* keyword;
        u32 flag;
    } switches[] = {{"FadeOffScreen", flare_fade_off_screen},
                    {"FadeWithDistance", flare_fade_with_distance},
                    {"FadeInFog", flare_fade_in_fog},
                    {"GlowBehindObjects", object_depth_test},
                    {"FadeBehindObjects", flare_fade_behind_objects}};
    for (const auto& entry : switches) {
        EXPECT_TRUE(flare.SetParameter(command_c((std::string(entry.keyword) + " 1").c_str())));
        EXPECT_TRUE(flare.HasFlags(entry.flag)) << entry.keyword;
        EXPECT_TRUE(flare.SetParameter(command_c((std::string(entry.keyword) + " 0").c_str())));
        EXPECT_FALSE(flare.HasFlags(entry.flag)) << entry.keyword;
        EXPECT_THROW(flare.SetParameter(command_c(entry.keyword)), command_error_c);
    }
    // Only turning the rays on is logged.
    EXPECT_EQ(renderer.GetWarningLog(), "[sun] Ray tracing enabled!\n");

    EXPECT_TRUE(flare.SetParameter(command_c("NominalDistance 0")));
    EXPECT_FLOAT_EQ(flare.GetNominalDistance(), FLT_EPSILON);
    EXPECT_TRUE(flare.SetParameter(command_c("NominalDistance -4")));
    EXPECT_FLOAT_EQ(flare.GetNominalDistance(), FLT_EPSILON);
    EXPECT_TRUE(flare.SetParameter(command_c("DistortionFactor 2.5")));
    EXPECT_FLOAT_EQ(flare.GetDistortionFactor(), 2.5f);
    EXPECT_TRUE(flare.SetParameter(command_c("Map sun.bmp")));
    ASSERT_NE(flare.GetMap(), nullptr);
    EXPECT_TRUE(flare.GetMap()->GetTexture(0)->definition.highQuality);
    EXPECT_TRUE(flare.SetParameter(command_c("DepthTest 0")));
    // The sprite keywords belong to sprites only.
    EXPECT_FALSE(flare.SetParameter(command_c("AlphaThreshold 0.5")));
    EXPECT_FALSE(flare.SetParameter(command_c("Additive 0")));
}

// A flare made without a renderer takes every switch; there is no log to write to.
TEST(FlareTest, SwitchesWithoutARenderer)
{
    flare_c flare("sun", nullptr);
    EXPECT_TRUE(flare.SetParameter(command_c("FadeBehindObjects 1")));
    EXPECT_TRUE(flare.HasFlags(flare_fade_behind_objects));
}

TEST(FlareTest, WriteThenReadWithAChild)
{
    recording_renderer_c renderer;
    flare_c flare("sun", &renderer);
    flare_def_c glow;
    glow.glowColor[0] = 1.0f;
    flare.SetFlareMap(glow, 16);
    flare.SetIntensity(0.8f);
    flare.SetNominalDistance(3.0f);
    flare.SetDistortionFactor(1.25f);
    flare.SetFlags(flare_fade_in_fog);
    flare_c* child = flare.AddChild(new flare_c("ring", &renderer));
    child->SetAxisPosition(-0.5f);
    child->AddChild(new flare_c("dot", &renderer));

    // The child comes after the map record.
    output_file_c out;
    flare.Write(out);
    input_file_c in = ViewOf(out);
    input_file_c body;
    ASSERT_TRUE(ReadChunk(in, MakeTag("FLRE"), flare_c::version, body));

    auto object = RoundTrip(flare, &renderer);
    auto* read = dynamic_cast<flare_c*>(object.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetName(), "sun");
    EXPECT_FLOAT_EQ(read->GetIntensity(), 0.8f);
    EXPECT_FLOAT_EQ(read->GetNominalDistance(), 3.0f);
    EXPECT_FLOAT_EQ(read->GetDistortionFactor(), 1.25f);
    EXPECT_TRUE(read->HasFlags(flare_fade_in_fog));
    ASSERT_NE(read->GetMap(), nullptr);
    EXPECT_EQ(read->GetMap()->GetTexture(0), flare.GetMap()->GetTexture(0));
    ASSERT_EQ(read->GetChildCount(), 1u);
    EXPECT_EQ(read->GetChild(0)->GetName(), "ring");
    EXPECT_FLOAT_EQ(read->GetChild(0)->GetAxisPosition(), -0.5f);
    ASSERT_EQ(read->GetChild(0)->GetChildCount(), 1u);
    EXPECT_EQ(read->GetChild(0)->GetChild(0)->GetName(), "dot");

    std::unique_ptr<null_object_c> copy(read->Clone());
    auto* clone = dynamic_cast<flare_c*>(copy.get());
    ASSERT_EQ(clone->GetChildCount(), 1u);
    EXPECT_NE(clone->GetChild(0), read->GetChild(0));
    EXPECT_EQ(clone->GetChild(0)->GetChildCount(), 1u);
}

TEST(FlareTest, MapRecordPrecedesChildren)
{
    recording_renderer_c renderer;
    flare_c flare("sun", &renderer);
    flare.SetFlareMap(flare_def_c(), 8);
    flare.AddChild(new flare_c("ring", &renderer));
    const std::vector<u8> body = BodyBytes(flare, MakeTag("FLRE"), flare_c::version);
    u32 colr_at = 0;
    u32 child_at = 0;
    for (u32 i = 0; i + 4 <= body.size(); i += 4) {
        u32 word;
        std::memcpy(&word, body.data() + i, 4);
        if (word == tag_colr && !colr_at)
            colr_at = i;
        if (word == MakeTag("FLRE") && !child_at)
            child_at = i;
    }
    EXPECT_GT(colr_at, 0u);
    EXPECT_GT(child_at, colr_at);
}

TEST(FlareTest, NestingWithoutBoundIsRefused)
{
    recording_renderer_c renderer;
    const std::vector<u8> plain = BodyBytes(flare_c("n", &renderer), MakeTag("FLRE"), flare_c::version);
    // Each level wraps the one inside it, far deeper than the loader allows.
    std::vector<u8> chunk = ChunkBytes(MakeTag("FLRE"), flare_c::version, plain);
    for (int depth = 0; depth < 200; ++depth) {
        std::vector<u8> body = plain;
        body.insert(body.end(), chunk.begin(), chunk.end());
        chunk = ChunkBytes(MakeTag("FLRE"), flare_c::version, body);
    }
    input_file_c in(chunk.data(), static_cast<u32>(chunk.size()));
    try {
        delete flare_c::Read(in, &renderer);
        FAIL() << "no exception";
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), "Objects nested too deeply!");
    }
    // A modest depth reads.
    chunk = ChunkBytes(MakeTag("FLRE"), flare_c::version, plain);
    for (int depth = 0; depth < 10; ++depth) {
        std::vector<u8> body = plain;
        body.insert(body.end(), chunk.begin(), chunk.end());
        chunk = ChunkBytes(MakeTag("FLRE"), flare_c::version, body);
    }
    input_file_c modest(chunk.data(), static_cast<u32>(chunk.size()));
    std::unique_ptr<flare_c> read(flare_c::Read(modest, &renderer));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetChildCount(), 1u);
}

TEST(FlareTest, IntensityChannel)
{
    recording_renderer_c renderer;
    flare_c flare("sun", &renderer);
    envelope_c ramp;
    ramp.keys.resize(2);
    ramp.keys[1].value = 2.0f;
    ramp.keys[1].time = 4.0f;
    ramp.keys[0].shape = ramp.keys[1].shape = shape_linear;
    float* member = flare.GetEnvelopeTarget(156);
    ASSERT_NE(member, nullptr);
    flare.AddEnvelope(ramp, member);
    EXPECT_FLOAT_EQ(flare.Animate(1.0f), 1.0f);
    EXPECT_FLOAT_EQ(flare.GetIntensity(), 0.5f);
    // The object's own channels are still reached.
    EXPECT_EQ(flare.GetEnvelopeTarget(24), &flare.dissolve);
    EXPECT_EQ(flare.GetEnvelopeTarget(157), nullptr);
}
