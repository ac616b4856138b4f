#include "render_d3d9/state_cache.h"
#include "engine/light.h"
#include "render_d3d9/testing/record_fixture.h"
#include "render_d3d9/testing/test_shaders.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

namespace {

class StateCache : public record_fixture_c {
protected:
    // A cache on a fresh device with the test shader set.
    bool Start(DWORD _behaviour = D3DCREATE_HARDWARE_VERTEXPROCESSING, u32 _processing = d3d_vp_hardware,
               bool _wbuffer = false, bool _stencil = true)
    {
        Make(_behaviour);
        const bool ready = cache.Init(device, _processing, 4, _wbuffer, _stencil, shaders.set, 1);
        config.ClearLog();
        return ready;
    }
    DWORD RenderState(D3DRENDERSTATETYPE _state) const { return rec->State().renderStates[_state]; }

    test_shader_set_s shaders = MakeTestShaderSet();
    d3d_state_cache_c cache;
};

vertex_format_c Format(bool _position, u32 _weights, u32 _indices, bool _normal, bool _diffuse, u32 _sets)
{
    vertex_format_c format;
    format.hasPosition = _position ? 1 : 0;
    format.blendWeightCount = _weights;
    format.matrixIndexCount = _indices;
    format.hasNormal = _normal ? 1 : 0;
    format.hasDiffuse = _diffuse ? 1 : 0;
    format.texCoordSetCount = _sets;
    return format;
}

TEST_F(StateCache, InitialisationLeavesDeviceAndCacheAgreeing)
{
    Make();
    ASSERT_TRUE(cache.Init(device, d3d_vp_hardware, 4, false, true, shaders.set, 1));
    EXPECT_EQ(config.Count("CreateVertexDeclaration"), d3d_declaration_count);
    EXPECT_EQ(RenderState(D3DRS_CULLMODE), D3DCULL_NONE);
    EXPECT_EQ(RenderState(D3DRS_ZENABLE), D3DZB_FALSE);
    EXPECT_EQ(RenderState(D3DRS_LIGHTING), 0u);
    EXPECT_EQ(RenderState(D3DRS_COLORVERTEX), 0u);
    EXPECT_EQ(RenderState(D3DRS_SHADEMODE), D3DSHADE_FLAT);
    EXPECT_EQ(RenderState(D3DRS_RANGEFOGENABLE), 1u);
    EXPECT_EQ(rec->State().RenderStateFloat(D3DRS_POINTSCALE_C), 1.0f);
    EXPECT_EQ(rec->State().stageStates[0][D3DTSS_COLOROP], D3DTOP_DISABLE);
    EXPECT_EQ(rec->State().samplerStates[3][D3DSAMP_ADDRESSU], D3DTADDRESS_CLAMP);
    EXPECT_EQ(rec->State().samplerStates[3][D3DSAMP_MAXANISOTROPY], 1u) << "limit 1 sends none";
    EXPECT_EQ(rec->State().lights[0].enabled, false);
    EXPECT_TRUE(cache.HasVertexShader(3, d3d_shader_vs_2_0));
    EXPECT_TRUE(cache.HasPixelShader(1));
    config.ClearLog();
    cache.SetCullMode(D3DCULL_NONE);
    cache.SetDepth(false, false, D3DCMP_LESS);
    cache.SetAlphaBlend(false, D3DBLEND_ONE, D3DBLEND_ZERO);
    cache.SetColorVertex(false);
    EXPECT_EQ(config.Count("SetRenderState"), 0u) << "defaults are known to the cache";
}

TEST_F(StateCache, SendsAStateOnlyWhenItChanges)
{
    ASSERT_TRUE(Start());
    const u64 filtered = cache.GetFilteredStateCount();
    cache.SetCullMode(D3DCULL_CCW);
    cache.SetCullMode(D3DCULL_CCW);
    cache.SetGouraud(true);
    cache.SetGouraud(true);
    cache.SetTweenFactor(0.25f);
    cache.SetTweenFactor(0.25f);
    cache.SetTextureFactor(0x80FFFFFFu);
    cache.SetTextureFactor(0x80FFFFFFu);
    EXPECT_EQ(config.Count("SetRenderState", D3DRS_CULLMODE), 1u);
    EXPECT_EQ(config.Count("SetRenderState", D3DRS_SHADEMODE), 1u);
    EXPECT_EQ(config.Count("SetRenderState", D3DRS_TWEENFACTOR), 1u);
    EXPECT_EQ(config.Count("SetRenderState", D3DRS_TEXTUREFACTOR), 1u);
    EXPECT_EQ(RenderState(D3DRS_CULLMODE), D3DCULL_CCW);
    EXPECT_EQ(cache.GetFilteredStateCount() - filtered, 3u) << "cull, shade and texture factor kept back";
}

TEST_F(StateCache, DepthFunctionWaitsForDepthAndWBufferIsUsed)
{
    ASSERT_TRUE(Start(D3DCREATE_HARDWARE_VERTEXPROCESSING, d3d_vp_hardware, true));
    cache.SetDepth(false, true, D3DCMP_ALWAYS);
    EXPECT_EQ(config.Count("SetRenderState", D3DRS_ZFUNC), 0u);
    EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), 0u) << "no writes while Z is off";
    cache.SetDepth(true, true, D3DCMP_ALWAYS);
    EXPECT_EQ(RenderState(D3DRS_ZENABLE), D3DZB_USEW);
    EXPECT_EQ(RenderState(D3DRS_ZWRITEENABLE), 1u);
    EXPECT_EQ(RenderState(D3DRS_ZFUNC), D3DCMP_ALWAYS);
}

