#include "engine/import/lwob_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "engine/import/testing/iff_writer.h"
#include "engine/primitive_set.h"
#include "foundation/file_error.h"

namespace {

// Two triangles folded along the x axis by _fold radians, a line and a
// point, all on surface 1 unless _pointSurface says otherwise.
void Geometry(iff_writer_c& _w, f32 _fold, i32 _pointSurface = 1)
{
    _w.Begin("PNTS", 4);
    _w.Vec3(0, 0, 0);
    _w.Vec3(1, 0, 0);
    _w.Vec3(0, 1, 0);
    _w.Vec3(0, std::cos(_fold), -std::sin(_fold));
    _w.End();
    _w.Begin("POLS", 4);
    const u32 triangles[2][3] = {{0, 1, 2}, {0, 1, 3}};
    for (const auto& t : triangles) {
        _w.U16(3);
        for (u32 k : t)
            _w.U16(k);
        _w.U16(1);
    }
    _w.U16(2);
    _w.U16(1);
    _w.U16(2);
    _w.U16(1);
    _w.U16(1);
    _w.U16(2);
    _w.U16(static_cast<u32>(_pointSurface));
    _w.End();
}

void Surfaces(iff_writer_c& _w)
{
    _w.Begin("SRFS", 4);
    _w.String("Hull");
    _w.String("Unused");
    _w.End();
}

struct lwob_file_c {
    explicit lwob_file_c(const std::vector<u8>& _bytes)
        : bytes(_bytes), file(bytes.data(), static_cast<u32>(bytes.size())), reader(file)
    {}
    std::vector<u8> bytes;
    input_file_c file;
    lwob_reader_c reader;
};

void ExpectError(const std::vector<u8>& _bytes, const char* _message)
{
    lwob_file_c f(_bytes);
    lwo2_layer_c object;
    try {
        f.reader.ReadObjectRecords(object);
        FAIL() << "no error for " << _message;
    } catch (const file_error_c& e) {
        EXPECT_STREQ(e.what(), _message);
        EXPECT_STREQ(e.GetFileName(), f.file.GetName());
    }
}

} // namespace

