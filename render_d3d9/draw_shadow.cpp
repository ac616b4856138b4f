#include "render_d3d9/draw_shadow.h"
#include "engine/camera.h"
#include "engine/color.h"
#include "engine/geom_object.h"
#include "engine/light.h"
#include "render_d3d9/draw_common.h"
#include "render_d3d9/renderer.h"
#include "render_d3d9/screen_quad.h"

#include <cmath>

namespace {

constexpr u32 shadow_row_directional_depth = 4;
constexpr u32 shadow_row_point_depth = 5;
constexpr u32 shadow_row_directional = 6;
constexpr u32 shadow_row_point = 7;
constexpr f32 infinite_depth = 3.4028235e38f;

// The light's axis (the forward row of its matrix, as the fixed-function
// light takes it) in the object's space at unit length, or 0 for an axis
// that has none. The orientation matrices are stored transposed, so the
// axis comes from the matrices themselves.
vec3_c LightDirection(const light_c& _light, const geom_object_c& _object)
{
    const mat4x3_c& light = _light.GetMatrix();
    const vec3_c axis = vec3_c(light.m[2][0], light.m[2][1], light.m[2][2]) * _object.GetInverseMatrix().GetRotation();
    const f32 length = axis.Length();
    return length > 0.0f && std::isfinite(length) ? axis / length : vec3_c(0.0f, 0.0f, 0.0f);
}

}

void d3d_renderer_c::DrawShadow(geom_object_c* _object, const vec3_c& _color, f32 _alpha)
{
    if (!sceneSet || inGeometry || shadowLight == nullptr || _object == nullptr ||
        _object->GetShadowMesh() == nullptr) {
        return;
    }
    auto* geometry = dynamic_cast<d3d_geometry_c*>(_object->GetShadowMesh()->GetGeometry());
    if (geometry == nullptr || geometry->GetGroups().empty()) {
        return;
    }
    const D3DCAPS9& caps = cache.GetCaps();
    const bool stencil_mode = _alpha >= 1.0f;
    if (stencil_mode) {
        if ((caps.PrimitiveMiscCaps & D3DPMISCCAPS_COLORWRITEENABLE) != 0) {
            cache.Targets().Setup(0, false, false, false, false, nullptr);
            cache.SetAlphaBlend(false, D3DBLEND_ONE, D3DBLEND_ZERO);
        } else {
            cache.Targets().Setup(0, true, true, true, true, nullptr);
            cache.SetAlphaBlend(true, D3DBLEND_ZERO, D3DBLEND_ONE);
        }
        DisableStages(cache, 0);
    } else {
        cache.Targets().Setup(0, true, true, true, true, nullptr);
        cache.SetAlphaBlend(true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        cache.SetTextureFactor(ColorAlphaToBgra(_color.x, _color.y, _color.z, 1.0f - _alpha));
        const d3d_stage_op_s factor = StageOp(D3DTOP_SELECTARG1, D3DTA_TFACTOR);
        cache.SetStage(0, factor, factor, nullptr, -1, nullptr, 0.0f);
        DisableStages(cache, 1);
    }
    cache.Targets().Reset(1);
    cache.SetNormalizeNormals(false);
    cache.SetClipping(true);
    cache.SetDepth(sceneDepthTest, false, D3DCMP_LESS);
    SetUnlitShading(cache, false, nullptr, false);
    cache.SetPixelShader(0);
    cache.SetStreams(geometry->GetVertexBuffer(), geometry->GetStride(), nullptr, 0, geometry->GetIndexBuffer());

    // A depth that is not below FLT_MAX (or not a number) extrudes to
    // infinity.
    const bool finite = _object->shadowDepth < infinite_depth;
    const bool directional = (shadowLight->GetFlags() & light_directional) != 0;
    const u32 row = directional ? (finite ? shadow_row_directional_depth : shadow_row_directional)
                                : (finite ? shadow_row_point_depth : shadow_row_point);
    cache.SetupPass(row, geometry->GetFormat(), d3d_second_stream_s{}, false, 0);
    cache.SetVertexConstant(row, "transform", WidenToMat4(_object->GetWorldMatrix()) * camera->GetProjection());
    if (directional) {
        cache.SetVertexConstant(row, "lt_dir", LightDirection(*shadowLight, *_object));
    } else {
        cache.SetVertexConstant(row, "lt_pos", shadowLight->GetMatrix().GetPosition() * _object->GetInverseMatrix());
    }
    if (finite) {
        cache.SetVertexConstant(row, "depth", _object->shadowDepth);
    }

    const u32 primitives = geometry->GetGroups()[0].primitiveCount;
    d3d_stencil_s stencil;
    if (!stencil_mode) {
        cache.SetCullMode(D3DCULL_NONE);
        cache.SetStencil(stencil);
        geometry->DrawGroup(0, 0, primitives);
        return;
    }
    stencil.enable = true;
    if ((caps.StencilCaps & D3DSTENCILCAPS_TWOSIDED) != 0) {
        stencil.zfail = D3DSTENCILOP_DECR;
        stencil.twoSided = true;
        stencil.ccwZfail = D3DSTENCILOP_INCR;
        cache.SetCullMode(D3DCULL_NONE);
        cache.SetStencil(stencil);
        geometry->DrawGroup(0, 0, primitives);
        return;
    }
    stencil.zfail = D3DSTENCILOP_DECR;
    cache.SetCullMode(D3DCULL_CCW);
    cache.SetStencil(stencil);
    geometry->DrawGroup(0, 0, primitives);
    stencil.zfail = D3DSTENCILOP_INCR;
    cache.SetCullMode(D3DCULL_CW);
    cache.SetStencil(stencil);
    geometry->DrawGroup(0, 0, primitives);
}

void d3d_renderer_c::DrawShadowShade(const f32* _shadow_color, f32 _darkness)
{
    if (!frame.InScene() || sceneSet || inGeometry || _shadow_color == nullptr || !(_darkness > 0.0f) ||
        viewportWidth <= 0 || viewportHeight <= 0) {
        return;
    }
    UseBackBufferOnly(cache);
    cache.SetViewport(viewportX, viewportY, viewportWidth, viewportHeight);
    SetPlainStates(cache, false, true);
    cache.SetFog(nullptr, false);
    cache.SetFillMode(D3DFILL_SOLID);
    cache.SetDepth(false, false, D3DCMP_LESS);
    d3d_stencil_s stencil;
    stencil.enable = true;
    stencil.func = D3DCMP_LESS;
    cache.SetStencil(stencil);
    cache.SetAlphaTest(false, 0.0f);
    cache.SetAlphaBlend(true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    DisableStages(cache, 0);
    vertex_format_c screen;
    screen.hasDiffuse = 1;
    SetupMemoryPass(cache, screen);
    const D3DCOLOR color = ColorAlphaToBgra(_shadow_color[0], _shadow_color[1], _shadow_color[2], _darkness);
    DrawScreenQuad(device, ScreenQuad({viewportX, viewportY, viewportWidth, viewportHeight}, color));
}
