#include "render_d3d9/draw_effects.h"
#include "engine/emitter.h"
#include "engine/trail.h"
#include "render_d3d9/draw_common.h"
#include "render_d3d9/testing/draw_fixture.h"

#include <cmath>
#include <limits>

namespace {

// The engine's emitter takes its map from image files; tests hand it one.
class test_emitter_c : public emitter_c {
public:
    using emitter_c::emitter_c;
    void TakeMap(map_c* _map) { map.reset(_map); }
};

class EffectDraw : public draw_fixture_c {
protected:
    void SetUp() override
    {
        draw_fixture_c::SetUp();
        MakeRenderer();
        emitter = std::make_unique<test_emitter_c>("smoke", renderer.get());
        emitter->SetParticleCount(4);
        emitter->SetParticleSize(2.0f, 6.0f);
        emitter->SetParticleColor(vec3_c(1.0f, 0.5f, 0.0f), vec3_c(0.0f, 0.5f, 1.0f));
        emitter->SetGravity(vec3_c(0.0f, -10.0f, 0.0f));
        trail = std::make_unique<trail_c>("vapour", renderer.get());
        trail->SetSegments(8);
        trail->SetLifetime(4.0f);
        object_list_t pass0, pass1;
        emitter->Cull(pass0, pass1, scene.get(), &camera, 0, 0);
        trail->Cull(pass0, pass1, scene.get(), &camera, 0, 0);
        ASSERT_NE(emitter->GetParticles(), nullptr);
        ASSERT_NE(trail->GetRibbon(), nullptr);
        NewDraws();
    }

    // Draws one or the other; the draws it made.
    std::vector<record_draw_s> Draw(bool _trail, f32 _time, bool _clip = false)
    {
        if (_trail) {
            renderer->DrawTrail(trail.get(), _time, _clip);
        } else {
            renderer->DrawParticles(emitter.get(), _time, _clip);
        }
        return NewDraws();
    }

