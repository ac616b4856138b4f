#include "engine/material.h"

#include "engine/object_chunk.h"
#include "engine/still_map.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/command.h"
#include "foundation/memory_file.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::unique_ptr<map_c> FlareMap(texture_cache_c* cache, i32 side)
{
    texture_def_c def(flare_def_c(), side);
    def.mipmapping = false;
    return std::make_unique<still_map_c>(def, cache);
}

std::vector<u8> Written(const material_c& material)
{
    output_file_c out;
    material.Write(out);
    return std::vector<u8>(out.GetData(), out.GetData() + out.GetSize());
}

// The tags of the sub-objects after the fixed part of a "MTRL" body.
std::vector<u32> RecordTags(const std::vector<u8>& bytes)
{
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    input_file_c body;
    EXPECT_TRUE(ReadChunk(in, MakeTag("MTRL"), 6, body));
    string_c name;
    body.ReadString(name);
    u32 word;
    body.ReadU32(word); // no envelopes
    for (int i = 0; i < 16; ++i)
        body.ReadU32(word);
    std::vector<u32> tags;
    while (!body.IsAtEnd()) {
        u32 tag;
        body.ReadU32(tag);
        input_file_c block;
        body.ReadBlock(block);
        tags.push_back(tag);
    }
    return tags;
}

material_c* ReadFirst(input_file_c& file, renderer_c*)
{
    const u8* data = file.GetPointer();
    if (!data || file.GetSize() < 4 || std::memcmp(data, "LWOB", 4) != 0)
        return nullptr;
    file.Seek(0, 2);
    return new material_c("(Unnamed)", nullptr);
}

} // namespace

TEST(MaterialTest, OpacityRules)
{
    material_c material("m", nullptr);
    EXPECT_EQ(material.flags, 16u);
    EXPECT_TRUE(material.IsOpaque());
    material.transparency = 0.5f;
    EXPECT_FALSE(material.IsOpaque());
    material.transparency = 0.0f;
    material.flags |= material_additive;
    EXPECT_FALSE(material.IsOpaque());
    material.flags = material_lighting;
    material.SetAlphaBlending(true);
    EXPECT_FALSE(material.IsOpaque());
    material.SetAlphaBlending(false);
    EXPECT_TRUE(material.IsOpaque());
}

TEST(MaterialTest, Keywords)
{
    material_c material("m", nullptr);
    EXPECT_TRUE(material.SetParameter(command_c("pointsize 2")));
    EXPECT_FLOAT_EQ(material.pointSize, 2);
    EXPECT_TRUE(material.SetParameter(command_c("Lighting 0")));
    EXPECT_EQ(material.flags & material_lighting, 0u);
    EXPECT_TRUE(material.SetParameter(command_c("PointScale 1")));
    EXPECT_NE(material.flags & material_point_scale, 0u);
    EXPECT_TRUE(material.SetParameter(command_c("AlphaBlending 1")));
    EXPECT_FALSE(material.IsOpaque());
    EXPECT_TRUE(material.SetParameter(command_c("alphathreshold 0.5")));
    EXPECT_FLOAT_EQ(material.alphaThreshold, 0.5f);
    const u32 before = material.flags;
    EXPECT_FALSE(material.SetParameter(command_c("Shininess 3")));
    EXPECT_FALSE(material.SetParameter(command_c("")));
    EXPECT_EQ(material.flags, before);
    EXPECT_THROW(material.SetParameter(command_c("PointSize")), command_error_c);
}

TEST(MaterialTest, ChannelIndices)
{
    material_c material("m", nullptr);
    EXPECT_EQ(material.GetEnvelopeTarget(3), &material.color.x);
    EXPECT_EQ(material.GetEnvelopeTarget(7), &material.diffuse);
    EXPECT_EQ(material.GetEnvelopeTarget(13), &material.transparency);
    EXPECT_EQ(material.GetEnvelopeTarget(17), &material.alphaThreshold);
    EXPECT_EQ(material.GetEnvelopeTarget(18), nullptr);
}

