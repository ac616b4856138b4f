#include "platform/d3d9/gl_backend.h"
#include "platform/d3d9/testing/gl_scene.h"
#include "platform/win32/display.h"
#include "platform/win32/testing/display_double.h"

#include <cstring>
#include <memory>

namespace {

// Mesa's software rasterizer gives the same bytes run after run; hardware
// drivers may round blends and filters a little differently.
constexpr u32 tolerance = 3;

constexpr D3DCOLOR red = 0xFFFF0000u;
constexpr D3DCOLOR green = 0xFF00FF00u;
constexpr D3DCOLOR blue = 0xFF0000FFu;
constexpr D3DCOLOR black = 0xFF000000u;

using GlBackend = gl_scene_c;

TEST_F(GlBackend, ClearFillsTheViewportOnly)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, red, 1.0f, 0), D3D_OK);
    const D3DVIEWPORT9 inner{16, 8, 32, 16, 0.0f, 1.0f};
    device->SetViewport(&inner);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, blue, 1.0f, 0), D3D_OK);
    const std::vector<u8> shot = Capture();
    EXPECT_EQ(Pixel(shot, 0, 0) & 0xFFFFFF, red & 0xFFFFFF);
    EXPECT_EQ(Pixel(shot, 16, 8) & 0xFFFFFF, blue & 0xFFFFFF);
    EXPECT_EQ(Pixel(shot, 47, 23) & 0xFFFFFF, blue & 0xFFFFFF);
    EXPECT_EQ(Pixel(shot, 48, 23) & 0xFFFFFF, red & 0xFFFFFF);
    EXPECT_EQ(Pixel(shot, 47, 24) & 0xFFFFFF, red & 0xFFFFFF);
    ExpectImage(shot, "clear_viewport", tolerance);
}

TEST_F(GlBackend, PreTransformedQuadCoversWholePixelsFromTheTopLeft)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, black, 1.0f, 0);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device->BeginScene();
    // Pixel centres sit on whole coordinates: this quad covers the pixels
    // 0 to 31 across and 0 to 15 down, no more, no less.
    Quad(-0.5f, -0.5f, 31.5f, 15.5f, green);
    device->EndScene();
    const std::vector<u8> shot = Capture();
    EXPECT_EQ(Pixel(shot, 0, 0) & 0xFFFFFF, green & 0xFFFFFF);
    EXPECT_EQ(Pixel(shot, 31, 15) & 0xFFFFFF, green & 0xFFFFFF);
    EXPECT_EQ(Pixel(shot, 32, 15) & 0xFFFFFF, 0u);
    EXPECT_EQ(Pixel(shot, 31, 16) & 0xFFFFFF, 0u);
    ExpectImage(shot, "pretransformed_quad", tolerance);
}

// Draws from here on select their colours through the first stage only.
class GlDraws : public gl_scene_c {
protected:
    void SetUp() override
    {
        gl_scene_c::SetUp();
        if (device == nullptr) {
            return;
        }
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, black, 1.0f, 0);
        device->SetRenderState(D3DRS_LIGHTING, 0);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        Stage(D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
        device->BeginScene();
    }
    void Stage(DWORD _color_op, DWORD _color_arg, DWORD _alpha_op, DWORD _alpha_arg)
    {
        device->SetTextureStageState(0, D3DTSS_COLOROP, _color_op);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, _color_arg);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, _alpha_op);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG1, _alpha_arg);
    }
    std::vector<u8> Finish()
    {
        device->EndScene();
        return Capture();
    }
};

struct format_case_s {
    const char* name;
    D3DFORMAT format;
    std::vector<u8> unit;
    D3DCOLOR expected;
};

