#include "engine/bone.h"
#include "engine/color.h"
#include "engine/light.h"
#include "render_d3d9/draw_common.h"
#include "render_d3d9/inspection_shapes.h"
#include "render_d3d9/renderer.h"

namespace {

D3DCOLOR InspectionColor(const vec3_c& _color, f32 _transparency)
{
    return ColorAlphaToBgra(_color.x, _color.y, _color.z, 1.0f - _transparency);
}

void DrawIndexed(IDirect3DDevice9* _device, D3DPRIMITIVETYPE _type, u32 _per_primitive,
                 const d3d_inspection_shape_s& _shape, const std::vector<u16>& _indices)
{
    _device->DrawIndexedPrimitiveUP(_type, 0, static_cast<UINT>(_shape.vertices.size()),
                                    static_cast<UINT>(_indices.size() / _per_primitive), _indices.data(),
                                    D3DFMT_INDEX16, _shape.vertices.data(), sizeof(d3d_inspection_vertex_s));
}

}

bool d3d_renderer_c::SetupInspection(const mat4x3_c& _matrix, bool _depth_test)
{
    if (!sceneSet || inGeometry) {
        return false;
    }
    UseBackBufferOnly(cache);
    cache.SetWorldMatrix(0, _matrix);
    SetPlainStates(cache, true, true);
    cache.SetDepth(_depth_test, false, D3DCMP_LESS);
    cache.SetStencil(d3d_stencil_s{});
    cache.SetFog(nullptr, false);
    DisableStages(cache, 0);
    vertex_format_c format;
    format.hasPosition = 1;
    format.hasDiffuse = 1;
    SetupMemoryPass(cache, format);
    return true;
}

void d3d_renderer_c::DrawInspectionShape(const d3d_inspection_shape_s& _shape)
{
    cache.SetAlphaBlend(true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    if (_shape.faceStrip) {
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, static_cast<UINT>(_shape.vertices.size() - 2),
                                _shape.vertices.data(), sizeof(d3d_inspection_vertex_s));
    } else {
        DrawIndexed(device, D3DPT_TRIANGLELIST, 3, _shape, _shape.faces);
    }
    cache.SetAlphaBlend(true, D3DBLEND_SRCALPHA, D3DBLEND_ONE);
    DrawIndexed(device, D3DPT_LINELIST, 2, _shape, _shape.edges);
}

void d3d_renderer_c::DrawDebug24(bone_c* _bone, const vec3_c& _color, f32 _alpha)
{
    if (_bone == nullptr || !SetupInspection(_bone->GetCameraMatrix(), false)) {
        return;
    }
    DrawInspectionShape(BoneShape(_bone->restLength, InspectionColor(_color, _alpha)));
}

void d3d_renderer_c::DrawBox(const bounding_box_c& _box, const vec3_c& _color, f32 _alpha, const mat4x3_c& _transform)
{
    if (!SetupInspection(_transform, sceneDepthTest)) {
        return;
    }
    DrawInspectionShape(BoxShape(_box, InspectionColor(_color, _alpha)));
}

void d3d_renderer_c::DrawQuadVolume(const quad_volume_c& _quad, const vec3_c& _color, f32 _alpha,
                                    const mat4x3_c& _transform)
{
    if (!SetupInspection(_transform, sceneDepthTest)) {
        return;
    }
    DrawInspectionShape(QuadShape(_quad, InspectionColor(_color, _alpha)));
}

void d3d_renderer_c::DrawLightMarker(light_c* _light)
{
    if (_light == nullptr || !SetupInspection(_light->GetCameraMatrix(), sceneDepthTest)) {
        return;
    }
    const vec3_c color = _light->GetColor();
    const d3d_inspection_shape_s shape =
        LightMarkerShape((_light->GetFlags() & light_point) != 0, ColorAlphaToBgra(color.x, color.y, color.z, 1.0f));
    cache.SetAlphaBlend(true, D3DBLEND_ONE, D3DBLEND_ONE);
    DrawIndexed(device, D3DPT_LINELIST, 2, shape, shape.edges);
}