TEST(MaterialTest, OnlyPresentMapsAreWritten)
{
    recording_renderer_c renderer;
    material_c material("m", &renderer);
    material.SetColorMap(1, FlareMap(&renderer, 4));
    EXPECT_EQ(RecordTags(Written(material)), (std::vector<u32>{MakeTag("col1")}));
    material.SetColorMap(0, FlareMap(&renderer, 4));
    material.SetBumpMap(FlareMap(&renderer, 8));
    material.SetReflectionMap(FlareMap(&renderer, 16));
    EXPECT_EQ(RecordTags(Written(material)),
              (std::vector<u32>{MakeTag("col0"), MakeTag("col1"), MakeTag("refl"), MakeTag("bump")}));
    material.SetColorMap(5, FlareMap(&renderer, 4));
    material.SetColorMap(0, static_cast<const char*>(nullptr));
    EXPECT_EQ(material.GetColorMap(0), nullptr);
}

TEST(MaterialTest, WriteThenReadGivesTheSameMaterial)
{
    recording_renderer_c renderer;
    material_c material("hull", &renderer);
    material.color = vec3_c(0.5f, 0.25f, 1);
    material.specularLevel = 0.75f;
    material.transparency = 0.125f;
    material.flags |= material_double_sided | material_glow;
    material.SetColorMap(0, FlareMap(&renderer, 4));
    material.SetReflectionMap(FlareMap(&renderer, 8));
    envelope_c fade;
    fade.keys.resize(2);
    fade.keys[1].time = 1;
    fade.keys[1].value = 1;
    material.AddEnvelope(fade, &material.transparency);
    const std::vector<u8> bytes = Written(material);
    input_file_c in(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<material_c> read(material_c::Read(in, &renderer));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Written(*read), bytes);
    EXPECT_EQ(read->name, "hull");
    EXPECT_EQ(read->GetEnvelopeCount(), 1u);
    EXPECT_NE(read->GetReflectionMap(), nullptr);
}

TEST(MaterialTest, RepeatedMapRecordKeepsTheLast)
{
    recording_renderer_c renderer;
    output_file_c body;
    body.WriteString("m", 1);
    body.WriteU32(0);
    for (int i = 0; i < 15; ++i)
        body.WriteF32(0);
    body.WriteU32(16);
    for (i32 side : {4, 8}) {
        output_file_c block;
        FlareMap(&renderer, side)->Write(block);
        body.WriteU32(MakeTag("col0"));
        body.WriteBlock(block);
    }
    output_file_c file;
    WriteChunk(file, MakeTag("MTRL"), 6, body);
    input_file_c in(file.GetData(), file.GetSize());
    std::unique_ptr<material_c> read(material_c::Read(in, &renderer));
    ASSERT_NE(read, nullptr);
    ASSERT_NE(read->GetColorMap(0), nullptr);
    EXPECT_EQ(read->GetColorMap(0)->GetTexture(0)->definition.width, 8);

    output_file_c old;
    WriteChunk(old, MakeTag("MTRL"), 5, body);
    input_file_c old_in(old.GetData(), old.GetSize());
    EXPECT_EQ(material_c::Read(old_in, &renderer), nullptr);
    EXPECT_TRUE(old_in.IsAtEnd());
}

TEST(MaterialTest, CopiesHaveTheirOwnMapsOnSharedTextures)
{
    recording_renderer_c renderer;
    material_c material("m", &renderer);
    material.SetColorMap(0, FlareMap(&renderer, 4));
    texture_c* texture = material.GetColorMap(0)->GetTexture(0);
    const u32 uses = texture->useCount;
    {
        material_c copy(material);
        EXPECT_NE(copy.GetColorMap(0), material.GetColorMap(0));
        EXPECT_EQ(copy.GetColorMap(0)->GetTexture(0), texture);
        EXPECT_EQ(texture->useCount, uses + 1);
    }
    EXPECT_EQ(texture->useCount, uses);
}

TEST(MaterialTest, InstalledReaderComesFirst)
{
    const char bytes[] = "LWOB....";
    RegisterMaterialReader(ReadFirst);
    input_file_c in(bytes, 8);
    std::unique_ptr<material_c> read(material_c::Read(in, nullptr));
    RegisterMaterialReader(nullptr);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->name, "(Unnamed)");
    input_file_c again(bytes, 8);
    EXPECT_EQ(material_c::Read(again, nullptr), nullptr);
}
