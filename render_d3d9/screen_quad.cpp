#include "render_d3d9/screen_quad.h"

namespace {

// Corner i of the strip: x from the right edge when i & 1, y from the
// bottom edge when i & 2.
template <class vertex_t>
std::array<vertex_t, 4> Corners(const d3d_screen_rect_s& _rect)
{
    const f32 left = static_cast<f32>(_rect.x) - 0.5f;
    const f32 top = static_cast<f32>(_rect.y) - 0.5f;
    const f32 right = static_cast<f32>(static_cast<i64>(_rect.x) + _rect.width) - 0.5f;
    const f32 bottom = static_cast<f32>(static_cast<i64>(_rect.y) + _rect.height) - 0.5f;
    std::array<vertex_t, 4> quad{};
    for (u32 i = 0; i < 4; ++i) {
        quad[i].x = (i & 1) != 0 ? right : left;
        quad[i].y = (i & 2) != 0 ? bottom : top;
        quad[i].z = 1.0f;
        quad[i].rhw = d3d_screen_rhw;
    }
    return quad;
}

f32 Edge(u32 _corner, u32 _bit)
{
    return (_corner & _bit) != 0 ? 1.0f : 0.0f;
}

}

std::array<d3d_screen_vertex_s, 4> ScreenQuad(const d3d_screen_rect_s& _rect, D3DCOLOR _color)
{
    auto quad = Corners<d3d_screen_vertex_s>(_rect);
    for (auto& vertex : quad) {
        vertex.color = _color;
    }
    return quad;
}

std::array<d3d_screen_textured_vertex_s, 4> TexturedScreenQuad(const d3d_screen_rect_s& _rect, D3DCOLOR _color)
{
    auto quad = Corners<d3d_screen_textured_vertex_s>(_rect);
    for (u32 i = 0; i < 4; ++i) {
        quad[i].color = _color;
        quad[i].u = Edge(i, 1);
        quad[i].v = Edge(i, 2);
    }
    return quad;
}

std::array<d3d_screen_glow_vertex_s, 4> GlowScreenQuad(const d3d_screen_rect_s& _rect, f32 _du, f32 _dv)
{
    const f32 shifts[4][2] = {{-_du, 0.0f}, {_du, 0.0f}, {0.0f, -_dv}, {0.0f, _dv}};
    auto quad = Corners<d3d_screen_glow_vertex_s>(_rect);
    for (u32 i = 0; i < 4; ++i) {
        for (u32 set = 0; set < 4; ++set) {
            quad[i].uv[set][0] = Edge(i, 1) + shifts[set][0];
            quad[i].uv[set][1] = Edge(i, 2) + shifts[set][1];
        }
    }
    return quad;
}
