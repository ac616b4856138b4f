#pragma once
// What the effect, sprite, glow and overlay draws share.
//
// Matrix spaces: the engine hands every drawable's GetWorldMatrix as the
// object-to-camera matrix and VIEW stays identity, so a vertex shader's clip
// transform is that matrix widened to 4x4 times the camera's projection;
// particles and trail ribbons keep their vertices in world space and take
// the camera's world-to-camera matrix (its inverse matrix) instead.
//
// A map's stage samples its texture with the map's own filtering and repeat
// bytes, from coordinate set 0, without a transform, mip-mapped when the
// texture has more than one level.
#include "foundation/matrix.h"
#include "render_d3d9/texture_stage.h"

class d3d_state_cache_c;
class vertex_format_c;
class d3d_texture_c;
class map_c;

// Colour and alpha operations with their arguments, as a stage reads them.
d3d_stage_op_s StageOp(D3DTEXTUREOP _op, DWORD _arg1 = D3DTA_CURRENT, DWORD _arg2 = D3DTA_CURRENT,
                       DWORD _arg0 = D3DTA_CURRENT);

// _matrix (4x3) widened with the column (0, 0, 0, 1), times _projection.
mat4_c ClipTransform(const mat4x3_c& _matrix, const mat4_c& _projection);

// The device texture of a map at a time; null without a map, a frame or a
// texture of this renderer's making.
d3d_texture_c* MapTexture(const map_c* _map, f32 _time);

// Stage _stage samples _texture through _map's sampler settings as above.
void SetMapStage(d3d_state_cache_c& _cache, u32 _stage, const map_c& _map, const d3d_texture_c& _texture,
                 const d3d_stage_op_s& _color, const d3d_stage_op_s& _alpha);

// Every stage from _first on: colour and alpha DISABLE, no texture.
void DisableStages(d3d_state_cache_c& _cache, u32 _first);

// Target 0 the back buffer with every channel, the others off.
void BackBufferOnly(d3d_state_cache_c& _cache);

// The states every draw here keeps plain: normals not renormalised, no
// culling, flat shading, no specular, no lighting; clipping and vertex
// colours as asked.
void SetPlainStates(d3d_state_cache_c& _cache, bool _clip, bool _color_vertex);

// A pass drawn from memory: no streams, row 0 with _format, pixel entry
// _pixel_entry.
void SetupMemoryPass(d3d_state_cache_c& _cache, const vertex_format_c& _format, u32 _pixel_entry = 0);

// False for a NaN or an infinity anywhere in the values.
bool AllFinite(const f32* _values, u32 _count);
