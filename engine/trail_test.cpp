#include "engine/trail.h"

#include "engine/aabb.h"
#include "engine/object_chunk.h"
#include "engine/testing/effect_fixtures.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/command.h"
#include "foundation/file_error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cfloat>
#include <cstring>
#include <vector>

namespace {

struct trail_scene_c {
    recording_renderer_c renderer;
    trail_c trail{"smoke", &renderer};
    std::unique_ptr<camera_c> camera = MakeTestCamera(vec3_c(0, 0, -50));
    object_list_t pass0;
    object_list_t pass1;

    trail_scene_c(u32 _segments, float _lifetime)
    {
        trail.SetSegments(_segments);
        trail.SetLifetime(_lifetime);
        trail.SetMeasure(1.0f);
        trail.SetSegmentSize(2.0f);
    }

    // The object stands at _position at _time.
    bool Tick(float _time, const vec3_c& _position)
    {
        pass0.clear();
        pass1.clear();
        trail.position = _position;
        trail.Animate(_time);
        trail.UpdateTransform(nullptr);
        return trail.Cull(pass0, pass1, nullptr, camera.get(), 0, 0);
    }

    const std::vector<vertex_c>& Vertices() const { return trail.GetRibbon()->GetSet().vertices; }
    u32 Updates() const
    {
        return static_cast<const recording_geometry_c*>(trail.GetRibbon()->GetGeometry())->updateCount;
    }
};

} // namespace

TEST(TrailTest, Defaults)
{
    recording_renderer_c renderer;
    trail_c trail("t", &renderer);
    EXPECT_EQ(trail.GetFlags(), 0x15u);
    EXPECT_EQ(trail.GetSegments(), 0u);
    EXPECT_FLOAT_EQ(trail.GetSegmentSize(), 1.0f);
    EXPECT_EQ(trail.GetHeadIndex(), -1);
    // Without segments there is no ribbon, and nothing is queued.
    auto camera = MakeTestCamera(vec3_c(0, 0, -10));
    object_list_t pass0;
    object_list_t pass1;
    trail.UpdateTransform(nullptr);
    EXPECT_FALSE(trail.Cull(pass0, pass1, nullptr, camera.get(), 0, 0));
    EXPECT_EQ(trail.GetRibbon(), nullptr);
}

TEST(TrailTest, RibbonFollowsAMovingObject)
{
    trail_scene_c scene(8, 10.0f);
    ASSERT_TRUE(scene.Tick(0.0f, vec3_c(0, 0, 0)));
    const geometry_def_c& definition = scene.trail.GetRibbon()->GetDefinition();
    EXPECT_EQ(definition.name, "smoke");
    EXPECT_EQ(definition.format.texCoordSetCount, 1u);
    EXPECT_EQ(definition.format.hasNormal, 1);
    EXPECT_EQ(definition.privateGeometry, 1);
    EXPECT_EQ(definition.needsVertexShader, 1);
    // Standing at the start lays nothing.
    EXPECT_EQ(scene.trail.GetHeadIndex(), -1);
    EXPECT_EQ(scene.Vertices().size(), 18u);

    for (int tick = 1; tick <= 5; ++tick) {
        const float x = 2.0f * static_cast<float>(tick);
        ASSERT_TRUE(scene.Tick(0.1f * static_cast<float>(tick), vec3_c(x, 0, 0)));
        ASSERT_EQ(scene.trail.GetHeadIndex(), tick);
        const std::vector<vertex_c>& v = scene.Vertices();
        ASSERT_EQ(v.size(), 2u * static_cast<u32>(tick) + 2u);
        for (int i = 0; i <= tick; ++i) {
            // Boundary i lies where the object stood at tick i + 1 (the head
            // where it stands now), across the motion as the camera sees it.
            const float at = 2.0f * static_cast<float>(std::min(i + 1, tick));
            EXPECT_NEAR(v[2 * i].position.x, at, 1e-4f) << tick << " " << i;
            EXPECT_NEAR(v[2 * i].position.y, -1.0f, 1e-4f);
            EXPECT_NEAR(v[2 * i + 1].position.y, 1.0f, 1e-4f);
            EXPECT_EQ(v[2 * i].texCoords[0][0], 0.0f);
            EXPECT_EQ(v[2 * i + 1].texCoords[0][0], 1.0f);
            const bool head = i == tick;
            EXPECT_EQ(v[2 * i].normal.y, head ? 1.0f : 0.0f);
            EXPECT_EQ(v[2 * i + 1].normal.y, head ? 2.0f : 0.0f);
            EXPECT_EQ(v[2 * i].normal.z, i == 0 ? 0.0f : 1.0f);
        }
        EXPECT_EQ(v[2 * tick].texCoords[0][1], (tick & 1) ? 1.0f : 0.0f);
        EXPECT_FLOAT_EQ(v[2 * tick].normal.x, 0.1f * static_cast<float>(tick));
        vec3_c left;
        vec3_c right;
        scene.trail.GetVectors(left, right);
        EXPECT_NEAR(left.x, x, 1e-4f);
        EXPECT_NEAR(left.y, -1.0f, 1e-4f);
        EXPECT_NEAR(right.y, 1.0f, 1e-4f);
    }
    EXPECT_FLOAT_EQ(scene.Vertices()[0].normal.x, 0.1f);
    EXPECT_EQ(scene.pass1.size(), 1u);
    EXPECT_TRUE(scene.pass0.empty());
}

