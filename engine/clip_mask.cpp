#include "engine/clip_mask.h"

void TransformPoints(u32 _count, vec4_c* _out, const vec3_c* _in, const mat4x3_c& _matrix)
{
    for (u32 i = 0; i < _count; ++i) {
        const vec3_c p = _in[i] * _matrix;
        _out[i] = vec4_c(p.x, p.y, p.z, 1.0f);
    }
}

void ProjectPoints(u32 _count, const vec3_c* _in, vec4_c* _out, const mat4x3_c& _world, const mat4_c& _view_projection)
{
    // One 4x4 product up front leaves one product per point.
    mat4_c world;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c)
            world.m[r][c] = _world.m[r][c];
        world.m[r][3] = r == 3 ? 1.0f : 0.0f;
    }
    const mat4_c combined = world * _view_projection;
    for (u32 i = 0; i < _count; ++i)
        _out[i] = vec4_c(_in[i].x, _in[i].y, _in[i].z, 1.0f) * combined;
}

u32 ComputeClipMask(const vec4_c* _points, u32 _count, u8 _parent_mask)
{
    u32 inside[6] = {0, 0, 0, 0, 0, 0};
    for (u32 i = 0; i < _count; ++i) {
        const vec4_c& p = _points[i];
        inside[0] += p.z > 0.0f;
        inside[1] += p.x > -p.w;
        inside[2] += p.x <= p.w;
        inside[3] += p.y <= p.w;
        inside[4] += p.y > -p.w;
        inside[5] += p.z <= p.w;
    }
    u32 mask = clip_visible;
    for (u32 plane = 0; plane < 6; ++plane) {
        const u32 bit = 1u << plane;
        const u32 count = (_parent_mask & bit) ? _count : inside[plane];
        if (count == 0)
            return 0;
        if (count == _count)
            mask |= bit;
    }
    return mask;
}

namespace {

float Axis(const vec3_c& v, int axis)
{
    return axis == 1 ? v.x : axis == 2 ? v.y : v.z;
}

} // namespace

float RayFaceDistance(const ray_c& _ray, int _axis, const vec3_c& _face_min, const vec3_c& _face_max)
{
    if (_axis < 1 || _axis > 3)
        return ray_miss;
    const float direction = Axis(_ray.direction, _axis);
    if (direction == 0.0f)
        return ray_miss;
    const float t = (Axis(_face_min, _axis) - Axis(_ray.origin, _axis)) / direction;
    if (!(t >= 0.0f))
        return ray_miss;
    const vec3_c hit = _ray.origin + _ray.direction * t;
    for (int other = 1; other <= 3; ++other) {
        if (other == _axis)
            continue;
        const float v = Axis(hit, other);
        if (!(v >= Axis(_face_min, other) && v <= Axis(_face_max, other)))
            return ray_miss;
    }
    return t;
}
