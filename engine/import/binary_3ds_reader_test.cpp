#include "engine/import/binary_3ds_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "engine/camera.h"
#include "engine/import/testing/chunk_3ds_writer.h"
#include "engine/light.h"
#include "engine/primitive_set.h"
#include "engine/scene.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/file_error.h"

namespace {

struct loaded_3ds_c {
    explicit loaded_3ds_c(const std::vector<u8>& _bytes)
        : bytes(_bytes), file(bytes.data(), static_cast<u32>(bytes.size())), scene("s", &renderer), reader(file)
    {
        reader.Read(&scene, &renderer, meshes);
    }
    std::vector<u8> bytes;
    input_file_c file;
    recording_renderer_c renderer;
    scene_c scene;
    binary_3ds_reader_c reader;
    std::vector<mesh_3ds_c> meshes;
};

// A file with version chunks around an editor body.
std::vector<u8> File(const std::function<void(chunk_3ds_writer_c&)>& _editor, u32 _version = 3)
{
    chunk_3ds_writer_c w;
    w.Begin(0x4D4D);
    w.Begin(0x0002);
    w.U16(_version);
    w.End();
    w.Begin(0x3D3D);
    w.Begin(0x3D3E);
    w.U16(3);
    w.End();
    _editor(w);
    w.End();
    w.End();
    return w.bytes;
}

void Material(chunk_3ds_writer_c& _w, const char* _name, bool _smooth, bool _withBump)
{
    _w.Begin(0xAFFF);
    _w.Begin(0xA000);
    _w.String(_name);
    _w.End();
    _w.Color(0xA020, 255, 0, 51);
    _w.Percent(0xA050, 40);
    _w.Begin(0xA081);
    _w.End();
    _w.Begin(0xA100);
    _w.U16(_smooth ? 3 : 1);
    _w.End();
    _w.Begin(0xA200);
    _w.Begin(0xA300);
    _w.String("crate.bmp");
    _w.End();
    _w.Begin(0xA358);
    _w.F32(0.5f);
    _w.End();
    _w.End();
    if (_withBump) {
        _w.Begin(0xA230);
        _w.Begin(0xA300);
        _w.String("dents.bmp");
        _w.End();
        _w.End();
    }
    _w.End();
}

// One quad as two triangles; _groups gives the smoothing group of each.
void Mesh(chunk_3ds_writer_c& _w, const char* _material, u32 _group0, u32 _group1, u32 _wrapFlags = 0)
{
    _w.Begin(0x4000);
    _w.String("Box");
    _w.Begin(0x4100);
    _w.Begin(0x4110);
    _w.U16(4);
    _w.Vec3(1, 2, 3);
    _w.Vec3(2, 2, 3);
    _w.Vec3(2, 3, 3);
    _w.Vec3(1, 3, 4);
    _w.End();
    _w.Begin(0x4140);
    _w.U16(4);
    for (const f32 u : {0.95f, 0.05f, 0.9f, 0.25f}) {
        _w.F32(u);
        _w.F32(0.25f);
    }
    _w.End();
    _w.Begin(0x4120);
    _w.U16(2);
    for (const u32 f : {0u, 1u}) {
        _w.U16(f == 0 ? 0 : 0);
        _w.U16(f == 0 ? 1 : 2);
        _w.U16(f == 0 ? 2 : 3);
        _w.U16(f == 0 ? _wrapFlags : 0);
    }
    if (_material) {
        _w.Begin(0x4130);
        _w.String(_material);
        _w.U16(1);
        _w.U16(0);
        _w.End();
    }
    _w.Begin(0x4150);
    _w.U32(_group0);
    _w.U32(_group1);
    _w.End();
    _w.End();
    _w.End();
    _w.End();
}

} // namespace

TEST(Binary3dsReader, RecognisesTheMainChunk)
{
    const std::vector<u8> yes = {0x4D, 0x4D, 6, 0, 0, 0};
    const std::vector<u8> shortFile = {0x4D, 0x4D, 6, 0, 0};
    const std::vector<u8> no = {0x4D, 0x4C, 6, 0, 0, 0};
    EXPECT_TRUE(Is3dsFile(input_file_c(yes.data(), 6)));
    EXPECT_FALSE(Is3dsFile(input_file_c(shortFile.data(), 5)));
    EXPECT_FALSE(Is3dsFile(input_file_c(no.data(), 6)));
}

