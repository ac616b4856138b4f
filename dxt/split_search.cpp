#include "dxt/split_search.h"

#include "dxt/lanes.h"

#include <algorithm>

namespace {

constexpr i32 kMaxColors = 16;
// Cuts of the largest block, rows of b1 lanes rounded up to whole vectors of
// four: b2 = 1..16, each with 17 - b2 rows of b3.
constexpr i32 kCuts = 1040;
// Cuts close enough to the best ratio to be searched in order; beyond that
// many the plain search is as quick.
constexpr i32 kMaxClose = 64;

// The ratio of the near cuts, relative to the best found: well above the
// rounding of a running comparison (a few thousand ulps over 816 cuts), well
// below any real difference between cuts.
constexpr f64 kNear = 1e-6;
// The band below kNear in which no cut may lie for the near cuts to decide
// alone; a cut there sends the search the plain way.
constexpr f64 kBand = 1e-9;

struct cut_c {
    i32 b1, b2, b3;
    f64 x2, d;
    bool Before(const cut_c& o) const
    {
        if (b1 != o.b1)
            return b1 < o.b1;
        if (b2 != o.b2)
            return b2 < o.b2;
        return b3 > o.b3;
    }
};

// The running search of the contract: the last cut at least as good as every
// one before it, compared cross-multiplied.
struct running_best_c {
    bool have = false;
    f64 x2 = 0.0, d = 1.0;
    i32 b1 = 0, b2 = 0, b3 = 0;
    void Offer(i32 _b1, i32 _b2, i32 _b3, f64 _x2, f64 _d)
    {
        if (!have || _x2 * d >= x2 * _d) {
            have = true;
            x2 = _x2;
            d = _d;
            b1 = _b1;
            b2 = _b2;
            b3 = _b3;
        }
    }
};

// |X|² and D of every cut (D = 0 marks a cut that does not count), laid out
// by b2, then b3 from the far end, then b1 in lanes: side by side, cuts
// differ only in where the first group ends. The running comparison
// over all of them would be a long chain of dependent branches; instead the
// best ratio is estimated lane by lane, the cuts within kNear of it are
// picked out and only they are compared in the search order. Any cut outside
// them stays below a near cut by far more than rounding, so it cannot be the
// last to win; when a cut falls in the band between, or too many are near,
// every cut is compared in order.
template <class V>
[[gnu::always_inline]] inline bool Search(const split_colors_c& colors, i32 bounds[5])
{
    constexpr i32 kLanes = sizeof(V) / sizeof(f64);
    const i32 k = colors.count;
    // Prefix sums, padded so that the last vector of lanes reads zeros.
    f64 pw[kMaxColors + 1 + kLanes] = {};
    f64 ps[3][kMaxColors + 1 + kLanes] = {};
    for (i32 i = 0; i < k; ++i) {
        pw[i + 1] = pw[i] + colors.omega[i];
        for (i32 c = 0; c < 3; ++c)
            ps[c][i + 1] = ps[c][i] + colors.s[c][i];
    }
    V lane_index;
    for (i32 j = 0; j < kLanes; ++j)
        lane_index[j] = j;

    f64 x2s[kCuts], ds[kCuts];
    i32 offset[kMaxColors + 2];
    V best_x2 = {}, best_d = lane_index * 0.0 + 1.0;
    i32 at = 0;
    for (i32 b2 = 1; b2 <= k; ++b2) {
        const i32 width = (b2 + kLanes - 1) / kLanes * kLanes;
        offset[b2] = at;
        const f64 w2_all = pw[k] - pw[b2];
        f64 s2_all[3];
        for (i32 c = 0; c < 3; ++c)
            s2_all[c] = ps[c][k] - ps[c][b2];
        // b1 runs to b2; with b1 = k every colour is in the first group.
        const f64 last_b1 = std::min(b2, k - 1);
        for (i32 b1 = 1; b1 <= b2; b1 += kLanes) {
            const auto counts = lane_index + b1 <= last_b1;
            V x[3], w0;
            for (i32 c = 0; c < 3; ++c) {
                LoadLanes(x[c], ps[c] + b1);
                x[c] = (ps[c][b2] - x[c]) + s2_all[c] * 2.0;
            }
            LoadLanes(w0, pw + b1);
            const V w1 = pw[b2] - w0;
            V a = w1 + 2.0 * w2_all, bq = w1 + 4.0 * w2_all;
            for (i32 b3 = k, row = at + b1 - 1;; row += width) {
                const V x2 = x[0] * x[0] + x[1] * x[1] + x[2] * x[2];
                const V d = counts ? bq - a * a : V{};
                StoreLanes(x2s + row, x2);
                StoreLanes(ds + row, d);
                const auto better = d > 0.0 && x2 * best_d > best_x2 * d;
                best_x2 = better ? x2 : best_x2;
                best_d = better ? d : best_d;
                if (b3 == b2)
                    break;
                --b3;
                for (i32 c = 0; c < 3; ++c)
                    x[c] += colors.s[c][b3];
                a += colors.omega[b3];
                bq += 5.0 * colors.omega[b3];
            }
        }
        at += (k - b2 + 1) * width;
    }
    offset[k + 1] = at;

    f64 top_x2 = 0.0, top_d = 1.0;
    for (i32 j = 0; j < kLanes; ++j)
        if (best_x2[j] * top_d > top_x2 * best_d[j]) {
            top_x2 = best_x2[j];
            top_d = best_d[j];
        }
    cut_c close[kMaxClose];
    i32 close_count = 0;
    bool plain = !(top_x2 > 0.0);
    if (!plain) {
        const f64 ratio = top_x2 / top_d;
        const f64 near = ratio * (1.0 - kNear), below = ratio * (1.0 - kNear - kBand);
        for (i32 b2 = 1; b2 <= k && !plain; ++b2) {
            const i32 width = (b2 + kLanes - 1) / kLanes * kLanes;
            for (i32 row = offset[b2]; row < offset[b2 + 1] && !plain; row += kLanes) {
                V x2, d;
                LoadLanes(x2, x2s + row);
                LoadLanes(d, ds + row);
                const auto counts = d > 0.0;
                const auto not_below = counts && !(x2 < below * d);
                if (!AnyLane(not_below))
                    continue;
                const auto is_near = counts && x2 >= near * d;
                const auto unclear = not_below && !is_near;
                for (i32 j = 0; j < kLanes; ++j) {
                    if (unclear[j] || (is_near[j] && close_count == kMaxClose)) {
                        plain = true;
                        break;
                    }
                    if (is_near[j]) {
                        const i32 within = row + j - offset[b2];
                        close[close_count++] = {within % width + 1, b2, k - within / width, x2[j], d[j]};
                    }
                }
            }
        }
    }

    running_best_c best;
    if (plain) {
        for (i32 b1 = 1; b1 < k; ++b1)
            for (i32 b2 = b1; b2 <= k; ++b2) {
                const i32 width = (b2 + kLanes - 1) / kLanes * kLanes;
                for (i32 b3 = k, row = offset[b2] + b1 - 1; b3 >= b2; --b3, row += width)
                    if (ds[row] > 0.0)
                        best.Offer(b1, b2, b3, x2s[row], ds[row]);
            }
    } else {
        std::sort(close, close + close_count, [](const cut_c& a, const cut_c& b) { return a.Before(b); });
        for (i32 i = 0; i < close_count; ++i)
            best.Offer(close[i].b1, close[i].b2, close[i].b3, close[i].x2, close[i].d);
    }
    bounds[0] = 0;
    bounds[1] = best.b1;
    bounds[2] = best.b2;
    bounds[3] = best.b3;
    bounds[4] = k;
    return best.have;
}

bool CutsInPairs(const split_colors_c& colors, i32 bounds[5])
{
    return Search<f64_pair_c>(colors, bounds);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] bool CutsInQuads(const split_colors_c& colors, i32 bounds[5])
{
    return Search<f64_quad_c>(colors, bounds);
}
#endif

} // namespace

bool BestFourGroupSplit(const split_colors_c& colors, i32 bounds[5], i32 lanes)
{
#if defined(__x86_64__)
    if (HasQuadLanes() && lanes != 2)
        return CutsInQuads(colors, bounds);
#endif
    return CutsInPairs(colors, bounds);
}