// Every format the renderer loads, one uniform 4x4 texture each, read back
// through SELECTARG1 TEXTURE on both colour and alpha.
TEST_F(GlDraws, TexturesOfEveryFormatReadTheirColours)
{
    const format_case_s cases[] = {
        {"A8R8G8B8", D3DFMT_A8R8G8B8, {0x20, 0x40, 0x80, 0xC0}, 0xC0804020u},
        {"X8R8G8B8 reads opaque", D3DFMT_X8R8G8B8, {0x20, 0x40, 0x80, 0x00}, 0xFF804020u},
        {"A8B8G8R8", D3DFMT_A8B8G8R8, {0x80, 0x40, 0x20, 0xFF}, 0xFF804020u},
        {"R5G6B5", D3DFMT_R5G6B5, {0x00, 0xF8}, 0xFFFF0000u},
        {"A1R5G5B5", D3DFMT_A1R5G5B5, {0x1F, 0x80}, 0xFF0000FFu},
        {"X1R5G5B5 reads opaque", D3DFMT_X1R5G5B5, {0xE0, 0x03}, 0xFF00FF00u},
        {"A4R4G4B4", D3DFMT_A4R4G4B4, {0xF0, 0x80}, 0x8800FF00u},
        {"L8 replicates", D3DFMT_L8, {0x80}, 0xFF808080u},
        {"A8 has no colour", D3DFMT_A8, {0x80}, 0x80000000u},
        {"A8L8", D3DFMT_A8L8, {0x40, 0x80}, 0x80404040u},
        {"A4L4 widened", D3DFMT_A4L4, {0xF8}, 0xFF888888u},
        {"R3G3B2 widened", D3DFMT_R3G3B2, {0xE0}, 0xFFFF0000u},
        {"DXT1", D3DFMT_DXT1, {0x00, 0xF8, 0x00, 0x00, 0, 0, 0, 0}, 0xFFFF0000u},
        {"DXT3",
         D3DFMT_DXT3,
         {0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0x77, 0xE0, 0x07, 0, 0, 0, 0, 0, 0},
         0x7700FF00u},
        {"DXT5", D3DFMT_DXT5, {0x40, 0x00, 0, 0, 0, 0, 0, 0, 0x1F, 0x00, 0, 0, 0, 0, 0, 0}, 0x400000FFu},
    };
    Stage(D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    for (const format_case_s& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<u8> bytes;
        const bool block =
            c.unit.size() >= 8 && (c.format == D3DFMT_DXT1 || c.format == D3DFMT_DXT3 || c.format == D3DFMT_DXT5);
        for (u32 i = 0; i < (block ? 1u : 16u); ++i) {
            bytes.insert(bytes.end(), c.unit.begin(), c.unit.end());
        }
        IDirect3DTexture9* texture = Texture(4, 4, c.format, bytes);
        ASSERT_NE(texture, nullptr);
        device->SetTexture(0, texture);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        Quad(-0.5f, -0.5f, 63.5f, 63.5f, 0xFFFFFFFFu);
        device->SetTexture(0, nullptr);
        texture->Release();
        device->EndScene();
        const std::vector<u8> shot = Capture();
        EXPECT_LE(ColorDistance(Pixel(shot, 32, 32), c.expected), 2u)
            << std::hex << Pixel(shot, 32, 32) << " for " << c.expected;
        device->BeginScene();
    }
    device->EndScene();
}

// A 4x4 texture on a 64x64 quad with point filtering: each texel covers
// exactly one 16x16 block, its first row at the top.
TEST_F(GlDraws, TexelsMapOntoPixelBlocksTopRowFirst)
{
    std::vector<u8> bytes;
    for (u32 y = 0; y < 4; ++y) {
        for (u32 x = 0; x < 4; ++x) {
            const u8 v = static_cast<u8>(y * 64 + x * 16);
            bytes.insert(bytes.end(), {v, static_cast<u8>(x * 80), static_cast<u8>(y * 80), 0xFF});
        }
    }
    IDirect3DTexture9* texture = Texture(4, 4, D3DFMT_A8R8G8B8, bytes);
    Stage(D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    device->SetTexture(0, texture);
    Quad(-0.5f, -0.5f, 63.5f, 63.5f, 0xFFFFFFFFu);
    device->SetTexture(0, nullptr);
    texture->Release();
    const std::vector<u8> shot = Finish();
    for (u32 y = 0; y < 4; ++y) {
        for (u32 x = 0; x < 4; ++x) {
            const D3DCOLOR want = D3DCOLOR_ARGB(0xFF, y * 80, x * 80, y * 64 + x * 16);
            EXPECT_EQ(Pixel(shot, x * 16, y * 16), want) << x << ", " << y;
            EXPECT_EQ(Pixel(shot, x * 16 + 15, y * 16 + 15), want) << x << ", " << y;
        }
    }
    ExpectImage(shot, "texel_blocks", tolerance);
}

TEST_F(GlDraws, DepthTestKeepsTheNearerQuad)
{
    Quad(-0.5f, -0.5f, 39.5f, 39.5f, green, 0.25f);
    Quad(23.5f, 23.5f, 63.5f, 63.5f, red, 0.75f);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    device->SetRenderState(D3DRS_ZWRITEENABLE, 0);
    // Everywhere but behind the near quad.
    Quad(-0.5f, -0.5f, 63.5f, 63.5f, blue, 0.5f);
    const std::vector<u8> shot = Finish();
    EXPECT_EQ(Pixel(shot, 30, 30), green);
    EXPECT_EQ(Pixel(shot, 5, 5), green);
    EXPECT_EQ(Pixel(shot, 50, 50), blue);
    EXPECT_EQ(Pixel(shot, 60, 2), blue);
    ExpectImage(shot, "depth_test", tolerance);
}

// A shadow volume's way: front faces increment, back faces decrement,
// both wrapping, in one two-sided pass; then colour where the count is not
// zero.
TEST_F(GlDraws, TwoSidedStencilCountsFacesWithWrapping)
{
    device->SetRenderState(D3DRS_ZWRITEENABLE, 0);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    device->SetRenderState(D3DRS_STENCILENABLE, 1);
    device->SetRenderState(D3DRS_TWOSIDEDSTENCILMODE, 1);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    device->SetRenderState(D3DRS_CCW_STENCILFUNC, D3DCMP_ALWAYS);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INCR);
    device->SetRenderState(D3DRS_CCW_STENCILPASS, D3DSTENCILOP_DECR);
    // Clockwise on the screen: a front face.
    const gl_test_vertex_s front[3] = {
        {-0.5f, -0.5f, 0.5f, 1, 0, 0, 0}, {63.5f, -0.5f, 0.5f, 1, 0, 0, 0}, {-0.5f, 63.5f, 0.5f, 1, 0, 0, 0}};
    // Counter-clockwise: a back face over the right-hand half only.
    const gl_test_vertex_s back[3] = {
        {31.5f, -0.5f, 0.5f, 1, 0, 0, 0}, {31.5f, 63.5f, 0.5f, 1, 0, 0, 0}, {63.5f, -0.5f, 0.5f, 1, 0, 0, 0}};
    device->SetFVF(gl_test_fvf);
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, front, sizeof(gl_test_vertex_s));
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, back, sizeof(gl_test_vertex_s));
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    device->SetRenderState(D3DRS_TWOSIDEDSTENCILMODE, 0);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    for (const auto& [count, color] : {std::pair<DWORD, D3DCOLOR>{1, green}, {255, red}}) {
        device->SetRenderState(D3DRS_STENCILREF, count);
        Quad(-0.5f, -0.5f, 63.5f, 63.5f, color);
    }
    const std::vector<u8> shot = Finish();
    // Left: in the front face only. Top right: both faces, back to zero.
    // Bottom right: the back face alone, wrapped below zero.
    EXPECT_EQ(Pixel(shot, 4, 4), green);
    EXPECT_EQ(Pixel(shot, 40, 4), black);
    EXPECT_EQ(Pixel(shot, 34, 55), red);
    ExpectImage(shot, "two_sided_stencil", tolerance);
}

