#include "dxt/rescale.h"

#include "dxt/rounding.h"

#include <cmath>

bool IsPow2(i64 n)
{
    return n >= 1 && (n & (n - 1)) == 0;
}

namespace {
// k with 2^k < n < 2^(k+1), or -1.
i32 Bracket(i32 n)
{
    for (i32 k = 0; k < 30; ++k)
        if ((1 << k) < n && n < (1 << (k + 1)))
            return k;
    return -1;
}
} // namespace

i32 NearestPow2(i32 n)
{
    if (IsPow2(n))
        return n;
    const i32 k = Bracket(n);
    if (k < 0)
        return -1;
    const i32 lo = 1 << k, hi = 1 << (k + 1);
    return hi - n > n - lo ? lo : hi;
}

i32 NextPow2(i32 n)
{
    if (IsPow2(n))
        return n;
    const i32 k = Bracket(n);
    return k < 0 ? -1 : 1 << (k + 1);
}

i32 PrevPow2(i32 n)
{
    if (IsPow2(n))
        return n;
    const i32 k = Bracket(n);
    return k < 0 ? -1 : 1 << k;
}

bool PickPow2Size(i32 mode, i32 width, i32 height, i32& new_width, i32& new_height)
{
    auto pick = [mode](i32 n) {
        if (mode == 1)
            return NearestPow2(n);
        if (mode == 2)
            return NextPow2(n);
        return PrevPow2(n);
    };
    new_width = pick(width);
    new_height = pick(height);
    return new_width > 0 && new_height > 0;
}

void ResampleLine(const f32* y, i32 n, f32* out, i32 m)
{
    if (n <= 0 || m <= 0)
        return;
    std::vector<f32> d(n);
    if (n >= 3) {
        // Tridiagonal system for the slopes, solved by the Thomas algorithm.
        std::vector<f32> lower(n), diag(n), upper(n), rhs(n);
        diag[0] = 1.0f;
        upper[0] = 2.0f;
        rhs[0] = (4.0f * y[1] - 5.0f * y[0] + y[2]) / 2.0f;
        for (i32 i = 1; i < n - 1; ++i) {
            lower[i] = 1.0f;
            diag[i] = 4.0f;
            upper[i] = 1.0f;
            rhs[i] = 3.0f * (y[i + 1] - y[i - 1]);
        }
        lower[n - 1] = 4.0f;
        diag[n - 1] = 2.0f;
        rhs[n - 1] = 5.0f * y[n - 1] - 4.0f * y[n - 2] - y[n - 3];
        for (i32 i = 1; i < n; ++i) {
            const f32 f = lower[i] / diag[i - 1];
            diag[i] -= f * upper[i - 1];
            rhs[i] -= f * rhs[i - 1];
        }
        d[n - 1] = rhs[n - 1] / diag[n - 1];
        for (i32 i = n - 2; i >= 0; --i)
            d[i] = (rhs[i] - upper[i] * d[i + 1]) / diag[i];
    } else if (n == 2) {
        // Two knots make a straight line; the slopes 4y1 - 5y0 and 0 would overshoot.
        d[0] = d[1] = y[1] - y[0];
    } else {
        d[0] = -5.0f * y[0];
    }
    const f32 step = m > 1 ? static_cast<f32>(static_cast<f64>(n - 1) / static_cast<f64>(m - 1)) : 0.0f;
    f64 x = 0.0;
    i32 current = -1;
    f32 a = 0, b = 0, c = 0, dd = 0;
    for (i32 j = 0; j < m; ++j) {
        i32 k = static_cast<i32>(RoundHalfEven(x));
        if (k < 0)
            k = 0;
        // The last knot starts no segment: it is reached by the segment before it.
        if (k > n - 2)
            k = n >= 2 ? n - 2 : 0;
        if (k != current) {
            current = k;
            a = y[k];
            b = d[k];
            if (n >= 2) {
                c = 3.0f * (y[k + 1] - y[k]) - 2.0f * d[k] - d[k + 1];
                dd = 2.0f * (y[k] - y[k + 1]) + d[k] + d[k + 1];
            } else {
                b = c = dd = 0.0f;
            }
        }
        const f32 t = static_cast<f32>(x - k);
        out[j] = ((dd * t + c) * t + b) * t + a;
        x += step;
    }
}

std::vector<u8> RescaleImage(const u8* pixels, i32 width, i32 height, i32 bpp, i64 row_pitch, i32 new_width,
                             i32 new_height)
{
    const u64 w = width, h = height, nw = new_width, nh = new_height;
    std::vector<u8> out(nw * nh * bpp);
    std::vector<f32> source(w * h), rows(nw * h), result(nw * nh), line_in, line_out;
    for (i32 ch = 0; ch < bpp; ++ch) {
        for (u64 r = 0; r < h; ++r)
            for (u64 x = 0; x < w; ++x)
                source[r * w + x] = pixels[r * row_pitch + x * bpp + ch];
        for (u64 r = 0; r < h; ++r)
            ResampleLine(&source[r * w], width, &rows[r * nw], new_width);
        line_in.resize(h);
        line_out.resize(nh);
        for (u64 x = 0; x < nw; ++x) {
            for (u64 r = 0; r < h; ++r)
                line_in[r] = rows[r * nw + x];
            ResampleLine(line_in.data(), height, line_out.data(), new_height);
            for (u64 r = 0; r < nh; ++r)
                result[r * nw + x] = line_out[r];
        }
        for (u64 i = 0; i < nw * nh; ++i) {
            f64 v = result[i];
            if (!(v >= 0.0))
                v = 0.0;
            if (v > 255.0)
                v = 255.0;
            const f64 r = RoundHalfEven(v + 0.5);
            out[i * bpp + ch] = static_cast<u8>(r > 255.0 ? 255.0 : r);
        }
    }
    return out;
}
