#pragma once
// A rectangle of the screen as four pre-transformed vertices drawn from
// memory as a strip of two triangles: corners (x0, y0), (x1, y0), (x0, y1),
// (x1, y1), each moved by -0.5 onto the pixel centres, z 1.0 and rhw
// 1.1920929e-07. Three vertex forms: a colour (20 bytes), a colour and one
// coordinate pair (28 bytes), and four coordinate pairs (48 bytes, the glow
// blur's). The full-screen fills, the map overlays, the shadow shade and the
// glow passes all draw through these.
#include "foundation/types.h"
#include "platform/d3d9/d3d9.h"

#include <array>

constexpr f32 d3d_screen_rhw = 1.1920929e-07f;

struct d3d_screen_rect_s {
    i32 x = 0;
    i32 y = 0;
    i32 width = 0;
    i32 height = 0;
};

struct d3d_screen_vertex_s {
    f32 x, y, z, rhw;
    D3DCOLOR color;
};

struct d3d_screen_textured_vertex_s {
    f32 x, y, z, rhw;
    D3DCOLOR color;
    f32 u, v;
};

struct d3d_screen_glow_vertex_s {
    f32 x, y, z, rhw;
    f32 uv[4][2];
};

static_assert(sizeof(d3d_screen_vertex_s) == 20);
static_assert(sizeof(d3d_screen_textured_vertex_s) == 28);
static_assert(sizeof(d3d_screen_glow_vertex_s) == 48);

std::array<d3d_screen_vertex_s, 4> ScreenQuad(const d3d_screen_rect_s& _rect, D3DCOLOR _color);
// Coordinates (0, 0) at the top left to (1, 1) at the bottom right.
std::array<d3d_screen_textured_vertex_s, 4> TexturedScreenQuad(const d3d_screen_rect_s& _rect, D3DCOLOR _color);
// Each set is the unit square shifted: set 0 by (-du, 0), set 1 by (du, 0),
// set 2 by (0, -dv), set 3 by (0, dv).
std::array<d3d_screen_glow_vertex_s, 4> GlowScreenQuad(const d3d_screen_rect_s& _rect, f32 _du, f32 _dv);

// DrawPrimitiveUP of the strip.
template <class vertex_t>
void DrawScreenQuad(IDirect3DDevice9* _device, const std::array<vertex_t, 4>& _quad)
{
    _device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, _quad.data(), sizeof(vertex_t));
}
