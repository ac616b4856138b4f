#include "engine/import/lwo2_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "engine/import/testing/iff_writer.h"
#include "engine/primitive_set.h"
#include "foundation/file_error.h"

namespace {

// Corners of a unit cube and its twelve triangles (two per side).
const f32 kCorners[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
const u32 kTriangles[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                               {3, 7, 6}, {3, 6, 2}, {0, 4, 7}, {0, 7, 3}, {1, 2, 6}, {1, 6, 5}};

void Points(iff_writer_c& _w, u32 _count)
{
    _w.Begin("PNTS", 4);
    for (u32 i = 0; i < _count; ++i)
        _w.Vec3(kCorners[i][0], kCorners[i][1], kCorners[i][2]);
    _w.End();
}

void Triangles(iff_writer_c& _w, u32 _count)
{
    _w.Begin("POLS", 4);
    _w.Id("FACE");
    for (u32 i = 0; i < _count; ++i) {
        _w.U16(3);
        for (u32 k = 0; k < 3; ++k)
            _w.Index(kTriangles[i][k]);
    }
    _w.End();
}

void Tags(iff_writer_c& _w, std::initializer_list<const char*> _tags)
{
    _w.Begin("TAGS", 4);
    for (const char* tag : _tags)
        _w.String(tag);
    _w.End();
}

// PTAG SURF entries: polygon i takes tag _tagOf(i).
void SurfaceTags(iff_writer_c& _w, u32 _count, const std::function<u32(u32)>& _tagOf)
{
    _w.Begin("PTAG", 4);
    _w.Id("SURF");
    for (u32 i = 0; i < _count; ++i) {
        _w.Index(i);
        _w.U16(_tagOf(i));
    }
    _w.End();
}

void Clip(iff_writer_c& _w, u32 _index, const char* _still)
{
    _w.Begin("CLIP", 4);
    _w.U32(_index);
    _w.Begin("STIL", 2);
    _w.String(_still);
    _w.End();
    _w.End();
}

// An image-map block on a channel with an opacity type.
void ImageBlock(iff_writer_c& _w, const char* _channel, u32 _opacity, u32 _clip, u32 _projection, const char* _uvMap)
{
    _w.Begin("BLOK", 2);
    _w.Begin("IMAP", 2);
    _w.String("\x80");
    _w.Begin("CHAN", 2);
    _w.Id(_channel);
    _w.End();
    _w.Begin("OPAC", 2);
    _w.U16(_opacity);
    _w.F32(1.0f);
    _w.Index(0);
    _w.End();
    _w.Begin("ENAB", 2);
    _w.U16(1);
    _w.End();
    _w.End();
    _w.Begin("PROJ", 2);
    _w.U16(_projection);
    _w.End();
    _w.Begin("IMAG", 2);
    _w.Index(_clip);
    _w.End();
    _w.Begin("WRAP", 2);
    _w.U16(1);
    _w.U16(1);
    _w.End();
    if (_uvMap) {
        _w.Begin("VMAP", 2);
        _w.String(_uvMap);
        _w.End();
    }
    _w.End();
}

// An "ISEQ" sub-chunk: frames 1 to _last of _prefix<digits>.tga, offset 0.
void SequenceHeader(iff_writer_c& _w, u8 _digits, u8 _flags, u16 _last, const char* _prefix)
{
    _w.Begin("ISEQ", 2);
    _w.U8(_digits);
    _w.U8(_flags);
    _w.U16(0);
    _w.U16(0);
    _w.U16(1);
    _w.U16(_last);
    _w.String(_prefix);
    _w.String(".tga");
    _w.End();
}

// Tag "S", three points, one triangle on surface "S".
void OneTriangleOnSurfaceS(iff_writer_c& _w)
{
    Tags(_w, {"S"});
    Points(_w, 3);
    Triangles(_w, 1);
    SurfaceTags(_w, 1, [](u32) { return 0; });
}

struct loaded_c {
    explicit loaded_c(const std::vector<u8>& _bytes, unsigned _layer = 0)
        : bytes(_bytes), file(bytes.data(), static_cast<u32>(bytes.size())), reader(file)
    {
        reader.ReadLayerRecords(_layer, layer);
    }
    std::vector<u8> bytes;
    input_file_c file;
    lwo2_reader_c reader;
    lwo2_layer_c layer;

    bool Warned(const char* _message) const
    {
        for (const string_c& w : layer.warnings)
            if (std::strstr(w, _message))
                return true;
        return false;
    }
};

void ExpectFileError(const std::vector<u8>& _bytes, const char* _message)
{
    try {
        loaded_c loaded(_bytes);
        FAIL() << "no error for " << _message;
    } catch (const file_error_c& e) {
        EXPECT_STREQ(e.what(), _message);
    }
}

std::vector<u8> CubeFile()
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    Tags(w, {"Red", "Blue"});
    w.Begin("LAYR", 4);
    w.U16(0);
    w.U16(0);
    w.Vec3(0.5f, 0.0f, 0.0f);
    w.String("");
    w.End();
    Points(w, 8);
    w.Begin("VMAP", 4);
    w.Id("TXUV");
    w.U16(2);
    w.String("uv");
    for (u32 p = 0; p < 8; ++p) {
        w.Index(p);
        w.F32(kCorners[p][0]);
        w.F32(kCorners[p][1] * 0.25f);
    }
    w.End();
    w.Begin("VMAP", 4);
    w.Id("WGHT");
    w.U16(1);
    w.String("Spine");
    for (u32 p = 0; p < 4; ++p) {
        w.Index(p);
        w.F32(1.0f);
    }
    w.End();
    Triangles(w, 12);
    SurfaceTags(w, 12, [](u32 i) { return i < 6 ? 0 : 1; });
    Clip(w, 1, "Textures:maps/red.tga");
    w.Begin("SURF", 4);
    w.String("red"); // names match regardless of case
    w.String("");
    w.Begin("COLR", 2);
    w.Vec3(1.0f, 0.0f, 0.0f);
    w.Index(0);
    w.End();
    w.Begin("SMAN", 2);
    w.F32(1.6f);
    w.End();
    ImageBlock(w, "COLR", 0, 1, 5, "uv");
    w.End();
    w.Begin("SURF", 4);
    w.String("Blue");
    w.String("");
    w.Begin("COLR", 2);
    w.Vec3(0.0f, 0.0f, 1.0f);
    w.Index(0);
    w.End();
    w.Begin("SIDE", 2);
    w.U16(3);
    w.End();
    w.End();
    w.End();
    return w.bytes;
}

} // namespace

