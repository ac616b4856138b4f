#include "engine/geometry_def.h"
#include "engine/testing/memory_file_system.h"

#include "foundation/file_error.h"
#include "foundation/memory_file.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

namespace {

vertex_c At(float x, float y, float z)
{
    vertex_c v;
    v.position = vec3_c(x, y, z);
    return v;
}

input_file_c ViewOf(const output_file_c& out)
{
    return input_file_c(out.GetData(), out.GetSize());
}

void ExpectReadError(const output_file_c& out, const char* message)
{
    input_file_c in = ViewOf(out);
    geometry_def_c def;
    try {
        ReadGeometryDef(in, def);
        FAIL() << "no exception for " << message;
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), message);
    }
}

// Name, format and options of a stream with the given format words.
void WriteHeader(output_file_c& out, u8 position, u32 weights, u32 indices, u8 normal, u8 diffuse, u32 sets)
{
    out.WriteString("g");
    out.WriteU8(position);
    out.WriteU32(weights);
    out.WriteU32(indices);
    out.WriteU8(normal);
    out.WriteU8(diffuse);
    out.WriteU32(sets);
    out.WriteU8(0);
    out.WriteU8(0);
    out.WriteU8(0);
    out.WriteU32(0);
    out.WriteU8(0);
}

} // namespace

TEST(GeometryDefTest, DefaultsAndKey)
{
    geometry_def_c unnamed;
    EXPECT_EQ(unnamed.name, "(Unnamed)");
    string_c key;
    unnamed.GetKey(key);
    EXPECT_STREQ(key, "Geometry={\"(Unnamed)\" {0 0 0 0 0 0} 0 0 0 0}");

    geometry_def_c hull("hull");
    hull.format.hasPosition = 1;
    hull.format.blendWeightCount = 2;
    hull.format.matrixIndexCount = 3;
    hull.format.hasNormal = 1;
    hull.format.texCoordSetCount = 2;
    hull.privateGeometry = 1;
    hull.tweening = 1;
    hull.blendMatrixCount = 12;
    hull.weld = 1;
    hull.GetKey(key);
    EXPECT_STREQ(key, "Geometry={\"hull\" {1 2 3 1 0 2} 1 0 1 12}");
}

TEST(GeometryDefTest, CopiesShareTheirPrimitiveSets)
{
    geometry_def_c* source = new geometry_def_c("shared");
    triangle_set_c* set = new triangle_set_c;
    set->vertices = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0)};
    source->AddPrimitiveSet(set);
    const geometry_def_c copy(*source);
    delete source;
    ASSERT_EQ(copy.primitiveSets.size(), 1u);
    EXPECT_EQ(copy.primitiveSets[0].get(), set);
    EXPECT_EQ(copy.GetVertexCount(), 3u);
}