TEST_F(StateCache, CounterClockwiseStencilOnlyOnTwoSidedDevices)
{
    config.caps.StencilCaps &= ~D3DSTENCILCAPS_TWOSIDED;
    config.ClearLog();
    Make();
    ASSERT_TRUE(cache.Init(device, d3d_vp_hardware, 4, false, true, shaders.set, 1));
    d3d_stencil_s stencil;
    stencil.enable = true;
    stencil.zfail = D3DSTENCILOP_DECR;
    stencil.twoSided = true;
    stencil.ccwZfail = D3DSTENCILOP_INCR;
    cache.SetStencil(stencil);
    for (const auto state : {D3DRS_TWOSIDEDSTENCILMODE, D3DRS_CCW_STENCILFUNC, D3DRS_CCW_STENCILPASS,
                             D3DRS_CCW_STENCILFAIL, D3DRS_CCW_STENCILZFAIL}) {
        EXPECT_EQ(config.Count("SetRenderState", state), 0u) << state;
    }
    EXPECT_EQ(RenderState(D3DRS_STENCILZFAIL), D3DSTENCILOP_DECR);
}

TEST_F(StateCache, StencilOffSendsOnlyTheSwitchAndNoStencilSendsNothing)
{
    ASSERT_TRUE(Start());
    d3d_stencil_s stencil;
    stencil.enable = true;
    stencil.ref = 3;
    stencil.twoSided = true;
    stencil.ccwZfail = D3DSTENCILOP_INCR;
    cache.SetStencil(stencil);
    EXPECT_EQ(RenderState(D3DRS_CCW_STENCILZFAIL), D3DSTENCILOP_INCR);
    config.ClearLog();
    stencil.enable = false;
    stencil.ref = 9;
    cache.SetStencil(stencil);
    EXPECT_EQ(config.Count("SetRenderState"), 1u);
    EXPECT_EQ(RenderState(D3DRS_STENCILENABLE), 0u);

    d3d_state_cache_c without;
    ASSERT_TRUE(without.Init(device, d3d_vp_hardware, 4, false, false, shaders.set, 1));
    config.ClearLog();
    stencil.enable = true;
    without.SetStencil(stencil);
    EXPECT_EQ(config.Count("SetRenderState"), 0u);
}

TEST_F(StateCache, AlphaReferenceIsTruncatedAndHeld)
{
    ASSERT_TRUE(Start());
    const struct {
        f32 threshold;
        DWORD reference;
    } cases[] = {{0.5f, 127}, {0.01f, 2}, {1.0f, 255},
                 {1.5f, 255}, {-1.0f, 0}, {std::numeric_limits<f32>::quiet_NaN(), 0}};
    for (const auto& c : cases) {
        cache.SetAlphaTest(true, c.threshold);
        EXPECT_EQ(RenderState(D3DRS_ALPHAREF), c.reference) << c.threshold;
    }
    config.ClearLog();
    cache.SetAlphaTest(false, 0.9f);
    EXPECT_EQ(config.Count("SetRenderState", D3DRS_ALPHAREF), 0u);
}

