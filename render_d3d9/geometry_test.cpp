#include "render_d3d9/geometry.h"
#include "render_d3d9/d3d_error.h"
#include "render_d3d9/state_cache.h"
#include "render_d3d9/testing/record_fixture.h"
#include "render_d3d9/testing/test_shaders.h"

#include <cstring>

namespace {

// A triangle list of _triangles triangles over _vertices vertices.
triangle_set_c* TriangleList(u32 _vertices, u32 _triangles)
{
    auto* set = new triangle_set_c;
    set->vertices.resize(_vertices);
    for (u32 i = 0; i < _vertices; ++i) {
        set->vertices[i].position = {static_cast<f32>(i), 0.0f, 0.0f};
    }
    for (u32 t = 0; t < _triangles; ++t) {
        set->indices.insert(set->indices.end(), {t % _vertices, (t + 1) % _vertices, (t + 2) % _vertices});
    }
    return set;
}

// A strip of _vertices vertices (no indices).
triangle_set_c* TriangleStrip(u32 _vertices)
{
    auto* set = new triangle_set_c;
    set->vertices.resize(_vertices);
    return set;
}

geometry_def_c Definition(bool _dynamic = false)
{
    geometry_def_c definition("test");
    definition.format.hasPosition = 1;
    definition.format.hasNormal = 1;
    definition.format.texCoordSetCount = 1;
    definition.privateGeometry = _dynamic ? 1 : 0;
    return definition;
}

class Geometry : public record_fixture_c {
protected:
    void SetUp() override
    {
        record_fixture_c::SetUp();
        Make();
        ASSERT_TRUE(cache.Init(device, d3d_vp_hardware, 4, false, true, shaders.set, 1));
    }

