#include "engine/water.h"

#include "engine/aabb.h"
#include "engine/geometry_def.h"
#include "engine/grey_map.h"
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

#include <cfloat>
#include <cstring>
#include <memory>

namespace {

image_c Grey(int _side, const std::vector<u8>& _pixels)
{
    image_c image;
    image.Create(_side, _side, format_l8);
    for (int r = 0; r < _side; ++r)
        std::memcpy(image.GetData() + r * image.GetPitch(), _pixels.data() + r * _side, _side);
    return image;
}

std::vector<u8> TextBytes(const char* _text)
{
    return std::vector<u8>(_text, _text + std::strlen(_text));
}

class Water : public ::testing::Test {
protected:
    recording_renderer_c renderer{640, 480};
    memory_file_system_c files;

    void SetUp() override
    {
        files.Add("sea\\sky.bmp", PictureBytes(8, 8, format_x8r8g8b8, 0xff8090a0));
        files.Add("sea\\c1.bmp", PictureBytes(8, 8, format_x8r8g8b8, 0xff101010));
        files.Add("sea\\c2.bmp", PictureBytes(8, 8, format_x8r8g8b8, 0xff202020));
        files.Add("sea\\map.bmp", GreyPictureBytes(2, {0, 255, 255, 0}));
        files.Add("sea\\caustics.txt", TextBytes("  sea\\c1.bmp\t\r\n\n \t \nsea\\c2.bmp"));
        files.Add("sea\\blank.txt", TextBytes("  \n\t\n\n"));
    }

    bool Take(water_c& _water, const char* _line)
    {
        command_c command;
        command.Parse(_line);
        return _water.SetParameter(command);
    }
};

} // namespace

TEST_F(Water, SettersClampAndMark)
{
    water_c water("Sea", &renderer);
    EXPECT_EQ(water.GetFlags(), 23u);
    EXPECT_FLOAT_EQ(water.GetBorder(), 0.05f);
    water.SetExtent(-4.0f);
    EXPECT_EQ(water.GetExtent(), 0.0f);
    EXPECT_TRUE(water.HasFlags(water_bounds_dirty | water_surface_dirty));
    water.UpdateBounds();
    water.BuildSurface();
    water.SetWaveAmplitude(1, 2.0f);
    EXPECT_TRUE(water.HasFlags(water_bounds_dirty));
    EXPECT_FALSE(water.HasFlags(water_surface_dirty));
    water.SetWaveAmplitude(3, 9.0f);
    water.SetWaveAmplitude(0, -1.0f);
    EXPECT_EQ(water.waveAmplitudes[0], 0.0f);
    water.SetWaveLength(2, 0.0f);
    EXPECT_EQ(water.waveLengths[2], FLT_EPSILON);
    water.SetWaveVelocity(1, vec3_c(1, 0, 2));
    EXPECT_EQ(water.GetWaveVelocity(1), vec3_c(1, 0, 2));
    EXPECT_EQ(water.GetWaveVelocity(7), vec3_c());
    struct {
        f32 in, border, intensity;
    } cases[] = {{-1.0f, 0.0f, 0.0f}, {0.25f, 0.25f, 0.25f}, {0.7f, 0.5f, 0.7f}, {3.0f, 0.5f, 1.0f}};
    for (const auto& c : cases) {
        water.SetBorder(c.in);
        water.SetCausticIntensity(c.in);
        EXPECT_EQ(water.GetBorder(), c.border) << c.in;
        EXPECT_EQ(water.causticIntensity, c.intensity) << c.in;
    }
    water.SetCausticScale(-2.0f);
    EXPECT_EQ(water.causticScale, 0.0f);
}

TEST_F(Water, BoundsFromExtentAndAmplitudes)
{
    water_c water("Sea", &renderer);
    water.SetExtent(100.0f);
    for (u32 i = 0; i < 3; ++i)
        water.SetWaveAmplitude(i, static_cast<f32>(i + 1));
    aabb_c box;
    water.GetBoundingBox(box);
    EXPECT_EQ(box.min, vec3_c(-50.0f, -6.0f, -50.0f));
    EXPECT_EQ(box.max, vec3_c(50.0f, 6.0f, 50.0f));
}

