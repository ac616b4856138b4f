#include "dxt/alpha_fitter.h"

#include "dxt/rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void AlphaPalette(i32 a0, i32 a1, i32 mode, i32 palette[8])
{
    palette[0] = a0;
    palette[1] = a1;
    if (mode == 8) {
        for (i32 k = 6; k >= 1; --k)
            palette[8 - k] = (k * a0 + (7 - k) * a1 + 3) / 7;
    } else {
        for (i32 k = 4; k >= 1; --k)
            palette[6 - k] = (k * a0 + (5 - k) * a1 + 2) / 5;
        palette[6] = 0;
        palette[7] = 255;
    }
}

namespace {

void QuickAlphaBlock(dxt_alpha_block_c& b)
{
    f32 lo = b.alpha[0], hi = b.alpha[0];
    for (i32 i = 1; i < b.count; ++i) {
        lo = std::min(lo, b.alpha[i]);
        hi = std::max(hi, b.alpha[i]);
    }
    b.mode = 6;
    b.endpoints[0] = UnitToByte(hi);
    b.endpoints[1] = UnitToByte(lo);
    i32 pal[8];
    AlphaPalette(b.endpoints[0], b.endpoints[1], 6, pal);
    for (i32 i = 0; i < b.count; ++i) {
        const i32 v = UnitToByte(b.alpha[i]);
        i32 best = 0;
        for (i32 p = 1; p < 8; ++p)
            if (std::abs(pal[p] - v) < std::abs(pal[best] - v))
                best = p;
        b.indices[i] = best;
    }
}

struct line_fit_c {
    i32 a0 = 0, a1 = 0;
    i32 indices[16] = {};
    f64 error = 0.0;
};

// Least-squares end points of values given their levels on an m-level line,
// each end point clamped so that mean + end point stays in 0..1.
void FitLevels(const f64* v, const i32* level, i32 n, i32 m, f64 mean, f64& lo, f64& hi)
{
    // value ~ lo * (1 - u) + hi * u with u = level / (m - 1)
    f64 s00 = 0.0, s01 = 0.0, s11 = 0.0, r0 = 0.0, r1 = 0.0;
    for (i32 i = 0; i < n; ++i) {
        const f64 u = static_cast<f64>(level[i]) / (m - 1), p = 1.0 - u;
        s00 += p * p;
        s01 += p * u;
        s11 += u * u;
        r0 += p * v[i];
        r1 += u * v[i];
    }
    const f64 det = s00 * s11 - s01 * s01;
    if (std::fabs(det) > 1e-300) {
        lo = (r0 * s11 - r1 * s01) / det;
        hi = (r1 * s00 - r0 * s01) / det;
    }
    lo = std::clamp(lo, -mean, 1.0 - mean);
    hi = std::clamp(hi, -mean, 1.0 - mean);
}

f64 LevelError(const f64* v, const i32* level, i32 n, i32 m, f64 lo, f64 hi)
{
    f64 e = 0.0;
    for (i32 i = 0; i < n; ++i) {
        const f64 d = v[i] - (lo + level[i] * (hi - lo) / (m - 1));
        e += d * d;
    }
    return e;
}

line_fit_c FitAlphaLine(i32 m, const f32* values, i32 n)
{
    line_fit_c out;
    f64 mean = 0.0, mn = values[0], mx = values[0];
    for (i32 i = 0; i < n; ++i) {
        mean += values[i];
        mn = std::min<f64>(mn, values[i]);
        mx = std::max<f64>(mx, values[i]);
    }
    mean /= n;
    f64 v[16];
    for (i32 i = 0; i < n; ++i)
        v[i] = values[i] - mean;
    f64 lo = mn - mean, hi = mx - mean;
    i32 level[16] = {};
    bool first = true;
    for (i32 iteration = 0; iteration < 65; ++iteration) {
        bool changed = first;
        first = false;
        // The boundaries between levels, worked out once for all values.
        f64 boundary[7];
        for (i32 k = 0; k < m - 1; ++k)
            boundary[k] = lo + (k + 0.5) * (hi - lo) / (m - 1);
        for (i32 i = 0; i < n; ++i) {
            i32 l = 0;
            for (i32 k = 0; k < m - 1; ++k)
                if (boundary[k] <= v[i])
                    ++l;
            if (l != level[i])
                changed = true;
            level[i] = l;
        }
        i32 count[8] = {};
        for (i32 i = 0; i < n; ++i)
            ++count[level[i]];
        i32 occupied = 0;
        for (i32 l = 0; l < m; ++l)
            occupied += count[l] > 0;
        if (occupied <= 1)
            break;
        if (changed) {
            FitLevels(v, level, n, m, mean, lo, hi);
            continue;
        }
        // Levels are stable: try moving one boundary member to the next level.
        const f64 current = LevelError(v, level, n, m, lo, hi);
        bool moved = false;
        for (i32 dir = 1; dir >= -1 && !moved; dir -= 2) {
            for (i32 l = 0; l < m && !moved; ++l) {
                const i32 to = l + dir;
                if (count[l] == 0 || to < 0 || to >= m)
                    continue;
                if (!(count[l] > 1 || occupied > 2))
                    continue;
                i32 pick = -1;
                for (i32 i = 0; i < n; ++i) {
                    if (level[i] != l)
                        continue;
                    if (pick < 0 || (dir > 0 ? v[i] > v[pick] : v[i] < v[pick]))
                        pick = i;
                }
                i32 trial[16];
                std::copy(level, level + n, trial);
                trial[pick] = to;
                f64 tlo = lo, thi = hi;
                FitLevels(v, trial, n, m, mean, tlo, thi);
                if (LevelError(v, trial, n, m, tlo, thi) < current) {
                    lo = tlo;
                    hi = thi;
                    moved = true;
                }
            }
        }
        if (!moved)
            break;
    }
    out.a0 = UnitToByte(mean + lo);
    out.a1 = UnitToByte(mean + hi);
    i32 pal[8];
    AlphaPalette(out.a0, out.a1, m == 8 ? 8 : 6, pal);
    f64 entry[8];
    for (i32 p = 0; p < m; ++p)
        entry[p] = pal[p];
    // Blocks often repeat a value (all clear, all solid): a value like the
    // one before takes the same entry and adds the same error.
    i32 best = 0;
    f64 square = 0.0;
    for (i32 i = 0; i < n; ++i) {
        if (i == 0 || values[i] != values[i - 1]) {
            const f64 target = 255.0 * values[i];
            best = 0;
            f64 distance = std::fabs(entry[0] - target);
            for (i32 p = 1; p < m; ++p) {
                const f64 d = std::fabs(entry[p] - target);
                if (d < distance) {
                    best = p;
                    distance = d;
                }
            }
            square = (entry[best] - target) * (entry[best] - target);
        }
        out.indices[i] = best;
        out.error += square;
    }
    return out;
}

void FullAlphaBlock(dxt_alpha_block_c& b)
{
    bool has_zero = false, has_one = false;
    for (i32 i = 0; i < b.count; ++i) {
        has_zero |= b.alpha[i] == 0.0f;
        has_one |= b.alpha[i] == 1.0f;
    }
    struct candidate_c {
        i32 mode;
        bool fixed_zero, fixed_one, tried;
    };
    const candidate_c candidates[5] = {
        {8, false, false, true},
        {6, false, false, true},
        {6, true, false, has_zero},
        {6, false, true, has_one},
        {6, true, true, has_zero || has_one},
    };
    bool have = false;
    f64 best_error = 0.0;
    for (const candidate_c& c : candidates) {
        // Only a smaller error replaces a fit: none is smaller than none.
        if (have && best_error == 0.0)
            break;
        if (!c.tried)
            continue;
        f32 subset[16];
        i32 where[16], n = 0;
        for (i32 i = 0; i < b.count; ++i) {
            if (c.fixed_zero && b.alpha[i] == 0.0f)
                continue;
            if (c.fixed_one && b.alpha[i] == 1.0f)
                continue;
            where[n] = i;
            subset[n++] = b.alpha[i];
        }
        line_fit_c fit;
        if (n > 0) {
            fit = FitAlphaLine(c.mode, subset, n);
        } else {
            fit.a0 = 0;
            fit.a1 = 255;
        }
        if (b.keep_zero && has_zero && !c.fixed_zero && fit.a0 != 0 && fit.a1 != 0)
            continue;
        if (b.keep_one && has_one && !c.fixed_one && fit.a0 != 255 && fit.a1 != 255)
            continue;
        if (have && !(fit.error < best_error))
            continue;
        have = true;
        best_error = fit.error;
        b.mode = c.mode;
        b.endpoints[0] = fit.a0;
        b.endpoints[1] = fit.a1;
        for (i32 i = 0; i < b.count; ++i) {
            if (c.fixed_zero && b.alpha[i] == 0.0f)
                b.indices[i] = 6;
            else if (c.fixed_one && b.alpha[i] == 1.0f)
                b.indices[i] = 7;
        }
        for (i32 j = 0; j < n; ++j)
            b.indices[where[j]] = fit.indices[j];
    }
}

} // namespace

void FitAlphaBlock(dxt_alpha_block_c& block, bool quick)
{
    if (block.count <= 0)
        return;
    if (block.count > 16)
        block.count = 16;
    if (quick)
        QuickAlphaBlock(block);
    else
        FullAlphaBlock(block);
}
