// SSE bodies of the products. Each loads all of its operands into registers
// before it stores, so one body serves the distinct and the in-place form.
// Unaligned loads and stores keep them correct for any placement; on current
// processors they cost the same as aligned ones when the data is aligned.
#include "foundation/matrix_bodies.h"

#include <stdexcept>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <xmmintrin.h>

namespace {

// Three floats into lanes 0-2 without reading past them; lane 3 is 0.
// The 64-bit integer loads and stores take any alignment.
__m128 Load3(const float* p)
{
    const __m128 xy = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
    return _mm_movelh_ps(xy, _mm_load_ss(p + 2));
}

void Store3(float* p, __m128 v)
{
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_castps_si128(v));
    _mm_store_ss(p + 2, _mm_movehl_ps(v, v));
}

template <int Lane>
__m128 Splat(__m128 v)
{
    return _mm_shuffle_ps(v, v, _MM_SHUFFLE(Lane, Lane, Lane, Lane));
}

// row * [r0; r1; r2] over the first three lanes of row.
__m128 Combine3(__m128 row, __m128 r0, __m128 r1, __m128 r2)
{
    return _mm_add_ps(_mm_add_ps(_mm_mul_ps(Splat<0>(row), r0), _mm_mul_ps(Splat<1>(row), r1)),
                      _mm_mul_ps(Splat<2>(row), r2));
}

__m128 Combine4(__m128 row, __m128 r0, __m128 r1, __m128 r2, __m128 r3)
{
    return _mm_add_ps(_mm_add_ps(_mm_mul_ps(Splat<0>(row), r0), _mm_mul_ps(Splat<1>(row), r1)),
                      _mm_add_ps(_mm_mul_ps(Splat<2>(row), r2), _mm_mul_ps(Splat<3>(row), r3)));
}

void Vec3Mat3(vec3_c& out, const vec3_c& v, const mat3_c& m)
{
    const __m128 r = Combine3(Load3(&v.x), Load3(m.m[0]), Load3(m.m[1]), Load3(m.m[2]));
    Store3(&out.x, r);
}

void Vec3Mat4x3(vec3_c& out, const vec3_c& v, const mat4x3_c& m)
{
    const __m128 r = _mm_add_ps(Combine3(Load3(&v.x), Load3(m.m[0]), Load3(m.m[1]), Load3(m.m[2])), Load3(m.m[3]));
    Store3(&out.x, r);
}

void Mat3Mat3(mat3_c& out, const mat3_c& a, const mat3_c& b)
{
    const __m128 b0 = Load3(b.m[0]), b1 = Load3(b.m[1]), b2 = Load3(b.m[2]);
    const __m128 a0 = Load3(a.m[0]), a1 = Load3(a.m[1]), a2 = Load3(a.m[2]);
    const __m128 r0 = Combine3(a0, b0, b1, b2);
    const __m128 r1 = Combine3(a1, b0, b1, b2);
    const __m128 r2 = Combine3(a2, b0, b1, b2);
    Store3(out.m[0], r0);
    Store3(out.m[1], r1);
    Store3(out.m[2], r2);
}

void Vec4Mat4(vec4_c& out, const vec4_c& v, const mat4_c& m)
{
    const __m128 r = Combine4(_mm_loadu_ps(&v.x), _mm_loadu_ps(m.m[0]), _mm_loadu_ps(m.m[1]), _mm_loadu_ps(m.m[2]),
                              _mm_loadu_ps(m.m[3]));
    _mm_storeu_ps(&out.x, r);
}

