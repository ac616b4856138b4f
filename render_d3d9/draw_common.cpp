#include "render_d3d9/draw_common.h"
#include "engine/map.h"
#include "render_d3d9/state_cache.h"
#include "render_d3d9/texture.h"

#include <cmath>

d3d_stage_op_s StageOp(D3DTEXTUREOP _op, DWORD _arg1, DWORD _arg2, DWORD _arg0)
{
    return d3d_stage_op_s{_op, _arg0, _arg1, _arg2};
}

mat4_c ClipTransform(const mat4x3_c& _matrix, const mat4_c& _projection)
{
    mat4_c widened;
    for (u32 row = 0; row < 4; ++row) {
        for (u32 column = 0; column < 3; ++column) {
            widened.m[row][column] = _matrix.m[row][column];
        }
        widened.m[row][3] = row == 3 ? 1.0f : 0.0f;
    }
    return widened * _projection;
}

d3d_texture_c* MapTexture(const map_c* _map, f32 _time)
{
    return _map != nullptr ? dynamic_cast<d3d_texture_c*>(_map->GetTexture(_time)) : nullptr;
}

void SetMapStage(d3d_state_cache_c& _cache, u32 _stage, const map_c& _map, const d3d_texture_c& _texture,
                 const d3d_stage_op_s& _color, const d3d_stage_op_s& _alpha)
{
    _cache.SetStage(_stage, _color, _alpha, _texture.GetD3DTexture(), 0, nullptr, 0.0f);
    _cache.SetSampler(_stage, _texture.GetLevelCount() > 1, _map.GetFiltering() != 0, _map.GetRepeat() != 0);
}

void DisableStages(d3d_state_cache_c& _cache, u32 _first)
{
    const d3d_stage_op_s off = StageOp(D3DTOP_DISABLE);
    for (u32 stage = _first; stage < _cache.GetStageCount(); ++stage) {
        _cache.SetStage(stage, off, off, nullptr, -1, nullptr, 0.0f);
    }
}

void BackBufferOnly(d3d_state_cache_c& _cache)
{
    _cache.Targets().Reset(0);
}

void SetPlainStates(d3d_state_cache_c& _cache, bool _clip, bool _color_vertex)
{
    _cache.SetNormalizeNormals(false);
    _cache.SetCullMode(D3DCULL_NONE);
    _cache.SetClipping(_clip);
    _cache.SetGouraud(false);
    _cache.SetSpecular(false);
    _cache.Lights().SetLighting(false);
    _cache.SetColorVertex(_color_vertex);
}

void SetupMemoryPass(d3d_state_cache_c& _cache, const vertex_format_c& _format, u32 _pixel_entry)
{
    _cache.SetStreams(nullptr, 0, nullptr, 0, nullptr);
    _cache.SetupPass(0, _format, {}, false, 0);
    _cache.SetPixelShader(_pixel_entry);
}

bool AllFinite(const f32* _values, u32 _count)
{
    for (u32 i = 0; i < _count; ++i) {
        if (!std::isfinite(_values[i])) {
            return false;
        }
    }
    return true;
}
