#include "platform/d3d9/gl_device.h"
#include "platform/win32/windows.h"
#include "platform/d3d9/testing/gl_scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr u32 tolerance = 3;

struct lit_vertex_s {
    f32 x, y, z;
    f32 nx, ny, nz;
};

D3DCOLORVALUE Rgba(f32 _r, f32 _g, f32 _b, f32 _a = 1.0f)
{
    return {_r, _g, _b, _a};
}

class GlFixedFunction : public gl_scene_c {
protected:
    void SetUp() override
    {
        gl_scene_c::SetUp();
        if (device == nullptr) {
            return;
        }
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000u, 1.0f, 0);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->BeginScene();
    }
    // A quad in clip space (the transforms left at identity) from x0 to x1
    // over the full height, at depth 0.5, facing the viewer.
    void LitQuad(f32 _x0, f32 _x1)
    {
        const lit_vertex_s quad[4] = {
            {_x0, 1, 0.5f, 0, 0, -1}, {_x1, 1, 0.5f, 0, 0, -1}, {_x0, -1, 0.5f, 0, 0, -1}, {_x1, -1, 0.5f, 0, 0, -1}};
        device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(lit_vertex_s)), D3D_OK);
    }
    std::vector<u8> Finish()
    {
        device->EndScene();
        return Capture();
    }
    // The texture drawn over the whole target, unlit, keeping texels whose
    // alpha is at least 0x80; the texture is released.
    void AlphaTestedQuad(IDirect3DTexture9* _texture)
    {
        device->SetRenderState(D3DRS_LIGHTING, 0);
        device->SetTexture(0, _texture);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        device->SetRenderState(D3DRS_ALPHAREF, 0x80);
        Quad(-0.5f, -0.5f, 63.5f, 63.5f, 0xFFFFFFFFu);
        device->SetTexture(0, nullptr);
        _texture->Release();
    }
};

// A directional light straight on, the global ambient light, and linear
// vertex fog over the right half.
TEST_F(GlFixedFunction, LightingAndLinearFogFollowTheMaterial)
{
    D3DMATERIAL9 material;
    material.Diffuse = Rgba(1, 0, 0);
    material.Ambient = Rgba(0, 0, 1);
    device->SetMaterial(&material);
    D3DLIGHT9 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = Rgba(0.5f, 0.5f, 0.5f);
    light.Direction = {0, 0, 1};
    device->SetLight(0, &light);
    device->LightEnable(0, 1);
    device->SetRenderState(D3DRS_AMBIENT, 0x00404040u);
    device->SetRenderState(D3DRS_LIGHTING, 1);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    LitQuad(-1, 0);
    device->SetRenderState(D3DRS_FOGENABLE, 1);
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_FOGCOLOR, 0x0000FF00u);
    device->SetRenderState(D3DRS_FOGSTART, FloatToDword(0.0f));
    device->SetRenderState(D3DRS_FOGEND, FloatToDword(1.0f));
    LitQuad(0, 1);
    const std::vector<u8> shot = Finish();
    // Lit: red 0.5 from the light, blue 0.25 from the ambient light.
    EXPECT_LE(ColorDistance(Pixel(shot, 16, 32), 0xFF800040u), 2u) << std::hex << Pixel(shot, 16, 32);
    // Fogged halfway (depth 0.5 between 0 and 1) towards green.
    EXPECT_LE(ColorDistance(Pixel(shot, 48, 32), 0xFF408020u), 2u) << std::hex << Pixel(shot, 48, 32);
    ExpectImage(shot, "lit_fogged", tolerance);
}

struct combine_case_s {
    const char* name;
    DWORD op;
    DWORD arg1;
    DWORD arg2;
    DWORD arg0;
    // The expected colour from the inputs below, per channel 0..1.
    f32 (*expect)(f32 _diffuse, f32 _texture, f32 _factor, f32 _texture_alpha, f32 _factor_alpha, f32 _diffuse_alpha);
};

