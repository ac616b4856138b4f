#pragma once
// Vectors and Euler angles in single precision. Conventions every transform
// relies on: vectors are rows multiplied on the left (v * M), y is up, and the
// forward direction of heading h and pitch p is
// (cos p sin h, -sin p, cos p cos h).
#include "foundation/types.h"

// The float machine epsilon; differences below it count as equal.
inline constexpr float kMathEpsilon = 1.1920929e-7f;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr float kFloatMax = 3.4028235e38f;

class euler_c;

class vec3_c {
public:
    float x = 0.0f, y = 0.0f, z = 0.0f;

    vec3_c() = default;
    vec3_c(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    // The forward direction of the heading and pitch; bank is ignored.
    explicit vec3_c(const euler_c& angles);

    vec3_c operator+(const vec3_c& o) const { return {x + o.x, y + o.y, z + o.z}; }
    vec3_c operator-(const vec3_c& o) const { return {x - o.x, y - o.y, z - o.z}; }
    vec3_c operator-() const { return {-x, -y, -z}; }
    vec3_c& operator+=(const vec3_c& o);
    vec3_c& operator-=(const vec3_c& o);
    vec3_c operator*(float s) const { return {x * s, y * s, z * s}; }
    // Multiplies by 1 / s.
    vec3_c operator/(float s) const;

    // True when any component differs by at least kMathEpsilon.
    bool operator!=(const vec3_c& o) const;
    bool operator==(const vec3_c& o) const { return !(*this != o); }

    float Length() const;
    // this = a x b; a or b may be this.
    void Cross(const vec3_c& a, const vec3_c& b);

    // Rotates in place about axis 0 (x), 1 (y) or 2 (z); an angle of exactly 0
    // or another axis changes nothing.
    void Rotate(int axis, float angle);
    // Rotates about z by the bank, then x by the pitch, then y by the heading.
    void RotateByEuler(const euler_c& angles);

    // this = v scaled to length 1 (by FastInvSqrt); a zero or non-finite
    // length leaves this = v.
    void Normalize(const vec3_c& v);
    void NormalizeSelf() { Normalize(*this); }
};

float Dot(const vec3_c& a, const vec3_c& b);

class euler_c {
public:
    float heading = 0.0f; // about y
    float pitch = 0.0f;   // about x
    float bank = 0.0f;    // about z

    euler_c() = default;
    euler_c(float heading_, float pitch_, float bank_) : heading(heading_), pitch(pitch_), bank(bank_) {}
    // Heading and pitch of a direction (DirectionToEuler), with the given bank.
    explicit euler_c(const vec3_c& direction, float bank_ = 0.0f);
};

class vec4_c {
public:
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;

    vec4_c() = default;
    vec4_c(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
};

// Sine and cosine at once; an angle of exactly 0 gives exactly (0, 1).
void SinCos(float angle, float& sine, float& cosine);

// Approximate 1 / sqrt(x): a bit-level first guess refined by three Newton
// steps. 0 gives +infinity.
float FastInvSqrt(float x);

// Heading in [0, 2 pi) and pitch in [-pi/2, pi/2] of a direction. A direction
// shorter than kMathEpsilon gives (0, 0); straight up or down gives heading 0.
void DirectionToEuler(const vec3_c& direction, float& heading, float& pitch);
