#include "render_d3d9/glow.h"
#include "render_d3d9/testing/draw_fixture.h"

#include <cmath>
#include <cstring>
#include <numeric>

namespace {

TEST(GlowWeights, SumToTheStrengthOverFifteenTaps)
{
    for (const f32 strength : {1.0f, 2.0f, 0.3f}) {
        const auto weights = GlowWeights(strength);
        const f32 sum = std::accumulate(weights.begin() + 1, weights.end(), 0.0f) * 2.0f + weights[0];
        EXPECT_NEAR(sum, strength, 1e-6f * strength) << strength;
        for (u32 i = 1; i < d3d_glow_taps; ++i) {
            EXPECT_LT(weights[i], weights[i - 1]) << "falling away from the centre";
        }
    }
    const auto one = GlowWeights(1.0f);
    const auto two = GlowWeights(2.0f);
    for (u32 i = 0; i < d3d_glow_taps; ++i) {
        EXPECT_FLOAT_EQ(two[i], 2.0f * one[i]) << "a strength of 2 doubles every weight";
    }
    EXPECT_FLOAT_EQ(one[7] / one[0], std::exp(-0.05555500090122223f * 49.0f));
}

TEST(GlowWeights, TheSmallTargetIsAnEighthTruncated)
{
    const struct {
        d3d_screen_rect_s viewport, expected;
    } cases[] = {
        {{0, 0, 640, 480}, {0, 0, 80, 60}}, {{13, 17, 100, 50}, {1, 2, 12, 6}}, {{0, 0, 7, 100}, {0, 0, 0, 12}}};
    for (const auto& c : cases) {
        const d3d_screen_rect_s rect = GlowTargetRect(c.viewport);
        EXPECT_EQ(rect.x, c.expected.x);
        EXPECT_EQ(rect.y, c.expected.y);
        EXPECT_EQ(rect.width, c.expected.width);
        EXPECT_EQ(rect.height, c.expected.height);
    }
}

class Glow : public draw_fixture_c {
protected:
    void SetUp() override
    {
        flags |= d3d_flag_glow;
        draw_fixture_c::SetUp();
        MakeRenderer();
        ASSERT_NE(renderer->GetGlowBuffer(1), nullptr);
    }