TEST(GeometryDefTest, IntegrityCountsAndWelding)
{
    geometry_def_c def("mesh");
    def.format.hasPosition = 1;
    auto* triangles = new triangle_set_c;
    triangles->vertices = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0), At(0, 0, 0), At(1, 0, 0), At(0, 1, 0)};
    triangles->indices = {0, 1, 2, 3, 4, 5};
    def.AddPrimitiveSet(triangles);
    auto* points = new point_set_c;
    points->vertices.resize(2);
    def.AddPrimitiveSet(points);

    EXPECT_TRUE(def.IsIntegral());
    EXPECT_EQ(def.GetVertexCount(), 8u);
    EXPECT_EQ(def.GetPrimitiveCount(0), 4u);
    EXPECT_EQ(def.GetPrimitiveCount(3), 2u);
    EXPECT_EQ(def.GetPrimitiveCount(1), 2u);

    def.WeldVertices(); // flag clear: nothing
    EXPECT_EQ(triangles->vertices.size(), 6u);
    def.weld = 1;
    def.WeldVertices();
    EXPECT_EQ(triangles->vertices.size(), 3u);
    EXPECT_EQ(triangles->indices, (std::vector<u32>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(def.weld, 0);

    def.format.blendWeightCount = 1;
    def.format.matrixIndexCount = 1; // must be weights + 1
    EXPECT_FALSE(def.IsIntegral());
    def.format.matrixIndexCount = 2;
    EXPECT_TRUE(def.IsIntegral());
    triangles->indices.push_back(7);
    EXPECT_FALSE(def.IsIntegral());
}

TEST(GeometryDefTest, VertexFormatValidityAndStride)
{
    vertex_format_c format;
    EXPECT_TRUE(format.IsValid());
    format.blendWeightCount = 3;
    format.matrixIndexCount = 4;
    format.texCoordSetCount = 3;
    EXPECT_TRUE(format.IsValid());
    format.hasPosition = 1;
    format.hasNormal = 1;
    format.hasDiffuse = 1;
    EXPECT_EQ(format.GetStride(), 12u + 12 + 4 + 12 + 4 + 24);
    vertex_format_c other = format;
    EXPECT_TRUE(other == format);
    other.texCoordSetCount = 4;
    EXPECT_TRUE(other != format);
    EXPECT_FALSE(other.IsValid());
    other = format;
    other.blendWeightCount = 4;
    other.matrixIndexCount = 0;
    EXPECT_FALSE(other.IsValid());
}

TEST(GeometryDefTest, StreamRoundTripKeepsOnlyTheNamedFields)
{
    geometry_def_c def("ship");
    def.format.hasPosition = 1;
    def.format.blendWeightCount = 1;
    def.format.matrixIndexCount = 2;
    def.format.texCoordSetCount = 1;
    def.needsVertexShader = 1;
    def.blendMatrixCount = 5;
    auto* set = new triangle_set_c;
    vertex_c v = At(1, 2, 3);
    v.blendWeights[0] = 0.25f;
    v.blendWeights[1] = 0.5f; // not in the format
    v.matrixIndices[0] = 7;
    v.matrixIndices[1] = 8;
    v.matrixIndices[2] = 9;     // not in the format
    v.normal = vec3_c(0, 1, 0); // not in the format
    v.texCoords[0][0] = 0.75f;
    v.texCoords[1][1] = 0.5f; // not in the format
    set->vertices = {v, At(4, 5, 6), At(7, 8, 9)};
    set->indices = {2, 1, 0};
    def.AddPrimitiveSet(set);
    auto* lines = new line_set_c;
    lines->vertices = {At(0, 0, 0), At(1, 1, 1)};
    lines->indices = {0, 1};
    def.AddPrimitiveSet(lines);

    output_file_c out;
    WriteGeometryDef(out, def);

    geometry_def_c back;
    back.AddPrimitiveSet(new point_set_c);
    input_file_c in = ViewOf(out);
    ReadGeometryDef(in, back);
    EXPECT_EQ(in.GetPosition(), out.GetSize());
    EXPECT_EQ(back.name, "ship");
    EXPECT_TRUE(back.format == def.format);
    EXPECT_EQ(back.needsVertexShader, 1);
    EXPECT_EQ(back.blendMatrixCount, 5u);
    ASSERT_EQ(back.primitiveSets.size(), 2u);
    const primitive_set_c& t = *back.primitiveSets[0];
    EXPECT_EQ(t.GetVerticesPerPrimitive(), 3u);
    EXPECT_EQ(t.indices, (std::vector<u32>{2, 1, 0}));
    const vertex_c& r = t.vertices[0];
    EXPECT_EQ(r.position.z, 3.0f);
    EXPECT_EQ(r.blendWeights[0], 0.25f);
    EXPECT_EQ(r.blendWeights[1], 0.0f);
    EXPECT_EQ(r.matrixIndices[1], 8);
    EXPECT_EQ(r.matrixIndices[2], 0);
    EXPECT_EQ(r.normal.y, 0.0f);
    EXPECT_EQ(r.texCoords[0][0], 0.75f);
    EXPECT_EQ(r.texCoords[1][1], 0.0f);
    EXPECT_EQ(back.primitiveSets[1]->GetVerticesPerPrimitive(), 2u);
    EXPECT_EQ(back.primitiveSets[1]->vertices[1].position.y, 1.0f);
}

TEST(GeometryDefTest, StreamLayout)
{
    geometry_def_c def("ab");
    def.format.hasPosition = 1;
    def.format.matrixIndexCount = 1;
    auto* points = new point_set_c;
    vertex_c v = At(1.0f, 2.0f, 3.0f);
    v.matrixIndices[0] = 0x5A;
    points->vertices = {v};
    points->indices = {0};
    def.AddPrimitiveSet(points);
    output_file_c out;
    WriteGeometryDef(out, def);

    const u8* d = out.GetData();
    auto word = [&](u32 offset) {
        u32 value;
        std::memcpy(&value, d + offset, 4);
        return value;
    };
    EXPECT_EQ(word(0), 2u); // name length, then "ab" and a NUL
    EXPECT_EQ(d[6], 0);
    EXPECT_EQ(d[7], 1);      // has position
    EXPECT_EQ(word(8), 0u);  // weights
    EXPECT_EQ(word(12), 1u); // matrix indices
    EXPECT_EQ(d[16], 0);     // normal
    EXPECT_EQ(d[17], 0);     // diffuse
    EXPECT_EQ(word(20), 0u); // texture-coordinate sets
    EXPECT_EQ(word(28), 0u); // blend matrices after three option bytes
    EXPECT_EQ(d[32], 0);     // weld
    EXPECT_EQ(word(36), 1u); // set count
    EXPECT_EQ(word(40), 1u); // k
    EXPECT_EQ(word(44), 1u); // n
    EXPECT_EQ(word(48), 1u); // m
    EXPECT_EQ(word(52), std::bit_cast<u32>(1.0f));
    EXPECT_EQ(word(60), std::bit_cast<u32>(3.0f));
    EXPECT_EQ(d[64], 0x5A);  // the matrix index byte
    EXPECT_EQ(word(68), 0u); // the index
    EXPECT_EQ(out.GetSize(), 72u);
}

TEST(GeometryDefTest, StripsAreWrittenAsExplicitIndices)
{
    geometry_def_c def("strip");
    def.format.hasPosition = 1;
    auto* strip = new triangle_set_c;
    strip->vertices = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0), At(1, 1, 0)};
    def.AddPrimitiveSet(strip);
    auto* lines = new line_set_c;
    lines->vertices = {At(0, 0, 0), At(1, 0, 0), At(2, 0, 0)};
    def.AddPrimitiveSet(lines);
    output_file_c out;
    WriteGeometryDef(out, def);

    geometry_def_c back;
    input_file_c in = ViewOf(out);
    ReadGeometryDef(in, back);
    EXPECT_EQ(back.primitiveSets[0]->indices, (std::vector<u32>{0, 1, 2, 2, 1, 3}));
    EXPECT_EQ(back.primitiveSets[1]->indices, (std::vector<u32>{0, 1, 1, 2}));
    EXPECT_TRUE(back.IsIntegral());
}

