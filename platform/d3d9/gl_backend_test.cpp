#include "platform/d3d9/gl_backend.h"
#include "platform/d3d9/testing/gl_scene.h"

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