// One stage over a diffuse colour, a 1x1 texture and the texture factor,
// for each operation the renderer uses.
TEST_F(GlFixedFunction, StageOperationsCombineTheirArguments)
{
    const D3DCOLOR diffuse = 0x80C08040u;
    const D3DCOLOR texel = 0x40204080u;
    const D3DCOLOR factor = 0xC0303030u;
    const combine_case_s cases[] = {
        {"select texture", D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_CURRENT,
         [](f32, f32 t, f32, f32, f32, f32) { return t; }},
        {"select diffuse", D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_CURRENT,
         [](f32 d, f32, f32, f32, f32, f32) { return d; }},
        {"modulate", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_CURRENT,
         [](f32 d, f32 t, f32, f32, f32, f32) { return d * t; }},
        {"modulate 2x", D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_CURRENT,
         [](f32 d, f32 t, f32, f32, f32, f32) { return std::min(1.0f, 2 * d * t); }},
        {"modulate 4x", D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_CURRENT,
         [](f32 d, f32 t, f32, f32, f32, f32) { return std::min(1.0f, 4 * d * t); }},
        {"add", D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_CURRENT,
         [](f32 d, f32 t, f32, f32, f32, f32) { return std::min(1.0f, d + t); }},
        {"blend by diffuse alpha", D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTA_CURRENT,
         [](f32, f32 t, f32 f, f32, f32, f32 da) { return t * da + f * (1 - da); }},
        {"blend by texture alpha", D3DTOP_BLENDTEXTUREALPHA, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_CURRENT,
         [](f32 d, f32 t, f32, f32 ta, f32, f32) { return t * ta + d * (1 - ta); }},
        {"blend by factor alpha", D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_CURRENT,
         [](f32 d, f32 t, f32, f32, f32 fa, f32) { return t * fa + d * (1 - fa); }},
        {"blend by current alpha", D3DTOP_BLENDCURRENTALPHA, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTA_CURRENT,
         [](f32, f32 t, f32 f, f32, f32, f32 da) { return t * da + f * (1 - da); }},
        {"multiply and add", D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_TFACTOR,
         [](f32 d, f32 t, f32 f, f32, f32, f32) { return std::min(1.0f, f + t * d); }},
        {"lerp", D3DTOP_LERP, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_TFACTOR,
         [](f32 d, f32 t, f32 f, f32, f32, f32) { return f * t + (1 - f) * d; }},
        {"complemented texture", D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE, D3DTA_CURRENT,
         [](f32, f32 t, f32, f32, f32, f32) { return 1 - t; }},
        {"texture alpha replicated", D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, D3DTA_DIFFUSE,
         D3DTA_CURRENT, [](f32, f32, f32, f32 ta, f32, f32) { return ta; }},
    };
    IDirect3DTexture9* texture = Texture(1, 1, D3DFMT_A8R8G8B8,
                                         {static_cast<u8>(texel), static_cast<u8>(texel >> 8),
                                          static_cast<u8>(texel >> 16), static_cast<u8>(texel >> 24)});
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    const auto channel = [](D3DCOLOR _c, u32 _shift) { return ((_c >> _shift) & 0xFF) / 255.0f; };
    for (const combine_case_s& c : cases) {
        SCOPED_TRACE(c.name);
        device->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, c.arg1);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, c.arg2);
        device->SetTextureStageState(0, D3DTSS_COLORARG0, c.arg0);
        Quad(-0.5f, -0.5f, 63.5f, 63.5f, diffuse);
        device->EndScene();
        const std::vector<u8> shot = Capture();
        device->BeginScene();
        D3DCOLOR want = diffuse & 0xFF000000u;
        for (u32 shift : {0u, 8u, 16u}) {
            const f32 v = c.expect(channel(diffuse, shift), channel(texel, shift), channel(factor, shift),
                                   channel(texel, 24), channel(factor, 24), channel(diffuse, 24));
            want |= static_cast<u32>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)) << shift;
        }
        EXPECT_LE(ColorDistance(Pixel(shot, 32, 32), want), 2u) << std::hex << Pixel(shot, 32, 32) << " for " << want;
    }
    device->SetTexture(0, nullptr);
    texture->Release();
    device->EndScene();
}