// Drawing into a render-target texture, then drawing with it: its top row
// is still on top.
TEST_F(GlDraws, RenderTargetTexturesAreSampledTheRightWayUp)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(
        device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr),
        D3D_OK);
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* surface = nullptr;
    device->GetRenderTarget(0, &back);
    target->GetSurfaceLevel(0, &surface);
    device->EndScene();
    device->SetRenderTarget(0, surface);
    D3DVIEWPORT9 viewport;
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 32u);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, blue, 1.0f, 0);
    device->BeginScene();
    device->SetRenderState(D3DRS_ZENABLE, 0);
    Quad(-0.5f, -0.5f, 31.5f, 7.5f, red);
    device->EndScene();
    device->SetRenderTarget(0, back);
    device->BeginScene();
    Stage(D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    device->SetTexture(0, target);
    Quad(-0.5f, -0.5f, 63.5f, 63.5f, 0xFFFFFFFFu);
    device->SetTexture(0, nullptr);
    surface->Release();
    back->Release();
    target->Release();
    const std::vector<u8> shot = Finish();
    EXPECT_EQ(Pixel(shot, 10, 5), red);
    EXPECT_EQ(Pixel(shot, 10, 40), blue);
    ExpectImage(shot, "render_target_texture", tolerance);
}

// Without shaders, every bound target receives the same colour.
TEST_F(GlDraws, FixedFunctionWritesEveryBoundTarget)
{
    IDirect3DTexture9* targets[2] = {};
    IDirect3DSurface9* surfaces[2] = {};
    for (u32 i = 0; i < 2; ++i) {
        ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &targets[i],
                                        nullptr),
                  D3D_OK);
        targets[i]->GetSurfaceLevel(0, &surfaces[i]);
    }
    IDirect3DSurface9* back = nullptr;
    device->GetRenderTarget(0, &back);
    device->EndScene();
    device->SetRenderTarget(0, surfaces[0]);
    device->SetRenderTarget(1, surfaces[1]);
    device->BeginScene();
    device->SetRenderState(D3DRS_ZENABLE, 0);
    Quad(-0.5f, -0.5f, 15.5f, 15.5f, green);
    device->EndScene();
    device->SetRenderTarget(1, nullptr);
    device->SetRenderTarget(0, back);
    device->BeginScene();
    Stage(D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    device->SetTexture(0, targets[1]);
    Quad(-0.5f, -0.5f, 63.5f, 63.5f, 0xFFFFFFFFu);
    device->SetTexture(0, nullptr);
    for (u32 i = 0; i < 2; ++i) {
        surfaces[i]->Release();
        targets[i]->Release();
    }
    back->Release();
    const std::vector<u8> shot = Finish();
    EXPECT_EQ(Pixel(shot, 32, 32), green);
}