TEST(LwobReader, SmoothedSurfaceWithColourTexture)
{
    iff_writer_c w;
    w.BeginForm("LWOB");
    Surfaces(w);
    Geometry(w, 1.0f);
    w.Begin("SURF", 4);
    w.String("hull");
    w.Begin("COLR", 2);
    w.U8(255);
    w.U8(0);
    w.U8(51);
    w.U8(0);
    w.End();
    w.Begin("SMAN", 2);
    w.F32(0.5f);
    w.End();
    w.Begin("FLAG", 2);
    w.U16(4 | 8 | 256); // the flag's angle replaces the one before
    w.End();
    w.Begin("CTEX", 2);
    w.String("Planar Image Map");
    w.End();
    w.Begin("TFLG", 2);
    w.U16(2 | 32);
    w.End();
    w.Begin("TSIZ", 2);
    w.Vec3(2, 2, 2);
    w.End();
    w.Begin("TIMG", 2);
    w.String("Images:maps/wood.tga");
    w.End();
    w.Begin("RIMG", 2);
    w.String("(NONE)");
    w.End();
    w.Begin("VDIF", 2);
    w.F32(0.5f);
    w.End();
    w.Begin("LUMI", 2);
    w.U16(64);
    w.End();
    w.End();
    w.Begin("SURF", 4);
    w.String("Unused");
    w.Begin("CTEX", 2);
    w.String("Wavy Map");
    w.End();
    w.End();
    w.End();

    lwob_file_c f(w.bytes);
    EXPECT_TRUE(f.reader.IsLwob());
    lwo2_layer_c object;
    f.reader.ReadObjectRecords(object);
    ASSERT_EQ(object.surfaces.size(), 2u);
    const lwo2_surface_c& hull = object.surfaces[0];
    EXPECT_EQ(hull.counts[0], 1u);
    EXPECT_EQ(hull.counts[1], 1u);
    EXPECT_EQ(hull.counts[2], 2u);
    EXPECT_EQ(hull.values.color.x, 1.0f);
    EXPECT_FLOAT_EQ(hull.values.color.z, 0.2f);
    EXPECT_EQ(hull.values.specularColor.z, hull.values.color.z);
    EXPECT_EQ(hull.values.flags, u32(surface_smooth | surface_double_sided));
    EXPECT_FLOAT_EQ(hull.threshold, std::cos(1.5620700f));
    EXPECT_EQ(hull.values.diffuse, 0.5f);
    EXPECT_EQ(hull.values.luminosity, 0.25f);
    EXPECT_STREQ(hull.values.colorMap[0].still, "wood.tga");
    EXPECT_TRUE(hull.values.reflectionMap.IsEmpty());
    EXPECT_EQ(hull.uvLayers, 1u);
    EXPECT_EQ(hull.uvBlock[0].axis, 1u);
    EXPECT_EQ(hull.uvBlock[0].size[0], 2.0f);
    EXPECT_EQ(hull.uvFiltering[0], 1);
    EXPECT_FALSE(object.surfaces[1].read);

    // The two triangles meet at 1 radian, within the smoothing angle: the
    // shared corners take the mean of both face normals.
    const lwo2_polygon_c& t0 = object.polygons[0];
    const lwo2_polygon_c& t1 = object.polygons[1];
    EXPECT_EQ(t0.faceNormal.z, 1.0f);
    vec3_c mean;
    mean.Normalize(t0.faceNormal + t1.faceNormal);
    EXPECT_NEAR(t0.normal[0].y, mean.y, 1e-6);
    EXPECT_NEAR(t0.normal[0].z, mean.z, 1e-6);
    EXPECT_EQ(t0.normal[2].z, 1.0f); // point 2 is on one triangle only
    // The smoothed line's ends take their own positions.
    EXPECT_EQ(object.polygons[2].normal[1].y, 1.0f);

    lwo2_geometry_c geometry;
    lwob_reader_c::BuildGeometry(object, "plane", geometry);
    EXPECT_STREQ(geometry.base->name, "plane");
    EXPECT_EQ(geometry.base->format.texCoordSetCount, 1u);
    EXPECT_EQ(geometry.base->format.blendWeightCount, 0u);
    EXPECT_EQ(geometry.base->weld, 1);
    ASSERT_EQ(geometry.sets.size(), 3u);
    EXPECT_EQ(geometry.sets[0].kind, 0u);
    EXPECT_EQ(geometry.sets[1].kind, 1u);
    EXPECT_EQ(geometry.sets[2].kind, 2u);
    // Planar projection along y with size 2 fills the triangles' coordinates.
    const vertex_c& corner = geometry.base->primitiveSets[2]->vertices[1];
    EXPECT_NE(corner.texCoords[0][0], 0.0f);
}

