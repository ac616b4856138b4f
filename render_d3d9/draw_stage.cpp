#include "render_d3d9/draw_stage.h"
#include "engine/map.h"
#include "render_d3d9/state_cache.h"
#include "render_d3d9/texture.h"

#include <cstring>

d3d_texture_c* MapTexture(const map_c* _map, f32 _time)
{
    if (_map == nullptr) {
        return nullptr;
    }
    auto* texture = dynamic_cast<d3d_texture_c*>(_map->GetTexture(_time));
    return texture != nullptr && texture->GetD3DTexture() != nullptr ? texture : nullptr;
}

d3d_stage_op_s StageOp(D3DTEXTUREOP _op, DWORD _arg1, DWORD _arg2, DWORD _arg0)
{
    return d3d_stage_op_s{_op, _arg0, _arg1, _arg2};
}

void SetTextureStage(d3d_state_cache_c& _cache, u32 _stage, const d3d_stage_op_s& _color, const d3d_stage_op_s& _alpha,
                     const d3d_texture_c& _texture, i32 _coord_index, const mat4x3_c* _transform, bool _filtered,
                     bool _wrap, f32 _bump_scale)
{
    _cache.SetStage(_stage, _color, _alpha, _texture.GetD3DTexture(), _coord_index, _transform, _bump_scale);
    _cache.SetSampler(_stage, _texture.GetLevelCount() > 1, _filtered, _wrap);
}

bool SetMapStage(d3d_state_cache_c& _cache, u32 _stage, const d3d_stage_op_s& _color, const d3d_stage_op_s& _alpha,
                 const map_c& _map, f32 _time)
{
    const d3d_texture_c* texture = MapTexture(&_map, _time);
    if (texture == nullptr) {
        return false;
    }
    SetTextureStage(_cache, _stage, _color, _alpha, *texture, static_cast<i32>(_map.GetTexCoordSet()),
                    _map.GetTransform(), _map.GetFiltering() != 0, _map.GetRepeat() != 0);
    return true;
}

void DisableStages(d3d_state_cache_c& _cache, u32 _first)
{
    const d3d_stage_op_s off{D3DTOP_DISABLE};
    for (u32 stage = _first; stage < _cache.GetStageCount(); ++stage) {
        _cache.SetStage(stage, off, off, nullptr, -1, nullptr, 0.0f);
    }
}

void UseBackBufferOnly(d3d_state_cache_c& _cache)
{
    _cache.Targets().Setup(0, true, true, true, true, nullptr);
    _cache.Targets().Reset(1);
}

void SetUnlitShading(d3d_state_cache_c& _cache, bool _gouraud, const d3d_fog_s* _fog, bool _color_vertex)
{
    _cache.SetGouraud(_gouraud);
    _cache.SetSpecular(false);
    _cache.SetFog(_fog, false);
    _cache.Lights().SetLighting(false);
    _cache.SetColorVertex(_color_vertex);
}

mat4_c WidenToMat4(const mat4x3_c& _matrix)
{
    const D3DMATRIX wide = WidenMatrix(_matrix);
    mat4_c out;
    std::memcpy(out.m, wide.m, sizeof(out.m));
    return out;
}