TEST(TrailTest, StandingStillLaysNothing)
{
    trail_scene_c scene(8, 10.0f);
    scene.Tick(0.0f, vec3_c(0, 0, 0));
    scene.Tick(0.1f, vec3_c(3, 0, 0));
    const u32 updates = scene.Updates();
    vec3_c left;
    vec3_c right;
    scene.trail.GetVectors(left, right);
    for (float time : {0.2f, 0.3f, 0.4f}) {
        scene.Tick(time, vec3_c(3, 0, 0));
        EXPECT_EQ(scene.trail.GetHeadIndex(), 1);
        EXPECT_EQ(scene.Updates(), updates);
        vec3_c now_left;
        vec3_c now_right;
        scene.trail.GetVectors(now_left, now_right);
        EXPECT_EQ(now_left.x, left.x);
        EXPECT_EQ(now_left.y, left.y);
    }
    // Less than the measure does not lay a boundary either.
    scene.Tick(0.5f, vec3_c(3.5f, 0, 0));
    EXPECT_EQ(scene.trail.GetHeadIndex(), 1);
}

TEST(TrailTest, FullRibbonDropsItsOldestBoundary)
{
    trail_scene_c scene(4, 10.0f);
    scene.Tick(0.0f, vec3_c(0, 0, 0));
    for (int tick = 1; tick <= 4; ++tick)
        scene.Tick(0.01f * static_cast<float>(tick), vec3_c(2.0f * static_cast<float>(tick), 0, 0));
    ASSERT_EQ(scene.trail.GetHeadIndex(), 4);
    // The fifth boundary: none has expired, so the oldest goes.
    scene.Tick(0.05f, vec3_c(10, 0, 0));
    EXPECT_EQ(scene.trail.GetHeadIndex(), 4);
    const std::vector<vertex_c>& v = scene.Vertices();
    ASSERT_EQ(v.size(), 10u);
    EXPECT_NEAR(v[0].position.x, 4.0f, 1e-4f);
    EXPECT_EQ(v[0].normal.z, 0.0f);
    EXPECT_EQ(v[1].normal.z, 0.0f);
    EXPECT_EQ(v[2].normal.z, 1.0f);
    EXPECT_NEAR(v[8].position.x, 10.0f, 1e-4f);
}

TEST(TrailTest, FullRibbonDropsExpiredBoundaries)
{
    trail_scene_c scene(4, 1.0f);
    scene.Tick(0.0f, vec3_c(0, 0, 0));
    for (int tick = 1; tick <= 4; ++tick)
        scene.Tick(0.2f * static_cast<float>(tick), vec3_c(2.0f * static_cast<float>(tick), 0, 0));
    ASSERT_EQ(scene.trail.GetHeadIndex(), 4);
    scene.Tick(1.25f, vec3_c(10, 0, 0));
    // Expired boundaries leave the tail together; what becomes the tail was
    // not dropped as the oldest and keeps its age mark.
    EXPECT_LT(scene.trail.GetHeadIndex(), 4);
    const std::vector<vertex_c>& v = scene.Vertices();
    EXPECT_EQ(v.size(), 2u * static_cast<u32>(scene.trail.GetHeadIndex()) + 2u);
    EXPECT_EQ(v[0].normal.z, 1.0f);
    EXPECT_GT(v[0].normal.x + 1.0f, 1.25f);
}

