#include "engine/import/object_importers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "engine/geom_object.h"
#include "engine/import/testing/iff_writer.h"
#include "engine/material.h"
#include "engine/mesh.h"
#include "engine/testing/memory_file_system.h"
#include "engine/testing/recording_renderer.h"
#include "foundation/file_error.h"
#include "foundation/memory_file.h"

namespace {

// A triangle and a line on surface "Hull", a point on surface "Lamp".
std::vector<u8> Object(const char* _type)
{
    const bool lwo2 = std::strcmp(_type, "LWO2") == 0;
    iff_writer_c w;
    w.BeginForm(_type);
    if (lwo2) {
        w.Begin("TAGS", 4);
        w.String("Hull");
        w.String("Lamp");
        w.End();
        w.Begin("LAYR", 4);
        w.U16(0);
        w.U16(0);
        w.Vec3(0, 1, 0);
        w.String("Body");
        w.End();
    } else {
        w.Begin("SRFS", 4);
        w.String("Hull");
        w.String("Lamp");
        w.End();
    }
    w.Begin("PNTS", 4);
    w.Vec3(0, 0, 0);
    w.Vec3(1, 0, 0);
    w.Vec3(0, 1, 0);
    w.End();
    w.Begin("POLS", 4);
    if (lwo2)
        w.Id("FACE");
    const u32 polygons[3][4] = {{3, 0, 1, 2}, {2, 0, 1, 0}, {1, 2, 0, 0}};
    for (u32 p = 0; p < 3; ++p) {
        w.U16(polygons[p][0]);
        for (u32 k = 0; k < polygons[p][0]; ++k)
            w.U16(polygons[p][k + 1]);
        if (!lwo2)
            w.U16(p == 2 ? 2 : 1);
    }
    w.End();
    if (lwo2) {
        w.Begin("PTAG", 4);
        w.Id("SURF");
        for (u32 p = 0; p < 3; ++p) {
            w.U16(p);
            w.U16(p == 2 ? 1 : 0);
        }
        w.End();
        w.Begin("VMAP", 4);
        w.Id("WGHT");
        w.U16(1);
        w.String("Spine");
        w.U16(0);
        w.F32(1.0f);
        w.End();
    }
    w.Begin("SURF", 4);
    w.String("Hull");
    if (lwo2) {
        w.String("");
        w.Begin("COLR", 2);
        w.Vec3(1.0f, 0.0f, 0.0f);
        w.U16(0);
        w.End();
        w.Begin("CMNT", 2);
        w.String("AlphaBlending 1\nNoSuchKeyword 1");
        w.End();
    } else {
        w.Begin("COLR", 2);
        w.Raw("\xff\0\0\0", 4);
        w.End();
    }
    w.Begin(lwo2 ? "SMAN" : "FLAG", 2);
    if (lwo2)
        w.F32(1.0f);
    else
        w.U16(4);
    w.End();
    w.End();
    w.End();
    return w.bytes;
}

class ObjectImporters : public ::testing::Test {
protected:
    void SetUp() override { RegisterObjectImporters(); }
    void TearDown() override
    {
        RegisterGeomLayerReader(geom_reader_lwo2, nullptr, nullptr);
        RegisterGeomLayerReader(geom_reader_lwob, nullptr, nullptr);
        RegisterMaterialReader(nullptr);
    }
    memory_file_system_c files;
    recording_renderer_c renderer;
};

} // namespace

TEST_F(ObjectImporters, BothKindsLoadAsMeshObjects)
{
    for (const char* type : {"LWO2", "LWOB"}) {
        files.Add("models\\plane.lwo", Object(type));
        std::unique_ptr<geom_object_c> object(LoadGeomObject("models\\plane.lwo", &renderer, 0));
        ASSERT_NE(object, nullptr) << type;
        // The line and the triangle of "Hull", the point of "Lamp".
        ASSERT_EQ(object->GetMaterials().GetCount(), 3u) << type;
        const material_c* lines = object->GetMaterials().GetFirst();
        const material_c* triangles = lines->GetNext();
        const material_c* points = triangles->GetNext();
        EXPECT_EQ(lines->color.x, 1.0f) << type;
        EXPECT_TRUE(lines->flags & material_double_sided) << type;
        EXPECT_TRUE(triangles->flags & material_smooth) << type;
        EXPECT_FALSE(points->flags & material_smooth) << type;
        EXPECT_TRUE(points->flags & material_double_sided) << type;
        ASSERT_GE(object->GetMeshes().GetCount(), 1u) << type;
        EXPECT_STREQ(object->GetMeshes().GetFirst()->name, "(Base)") << type;
        if (std::strcmp(type, "LWO2") == 0) {
            EXPECT_EQ(object->pivot.y, 1.0f);
            EXPECT_TRUE(triangles->flags & material_alpha_blending);
            EXPECT_NE(std::strstr(renderer.GetWarningLog(), "[NoSuchKeyword 1] Unknown command!"), nullptr);
            EXPECT_STREQ(ReadObjectLayerName("models\\plane.lwo", 0), "Body");
        }
    }
}

TEST_F(ObjectImporters, LayerWithoutPolygonsLoadsWithoutAMesh)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    w.Begin("PNTS", 4);
    w.Vec3(0, 0, 0);
    w.End();
    w.End();
    files.Add("empty.lwo", w.bytes);
    std::unique_ptr<geom_object_c> object(LoadGeomObject("empty.lwo", &renderer, 0));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->GetMeshes().GetCount(), 0u);
    EXPECT_NE(std::strstr(renderer.GetWarningLog(), "empty.lwo] List of polygons not found!"), nullptr)
        << renderer.GetWarningLog();
}

// A read that fails part-way has already shown the warnings before the fault.
TEST_F(ObjectImporters, WarningsBeforeAFaultAreLogged)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    w.Begin("CLIP", 4);
    w.U32(4);
    w.End();
    w.Begin("LAYR", 4);
    w.U16(1);
    w.End();
    w.End();
    files.Add("broken.lwo", w.bytes);
    try {
        std::unique_ptr<geom_object_c> object(LoadGeomObject("broken.lwo", &renderer, 0));
        FAIL();
    } catch (const file_error_c& e) {
        EXPECT_STREQ(e.what(), "Unexpected end of file!");
    }
    EXPECT_NE(std::strstr(renderer.GetWarningLog(), "broken.lwo] Unsupported image definition!"), nullptr)
        << renderer.GetWarningLog();
}

TEST_F(ObjectImporters, TruncatedLwo2FileIsCutShortNotUnknown)
{
    std::vector<u8> bytes = Object("LWO2");
    bytes.resize(bytes.size() / 2);
    files.Add("cut.lwo", bytes);
    for (int pass = 0; pass < 2; ++pass) {
        try {
            if (pass == 0)
                std::unique_ptr<geom_object_c> object(LoadGeomObject("cut.lwo", &renderer, 0));
            else
                ReadObjectLayerName("cut.lwo", 0);
            FAIL() << pass;
        } catch (const file_error_c& e) {
            EXPECT_STREQ(e.what(), "Unexpected end of file!") << pass;
        }
    }
}

TEST_F(ObjectImporters, SurfaceFileAsMaterial)
{
    const std::vector<u8> bytes = Object("LWOB");
    input_file_c file(bytes.data(), static_cast<u32>(bytes.size()));
    std::unique_ptr<material_c> material(material_c::Read(file, &renderer));
    ASSERT_NE(material, nullptr);
    EXPECT_STREQ(material->name, "Hull");
    EXPECT_EQ(material->color.x, 1.0f);
    EXPECT_TRUE(material->flags & material_smooth);
}