    std::unique_ptr<test_emitter_c> emitter;
    std::unique_ptr<trail_c> trail;
};

void ExpectRegister(const d3d9_device_state_c& _state, u32 _register, std::array<f32, 4> _value)
{
    for (u32 i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(_state.vertexConstants[_register][i], _value[i]) << "c" << _register << "[" << i << "]";
    }
}

TEST_F(EffectDraw, BothDrawsShareTheirStatesAndDifferInShadingAndRow)
{
    const struct {
        bool trail;
        u32 row;
        DWORD shade;
    } cases[] = {{false, 1, D3DSHADE_FLAT}, {true, 2, D3DSHADE_GOURAUD}};
    OpenLists();
    for (const auto& c : cases) {
        const auto draws = Draw(c.trail, 1.0f, true);
        ASSERT_EQ(draws.size(), 1u) << c.row;
        const d3d9_device_state_c& state = *draws[0].state;
        EXPECT_TRUE(RunsVertexRow(state, c.row));
        EXPECT_EQ(state.pixelShader, nullptr);
        EXPECT_EQ(state.renderStates[D3DRS_SHADEMODE], c.shade);
        EXPECT_EQ(state.renderStates[D3DRS_CULLMODE], D3DCULL_NONE);
        EXPECT_EQ(state.renderStates[D3DRS_CLIPPING], 1u);
        EXPECT_EQ(state.renderStates[D3DRS_NORMALIZENORMALS], 0u);
        EXPECT_EQ(state.renderStates[D3DRS_ZENABLE], D3DZB_TRUE) << "scene and entity both test depth";
        EXPECT_EQ(state.renderStates[D3DRS_ZWRITEENABLE], 0u);
        EXPECT_EQ(state.renderStates[D3DRS_ZFUNC], D3DCMP_LESS);
        EXPECT_EQ(state.renderStates[D3DRS_STENCILENABLE], 0u);
        EXPECT_EQ(state.renderStates[D3DRS_ALPHATESTENABLE], 1u);
        EXPECT_EQ(state.renderStates[D3DRS_ALPHAREF], 2u);
        EXPECT_EQ(state.renderStates[D3DRS_ALPHABLENDENABLE], 1u);
        EXPECT_EQ(state.renderStates[D3DRS_SRCBLEND], D3DBLEND_SRCALPHA);
        EXPECT_EQ(state.renderStates[D3DRS_DESTBLEND], D3DBLEND_INVSRCALPHA);
        EXPECT_EQ(state.renderStates[D3DRS_SPECULARENABLE], 0u);
        EXPECT_EQ(state.renderStates[D3DRS_LIGHTING], 0u);
        EXPECT_EQ(state.renderStates[D3DRS_COLORVERTEX], 0u);
        EXPECT_EQ(state.renderStates[D3DRS_FOGENABLE], 0u) << "the scene has no fog";
        EXPECT_EQ(state.renderTargets[0], Device()->BackBuffer());
        EXPECT_EQ(state.renderTargets[1], nullptr);
        EXPECT_EQ(state.stageStates[0][D3DTSS_COLOROP], D3DTOP_DISABLE) << "no map, no stages";
        EXPECT_NE(state.declaration, nullptr);
        const mat4_c clip = WidenToMat4(camera.GetInverseMatrix()) * camera.GetProjection();
        for (u32 row = 0; row < 4; ++row) {
            ExpectRegister(state, row, {clip.m[0][row], clip.m[1][row], clip.m[2][row], clip.m[3][row]});
        }
    }
}

TEST_F(EffectDraw, ParticleRegistersCarryTimeGravitySizeAndColour)
{
    emitter->dissolve = 0.5f;
    scene->dissolve = 0.2f;
    OpenLists();
    const auto draws = Draw(false, 3.0f);
    ASSERT_EQ(draws.size(), 1u);
    const d3d9_device_state_c& state = *draws[0].state;
    const f32 kx = camera.GetHorizontalExtent();
    const f32 ky = camera.GetVerticalExtent();
    const f32 opacity = 0.5f * 0.8f;
    ExpectRegister(state, 8, {3.0f, 0.0f, 0.0f, 0.0f});
    ExpectRegister(state, 9, {0.0f, -5.0f, 0.0f, 1.0f});
    ExpectRegister(state, 10, {2.0f / kx, -2.0f / ky, 0.0f, 1.0f});
    ExpectRegister(state, 11, {4.0f / kx, -4.0f / ky, 0.0f, 1.0f});
    ExpectRegister(state, 12, {1.0f, 0.5f, 0.0f, opacity});
    ExpectRegister(state, 13, {-1.0f, 0.0f, 1.0f, -opacity});
    EXPECT_EQ(draws[0].count, 8u) << "every particle, two triangles each";
    EXPECT_EQ(draws[0].call, "DrawIndexedPrimitive");
}

TEST_F(EffectDraw, TrailRegistersCarryOpacityTimeLifetimeAndItsVectors)
{
    OpenLists();
    const auto draws = Draw(true, 2.0f);
    ASSERT_EQ(draws.size(), 1u);
    vec3_c first, second;
    trail->GetVectors(first, second);
    const d3d9_device_state_c& state = *draws[0].state;
    ExpectRegister(state, 8, {1.0f, 2.0f, 4.0f, 0.25f});
    ExpectRegister(state, 9, {first.x, first.y, first.z, 1.0f});
    ExpectRegister(state, 10, {second.x, second.y, second.z, 1.0f});
}

TEST_F(EffectDraw, AMapIsOneModulatingStageMipMappedByItsLevels)
{
    for (const bool mipmaps : {false, true}) {
        d3d_texture_c* texture = MakeTexture(format_a8r8g8b8, mipmaps);
        emitter->TakeMap(new test_map_c({texture}));
        OpenLists();
        const auto draws = Draw(false, 0.0f);
        ASSERT_EQ(draws.size(), 1u);
        const d3d9_device_state_c& state = *draws[0].state;
        EXPECT_EQ(state.textures[0], texture->GetD3DTexture());
        for (const auto type : {D3DTSS_COLOROP, D3DTSS_ALPHAOP}) {
            EXPECT_EQ(state.stageStates[0][type], D3DTOP_MODULATE);
        }
        EXPECT_EQ(state.stageStates[0][D3DTSS_COLORARG1], D3DTA_TEXTURE);
        EXPECT_EQ(state.stageStates[0][D3DTSS_COLORARG2], D3DTA_CURRENT);
        EXPECT_EQ(state.stageStates[0][D3DTSS_TEXCOORDINDEX], 0u);
        EXPECT_EQ(state.stageStates[1][D3DTSS_COLOROP], D3DTOP_DISABLE);
        EXPECT_EQ(state.samplerStates[0][D3DSAMP_MIPFILTER], mipmaps ? D3DTEXF_LINEAR : D3DTEXF_NONE);
        renderer->ResetRenderLists();
        renderer->EndScene();
    }
}

TEST_F(EffectDraw, AdditiveEntitiesAddAndTakeFogOnlyWithTheirFlag)
{
    scene->SetFlag(0x2000000, true);
    scene->fogEnd = 100.0f;
    emitter->SetFlags(emitter_additive);
    trail->SetFlags(trail_additive);
    OpenLists();
    for (const bool is_trail : {false, true}) {
        const auto draws = Draw(is_trail, 1.0f);
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0].state->renderStates[D3DRS_DESTBLEND], D3DBLEND_ONE) << is_trail;
        EXPECT_EQ(draws[0].state->renderStates[D3DRS_FOGENABLE], 1u);
        EXPECT_EQ(draws[0].state->renderStates[D3DRS_FOGCOLOR], 0u) << "additive passes fog to black";
    }
    emitter->ClearFlags(0x10 | 0x4);
    const auto draws = Draw(false, 1.0f);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].state->renderStates[D3DRS_FOGENABLE], 0u);
    EXPECT_EQ(draws[0].state->renderStates[D3DRS_ZENABLE], D3DZB_FALSE);
}

