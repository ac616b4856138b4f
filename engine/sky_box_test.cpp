#include "engine/sky_box.h"

#include "engine/aabb.h"
#include "engine/geometry_def.h"
#include "engine/map.h"
#include "engine/mesh.h"
#include "engine/object_chunk.h"
#include "engine/object_format.h"
#include "engine/testing/landscape_fixtures.h"
#include "engine/testing/memory_file_system.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class SkyBox : public ::testing::Test {
protected:
    recording_renderer_c renderer{640, 480};
    memory_file_system_c files;

    void SetUp() override
    {
        for (const char* name :
             {"sky\\right.bmp", "sky\\left.bmp", "sky\\up.bmp", "sky\\down.bmp", "sky\\front.bmp", "sky\\back.bmp"})
            files.Add(name, PictureBytes(8, 8, format_x8r8g8b8, 0xff4080c0));
    }

    bool Take(sky_box_c& _sky, const char* _line)
    {
        command_c command;
        command.Parse(_line);
        return _sky.SetParameter(command);
    }
};

} // namespace

TEST_F(SkyBox, NewSkyIsAnEmptyCube)
{
    sky_box_c sky("Sky", &renderer);
    EXPECT_EQ(sky.GetFlags(), 5u);
    EXPECT_EQ(sky.GetFaceCount(), 0u);
    aabb_c box;
    sky.GetBoundingBox(box);
    EXPECT_EQ(box.min, vec3_c(-1.0f, -1.0f, -1.0f));
    EXPECT_EQ(box.max, vec3_c(1.0f, 1.0f, 1.0f));
    ASSERT_NE(sky.GetMesh(), nullptr);
    EXPECT_EQ(sky.GetMesh()->GetDefinition().primitiveSets.size(), 6u);
    EXPECT_EQ(sky.GetMesh()->GetDefinition().name, "Sky");
    // Without faces nothing is queued.
    test_camera_c eye(renderer, vec3_c());
    object_list_t pass0, pass1;
    sky.UpdateTransform(nullptr);
    EXPECT_FALSE(sky.Cull(pass0, pass1, nullptr, &eye, 0, 0));
    EXPECT_TRUE(pass0.empty());
}

TEST_F(SkyBox, FaceMapsAndTheirKeywords)
{
    sky_box_c sky("Sky", &renderer);
    sky.SetFaceMap(6, "sky\\up.bmp");
    EXPECT_EQ(sky.GetFaceCount(), 0u);
    EXPECT_TRUE(Take(sky, "Map RIGHT=sky\\right.bmp LEFT=sky\\left.bmp"));
    const map_c* left = sky.GetFaceMap(1);
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->GetRepeat(), 0);
    // Only UP changes; the others stay; names compare without case.
    EXPECT_TRUE(Take(sky, "Map up=sky\\up.bmp"));
    EXPECT_EQ(sky.GetFaceCount(), 3u);
    EXPECT_EQ(sky.GetFaceMap(1), left);
    EXPECT_NE(sky.GetFaceMap(2), nullptr);
    EXPECT_TRUE(Take(sky, "Map"));
    EXPECT_EQ(sky.GetFaceCount(), 3u);
    EXPECT_FALSE(Take(sky, "Extent 4"));
    EXPECT_TRUE(Take(sky, "DepthTest 0"));
    EXPECT_EQ(sky.GetFlags(), 1u);
    sky.SetFaceMap(0, static_cast<const char*>(nullptr));
    EXPECT_EQ(sky.GetFaceCount(), 2u);
}

TEST_F(SkyBox, QueuedWithFacesAndNeverHit)
{
    sky_box_c sky("Sky", &renderer);
    sky.SetFaceMap(4, "sky\\front.bmp");
    sky.UpdateTransform(nullptr);
    test_camera_c eye(renderer, vec3_c());
    eye.SetProjection(0.1f, 100.0f); // the front face lies beyond the near plane
    object_list_t pass0, pass1;
    EXPECT_TRUE(sky.Cull(pass0, pass1, nullptr, &eye, 0, 0));
    ASSERT_EQ(pass0.size(), 1u);
    EXPECT_TRUE(sky.IsVisible());
    renderer.ClearCalls();
    sky.Render(0);
    ASSERT_EQ(renderer.CountCalls("DrawSkyBox"), 1u);
    EXPECT_EQ(renderer.FindCall("DrawSkyBox")->objects[0], &sky);
    EXPECT_EQ(renderer.FindCall("DrawSkyBox")->numbers[0], 1.0); // the camera is inside: clipped
    f32 distance = 0.0f;
    vec3_c normal;
    EXPECT_FALSE(sky.RayTest(distance, normal, ray_c(vec3_c(0, 0, -5), vec3_c(0, 0, 10)), true, true, 100.0f));
}

TEST_F(SkyBox, WriteThenReadKeepsTheFaces)
{
    sky_box_c sky("Heaven", &renderer);
    sky.SetFaceMap(1, "sky\\left.bmp");
    sky.SetFaceMap(4, "sky\\front.bmp");
    const std::vector<u8> bytes = Written(sky);
    size_t col1 = 0, col4 = 0;
    ASSERT_TRUE(HasTagAt(bytes, MakeTag("col1"), &col1));
    ASSERT_TRUE(HasTagAt(bytes, MakeTag("col4"), &col4));
    EXPECT_LT(col1, col4);
    for (u32 other : {MakeTag("col0"), MakeTag("col2"), MakeTag("col3"), MakeTag("col5")})
        EXPECT_FALSE(HasTagAt(bytes, other)) << other;
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<sky_box_c> copy(sky_box_c::Read(in, &renderer));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetName(), "Heaven");
    EXPECT_EQ(copy->GetFaceCount(), 2u);
    EXPECT_NE(copy->GetFaceMap(1), nullptr);
    EXPECT_NE(copy->GetFaceMap(4), nullptr);
    EXPECT_EQ(copy->GetFaceMap(4)->GetRepeat(), 0);
    EXPECT_EQ(Written(*copy), bytes);
    std::unique_ptr<null_object_c> clone(copy->Clone());
    EXPECT_EQ(Written(*clone), bytes);
    // Through the object loader.
    input_file_c again(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<null_object_c> loaded(LoadObject(again, &renderer, false));
    EXPECT_NE(dynamic_cast<sky_box_c*>(loaded.get()), nullptr);
}

TEST_F(SkyBox, OtherVersionIsSkipped)
{
    output_file_c body;
    output_file_c out;
    WriteChunk(out, MakeTag("SBOX"), 3, body);
    const std::vector<u8> bytes = Bytes(out);
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    EXPECT_EQ(sky_box_c::Read(in, &renderer), nullptr);
    EXPECT_EQ(in.GetPosition(), bytes.size());
}