// Sampler states: coordinates past the edge read the border colour, and a
// largest level of 1 draws from the second mipmap level.
TEST_F(GlDraws, SamplersKeepBorderColourAndLargestLevel)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 2, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 2u);
    for (UINT level = 0; level < 2; ++level) {
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        const D3DCOLOR color = level == 0 ? red : green;
        for (u32 y = 0; y < 2u - level; ++y) {
            for (u32 x = 0; x < 2u - level; ++x) {
                std::memcpy(static_cast<u8*>(locked.pBits) + y * u64(locked.Pitch) + x * 4, &color, 4);
            }
        }
        texture->UnlockRect(level);
    }
    Stage(D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    device->SetTexture(0, texture);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, 4);
    device->SetSamplerState(0, D3DSAMP_BORDERCOLOR, blue);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 1);
    // u from 0 to 2 across: the right half is past the edge.
    const gl_test_vertex_s quad[4] = {{-0.5f, -0.5f, 0.5f, 1, 0, 0, 0},
                                      {63.5f, -0.5f, 0.5f, 1, 0, 2, 0},
                                      {-0.5f, 63.5f, 0.5f, 1, 0, 0, 1},
                                      {63.5f, 63.5f, 0.5f, 1, 0, 2, 1}};
    device->SetFVF(gl_test_fvf);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(gl_test_vertex_s));
    device->SetTexture(0, nullptr);
    texture->Release();
    const std::vector<u8> shot = Finish();
    EXPECT_EQ(Pixel(shot, 16, 32), green);
    EXPECT_EQ(Pixel(shot, 48, 32), blue);
}