TEST_F(StateCache, BlendFactorsOnlyWhileBlending)
{
    ASSERT_TRUE(Start());
    cache.SetAlphaBlend(false, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    EXPECT_EQ(config.Count("SetRenderState", D3DRS_SRCBLEND), 0u);
    cache.SetAlphaBlend(true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    EXPECT_EQ(RenderState(D3DRS_SRCBLEND), D3DBLEND_SRCALPHA);
    EXPECT_EQ(RenderState(D3DRS_DESTBLEND), D3DBLEND_INVSRCALPHA);
}

TEST_F(StateCache, FogRecordsBecomeFogStates)
{
    ASSERT_TRUE(Start());
    d3d_fog_s fog;
    fog.mode = 0;
    fog.color = {1.0f, 0.5f, 0.0f};
    fog.start = -4.0f;
    fog.end = -8.0f;
    cache.SetFog(&fog, false);
    EXPECT_EQ(RenderState(D3DRS_FOGENABLE), 1u);
    EXPECT_EQ(RenderState(D3DRS_FOGVERTEXMODE), D3DFOG_LINEAR);
    EXPECT_EQ(RenderState(D3DRS_FOGCOLOR), 0x00FF7F00u);
    EXPECT_EQ(rec->State().RenderStateFloat(D3DRS_FOGSTART), 0.0f);
    EXPECT_EQ(rec->State().RenderStateFloat(D3DRS_FOGEND), 0.0f) << "end raised to the start";
    fog.mode = 2;
    fog.density = 3.0f;
    cache.SetFog(&fog, true);
    EXPECT_EQ(RenderState(D3DRS_FOGVERTEXMODE), D3DFOG_EXP2);
    EXPECT_EQ(RenderState(D3DRS_FOGCOLOR), 0u);
    EXPECT_EQ(rec->State().RenderStateFloat(D3DRS_FOGDENSITY), 1.0f);
    cache.SetFog(nullptr, false);
    EXPECT_EQ(RenderState(D3DRS_FOGENABLE), 0u);
}

TEST_F(StateCache, PointSizesWithoutScalingAreWholeAndHeld)
{
    config.caps.MaxPointSize = 64.0f;
    ASSERT_TRUE(Start());
    const struct {
        f32 size;
        bool scaling;
        f32 sent;
    } cases[] = {{0.3f, false, 1.0f}, {7.9f, false, 7.0f}, {100.0f, false, 64.0f}, {0.3f, true, 0.3f}};
    for (const auto& c : cases) {
        cache.SetPointSize(c.size, c.scaling);
        EXPECT_EQ(rec->State().RenderStateFloat(D3DRS_POINTSIZE), c.sent) << c.size;
        EXPECT_EQ(RenderState(D3DRS_POINTSCALEENABLE), c.scaling ? 1u : 0u);
    }
}

TEST(Declarations, IndexAndElementsFollowTheFormat)
{
    const struct {
        vertex_format_c format;
        d3d_second_stream_s second;
        u32 index;
        u32 stride;
    } cases[] = {
        {Format(true, 0, 0, false, false, 0), {}, 0, 12},
        {Format(true, 0, 0, true, false, 1), {}, (1 * 2 + 0) * 16 + 1 * 4, 32},
        {Format(true, 3, 4, true, true, 3), {}, ((((3 * 2 + 1) * 2 + 1) * 2 + 1) * 4 + 3) * 4, 68},
        {Format(true, 0, 0, true, false, 2), {true, true}, (2 * 4 + 2) * 4 + 3 - 32 + 32, 40},
    };
    for (const auto& c : cases) {
        const u32 index = d3d_state_cache_c::DeclarationIndex(c.format, c.second);
        const std::vector<D3DVERTEXELEMENT9> elements = d3d_state_cache_c::DeclarationElements(index);
        EXPECT_EQ(elements.back(), D3DDECL_END);
        u32 stride = 0;
        for (const D3DVERTEXELEMENT9& element : elements) {
            if (element.Stream == 0 && element.Type != D3DDECLTYPE_UNUSED) {
                EXPECT_EQ(element.Offset, stride);
                stride += D3DDeclTypeSize(element.Type);
            }
        }
        EXPECT_EQ(stride, c.stride) << index;
        EXPECT_EQ(stride, c.format.GetStride()) << index;
    }
    const auto tween = d3d_state_cache_c::DeclarationElements(3);
    ASSERT_EQ(tween.size(), 4u);
    EXPECT_EQ(tween[1], (D3DVERTEXELEMENT9{1, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 1}));
    EXPECT_EQ(tween[2], (D3DVERTEXELEMENT9{1, 12, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_NORMAL, 1}));
    EXPECT_EQ(d3d_state_cache_c::DeclarationIndex(Format(true, 3, 4, true, true, 3), {true, true}), 511u);
}

TEST_F(StateCache, PassesBindTheirInputShaderAndBlending)
{
    ASSERT_TRUE(Start());
    cache.SetupPass(0, Format(false, 0, 0, false, true, 1), {}, false, 0);
    EXPECT_EQ(rec->State().fvf, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    EXPECT_EQ(rec->State().declaration, nullptr);
    cache.SetupPass(3, Format(true, 0, 0, true, false, 1), {}, false, 0);
    EXPECT_EQ(rec->State().fvf, 0u);
    ASSERT_NE(rec->State().declaration, nullptr);
    ASSERT_NE(rec->State().vertexShader, nullptr);
    UINT count = 0;
    EXPECT_EQ(rec->State().vertexShader->GetFunction(&count)[0], D3DVS_VERSION(2, 0));
    cache.SetupPass(0, Format(true, 2, 3, true, false, 1), {}, true, 2);
    EXPECT_EQ(rec->State().vertexShader, nullptr);
    EXPECT_EQ(RenderState(D3DRS_VERTEXBLEND), D3DVBF_2WEIGHTS);
    EXPECT_EQ(RenderState(D3DRS_INDEXEDVERTEXBLENDENABLE), 1u);
    cache.SetupPass(0, Format(true, 0, 0, true, false, 0), {true, true}, false, 0);
    EXPECT_EQ(RenderState(D3DRS_VERTEXBLEND), D3DVBF_TWEENING);
    cache.SetupPass(0, Format(true, 0, 1, true, false, 0), {}, true, 0);
    EXPECT_EQ(RenderState(D3DRS_VERTEXBLEND), D3DVBF_0WEIGHTS);
    config.ClearLog();
    cache.SetupPass(0, Format(true, 0, 1, true, false, 0), {}, true, 0);
    EXPECT_EQ(config.GetLog().size(), 0u) << "a repeated pass sends nothing";
    cache.SetupPass(0, Format(false, 0, 0, true, false, 0), {}, false, 0);
    EXPECT_EQ(rec->State().declaration, nullptr);
    EXPECT_EQ(rec->State().fvf, 0u);
}

TEST_F(StateCache, WaterRowTakesTheVersionTheDeviceRuns)
{
    config.caps.VertexShaderVersion = D3DVS_VERSION(1, 1);
    ASSERT_TRUE(Start());
    EXPECT_FALSE(cache.HasVertexShader(3, d3d_shader_vs_2_0));
    cache.SetupPass(3, Format(true, 0, 0, true, false, 1), {}, false, 0);
    ASSERT_NE(rec->State().vertexShader, nullptr);
    EXPECT_EQ(rec->State().vertexShader->GetFunction(nullptr)[0], D3DVS_VERSION(1, 1));
}

TEST_F(StateCache, MixedDevicesSwitchToSoftwareWhenADrawNeedsIt)
{
    config.caps.MaxVertexBlendMatrixIndex = 0;
    ASSERT_TRUE(Start(D3DCREATE_MIXED_VERTEXPROCESSING, d3d_vp_mixed));
    EXPECT_EQ(cache.BlendIndexCapacity(), -1) << "no indexed blending, no wrap";
    EXPECT_TRUE(cache.NeedsSoftware(false, true, 0, false));
    cache.SetupPass(0, Format(true, 1, 2, true, false, 0), {}, true, 1);
    EXPECT_TRUE(rec->State().softwareVertexProcessing);
    cache.SetupPass(0, Format(true, 0, 0, true, false, 0), {}, false, 0);
    EXPECT_FALSE(rec->State().softwareVertexProcessing);
    EXPECT_EQ(config.Count("SetSoftwareVertexProcessing"), 2u);
}

TEST_F(StateCache, NamedConstantsLandInTheirRegisters)
{
    ASSERT_TRUE(Start());
    cache.SetVertexConstant(3, "camera_pos", vec3_c{1.0f, 2.0f, 3.0f});
    const auto& constants = rec->State().vertexConstants;
    EXPECT_EQ(constants[12], (std::array<f32, 4>{1.0f, 2.0f, 3.0f, 1.0f}));
    mat4_c matrix;
    for (u32 row = 0; row < 4; ++row) {
        for (u32 column = 0; column < 4; ++column) {
            matrix.m[row][column] = static_cast<f32>(row * 4 + column);
        }
    }
    cache.SetVertexConstant(3, "transformation", matrix);
    EXPECT_EQ(constants[0], (std::array<f32, 4>{0.0f, 4.0f, 8.0f, 12.0f})) << "sent transposed";
    EXPECT_EQ(constants[3], (std::array<f32, 4>{3.0f, 7.0f, 11.0f, 15.0f}));
    EXPECT_EQ(cache.VertexRegister(4, "depth"), 5);
    config.ClearLog();
    cache.SetVertexConstant(1, "camera_pos", vec3_c{});
    cache.SetVertexConstant(3, "no_such", vec3_c{});
    EXPECT_EQ(config.Count("SetVertexShaderConstantF"), 0u);
    const vec3_c weights[2] = {{0.5f, 0.5f, 0.5f}, {0.25f, 0.25f, 0.25f}};
    cache.SetPixelConstants(1, "weight", weights, 2);
    EXPECT_EQ(rec->State().pixelConstants[1], (std::array<f32, 4>{0.25f, 0.25f, 0.25f, 1.0f}));
    const f32 deltas[1][2] = {{0.125f, 0.0f}};
    cache.SetPixelConstants(1, "delta", deltas, 1);
    EXPECT_EQ(rec->State().pixelConstants[8], (std::array<f32, 4>{0.125f, 0.0f, 0.0f, 1.0f}));
}

TEST_F(StateCache, GlowShaderOnlyOnPixelShaderTwoDevices)
{
    config.caps.PixelShaderVersion = D3DPS_VERSION(1, 4);
    ASSERT_TRUE(Start());
    EXPECT_FALSE(cache.HasPixelShader(1));
    cache.SetPixelShader(1);
    EXPECT_EQ(rec->State().pixelShader, nullptr);
    cache.SetSamplerByName(1, "image", true, true, false);
    EXPECT_EQ(config.Count("SetSamplerState"), 0u);
}

TEST_F(StateCache, SamplersAreFoundByTheirShaderName)
{
    ASSERT_TRUE(Start());
    cache.SetPixelShader(1);
    EXPECT_NE(rec->State().pixelShader, nullptr);
    cache.SetSamplerByName(1, "image", true, true, true);
    EXPECT_EQ(rec->State().samplerStates[0][D3DSAMP_MAGFILTER], D3DTEXF_LINEAR);
    EXPECT_EQ(rec->State().samplerStates[0][D3DSAMP_MIPFILTER], D3DTEXF_LINEAR);
    EXPECT_EQ(rec->State().samplerStates[0][D3DSAMP_ADDRESSV], D3DTADDRESS_WRAP);
    config.ClearLog();
    cache.SetSamplerByName(1, "Image", false, false, false);
    cache.SetSamplerByName(0, "image", false, false, false);
    EXPECT_EQ(config.Count("SetSamplerState"), 0u);
}

TEST_F(StateCache, InitialisationFailuresLeaveNothingBehind)
{
    const struct {
        const char* call;
        u32 after;
    } cases[] = {
        {"GetDeviceCaps", 0}, {"CreateVertexDeclaration", 100}, {"CreateVertexShader", 2}, {"CreatePixelShader", 0}};
    for (const auto& [call, after] : cases) {
        record_config_c local;
        InstallRecordBackend(local);
        IDirect3D9* object = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters;
        parameters.Windowed = 1;
        IDirect3DDevice9* made = nullptr;
        ASSERT_EQ(object->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &parameters, &made), D3D_OK);
        local.Fail(call, E_FAIL, after);
        d3d_state_cache_c failing;
        EXPECT_FALSE(failing.Init(made, d3d_vp_hardware, 4, false, true, shaders.set, 1)) << call;
        EXPECT_FALSE(failing.IsReady());
        made->Release();
        object->Release();
    }
    InstallRecordBackend(config);
}

TEST_F(StateCache, FailedShaderQueriesFailInitialisation)
{
    Make();
    for (const char* query : {"D3DXGetShaderConstantTable", "D3DXGetShaderSamplers"}) {
        SetD3DXFaultHook([query](const char* _function) { return std::strcmp(_function, query) == 0 ? E_FAIL : 0; });
        EXPECT_FALSE(cache.Init(device, d3d_vp_hardware, 4, false, true, shaders.set, 1)) << query;
    }
    SetD3DXFaultHook({});
    EXPECT_TRUE(cache.Init(device, d3d_vp_hardware, 4, false, true, shaders.set, 1));
}

TEST_F(StateCache, MaterialIsSentOnlyWhenItMoves)
{
    ASSERT_TRUE(Start());
    cache.SetMaterial({0.5f, 0.5f, 0.5f}, 1.0f, {0.0f, 0.0f, 0.0f}, 20.0f, {});
    EXPECT_EQ(rec->State().material.Power, 0.0f) << "black specular sends no power";
    cache.SetMaterial({0.5f + 1e-8f, 0.5f, 0.5f}, 1.0f, {0.0f, 0.0f, 0.0f}, 20.0f, {});
    EXPECT_EQ(config.Count("SetMaterial"), 1u);
    cache.SetMaterial({0.5f, 0.5f, 0.5f}, 1.0f, {1.0f, 1.0f, 1.0f}, 20.0f, {});
    EXPECT_EQ(config.Count("SetMaterial"), 2u);
    EXPECT_EQ(rec->State().material.Power, 20.0f);
    EXPECT_EQ(rec->State().material.Ambient.a, 0.0f);
    cache.SetMaterial({0.5f, 0.5f, 0.5f}, 0.5f, {1.0f, 1.0f, 1.0f}, 20.0f, {});
    EXPECT_EQ(rec->State().material.Diffuse.a, 0.5f);
}

TEST_F(StateCache, LightsAreSentWhenTheyChangeAndNeverPastTheSet)
{
    config.caps.MaxActiveLights = 2;
    Make();
    ASSERT_TRUE(cache.Init(device, d3d_vp_hardware, 2, false, true, shaders.set, 1));
    light_c light("sun");
    light.color = {1.0f, 0.5f, 0.25f};
    light.intensity = 2.0f;
    config.ClearLog();
    cache.Lights().SetLight(0, light);
    cache.Lights().SetLight(0, light);
    cache.Lights().SetLight(2, light);
    EXPECT_EQ(config.Count("SetLight"), 1u);
    EXPECT_EQ(rec->State().lights[0].light.Diffuse, (D3DCOLORVALUE{2.0f, 1.0f, 0.5f, 0.0f}));
    cache.Lights().SetEnabledCount(6);
    EXPECT_EQ(config.Count("LightEnable"), 2u);
    EXPECT_FALSE(rec->State().lights[2].enabled);
}

TEST(LightSet, ZeroRangeLightsSendNoInfinities)
{
    for (const bool second : {false, true}) {
        light_c light("lamp");
        light.SetType(light_point);
        light.SetFalloff(true, second);
        light.range = 0.0f;
        const D3DLIGHT9 made = d3d_light_set_c::MakeLight(light);
        for (const f32 value : {made.Range, made.Attenuation0, made.Attenuation1, made.Attenuation2}) {
            EXPECT_TRUE(std::isfinite(value));
        }
        EXPECT_EQ(made.Range, 0.0f);
        light.range = 2.0f;
        const D3DLIGHT9 ranged = d3d_light_set_c::MakeLight(light);
        EXPECT_EQ(ranged.Range, second ? 50.0f : 10.0f);
        EXPECT_EQ(second ? ranged.Attenuation1 : ranged.Attenuation2, second ? 0.5f : 0.25f);
    }
    light_c spot("spot");
    spot.SetType(light_spot);
    spot.coneAngle = 0.5f;
    spot.edgeAngle = 0.125f;
    const D3DLIGHT9 made = d3d_light_set_c::MakeLight(spot);
    EXPECT_EQ(made.Type, D3DLIGHT_SPOT);
    EXPECT_EQ(made.Phi, 0.5f);
    EXPECT_EQ(made.Theta, 0.375f);
    EXPECT_EQ(made.Range, 1.8446743e19f);
}

TEST_F(StateCache, TargetsMaskChannelsOnlyWhereTheDeviceCan)
{
    ASSERT_TRUE(Start());
    IDirect3DTexture9* texture = nullptr;
    device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr);
    IDirect3DSurface9* surface = nullptr;
    texture->GetSurfaceLevel(0, &surface);
    cache.Targets().Setup(1, true, true, true, false, surface);
    EXPECT_EQ(rec->State().renderTargets[1], surface);
    EXPECT_EQ(RenderState(D3DRS_COLORWRITEENABLE1), 7u);
    cache.Targets().Reset(1);
    EXPECT_EQ(rec->State().renderTargets[1], nullptr);
    EXPECT_EQ(RenderState(D3DRS_COLORWRITEENABLE1), 15u);
    cache.Targets().Setup(0, true, true, true, true, surface);
    cache.Targets().Setup(0, true, true, true, true, nullptr);
    EXPECT_EQ(rec->State().renderTargets[0], rec->BackBuffer());
    surface->Release();
    texture->Release();

    config.caps.PrimitiveMiscCaps &= ~D3DPMISCCAPS_COLORWRITEENABLE;
    d3d_state_cache_c plain;
    ASSERT_TRUE(plain.Init(device, d3d_vp_hardware, 4, false, true, shaders.set, 1));
    try {
        plain.Targets().Setup(0, false, true, true, true, nullptr);
        FAIL() << "a masked channel without the capability must throw";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "void d3d_target_setup_c::target_settings_c::Setup(bool _r, bool _g, bool _b, "
                                   "bool _a, const texture_c* _texture)");
    }
}

