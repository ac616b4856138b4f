#include "render_d3d9/screen_quad.h"

namespace {

struct screen_vertex_s {
    f32 x, y, z, rhw;
    D3DCOLOR color;
};
static_assert(sizeof(screen_vertex_s) == 20);

}

void DrawScreenQuad(IDirect3DDevice9* _device, f32 _x0, f32 _y0, f32 _x1, f32 _y1, D3DCOLOR _color)
{
    constexpr f32 z = 1.0f;
    constexpr f32 rhw = 1.1920929e-07f;
    const screen_vertex_s vertices[4] = {{_x0 - 0.5f, _y0 - 0.5f, z, rhw, _color},
                                         {_x1 - 0.5f, _y0 - 0.5f, z, rhw, _color},
                                         {_x0 - 0.5f, _y1 - 0.5f, z, rhw, _color},
                                         {_x1 - 0.5f, _y1 - 0.5f, z, rhw, _color}};
    _device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, vertices, sizeof(screen_vertex_s));
}
