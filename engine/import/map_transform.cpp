#include "engine/import/map_transform.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

using mat3_t = f32[3][3];

void Multiply(mat3_t& _m, const mat3_t& _by)
{
    mat3_t out;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[r][c] = _m[r][0] * _by[0][c] + _m[r][1] * _by[1][c] + _m[r][2] * _by[2][c];
    std::memcpy(_m, out, sizeof out);
}

void Scale(mat3_t& _m, f32 _x, f32 _y)
{
    const mat3_t s = {{_x, 0, 0}, {0, _y, 0}, {0, 0, 1}};
    Multiply(_m, s);
}

void Translate(mat3_t& _m, f32 _x, f32 _y)
{
    const mat3_t t = {{1, 0, 0}, {0, 1, 0}, {_x, _y, 1}};
    Multiply(_m, t);
}

} // namespace

bool MapTransform(f32 _uOffset, f32 _vOffset, f32 _uScale, f32 _vScale, f32 _angle, f32 (&_out)[4][3])
{
    if (std::fabs(_uOffset) < FLT_EPSILON && std::fabs(_vOffset) < FLT_EPSILON &&
        std::fabs(_uScale - 1.0f) < FLT_EPSILON && std::fabs(_vScale - 1.0f) < FLT_EPSILON && _angle == 0.0f)
        return false;
    mat3_t m = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Scale(m, 1, -1);
    Translate(m, 0, 1);
    Translate(m, -0.5f, -0.5f);
    Translate(m, -_uOffset, -_vOffset);
    if (_angle != 0.0f) {
        const f32 c = std::cos(_angle);
        const f32 s = std::sin(_angle);
        const mat3_t r = {{c, s, 0}, {-s, c, 0}, {0, 0, 1}};
        Multiply(m, r);
    }
    Scale(m, _uScale, _vScale);
    Translate(m, 0.5f, 0.5f);
    Scale(m, 1, -1);
    Translate(m, 0, 1);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            _out[r][c] = m[r][c];
    _out[3][0] = _out[3][1] = _out[3][2] = 0.0f;
    return true;
}