TEST(Lwo2Reader, CubeWithTwoSurfacesUvsAndWeights)
{
    const std::vector<u8> bytes = CubeFile();
    input_file_c file(bytes.data(), static_cast<u32>(bytes.size()));
    lwo2_reader_c reader(file);
    EXPECT_TRUE(reader.IsLwo2());
    lwo2_layer_c layer;
    reader.ReadLayerRecords(0, layer);
    EXPECT_TRUE(layer.warnings.empty());
    EXPECT_STREQ(layer.layerName, "Layer1");
    EXPECT_EQ(layer.pivot.x, 0.5f);
    ASSERT_EQ(layer.surfaces.size(), 2u);

    const lwo2_surface_c& red = layer.surfaces[0];
    EXPECT_STREQ(red.name, "Red");
    EXPECT_TRUE(red.read);
    EXPECT_EQ(red.counts[2], 6u);
    EXPECT_EQ(red.values.color.x, 1.0f);
    EXPECT_EQ(red.values.flags, u32(surface_smooth));
    EXPECT_FLOAT_EQ(red.threshold, std::cos(1.6f));
    EXPECT_STREQ(red.values.colorMap[0].still, "red.tga");
    EXPECT_EQ(red.uvLayers, 1u);
    EXPECT_STREQ(red.uvMapName[0], "uv");
    EXPECT_EQ(red.values.bump, 0.0f); // no bump block

    const lwo2_surface_c& blue = layer.surfaces[1];
    EXPECT_EQ(blue.values.flags, u32(surface_double_sided));
    EXPECT_EQ(blue.uvLayers, 0u);

    lwo2_geometry_c geometry;
    lwo2_reader_c::BuildGeometry(layer, "box", geometry);
    const geometry_def_c& def = *geometry.base;
    EXPECT_STREQ(def.name, "box:Layer1:(Base)");
    EXPECT_EQ(def.format.hasPosition, 1);
    EXPECT_EQ(def.format.hasNormal, 1);
    EXPECT_EQ(def.format.hasDiffuse, 0);
    EXPECT_EQ(def.format.texCoordSetCount, 1u);
    EXPECT_EQ(def.format.blendWeightCount, 1u);
    EXPECT_EQ(def.format.matrixIndexCount, 2u);
    EXPECT_EQ(def.blendMatrixCount, 1u);
    EXPECT_EQ(def.weld, 1);
    EXPECT_EQ(def.tweening, 0);
    ASSERT_EQ(def.primitiveSets.size(), 2u);
    ASSERT_EQ(geometry.sets.size(), 2u);
    EXPECT_EQ(geometry.sets[1].surface, 1u);
    EXPECT_EQ(geometry.sets[1].kind, 2u);
    for (const auto& set : def.primitiveSets) {
        EXPECT_EQ(set->GetVerticesPerPrimitive(), 3u);
        EXPECT_EQ(set->vertices.size(), 18u);
        EXPECT_TRUE(set->IsIntegral());
    }
    // Triangle 0 is (0, 2, 1) on the red surface: v is stored as 1 - v.
    const vertex_c& v1 = def.primitiveSets[0]->vertices[1];
    EXPECT_EQ(v1.position.x, 1.0f);
    EXPECT_EQ(v1.position.y, 1.0f);
    EXPECT_EQ(v1.texCoords[0][0], 1.0f);
    EXPECT_EQ(v1.texCoords[0][1], 0.75f);
    EXPECT_EQ(v1.blendWeights[0], 1.0f);
    EXPECT_EQ(v1.matrixIndices[0], 1);
    // Smoothed corner 0 of the red surface averages the faces of the -z, -y
    // and -x sides that meet there (whatever their surface), as the smoothing
    // angle is above 90 degrees.
    const vertex_c& v0 = def.primitiveSets[0]->vertices[0];
    const f32 third = 1.0f / std::sqrt(3.0f);
    EXPECT_NEAR(v0.normal.x, -third, 1e-5);
    EXPECT_NEAR(v0.normal.y, -third, 1e-5);
    EXPECT_NEAR(v0.normal.z, -third, 1e-5);
    // The blue surface is not smoothed: face normals; point 6 has no weight.
    const vertex_c& b = def.primitiveSets[1]->vertices[1]; // triangle (3, 7, 6)
    EXPECT_EQ(b.normal.y, 1.0f);
    EXPECT_EQ(b.blendWeights[0], 0.0f);
    EXPECT_EQ(b.matrixIndices[0], 0);
}