TEST_F(Water, SurfaceFromTheGeography)
{
    water_c water("Sea", &renderer);
    water.SetExtent(10.0f);
    water.SetGeographyMap(Grey(1, {7}));
    water.BuildSurface();
    ASSERT_NE(water.GetMesh(), nullptr);
    const geometry_def_c& definition = water.GetMesh()->GetDefinition();
    EXPECT_EQ(definition.GetVertexCount(), 4u);
    EXPECT_EQ(definition.GetPrimitiveCount(primitive_triangles), 2u);
    EXPECT_EQ(definition.needsVertexShader, 1);
    EXPECT_EQ(definition.format.hasDiffuse, 1);
    // Each build names its geometry anew.
    int first = 0, second = 0;
    ASSERT_EQ(std::sscanf(definition.name.GetData(), "Sea (%d)", &first), 1);
    water.SetBorder(0.1f);
    water.BuildSurface();
    ASSERT_EQ(std::sscanf(water.GetMesh()->GetDefinition().name.GetData(), "Sea (%d)", &second), 1);
    EXPECT_EQ(second, first + 1);
    // A dry map: a surface with nothing in it.
    water.SetGeographyMap(Grey(2, {0, 0, 0, 0}));
    water.BuildSurface();
    ASSERT_NE(water.GetMesh(), nullptr);
    EXPECT_EQ(water.GetMesh()->GetDefinition().GetVertexCount(), 0u);
}

TEST_F(Water, GeographyBecomesSquareGrey)
{
    water_c water("Sea", &renderer);
    image_c wide;
    wide.Create(3, 2, format_x8r8g8b8);
    wide.Fill(0xff808080);
    water.SetGeographyMap(wide);
    EXPECT_EQ(water.GetGeography().GetWidth(), 2);
    EXPECT_EQ(water.GetGeography().GetHeight(), 2);
    EXPECT_EQ(water.GetGeography().GetFormat(), format_l8);
    image_c huge;
    huge.Create(1100, 1030, format_l8);
    huge.Fill(0xff000000);
    water.SetGeographyMap(huge);
    EXPECT_EQ(water.GetGeography().GetWidth(), grey_map_side_limit);
    EXPECT_EQ(water.GetGeography().GetHeight(), grey_map_side_limit);
    EXPECT_TRUE(Take(water, "GeographyMap sea\\map.bmp"));
    EXPECT_EQ(water.GetGeography().GetData()[1], 255);
}

TEST_F(Water, CulledIntoTheSecondPass)
{
    water_c water("Sea", &renderer);
    water.SetExtent(100.0f);
    water.UpdateTransform(nullptr);
    test_camera_c eye(renderer, vec3_c(0.0f, 10.0f, -80.0f));
    object_list_t pass0, pass1;
    EXPECT_FALSE(water.Cull(pass0, pass1, nullptr, &eye, 0, 0)); // no geography, no surface
    water.SetGeographyMap(Grey(2, {1, 1, 1, 1}));
    EXPECT_TRUE(water.Cull(pass0, pass1, nullptr, &eye, 0, 0));
    EXPECT_TRUE(pass0.empty());
    ASSERT_EQ(pass1.size(), 1u);
    water.Animate(2.5f);
    renderer.ClearCalls();
    water.Render(1);
    ASSERT_EQ(renderer.CountCalls("DrawWater"), 1u);
    EXPECT_EQ(renderer.FindCall("DrawWater")->numbers[0], 2.5);
}

TEST_F(Water, RaysHitWaterPixelsOnly)
{
    water_c water("Sea", &renderer);
    water.SetExtent(20.0f);
    water.SetWaveAmplitude(0, 1.0f);
    water.position = vec3_c(0.0f, 3.0f, 0.0f);
    water.UpdateTransform(nullptr);
    f32 fraction = 0.0f;
    vec3_c normal;
    const ray_c wet(vec3_c(5.0f, 13.0f, 5.0f), vec3_c(0.0f, -20.0f, 0.0f));  // pixel (0, 1)
    const ray_c dry(vec3_c(-5.0f, 13.0f, 5.0f), vec3_c(0.0f, -20.0f, 0.0f)); // pixel (0, 0)
    EXPECT_FALSE(water.RayTest(fraction, normal, wet, true, true, FLT_MAX)); // no geography
    ASSERT_TRUE(water.RayTest(fraction, normal, dry, true, false, FLT_MAX)); // the box still
    EXPECT_NEAR(fraction, 9.0f / 20.0f, 1e-6f);
    EXPECT_EQ(normal, vec3_c(0.0f, 1.0f, 0.0f));
    water.SetGeographyMap(Grey(2, {0, 9, 9, 0}));
    ASSERT_TRUE(water.RayTest(fraction, normal, wet, true, true, FLT_MAX));
    EXPECT_NEAR(fraction, 0.5f, 1e-6f);
    EXPECT_FALSE(water.RayTest(fraction, normal, dry, true, true, FLT_MAX));
    // The bounding sphere lies beyond the reach.
    EXPECT_FALSE(water.RayTest(fraction, normal, ray_c(vec3_c(5, 103, 5), vec3_c(0, -200, 0)), true, true, 50.0f));
    // A square of no size holds no water, whatever its map.
    water.SetExtent(0.0f);
    EXPECT_FALSE(water.RayTest(fraction, normal, ray_c(vec3_c(0, 13, 0), vec3_c(0, -20, 0)), true, true, FLT_MAX));
}

