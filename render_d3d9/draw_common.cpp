#include "render_d3d9/draw_common.h"
#include "engine/map.h"
#include "render_d3d9/state_cache.h"
#include "render_d3d9/texture.h"

#include <cmath>

void SetEffectStage(d3d_state_cache_c& _cache, u32 _stage, const d3d_stage_op_s& _color, const d3d_stage_op_s& _alpha,
                    const map_c& _map, const d3d_texture_c& _texture)
{
    SetTextureStage(_cache, _stage, _color, _alpha, _texture, 0, nullptr, _map.GetFiltering() != 0,
                    _map.GetRepeat() != 0);
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