void Mat4x3Mat4x3(mat4x3_c& out, const mat4x3_c& a, const mat4x3_c& b)
{
    // Rows 0-2 are read four floats wide: the fourth lane is the next row's
    // first element, inside the matrix, and never reaches a stored lane.
    const float* bp = b.m[0];
    const float* ap = a.m[0];
    const __m128 b0 = _mm_loadu_ps(bp), b1 = _mm_loadu_ps(bp + 3), b2 = _mm_loadu_ps(bp + 6);
    const __m128 bt = Load3(bp + 9);
    const __m128 a0 = _mm_loadu_ps(ap), a1 = _mm_loadu_ps(ap + 3), a2 = _mm_loadu_ps(ap + 6);
    const __m128 at = Load3(ap + 9);
    const __m128 r0 = Combine3(a0, b0, b1, b2);
    const __m128 r1 = Combine3(a1, b0, b1, b2);
    const __m128 r2 = Combine3(a2, b0, b1, b2);
    const __m128 rt = _mm_add_ps(Combine3(at, b0, b1, b2), bt);
    // In order, so each row's stray fourth lane is overwritten by the next row.
    float* op = out.m[0];
    _mm_storeu_ps(op, r0);
    _mm_storeu_ps(op + 3, r1);
    _mm_storeu_ps(op + 6, r2);
    Store3(op + 9, rt);
}

void Mat4Mat4(mat4_c& out, const mat4_c& a, const mat4_c& b)
{
    const __m128 b0 = _mm_loadu_ps(b.m[0]), b1 = _mm_loadu_ps(b.m[1]);
    const __m128 b2 = _mm_loadu_ps(b.m[2]), b3 = _mm_loadu_ps(b.m[3]);
    const __m128 a0 = _mm_loadu_ps(a.m[0]), a1 = _mm_loadu_ps(a.m[1]);
    const __m128 a2 = _mm_loadu_ps(a.m[2]), a3 = _mm_loadu_ps(a.m[3]);
    const __m128 r0 = Combine4(a0, b0, b1, b2, b3);
    const __m128 r1 = Combine4(a1, b0, b1, b2, b3);
    const __m128 r2 = Combine4(a2, b0, b1, b2, b3);
    const __m128 r3 = Combine4(a3, b0, b1, b2, b3);
    _mm_storeu_ps(out.m[0], r0);
    _mm_storeu_ps(out.m[1], r1);
    _mm_storeu_ps(out.m[2], r2);
    _mm_storeu_ps(out.m[3], r3);
}

