#include "engine/sprite.h"

#include "engine/aabb.h"
#include "engine/effect_maps.h"
#include "engine/object_chunk.h"
#include "engine/still_map.h"
#include "engine/testing/effect_fixtures.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/command.h"
#include "foundation/file_error.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

void ExpectRotation(const mat4x3_c& _m, const mat3_c& _expected, float _tolerance = 1e-5f)
{
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_NEAR(_m.m[row][column], _expected.m[row][column], _tolerance) << row << "," << column;
}

void ExpectVector(const vec3_c& _actual, const vec3_c& _expected, float _tolerance = 1e-4f)
{
    EXPECT_NEAR(_actual.x, _expected.x, _tolerance);
    EXPECT_NEAR(_actual.y, _expected.y, _tolerance);
    EXPECT_NEAR(_actual.z, _expected.z, _tolerance);
}

mat3_c Identity()
{
    mat3_c m;
    m.SetIdentity();
    return m;
}

struct sprite_scene_c {
    recording_renderer_c renderer;
    sprite_c sprite{"puff", &renderer};
    object_list_t pass0;
    object_list_t pass1;

    bool Cull(camera_c& _camera)
    {
        pass0.clear();
        pass1.clear();
        sprite.UpdateTransform(nullptr);
        return sprite.Cull(pass0, pass1, nullptr, &_camera, 0, 0);
    }
};

} // namespace

TEST(SpriteTest, BillboardFacesAMovedCamera)
{
    sprite_scene_c scene;
    scene.sprite.position = vec3_c(3, 1, 20);
    const vec3_c camera_places[][2] = {
        {vec3_c(0, 0, 0), vec3_c(0, 0, 0)},
        {vec3_c(-5, 2, 4), vec3_c(0.4f, -0.1f, 0.0f)},
        {vec3_c(10, -3, 5), vec3_c(-0.6f, 0.2f, 0.3f)},
    };
    for (const auto& place : camera_places) {
        auto camera = MakeTestCamera(place[0], place[1]);
        ASSERT_TRUE(scene.Cull(*camera));
        const mat4x3_c& m = scene.sprite.GetWorldMatrix();
        // In camera space the square lies flat across the view ...
        ExpectRotation(m, Identity());
        // ... at the sprite's position as the camera sees it.
        ExpectVector(m.GetPosition(), scene.sprite.position * camera->GetInverseMatrix());
    }
}

TEST(SpriteTest, BillboardRollsAndScalesOnlyInTheViewPlane)
{
    sprite_scene_c scene;
    scene.sprite.position = vec3_c(0, 0, 10);
    // Heading and pitch do not turn the square; the bank rolls it.
    scene.sprite.rotation = vec3_c(0.7f, 0.3f, 0.5f);
    scene.sprite.scale = vec3_c(2, 3, 1);
    auto camera = MakeTestCamera(vec3_c(1, 2, -3), vec3_c(0.2f, 0.1f, 0));
    ASSERT_TRUE(scene.Cull(*camera));
    mat3_c expected;
    expected.SetRotation(2, 0.5f);
    for (int column = 0; column < 3; ++column) {
        expected.m[0][column] *= 2.0f;
        expected.m[1][column] *= 3.0f;
    }
    ExpectRotation(scene.sprite.GetWorldMatrix(), expected);
}

TEST(SpriteTest, ZeroScaleBecomesEpsilon)
{
    sprite_scene_c scene;
    scene.sprite.position = vec3_c(0, 0, 10);
    scene.sprite.scale = vec3_c(0, 0, 0);
    auto camera = MakeTestCamera(vec3_c());
    scene.Cull(*camera);
    const mat4x3_c& m = scene.sprite.GetWorldMatrix();
    EXPECT_FLOAT_EQ(m.m[0][0], FLT_EPSILON);
    EXPECT_FLOAT_EQ(m.m[1][1], FLT_EPSILON);
    EXPECT_FLOAT_EQ(m.m[2][2], FLT_EPSILON);
}

TEST(SpriteTest, StaticPairKeepsItsFirstMatrix)
{
    sprite_scene_c scene;
    scene.sprite.position = vec3_c(0, 0, 10);
    scene.sprite.isStatic = true;
    auto camera = MakeTestCamera(vec3_c(0, 0, 0));
    camera->isStatic = true;
    // The first cull places the pair even though both are static.
    ASSERT_TRUE(scene.Cull(*camera));
    EXPECT_FLOAT_EQ(scene.sprite.GetWorldMatrix().GetPosition().z, 10.0f);
    auto moved = MakeTestCamera(vec3_c(0, 0, 5));
    moved->isStatic = true;
    scene.Cull(*moved);
    EXPECT_FLOAT_EQ(scene.sprite.GetWorldMatrix().GetPosition().z, 10.0f);
    moved->isStatic = false;
    scene.Cull(*moved);
    EXPECT_FLOAT_EQ(scene.sprite.GetWorldMatrix().GetPosition().z, 5.0f);
}