// Indexed draws from buffers, with a base vertex, and an index buffer
// filled through a partial lock.
TEST_F(GlDraws, IndexedDrawsReadLockedBuffers)
{
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(8 * sizeof(gl_test_vertex_s), D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED,
                                         &vertices, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(12 * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr),
              D3D_OK);
    gl_test_vertex_s* v = nullptr;
    ASSERT_EQ(vertices->Lock(0, 0, reinterpret_cast<void**>(&v), 0), D3D_OK);
    for (u32 i = 0; i < 8; ++i) {
        v[i] = {0, 0, 0.5f, 1, red, 0, 0};
    }
    // The second quad: the lower right quarter, in green.
    const f32 corners[4][2] = {{31.5f, 31.5f}, {63.5f, 31.5f}, {31.5f, 63.5f}, {63.5f, 63.5f}};
    for (u32 i = 0; i < 4; ++i) {
        v[4 + i] = {corners[i][0], corners[i][1], 0.5f, 1, green, 0, 0};
    }
    vertices->Unlock();
    u16* index = nullptr;
    ASSERT_EQ(indices->Lock(12, 12, reinterpret_cast<void**>(&index), 0), D3D_OK);
    const u16 quad[6] = {0, 1, 2, 2, 1, 3};
    std::copy(quad, quad + 6, index);
    indices->Unlock();
    device->SetFVF(gl_test_fvf);
    device->SetStreamSource(0, vertices, 0, sizeof(gl_test_vertex_s));
    device->SetIndices(indices);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 4, 6, 2), D3D_OK);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    vertices->Release();
    indices->Release();
    const std::vector<u8> shot = Finish();
    EXPECT_EQ(Pixel(shot, 40, 40), green);
    EXPECT_EQ(Pixel(shot, 20, 20), black);
}

TEST_F(GlBackend, TheAdapterShowsTheModeTheDisplaySwitchedTo)
{
    ASSERT_NE(d3d, nullptr);
    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &desktop), D3D_OK);
    auto display = std::make_shared<display_double_c>();
    display->modes.insert({desktop.Width / 2, desktop.Height / 2, 32});
    SetDisplayBackend(display);
    DEVMODEA mode;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    mode.dmPelsWidth = desktop.Width / 2;
    mode.dmPelsHeight = desktop.Height / 2;
    mode.dmBitsPerPel = 32;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    D3DDISPLAYMODE switched{};
    EXPECT_EQ(d3d->GetAdapterDisplayMode(0, &switched), D3D_OK);
    EXPECT_EQ(switched.Width, desktop.Width / 2);
    EXPECT_EQ(switched.Height, desktop.Height / 2);
    EXPECT_EQ(switched.Format, desktop.Format);

    ChangeDisplaySettingsA(nullptr, 0);
    D3DDISPLAYMODE restored{};
    EXPECT_EQ(d3d->GetAdapterDisplayMode(0, &restored), D3D_OK);
    EXPECT_EQ(restored.Width, desktop.Width);
    EXPECT_EQ(restored.Height, desktop.Height);
    SetDisplayBackend(nullptr);
}

TEST_F(GlBackend, CreationWithoutAWindowNamesWhatIsMissing)
{
    D3DPRESENT_PARAMETERS parameters;
    parameters.Windowed = 1;
    parameters.BackBufferWidth = 32;
    parameters.BackBufferHeight = 32;
    IDirect3DDevice9* other = nullptr;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &parameters, &other), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(other, nullptr);
    EXPECT_NE(GlBackendFailure().find("no window"), std::string::npos) << GlBackendFailure();
}

}
