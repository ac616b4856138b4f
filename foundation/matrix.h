#pragma once
// 3x3, affine 4x3 and 4x4 matrices of floats, stored row by row. Vectors are
// rows multiplied on the left: v' = v * M, so a product A * B applies A first.
//
// The products and the 4x4 inverse run through process-wide pointers, one for
// the distinct form (result separate from the left operand) and one for the
// in-place form (result is the left operand). Each pointer is bound at its
// first call to the SSE body when the processor has SSE, else to the plain
// body; later calls cost one indirect call. Every body reads all of its
// operands before it stores, so results may overlap operands in either form.
#include "foundation/vector_math.h"

class mat3_c {
public:
    float m[3][3]; // [row][column]

    void SetIdentity();
    // Diagonal (s.x, s.y, s.z).
    void SetScale(const vec3_c& s);
    // Rows 0 and 1 identity, row 2 = t: a 2D homogeneous translation, used
    // for texture-coordinate offsets.
    void SetTranslation(const vec3_c& t);
    // About axis 0 (x), 1 (y) or 2 (z); an angle of exactly 0 gives the
    // identity; another axis leaves the matrix as it was.
    void SetRotation(int axis, float angle);
    // About an arbitrary axis (normalised here); angle 0 gives the identity.
    void SetAxisRotation(const vec3_c& axis, float angle);
    // Bank about z, then pitch about x, then heading about y; row 2 is the
    // forward direction of vec3_c(angles). All three exactly 0: the identity.
    void SetEuler(const euler_c& angles);
    void Transpose();
    void SetTranspose(const mat3_c& source);
    // Cofactors over the determinant; a singular matrix is not detected.
    static void Inverse(mat3_c& out, const mat3_c& in);

    mat3_c& operator*=(const mat3_c& b);
};

class mat4x3_c {
public:
    float m[4][3]; // rows 0-2: the rotation part R; row 3: the translation t

    mat4x3_c() = default;
    // The nine values of r with a zero translation.
    explicit mat4x3_c(const mat3_c& r);

    void SetIdentity();
    // Identity rotation, translation t.
    void SetTranslation(const vec3_c& t);
    // The rotation part as the mat3_c builder of the same name, translation 0.
    void SetScale(const vec3_c& s);
    void SetRotation(int axis, float angle);
    void SetEuler(const euler_c& angles);

    mat3_c GetRotation() const;
    void SetRotationPart(const mat3_c& r);
    vec3_c GetPosition() const { return {m[3][0], m[3][1], m[3][2]}; }
    void SetPosition(const vec3_c& t);

    // R' = R^-1 by cofactors, t' = -(t * R'); a singular matrix is not
    // detected. Invert is the same routine under its second name.
    static void Inverse(mat4x3_c& out, const mat4x3_c& in);
    static void Invert(mat4x3_c& out, const mat4x3_c& in) { Inverse(out, in); }
    // this = m^-1; m may be this object.
    void SetInverse(const mat4x3_c& source) { Inverse(*this, source); }

    // this = this * b: apply this, then b.
    mat4x3_c& operator*=(const mat4x3_c& b);

    // True when every element differs by less than kMathEpsilon (a NaN
    // difference is not less).
    bool IsEqual(const mat4x3_c& other) const;
};

class alignas(16) mat4_c {
public:
    float m[4][4]; // [row][column]

    void SetIdentity();
    // out = in^-1; a singular matrix is not detected (callers pass view and
    // projection matrices).
    static void Inverse(mat4_c& out, const mat4_c& in);
    void SetInverse(const mat4_c& source) { Inverse(*this, source); }

    mat4_c& operator*=(const mat4_c& b);
};

vec3_c operator*(const vec3_c& v, const mat3_c& m);
vec3_c& operator*=(vec3_c& v, const mat3_c& m);
// v as a point: v * R + t.
vec3_c operator*(const vec3_c& v, const mat4x3_c& m);
vec3_c& operator*=(vec3_c& v, const mat4x3_c& m);
mat3_c operator*(const mat3_c& a, const mat3_c& b);
vec4_c operator*(const vec4_c& v, const mat4_c& m);
vec4_c& operator*=(vec4_c& v, const mat4_c& m);
// R = A.R * B.R, t = A.t * B.R + B.t.
mat4x3_c operator*(const mat4x3_c& a, const mat4x3_c& b);
mat4_c operator*(const mat4_c& a, const mat4_c& b);

// Distinct forms that write into an existing result (which may still be an
// operand).
void Multiply(vec3_c& out, const vec3_c& v, const mat3_c& m);
void Multiply(vec3_c& out, const vec3_c& v, const mat4x3_c& m);
void Multiply(mat3_c& out, const mat3_c& a, const mat3_c& b);
void Multiply(vec4_c& out, const vec4_c& v, const mat4_c& m);
void Multiply(mat4x3_c& out, const mat4x3_c& a, const mat4x3_c& b);
void Multiply(mat4_c& out, const mat4_c& a, const mat4_c& b);