TEST(Lwo2Reader, LayerNames)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    for (u32 n : {0u, 3u}) {
        w.Begin("LAYR", 4);
        w.U16(n);
        w.U16(0);
        w.Vec3(0, 0, 0);
        w.String(n == 3 ? "Wings" : "");
        w.End();
    }
    w.End();
    input_file_c file(w.bytes.data(), static_cast<u32>(w.bytes.size()));
    lwo2_reader_c reader(file);
    string_c name = "stale";
    EXPECT_TRUE(reader.GetLayerName(3, name));
    EXPECT_STREQ(name, "Wings");
    EXPECT_TRUE(reader.GetLayerName(0, name));
    EXPECT_STREQ(name, "Layer1");
    EXPECT_TRUE(reader.GetLayerName(2, name));
    EXPECT_STREQ(name, "");
    EXPECT_FALSE(reader.GetLayerName(4, name));

    iff_writer_c bare;
    bare.BeginForm("LWO2");
    Points(bare, 3);
    bare.End();
    input_file_c bareFile(bare.bytes.data(), static_cast<u32>(bare.bytes.size()));
    lwo2_reader_c bareReader(bareFile);
    EXPECT_FALSE(bareReader.GetLayerName(0, name));
}

TEST(Lwo2Reader, NotAnLwo2Form)
{
    iff_writer_c w;
    w.BeginForm("LWOB");
    w.End();
    input_file_c file(w.bytes.data(), static_cast<u32>(w.bytes.size()));
    lwo2_reader_c reader(file);
    EXPECT_FALSE(reader.IsLwo2());
}