TEST(SpriteTest, PassFollowsFlagsAndDissolve)
{
    struct {
        u32 flags;
        float dissolve;
        int pass; // -1: not queued
    } cases[] = {
        {0, 0.0f, 0},  {0, 0.01f, 1}, {sprite_additive, 0.0f, 1}, {sprite_alpha_blending, 0.0f, 1},
        {0, 1.0f, -1}, {0, 2.0f, -1},
    };
    auto camera = MakeTestCamera(vec3_c());
    for (const auto& c : cases) {
        sprite_scene_c scene;
        scene.sprite.position = vec3_c(0, 0, 10);
        scene.sprite.SetFlags(c.flags);
        scene.sprite.dissolve = c.dissolve;
        const bool queued = scene.Cull(*camera);
        EXPECT_EQ(queued, c.pass >= 0) << c.flags << " " << c.dissolve;
        EXPECT_EQ(scene.sprite.IsVisible(), c.pass >= 0);
        EXPECT_EQ(scene.pass0.size(), c.pass == 0 ? 1u : 0u);
        EXPECT_EQ(scene.pass1.size(), c.pass == 1 ? 1u : 0u);
    }
}

TEST(SpriteTest, OutsideTheViewOrNotRenderedIsNotQueued)
{
    sprite_scene_c scene;
    auto camera = MakeTestCamera(vec3_c());
    scene.sprite.position = vec3_c(0, 0, -10);
    EXPECT_FALSE(scene.Cull(*camera));
    scene.sprite.position = vec3_c(50, 0, 10);
    EXPECT_FALSE(scene.Cull(*camera));
    scene.sprite.position = vec3_c(0, 0, 10);
    EXPECT_TRUE(scene.Cull(*camera));
    scene.sprite.ClearFlags(object_rendered);
    EXPECT_FALSE(scene.Cull(*camera));
}

TEST(SpriteTest, RenderAndBoundsGoToTheRenderer)
{
    sprite_scene_c scene;
    auto camera = MakeTestCamera(vec3_c());
    scene.sprite.position = vec3_c(0, 0, 10);
    ASSERT_TRUE(scene.Cull(*camera));
    scene.renderer.ClearCalls();
    scene.sprite.Render(1);
    scene.sprite.DrawBounds();
    const recorded_call_c* draw = scene.renderer.FindCall("DrawSprite");
    ASSERT_NE(draw, nullptr);
    EXPECT_EQ(draw->objects[0], &scene.sprite);
    // Wholly inside the view: no clipping needed.
    EXPECT_EQ(draw->numbers[0], 0.0);
    const recorded_call_c* bounds = scene.renderer.FindCall("DrawQuadVolume");
    ASSERT_NE(bounds, nullptr);
    EXPECT_EQ(bounds->objects[0], &scene.sprite.GetQuadVolume());

    // Half across the left edge of the view.
    scene.sprite.position = vec3_c(-10, 0, 10);
    ASSERT_TRUE(scene.Cull(*camera));
    scene.renderer.ClearCalls();
    scene.sprite.Render(1);
    EXPECT_EQ(scene.renderer.FindCall("DrawSprite")->numbers[0], 1.0);

    aabb_c box;
    scene.sprite.GetBoundingBox(box);
    EXPECT_FLOAT_EQ(box.min.x, -1.4142135f);
    EXPECT_FLOAT_EQ(box.max.z, 1.4142135f);
}

TEST(SpriteTest, Parameters)
{
    memory_file_system_c files;
    AddTestPicture(files, "fx\\puff.bmp");
    recording_renderer_c renderer;
    sprite_c sprite("s", &renderer);
    EXPECT_FLOAT_EQ(sprite.GetAlphaThreshold(), 0.01f);

    EXPECT_TRUE(sprite.SetParameter(command_c("AlphaThreshold -2")));
    EXPECT_EQ(sprite.GetAlphaThreshold(), 0.0f);
    EXPECT_TRUE(sprite.SetParameter(command_c("alphathreshold 7")));
    EXPECT_EQ(sprite.GetAlphaThreshold(), 1.0f);
    EXPECT_TRUE(sprite.SetParameter(command_c("AlphaThreshold 0.25")));
    EXPECT_FLOAT_EQ(sprite.GetAlphaThreshold(), 0.25f);

    EXPECT_TRUE(sprite.SetParameter(command_c("Additive 1")));
    EXPECT_TRUE(sprite.HasFlags(sprite_additive));
    EXPECT_TRUE(sprite.SetParameter(command_c("Additive 0")));
    EXPECT_FALSE(sprite.HasFlags(sprite_additive));
    EXPECT_TRUE(sprite.SetParameter(command_c("ALPHABLENDING 3")));
    EXPECT_TRUE(sprite.HasFlags(sprite_alpha_blending));
    EXPECT_TRUE(sprite.SetParameter(command_c("DepthTest 1")));
    EXPECT_TRUE(sprite.HasFlags(object_depth_test));

    EXPECT_TRUE(sprite.SetParameter(command_c("Map fx\\puff.bmp")));
    ASSERT_NE(sprite.GetMap(), nullptr);
    EXPECT_EQ(sprite.GetMap()->GetRepeat(), 0);
    texture_c* texture = sprite.GetMap()->GetTexture(0);
    EXPECT_EQ(texture->definition.imagePath, "fx\\puff.bmp");
    EXPECT_TRUE(texture->definition.mipmapping);
    EXPECT_FALSE(texture->definition.highQuality);

    EXPECT_FALSE(sprite.SetParameter(command_c("Frequency 3")));
    EXPECT_FALSE(sprite.SetParameter(command_c("")));
    for (const char* line : {"Map", "Additive", "AlphaBlending", "AlphaThreshold"}) {
        try {
            sprite.SetParameter(command_c(line));
            ADD_FAILURE() << line;
        } catch (const command_error_c& error) {
            EXPECT_STREQ(error.what(), "Parameter not found!") << line;
        }
    }
    sprite.SetMap(nullptr);
    EXPECT_EQ(sprite.GetMap(), nullptr);
}

