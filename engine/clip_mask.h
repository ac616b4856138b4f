#pragma once
// Clip masks: which planes of the view volume a set of clip-space points lies
// wholly inside. For a point (x, y, z, w) the view volume is 0 < z <= w,
// -w < x <= w, -w < y <= w. A mask of 0 means culled; a set bit of 1 to 32
// means every point lies inside that plane; 64 means at least partly inside.
// A parent's mask names planes its children need not test again.
#include "engine/ray.h"
#include "foundation/matrix.h"
#include "foundation/types.h"

enum clip_plane_e : u32 {
    clip_near = 1,    // z > 0
    clip_left = 2,    // x > -w
    clip_right = 4,   // x <= w
    clip_top = 8,     // y <= w
    clip_bottom = 16, // y > -w
    clip_far = 32,    // z <= w
    clip_visible = 64,
};

inline constexpr u32 clip_all_planes = 63;
inline constexpr u32 clip_inside = 127;

// Each point becomes (p * R + t, 1).
void TransformPoints(u32 _count, vec4_c* _out, const vec3_c* _in, const mat4x3_c& _matrix);
// Each point becomes (p * R + t, 1) * view-projection.
void ProjectPoints(u32 _count, const vec3_c* _in, vec4_c* _out, const mat4x3_c& _world, const mat4_c& _view_projection);
// Planes set in the parent mask count as passed without testing; 0 when every
// point lies outside one plane, else 64 plus the planes all points are inside.
u32 ComputeClipMask(const vec4_c* _points, u32 _count, u8 _parent_mask);

// Distance along the ray to the face lying in the plane of _face_min's
// coordinate on _axis (1 x, 2 y, 3 z), bounded by _face_min and _face_max on
// the other two axes (inclusive); ray_miss when the ray misses or is parallel.
float RayFaceDistance(const ray_c& _ray, int _axis, const vec3_c& _face_min, const vec3_c& _face_max);