TEST_F(EffectDraw, NothingIsDrawnOutsideTheListsOrWithoutGeometry)
{
    EXPECT_TRUE(Draw(false, 1.0f).empty()) << "no scene set";
    OpenLists();
    EXPECT_TRUE(Draw(true, 1.0f).size() == 1u);
    emitter_c empty("empty", renderer.get());
    renderer->DrawParticles(&empty, 1.0f, false);
    renderer->DrawParticles(nullptr, 1.0f, false);
    renderer->DrawTrail(nullptr, 1.0f, false);
    EXPECT_TRUE(NewDraws().empty()) << "an empty particle set draws nothing";
}

TEST_F(EffectDraw, ValuesThatAreNotNumbersAreNeverSent)
{
    const f32 infinity = std::numeric_limits<f32>::infinity();
    d3d_effect_constants_s constants;
    EXPECT_TRUE(ParticleConstants(*emitter, 1.0f, 0.5f, 0.5f, 1.0f, constants));
    EXPECT_EQ(constants.count, 6u);
    EXPECT_FALSE(ParticleConstants(*emitter, 1.0f, 0.0f, 0.5f, 1.0f, constants)) << "a camera without extent";
    EXPECT_FALSE(ParticleConstants(*emitter, std::nanf(""), 0.5f, 0.5f, 1.0f, constants));
    EXPECT_FALSE(TrailConstants(*trail, infinity, 1.0f, constants));
    camera.zoom = infinity;
    camera.SetViewShape(*renderer);
    OpenLists();
    const u32 before = config.Count("SetVertexShaderConstantF");
    EXPECT_TRUE(Draw(false, 1.0f).empty());
    EXPECT_EQ(config.Count("SetVertexShaderConstantF"), before);
}

}