TEST(LwobReader, Errors)
{
    struct case_c {
        const char* message;
        std::function<void(iff_writer_c&)> body;
    };
    const case_c cases[] = {
        {"List of points not found!",
         [](iff_writer_c& w) {
             Surfaces(w);
             w.Begin("PNTS", 4);
             w.Raw("01234567890", 11);
             w.End();
         }},
        {"List of polygons not found!",
         [](iff_writer_c& w) {
             w.Begin("PNTS", 4);
             w.Vec3(0, 0, 0);
             w.End();
         }},
        {"Material does not exist!", [](iff_writer_c& w) { Geometry(w, 1.0f); }},
        {"Material does not exist!",
         [](iff_writer_c& w) {
             Surfaces(w);
             Geometry(w, 1.0f, 3);
         }},
        {"Detail polygons not supported!",
         [](iff_writer_c& w) {
             Surfaces(w);
             Geometry(w, 1.0f, -1);
         }},
        {"Polygons not supported!",
         [](iff_writer_c& w) {
             Surfaces(w);
             w.Begin("POLS", 4);
             w.U16(4);
             for (u32 k = 0; k < 5; ++k)
                 w.U16(1);
             w.End();
         }},
        {"Point does not exist!",
         [](iff_writer_c& w) {
             Surfaces(w);
             w.Begin("PNTS", 4);
             w.Vec3(0, 0, 0);
             w.End();
             w.Begin("POLS", 4);
             w.U16(1);
             w.U16(1);
             w.U16(1);
             w.End();
         }},
        {"Unsupported map type!",
         [](iff_writer_c& w) {
             Surfaces(w);
             Geometry(w, 1.0f);
             w.Begin("SURF", 4);
             w.String("Hull");
             w.Begin("CTEX", 2);
             w.String("planar image map");
             w.End();
             w.End();
         }},
        {"Invalid axis!",
         [](iff_writer_c& w) {
             Surfaces(w);
             Geometry(w, 1.0f);
             w.Begin("SURF", 4);
             w.String("Hull");
             w.Begin("BTEX", 2);
             w.String("Cubic Image Map");
             w.End();
             w.Begin("TFLG", 2);
             w.U16(32);
             w.End();
             w.End();
         }},
        {"Material does not exist!",
         [](iff_writer_c& w) {
             Surfaces(w);
             Geometry(w, 1.0f);
             w.Begin("SURF", 4);
             w.String("Nothing");
             w.End();
         }},
        {"Unexpected end of file!",
         [](iff_writer_c& w) {
             Surfaces(w);
             w.Begin("POLS", 4);
             w.U16(3);
             w.End();
         }},
    };
    for (const case_c& c : cases) {
        iff_writer_c w;
        w.BeginForm("LWOB");
        c.body(w);
        w.End();
        ExpectError(w.bytes, c.message);
    }
}

TEST(LwobReader, SurfaceBeforePolygonsKeepsDefaultsWithAWarning)
{
    iff_writer_c w;
    w.BeginForm("LWOB");
    Surfaces(w);
    w.Begin("SURF", 4);
    w.String("Hull");
    w.Begin("COLR", 2);
    w.Raw("\xff\0\0\0", 4);
    w.End();
    w.End();
    Geometry(w, 1.0f);
    w.End();
    lwob_file_c f(w.bytes);
    lwo2_layer_c object;
    f.reader.ReadObjectRecords(object);
    EXPECT_FLOAT_EQ(object.surfaces[0].values.color.x, 0.78431f);
    EXPECT_EQ(object.surfaces[0].values.diffuse, 1.0f);
    ASSERT_EQ(object.warnings.size(), 1u);
    EXPECT_EQ(object.warnings[0], string_c("[%s] Surface read before its polygons ignored!", f.file.GetName()));
}

TEST(LwobReader, DefaultAngleBlendsAt89DegreesNotAt90)
{
    for (const f32 degrees : {89.0f, 90.0f}) {
        iff_writer_c w;
        w.BeginForm("LWOB");
        Surfaces(w);
        Geometry(w, degrees * 3.14159265f / 180.0f);
        w.Begin("SURF", 4);
        w.String("Hull");
        w.Begin("FLAG", 2);
        w.U16(4);
        w.End();
        w.End();
        w.End();
        lwob_file_c f(w.bytes);
        lwo2_layer_c object;
        f.reader.ReadObjectRecords(object);
        const bool blended = object.polygons[0].normal[0].z < 0.99f;
        EXPECT_EQ(blended, degrees < 90.0f) << degrees;
    }
}

TEST(LwobReader, MaterialFileTakesTheLastSurface)
{
    iff_writer_c w;
    w.BeginForm("LWOB");
    for (const char* name : {"First", "Second"}) {
        w.Begin("SURF", 4);
        w.String(name);
        w.Begin("RFLT", 2);
        w.U16(2);
        w.End();
        w.Begin("RIMG", 2);
        w.String(name[0] == 'F' ? "Images:/sky.tga" : "Images:\\env/sea.tga");
        w.End();
        w.End();
    }
    w.End();
    lwob_file_c f(w.bytes);
    lwo2_surface_c material;
    f.reader.ReadMaterialRecords(material);
    EXPECT_STREQ(material.name, "Second");
    EXPECT_STREQ(material.values.reflectionMap, "sea.tga");
}