TEST_F(Water, KeywordsAndCausticList)
{
    water_c water("Sea", &renderer);
    const char* lines[] = {"Extent 64",
                           "Border 0.2",
                           "WaveAmplitude 1 2 3",
                           "WaveLength 4 5 6",
                           "WaveVelocity {1 0 0} {0 0 1} {1 0 1}",
                           "ReflectionMap sea\\sky.bmp",
                           "CausticMapList sea\\caustics.txt FPS=12 BIDI=1",
                           "CausticScale 0.5",
                           "CausticIntensity 0.75"};
    for (const char* line : lines)
        EXPECT_TRUE(Take(water, line)) << line;
    EXPECT_FALSE(Take(water, "Fix"));
    EXPECT_EQ(water.GetExtent(), 64.0f);
    EXPECT_FLOAT_EQ(water.GetBorder(), 0.2f);
    EXPECT_EQ(water.waveLengths[2], 6.0f);
    EXPECT_EQ(water.GetWaveVelocity(2), vec3_c(1, 0, 1));
    EXPECT_NE(water.GetReflectionMap(), nullptr);
    ASSERT_NE(water.GetCausticMap(), nullptr);
    EXPECT_EQ(water.GetCausticMap()->GetFrameCount(), 2u);
    EXPECT_EQ(water.causticIntensity, 0.75f);
    EXPECT_TRUE(Take(water, "CausticMapList sea\\blank.txt"));
    EXPECT_EQ(water.GetCausticMap(), nullptr);
    std::vector<string_c> list;
    ReadStringList("sea\\caustics.txt", list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_STREQ(list[0].GetData(), "sea\\c1.bmp");
    EXPECT_STREQ(list[1].GetData(), "sea\\c2.bmp");
}

TEST_F(Water, WriteThenReadKeepsEverything)
{
    water_c water("Lake", &renderer);
    water.SetExtent(40.0f);
    water.SetBorder(0.1f);
    water.SetGeographyMap(Grey(4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0}));
    for (u32 i = 0; i < 3; ++i) {
        water.SetWaveAmplitude(i, 0.5f * (i + 1));
        water.SetWaveLength(i, 10.0f + i);
        water.SetWaveVelocity(i, vec3_c(1.0f * i, 0.0f, 2.0f));
    }
    water.SetReflectionMap("sea\\sky.bmp");
    water.SetCausticMapSequence({"sea\\c1.bmp", "sea\\c2.bmp"}, 15.0f, true);
    water.SetCausticScale(3.0f);
    water.SetCausticIntensity(0.5f);
    const std::vector<u8> bytes = Written(water);
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<water_c> copy(water_c::Read(in, &renderer));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetName(), "Lake");
    EXPECT_EQ(copy->GetExtent(), 40.0f);
    EXPECT_FLOAT_EQ(copy->GetBorder(), 0.1f);
    EXPECT_EQ(copy->waveLengths[2], 12.0f);
    EXPECT_EQ(copy->GetWaveVelocity(2), vec3_c(2, 0, 2));
    EXPECT_EQ(copy->causticScale, 3.0f);
    EXPECT_EQ(copy->GetFlags(), 23u);
    ASSERT_EQ(copy->GetGeography().GetWidth(), 4);
    EXPECT_EQ(copy->GetGeography().GetFormat(), format_l8);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(copy->GetGeography().GetData()[(i / 4) * copy->GetGeography().GetPitch() + i % 4],
                  water.GetGeography().GetData()[(i / 4) * water.GetGeography().GetPitch() + i % 4]);
    ASSERT_NE(copy->GetMesh(), nullptr);
    EXPECT_EQ(copy->GetMesh()->GetDefinition().GetVertexCount(), water.GetMesh()->GetDefinition().GetVertexCount());
    EXPECT_NE(copy->GetReflectionMap(), nullptr);
    ASSERT_NE(copy->GetCausticMap(), nullptr);
    EXPECT_EQ(copy->GetCausticMap()->GetFrameCount(), 2u);
    EXPECT_EQ(Written(*copy), bytes);
    std::unique_ptr<null_object_c> clone(copy->Clone());
    EXPECT_EQ(Written(*clone), bytes);
    input_file_c again(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<null_object_c> loaded(LoadObject(again, &renderer, false));
    EXPECT_NE(dynamic_cast<water_c*>(loaded.get()), nullptr);
}

TEST_F(Water, OtherVersionIsSkipped)
{
    output_file_c body, out;
    WriteChunk(out, MakeTag("WATR"), 7, body);
    const std::vector<u8> bytes = Bytes(out);
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    EXPECT_EQ(water_c::Read(in, &renderer), nullptr);
    EXPECT_EQ(in.GetPosition(), bytes.size());
}
