#include "dxt/grid_system.h"

#include "dxt/rounding.h"

#include <cmath>
#include <iostream>
#include <stdexcept>

namespace {

void Build(grid_system_c& out, const float_plane_c& c, const float_plane_c* weight, f32 lambda, i32 mode)
{
    const i32 w = c.width, h = c.height;
    if (weight && (weight->width != w || weight->height != h))
        throw std::invalid_argument("Planes of different sizes");
    out.rows = w * h;
    out.entries = w * h + 4 * std::max(0, w - 2) * std::max(0, h - 2);
    out.row_count.assign(out.rows, 1);
    out.columns.clear();
    out.values.clear();
    out.columns.reserve(out.entries);
    out.values.reserve(out.entries);
    auto g = [mode](f32 v) { return mode == 1 ? v : 1.0f / v; };
    for (i32 y = 0; y < h; ++y)
        for (i32 x = 0; x < w; ++x) {
            const i32 p = y * w + x;
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1) {
                out.columns.push_back(p);
                out.values.push_back(1.0f);
                continue;
            }
            out.row_count[p] = 5;
            out.columns.insert(out.columns.end(), {p, p + 1, p - 1, p + w, p - w});
            if (mode != 0 && mode != 1) {
                out.values.insert(out.values.end(), 5, 0.0f);
                continue;
            }
            const f32 gr = g(c.At(x + 1, y)), gl = g(c.At(x - 1, y)), gd = g(c.At(x, y + 1)), gu = g(c.At(x, y - 1));
            const f32 wp = weight ? weight->At(x, y) : c.At(x, y);
            out.values.insert(out.values.end(), {gr + gu + gl + gd + 4.0f * lambda * wp, -gr, -gl, -gd, -gu});
        }
}

} // namespace

void BuildGridSystem(grid_system_c& out, const float_plane_c& conductance, f32 lambda, i32 mode)
{
    Build(out, conductance, nullptr, lambda, mode);
}

void BuildGridSystemWeighted(grid_system_c& out, const float_plane_c& conductance, const float_plane_c& data_weight,
                             f32 lambda)
{
    Build(out, conductance, &data_weight, lambda, 0);
}

void ReleaseGridSystem(grid_system_c& s)
{
    s = grid_system_c{};
}

std::vector<f32> MultiplyGridSystem(const grid_system_c& s, const f32* x)
{
    std::vector<f32> out(s.rows, 0.0f);
    size_t e = 0;
    for (i32 i = 0; i < s.rows; ++i)
        for (i32 k = 0; k < s.row_count[i]; ++k, ++e)
            out[i] += s.values[e] * x[s.columns[e]];
    return out;
}

f32 GaussSeidelSweep(const grid_system_c& s, f32* x, const f32* b, bool want_residual)
{
    size_t e = 0;
    for (i32 i = 0; i < s.rows; ++i) {
        f32 sum = b[i], diagonal = 0.0f;
        for (i32 k = 0; k < s.row_count[i]; ++k, ++e) {
            if (s.columns[e] == i)
                diagonal = s.values[e];
            else
                sum -= s.values[e] * x[s.columns[e]];
        }
        if (std::fabs(diagonal) < 1e-20f) {
            std::cerr << "tiny pivot!!\n";
            return 0.0f;
        }
        x[i] = sum / diagonal;
    }
    if (!want_residual)
        return 1e20f;
    const std::vector<f32> ax = MultiplyGridSystem(s, x);
    f32 sum = 0.0f;
    for (i32 i = 0; i < s.rows; ++i)
        sum += (ax[i] - b[i]) * (ax[i] - b[i]);
    return std::sqrt(sum);
}

i32 SolveGridSystem(const grid_system_c& s, f32* x, const f32* b, f32 limit, bool fixed_count, bool quiet)
{
    if (fixed_count) {
        for (u32 count = 0; static_cast<f32>(count) < limit && count < kMaxSweeps; ++count)
            GaussSeidelSweep(s, x, b, false);
        return static_cast<i32>(RoundHalfEven(std::min(limit, static_cast<f32>(kMaxSweeps))));
    }
    u32 count = 0;
    f32 residual = GaussSeidelSweep(s, x, b, true);
    // A tolerance that cannot be reached would otherwise run for 2^32 sweeps.
    while (residual >= limit && count < kMaxSweeps) {
        ++count;
        if (!quiet)
            std::cerr << "\niteration " << count << ", error = " << residual;
        residual = GaussSeidelSweep(s, x, b, true);
    }
    if (!quiet)
        std::cout << "\n";
    return static_cast<i32>(count);
}
