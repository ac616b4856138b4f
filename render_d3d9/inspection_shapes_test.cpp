#include "render_d3d9/inspection_shapes.h"
#include "engine/bone.h"
#include "engine/bounding_box.h"
#include "engine/color.h"
#include "engine/light.h"
#include "engine/quad_volume.h"
#include "render_d3d9/testing/draw_fixture.h"

#include <functional>
#include <set>
#include <utility>

namespace {

// Every index within the vertices, and the edges as a set of unordered pairs.
std::set<std::pair<u16, u16>> Edges(const d3d_inspection_shape_s& _shape)
{
    std::set<std::pair<u16, u16>> edges;
    for (size_t i = 0; i + 1 < _shape.edges.size(); i += 2) {
        EXPECT_LT(_shape.edges[i], _shape.vertices.size());
        EXPECT_LT(_shape.edges[i + 1], _shape.vertices.size());
        edges.insert(std::minmax(_shape.edges[i], _shape.edges[i + 1]));
    }
    return edges;
}

TEST(InspectionShapes, CountsOfVerticesFacesAndEdges)
{
    const bounding_box_c box(vec3_c(-1.0f, -2.0f, -3.0f), vec3_c(1.0f, 2.0f, 3.0f));
    quad_volume_c quad;
    quad.Set(vec3_c(-1.0f, -1.0f, 0.0f), vec3_c(1.0f, 1.0f, 0.0f));
    const struct {
        const char* what;
        d3d_inspection_shape_s shape;
        size_t vertices, faces, edges;
    } cases[] = {
        {"bone", BoneShape(2.0f, 1), 6, 8, 12},          {"box", BoxShape(box, 1), 8, 12, 12},
        {"quad", QuadShape(quad, 1), 4, 0, 4},           {"point light", LightMarkerShape(true, 1), 6, 0, 3},
        {"lamp", LightMarkerShape(false, 1), 12, 0, 20},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.shape.vertices.size(), c.vertices) << c.what;
        EXPECT_EQ(c.shape.faces.size(), 3 * c.faces) << c.what;
        EXPECT_EQ(Edges(c.shape).size(), c.edges) << c.what << ": distinct edges";
        for (const u16 index : c.shape.faces) {
            EXPECT_LT(index, c.shape.vertices.size()) << c.what;
        }
        for (const auto& vertex : c.shape.vertices) {
            EXPECT_EQ(vertex.color, 1u) << c.what;
        }
    }
}

TEST(InspectionShapes, BoxFacesAndEdgesFollowTheCornerBits)
{
    const d3d_inspection_shape_s shape = BoxShape(bounding_box_c(vec3_c(0, 0, 0), vec3_c(1, 2, 3)), 0);
    for (const auto& [a, b] : Edges(shape)) {
        const u16 differ = a ^ b;
        EXPECT_TRUE(differ == 1 || differ == 2 || differ == 4) << a << "-" << b << " is no box edge";
    }
    for (size_t i = 0; i < shape.faces.size(); i += 3) {
        // The three corners of a face share one bit: they lie on one side.
        const u16 same =
            static_cast<u16>(~(shape.faces[i] ^ shape.faces[i + 1]) & ~(shape.faces[i] ^ shape.faces[i + 2]) & 7);
        EXPECT_NE(same, 0) << "face " << i / 3;
    }
    EXPECT_EQ(shape.vertices[7].x, 1.0f);
    EXPECT_EQ(shape.vertices[7].y, 2.0f);
    EXPECT_EQ(shape.vertices[7].z, 3.0f);
}

TEST(InspectionShapes, TheBoneRunsAlongZAndTheLampHasItsThreeSquares)
{
    const d3d_inspection_shape_s bone = BoneShape(5.0f, 0);
    EXPECT_EQ(bone.vertices.front().z, 0.0f);
    EXPECT_EQ(bone.vertices.back().z, 5.0f);
    EXPECT_FLOAT_EQ(bone.vertices[1].x, 0.5f);
    const d3d_inspection_shape_s lamp = LightMarkerShape(false, 0);
    const struct {
        u32 first;
        f32 half, z;
    } squares[] = {{0, 0.5f, -1.0f}, {4, 0.5f, 0.0f}, {8, 1.0f, 1.0f}};
    for (const auto& square : squares) {
        for (u32 i = square.first; i < square.first + 4; ++i) {
            EXPECT_EQ(std::abs(lamp.vertices[i].x), square.half);
            EXPECT_EQ(std::abs(lamp.vertices[i].y), square.half);
            EXPECT_EQ(lamp.vertices[i].z, square.z);
        }
    }
}

class InspectionDraw : public draw_fixture_c {
protected:
    void SetUp() override
    {
        draw_fixture_c::SetUp();
        MakeRenderer();
    }
};