// Stage 0 offsets stage 1's coordinates by its (du, dv) through the bump
// matrix: half a texture across, so the left half shows the right half's
// texels. Stage 1's texture is then modulated by the diffuse colour, and
// the chain stops at stage 2.
TEST_F(GlFixedFunction, BumpMappingMovesTheNextStagesCoordinates)
{
    std::vector<u8> bumps;
    for (u32 i = 0; i < 16; ++i) {
        bumps.insert(bumps.end(), {127, 0});
    }
    IDirect3DTexture9* bump = Texture(4, 4, D3DFMT_V8U8, bumps);
    std::vector<u8> strip;
    const D3DCOLOR columns[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    for (u32 y = 0; y < 4; ++y) {
        for (D3DCOLOR c : columns) {
            strip.insert(strip.end(), {static_cast<u8>(c), static_cast<u8>(c >> 8), static_cast<u8>(c >> 16), 0xFF});
        }
    }
    IDirect3DTexture9* colors = Texture(4, 4, D3DFMT_A8R8G8B8, strip);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetTexture(0, bump);
    device->SetTexture(1, colors);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_BUMPENVMAP);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_BUMPENVMAT00, FloatToDword(0.5f));
    device->SetTextureStageState(0, D3DTSS_BUMPENVMAT11, FloatToDword(0.5f));
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    device->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    Quad(-0.5f, -0.5f, 63.5f, 63.5f, 0xFF808080u);
    device->SetTexture(0, nullptr);
    device->SetTexture(1, nullptr);
    bump->Release();
    colors->Release();
    const std::vector<u8> shot = Finish();
    EXPECT_LE(ColorDistance(Pixel(shot, 8, 32), 0xFF000080u), 2u) << std::hex << Pixel(shot, 8, 32);
    EXPECT_LE(ColorDistance(Pixel(shot, 24, 32), 0xFF808080u), 2u) << std::hex << Pixel(shot, 24, 32);
    EXPECT_LE(ColorDistance(Pixel(shot, 56, 32), 0xFF808080u), 2u) << std::hex << Pixel(shot, 56, 32);
    ExpectImage(shot, "bump_two_stages", tolerance);
}

// Texels whose alpha is below the reference are not drawn at all.
TEST_F(GlFixedFunction, AlphaTestDropsPixelsBelowTheReference)
{
    std::vector<u8> bytes;
    for (u32 y = 0; y < 4; ++y) {
        for (u8 alpha : {0x00, 0x60, 0xA0, 0xFF}) {
            bytes.insert(bytes.end(), {0x00, 0xFF, 0x00, alpha});
        }
    }
    AlphaTestedQuad(Texture(4, 4, D3DFMT_A8R8G8B8, bytes));
    const std::vector<u8> shot = Finish();
    EXPECT_EQ(Pixel(shot, 8, 8) & 0xFFFFFF, 0u);
    EXPECT_EQ(Pixel(shot, 24, 8) & 0xFFFFFF, 0u);
    EXPECT_EQ(Pixel(shot, 40, 8) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(Pixel(shot, 56, 8) & 0xFFFFFF, 0x00FF00u);
}

// A DXT5 texture's interpolated alpha through the alpha test: of the four
// columns (alpha 0, 36, 146, 255) the last two stay, over blue.
TEST_F(GlFixedFunction, CompressedAlphaMeetsTheAlphaTest)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FFu, 1.0f, 0);
    // Three-bit alpha codes per texel, rows of 1, 7, 4, 0.
    u64 codes = 0;
    for (u32 texel = 0; texel < 16; ++texel) {
        const u64 column_codes[4] = {1, 7, 4, 0};
        codes |= column_codes[texel % 4] << (texel * 3);
    }
    std::vector<u8> block = {0xFF, 0x00};
    for (u32 i = 0; i < 6; ++i) {
        block.push_back(static_cast<u8>(codes >> (i * 8)));
    }
    block.insert(block.end(), {0xFF, 0xFF, 0x00, 0xF8, 0, 0, 0, 0});
    AlphaTestedQuad(Texture(4, 4, D3DFMT_DXT5, block));
    const std::vector<u8> shot = Finish();
    EXPECT_EQ(Pixel(shot, 8, 30) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(Pixel(shot, 24, 30) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(Pixel(shot, 40, 30) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Pixel(shot, 56, 30) & 0xFFFFFF, 0xFFFFFFu);
    ExpectImage(shot, "dxt_alpha_test", tolerance);
}

// A program is made once per combination of states, not once per draw.
TEST_F(GlFixedFunction, ProgramsAreMadeOncePerStateCombination)
{
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    for (u32 frame = 0; frame < 3; ++frame) {
        for (DWORD op : {D3DTOP_SELECTARG1, D3DTOP_MODULATE}) {
            device->SetTextureStageState(0, D3DTSS_COLOROP, op);
            Quad(-0.5f, -0.5f, 63.5f, 63.5f, 0xFFFFFFFFu);
        }
    }
    device->EndScene();
    device->BeginScene();
    Quad(-0.5f, -0.5f, 63.5f, 63.5f, 0xFFFFFFFFu);
    device->EndScene();
    IDirect3DDevice9* same = device;
    EXPECT_EQ(static_cast<gl_device_c*>(same)->ProgramsMade(), 2u);
}

}

