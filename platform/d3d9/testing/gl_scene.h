#pragma once
// gl_scene_c: a 64x64 window with an OpenGL-backend device on it, for the
// pixel tests, and the small builders they share: pre-transformed
// vertices, textures filled from bytes, and the screen capture compared
// with an expected PNG in testing/expected (written there when missing, to
// be looked at by a person and committed).
#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/testing/expected_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A pre-transformed vertex: x, y in pixels, z, 1/w, diffuse, one texture
// coordinate set.
struct gl_test_vertex_s {
    f32 x, y, z, rhw;
    D3DCOLOR diffuse;
    f32 u, v;
};
constexpr DWORD gl_test_fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class gl_scene_c : public ::testing::Test {
protected:
    static constexpr UINT size = 64;

    void SetUp() override;
    void TearDown() override;

    // A quad of pre-transformed vertices from (x0, y0) to (x1, y1), with
    // texture coordinates 0..1, drawn as a strip.
    void Quad(f32 _x0, f32 _y0, f32 _x1, f32 _y1, D3DCOLOR _color, f32 _z = 0.5f);
    // A texture of one level filled row by row from _bytes (rows of the
    // format's own size).
    IDirect3DTexture9* Texture(UINT _width, UINT _height, D3DFORMAT _format, const std::vector<u8>& _bytes);
    // Clears to black (depth 1, stencil 0), turns culling and lighting off
    // and begins the scene; nothing without a device.
    void BeginUnlitScene();
    // Presents and reads the front buffer: B, G, R, A bytes, rows top first.
    std::vector<u8> Capture();
    // The B, G, R, A of one captured pixel, as a D3DCOLOR.
    static D3DCOLOR Pixel(const std::vector<u8>& _capture, u32 _x, u32 _y);
    // Compares with testing/expected/_name.png within _tolerance per
    // channel, writing the file when there is none.
    void ExpectImage(const std::vector<u8>& _capture, const std::string& _name, u32 _tolerance);

    HWND window = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};