// Such a layer has nothing to build; it warns instead of failing a scene.
TEST(Lwo2Reader, LayerWithoutPointsOrPolygonsWarns)
{
    iff_writer_c noPoints;
    noPoints.BeginForm("LWO2");
    Triangles(noPoints, 1);
    noPoints.End();
    iff_writer_c noPolygons;
    noPolygons.BeginForm("LWO2");
    Points(noPolygons, 3);
    noPolygons.End();
    // Points of another layer do not count.
    iff_writer_c otherLayer;
    otherLayer.BeginForm("LWO2");
    Points(otherLayer, 3);
    Triangles(otherLayer, 1);
    otherLayer.End();
    struct case_c {
        const std::vector<u8>& bytes;
        unsigned layer;
        const char* message;
    };
    for (const case_c& c : {case_c{noPoints.bytes, 0, "List of points not found!"},
                            case_c{noPolygons.bytes, 0, "List of polygons not found!"},
                            case_c{otherLayer.bytes, 1, "List of points not found!"}}) {
        input_file_c file(c.bytes.data(), static_cast<u32>(c.bytes.size()));
        lwo2_reader_c reader(file);
        lwo2_layer_c layer;
        EXPECT_FALSE(reader.ReadLayerRecords(c.layer, layer)) << c.message;
        ASSERT_EQ(layer.warnings.size(), 1u) << c.message;
        EXPECT_EQ(layer.warnings[0], string_c("[%s] %s", file.GetName(), c.message));
    }
}

TEST(Lwo2Reader, TruncatedChunkIsAnError)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    w.Begin("LAYR", 4);
    w.U16(0);
    w.End();
    w.End();
    ExpectFileError(w.bytes, "Unexpected end of file!");
}

// A file cut short is still an LWO2 file, and says it is cut short.
TEST(Lwo2Reader, TruncatedFormIsAnLwo2FileCutShort)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    OneTriangleOnSurfaceS(w);
    w.End();
    for (size_t keep : {size_t(12), size_t(20), w.bytes.size() - 1}) {
        const std::vector<u8> cut(w.bytes.begin(), w.bytes.begin() + keep);
        input_file_c file(cut.data(), static_cast<u32>(cut.size()));
        lwo2_reader_c reader(file);
        EXPECT_TRUE(reader.IsLwo2()) << keep;
        string_c name;
        EXPECT_THROW(reader.GetLayerName(0, name), file_error_c) << keep;
        ExpectFileError(cut, "Unexpected end of file!");
    }
}

TEST(Lwo2Reader, DroppedQuadKeepsTagsAligned)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    Tags(w, {"A", "B"});
    Points(w, 4);
    w.Begin("POLS", 4);
    w.Id("FACE");
    w.U16(4);
    for (u32 k = 0; k < 4; ++k)
        w.Index(k);
    w.U16(3);
    w.Index(0);
    w.Index(1);
    w.Index(2);
    w.End();
    SurfaceTags(w, 2, [](u32 i) { return i; });
    w.End();
    loaded_c loaded(w.bytes);
    EXPECT_TRUE(loaded.Warned("All polygons passed over!"));
    ASSERT_EQ(loaded.layer.polygons.size(), 2u);
    EXPECT_EQ(loaded.layer.polygons[0].count, 0u);
    EXPECT_EQ(loaded.layer.polygons[1].count, 3u);
    ASSERT_EQ(loaded.layer.surfaces.size(), 2u);
    EXPECT_EQ(loaded.layer.surfaces[0].counts[2], 0u);
    EXPECT_STREQ(loaded.layer.surfaces[1].name, "B");
    EXPECT_EQ(loaded.layer.surfaces[1].counts[2], 1u);
    EXPECT_EQ(loaded.layer.warnings[0], string_c("[%s] %s", loaded.file.GetName(), "All polygons passed over!"));
}

