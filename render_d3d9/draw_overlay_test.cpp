#include "render_d3d9/draw_overlay.h"
#include "engine/color.h"
#include "engine/font_def.h"
#include "engine/font_handle.h"
#include "render_d3d9/testing/draw_fixture.h"

#include <cmath>
#include <cstring>

namespace {

TEST(OverlayBlend, AddingMultiplyingAndBlendingChooseTheFactors)
{
    const struct {
        bool additive, multiply, blend;
        d3d_overlay_blend_s expected;
    } cases[] = {
        {false, false, false, {false, D3DBLEND_ONE, D3DBLEND_ZERO}},
        {false, false, true, {true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA}},
        {true, false, false, {true, D3DBLEND_ONE, D3DBLEND_ONE}},
        {true, false, true, {true, D3DBLEND_SRCALPHA, D3DBLEND_ONE}},
        {false, true, false, {true, D3DBLEND_DESTCOLOR, D3DBLEND_ZERO}},
        {false, true, true, {true, D3DBLEND_DESTCOLOR, D3DBLEND_INVSRCALPHA}},
        {true, true, false, {true, D3DBLEND_DESTCOLOR, D3DBLEND_ONE}},
        {true, true, true, {true, D3DBLEND_DESTCOLOR, D3DBLEND_ONE}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OverlayBlend(c.additive, c.multiply, c.blend), c.expected) << c.additive << c.multiply << c.blend;
    }
}

class Overlay : public draw_fixture_c {
protected:
    void SetUp() override
    {
        draw_fixture_c::SetUp();
        MakeRenderer();
        opaque = MakeTexture(format_x8r8g8b8);
        alpha = MakeTexture(format_a8r8g8b8);
        grey = MakeTexture(format_l8);
    }

    // Inside the scene, past its lists: where overlays draw.
    void AfterLists()
    {
        OpenLists();
        CloseLists();
        NewDraws();
    }

    // The states every overlay draw shares; the draw's state.
    const d3d9_device_state_c& ExpectOverlay(const record_draw_s& _draw, bool _textured, const char* _what)
    {
        const d3d9_device_state_c& state = *_draw.state;
        EXPECT_EQ(_draw.call, "DrawPrimitiveUP") << _what;
        EXPECT_EQ(_draw.type, D3DPT_TRIANGLESTRIP) << _what;
        EXPECT_EQ(_draw.count, 2u) << _what;
        EXPECT_EQ(_draw.stride, _textured ? 28u : 20u) << _what;
        EXPECT_EQ(state.fvf, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | (_textured ? D3DFVF_TEX1 : 0)) << _what;
        EXPECT_EQ(state.vertexShader, nullptr) << _what;
        EXPECT_EQ(state.pixelShader, nullptr) << _what;
        EXPECT_EQ(state.streams[0].buffer, nullptr) << _what;
        EXPECT_EQ(state.renderTargets[0], Device()->BackBuffer()) << _what;
        EXPECT_EQ(state.viewport.Width, 640u) << _what;
        EXPECT_EQ(state.renderStates[D3DRS_CLIPPING], 0u) << _what;
        EXPECT_EQ(state.renderStates[D3DRS_CULLMODE], D3DCULL_NONE) << _what;
        EXPECT_EQ(state.renderStates[D3DRS_FILLMODE], D3DFILL_SOLID) << _what;
        EXPECT_EQ(state.renderStates[D3DRS_COLORVERTEX], 1u) << _what;
        EXPECT_EQ(state.renderStates[D3DRS_LIGHTING], 0u) << _what;
        EXPECT_EQ(state.renderStates[D3DRS_FOGENABLE], 0u) << _what;
        return state;
    }

