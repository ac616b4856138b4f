#include "render_d3d9/draw_overlay.h"
#include "engine/color.h"
#include "engine/font_handle.h"
#include "engine/map.h"
#include "render_d3d9/draw_common.h"
#include "render_d3d9/font.h"
#include "render_d3d9/renderer.h"
#include "render_d3d9/screen_quad.h"

#include <algorithm>
#include <cmath>

namespace {

// Text rectangles stay within what a pixel coordinate can be, so that their
// corners never overflow.
constexpr i32 text_pixel_limit = 1000000000;

const d3d_stage_op_s select_texture = StageOp(D3DTOP_SELECTARG1, D3DTA_TEXTURE);
const d3d_stage_op_s select_diffuse = StageOp(D3DTOP_SELECTARG1, D3DTA_DIFFUSE);

bool On(f32 _flag)
{
    return _flag != 0.0f;
}

DWORD StencilValue(f32 _value)
{
    if (!(_value > 0.0f)) {
        return 0;
    }
    return _value >= 255.0f ? 255 : static_cast<DWORD>(_value);
}

i32 TextPixels(i32 _value)
{
    return std::clamp(_value, -text_pixel_limit, text_pixel_limit);
}

}

d3d_overlay_blend_s OverlayBlend(bool _additive, bool _multiply, bool _blend)
{
    d3d_overlay_blend_s blend;
    blend.enable = _additive || _multiply || _blend;
    blend.source = _multiply ? D3DBLEND_DESTCOLOR : _blend ? D3DBLEND_SRCALPHA : D3DBLEND_ONE;
    blend.dest = _additive ? D3DBLEND_ONE : _blend ? D3DBLEND_INVSRCALPHA : D3DBLEND_ZERO;
    return blend;
}

bool d3d_renderer_c::OverlayReady() const
{
    return frame.InScene() && !sceneSet && viewportWidth > 0 && viewportHeight > 0;
}

void d3d_renderer_c::SetupOverlay(bool _textured)
{
    UseBackBufferOnly(cache);
    cache.SetViewport(viewportX, viewportY, viewportWidth, viewportHeight);
    SetPlainStates(cache, false, true);
    cache.SetFillMode(D3DFILL_SOLID);
    cache.SetStencil(d3d_stencil_s{});
    cache.SetFog(nullptr, false);
    vertex_format_c format;
    format.hasDiffuse = 1;
    format.texCoordSetCount = _textured ? 1 : 0;
    // Entry 0 also unbinds the blur's pixel shader the glow may have left.
    SetupMemoryPass(cache, format);
}

void d3d_renderer_c::SetOverlayBlend(const d3d_overlay_blend_s& _blend)
{
    cache.SetAlphaBlend(_blend.enable, _blend.source, _blend.dest);
}

d3d_screen_rect_s d3d_renderer_c::ViewportRect() const
{
    return {viewportX, viewportY, viewportWidth, viewportHeight};
}

void d3d_renderer_c::DrawMap(const map_c& _map, f32 _transparency, f32 _additive, f32 _multiply)
{
    if (!(_transparency < 1.0f) || !OverlayReady()) {
        return;
    }
    const d3d_texture_c* texture = MapTexture(&_map, 0.0f);
    if (texture == nullptr) {
        return;
    }
    const f32 opacity = 1.0f - _transparency;
    const bool alpha_texture = texture->HasAlpha();
    const bool blend = opacity < 1.0f || alpha_texture;
    SetupOverlay(true);
    cache.SetDepth(false, false, D3DCMP_LESS);
    cache.SetAlphaTest(alpha_texture, 0.01f);
    SetOverlayBlend(OverlayBlend(On(_additive), On(_multiply), blend));
    SetEffectStage(cache, 0, select_texture,
                   alpha_texture ? StageOp(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE) : select_diffuse, _map,
                   *texture);
    DisableStages(cache, 1);
    DrawScreenQuad(device, TexturedScreenQuad(ViewportRect(), ColorAlphaToBgra(1.0f, 1.0f, 1.0f, opacity)));
}

void d3d_renderer_c::DrawMap31(const map_c& _map, f32 _value, f32 _threshold, f32 _additive, f32 _multiply)
{
    if (!(_value > 0.0f) || !OverlayReady()) {
        return;
    }
    const d3d_texture_c* texture = MapTexture(&_map, 0.0f);
    if (texture == nullptr) {
        return;
    }
    SetupOverlay(true);
    cache.SetDepth(false, false, D3DCMP_LESS);
    // A higher threshold lowers the reference and so reveals more of the
    // map's alpha.
    cache.SetAlphaTest(true, 1.0f - _threshold);
    SetOverlayBlend(OverlayBlend(On(_additive), On(_multiply), false));
    const bool colored = texture->GetChannelClass() == 3;
    SetEffectStage(cache, 0, colored ? select_texture : select_diffuse, select_texture, _map, *texture);
    DisableStages(cache, 1);
    DrawScreenQuad(device, TexturedScreenQuad(ViewportRect(), ColorAlphaToBgra(1.0f, 1.0f, 1.0f, 1.0f)));
}

