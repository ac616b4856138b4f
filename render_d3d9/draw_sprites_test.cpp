#include "render_d3d9/draw_sprites.h"
#include "engine/anim_sprite.h"
#include "engine/flare.h"
#include "render_d3d9/testing/draw_fixture.h"

#include <memory>

namespace {

class SpriteDraw : public draw_fixture_c {
protected:
    void SetUp() override
    {
        draw_fixture_c::SetUp();
        MakeRenderer();
        opaque = MakeTexture(format_x8r8g8b8);
        alpha = MakeTexture(format_a8r8g8b8, true);
        next = MakeTexture(format_x8r8g8b8);
    }

    // The one draw of the call.
    template <class call_t>
    record_draw_s DrawOnce(call_t _call)
    {
        _call();
        std::vector<record_draw_s> draws = NewDraws();
        EXPECT_EQ(draws.size(), 1u);
        return draws.empty() ? record_draw_s{} : draws.front();
    }

    d3d_texture_c* opaque = nullptr;
    d3d_texture_c* alpha = nullptr;
    d3d_texture_c* next = nullptr;
};

TEST_F(SpriteDraw, OpacityFlagsAndTextureAlphaChooseQuadBlendingDepthAndAlphaTest)
{
    const struct {
        const char* what;
        bool alphaTexture;
        f32 dissolve;
        u32 flags;
        f32 threshold;
        u32 quad;
        bool vertexColors, blend;
        D3DBLEND source, dest;
        bool depthWrite, alphaTest;
        DWORD alphaOp;
    } cases[] = {
        {"opaque", false, 0.0f, 0, 0.01f, 255, false, false, D3DBLEND_ONE, D3DBLEND_ZERO, true, false,
         D3DTOP_SELECTARG1},
        {"half dissolved", false, 0.5f, 0, 0.01f, 127, true, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, false,
         false, D3DTOP_MODULATE},
        {"alpha without blending", true, 0.0f, 0, 0.01f, 255, false, false, D3DBLEND_ONE, D3DBLEND_ZERO, true, true,
         D3DTOP_SELECTARG1},
        {"alpha without threshold", true, 0.0f, 0, 0.0f, 255, false, false, D3DBLEND_ONE, D3DBLEND_ZERO, true, false,
         D3DTOP_SELECTARG1},
        {"alpha blending", true, 0.0f, sprite_alpha_blending, 0.01f, 255, false, true, D3DBLEND_SRCALPHA,
         D3DBLEND_INVSRCALPHA, false, true, D3DTOP_SELECTARG1},
        {"additive", false, 0.0f, sprite_additive, 0.01f, 255, false, true, D3DBLEND_ONE, D3DBLEND_ONE, false, false,
         D3DTOP_SELECTARG1},
        {"additive dissolving", false, 0.25f, sprite_additive, 0.01f, 191, true, true, D3DBLEND_SRCALPHA, D3DBLEND_ONE,
         false, false, D3DTOP_MODULATE},
    };
    OpenLists();
    for (const auto& c : cases) {
        mapped_c<sprite_c> sprite(renderer.get(), {c.alphaTexture ? alpha : opaque});
        sprite.dissolve = c.dissolve;
        sprite.SetFlags(c.flags | object_depth_test);
        sprite.SetAlphaThreshold(c.threshold);
        sprite.UpdateBillboard(&camera);
        const record_draw_s draw = DrawOnce([&] { renderer->DrawSprite(&sprite, true); });
        ASSERT_NE(draw.state, nullptr) << c.what;
        const d3d9_device_state_c& state = *draw.state;
        EXPECT_EQ(draw.start, 6 * c.quad) << c.what;
        EXPECT_EQ(draw.count, 2u) << c.what;
        EXPECT_EQ(state.renderStates[D3DRS_COLORVERTEX], c.vertexColors ? 1u : 0u) << c.what;
        ExpectBlend(state, c.blend, c.source, c.dest, c.what);
        EXPECT_EQ(state.renderStates[D3DRS_ZWRITEENABLE], c.depthWrite ? 1u : 0u) << c.what;
        EXPECT_EQ(state.renderStates[D3DRS_ALPHATESTENABLE], c.alphaTest ? 1u : 0u) << c.what;
        EXPECT_EQ(state.stageStates[0][D3DTSS_COLOROP], D3DTOP_SELECTARG1) << c.what;
        EXPECT_EQ(state.stageStates[0][D3DTSS_COLORARG1], D3DTA_TEXTURE) << c.what;
        EXPECT_EQ(state.stageStates[0][D3DTSS_ALPHAOP], c.alphaOp) << c.what;
        EXPECT_EQ(state.stageStates[1][D3DTSS_COLOROP], D3DTOP_DISABLE) << c.what;
        EXPECT_EQ(state.textures[0], (c.alphaTexture ? alpha : opaque)->GetD3DTexture()) << c.what;
        EXPECT_EQ(state.samplerStates[0][D3DSAMP_MIPFILTER], c.alphaTexture ? D3DTEXF_LINEAR : D3DTEXF_NONE)
            << c.what << ": mip-mapped by the level count";
    }
}

TEST_F(SpriteDraw, SpritesDrawTheSharedQuadsWithTheirBillboardAndPlainStates)
{
    OpenLists();
    mapped_c<sprite_c> sprite(renderer.get(), {opaque});
    sprite.SetFlags(object_depth_test);
    sprite.SetAlphaThreshold(0.5f);
    sprite.UpdateBillboard(&camera);
    const record_draw_s draw = DrawOnce([&] { renderer->DrawSprite(&sprite, false); });
    ASSERT_NE(draw.state, nullptr);
    const d3d9_device_state_c& state = *draw.state;
    EXPECT_EQ(state.streams[0].buffer, renderer->GetSpriteGeometry()->GetVertexBuffer());
    EXPECT_EQ(state.indices, renderer->GetSpriteGeometry()->GetIndexBuffer());
    const D3DMATRIX world = WidenMatrix(sprite.GetWorldMatrix());
    EXPECT_EQ(std::memcmp(&state.worldMatrices[0], &world, sizeof(world)), 0);
    EXPECT_EQ(state.vertexShader, nullptr);
    EXPECT_EQ(state.pixelShader, nullptr);
    EXPECT_EQ(state.renderStates[D3DRS_CULLMODE], D3DCULL_NONE);
    EXPECT_EQ(state.renderStates[D3DRS_CLIPPING], 0u);
    EXPECT_EQ(state.renderStates[D3DRS_ZENABLE], D3DZB_TRUE);
    EXPECT_EQ(state.renderStates[D3DRS_ZFUNC], D3DCMP_LESS);
    EXPECT_EQ(state.renderStates[D3DRS_SHADEMODE], D3DSHADE_FLAT);
    EXPECT_EQ(state.renderStates[D3DRS_LIGHTING], 0u);
    EXPECT_EQ(state.renderTargets[0], Device()->BackBuffer());

    flare_c flare("flare", renderer.get());
    EXPECT_TRUE(NewDraws().empty());
    renderer->DrawSprite(&flare, false);
    EXPECT_TRUE(NewDraws().empty()) << "a flare without a map draws nothing";
    mapped_c<flare_c> mapped(renderer.get(), {opaque});
    const record_draw_s flare_draw = DrawOnce([&] { renderer->DrawSprite(&mapped, false); });
    ASSERT_NE(flare_draw.state, nullptr);
    EXPECT_EQ(flare_draw.state->renderStates[D3DRS_DESTBLEND], D3DBLEND_ONE) << "flares are additive";
}

TEST_F(SpriteDraw, FilteredAnimatedSpritesBlendTheFrameWithTheNext)
{
    OpenLists();
    mapped_c<anim_sprite_c> sprite(renderer.get(), {opaque, next});
    sprite.UpdateBillboard(&camera);
    record_draw_s draw = DrawOnce([&] { renderer->DrawAnimSprite(&sprite, 0.25f, false); });
    ASSERT_NE(draw.state, nullptr);
    const DWORD quarter = 63;
    EXPECT_EQ(draw.state->renderStates[D3DRS_TEXTUREFACTOR], quarter * 0x01010101u);
    EXPECT_EQ(draw.state->textures[0], opaque->GetD3DTexture()) << "75 % of the frame at the time";
    EXPECT_EQ(draw.state->textures[1], next->GetD3DTexture()) << "25 % of the one a time unit later";
    for (const auto side : {0, 1}) {
        const DWORD op = side == 0 ? D3DTSS_COLOROP : D3DTSS_ALPHAOP;
        const DWORD arg1 = side == 0 ? D3DTSS_COLORARG1 : D3DTSS_ALPHAARG1;
        const DWORD arg2 = side == 0 ? D3DTSS_COLORARG2 : D3DTSS_ALPHAARG2;
        const DWORD arg0 = side == 0 ? D3DTSS_COLORARG0 : D3DTSS_ALPHAARG0;
        EXPECT_EQ(draw.state->stageStates[0][op], D3DTOP_MODULATE);
        EXPECT_EQ(draw.state->stageStates[0][arg1], D3DTA_TEXTURE);
        EXPECT_EQ(draw.state->stageStates[0][arg2], D3DTA_TFACTOR | D3DTA_COMPLEMENT);
        EXPECT_EQ(draw.state->stageStates[1][op], D3DTOP_MULTIPLYADD);
        EXPECT_EQ(draw.state->stageStates[1][arg0], D3DTA_CURRENT);
        EXPECT_EQ(draw.state->stageStates[1][arg1], D3DTA_TEXTURE);
        EXPECT_EQ(draw.state->stageStates[1][arg2], D3DTA_TFACTOR);
    }
    EXPECT_EQ(draw.state->stageStates[2][D3DTSS_COLOROP], D3DTOP_DISABLE);
    EXPECT_EQ(draw.state->renderStates[D3DRS_COLORVERTEX], 0u);
    EXPECT_EQ(draw.start, 6 * 255u);

    sprite.dissolve = 0.5f;
    draw = DrawOnce([&] { renderer->DrawAnimSprite(&sprite, 0.25f, false); });
    ASSERT_NE(draw.state, nullptr);
    const DWORD alpha_byte = static_cast<DWORD>(0.75f * 0.5f * 255.0f);
    EXPECT_EQ(draw.state->renderStates[D3DRS_TEXTUREFACTOR], alpha_byte << 24 | quarter * 0x010101u);
    EXPECT_EQ(draw.state->stageStates[0][D3DTSS_COLORARG2], D3DTA_TFACTOR | D3DTA_COMPLEMENT);
    EXPECT_EQ(draw.state->stageStates[0][D3DTSS_ALPHAARG2], D3DTA_TFACTOR);
    EXPECT_EQ(draw.state->stageStates[1][D3DTSS_ALPHAOP], D3DTOP_MULTIPLYADD);
    EXPECT_EQ(draw.state->stageStates[1][D3DTSS_ALPHAARG2], D3DTA_DIFFUSE);
    EXPECT_EQ(draw.state->renderStates[D3DRS_COLORVERTEX], 1u);
    EXPECT_EQ(draw.start, 6 * 127u);
}

TEST_F(SpriteDraw, WithoutFilteringOrMultiplyAddAnimatedSpritesShowOneFrame)
{
    const struct {
        const char* what;
        bool filtering;
        DWORD textureOps;
    } cases[] = {{"filtering off", false, ~0u}, {"no MULTIPLYADD", true, ~D3DTEXOPCAPS_MULTIPLYADD}};
    for (const auto& c : cases) {
        config.caps.TextureOpCaps = c.textureOps;
        TearDown();
        SetUp();
        OpenLists();
        mapped_c<anim_sprite_c> sprite(renderer.get(), {opaque, next});
        if (!c.filtering) {
            sprite.ClearFlags(anim_sprite_filtering);
        }
        sprite.dissolve = 0.5f;
        const record_draw_s draw = DrawOnce([&] { renderer->DrawAnimSprite(&sprite, 1.25f, false); });
        ASSERT_NE(draw.state, nullptr) << c.what;
        EXPECT_EQ(draw.state->textures[0], next->GetD3DTexture()) << c.what;
        EXPECT_EQ(draw.state->stageStates[0][D3DTSS_ALPHAOP], D3DTOP_MODULATE) << c.what;
        EXPECT_EQ(draw.state->stageStates[0][D3DTSS_ALPHAARG2], D3DTA_DIFFUSE) << c.what;
        EXPECT_EQ(draw.state->stageStates[1][D3DTSS_COLOROP], D3DTOP_DISABLE) << c.what;
    }
}

TEST_F(SpriteDraw, NothingIsDrawnOutsideTheListsOrWithoutAMap)
{
    mapped_c<sprite_c> sprite(renderer.get(), {opaque});
    renderer->BeginScene();
    renderer->DrawSprite(&sprite, false);
    EXPECT_TRUE(NewDraws().empty()) << "before SetScene";
    renderer->SetScene(scene.get(), &camera, {}, nullptr);
    sprite_c bare("bare", renderer.get());
    renderer->DrawSprite(&bare, false);
    renderer->DrawSprite(nullptr, false);
    renderer->DrawAnimSprite(nullptr, 0.0f, false);
    mapped_c<sprite_c> empty(renderer.get(), {});
    renderer->DrawSprite(&empty, false);
    EXPECT_TRUE(NewDraws().empty()) << "no map, or a map without frames";
    renderer->ResetRenderLists();
    renderer->DrawSprite(&sprite, false);
    EXPECT_TRUE(NewDraws().empty()) << "after the lists";
}

TEST(SpriteQuad, OpacityPicksTheQuad)
{
    const struct {
        f32 dissolve, scene;
        u32 index;
        bool vertexColors;
    } cases[] = {{0.0f, 1.0f, 255, false},      {0.5f, 1.0f, 127, true},   {0.0f, 0.5f, 127, true},
                 {1.0f, 1.0f, 0, true},         {-1.0f, 1.0f, 255, false}, {2.0f, 1.0f, 0, true},
                 {std::nanf(""), 1.0f, 0, true}};
    for (const auto& c : cases) {
        const d3d_sprite_quad_s quad = SpriteQuad(c.dissolve, c.scene);
        EXPECT_EQ(quad.index, c.index) << c.dissolve << " " << c.scene;
        EXPECT_EQ(quad.vertexColors, c.vertexColors) << c.dissolve << " " << c.scene;
        EXPECT_GE(quad.opacity, 0.0f);
        EXPECT_LE(quad.opacity, 1.0f);
    }
}

}