namespace {

struct key_case_s {
    const char* name;
    void (*change)(gl_fixed_key_s& _key);
};

// Every feature the generator writes code for compiles and links, alone
// and together with the others.
TEST_F(GlFixedFunction, GeneratedProgramsLinkForEveryFeature)
{
    std::string failure;
    const std::shared_ptr<gl_context_c> context = gl_context_c::Make(GetSdlWindow(window), failure);
    ASSERT_NE(context, nullptr) << failure;
    const key_case_s cases[] = {
        {"pre-transformed", [](gl_fixed_key_s& _k) { _k.pretransformed = 1; }},
        {"four lights of each kind",
         [](gl_fixed_key_s& _k) {
             _k.lighting = 1;
             _k.lightKinds = 1 | 2 << 2 | 3 << 4 | 1 << 6;
             _k.specular = 1;
             _k.localViewer = 1;
             _k.normalize = 1;
         }},
        {"material from both vertex colours",
         [](gl_fixed_key_s& _k) {
             _k.lighting = 1;
             _k.lightKinds = 3;
             _k.materialSources = 1 | 2 << 2 | 2 << 4 | 1 << 6;
         }},
        {"three weights", [](gl_fixed_key_s& _k) { _k.blend = 3; }},
        {"indexed blending", [](gl_fixed_key_s& _k) { _k.blend = 2 | 4; }},
        {"tweening", [](gl_fixed_key_s& _k) { _k.blend = 255; }},
        {"exponential vertex fog over range",
         [](gl_fixed_key_s& _k) {
             _k.vertexFog = D3DFOG_EXP;
             _k.rangeFog = 1;
         }},
        {"squared table fog", [](gl_fixed_key_s& _k) { _k.tableFog = D3DFOG_EXP2; }},
        {"scaled point sprites", [](gl_fixed_key_s& _k) { _k.points = 1 | 2 | 4; }},
        {"generated and transformed coordinates",
         [](gl_fixed_key_s& _k) {
             _k.coords[0] = 1 | 3 << 3 | 3 << 5 | 1 << 8 | 2 << 9;
             _k.coords[1] = 2 << 3 | 2 << 5 | 1 << 9 | 1 << 11;
             _k.colorOps[1] = D3DTOP_ADD | D3DTA_TEXTURE << 8 | 5 << 16;
             _k.alphaOps[1] = D3DTOP_DISABLE;
         }},
        {"bump mapping with luminance",
         [](gl_fixed_key_s& _k) {
             _k.colorOps[0] = D3DTOP_BUMPENVMAPLUMINANCE | D3DTA_TEXTURE << 8;
             _k.coords[0] = 1 << 9;
             _k.colorOps[1] = D3DTOP_MODULATE | D3DTA_TEXTURE << 8 | D3DTA_CURRENT << 16;
             _k.alphaOps[1] = D3DTOP_SELECTARG1 | D3DTA_TEXTURE << 8;
             _k.coords[1] = 1 << 9;
         }},
        {"alpha test", [](gl_fixed_key_s& _k) { _k.alphaFunc = D3DCMP_GREATER; }},
    };
    gl_fixed_key_s all;
    const auto base = [] {
        gl_fixed_key_s key;
        key.present = 0xFFFF;
        key.texcoordComponents = 0x22222222u;
        key.colorOps[0] = D3DTOP_MODULATE | D3DTA_TEXTURE << 8 | D3DTA_DIFFUSE << 16;
        key.alphaOps[0] = D3DTOP_SELECTARG1 | D3DTA_TEXTURE << 8;
        key.coords[0] = 1 << 9;
        return key;
    };
    all = base();
    for (const key_case_s& c : cases) {
        SCOPED_TRACE(c.name);
        gl_fixed_key_s key = base();
        c.change(key);
        EXPECT_NO_THROW(GlLinkProgram(context, GlFixedVertexSource(key), GlFixedPixelSource(key)));
        if (std::string(c.name) != "pre-transformed") {
            c.change(all);
        }
    }
    EXPECT_NO_THROW(GlLinkProgram(context, GlFixedVertexSource(all), GlFixedPixelSource(all)));
}

}

