// Bodies of stored objects that end early load with what they hold; the
// members they lack keep their defaults.
#include "engine/bone.h"
#include "engine/flare.h"
#include "engine/geom_object.h"
#include "engine/mesh.h"
#include "engine/primitive_set.h"
#include "engine/terrain.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/memory_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// The written chunk (tag, version, block) with its body's last _drop bytes
// cut off and the block length to match.
template <class T>
std::vector<u8> Shortened(const T& _object, u32 _drop)
{
    output_file_c out;
    _object.Write(out);
    std::vector<u8> bytes(out.GetData(), out.GetData() + out.GetSize());
    u32 length = 0;
    std::memcpy(&length, bytes.data() + 8, 4);
    EXPECT_GE(length, _drop);
    length -= _drop;
    std::memcpy(bytes.data() + 8, &length, 4);
    bytes.resize(12 + size_t(length));
    return bytes;
}

geometry_def_c Triangle()
{
    geometry_def_c def("tri");
    def.format.hasPosition = 1;
    primitive_set_c* set = def.AddPrimitiveSet(new triangle_set_c);
    set->vertices.resize(3);
    set->vertices[1].position = vec3_c(1, 0, 0);
    set->vertices[2].position = vec3_c(0, 1, 0);
    set->indices = {0, 1, 2};
    return def;
}

} // namespace

TEST(ShortBodyTest, FlareKeepsTheDefaultsOfTheValuesItLacks)
{
    recording_renderer_c renderer;
    flare_c flare("sun", &renderer);
    flare.SetIntensity(0.5f);
    flare.SetNominalDistance(7.0f);
    flare.SetDistortionFactor(3.0f);
    flare.SetAxisPosition(0.25f);
    const std::vector<u8> bytes = Shortened(flare, 8);
    input_file_c in(bytes.data(), u32(bytes.size()));
    std::unique_ptr<flare_c> read(flare_c::Read(in, &renderer));
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(read->GetName(), "sun");
    EXPECT_EQ(read->GetIntensity(), 0.5f);
    EXPECT_EQ(read->GetNominalDistance(), 7.0f);
    const flare_c fresh("fresh", &renderer);
    EXPECT_EQ(read->GetDistortionFactor(), fresh.GetDistortionFactor());
    EXPECT_EQ(read->GetAxisPosition(), fresh.GetAxisPosition());
}

TEST(ShortBodyTest, BoneKeepsTheDefaultsOfTheValuesItLacks)
{
    bone_c bone("arm");
    bone.restPosition = vec3_c(1, 2, 3);
    bone.restLength = 4.0f;
    bone.weightMapName = "Arm"; // u32 length, three bytes and a NUL
    const std::vector<u8> bytes = Shortened(bone, 8 + 4);
    input_file_c in(bytes.data(), u32(bytes.size()));
    std::unique_ptr<bone_c> read(bone_c::Read(in));
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(read->GetName(), "arm");
    EXPECT_EQ(read->restPosition.z, 3.0f);
    EXPECT_EQ(read->restLength, 0.0f);
    EXPECT_STREQ(read->weightMapName, "");
}

TEST(ShortBodyTest, MeshKeepsTheDefaultsOfTheValuesItLacks)
{
    recording_renderer_c renderer;
    mesh_c mesh("hull", Triangle(), &renderer);
    mesh.firstValue = 5.0f;
    mesh.lodDistance = 100.0f;
    const std::vector<u8> bytes = Shortened(mesh, 4);
    input_file_c in(bytes.data(), u32(bytes.size()));
    std::unique_ptr<mesh_c> read(mesh_c::Read(in, &renderer));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->firstValue, 5.0f);
    EXPECT_EQ(read->lodDistance, 0.0f);
}

TEST(ShortBodyTest, GeomObjectKeepsTheDefaultsOfTheValuesItLacks)
{
    recording_renderer_c renderer;
    geom_object_c object("ship", &renderer);
    object.shadowDepth = 9.0f;
    const std::vector<u8> bytes = Shortened(object, 4);
    input_file_c in(bytes.data(), u32(bytes.size()));
    std::unique_ptr<geom_object_c> read(geom_object_c::Read(in, &renderer, 0));
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(read->GetName(), "ship");
    EXPECT_EQ(read->shadowDepth, geom_object_c("fresh", &renderer).shadowDepth);
}

TEST(ShortBodyTest, TerrainKeepsTheDefaultsOfTheValuesItLacks)
{
    recording_renderer_c renderer;
    terrain_c terrain("ground", &renderer);
    terrain.words[2] = 77;
    terrain.SetAccuracy(0.5f);
    for (u32 drop : {4u, 8u}) {
        const std::vector<u8> bytes = Shortened(terrain, drop);
        input_file_c in(bytes.data(), u32(bytes.size()));
        std::unique_ptr<terrain_c> read(terrain_c::Read(in, &renderer));
        ASSERT_NE(read, nullptr) << drop;
        EXPECT_STREQ(read->GetName(), "ground");
        EXPECT_EQ(read->GetAccuracy(), 0.1f) << drop;
        EXPECT_EQ(read->words[2], drop == 4 ? 77u : 0u);
    }
}
