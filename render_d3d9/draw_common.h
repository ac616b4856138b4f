#pragma once
// What the effect, sprite, glow, overlay and inspection draws share beyond
// draw_stage.h (which also says the matrix spaces).
//
// Their textured stages read coordinate set 0 without a transform, sampled
// with the map's own filtering and repeat bytes and mip-mapped when the
// texture has more than one level.
#include "render_d3d9/draw_stage.h"

class vertex_format_c;

// Stage _stage with _texture (a texture of _map) as above.
void SetEffectStage(d3d_state_cache_c& _cache, u32 _stage, const d3d_stage_op_s& _color, const d3d_stage_op_s& _alpha,
                    const map_c& _map, const d3d_texture_c& _texture);

// The states these draws keep plain: normals not renormalised, no culling,
// flat shading, no specular, no lighting; clipping and vertex colours as
// asked.
void SetPlainStates(d3d_state_cache_c& _cache, bool _clip, bool _color_vertex);

// A pass drawn from memory: no streams, row 0 with _format, pixel entry
// _pixel_entry.
void SetupMemoryPass(d3d_state_cache_c& _cache, const vertex_format_c& _format, u32 _pixel_entry = 0);

// False for a NaN or an infinity anywhere in the values.
bool AllFinite(const f32* _values, u32 _count);
