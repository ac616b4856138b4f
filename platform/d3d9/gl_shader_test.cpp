#include "platform/d3d9/gl_shader_translate.h"
#include "platform/d3d9/shader_tokens.h"
#include "platform/d3d9/testing/gl_scene.h"

#include <cstring>
#include <functional>
#include <stdexcept>

namespace {

// Token builders for hand-written programs.
DWORD Register(u32 _type, u32 _index)
{
    return 0x80000000u | ((_type & 7) << 28) | (((_type >> 3) & 3) << 11) | _index;
}
DWORD Dst(u32 _type, u32 _index, u32 _mask = 0xF)
{
    return Register(_type, _index) | (_mask << 16);
}
DWORD Src(u32 _type, u32 _index, u32 _swizzle = 0xE4)
{
    return Register(_type, _index) | (_swizzle << 16);
}
// An instruction of a 2.0 stream carries its parameter count.
DWORD Op(u32 _opcode, u32 _params, bool _model2)
{
    return _opcode | (_model2 ? _params << 24 : 0u);
}
DWORD Bits(f32 _value)
{
    DWORD out = 0;
    std::memcpy(&out, &_value, 4);
    return out;
}

constexpr u32 temp = 0, input = 1, constant = 2, texture = 3, rastout = 4, attrout = 5, colorout = 8, sampler = 10;

// vs_1_1: position through c0-c3, colour times c4.
const std::vector<DWORD> vertex_program = {0xFFFE0101u,
                                           Op(D3DSIO_DCL, 2, false),
                                           0x80000000u | D3DDECLUSAGE_POSITION,
                                           Dst(input, 0),
                                           Op(D3DSIO_DCL, 2, false),
                                           0x80000000u | D3DDECLUSAGE_COLOR,
                                           Dst(input, 1),
                                           Op(D3DSIO_M4x4, 3, false),
                                           Dst(rastout, 0),
                                           Src(input, 0),
                                           Src(constant, 0),
                                           Op(D3DSIO_MUL, 3, false),
                                           Dst(attrout, 0),
                                           Src(input, 1),
                                           Src(constant, 4),
                                           d3d_shader_end_token};

// ps_2_0: the texture of t0 times c0, its alpha forced to c1.w by a def.
const std::vector<DWORD> pixel_program = {0xFFFF0200u,
                                          Op(D3DSIO_DCL, 2, true),
                                          0x80000000u,
                                          Dst(texture, 0),
                                          Op(D3DSIO_DCL, 2, true),
                                          0x80000000u | (2u << 27),
                                          Dst(sampler, 0),
                                          Op(D3DSIO_DEF, 5, true),
                                          Dst(constant, 1),
                                          Bits(0),
                                          Bits(0),
                                          Bits(0),
                                          Bits(1),
                                          Op(D3DSIO_TEX, 3, true),
                                          Dst(temp, 0),
                                          Src(texture, 0),
                                          Src(sampler, 0),
                                          Op(D3DSIO_MUL, 3, true),
                                          Dst(temp, 0),
                                          Src(temp, 0),
                                          Src(constant, 0),
                                          Op(D3DSIO_MOV, 2, true),
                                          Dst(temp, 0, 8),
                                          Src(constant, 1),
                                          Op(D3DSIO_MOV, 2, true),
                                          Dst(colorout, 0),
                                          Src(temp, 0),
                                          d3d_shader_end_token};

class GlShaders : public gl_scene_c {
protected:
    void SetUp() override
    {
        gl_scene_c::SetUp();
        BeginUnlitScene();
    }