TEST(TrailTest, PauseOrRewindStartsANewRibbon)
{
    trail_scene_c scene(8, 1.0f);
    scene.Tick(0.0f, vec3_c(0, 0, 0));
    scene.Tick(0.1f, vec3_c(2, 0, 0));
    scene.Tick(0.2f, vec3_c(4, 0, 0));
    ASSERT_EQ(scene.trail.GetHeadIndex(), 2);
    // Longer than the lifetime since the last boundary.
    scene.Tick(1.5f, vec3_c(6, 0, 0));
    EXPECT_EQ(scene.trail.GetHeadIndex(), 1);
    EXPECT_NEAR(scene.Vertices()[0].position.x, 6.0f, 1e-4f);

    // Local time runs backwards: the trail's clock stays, and the next
    // boundary starts afresh where the object then stands.
    scene.Tick(0.5f, vec3_c(20, 0, 0));
    EXPECT_FLOAT_EQ(scene.trail.GetTrailTime(), 1.5f);
    EXPECT_EQ(scene.trail.GetHeadIndex(), -1);
    scene.Tick(0.6f, vec3_c(22, 0, 0));
    EXPECT_EQ(scene.trail.GetHeadIndex(), 1);
    EXPECT_NEAR(scene.Vertices()[0].position.x, 22.0f, 1e-4f);
    EXPECT_NEAR(scene.trail.GetTrailTime(), 1.6f, 1e-5f);
}

TEST(TrailTest, BoundsFollowTheSpeed)
{
    trail_scene_c scene(8, 2.0f);
    scene.Tick(0.0f, vec3_c(0, 0, 0));
    scene.Tick(0.5f, vec3_c(5, 0, 0));
    aabb_c box;
    scene.trail.GetBoundingBox(box);
    // 10 units a second for 2 seconds, and half the ribbon's width.
    EXPECT_FLOAT_EQ(box.max.x, 21.0f);
    EXPECT_FLOAT_EQ(box.min.y, -21.0f);
}

TEST(TrailTest, RenderGoesToTheRenderer)
{
    trail_scene_c scene(8, 2.0f);
    scene.Tick(0.25f, vec3_c(0, 0, 0));
    scene.renderer.ClearCalls();
    scene.trail.Render(1);
    scene.trail.DrawBounds();
    const recorded_call_c* draw = scene.renderer.FindCall("DrawTrail");
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->objects[0], &scene.trail);
    EXPECT_DOUBLE_EQ(draw->numbers[0], 0.25);
    EXPECT_NE(scene.renderer.FindCall("DrawBox"), nullptr);
}

TEST(TrailTest, Keywords)
{
    memory_file_system_c files;
    AddTestPicture(files, "fx\\trail.bmp");
    recording_renderer_c renderer;
    trail_c trail("t", &renderer);
    EXPECT_TRUE(trail.SetParameter(command_c("Lifetime 0")));
    EXPECT_FLOAT_EQ(trail.GetLifetime(), FLT_EPSILON);
    EXPECT_TRUE(trail.SetParameter(command_c("SegmentSize -1")));
    EXPECT_EQ(trail.GetSegmentSize(), 0.0f);
    EXPECT_TRUE(trail.SetParameter(command_c("Measure -3")));
    EXPECT_FLOAT_EQ(trail.GetMeasure(), FLT_EPSILON);
    EXPECT_TRUE(trail.SetParameter(command_c("segments 16")));
    EXPECT_EQ(trail.GetSegments(), 16u);
    EXPECT_TRUE(trail.HasFlags(trail_ribbon_dirty));
    EXPECT_TRUE(trail.SetParameter(command_c("Segments -4")));
    EXPECT_EQ(trail.GetSegments(), 0u);
    EXPECT_TRUE(trail.SetParameter(command_c("Segments 999999")));
    EXPECT_EQ(trail.GetSegments(), trail_c::max_segments);
    EXPECT_TRUE(trail.SetParameter(command_c("Additive 1")));
    EXPECT_TRUE(trail.HasFlags(trail_additive));
    EXPECT_TRUE(trail.SetParameter(command_c("Map fx\\trail.bmp")));
    ASSERT_NE(trail.GetMap(), nullptr);
    EXPECT_FALSE(trail.SetParameter(command_c("Particles 3")));
    for (const char* line : {"Segments", "Map", "Additive", "SegmentSize", "Lifetime", "Measure"})
        EXPECT_THROW(trail.SetParameter(command_c(line)), command_error_c) << line;
}

