#include "foundation/vector_math.h"

#include <algorithm>
#include <bit>
#include <cmath>

vec3_c::vec3_c(const euler_c& angles)
{
    float sh, ch, sp, cp;
    SinCos(angles.heading, sh, ch);
    SinCos(angles.pitch, sp, cp);
    x = cp * sh;
    y = -sp;
    z = cp * ch;
}

vec3_c& vec3_c::operator+=(const vec3_c& o)
{
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
}

vec3_c& vec3_c::operator-=(const vec3_c& o)
{
    x -= o.x;
    y -= o.y;
    z -= o.z;
    return *this;
}

vec3_c vec3_c::operator/(float s) const
{
    return *this * (1.0f / s);
}

bool vec3_c::operator!=(const vec3_c& o) const
{
    return std::fabs(x - o.x) >= kMathEpsilon || std::fabs(y - o.y) >= kMathEpsilon ||
           std::fabs(z - o.z) >= kMathEpsilon;
}

float vec3_c::Length() const
{
    return std::sqrt(x * x + y * y + z * z);
}

void vec3_c::Cross(const vec3_c& a, const vec3_c& b)
{
    const vec3_c r(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
    *this = r;
}

void vec3_c::Rotate(int axis, float angle)
{
    if (angle == 0.0f)
        return;
    float s, c;
    SinCos(angle, s, c);
    const vec3_c v = *this;
    switch (axis) {
    case 0:
        y = v.y * c - v.z * s;
        z = v.y * s + v.z * c;
        break;
    case 1:
        x = v.x * c + v.z * s;
        z = v.z * c - v.x * s;
        break;
    case 2:
        x = v.x * c - v.y * s;
        y = v.x * s + v.y * c;
        break;
    default: break;
    }
}

void vec3_c::RotateByEuler(const euler_c& angles)
{
    Rotate(2, angles.bank);
    Rotate(0, angles.pitch);
    Rotate(1, angles.heading);
}

void vec3_c::Normalize(const vec3_c& v)
{
    const float f = FastInvSqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (f <= kFloatMax)
        *this = v * f;
    else
        *this = v;
}

float Dot(const vec3_c& a, const vec3_c& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

euler_c::euler_c(const vec3_c& direction, float bank_) : bank(bank_)
{
    DirectionToEuler(direction, heading, pitch);
}

void SinCos(float angle, float& sine, float& cosine)
{
    if (angle == 0.0f) {
        sine = 0.0f;
        cosine = 1.0f;
        return;
    }
    sine = std::sin(angle);
    cosine = std::cos(angle);
}

float FastInvSqrt(float x)
{
    if (x == 0.0f)
        return INFINITY;
    const u32 i = std::bit_cast<u32>(x);
    float y = std::bit_cast<float>((0xBE6EB508u - i) >> 1);
    // x / 2 by lowering the exponent by one.
    const float h = std::bit_cast<float>(i - 0x00800000u);
    for (int step = 0; step < 3; ++step)
        y = y * (1.5f - h * y * y);
    return y;
}

void DirectionToEuler(const vec3_c& direction, float& heading, float& pitch)
{
    const float length = direction.Length();
    if (length <= kMathEpsilon) {
        heading = 0.0f;
        pitch = 0.0f;
        return;
    }
    const vec3_c n = direction / length;
    pitch = std::asin(std::clamp(-n.y, -1.0f, 1.0f));
    if (1.0f - std::fabs(n.y) <= kMathEpsilon) {
        heading = 0.0f;
        return;
    }
    heading = std::acos(std::clamp(n.z / std::cos(pitch), -1.0f, 1.0f));
    if (n.x < 0.0f)
        heading = static_cast<float>(kTwoPi - heading);
    // 2 pi - (an angle that rounds to 0) rounds up to 2 pi: that is heading 0.
    if (heading >= static_cast<float>(kTwoPi))
        heading = 0.0f;
}
