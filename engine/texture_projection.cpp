#include "engine/texture_projection.h"

#include "foundation/vector_math.h"

#include <cmath>

namespace {

constexpr f32 two_pi = 6.283185307179586f;
constexpr f32 pi = 3.14159265358979f;

} // namespace

void texture_projection_c::Project(const vec3_c& _position, u32 _axis, f32& _u, f32& _v) const
{
    vec3_c d = _position - vec3_c(centre[0], centre[1], centre[2]);
    d.Rotate(1, -rotation[0]);
    d.Rotate(0, -rotation[1]);
    d.Rotate(2, -rotation[2]);
    const f32 x = d.x, y = d.y, z = d.z;

    switch (mapType) {
    case map_planar:
    case map_cubic:
        if (_axis == 0) {
            _u = z / size[2] + 0.5f;
            _v = 0.5f - y / size[1];
        } else if (_axis == 1) {
            _u = x / size[0] + 0.5f;
            _v = 0.5f - z / size[2];
        } else {
            _u = x / size[0] + 0.5f;
            _v = 0.5f - y / size[1];
        }
        return;
    case map_cylindrical: {
        f32 a, b, height;
        if (_axis == 0) {
            a = z;
            b = -y;
            height = x / size[0];
        } else if (_axis == 1) {
            a = -x;
            b = z;
            height = y / size[1];
        } else {
            a = -x;
            b = -y;
            height = z / size[2];
        }
        f32 angle = 0.0f;
        if (a != 0.0f || b != 0.0f) {
            angle = -std::atan2(a, b);
            if (angle < 0.0f)
                angle += two_pi;
        }
        _u = 1.0f - angle / two_pi;
        if (wrapWidth != 1.0f)
            _u *= wrapWidth;
        _v = 0.5f - height;
        return;
    }
    case map_spherical: {
        f32 sx, sy, sz;
        if (_axis == 0) {
            sx = z;
            sy = x;
            sz = -y;
        } else if (_axis == 1) {
            sx = -x;
            sy = y;
            sz = z;
        } else {
            sx = -x;
            sy = z;
            sz = -y;
        }
        f32 heading = 0.0f, pitch = 0.0f;
        if (sx == 0.0f && sz == 0.0f) {
            pitch = sy > 0.0f ? pi / 2.0f : sy < 0.0f ? -pi / 2.0f : 0.0f;
        } else {
            heading = -std::atan2(sx, sz);
            if (heading < 0.0f)
                heading += two_pi;
            pitch = std::atan(sy / std::sqrt(sx * sx + sz * sz));
        }
        _u = 1.0f - heading / two_pi;
        if (wrapWidth != 1.0f)
            _u *= wrapWidth;
        _v = 0.5f - pitch / pi;
        if (wrapHeight != 1.0f)
            _v *= wrapHeight;
        return;
    }
    default: return;
    }
}

void texture_projection_c::FixSeam(f32& _u0, f32& _u1, f32& _u2) const
{
    f32* u[3] = {&_u0, &_u1, &_u2};
    for (int i = 1; i < 3; ++i) {
        const f32 d = *u[i] - *u[i - 1];
        if (std::fabs(d) >= 0.8125f)
            *u[i] = d >= 0.0f ? *u[i] - wrapWidth : *u[i] + wrapWidth;
    }
    const f32 d = _u0 - _u2;
    if (std::fabs(d) >= 0.8125f)
        _u0 = d > 0.0f ? _u0 - wrapWidth : _u0 + wrapWidth;
}