TEST(Lwo2Reader, WarningsOfBadEntries)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    Tags(w, {"A"});
    Points(w, 3);
    Triangles(w, 1);
    w.Begin("PTAG", 4);
    w.Id("SURF");
    w.Index(5);
    w.U16(0);
    w.End();
    w.Begin("PTAG", 4);
    w.Id("SURF");
    w.Index(0);
    w.U16(9);
    w.End();
    w.Begin("VMAP", 4);
    w.Id("TXUV");
    w.U16(3);
    w.String("bad");
    w.End();
    w.Begin("VMAD", 4);
    w.Id("MORF");
    w.U16(3);
    w.String("bad");
    w.End();
    w.Begin("CLIP", 4);
    w.U32(4);
    w.End();
    w.End();
    loaded_c loaded(w.bytes);
    for (const char* message : {"Polygon not found!", "Tag not found!", "Invalid UV mapping dimension!",
                                "Invalid discontinuous vertex mapping type!", "Unsupported image definition!"})
        EXPECT_TRUE(loaded.Warned(message)) << message;
    EXPECT_TRUE(loaded.layer.clips.empty());
    EXPECT_TRUE(loaded.layer.uvMaps.empty());
}

// Smoothing groups are tags too: one beyond the tag list is not taken.
TEST(Lwo2Reader, SmoothingGroupTagsAreChecked)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    Tags(w, {"A", "B"});
    Points(w, 4);
    Triangles(w, 2);
    w.Begin("PTAG", 4);
    w.Id("SMGP");
    w.Index(0);
    w.U16(1);
    w.Index(1);
    w.U16(7);
    w.End();
    w.End();
    loaded_c loaded(w.bytes);
    EXPECT_TRUE(loaded.Warned("Tag not found!"));
    EXPECT_EQ(loaded.layer.polygons[0].smoothingGroup, 1);
    EXPECT_EQ(loaded.layer.polygons[1].smoothingGroup, -1);
}

// The loop flag of an image sequence is its whole flags byte.
TEST(Lwo2Reader, SequenceLoopFlagIsTheWholeByte)
{
    for (u8 flags : {u8(0), u8(1), u8(2), u8(0x80)}) {
        iff_writer_c w;
        w.BeginForm("LWO2");
        OneTriangleOnSurfaceS(w);
        w.Begin("CLIP", 4);
        w.U32(1);
        SequenceHeader(w, 2, flags, 3, "fire");
        w.End();
        w.End();
        loaded_c loaded(w.bytes);
        ASSERT_EQ(loaded.layer.clips.size(), 1u);
        EXPECT_EQ(loaded.layer.clips[0].loop, flags);
    }
}

TEST(Lwo2Reader, WeightsKeepTheLargestFourNormalised)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    Points(w, 3);
    Triangles(w, 1);
    const f32 weights[3] = {0.2f, 0.6f, 0.2f};
    for (u32 m = 0; m < 3; ++m) {
        w.Begin("VMAP", 4);
        w.Id("WGHT");
        w.U16(1);
        w.String(m == 0 ? "a" : m == 1 ? "b" : "c");
        w.Index(0);
        w.F32(weights[m]);
        w.End();
    }
    // A discontinuous entry gives vertex 1 of polygon 0 a weight in map c.
    w.Begin("VMAD", 4);
    w.Id("WGHT");
    w.U16(1);
    w.String("c");
    w.Index(2);
    w.Index(0);
    w.F32(0.5f);
    w.End();
    w.End();
    loaded_c loaded(w.bytes);
    const lwo2_polygon_c& p = loaded.layer.polygons[0];
    EXPECT_EQ(loaded.layer.influenceCount, 3u);
    EXPECT_FLOAT_EQ(p.weight[0][0], 0.6f);
    EXPECT_EQ(p.weightMap[0][0], 2u);
    EXPECT_FLOAT_EQ(p.weight[1][0], 0.2f);
    EXPECT_EQ(p.weightMap[1][0], 1u);
    EXPECT_FLOAT_EQ(p.weight[2][0], 0.2f);
    EXPECT_EQ(p.weightMap[2][0], 3u);
    // Triangle 0 is (0, 2, 1): its vertex 1 uses point 2.
    EXPECT_EQ(p.weight[0][1], 1.0f);
    EXPECT_EQ(p.weightMap[0][1], 3u);
    EXPECT_EQ(p.weightMap[0][2], 0u);
}