TEST_F(StateCache, StageArgumentsFollowTheOperation)
{
    ASSERT_TRUE(Start());
    const struct {
        d3d_stage_op_s color;
        u32 arg0, arg1, arg2;
    } cases[] = {
        {{D3DTOP_MULTIPLYADD, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTA_SPECULAR}, 1, 1, 1},
        {{D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE, D3DTA_DIFFUSE}, 0, 1, 0},
        {{D3DTOP_SELECTARG2, D3DTA_DIFFUSE, D3DTA_SPECULAR, D3DTA_TFACTOR}, 0, 0, 1},
        {{D3DTOP_BUMPENVMAP, D3DTA_DIFFUSE, D3DTA_SPECULAR, D3DTA_SPECULAR}, 0, 0, 0},
        {{D3DTOP_DISABLE, D3DTA_TFACTOR, D3DTA_TFACTOR, D3DTA_DIFFUSE}, 0, 0, 0},
    };
    // Every case starts from arguments none of them uses.
    const DWORD unused = D3DTA_TFACTOR | D3DTA_COMPLEMENT;
    const d3d_stage_op_s start{D3DTOP_LERP, unused, unused, unused};
    for (const auto& c : cases) {
        cache.SetStage(1, start, {}, nullptr, -1, nullptr, 0.0f);
        config.ClearLog();
        cache.SetStage(1, c.color, {}, nullptr, -1, nullptr, 0.0f);
        EXPECT_EQ(config.Count("SetTextureStageState", 256 + D3DTSS_COLORARG0), c.arg0) << c.color.op;
        EXPECT_EQ(config.Count("SetTextureStageState", 256 + D3DTSS_COLORARG1), c.arg1) << c.color.op;
        EXPECT_EQ(config.Count("SetTextureStageState", 256 + D3DTSS_COLORARG2), c.arg2) << c.color.op;
    }
    EXPECT_EQ(rec->State().stageStates[1][D3DTSS_BUMPENVMAT00], 0u);
}

