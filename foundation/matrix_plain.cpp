// Plain C++ bodies of the products. Each works on a copy of its operands, so
// the result may overlap them.
//
// These are the bodies for a processor without a vector unit, so they stay
// scalar: the compiler is told not to turn them into vector code itself.
#include "foundation/matrix_bodies.h"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("no-tree-vectorize", "no-tree-slp-vectorize")
#endif

#include <cmath>
#include <utility>

namespace {

void Vec3Mat3(vec3_c& out, const vec3_c& v, const mat3_c& m)
{
    const vec3_c r(v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
                   v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
                   v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]);
    out = r;
}

void Vec3Mat4x3(vec3_c& out, const vec3_c& v, const mat4x3_c& m)
{
    const vec3_c r(v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0],
                   v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1],
                   v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2]);
    out = r;
}

// Rows [0, rows) of a times the 3x3 part of b, for a of 3 or 4 rows.
template <int Rows, typename A, typename B>
void RowsTimes3x3(float (&r)[Rows][3], const A& a, const B& b)
{
    for (int i = 0; i < Rows; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
}

void Mat3Mat3(mat3_c& out, const mat3_c& a, const mat3_c& b)
{
    mat3_c r;
    RowsTimes3x3(r.m, a, b);
    out = r;
}

void Vec4Mat4(vec4_c& out, const vec4_c& v, const mat4_c& m)
{
    const vec4_c r(v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + v.w * m.m[3][0],
                   v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + v.w * m.m[3][1],
                   v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + v.w * m.m[3][2],
                   v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + v.w * m.m[3][3]);
    out = r;
}

void Mat4x3Mat4x3(mat4x3_c& out, const mat4x3_c& a, const mat4x3_c& b)
{
    mat4x3_c r;
    RowsTimes3x3(r.m, a, b);
    for (int j = 0; j < 3; ++j)
        r.m[3][j] += b.m[3][j];
    out = r;
}

void Mat4Mat4(mat4_c& out, const mat4_c& a, const mat4_c& b)
{
    mat4_c r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    out = r;
}

// Gauss-Jordan elimination. The pivot of each column is its largest remaining
// element: without that search a zero on the diagonal (a quarter turn about y
// already gives one) divides by zero although the matrix is invertible.
void Mat4Inverse(mat4_c& out, const mat4_c& in)
{
    mat4_c a = in;
    mat4_c r;
    r.SetIdentity();
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int i = c + 1; i < 4; ++i)
            if (std::fabs(a.m[i][c]) > std::fabs(a.m[pivot][c]))
                pivot = i;
        if (pivot != c) {
            std::swap(a.m[pivot], a.m[c]);
            std::swap(r.m[pivot], r.m[c]);
        }
        const float scale = 1.0f / a.m[c][c];
        for (int j = 0; j < 4; ++j) {
            a.m[c][j] *= scale;
            r.m[c][j] *= scale;
        }
        for (int i = 0; i < 4; ++i) {
            if (i == c)
                continue;
            const float f = a.m[i][c];
            for (int j = 0; j < 4; ++j) {
                a.m[i][j] -= f * a.m[c][j];
                r.m[i][j] -= f * r.m[c][j];
            }
        }
    }
    out = r;
}

const matrix_bodies_c kPlainBodies = {
    Vec3Mat3, Vec3Mat4x3, Mat3Mat3, Vec4Mat4, Mat4x3Mat4x3, Mat4Mat4, Mat4Inverse,
};

} // namespace

const matrix_bodies_c& PlainMatrixBodies()
{
    return kPlainBodies;
}