namespace {

struct point_vertex_s {
    f32 x, y, z, rhw;
};

// Point sprites: each point a square of the point size, its texture from
// the top left corner.
TEST_F(GlFixedFunction, PointSpritesSpanTheirTextureFromTheTopLeft)
{
    IDirect3DTexture9* texture =
        Texture(2, 2, D3DFMT_A8R8G8B8,
                {0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, 1);
    device->SetRenderState(D3DRS_POINTSIZE, FloatToDword(16.0f));
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    const point_vertex_s points[2] = {{16, 16, 0.5f, 1}, {48, 40, 0.5f, 1}};
    device->SetFVF(D3DFVF_XYZRHW);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 2, points, sizeof(point_vertex_s)), D3D_OK);
    device->SetTexture(0, nullptr);
    texture->Release();
    const std::vector<u8> shot = Finish();
    EXPECT_EQ(Pixel(shot, 12, 12) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Pixel(shot, 20, 12) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(Pixel(shot, 12, 20) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(Pixel(shot, 52, 44) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Pixel(shot, 30, 30) & 0xFFFFFF, 0u);
    ExpectImage(shot, "point_sprites", tolerance);
}

struct tween_vertex_s {
    f32 x, y, z;
};

// Tweening halfway between a quad on the left and one on the right draws
// it in the middle.
TEST_F(GlFixedFunction, TweeningBlendsTheTwoPositions)
{
    const tween_vertex_s left[4] = {{-1, 1, 0.5f}, {0, 1, 0.5f}, {-1, -1, 0.5f}, {0, -1, 0.5f}};
    const tween_vertex_s right[4] = {{0, 1, 0.5f}, {1, 1, 0.5f}, {0, -1, 0.5f}, {1, -1, 0.5f}};
    IDirect3DVertexBuffer9* buffers[2] = {};
    for (u32 i = 0; i < 2; ++i) {
        ASSERT_EQ(device->CreateVertexBuffer(sizeof(left), 0, 0, D3DPOOL_MANAGED, &buffers[i], nullptr), D3D_OK);
        void* data = nullptr;
        buffers[i]->Lock(0, 0, &data, 0);
        std::memcpy(data, i == 0 ? left : right, sizeof(left));
        buffers[i]->Unlock();
        device->SetStreamSource(i, buffers[i], 0, sizeof(tween_vertex_s));
    }
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                          {1, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 1},
                                          D3DDECL_END};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    device->CreateVertexDeclaration(elements, &declaration);
    device->SetVertexDeclaration(declaration);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_TWEENING);
    device->SetRenderState(D3DRS_TWEENFACTOR, FloatToDword(0.5f));
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    for (u32 i = 0; i < 2; ++i) {
        device->SetStreamSource(i, nullptr, 0, 0);
        buffers[i]->Release();
    }
    device->SetVertexDeclaration(nullptr);
    declaration->Release();
    const std::vector<u8> shot = Finish();
    EXPECT_EQ(Pixel(shot, 8, 32) & 0xFFFFFF, 0u);
    EXPECT_EQ(Pixel(shot, 20, 32) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Pixel(shot, 44, 32) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Pixel(shot, 56, 32) & 0xFFFFFF, 0u);
}

struct blend_vertex_s {
    f32 x, y, z;
    f32 weight;
    u8 indices[4];
};

// Indexed blending: the first vertices follow matrix 5 alone, moved right;
// the others are split evenly between matrices 5 and 0.
TEST_F(GlFixedFunction, IndexedBlendingFollowsTheNamedMatrices)
{
    D3DMATRIX shift = d3d_identity_matrix;
    shift.m[3][0] = 1.0f;
    device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_WORLD + 5), &shift);
    const blend_vertex_s quad[4] = {{-1, 1, 0.5f, 1, {5, 0, 0, 0}},
                                    {0, 1, 0.5f, 1, {5, 0, 0, 0}},
                                    {-1, -1, 0.5f, 0.5f, {5, 0, 0, 0}},
                                    {0, -1, 0.5f, 0.5f, {5, 0, 0, 0}}};
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                          {0, 12, D3DDECLTYPE_FLOAT1, 0, D3DDECLUSAGE_BLENDWEIGHT, 0},
                                          {0, 16, D3DDECLTYPE_UBYTE4, 0, D3DDECLUSAGE_BLENDINDICES, 0},
                                          D3DDECL_END};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    device->CreateVertexDeclaration(elements, &declaration);
    device->SetVertexDeclaration(declaration);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_1WEIGHTS);
    device->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, 1);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(blend_vertex_s)), D3D_OK);
    device->SetVertexDeclaration(nullptr);
    declaration->Release();
    const std::vector<u8> shot = Finish();
    // Top row: from x 0 to 1 (pixels 32 to 63); bottom row: from -0.5 to
    // 0.5 (pixels 16 to 47).
    EXPECT_EQ(Pixel(shot, 40, 1) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Pixel(shot, 24, 1) & 0xFFFFFF, 0u);
    EXPECT_EQ(Pixel(shot, 20, 62) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(Pixel(shot, 52, 62) & 0xFFFFFF, 0u);
    ExpectImage(shot, "indexed_blending", tolerance);
}

}