TEST_F(StateCache, StageTexturesBindWithTheirCoordinatesAndTransform)
{
    ASSERT_TRUE(Start());
    IDirect3DCubeTexture9* cube = nullptr;
    device->CreateCubeTexture(8, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &cube, nullptr);
    mat4x3_c transform;
    transform.SetIdentity();
    transform.m[3][0] = 0.5f;
    const d3d_stage_op_s modulate{D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTA_DIFFUSE};
    cache.SetStage(2, modulate, modulate, cube, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR, &transform, 0.0f);
    EXPECT_EQ(rec->State().textures[2], cube);
    EXPECT_EQ(rec->State().stageStates[2][D3DTSS_TEXCOORDINDEX], D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR);
    EXPECT_EQ(rec->State().stageStates[2][D3DTSS_TEXTURETRANSFORMFLAGS], D3DTTFF_COUNT3);
    EXPECT_EQ(rec->State().textureTransforms[2].m[3][0], 0.5f);
    EXPECT_EQ(rec->State().textureTransforms[2].m[3][3], 1.0f);
    cache.SetStage(2, modulate, modulate, cube, -1, nullptr, 0.0f);
    EXPECT_EQ(rec->State().stageStates[2][D3DTSS_TEXCOORDINDEX], 2u);
    EXPECT_EQ(rec->State().stageStates[2][D3DTSS_TEXTURETRANSFORMFLAGS], D3DTTFF_DISABLE);
    cache.SetStage(1, {D3DTOP_BUMPENVMAP, 0, D3DTA_TEXTURE, D3DTA_CURRENT}, modulate, nullptr, -1, nullptr, 0.75f);
    EXPECT_EQ(rec->State().stageStates[1][D3DTSS_BUMPENVMAT11], FloatToDword(0.75f));
    cache.UnbindStageTextures();
    EXPECT_EQ(rec->State().textures[2], nullptr);
    cube->Release();
}

