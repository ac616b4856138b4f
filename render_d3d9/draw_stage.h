#pragma once
// Pieces every draw of the renderer shares: the texture a map shows at a
// time, one textured stage with its sampler, the disabled tail of the stage
// chain, the back buffer as the only target, and 4x3 matrices widened for
// products with the projection.
//
// Matrix spaces of the draws: an entity's GetWorldMatrix is its
// object-to-camera matrix, so it goes to D3DTS_WORLDMATRIX(0) as it is and
// the device's view matrix stays identity; "world x projection" is object to
// clip space. Inverse matrices and orientations (null_object_c slots 10, 11)
// and light and camera matrices are world-space ones; a camera's
// orientation takes camera-space vectors into the world (cube lookups).
#include "foundation/matrix.h"
#include "render_d3d9/texture_stage.h"

class d3d_state_cache_c;
class d3d_texture_c;
class map_c;

// The device texture a map shows at _time; null without a map, a frame or a
// device object.
d3d_texture_c* MapTexture(const map_c* _map, f32 _time);

// An operation record: (op, arg1, arg2), argument 0 CURRENT unless given.
d3d_stage_op_s StageOp(D3DTEXTUREOP _op, DWORD _arg1, DWORD _arg2 = D3DTA_CURRENT, DWORD _arg0 = D3DTA_CURRENT);

// Binds _texture to _stage with the operations, coordinate index and
// transform (null: none), and sets the stage's sampler: a mip filter when
// the texture has more than one level, filtering and wrapping as asked.
void SetTextureStage(d3d_state_cache_c& _cache, u32 _stage, const d3d_stage_op_s& _color, const d3d_stage_op_s& _alpha,
                     const d3d_texture_c& _texture, i32 _coord_index, const mat4x3_c* _transform, bool _filtered = true,
                     bool _wrap = true, f32 _bump_scale = 0.0f);
// The same for a map's texture at _time with the map's coordinate set,
// transform, filtering and repeat; false, setting nothing, when the map has
// no texture then.
bool SetMapStage(d3d_state_cache_c& _cache, u32 _stage, const d3d_stage_op_s& _color, const d3d_stage_op_s& _alpha,
                 const map_c& _map, f32 _time);
// Colour and alpha DISABLE and no texture on every stage from _first on.
void DisableStages(d3d_state_cache_c& _cache, u32 _first);
// Target 0 the back buffer with all channels; the other targets off.
void UseBackBufferOnly(d3d_state_cache_c& _cache);

// The shading of the draws that use no device lights: Gouraud or flat, no
// specular, fog from the record (null: none; never black), lighting off,
// vertex colours as asked.
struct d3d_fog_s;
void SetUnlitShading(d3d_state_cache_c& _cache, bool _gouraud, const d3d_fog_s* _fog, bool _color_vertex);

// A 4x3 matrix with the column (0, 0, 0, 1).
mat4_c WidenToMat4(const mat4x3_c& _matrix);