    d3d_texture_c* opaque = nullptr;
    d3d_texture_c* alpha = nullptr;
    d3d_texture_c* grey = nullptr;
};

TEST_F(Overlay, MapsCoverTheViewportBlendedByOpacityAlphaAndFlags)
{
    const struct {
        const char* what;
        bool alphaTexture;
        f32 transparency, additive, multiply;
        bool blend;
        D3DBLEND source, dest;
    } cases[] = {
        {"opaque", false, 0.0f, 0.0f, 0.0f, false, D3DBLEND_ONE, D3DBLEND_ZERO},
        {"half", false, 0.5f, 0.0f, 0.0f, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
        {"alpha texture", true, 0.0f, 0.0f, 0.0f, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
        {"additive", false, 0.0f, 1.0f, 0.0f, true, D3DBLEND_ONE, D3DBLEND_ONE},
        {"multiply", false, 0.0f, 0.0f, 1.0f, true, D3DBLEND_DESTCOLOR, D3DBLEND_ZERO},
        {"additive half", false, 0.25f, 1.0f, 0.0f, true, D3DBLEND_SRCALPHA, D3DBLEND_ONE},
    };
    AfterLists();
    for (const auto& c : cases) {
        test_map_c map({c.alphaTexture ? alpha : opaque});
        renderer->DrawMap(map, c.transparency, c.additive, c.multiply);
        const auto draws = NewDraws();
        ASSERT_EQ(draws.size(), 1u) << c.what;
        const d3d9_device_state_c& state = ExpectOverlay(draws[0], true, c.what);
        EXPECT_EQ(state.renderStates[D3DRS_ZENABLE], D3DZB_FALSE) << c.what;
        ExpectBlend(state, c.blend, c.source, c.dest, c.what);
        EXPECT_EQ(state.renderStates[D3DRS_ALPHATESTENABLE], c.alphaTexture ? 1u : 0u) << c.what;
        if (c.alphaTexture) {
            EXPECT_EQ(state.renderStates[D3DRS_ALPHAREF], 2u);
        }
        EXPECT_EQ(state.textures[0], (c.alphaTexture ? alpha : opaque)->GetD3DTexture()) << c.what;
        EXPECT_EQ(state.stageStates[0][D3DTSS_COLOROP], D3DTOP_SELECTARG1) << c.what;
        EXPECT_EQ(state.stageStates[0][D3DTSS_COLORARG1], D3DTA_TEXTURE) << c.what;
        EXPECT_EQ(state.stageStates[0][D3DTSS_ALPHAOP], c.alphaTexture ? D3DTOP_MODULATE : D3DTOP_SELECTARG1) << c.what;
        EXPECT_EQ(state.stageStates[0][D3DTSS_ALPHAARG1], c.alphaTexture ? D3DTA_TEXTURE : D3DTA_DIFFUSE) << c.what;
        EXPECT_EQ(state.stageStates[1][D3DTSS_COLOROP], D3DTOP_DISABLE) << c.what;
        const auto first = RecordedVertex<d3d_screen_textured_vertex_s>(draws[0], 0);
        const auto last = RecordedVertex<d3d_screen_textured_vertex_s>(draws[0], 3);
        EXPECT_EQ(first.color, ColorAlphaToBgra(1.0f, 1.0f, 1.0f, 1.0f - c.transparency)) << c.what;
        EXPECT_EQ(first.x, -0.5f);
        EXPECT_EQ(first.u, 0.0f);
        EXPECT_EQ(first.v, 0.0f);
        EXPECT_EQ(last.x, 639.5f);
        EXPECT_EQ(last.y, 479.5f);
        EXPECT_EQ(last.u, 1.0f);
        EXPECT_EQ(last.v, 1.0f);
    }
    test_map_c map({opaque});
    renderer->DrawMap(map, 1.0f, 0.0f, 0.0f);
    renderer->DrawMap(map, std::nanf(""), 0.0f, 0.0f);
    EXPECT_TRUE(NewDraws().empty()) << "a wholly transparent map draws nothing";
}

TEST_F(Overlay, ThresholdedMapsRevealMoreAlphaAsTheThresholdRises)
{
    const struct {
        const char* what;
        bool greyTexture;
        f32 threshold, additive, multiply;
        DWORD reference;
        DWORD colorArgument;
        bool blend;
        D3DBLEND source, dest;
    } cases[] = {
        {"colour, low threshold", false, 0.25f, 0.0f, 0.0f, 191, D3DTA_TEXTURE, false, D3DBLEND_ONE, D3DBLEND_ZERO},
        {"grey, high threshold", true, 0.75f, 0.0f, 0.0f, 63, D3DTA_DIFFUSE, false, D3DBLEND_ONE, D3DBLEND_ZERO},
        {"additive", false, 1.0f, 1.0f, 0.0f, 0, D3DTA_TEXTURE, true, D3DBLEND_ONE, D3DBLEND_ONE},
        {"multiply", false, 2.0f, 0.0f, 1.0f, 0, D3DTA_TEXTURE, true, D3DBLEND_DESTCOLOR, D3DBLEND_ZERO},
    };
    AfterLists();
    for (const auto& c : cases) {
        test_map_c map({c.greyTexture ? grey : opaque});
        renderer->DrawMap31(map, 1.0f, c.threshold, c.additive, c.multiply);
        const auto draws = NewDraws();
        ASSERT_EQ(draws.size(), 1u) << c.what;
        const d3d9_device_state_c& state = ExpectOverlay(draws[0], true, c.what);
        EXPECT_EQ(state.renderStates[D3DRS_ALPHATESTENABLE], 1u) << c.what;
        EXPECT_EQ(state.renderStates[D3DRS_ALPHAREF], c.reference) << c.what;
        EXPECT_EQ(state.stageStates[0][D3DTSS_COLORARG1], c.colorArgument) << c.what;
        EXPECT_EQ(state.stageStates[0][D3DTSS_ALPHAOP], D3DTOP_SELECTARG1) << c.what;
        EXPECT_EQ(state.stageStates[0][D3DTSS_ALPHAARG1], D3DTA_TEXTURE) << c.what;
        ExpectBlend(state, c.blend, c.source, c.dest, c.what);
        EXPECT_EQ(RecordedVertex<d3d_screen_textured_vertex_s>(draws[0], 2).color, 0xFFFFFFFFu) << c.what;
    }
    test_map_c map({opaque});
    renderer->DrawMap31(map, 0.0f, 0.5f, 0.0f, 0.0f);
    EXPECT_TRUE(NewDraws().empty()) << "a value of 0 draws nothing";
}

TEST_F(Overlay, FillsWriteTheColourDepthAndStencilAsked)
{
    const struct {
        const char* what;
        bool colorMasks;
        f32 writeColor, writeDepth, writeStencil;
        DWORD channels;
        bool blend;
    } cases[] = {
        {"colour", true, 1.0f, 0.0f, 0.0f, 0xF, false},
        {"depth with channel masks", true, 0.0f, 1.0f, 0.0f, 0x0, false},
        {"depth without channel masks", false, 0.0f, 1.0f, 0.0f, 0xF, true},
        {"stencil", true, 0.0f, 0.0f, 1.0f, 0x0, false},
        {"all three", true, 1.0f, 1.0f, 1.0f, 0xF, false},
    };
    for (const auto& c : cases) {
        config.caps.PrimitiveMiscCaps = c.colorMasks ? config.caps.PrimitiveMiscCaps | D3DPMISCCAPS_COLORWRITEENABLE
                                                     : config.caps.PrimitiveMiscCaps & ~D3DPMISCCAPS_COLORWRITEENABLE;
        TearDown();
        SetUp();
        AfterLists();
        renderer->DrawDebug28(0.5f, 7.9f, c.writeColor, c.writeDepth, c.writeStencil);
        const auto draws = NewDraws();
        ASSERT_EQ(draws.size(), 1u) << c.what;
        const d3d9_device_state_c& state = ExpectOverlay(draws[0], false, c.what);
        EXPECT_EQ(state.renderStates[D3DRS_COLORWRITEENABLE], c.channels) << c.what;
        ExpectBlend(state, c.blend, D3DBLEND_ZERO, D3DBLEND_ONE, c.what);
        EXPECT_EQ(state.renderStates[D3DRS_ALPHATESTENABLE], 0u) << c.what;
        const bool depth = c.writeDepth != 0.0f;
        EXPECT_EQ(state.renderStates[D3DRS_ZENABLE], depth ? D3DZB_TRUE : D3DZB_FALSE) << c.what;
        EXPECT_EQ(state.renderStates[D3DRS_ZWRITEENABLE], depth ? 1u : 0u) << c.what;
        if (depth) {
            EXPECT_EQ(state.renderStates[D3DRS_ZFUNC], D3DCMP_ALWAYS) << c.what;
        }
        const bool stencil = c.writeStencil != 0.0f;
        EXPECT_EQ(state.renderStates[D3DRS_STENCILENABLE], stencil ? 1u : 0u) << c.what;
        if (stencil) {
            EXPECT_EQ(state.renderStates[D3DRS_STENCILREF], 7u) << c.what;
            EXPECT_EQ(state.renderStates[D3DRS_STENCILFUNC], D3DCMP_ALWAYS) << c.what;
            for (const auto op : {D3DRS_STENCILPASS, D3DRS_STENCILFAIL, D3DRS_STENCILZFAIL}) {
                EXPECT_EQ(state.renderStates[op], D3DSTENCILOP_REPLACE) << c.what;
            }
            EXPECT_EQ(state.renderStates[D3DRS_TWOSIDEDSTENCILMODE], 0u) << c.what;
        }
        EXPECT_EQ(state.stageStates[0][D3DTSS_COLOROP], D3DTOP_DISABLE) << c.what;
        EXPECT_EQ(RecordedVertex<d3d_screen_vertex_s>(draws[0], 1).color, ColorAlphaToBgra(0.5f, 0.5f, 0.5f, 1.0f));
        renderer->DrawDebug28(0.5f, 0.0f, 0.0f, 0.0f, 0.0f);
        EXPECT_TRUE(NewDraws().empty()) << "nothing to write";
    }
}

TEST_F(Overlay, StencilFillsNeedARendererThatAskedForAStencil)
{
    flags = 0;
    TearDown();
    SetUp();
    AfterLists();
    renderer->DrawDebug28(1.0f, 1.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_TRUE(NewDraws().empty());
}

TEST_F(Overlay, ColourFillsBlendByOpacityAndFlags)
{
    const struct {
        f32 transparency, additive, multiply;
        d3d_overlay_blend_s blend;
    } cases[] = {
        {0.0f, 0.0f, 0.0f, {false, D3DBLEND_ONE, D3DBLEND_ZERO}},
        {0.5f, 0.0f, 0.0f, {true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA}},
        {0.0f, 1.0f, 0.0f, {true, D3DBLEND_ONE, D3DBLEND_ONE}},
        {0.0f, 0.0f, 1.0f, {true, D3DBLEND_DESTCOLOR, D3DBLEND_ZERO}},
    };
    AfterLists();
    for (const auto& c : cases) {
        renderer->DrawDebug30(0.25f, c.transparency, c.additive, c.multiply);
        const auto draws = NewDraws();
        ASSERT_EQ(draws.size(), 1u);
        const d3d9_device_state_c& state = ExpectOverlay(draws[0], false, "fill");
        ExpectBlend(state, c.blend.enable, c.blend.source, c.blend.dest, "");
        EXPECT_EQ(state.renderStates[D3DRS_ZENABLE], D3DZB_FALSE);
        EXPECT_EQ(state.renderStates[D3DRS_STENCILENABLE], 0u);
        EXPECT_EQ(RecordedVertex<d3d_screen_vertex_s>(draws[0], 0).color,
                  ColorAlphaToBgra(0.25f, 0.25f, 0.25f, 1.0f - c.transparency));
    }
    renderer->DrawDebug30(0.25f, 1.0f, 0.0f, 0.0f);
    EXPECT_TRUE(NewDraws().empty());
}

TEST_F(Overlay, OverlaysDrawOnlyAfterTheListsOverAViewport)
{
    test_map_c map({opaque});
    const auto all = [&] {
        renderer->DrawMap(map, 0.0f, 0.0f, 0.0f);
        renderer->DrawMap31(map, 1.0f, 0.5f, 0.0f, 0.0f);
        renderer->DrawDebug28(1.0f, 0.0f, 1.0f, 0.0f, 0.0f);
        renderer->DrawDebug30(1.0f, 0.0f, 0.0f, 0.0f);
        return NewDraws().size();
    };
    EXPECT_EQ(all(), 0u) << "outside a scene";
    OpenLists();
    EXPECT_EQ(all(), 0u) << "inside the lists";
    CloseLists();
    EXPECT_EQ(all(), 4u);
    test_map_c empty({});
    renderer->DrawMap(empty, 0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(NewDraws().empty()) << "a map without frames";
    renderer->SetViewport(0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(all(), 0u) << "a viewport of no size";
}

TEST_F(Overlay, TextsDrawAfterTheListsInTheirOwnStates)
{
    font_handle_c font(font_def_c("DejaVu Sans", 12.0f), renderer.get());
    OpenLists();
    renderer->DrawText(&font, 10, 10, 200, 40, "Ab", vec3_c(1.0f, 1.0f, 1.0f), 0.0f);
    EXPECT_TRUE(NewDraws().empty()) << "inside the lists";
    CloseLists();
    renderer->DrawText(&font, 10, 10, 200, 40, "Ab", vec3_c(1.0f, 0.0f, 0.0f), 0.5f);
    const auto draws = NewDraws();
    ASSERT_EQ(draws.size(), 1u);
    u32 color = 0;
    std::memcpy(&color, draws[0].vertices.data() + 16, 4);
    EXPECT_EQ(color, ColorAlphaToBgra(1.0f, 0.0f, 0.0f, 0.5f));
    const d3d9_device_state_c& after = Device()->State();
    EXPECT_EQ(after.renderStates[D3DRS_ALPHATESTENABLE], 1u);
    EXPECT_EQ(after.renderStates[D3DRS_ALPHAREF], 2u);
    EXPECT_EQ(after.renderStates[D3DRS_ALPHABLENDENABLE], 0u);
    EXPECT_EQ(after.renderStates[D3DRS_ZENABLE], D3DZB_FALSE);
    EXPECT_EQ(after.renderStates[D3DRS_CLIPPING], 1u);
    EXPECT_EQ(after.renderStates[D3DRS_STENCILENABLE], 0u);
    EXPECT_EQ(after.renderTargets[0], Device()->BackBuffer());

    renderer->DrawTextB(&font, 100000, -2000000000, 2000000000, 2000000000, "far away", vec3_c(), 0.0f);
    for (const record_draw_s& draw : NewDraws()) {
        for (size_t at = 0; at + 4 <= draw.vertices.size(); at += 4) {
            f32 value = 0.0f;
            std::memcpy(&value, draw.vertices.data() + at, 4);
            EXPECT_FALSE(std::isnan(value)) << "text outside the viewport is the device's to clip";
        }
    }
    renderer->DrawText(&font, 0, 0, 10, 10, nullptr, vec3_c(), 0.0f);
    renderer->DrawText(nullptr, 0, 0, 10, 10, "x", vec3_c(), 0.0f);
    renderer->SetViewport(0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    renderer->DrawText(&font, 0, 0, 10, 10, "x", vec3_c(), 0.0f);
    EXPECT_TRUE(NewDraws().empty()) << "no text, no font or no viewport";
}

}