TEST(Binary3dsReader, TexturedMeshWithMaterialsSmoothingAndSeam)
{
    loaded_3ds_c l(File([](chunk_3ds_writer_c& w) {
        Material(w, "Crate", true, true);
        Mesh(w, "crate", 1, 1, 8);
    }));
    ASSERT_EQ(l.meshes.size(), 1u);
    const geometry_def_c& def = *l.meshes[0].geometry;
    EXPECT_STREQ(def.name, "Box");
    EXPECT_EQ(def.format.texCoordSetCount, 1u);
    EXPECT_EQ(def.weld, 1);
    // Face 0 uses "Crate"; face 1 the "Default" material made for it.
    ASSERT_EQ(l.reader.GetMaterials().size(), 2u);
    ASSERT_EQ(def.primitiveSets.size(), 2u);
    EXPECT_EQ(l.meshes[0].materials[0], 0u);
    EXPECT_EQ(l.meshes[0].materials[1], 1u);

    const material_3ds_c& crate = l.reader.GetMaterials()[0];
    EXPECT_EQ(crate.values.color.x, 1.0f);
    EXPECT_FLOAT_EQ(crate.values.color.z, 0.2f);
    EXPECT_FLOAT_EQ(crate.values.transparency, 0.4f);
    EXPECT_EQ(crate.values.flags, u32(surface_double_sided | surface_smooth));
    EXPECT_STREQ(crate.values.colorMap[0].still, "crate.bmp");
    EXPECT_TRUE(crate.hasColorTransform);
    EXPECT_STREQ(crate.values.bumpMap, "dents.bmp");
    EXPECT_FLOAT_EQ(crate.values.bump, -0.3f);
    EXPECT_FALSE(crate.hasBumpTransform);
    const material_3ds_c& fallback = l.reader.GetMaterials()[1];
    EXPECT_STREQ(fallback.name, "Default");
    EXPECT_FLOAT_EQ(fallback.values.color.y, 178.0f / 255.0f);

    // Face (0, 1, 2) is stored as (2, 1, 0); (1, 2, 3) becomes (1, 3, 2).
    const auto& vertices = def.primitiveSets[0]->vertices;
    ASSERT_EQ(vertices.size(), 3u);
    EXPECT_EQ(vertices[0].position.x, 2.0f);
    EXPECT_EQ(vertices[0].position.y, 3.0f);
    EXPECT_EQ(vertices[0].position.z, 3.0f);
    EXPECT_EQ(vertices[2].position.y, 3.0f);
    EXPECT_EQ(vertices[2].position.z, 2.0f);
    EXPECT_EQ(vertices[0].texCoords[0][1], 0.75f);
    // The U seam: u values 0.9, 0.05, 0.95 in stored order; corner 1 against
    // 0.9 gives 1.05, corner 2 against 1.05 stays, corner 0 against 0.95 stays.
    EXPECT_FLOAT_EQ(vertices[0].texCoords[0][0], 0.9f);
    EXPECT_FLOAT_EQ(vertices[1].texCoords[0][0], 1.05f);
    EXPECT_FLOAT_EQ(vertices[2].texCoords[0][0], 0.95f);
    // Point 1 lies on face 0 only and keeps its face normal; point 2, shared
    // with face 1 of the same smoothing group, takes the mean of both.
    EXPECT_NEAR(vertices[1].normal.y, 1.0f, 1e-6);
    EXPECT_LT(vertices[0].normal.y, 0.999f);
}

TEST(Binary3dsReader, SmoothingGroupsCompareAsNumbers)
{
    for (const u32 second : {1u, 3u}) {
        loaded_3ds_c l(File([&](chunk_3ds_writer_c& w) {
            Material(w, "Crate", true, false);
            Mesh(w, nullptr, 1, second);
        }));
        // Every face falls back on the smooth "Default" material.
        const auto& vertices = l.meshes[0].geometry->primitiveSets[0]->vertices;
        const vec3_c& shared = vertices[0].normal; // point 2 of face 0
        const vec3_c& face = vertices[1].normal;   // point 1, on face 0 only
        const bool blended = std::fabs(shared.x - face.x) > 1e-4f || std::fabs(shared.y - face.y) > 1e-4f;
        EXPECT_EQ(blended, second == 1) << second;
    }
}