TEST_F(InspectionDraw, ShapesDrawFacesBlendedThenEdgesAdded)
{
    bone_c bone("bone");
    bone.restLength = 2.0f;
    const bounding_box_c box(vec3_c(-1.0f, -1.0f, -1.0f), vec3_c(1.0f, 1.0f, 1.0f));
    quad_volume_c quad;
    quad.Set(vec3_c(-1.0f, -1.0f, 0.0f), vec3_c(1.0f, 1.0f, 0.0f));
    mat4x3_c matrix;
    matrix.SetTranslation(vec3_c(0.0f, 0.0f, 10.0f));
    const vec3_c color(0.75f, 0.5f, 0.75f);
    const struct {
        const char* what;
        std::function<void()> draw;
        D3DPRIMITIVETYPE faces;
        u32 faceCount, edgeCount;
        bool depthTest;
    } cases[] = {
        {"bone", [&] { renderer->DrawDebug24(&bone, color, 0.75f); }, D3DPT_TRIANGLELIST, 8, 12, false},
        {"box", [&] { renderer->DrawBox(box, color, 0.75f, matrix); }, D3DPT_TRIANGLELIST, 12, 12, true},
        {"quad", [&] { renderer->DrawQuadVolume(quad, color, 0.75f, matrix); }, D3DPT_TRIANGLESTRIP, 2, 4, true},
    };
    OpenLists();
    for (const auto& c : cases) {
        c.draw();
        const auto draws = NewDraws();
        ASSERT_EQ(draws.size(), 2u) << c.what;
        EXPECT_EQ(draws[0].type, c.faces) << c.what;
        EXPECT_EQ(draws[0].count, c.faceCount) << c.what;
        EXPECT_EQ(draws[1].type, D3DPT_LINELIST) << c.what;
        EXPECT_EQ(draws[1].count, c.edgeCount) << c.what;
        EXPECT_EQ(draws[1].indexFormat, D3DFMT_INDEX16) << c.what;
        ExpectBlend(*draws[0].state, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, c.what);
        ExpectBlend(*draws[1].state, true, D3DBLEND_SRCALPHA, D3DBLEND_ONE, c.what);
        const d3d9_device_state_c& state = *draws[1].state;
        EXPECT_EQ(state.renderStates[D3DRS_ZENABLE], c.depthTest ? D3DZB_TRUE : D3DZB_FALSE) << c.what;
        EXPECT_EQ(state.renderStates[D3DRS_ZWRITEENABLE], 0u) << c.what;
        EXPECT_EQ(state.renderStates[D3DRS_CLIPPING], 1u) << c.what;
        EXPECT_EQ(state.renderStates[D3DRS_COLORVERTEX], 1u) << c.what;
        EXPECT_EQ(state.renderStates[D3DRS_LIGHTING], 0u) << c.what;
        EXPECT_EQ(state.stageStates[0][D3DTSS_COLOROP], D3DTOP_DISABLE) << c.what;
        EXPECT_EQ(state.streams[0].buffer, nullptr) << c.what;
        EXPECT_NE(state.declaration, nullptr) << c.what;
        EXPECT_EQ(draws[1].stride, 16u) << c.what;
        const auto vertex = RecordedVertex<d3d_inspection_vertex_s>(draws[1], 0);
        EXPECT_EQ(vertex.color, ColorAlphaToBgra(0.75f, 0.5f, 0.75f, 0.25f)) << c.what;
    }
    const D3DMATRIX world = WidenMatrix(matrix);
    EXPECT_EQ(std::memcmp(&Device()->State().worldMatrices[0], &world, sizeof(world)), 0);
}

TEST_F(InspectionDraw, LightMarkersAreLinesAddedInTheLightsColour)
{
    light_c point("point");
    point.SetType(light_point);
    light_c lamp("lamp");
    OpenLists();
    renderer->DrawLightMarker(&point);
    renderer->DrawLightMarker(&lamp);
    const auto draws = NewDraws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].count, 3u) << "a point light: the three axes only";
    EXPECT_EQ(draws[1].count, 20u);
    for (const auto& draw : draws) {
        EXPECT_EQ(draw.type, D3DPT_LINELIST);
        ExpectBlend(*draw.state, true, D3DBLEND_ONE, D3DBLEND_ONE, "marker");
    }
    const vec3_c color = lamp.GetColor();
    EXPECT_EQ(RecordedVertex<d3d_inspection_vertex_s>(draws[1], 0).color,
              ColorAlphaToBgra(color.x, color.y, color.z, 1.0f));
}

TEST_F(InspectionDraw, ShapesAreDrawnOnlyWhileTheListsAre)
{
    const bounding_box_c box(vec3_c(-1.0f, -1.0f, -1.0f), vec3_c(1.0f, 1.0f, 1.0f));
    mat4x3_c matrix;
    matrix.SetIdentity();
    light_c light("light");
    renderer->DrawBox(box, vec3_c(), 0.0f, matrix);
    OpenLists();
    CloseLists();
    renderer->DrawBox(box, vec3_c(), 0.0f, matrix);
    renderer->DrawLightMarker(&light);
    renderer->DrawDebug24(nullptr, vec3_c(), 0.0f);
    EXPECT_TRUE(NewDraws().empty());
}

}