    void ExpectPixelConstant(const d3d9_device_state_c& _state, const char* _name, u32 _index,
                             std::array<f32, 4> _value)
    {
        const i32 first = renderer->GetStateCache().PixelRegister(1, _name);
        ASSERT_GE(first, 0) << _name;
        for (u32 i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(_state.pixelConstants[first + _index][i], _value[i]) << _name << "[" << _index << "]";
        }
    }
};

TEST_F(Glow, BlursAcrossIntoTheEighthThenDownOntoTheImage)
{
    OpenLists();
    CloseLists();
    renderer->ApplyGlow(2.0f);
    const auto draws = NewDraws();
    ASSERT_EQ(draws.size(), 2u);
    const auto weights = GlowWeights(2.0f);
    const f32 du = 1.0f / 80.0f;
    const f32 dv = 1.0f / 60.0f;
    for (u32 pass = 0; pass < 2; ++pass) {
        const record_draw_s& draw = draws[pass];
        const d3d9_device_state_c& state = *draw.state;
        EXPECT_EQ(draw.call, "DrawPrimitiveUP");
        EXPECT_EQ(draw.type, D3DPT_TRIANGLESTRIP);
        EXPECT_EQ(draw.count, 2u);
        EXPECT_EQ(draw.stride, 48u);
        EXPECT_TRUE(RunsPixelEntry(state, 1));
        EXPECT_EQ(state.vertexShader, nullptr);
        EXPECT_EQ(state.fvf, D3DFVF_XYZRHW | D3DFVF_TEX4);
        EXPECT_EQ(state.renderStates[D3DRS_ZENABLE], D3DZB_FALSE);
        EXPECT_EQ(state.renderStates[D3DRS_STENCILENABLE], 0u);
        EXPECT_EQ(state.renderStates[D3DRS_ALPHATESTENABLE], 0u);
        EXPECT_EQ(state.renderStates[D3DRS_CLIPPING], 0u);
        EXPECT_EQ(state.renderStates[D3DRS_FILLMODE], D3DFILL_SOLID);
        EXPECT_EQ(state.renderStates[D3DRS_LIGHTING], 0u);
        EXPECT_EQ(state.stageStates[0][D3DTSS_COLOROP], D3DTOP_DISABLE) << "the pixel shader does the work";
        EXPECT_EQ(state.samplerStates[0][D3DSAMP_MIPFILTER], D3DTEXF_NONE);
        EXPECT_EQ(state.samplerStates[0][D3DSAMP_ADDRESSU], D3DTADDRESS_CLAMP);
        EXPECT_EQ(state.renderTargets[1], nullptr);
        for (u32 i = 0; i < d3d_glow_taps; ++i) {
            ExpectPixelConstant(state, "weight", i, {weights[i], weights[i], weights[i], 1.0f});
        }
        for (u32 k = 1; k < d3d_glow_taps; ++k) {
            ExpectPixelConstant(state, "delta", k - 1,
                                {pass == 0 ? k * du : 0.0f, pass == 0 ? 0.0f : k * dv, 0.0f, 1.0f});
        }
        const d3d_screen_glow_vertex_s first = RecordedVertex<d3d_screen_glow_vertex_s>(draw, 0);
        const d3d_screen_glow_vertex_s last = RecordedVertex<d3d_screen_glow_vertex_s>(draw, 3);
        EXPECT_EQ(first.x, -0.5f);
        EXPECT_EQ(first.y, -0.5f);
        EXPECT_EQ(first.z, 1.0f);
        EXPECT_EQ(first.rhw, d3d_screen_rhw);
        EXPECT_EQ(last.x, pass == 0 ? 79.5f : 639.5f);
        EXPECT_EQ(last.y, pass == 0 ? 59.5f : 479.5f);
        EXPECT_FLOAT_EQ(first.uv[0][0], -du);
        EXPECT_FLOAT_EQ(first.uv[1][0], du);
        EXPECT_FLOAT_EQ(first.uv[2][1], -dv);
        EXPECT_FLOAT_EQ(last.uv[3][0], 1.0f);
        EXPECT_FLOAT_EQ(last.uv[3][1], 1.0f + dv);
    }
    const d3d9_device_state_c& across = *draws[0].state;
    EXPECT_EQ(across.renderTargets[0], renderer->GetGlowBuffer(1)->GetSurface());
    EXPECT_EQ(across.viewport.Width, 80u);
    EXPECT_EQ(across.viewport.Height, 60u);
    EXPECT_EQ(across.renderStates[D3DRS_ALPHABLENDENABLE], 0u);
    EXPECT_EQ(across.textures[0], renderer->GetGlowBuffer(0)->GetD3DTexture());
    EXPECT_EQ(across.samplerStates[0][D3DSAMP_MAGFILTER], D3DTEXF_POINT);
    EXPECT_EQ(across.samplerStates[0][D3DSAMP_MINFILTER], D3DTEXF_POINT);
    const d3d9_device_state_c& down = *draws[1].state;
    EXPECT_EQ(down.renderTargets[0], Device()->BackBuffer());
    EXPECT_EQ(down.viewport.Width, 640u);
    EXPECT_EQ(down.viewport.Height, 480u);
    EXPECT_EQ(down.renderStates[D3DRS_ALPHABLENDENABLE], 1u);
    EXPECT_EQ(down.renderStates[D3DRS_SRCBLEND], D3DBLEND_ONE);
    EXPECT_EQ(down.renderStates[D3DRS_DESTBLEND], D3DBLEND_ONE);
    EXPECT_EQ(down.textures[0], renderer->GetGlowBuffer(1)->GetD3DTexture());
    EXPECT_EQ(down.samplerStates[0][D3DSAMP_MAGFILTER], D3DTEXF_LINEAR);
    EXPECT_EQ(down.samplerStates[0][D3DSAMP_MINFILTER], D3DTEXF_LINEAR);
}

TEST_F(Glow, BlursOnlyAfterTheListsOfAScene)
{
    renderer->ApplyGlow(1.0f);
    EXPECT_TRUE(NewDraws().empty()) << "outside a scene";
    OpenLists();
    renderer->ApplyGlow(1.0f);
    EXPECT_TRUE(NewDraws().empty()) << "while the lists are drawn";
    CloseLists();
    for (const f32 strength : {0.0f, -1.0f, std::nanf(""), INFINITY}) {
        renderer->ApplyGlow(strength);
        EXPECT_TRUE(NewDraws().empty()) << strength;
    }
    renderer->SetViewport(0.0f, 0.0f, 0.01f, 1.0f, 1.0f);
    renderer->ApplyGlow(1.0f);
    EXPECT_TRUE(NewDraws().empty()) << "a viewport under eight pixels wide";
}

TEST_F(Glow, RenderersWithoutGlowTargetsDoNotBlur)
{
    flags = d3d_flag_stencil;
    TearDown();
    draw_fixture_c::SetUp();
    MakeRenderer();
    OpenLists();
    CloseLists();
    renderer->ApplyGlow(1.0f);
    EXPECT_TRUE(NewDraws().empty());
}

}