TEST(TrailTest, WriteThenRead)
{
    memory_file_system_c files;
    AddTestPicture(files, "fx\\trail.bmp");
    recording_renderer_c renderer;
    trail_c trail("vapour", &renderer);
    trail.SetSegments(12);
    trail.SetSegmentSize(3.0f);
    trail.SetLifetime(4.0f);
    trail.SetMeasure(0.5f);
    trail.SetFlags(trail_additive);
    trail.SetMap("fx\\trail.bmp");
    auto object = RoundTrip(trail, &renderer);
    auto* read = dynamic_cast<trail_c*>(object.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetName(), "vapour");
    EXPECT_EQ(read->GetSegments(), 12u);
    EXPECT_FLOAT_EQ(read->GetSegmentSize(), 3.0f);
    EXPECT_FLOAT_EQ(read->GetLifetime(), 4.0f);
    EXPECT_FLOAT_EQ(read->GetMeasure(), 0.5f);
    EXPECT_TRUE(read->HasFlags(trail_additive | trail_ribbon_dirty));
    ASSERT_NE(read->GetMap(), nullptr);

    std::unique_ptr<null_object_c> copy(read->Clone());
    EXPECT_EQ(dynamic_cast<trail_c*>(copy.get())->GetSegments(), 12u);
}

namespace {

std::vector<u8> TrailChunk(u32 _count, float _size, float _lifetime, float _measure)
{
    recording_renderer_c renderer;
    trail_c plain("bad", &renderer);
    std::vector<u8> body = BodyBytes(plain, MakeTag("TRAL"), trail_c::version);
    const size_t start = body.size() - 16;
    std::memcpy(&body[start], &_count, 4);
    const u32 bits[3] = {std::bit_cast<u32>(_size), std::bit_cast<u32>(_lifetime), std::bit_cast<u32>(_measure)};
    std::memcpy(&body[start + 4], bits, 12);
    return ChunkBytes(MakeTag("TRAL"), trail_c::version, body);
}

} // namespace

TEST(TrailTest, ReadBringsStoredValuesInsideTheLimits)
{
    recording_renderer_c renderer;
    const std::vector<u8> chunk = TrailChunk(4, -2.0f, 0.0f, std::nanf(""));
    input_file_c in(chunk.data(), static_cast<u32>(chunk.size()));
    std::unique_ptr<trail_c> read(trail_c::Read(in, &renderer));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetSegmentSize(), 0.0f);
    EXPECT_FLOAT_EQ(read->GetLifetime(), FLT_EPSILON);
    EXPECT_FLOAT_EQ(read->GetMeasure(), FLT_EPSILON);

    for (u32 count : {trail_c::max_segments + 1, 0xFFFFFFFFu}) {
        const std::vector<u8> bad = TrailChunk(count, 1, 1, 1);
        input_file_c bad_in(bad.data(), static_cast<u32>(bad.size()));
        try {
            delete trail_c::Read(bad_in, &renderer);
            ADD_FAILURE() << count;
        } catch (const file_error_c& error) {
            EXPECT_STREQ(error.what(), "Segment count out of range!");
        }
    }

    output_file_c old;
    output_file_c body;
    AppendBytes(body, BodyBytes(trail_c("t", &renderer), MakeTag("TRAL"), trail_c::version));
    WriteChunk(old, MakeTag("TRAL"), 5, body);
    input_file_c old_in = ViewOf(old);
    EXPECT_EQ(trail_c::Read(old_in, &renderer), nullptr);
    EXPECT_TRUE(old_in.IsAtEnd());
}

TEST(TrailTest, HeadEdgeFacesATurnedCamera)
{
    trail_scene_c scene(8, 10.0f);
    scene.camera = MakeTestCamera(vec3_c(-30, 20, -40), vec3_c(0.6f, 0.3f, 0.2f));
    scene.Tick(0.0f, vec3_c(0, 0, 0));
    const vec3_c motion(1.0f, 2.0f, -0.5f);
    scene.Tick(0.1f, motion * 3.0f);
    vec3_c left;
    vec3_c right;
    scene.trail.GetVectors(left, right);
    const vec3_c centre = (left + right) * 0.5f;
    const vec3_c side = (left - right) * 0.5f;
    EXPECT_NEAR((centre - motion * 3.0f).Length(), 0.0f, 1e-4f);
    const mat4x3_c& view = scene.camera->GetMatrix();
    const vec3_c forward(view.m[2][0], view.m[2][1], view.m[2][2]);
    EXPECT_NEAR(Dot(side, forward), 0.0f, 1e-4f);
    // Across the motion as seen on screen; half the segment size times the
    // share of the motion that crosses the view.
    vec3_c seen_motion = motion * scene.camera->GetInverseMatrix().GetRotation();
    seen_motion.NormalizeSelf();
    const vec3_c seen_side = side * scene.camera->GetInverseMatrix().GetRotation();
    EXPECT_NEAR(seen_side.x * seen_motion.x + seen_side.y * seen_motion.y, 0.0f, 1e-4f);
    EXPECT_NEAR(side.Length(), std::sqrt(seen_motion.x * seen_motion.x + seen_motion.y * seen_motion.y), 1e-4f);
}
