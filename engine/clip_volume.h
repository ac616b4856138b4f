#pragma once
// clip_volume_c<N>: N local corners, the same corners as last projected to
// clip space, and the clip mask of the last test. The common part of the
// eight-corner box and the four-corner quad.
#include "engine/clip_mask.h"
#include "foundation/matrix.h"
#include "foundation/types.h"

template <u32 N>
class clip_volume_c {
public:
    const vec3_c& GetCorner(int _index) const { return corners[_index]; }
    const vec4_c& GetProjected(int _index) const { return projected[_index]; }
    u32 GetClipMask() const { return clipMask; }

    // Projected corners = (corner * world, 1) * view-projection; mask 0.
    void ToClipSpace(const mat4x3_c& _world, const mat4_c& _view_projection)
    {
        ProjectPoints(N, corners, projected, _world, _view_projection);
        clipMask = 0;
    }

    // A parent mask of 127 is taken without testing; otherwise the mask of
    // the projected corners, with the parent's planes counted as passed.
    // Stored and returned.
    u32 Clip(u32 _parent_mask)
    {
        clipMask =
            _parent_mask == clip_inside ? clip_inside : ComputeClipMask(projected, N, static_cast<u8>(_parent_mask));
        return clipMask;
    }

    // True unless every corner lies inside all six planes.
    bool NeedsClipping() const { return (clipMask & clip_all_planes) < clip_all_planes; }

protected:
    // Corner i takes x from _b when i & 1, y when i & 2 and, for boxes, z
    // when i & 4, else from _a; projected corners are (corner, 1), mask 0.
    void SetCorners(const vec3_c& _a, const vec3_c& _b)
    {
        for (u32 i = 0; i < N; ++i) {
            corners[i] = vec3_c(i & 1 ? _b.x : _a.x, i & 2 ? _b.y : _a.y, i & 4 ? _b.z : _a.z);
            projected[i] = vec4_c(corners[i].x, corners[i].y, corners[i].z, 1.0f);
        }
        clipMask = 0;
    }

    vec3_c corners[N];
    vec4_c projected[N];
    u32 clipMask = 0;
};