void d3d_renderer_c::DrawDebug28(f32 _grey, f32 _stencil_value, f32 _write_color, f32 _write_depth, f32 _write_stencil)
{
    const bool write_color = On(_write_color);
    const bool write_depth = On(_write_depth);
    const bool write_stencil = On(_write_stencil) && (flags & d3d_flag_stencil) != 0;
    if (!(write_color || write_depth || write_stencil) || !OverlayReady()) {
        return;
    }
    SetupOverlay(false);
    cache.SetAlphaTest(false, 0.0f);
    if (write_color) {
        cache.Targets().Setup(0, true, true, true, true, nullptr);
        cache.SetAlphaBlend(false, D3DBLEND_ONE, D3DBLEND_ZERO);
    } else if ((cache.GetCaps().PrimitiveMiscCaps & D3DPMISCCAPS_COLORWRITEENABLE) != 0) {
        cache.Targets().Setup(0, false, false, false, false, nullptr);
        cache.SetAlphaBlend(false, D3DBLEND_ONE, D3DBLEND_ZERO);
    } else {
        // Without channel masks the colour is kept by blending it away.
        cache.SetAlphaBlend(true, D3DBLEND_ZERO, D3DBLEND_ONE);
    }
    cache.SetDepth(write_depth, write_depth, D3DCMP_ALWAYS);
    d3d_stencil_s stencil;
    stencil.enable = write_stencil;
    stencil.ref = StencilValue(_stencil_value);
    stencil.func = D3DCMP_ALWAYS;
    stencil.pass = stencil.fail = stencil.zfail = D3DSTENCILOP_REPLACE;
    cache.SetStencil(stencil);
    DisableStages(cache, 0);
    DrawScreenQuad(device, ScreenQuad(ViewportRect(), ColorAlphaToBgra(_grey, _grey, _grey, 1.0f)));
}

void d3d_renderer_c::DrawDebug30(f32 _grey, f32 _transparency, f32 _additive, f32 _multiply)
{
    if (!(_transparency < 1.0f) || !OverlayReady()) {
        return;
    }
    const f32 opacity = 1.0f - _transparency;
    SetupOverlay(false);
    cache.SetDepth(false, false, D3DCMP_LESS);
    cache.SetAlphaTest(false, 0.0f);
    SetOverlayBlend(OverlayBlend(On(_additive), On(_multiply), opacity < 1.0f));
    DisableStages(cache, 0);
    DrawScreenQuad(device, ScreenQuad(ViewportRect(), ColorAlphaToBgra(_grey, _grey, _grey, opacity)));
}

void d3d_renderer_c::DrawTextB(font_handle_c* _font, i32 _x, i32 _y, i32 _width, i32 _height, const char* _text,
                               const vec3_c& _color, f32 _transparency)
{
    DrawText(_font, _x, _y, _width, _height, _text, _color, _transparency);
}

void d3d_renderer_c::DrawText(font_handle_c* _font, i32 _x, i32 _y, i32 _width, i32 _height, const char* _text,
                              const vec3_c& _color, f32 _transparency)
{
    if (_font == nullptr || _text == nullptr || outputWidth <= 0 || outputHeight <= 0 || viewportWidth <= 0 ||
        viewportHeight <= 0 || sceneSet || !cache.IsReady()) {
        return;
    }
    auto* font = dynamic_cast<d3d_font_c*>(_font->GetFont());
    if (font == nullptr) {
        return;
    }
    UseBackBufferOnly(cache);
    cache.SetViewport(viewportX, viewportY, viewportWidth, viewportHeight);
    cache.SetClipping(true);
    cache.SetFillMode(D3DFILL_SOLID);
    cache.SetDepth(false, false, D3DCMP_LESS);
    cache.SetStencil(d3d_stencil_s{});
    cache.SetAlphaTest(true, 0.01f);
    cache.SetAlphaBlend(false, D3DBLEND_ONE, D3DBLEND_ZERO);
    font->Draw(_text, TextPixels(_x), TextPixels(_y), TextPixels(_width), TextPixels(_height), _color, _transparency);
}