TEST(SpriteTest, WriteThenReadWithAndWithoutMap)
{
    memory_file_system_c files;
    AddTestPicture(files, "fx\\glow.bmp");
    recording_renderer_c renderer;
    sprite_c sprite("glow", &renderer);
    sprite.position = vec3_c(1, 2, 3);
    sprite.dissolve = 0.25f;
    sprite.SetFlags(sprite_additive);
    sprite.SetAlphaThreshold(0.5f);

    auto plain = RoundTrip(sprite, &renderer);
    auto* read = dynamic_cast<sprite_c*>(plain.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetName(), "glow");
    EXPECT_FLOAT_EQ(read->position.y, 2.0f);
    EXPECT_FLOAT_EQ(read->dissolve, 0.25f);
    EXPECT_EQ(read->GetFlags(), sprite.GetFlags());
    EXPECT_FLOAT_EQ(read->GetAlphaThreshold(), 0.5f);
    EXPECT_EQ(read->GetMap(), nullptr);

    sprite.SetMap("fx\\glow.bmp");
    auto mapped = RoundTrip(sprite, &renderer);
    read = dynamic_cast<sprite_c*>(mapped.get());
    ASSERT_NE(read, nullptr);
    ASSERT_NE(read->GetMap(), nullptr);
    EXPECT_EQ(read->GetMap()->GetTexture(0), sprite.GetMap()->GetTexture(0));
    EXPECT_EQ(read->GetMap()->GetRepeat(), 0);
}

TEST(SpriteTest, ReaderSkipsOtherVersionsAndForeignRecords)
{
    recording_renderer_c renderer;
    sprite_c sprite("s", &renderer);
    output_file_c body;
    AppendBytes(body, BodyBytes(sprite, MakeTag("SPRT"), sprite_c::version));
    output_file_c foreign;
    foreign.WriteU32(0x12345678);
    body.WriteU32(MakeTag("junk"));
    body.WriteBlock(foreign);

    output_file_c file;
    WriteChunk(file, MakeTag("SPRT"), sprite_c::version, body);
    input_file_c in = ViewOf(file);
    std::unique_ptr<sprite_c> read(sprite_c::Read(in, &renderer));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetMap(), nullptr);
    EXPECT_TRUE(in.IsAtEnd());

    output_file_c old;
    WriteChunk(old, MakeTag("SPRT"), 4, body);
    input_file_c old_in = ViewOf(old);
    EXPECT_EQ(sprite_c::Read(old_in, &renderer), nullptr);
    EXPECT_TRUE(old_in.IsAtEnd());

    output_file_c other;
    WriteChunk(other, MakeTag("ANIM"), 4, body);
    input_file_c other_in = ViewOf(other);
    EXPECT_EQ(sprite_c::Read(other_in, &renderer), nullptr);
    EXPECT_EQ(other_in.GetPosition(), 0u);
}

TEST(SpriteTest, CutShortBodiesThrow)
{
    recording_renderer_c renderer;
    output_file_c body;
    body.WriteString("cut");
    output_file_c file;
    WriteChunk(file, MakeTag("SPRT"), sprite_c::version, body);
    input_file_c in = ViewOf(file);
    try {
        delete sprite_c::Read(in, &renderer);
        FAIL() << "no exception";
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), "Unexpected end of file!");
    }
}

TEST(SpriteTest, CloneOwnsItsOwnMap)
{
    memory_file_system_c files;
    AddTestPicture(files, "a.bmp");
    recording_renderer_c renderer;
    sprite_c sprite("s", &renderer);
    sprite.SetMap("a.bmp");
    std::unique_ptr<null_object_c> copy(sprite.Clone());
    auto* clone = dynamic_cast<sprite_c*>(copy.get());
    ASSERT_NE(clone, nullptr);
    ASSERT_NE(clone->GetMap(), nullptr);
    EXPECT_NE(clone->GetMap(), sprite.GetMap());
    texture_c* texture = sprite.GetMap()->GetTexture(0);
    EXPECT_EQ(texture->useCount, 2u);
    sprite.SetMap(nullptr);
    EXPECT_EQ(texture->useCount, 1u);
}