    test_shader_set_s shaders = MakeTestShaderSet();
    d3d_state_cache_c cache;
};

TEST_F(Geometry, IndexSizeFollowsTheVertexCount)
{
    for (const u32 vertices : {65535u, 65536u}) {
        geometry_def_c definition = Definition();
        definition.AddPrimitiveSet(TriangleList(vertices, 1));
        d3d_geometry_c geometry(device, "big", definition, false);
        EXPECT_EQ(geometry.GetIndexSize(), vertices > 65535 ? 4u : 2u) << vertices;
        auto* indices = static_cast<record_index_buffer_c*>(geometry.GetIndexBuffer());
        EXPECT_EQ(indices->GetFormat(), vertices > 65535 ? D3DFMT_INDEX32 : D3DFMT_INDEX16);
    }
}

TEST_F(Geometry, SetsBecomeGroupsOneAfterAnother)
{
    geometry_def_c definition = Definition();
    definition.AddPrimitiveSet(TriangleList(4, 2));
    definition.AddPrimitiveSet(TriangleStrip(5));
    definition.AddPrimitiveSet(new triangle_set_c);
    auto* points = new point_set_c;
    points->vertices.resize(3);
    definition.AddPrimitiveSet(points);
    definition.AddPrimitiveSet(TriangleList(3, 1));
    d3d_geometry_c geometry(device, "groups", definition, false);
    const std::vector<d3d_group_s>& groups = geometry.GetGroups();
    ASSERT_EQ(groups.size(), 5u);
    EXPECT_EQ(groups[0], (d3d_group_s{D3DPT_TRIANGLELIST, 3, 4, 0, 2, 0, 6, 0}));
    EXPECT_EQ(groups[1], (d3d_group_s{D3DPT_TRIANGLESTRIP, 3, 5, 4, 3, 6, 0, 4 * 32}));
    EXPECT_EQ(groups[2].type, D3DPT_FORCE_DWORD);
    EXPECT_EQ(groups[3], (d3d_group_s{D3DPT_POINTLIST, 1, 3, 9, 3, 6, 0, 9 * 32}));
    EXPECT_EQ(groups[4], (d3d_group_s{D3DPT_TRIANGLELIST, 3, 3, 12, 1, 6, 3, 12 * 32}));
    auto* buffer = static_cast<record_vertex_buffer_c*>(geometry.GetVertexBuffer());
    EXPECT_EQ(buffer->GetLength(), 15u * 32);
    EXPECT_EQ(buffer->GetUsage(), D3DUSAGE_WRITEONLY | D3DUSAGE_POINTS);
    EXPECT_EQ(buffer->GetPool(), D3DPOOL_MANAGED);
    auto* indices = static_cast<record_index_buffer_c*>(geometry.GetIndexBuffer());
    u16 last[3];
    std::memcpy(last, indices->GetBytes().data() + 6 * 2, 6);
    EXPECT_EQ(last[0], 12) << "indices are raised by the set's first vertex";
    EXPECT_EQ(last[2], 14);
    EXPECT_EQ(geometry.GetSize(), 15u * 32 + 9 * 2);
}

TEST_F(Geometry, AStripOnlyGeometryHasNoIndexBuffer)
{
    geometry_def_c definition = Definition();
    definition.AddPrimitiveSet(TriangleStrip(4));
    d3d_geometry_c geometry(device, "strip", definition, false);
    EXPECT_EQ(geometry.GetIndexBuffer(), nullptr);
    EXPECT_EQ(config.Count("CreateIndexBuffer"), 0u);
}

TEST_F(Geometry, VerticesArePackedInDeclarationOrder)
{
    vertex_c vertex;
    vertex.position = {1.0f, 2.0f, 3.0f};
    vertex.blendWeights[0] = 0.25f;
    vertex.blendWeights[1] = 0.75f;
    vertex.matrixIndices[0] = 7;
    vertex.normal = {0.0f, 1.0f, 0.0f};
    vertex.diffuse = 0xAABBCCDDu;
    vertex.texCoords[0][0] = 0.5f;
    vertex.texCoords[1][1] = 0.125f;
    vertex_format_c format;
    format.hasPosition = 1;
    format.blendWeightCount = 2;
    format.matrixIndexCount = 3;
    format.hasNormal = 1;
    format.hasDiffuse = 1;
    format.texCoordSetCount = 2;
    std::vector<u8> packed(format.GetStride());
    d3d_geometry_c::PackVertex(vertex, format, packed.data());
    f32 floats[12];
    std::memcpy(floats, packed.data(), 20);
    EXPECT_EQ(floats[3], 0.25f);
    EXPECT_EQ(floats[4], 0.75f);
    EXPECT_EQ(packed[20], 7);
    std::memcpy(floats, packed.data() + 24, 12);
    EXPECT_EQ(floats[1], 1.0f);
    u32 diffuse = 0;
    std::memcpy(&diffuse, packed.data() + 36, 4);
    EXPECT_EQ(diffuse, 0xAABBCCDDu);
    std::memcpy(floats, packed.data() + 40, 16);
    EXPECT_EQ(floats[0], 0.5f);
    EXPECT_EQ(floats[3], 0.125f);
}

TEST_F(Geometry, CreationFailuresGiveTheirMessages)
{
    const struct {
        const char* call;
        const char* message;
    } cases[] = {{"CreateVertexBuffer", "Could not create vertex buffer!"},
                 {"CreateIndexBuffer", "Could not create index buffer!"},
                 {"Lock", "Could not fill vertex buffer up!"}};
    for (const auto& c : cases) {
        config.ClearFailures();
        config.Fail(c.call);
        geometry_def_c definition = Definition();
        definition.AddPrimitiveSet(TriangleList(3, 1));
        try {
            d3d_geometry_c geometry(device, "failing", definition, false);
            ADD_FAILURE() << c.call;
        } catch (const d3d_error_c& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
    config.ClearFailures();
    config.Fail("Lock", E_FAIL, 1);
    geometry_def_c definition = Definition();
    definition.AddPrimitiveSet(TriangleList(3, 1));
    EXPECT_THROW(d3d_geometry_c(device, "index fill", definition, false), d3d_error_c);
}

TEST_F(Geometry, DynamicUpdatesRefillWithDiscardAndRefuseWhatDoesNotFit)
{
    geometry_def_c definition = Definition(true);
    definition.AddPrimitiveSet(TriangleList(6, 2));
    d3d_geometry_c geometry(device, "dynamic", definition, false);
    auto* buffer = static_cast<record_vertex_buffer_c*>(geometry.GetVertexBuffer());
    EXPECT_EQ(buffer->GetPool(), D3DPOOL_DEFAULT);
    EXPECT_NE(buffer->GetUsage() & D3DUSAGE_DYNAMIC, 0u);

    geometry_def_c smaller = Definition(true);
    smaller.AddPrimitiveSet(TriangleList(3, 1));
    geometry.Update(smaller);
    EXPECT_EQ(buffer->GetLastLockFlags(), D3DLOCK_DISCARD);
    EXPECT_EQ(geometry.GetGroups()[0].primitiveCount, 1u);

    const std::vector<d3d_group_s> before = geometry.GetGroups();
    geometry_def_c larger = Definition(true);
    larger.AddPrimitiveSet(TriangleList(9, 3));
    EXPECT_THROW(geometry.Update(larger), d3d_error_c);
    EXPECT_EQ(geometry.GetGroups(), before) << "a refused update keeps the old groups";

    geometry_def_c other = Definition(true);
    other.format.hasDiffuse = 1;
    other.AddPrimitiveSet(TriangleList(3, 1));
    EXPECT_THROW(geometry.Update(other), std::invalid_argument);
}

TEST_F(Geometry, GroupDrawsStayInsideTheirGroup)
{
    geometry_def_c definition = Definition();
    definition.AddPrimitiveSet(TriangleList(4, 2));
    definition.AddPrimitiveSet(TriangleStrip(6));
    d3d_geometry_c geometry(device, "draws", definition, false);
    cache.SetupPass(0, geometry.GetFormat(), {}, false, 0);
    cache.SetStreams(geometry.GetVertexBuffer(), geometry.GetStride(), nullptr, 0, geometry.GetIndexBuffer());
    device->BeginScene();
    geometry.DrawGroup(0, 1, 5);
    geometry.DrawGroup(1, 1, 10);
    geometry.DrawGroup(1, 4, 1);
    geometry.DrawGroup(0, 0, 0);
    geometry.DrawGroup(7, 0, 1);
    device->EndScene();
    ASSERT_EQ(rec->Draws().size(), 2u);
    EXPECT_EQ(rec->Draws()[0].call, "DrawIndexedPrimitive");
    EXPECT_EQ(rec->Draws()[0].start, 3u);
    EXPECT_EQ(rec->Draws()[0].count, 1u);
    EXPECT_EQ(rec->Draws()[1].call, "DrawPrimitive");
    EXPECT_EQ(rec->Draws()[1].start, 5u);
    EXPECT_EQ(rec->Draws()[1].count, 3u);
}

TEST_F(Geometry, TheFactoryChecksTheDeviceLimits)
{
    geometry_def_c broken = Definition();
    auto* set = TriangleList(3, 1);
    set->indices[0] = 9;
    broken.AddPrimitiveSet(set);
    try {
        delete CreateD3DGeometry(cache, "broken", broken);
        ADD_FAILURE();
    } catch (const d3d_error_c& error) {
        EXPECT_STREQ(error.what(), "Non integral geometry!");
    }

    config.caps.MaxPrimitiveCount = 100;
    ASSERT_TRUE(cache.Init(device, d3d_vp_hardware, 4, false, true, shaders.set, 1));
    geometry_def_c many = Definition();
    many.AddPrimitiveSet(TriangleList(50, 101));
    EXPECT_THROW(delete CreateD3DGeometry(cache, "many", many), d3d_error_c);
    geometry_def_c wide = Definition();
    wide.AddPrimitiveSet(TriangleList(101, 1));
    try {
        delete CreateD3DGeometry(cache, "wide", wide);
        ADD_FAILURE();
    } catch (const d3d_error_c& error) {
        EXPECT_STREQ(error.what(), "Maximum vertex count exceeded!");
    }
    geometry_def_c fits = Definition();
    fits.AddPrimitiveSet(TriangleList(100, 100));
    d3d_geometry_c* made = CreateD3DGeometry(cache, "fits", fits);
    EXPECT_EQ(made->GetGroups()[0].primitiveCount, 100u);
    delete made;
}

}