TEST(Binary3dsReader, LightAndCamera)
{
    loaded_3ds_c l(File([](chunk_3ds_writer_c& w) {
        w.Color(0x2100, 51, 51, 51);
        w.Color(0x1200, 0, 0, 255);
        w.Begin(0x1201);
        w.End();
        w.Begin(0x4000);
        w.String("Spot");
        w.Begin(0x4600);
        w.Vec3(0, 0, 10);
        w.Begin(0x0010);
        w.Vec3(1, 0.5f, 0);
        w.End();
        w.Begin(0x4610);
        w.Vec3(0, 0, 0);
        w.F32(20);
        w.F32(30);
        w.End();
        w.Begin(0x465B);
        w.F32(2);
        w.End();
        w.End();
        w.End();
        w.Begin(0x4000);
        w.String("Cam");
        w.Begin(0x4700);
        w.Vec3(0, -10, 0);
        w.Vec3(0, 0, 0);
        w.F32(0);
        w.F32(50);
        w.End();
        w.End();
    }));
    EXPECT_FLOAT_EQ(l.scene.ambientColor.x, 0.2f);
    EXPECT_EQ(l.scene.backdropColor.z, 1.0f);
    ASSERT_EQ(l.scene.GetLights().GetCount(), 1u);
    const light_c* spot = l.scene.GetLights().GetFirst();
    EXPECT_STREQ(spot->GetName(), "Spot");
    EXPECT_EQ(spot->position.y, 10.0f);
    EXPECT_EQ(spot->color.y, 0.5f);
    EXPECT_EQ(spot->intensity, 2.0f);
    EXPECT_FLOAT_EQ(spot->coneAngle, 30.0f * 0.017453292519943295f);
    EXPECT_FLOAT_EQ(spot->edgeAngle, 10.0f * 0.017453292519943295f);
    ASSERT_EQ(l.scene.GetCameras().GetCount(), 1u);
    camera_c* camera = l.scene.GetCameras().GetFirst();
    EXPECT_EQ(l.scene.GetActiveCamera(), camera);
    EXPECT_EQ(camera->position.z, -10.0f);
    // A 50 mm lens: 48 degrees.
    camera_c expected("e");
    expected.SetFieldOfView(0.8377580f);
    EXPECT_FLOAT_EQ(camera->zoom, expected.zoom);
}

TEST(Binary3dsReader, Errors)
{
    struct case_c {
        std::function<void(chunk_3ds_writer_c&)> editor;
        const char* message;
        u32 version = 3;
    };
    const case_c cases[] = {
        {[](chunk_3ds_writer_c&) {}, "Invalid file version!", 2},
        {[](chunk_3ds_writer_c& w) { Mesh(w, "Nothing", 0, 0); }, "Material does not exist!"},
        {[](chunk_3ds_writer_c& w) {
             Material(w, "M", false, false);
             w.Begin(0x4000);
             w.String("Box");
             w.Begin(0x4100);
             w.Begin(0x4110);
             w.U16(1);
             w.Vec3(0, 0, 0);
             w.End();
             w.Begin(0x4120);
             w.U16(1);
             w.U16(0);
             w.U16(0);
             w.U16(5);
             w.U16(0);
             w.Begin(0x4130);
             w.String("M");
             w.U16(1);
             w.U16(7);
             w.End();
             w.End();
             w.End();
             w.End();
         },
         "Face does not exist!"},
        {[](chunk_3ds_writer_c& w) {
             w.Begin(0x4000);
             w.String("Box");
             w.Begin(0x4100);
             w.Begin(0x4110);
             w.U16(1);
             w.Vec3(0, 0, 0);
             w.End();
             w.Begin(0x4120);
             w.U16(1);
             w.U16(0);
             w.U16(0);
             w.U16(5);
             w.U16(0);
             w.End();
             w.End();
             w.End();
         },
         "Point does not exist!"},
        {[](chunk_3ds_writer_c& w) {
             w.Begin(0x4000);
             w.String("Box");
             w.Begin(0x4100);
             w.Begin(0x4110);
             w.U16(1000);
             w.End();
             w.End();
             w.End();
         },
         "Unexpected end of file!"},
        {[](chunk_3ds_writer_c& w) {
             w.Begin(0x4000);
             w.Raw("unterminated", 12);
             w.End();
         },
         "Unexpected end of file!"},
    };
    for (const case_c& c : cases) {
        try {
            loaded_3ds_c l(File(c.editor, c.version));
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const file_error_c& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    // A chunk longer than its parent.
    std::vector<u8> bytes = File([](chunk_3ds_writer_c& w) { Material(w, "M", false, false); });
    bytes[2] = 0xFF;
    bytes[3] = 0xFF;
    try {
        loaded_3ds_c l(bytes);
        ADD_FAILURE();
    } catch (const file_error_c& e) {
        EXPECT_STREQ(e.what(), "Unexpected end of file!");
    }
}

TEST(Binary3dsReader, FileWithoutMainChunkGivesAnEmptyScene)
{
    chunk_3ds_writer_c w;
    w.Begin(0x1234);
    w.U16(1);
    w.End();
    loaded_3ds_c l(w.bytes);
    EXPECT_TRUE(l.meshes.empty());
    EXPECT_EQ(l.scene.GetObjects().GetCount(), 0u);
}