TEST(Lwo2Reader, SecondColourBlockAndSequences)
{
    struct case_c {
        u32 opacity;
        bool layerOne;
    };
    for (const case_c c : {case_c{0, false}, case_c{3, true}}) {
        iff_writer_c w;
        w.BeginForm("LWO2");
        OneTriangleOnSurfaceS(w);
        w.Begin("CLIP", 4);
        w.U32(1);
        SequenceHeader(w, 3, 1, 100, "Images:seq/fire");
        w.Begin("TIME", 2);
        w.F32(0.0f);
        w.F32(2.0f);
        w.F32(30.0f);
        w.End();
        w.End();
        Clip(w, 2, "over.tga");
        w.Begin("SURF", 4);
        w.String("S");
        w.String("");
        ImageBlock(w, "COLR", 0, 1, 0, nullptr);
        ImageBlock(w, "COLR", c.opacity, 2, 0, nullptr);
        w.End();
        w.End();
        loaded_c loaded(w.bytes);
        const lwo2_surface_c& s = loaded.layer.surfaces[0];
        const lwo2_image_c& sequence = s.values.colorMap[0];
        ASSERT_EQ(sequence.sequence.size(), 59u);
        EXPECT_STREQ(sequence.sequence[0], "fire001.tga");
        EXPECT_STREQ(sequence.sequence[58], "fire059.tga");
        EXPECT_TRUE(sequence.loop);
        EXPECT_EQ(s.values.colorMap[1].IsEmpty(), !c.layerOne);
        EXPECT_EQ(s.uvLayers, c.layerOne ? 2u : 1u);
        if (c.layerOne) {
            EXPECT_STREQ(s.values.colorMap[1].still, "over.tga");
            EXPECT_EQ(s.uvBlend[1], 1u);
        }
        EXPECT_EQ(s.uvClamp[0], 0);
    }
}

TEST(Lwo2Reader, ClipReferenceCycleLeavesNoImage)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    OneTriangleOnSurfaceS(w);
    for (u32 i : {1u, 2u}) {
        w.Begin("CLIP", 4);
        w.U32(i);
        w.Begin("XREF", 2);
        w.U32(3 - i);
        w.String("x");
        w.End();
        w.End();
    }
    w.Begin("SURF", 4);
    w.String("S");
    w.String("");
    ImageBlock(w, "COLR", 0, 1, 0, nullptr);
    w.End();
    w.End();
    loaded_c loaded(w.bytes);
    EXPECT_TRUE(loaded.layer.surfaces[0].values.colorMap[0].IsEmpty());
    EXPECT_EQ(loaded.layer.surfaces[0].uvLayers, 0u);
}

TEST(Lwo2Reader, UnusedSurfaceIsNeverRead)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    Tags(w, {"Used", "Idle"});
    Points(w, 3);
    Triangles(w, 1);
    SurfaceTags(w, 1, [](u32) { return 0; });
    for (const char* name : {"Idle", "Used"}) {
        w.Begin("SURF", 4);
        w.String(name);
        w.String("Other");
        w.End();
    }
    w.End();
    loaded_c loaded(w.bytes);
    ASSERT_EQ(loaded.layer.surfaces.size(), 1u);
    EXPECT_TRUE(loaded.layer.surfaces[0].read);
    EXPECT_EQ(loaded.layer.warnings.size(), 1u);
    EXPECT_TRUE(loaded.Warned("Source surface ignored!"));
}