TEST_F(StateCache, TexturesOnlyOnStagesThatMayHoldThem)
{
    config.caps.MaxSimultaneousTextures = 2;
    ASSERT_TRUE(Start());
    IDirect3DTexture9* texture = nullptr;
    device->CreateTexture(4, 4, 1, 0, D3DFMT_L8, D3DPOOL_MANAGED, &texture, nullptr);
    const d3d_stage_op_s modulate{D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTA_DIFFUSE};
    cache.SetStage(3, modulate, modulate, texture, -1, nullptr, 0.0f);
    EXPECT_EQ(rec->State().textures[3], nullptr);
    EXPECT_EQ(rec->State().stageStates[3][D3DTSS_COLOROP], D3DTOP_MODULATE);
    texture->Release();
}

TEST_F(StateCache, CapabilityQueriesAndText)
{
    config.caps.MaxPrimitiveCount = 0xFFFF;
    config.caps.TextureCaps |= D3DPTEXTURECAPS_SQUAREONLY;
    ASSERT_TRUE(Start(D3DCREATE_MIXED_VERTEXPROCESSING, d3d_vp_mixed));
    EXPECT_EQ(cache.GetPrimitiveLimit(true), 0xFFFFu);
    EXPECT_EQ(cache.GetFilteringDegree(), 16u);
    EXPECT_TRUE(cache.SupportsVertexShader(D3DVS_VERSION(3, 0), true));
    EXPECT_FALSE(cache.SupportsVertexShader(D3DVS_VERSION(3, 0), false));
    std::ostringstream text;
    cache.PrintCapabilities(text);
    EXPECT_EQ(text.str(), "Maximum Point Size: 256\nMaximum Texture Size: 2048x2048\nMaximum Texture Aspect Ratio: 1"
                          "\nMaximum Blending Stages: 8\nMaximum Active Textures: 8\nMaximum Texture Filtering "
                          "Degree: 16\nMixed Vertex Processing\n");
}

TEST_F(StateCache, ViewportStreamsAndShadersAreFiltered)
{
    ASSERT_TRUE(Start());
    cache.SetViewport(0, 0, 320, 200);
    cache.SetViewport(0, 0, 320, 200);
    EXPECT_EQ(config.Count("SetViewport"), 1u);
    IDirect3DVertexBuffer9* buffer = nullptr;
    device->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer, nullptr);
    cache.SetStreams(buffer, 16, nullptr, 0, nullptr);
    cache.SetStreams(buffer, 16, nullptr, 0, nullptr);
    EXPECT_EQ(config.Count("SetStreamSource"), 1u);
    cache.SetStreams(nullptr, 0, nullptr, 0, nullptr);
    EXPECT_EQ(rec->State().streams[0].buffer, nullptr);
    buffer->Release();
    cache.SetPixelShader(1);
    cache.SetPixelShader(1);
    EXPECT_EQ(config.Count("SetPixelShader"), 1u);
}

}