TEST(GeometryDefTest, BadVertexFormatsAreRefusedBeforeAnyVertex)
{
    for (u32 weights : {4u, 100u}) {
        output_file_c out;
        WriteHeader(out, 1, weights, 0, 0, 0, 0);
        ExpectReadError(out, "Invalid vertex format!");
    }
    output_file_c sets;
    WriteHeader(sets, 1, 0, 0, 0, 0, 9);
    ExpectReadError(sets, "Invalid vertex format!");
    output_file_c indices;
    WriteHeader(indices, 1, 1, 5, 0, 0, 0);
    ExpectReadError(indices, "Invalid vertex format!");
}

TEST(GeometryDefTest, BadSetsAndCountsAreRefused)
{
    output_file_c many_sets;
    WriteHeader(many_sets, 1, 0, 0, 0, 0, 0);
    many_sets.WriteU32(0x40000000);
    ExpectReadError(many_sets, "Invalid primitive set count!");

    output_file_c kind;
    WriteHeader(kind, 1, 0, 0, 0, 0, 0);
    kind.WriteU32(1);
    kind.WriteU32(4);
    kind.WriteU32(0);
    kind.WriteU32(0);
    ExpectReadError(kind, "Invalid primitive set!");

    output_file_c vertices;
    WriteHeader(vertices, 1, 0, 0, 0, 0, 0);
    vertices.WriteU32(1);
    vertices.WriteU32(3);
    vertices.WriteU32(0x10000000);
    vertices.WriteU32(0);
    ExpectReadError(vertices, "Invalid vertex count!");

    // A format that stores nothing per vertex still cannot ask for billions.
    output_file_c empty_format;
    WriteHeader(empty_format, 0, 0, 0, 0, 0, 0);
    empty_format.WriteU32(1);
    empty_format.WriteU32(1);
    empty_format.WriteU32(0xFFFFFFFF);
    empty_format.WriteU32(0);
    ExpectReadError(empty_format, "Invalid vertex count!");

    output_file_c primitives;
    WriteHeader(primitives, 0, 0, 0, 0, 0, 0);
    primitives.WriteU32(1);
    primitives.WriteU32(3);
    primitives.WriteU32(0);
    primitives.WriteU32(0x7FFFFFFF);
    ExpectReadError(primitives, "Invalid primitive count!");

    output_file_c index;
    WriteHeader(index, 0, 0, 0, 0, 0, 0);
    index.WriteU32(1); // one set
    index.WriteU32(1); // of points
    index.WriteU32(1); // one vertex (nothing stored for it)
    index.WriteU32(2); // two points
    index.WriteU32(0);
    index.WriteU32(1);
    ExpectReadError(index, "Invalid vertex index!");
}

TEST(GeometryDefTest, TruncatedStreamsAreRefused)
{
    geometry_def_c def("cut");
    def.format.hasPosition = 1;
    def.format.hasDiffuse = 1;
    auto* set = new triangle_set_c;
    set->vertices = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0)};
    set->indices = {0, 1, 2};
    def.AddPrimitiveSet(set);
    output_file_c out;
    WriteGeometryDef(out, def);
    for (u32 cut = 0; cut < out.GetSize(); cut += 3) {
        input_file_c in(out.GetData(), cut);
        geometry_def_c back;
        EXPECT_THROW(ReadGeometryDef(in, back), file_error_c) << cut;
    }
}

TEST(GeometryDefTest, ErrorsNameTheFile)
{
    output_file_c out;
    WriteHeader(out, 1, 7, 0, 0, 0, 0);
    memory_file_system_c files;
    files.Add("models\\bad.geo", out);
    input_file_c in("models\\bad.geo");
    geometry_def_c def;
    try {
        ReadGeometryDef(in, def);
        FAIL() << "no exception";
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.GetFileName(), "models\\bad.geo");
        EXPECT_STREQ(error.what(), "Invalid vertex format!");
    }
}