// Inverse by cofactors. With the 2x2 minors s_k of rows 0-1 and c_k of rows
// 2-3, each adjugate row is a sum of three column-times-minor products; the
// four lanes of one row are computed at once. The columns come from the
// transpose, reordered (1, 0, 3, 2) to meet the minors (c, c, s, s).
void Mat4Inverse(mat4_c& out, const mat4_c& in)
{
    const __m128 r0 = _mm_loadu_ps(in.m[0]), r1 = _mm_loadu_ps(in.m[1]);
    const __m128 r2 = _mm_loadu_ps(in.m[2]), r3 = _mm_loadu_ps(in.m[3]);

    // Lanes (rows 2, 2, 0, 0) and (rows 3, 3, 1, 1) of column i.
    const __m128 x0 = _mm_shuffle_ps(r2, r0, _MM_SHUFFLE(0, 0, 0, 0));
    const __m128 x1 = _mm_shuffle_ps(r2, r0, _MM_SHUFFLE(1, 1, 1, 1));
    const __m128 x2 = _mm_shuffle_ps(r2, r0, _MM_SHUFFLE(2, 2, 2, 2));
    const __m128 x3 = _mm_shuffle_ps(r2, r0, _MM_SHUFFLE(3, 3, 3, 3));
    const __m128 y0 = _mm_shuffle_ps(r3, r1, _MM_SHUFFLE(0, 0, 0, 0));
    const __m128 y1 = _mm_shuffle_ps(r3, r1, _MM_SHUFFLE(1, 1, 1, 1));
    const __m128 y2 = _mm_shuffle_ps(r3, r1, _MM_SHUFFLE(2, 2, 2, 2));
    const __m128 y3 = _mm_shuffle_ps(r3, r1, _MM_SHUFFLE(3, 3, 3, 3));
    // k_ij = (c_ij, c_ij, s_ij, s_ij): the minor of columns i and j.
    auto minor = [](__m128 xi, __m128 yi, __m128 xj, __m128 yj) {
        return _mm_sub_ps(_mm_mul_ps(xi, yj), _mm_mul_ps(yi, xj));
    };
    const __m128 k01 = minor(x0, y0, x1, y1), k02 = minor(x0, y0, x2, y2);
    const __m128 k03 = minor(x0, y0, x3, y3), k12 = minor(x1, y1, x2, y2);
    const __m128 k13 = minor(x1, y1, x3, y3), k23 = minor(x2, y2, x3, y3);

    // Transpose: t_j = column j = (m0j, m1j, m2j, m3j), then lanes (1, 0, 3, 2).
    __m128 t0 = r0, t1 = r1, t2 = r2, t3 = r3;
    _MM_TRANSPOSE4_PS(t0, t1, t2, t3);
    const __m128 v0 = _mm_shuffle_ps(t0, t0, _MM_SHUFFLE(2, 3, 0, 1));
    const __m128 v1 = _mm_shuffle_ps(t1, t1, _MM_SHUFFLE(2, 3, 0, 1));
    const __m128 v2 = _mm_shuffle_ps(t2, t2, _MM_SHUFFLE(2, 3, 0, 1));
    const __m128 v3 = _mm_shuffle_ps(t3, t3, _MM_SHUFFLE(2, 3, 0, 1));

    auto row = [](__m128 va, __m128 ka, __m128 vb, __m128 kb, __m128 vc, __m128 kc) {
        return _mm_add_ps(_mm_sub_ps(_mm_mul_ps(va, ka), _mm_mul_ps(vb, kb)), _mm_mul_ps(vc, kc));
    };
    const __m128 plusMinus = _mm_setr_ps(1.0f, -1.0f, 1.0f, -1.0f);
    const __m128 minusPlus = _mm_setr_ps(-1.0f, 1.0f, -1.0f, 1.0f);
    const __m128 i0 = _mm_mul_ps(row(v1, k23, v2, k13, v3, k12), plusMinus);
    const __m128 i1 = _mm_mul_ps(row(v0, k23, v2, k03, v3, k02), minusPlus);
    const __m128 i2 = _mm_mul_ps(row(v0, k13, v1, k03, v3, k01), plusMinus);
    const __m128 i3 = _mm_mul_ps(row(v0, k12, v1, k02, v2, k01), minusPlus);

    // Determinant: row 0 of the matrix against column 0 of the adjugate.
    const __m128 column0 = _mm_movelh_ps(_mm_unpacklo_ps(i0, i1), _mm_unpacklo_ps(i2, i3));
    __m128 d = _mm_mul_ps(r0, column0);
    d = _mm_add_ps(d, _mm_movehl_ps(d, d));
    d = _mm_add_ss(d, _mm_shuffle_ps(d, d, _MM_SHUFFLE(1, 1, 1, 1)));
    // Approximate reciprocal, refined once: 2r - d r r.
    __m128 r = _mm_rcp_ss(d);
    r = _mm_sub_ss(_mm_add_ss(r, r), _mm_mul_ss(d, _mm_mul_ss(r, r)));
    r = Splat<0>(r);

    _mm_storeu_ps(out.m[0], _mm_mul_ps(i0, r));
    _mm_storeu_ps(out.m[1], _mm_mul_ps(i1, r));
    _mm_storeu_ps(out.m[2], _mm_mul_ps(i2, r));
    _mm_storeu_ps(out.m[3], _mm_mul_ps(i3, r));
}

const matrix_bodies_c kSseBodies = {
    Vec3Mat3, Vec3Mat4x3, Mat3Mat3, Vec4Mat4, Mat4x3Mat4x3, Mat4Mat4, Mat4Inverse,
};

} // namespace

const matrix_bodies_c& SseMatrixBodies()
{
    return kSseBodies;
}

#else

const matrix_bodies_c& SseMatrixBodies()
{
    throw std::runtime_error("The SSE matrix bodies are not built for this processor!");
}

#endif