    // The whole window through pixel_program with c0 = _scale and _image
    // (released here) at sampler 0, after _states; the capture.
    std::vector<u8> DrawWithPixelProgram(IDirect3DTexture9* _image, const f32 (&_scale)[4],
                                         const std::function<void()>& _states)
    {
        IDirect3DPixelShader9* shader = nullptr;
        EXPECT_EQ(device->CreatePixelShader(pixel_program.data(), &shader), D3D_OK);
        device->SetPixelShaderConstantF(0, _scale, 1);
        device->SetPixelShader(shader);
        device->SetTexture(0, _image);
        _states();
        Quad(-0.5f, -0.5f, 63.5f, 63.5f, 0xFFFFFFFFu);
        device->SetPixelShader(nullptr);
        device->SetTexture(0, nullptr);
        if (shader != nullptr) {
            shader->Release();
        }
        if (_image != nullptr) {
            _image->Release();
        }
        device->EndScene();
        return Capture();
    }
};

struct shaded_vertex_s {
    f32 x, y, z;
    D3DCOLOR color;
};

TEST_F(GlShaders, VertexProgramsTransformAndColour)
{
    IDirect3DVertexShader9* shader = nullptr;
    ASSERT_EQ(device->CreateVertexShader(vertex_program.data(), &shader), D3D_OK);
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                          {0, 12, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                          D3DDECL_END};
    IDirect3DVertexDeclaration9* declaration = nullptr;
    device->CreateVertexDeclaration(elements, &declaration);
    // Scaled by a half: the quad covers the middle 32x32 pixels.
    const f32 transform[5][4] = {{0.5f, 0, 0, 0}, {0, 0.5f, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, {1, 0.5f, 0.25f, 1}};
    device->SetVertexShaderConstantF(0, transform[0], 5);
    device->SetVertexShader(shader);
    device->SetVertexDeclaration(declaration);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    const shaded_vertex_s quad[4] = {
        {-1, 1, 0.5f, 0xFFFFFFFFu}, {1, 1, 0.5f, 0xFFFFFFFFu}, {-1, -1, 0.5f, 0xFFFFFFFFu}, {1, -1, 0.5f, 0xFFFFFFFFu}};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(shaded_vertex_s)), D3D_OK);
    device->SetVertexShader(nullptr);
    device->SetVertexDeclaration(nullptr);
    shader->Release();
    declaration->Release();
    device->EndScene();
    const std::vector<u8> shot = Capture();
    EXPECT_LE(ColorDistance(Pixel(shot, 32, 32), 0xFFFF8040u), 1u) << std::hex << Pixel(shot, 32, 32);
    EXPECT_EQ(Pixel(shot, 16, 16) & 0xFFFFFF, 0xFF8040u);
    EXPECT_EQ(Pixel(shot, 15, 15) & 0xFFFFFF, 0u);
    EXPECT_EQ(Pixel(shot, 48, 48) & 0xFFFFFF, 0u);
}

TEST_F(GlShaders, PixelProgramsSampleAndWriteTheirColour)
{
    const f32 scale[4] = {1, 0.5f, 1, 1};
    const std::vector<u8> shot =
        DrawWithPixelProgram(Texture(1, 1, D3DFMT_A8R8G8B8, {0x40, 0x80, 0xFF, 0x80}), scale, [this] {
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
            device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
            device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        });
    // Red full, green halved, blue as sampled, drawn opaque by the def.
    EXPECT_LE(ColorDistance(Pixel(shot, 32, 32) & 0xFFFFFF, 0xFF4040u), 1u) << std::hex << Pixel(shot, 32, 32);
}

// A pixel program reads the coordinates the vertex stage hands it whatever
// the texture stages say: they are ignored while a pixel program runs, so
// a first stage turned off must not leave the coordinates at zero.
TEST_F(GlShaders, PixelProgramsGetTheirCoordinatesWithTheStagesTurnedOff)
{
    const f32 scale[4] = {1, 1, 1, 1};
    // Black on the left, white on the right.
    const std::vector<u8> shot =
        DrawWithPixelProgram(Texture(2, 1, D3DFMT_X8R8G8B8, {0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), scale, [this] {
            device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
            device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
            device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
            device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        });
    EXPECT_EQ(Pixel(shot, 16, 32) & 0xFFFFFF, 0u) << std::hex << Pixel(shot, 16, 32);
    EXPECT_EQ(Pixel(shot, 48, 32) & 0xFFFFFF, 0xFFFFFFu) << std::hex << Pixel(shot, 48, 32);
}

TEST(GlShaderTranslation, NamesWhatItCannotTranslate)
{
    const std::vector<DWORD> unknown = {0xFFFE0101u, Op(D3DSIO_DST + 40, 0, false), d3d_shader_end_token};
    try {
        GlTranslateVertexShader(unknown.data(), unknown.size());
        FAIL() << "translated an unknown instruction";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("shader translation"), std::string::npos) << error.what();
    }
    const std::vector<DWORD> old_pixel = {0xFFFF0101u, d3d_shader_end_token};
    EXPECT_THROW(GlTranslatePixelShader(old_pixel.data(), old_pixel.size()), std::runtime_error);
}

// The translation keeps write masks, swizzles, negation and saturation.
TEST(GlShaderTranslation, KeepsMasksSwizzlesAndModifiers)
{
    const std::vector<DWORD> program = {0xFFFE0101u,
                                        Op(D3DSIO_DCL, 2, false),
                                        0x80000000u | D3DDECLUSAGE_POSITION,
                                        Dst(input, 0),
                                        Op(D3DSIO_ADD, 3, false),
                                        Dst(temp, 2, 0x3) | (1u << 20),
                                        Src(input, 0, 0x1B),
                                        Src(constant, 7) | (1u << 24),
                                        Op(D3DSIO_MOV, 2, false),
                                        Dst(rastout, 0),
                                        Src(temp, 2),
                                        d3d_shader_end_token};
    const std::string glsl = GlTranslateVertexShader(program.data(), program.size());
    EXPECT_NE(glsl.find("r2.xy = clamp((a_v0.wzyx + (-vc[7])), 0.0, 1.0).xy;"), std::string::npos) << glsl;
    EXPECT_NE(glsl.find("layout(location = 0) in vec4 a_v0;"), std::string::npos) << glsl;
}

}
