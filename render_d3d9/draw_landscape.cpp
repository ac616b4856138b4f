#include "render_d3d9/draw_landscape.h"
#include "engine/forest.h"
#include "engine/map.h"
#include "engine/mesh.h"
#include "engine/sky_box.h"
#include "engine/terrain.h"
#include "render_d3d9/draw_stage.h"
#include "render_d3d9/renderer.h"

namespace {

d3d_geometry_c* MeshGeometry(const mesh_c* _mesh)
{
    return _mesh != nullptr ? dynamic_cast<d3d_geometry_c*>(_mesh->GetGeometry()) : nullptr;
}

// Binds a geometry to stream 0 and sets up its row-0 pass.
void BindGeometry(d3d_state_cache_c& _cache, const d3d_geometry_c& _geometry)
{
    _cache.SetStreams(_geometry.GetVertexBuffer(), _geometry.GetStride(), nullptr, 0, _geometry.GetIndexBuffer());
    _cache.SetupPass(0, _geometry.GetFormat(), d3d_second_stream_s{}, false, 0);
}

// Draws primitive set _set whole.
void DrawSet(const d3d_geometry_c& _geometry, u32 _set)
{
    if (_set < _geometry.GetGroups().size()) {
        _geometry.DrawGroup(_set, 0, _geometry.GetGroups()[_set].primitiveCount);
    }
}

}

void d3d_renderer_c::SetupLandscape(const null_object_c& _entity, bool _clip, D3DCULL _cull, bool _depth_write)
{
    const u32 entity_flags = _entity.GetFlags();
    UseBackBufferOnly(cache);
    cache.SetWorldMatrix(0, _entity.GetWorldMatrix());
    cache.SetNormalizeNormals(false);
    cache.SetCullMode(_cull);
    cache.SetClipping(_clip);
    cache.SetDepth(sceneDepthTest && (entity_flags & object_depth_test) != 0, _depth_write, D3DCMP_LESS);
    cache.SetStencil(d3d_stencil_s{});
    cache.SetAlphaBlend(false, D3DBLEND_ONE, D3DBLEND_ZERO);
    SetUnlitShading(cache, false, (entity_flags & object_fog) != 0 ? GetFog() : nullptr, false);
    cache.SetPixelShader(0);
}

void d3d_renderer_c::DrawTerrain(terrain_c* _terrain, bool _clip)
{
    if (!sceneSet || inGeometry || _terrain == nullptr) {
        return;
    }
    const d3d_geometry_c* geometry = MeshGeometry(_terrain->GetMesh());
    const map_c* color_map = _terrain->GetColorMap(0);
    if (geometry == nullptr || MapTexture(color_map, 0.0f) == nullptr) {
        return;
    }
    SetupLandscape(*_terrain, _clip, D3DCULL_CCW, true);
    cache.SetAlphaTest(false, 0.0f);
    BindGeometry(cache, *geometry);
    const d3d_stage_op_s select = StageOp(D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    SetMapStage(cache, 0, select, select, *color_map, 0.0f);
    u32 stages = 1;

    static constexpr D3DTEXTUREOP detail_ops[4] = {D3DTOP_DISABLE, D3DTOP_MODULATE, D3DTOP_MODULATE2X, D3DTOP_ADD};
    const map_c* detail = _terrain->GetColorMap(1);
    const D3DCAPS9& caps = cache.GetCaps();
    const d3d_texture_c* detail_texture = MapTexture(detail, 0.0f);
    if (detail_texture != nullptr && detail->GetBlendMode() >= 1 && detail->GetBlendMode() <= 3 &&
        caps.MaxTextureBlendStages >= 2 && caps.MaxSimultaneousTextures >= 2) {
        // Camera-space positions back into the terrain's own space, then
        // through the map's transform.
        mat4x3_c transform;
        mat4x3_c::Inverse(transform, _terrain->GetWorldMatrix());
        if (detail->GetTransform() != nullptr) {
            transform = transform * *detail->GetTransform();
        }
        const d3d_stage_op_s op = StageOp(detail_ops[detail->GetBlendMode()], D3DTA_TEXTURE, D3DTA_CURRENT);
        SetTextureStage(cache, 1, op, op, *detail_texture, static_cast<i32>(D3DTSS_TCI_CAMERASPACEPOSITION), &transform,
                        detail->GetFiltering() != 0, detail->GetRepeat() != 0);
        stages = 2;
    }
    DisableStages(cache, stages);
    DrawSet(*geometry, 0);
}

void d3d_renderer_c::DrawForest(forest_c* _forest, bool _clip)
{
    if (!sceneSet || inGeometry || _forest == nullptr || _forest->GetMeshCount() == 0) {
        return;
    }
    const map_c* color_map = _forest->GetColorMap();
    const d3d_texture_c* texture = MapTexture(color_map, 0.0f);
    if (texture == nullptr) {
        return;
    }
    SetupLandscape(*_forest, _clip, D3DCULL_NONE, true);
    cache.SetAlphaTest(texture->HasAlpha(), 0.5f);
    SetTextureStage(cache, 0, StageOp(D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT),
                    StageOp(D3DTOP_SELECTARG1, D3DTA_TEXTURE), *texture, 0, nullptr, color_map->GetFiltering() != 0,
                    color_map->GetRepeat() != 0);
    DisableStages(cache, 1);
    for (u32 i = 0; i < _forest->GetMeshCount(); ++i) {
        const d3d_geometry_c* geometry = MeshGeometry(_forest->GetMesh(i));
        if (geometry != nullptr) {
            BindGeometry(cache, *geometry);
            DrawSet(*geometry, 0);
        }
    }
}

void d3d_renderer_c::DrawSkyBox(sky_box_c* _sky_box, bool _clip)
{
    if (!sceneSet || inGeometry || _sky_box == nullptr) {
        return;
    }
    const d3d_geometry_c* geometry = MeshGeometry(_sky_box->GetMesh());
    if (geometry == nullptr) {
        return;
    }
    SetupLandscape(*_sky_box, _clip, D3DCULL_CCW, false);
    cache.SetAlphaTest(false, 0.0f);
    BindGeometry(cache, *geometry);
    const d3d_stage_op_s select = StageOp(D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    for (u32 face = 0; face < sky_box_face_count; ++face) {
        const map_c* face_map = _sky_box->GetFaceMap(face);
        if (face_map != nullptr && SetMapStage(cache, 0, select, select, *face_map, 0.0f)) {
            DisableStages(cache, 1);
            DrawSet(*geometry, face);
        }
    }
}