TEST(Lwo2Reader, SurfaceValuesAndEnvelopes)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    OneTriangleOnSurfaceS(w);
    w.Begin("ENVL", 4);
    w.Index(7);
    w.Begin("PRE ", 2);
    w.U16(9);
    w.End();
    w.Begin("POST", 2);
    w.U16(2);
    w.End();
    w.Begin("SPAN", 2);
    w.Id("TCB ");
    w.End();
    w.Begin("KEY ", 2);
    w.F32(1.0f);
    w.F32(0.5f);
    w.End();
    w.Begin("SPAN", 2);
    w.Id("BEZ2");
    w.F32(1.0f);
    w.F32(2.0f);
    w.End();
    w.Begin("KEY ", 2);
    w.F32(2.0f);
    w.F32(1.0f);
    w.End();
    w.Begin("SPAN", 2);
    w.Id("WAVY");
    w.F32(3.0f);
    w.End();
    w.End();
    w.Begin("SURF", 4);
    w.String("S");
    w.String("");
    w.Begin("DIFF", 2);
    w.F32(0.25f);
    w.Index(7);
    w.End();
    w.Begin("GLOS", 2);
    w.F32(0.4f);
    w.Index(7);
    w.End();
    w.Begin("ADTR", 2);
    w.F32(0.5f);
    w.Index(0);
    w.End();
    w.Begin("GLOW", 2);
    w.U16(0);
    w.F32(1.0f);
    w.Index(0);
    w.End();
    w.Begin("VCOL", 2);
    w.F32(1.0f);
    w.Index(0);
    w.Id("PICK");
    w.String("paint");
    w.End();
    w.Begin("CMNT", 2);
    w.String("Lighting 0");
    w.End();
    w.End();
    w.End();
    loaded_c loaded(w.bytes);
    for (const char* message :
         {"Unsupported behavior!", "Key not found!", "Unsupported interpolation algorithm!",
          "Glossiness envelope ignored!", "Unsupported vertex color map type!", "Color mapping coordinates not found!"})
        EXPECT_TRUE(loaded.Warned(message)) << message;
    ASSERT_EQ(loaded.layer.envelopes.size(), 1u);
    const envelope_c& e = loaded.layer.envelopes[0].envelope;
    EXPECT_EQ(loaded.layer.envelopes[0].index, 7u);
    EXPECT_EQ(e.pre, behaviour_constant);
    EXPECT_EQ(e.post, behaviour_repeat);
    ASSERT_EQ(e.keys.size(), 2u);
    EXPECT_EQ(e.keys[0].shape, shape_bezier);
    EXPECT_EQ(e.keys[0].param1, 2.0f);
    EXPECT_EQ(e.keys[0].param2, 0.0f);
    EXPECT_EQ(e.keys[1].param0, 0.0f);
    const lwo2_surface_values_c& v = loaded.layer.surfaces[0].values;
    EXPECT_EQ(v.diffuse, 0.25f);
    ASSERT_EQ(v.envelopes.size(), 1u);
    EXPECT_EQ(v.envelopes[0].envelope, 7u);
    EXPECT_FLOAT_EQ(v.glossiness, 64.0f);
    EXPECT_EQ(v.flags, u32(surface_additive | surface_glow | surface_vertex_colors));
    ASSERT_EQ(v.comments.size(), 1u);
    EXPECT_STREQ(v.comments[0], "Lighting 0");
}

TEST(Lwo2Reader, MorphMapsMakeFramesAndMeshes)
{
    iff_writer_c w;
    w.BeginForm("LWO2");
    Points(w, 3);
    Triangles(w, 1);
    Tags(w, {"S"});
    SurfaceTags(w, 1, [](u32) { return 0; });
    for (const char* type : {"MORF", "SPOT"}) {
        w.Begin("VMAP", 4);
        w.Id(type);
        w.U16(3);
        w.String(type);
        w.Index(1);
        w.Vec3(0.0f, 0.0f, 2.0f);
        w.Index(40);
        w.Vec3(0.0f, 0.0f, 0.0f);
        w.End();
    }
    w.End();
    loaded_c loaded(w.bytes);
    EXPECT_TRUE(loaded.Warned("Point not found!"));
    ASSERT_EQ(loaded.layer.frames.size(), 2u);
    EXPECT_EQ(loaded.layer.frames[0].points[1].x, 1.0f);
    EXPECT_EQ(loaded.layer.frames[0].points[1].z, 2.0f);
    EXPECT_EQ(loaded.layer.frames[1].points[1].x, 0.0f);
    lwo2_geometry_c geometry;
    lwo2_reader_c::BuildGeometry(loaded.layer, "obj", geometry);
    EXPECT_EQ(geometry.base->tweening, 1);
    EXPECT_EQ(geometry.base->weld, 0);
    ASSERT_EQ(geometry.morphs.size(), 2u);
    EXPECT_STREQ(geometry.morphs[0]->name, "obj::MORF");
    EXPECT_EQ(geometry.morphs[0]->primitiveSets[0]->vertices[2].position.z, 2.0f);
}
