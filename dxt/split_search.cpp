#include "dxt/split_search.h"

#include "dxt/lanes.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

constexpr i32 kMaxColors = 16;
// Cuts kept for the comparison in order; beyond that many the plain search is
// as quick.
constexpr i32 kMaxKept = 64;

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
    cut_c cut{};
    void Offer(const cut_c& c)
    {
        if (!have || c.x2 * cut.d >= cut.x2 * c.d) {
            have = true;
            cut = c;
        }
    }
    bool Answer(i32 count, i32 bounds[5]) const
    {
        bounds[0] = 0;
        bounds[1] = cut.b1;
        bounds[2] = cut.b2;
        bounds[3] = cut.b3;
        bounds[4] = count;
        return have;
    }
};

// Prefix sums of the colours' weights and centred sums.
struct prefix_c {
    f64 w[kMaxColors + 1 + 8] = {}; // padded so that a vector of lanes past the end reads zeros
    f64 s[3][kMaxColors + 1 + 8] = {};
    explicit prefix_c(const split_colors_c& colors)
    {
        // Running sums in registers: read back from the arrays, each step
        // would wait for the last one's store.
        f64 sw = 0.0, s0 = 0.0, s1 = 0.0, s2 = 0.0;
        for (i32 i = 0; i < colors.count; ++i) {
            w[i + 1] = sw += colors.omega[i];
            s[0][i + 1] = s0 += colors.s[0][i];
            s[1][i + 1] = s1 += colors.s[1][i];
            s[2][i + 1] = s2 += colors.s[2][i];
        }
    }
};

// Every cut in order, one at a time.
bool Plain(const split_colors_c& colors, i32 bounds[5])
{
    const i32 k = colors.count;
    const prefix_c p(colors);
    running_best_c best;
    // With b1 = k every colour is in the first group.
    for (i32 b1 = 1; b1 < k; ++b1)
        for (i32 b2 = b1; b2 <= k; ++b2) {
            f64 x[3];
            for (i32 c = 0; c < 3; ++c)
                x[c] = (p.s[c][b2] - p.s[c][b1]) + (p.s[c][k] - p.s[c][b2]) * 2.0;
            const f64 w1 = p.w[b2] - p.w[b1], w2_all = p.w[k] - p.w[b2];
            f64 a = w1 + 2.0 * w2_all, bq = w1 + 4.0 * w2_all;
            for (i32 b3 = k;; --b3) {
                const f64 d = bq - a * a;
                if (d > 0.0)
                    best.Offer({b1, b2, b3, x[0] * x[0] + x[1] * x[1] + x[2] * x[2], d});
                if (b3 == b2)
                    break;
                for (i32 c = 0; c < 3; ++c)
                    x[c] += colors.s[c][b3 - 1];
                a += colors.omega[b3 - 1];
                bq += 5.0 * colors.omega[b3 - 1];
            }
        }
    return best.Answer(k, bounds);
}

// The cuts within reach of the best ratio met so far. A cut below
// (1 - kNear - kBand) of the final best cannot be the last to win the running
// comparison: once a near cut has been met, the best stays within rounding of
// it, far above.
class near_cuts_c {
public:
    // The ratio below which a cut is passed by, with its margin.
    f64 reach = 0.0;

    // Starts from the ratio of a cut worked out apart (its rounding may
    // differ by a few ulps, far inside the margin), so that the search does
    // not meet every cut that improves on the last on its way to the best.
    void Start(f64 x2, f64 d)
    {
        if (d > 0.0 && x2 > 0.0) {
            top_ = {0, 0, 0, x2, d};
            reach = x2 / d * (1.0 - kNear - kBand);
        }
    }

    // False when the cuts cannot decide alone.
    bool Meet(const cut_c& c)
    {
        if (c.x2 != c.x2)
            return false;
        if (c.x2 * top_.d > top_.x2 * c.d) {
            top_ = c;
            reach = c.x2 / c.d * (1.0 - kNear - kBand);
            Prune();
        }
        if (count_ == kMaxKept)
            return false;
        kept_[count_++] = c;
        return true;
    }

    // The winner of the running comparison among the near cuts; false when
    // some cut lies in the band or no cut has a ratio above 0.
    bool Decide(running_best_c& best)
    {
        if (!(top_.x2 > 0.0))
            return false;
        const f64 ratio = top_.x2 / top_.d;
        const f64 near = ratio * (1.0 - kNear), below = ratio * (1.0 - kNear - kBand);
        i32 n = 0;
        for (i32 i = 0; i < count_; ++i) {
            const cut_c& c = kept_[i];
            if (c.x2 >= near * c.d)
                kept_[n++] = c;
            else if (!(c.x2 < below * c.d))
                return false;
        }
        std::sort(kept_, kept_ + n, [](const cut_c& a, const cut_c& b) { return a.Before(b); });
        for (i32 i = 0; i < n; ++i)
            best.Offer(kept_[i]);
        return true;
    }

private:
    void Prune()
    {
        i32 n = 0;
        for (i32 i = 0; i < count_; ++i)
            if (!(kept_[i].x2 < reach * kept_[i].d))
                kept_[n++] = kept_[i];
        count_ = n;
    }

    cut_c top_{0, 0, 0, 0.0, 1.0};
    cut_c kept_[kMaxKept];
    i32 count_ = 0;
};

// The pairs of first and second boundaries, in rows of equal b2 from the far
// end, b1 rising within a row. `kLanes` consecutive pairs share a vector; a
// vector's cuts run b3 from the far end down to its lowest b2, so lanes of
// one vector end nearly together.
struct pair_plan_c {
    static constexpr i32 kMaxPairs = kMaxColors * (kMaxColors + 1) / 2;
    static constexpr i32 kPadding = 8; // the widest vector past the last pair
    i32 pairs[kMaxColors + 1] = {};    // by colour count
    i32 row_start[kMaxColors + 1][kMaxColors + 1] = {};
    i64 b1[kMaxColors + 1][kMaxPairs + kPadding] = {};
    i64 b2[kMaxColors + 1][kMaxPairs + kPadding] = {}; // past the colours beyond the last pair

    pair_plan_c()
    {
        for (i32 k = 2; k <= kMaxColors; ++k) {
            i32 n = 0;
            // With b1 = k every colour is in the first group.
            for (i32 second = k; second >= 1; --second) {
                row_start[k][second] = n;
                for (i32 first = 1; first <= std::min(second, k - 1); ++first, ++n) {
                    b1[k][n] = first;
                    b2[k][n] = second;
                }
            }
            pairs[k] = n;
            for (i32 i = n; i < kMaxPairs + kPadding; ++i) {
                b1[k][i] = 1;
                b2[k][i] = k + 1;
            }
        }
    }
};

const pair_plan_c& PairPlan()
{
    static const pair_plan_c plan;
    return plan;
}

// Cuts side by side in lanes of (b1, b2) pairs, with b3 falling from the far
// end: only the third group changes from step to step. A step's |X|² and D
// are compared with the reach of the best so far; the rare cut that comes
// within it is met one at a time.
template <class V>
[[gnu::always_inline]] inline bool Search(const split_colors_c& colors, i32 bounds[5])
{
    constexpr i32 kLanes = sizeof(V) / sizeof(f64);
    using bits_t = lane_bits_t<V>;
    constexpr i32 kSlots = pair_plan_c::kMaxPairs + pair_plan_c::kPadding;
    const pair_plan_c& plan = PairPlan();
    const i32 k = colors.count;
    if (k < 2)
        return Plain(colors, bounds);
    // Colours that are not finite make ratios that are not numbers, which
    // the plain search ranks by its own rules.
    for (i32 i = 0; i < k; ++i)
        if (!std::isfinite(colors.omega[i] + colors.s[0][i] + colors.s[1][i] + colors.s[2][i]))
            return Plain(colors, bounds);
    const prefix_c p(colors);
    f64 five_omega[kMaxColors];
    for (i32 i = 0; i < k; ++i)
        five_omega[i] = 5.0 * colors.omega[i];

    near_cuts_c near;
    {
        // The cut into quarters, which smooth colours come close to.
        const i32 b[4] = {0, (k + 2) / 4, (k + 1) / 2, (3 * k + 2) / 4};
        f64 x[3] = {}, a = 0.0, bq = 0.0;
        for (i32 t = 1; t <= 3; ++t) {
            const f64 w = p.w[k] - p.w[b[t]];
            a += w;
            bq += (2 * t - 1) * w;
            for (i32 c = 0; c < 3; ++c)
                x[c] += p.s[c][k] - p.s[c][b[t]];
        }
        near.Start(x[0] * x[0] + x[1] * x[1] + x[2] * x[2], bq - a * a);
    }

    // Each pair's X, A and B with the third group empty, a row of b1 at a
    // time; the slots past the last pair are zeros, never counted.
    f64 start[5][kSlots];
    // Rows in the order they lie, so that a vector past a row's end is
    // written over by the next row.
    for (i32 b2 = k; b2 >= 1; --b2) {
        const i32 row = plan.row_start[k][b2], last_b1 = std::min(b2, k - 1);
        const f64 w2_all = p.w[k] - p.w[b2];
        for (i32 b1 = 1; b1 <= last_b1; b1 += kLanes) {
            for (i32 c = 0; c < 3; ++c) {
                V x;
                LoadLanes(x, p.s[c] + b1);
                StoreLanes(start[c] + row + b1 - 1, (p.s[c][b2] - x) + (p.s[c][k] - p.s[c][b2]) * 2.0);
            }
            V w0;
            LoadLanes(w0, p.w + b1);
            const V w1 = p.w[b2] - w0;
            StoreLanes(start[3] + row + b1 - 1, w1 + 2.0 * w2_all);
            StoreLanes(start[4] + row + b1 - 1, w1 + 4.0 * w2_all);
        }
    }
    for (f64* slots : start)
        std::fill(slots + plan.pairs[k], slots + plan.pairs[k] + kLanes, 0.0);
    for (i32 first = 0; first < plan.pairs[k]; first += kLanes) {
        // The channels by name: in an array they were kept in memory, and
        // every step waited for the store.
        V xr, xg, xb, a, bq;
        LoadLanes(xr, start[0] + first);
        LoadLanes(xg, start[1] + first);
        LoadLanes(xb, start[2] + first);
        LoadLanes(a, start[3] + first);
        LoadLanes(bq, start[4] + first);
        const i64* b1_at = plan.b1[k] + first;
        const i64* b2_at = plan.b2[k] + first;
        bits_t b2_lanes;
        LoadLanes(b2_lanes, b2_at);
        const i32 lowest_b2 = static_cast<i32>(plan.b2[k][std::min(first + kLanes, plan.pairs[k]) - 1]);
        V reach = V{} + near.reach;
        for (i32 b3 = k;; --b3) {
            const V x2 = xr * xr + xg * xg + xb * xb;
            const V d = bq - a * a;
            // A cut within reach has b3 >= b2, D > 0 and |X|² - reach · D >= 0
            // (the difference of finite values has the sign of the
            // comparison): all three top bits clear. Lanes so marked are
            // checked one by one.
            const V margin = x2 - reach * d;
            if (u32 marked =
                    SignBits(~(__builtin_bit_cast(bits_t, margin) | __builtin_bit_cast(bits_t, d) | (b3 - b2_lanes)))) {
                // Lanes are read from memory only here, on the rare step.
                f64 x2_at[kLanes], d_at[kLanes];
                StoreLanes(x2_at, x2);
                StoreLanes(d_at, d);
                for (; marked != 0; marked &= marked - 1) {
                    const i32 j = std::countr_zero(marked);
                    if (d_at[j] > 0.0 && x2_at[j] >= near.reach * d_at[j] &&
                        !near.Meet({static_cast<i32>(b1_at[j]), static_cast<i32>(b2_at[j]), b3, x2_at[j], d_at[j]}))
                        return Plain(colors, bounds);
                }
                reach = V{} + near.reach;
            }
            if (b3 == lowest_b2)
                break;
            xr += colors.s[0][b3 - 1];
            xg += colors.s[1][b3 - 1];
            xb += colors.s[2][b3 - 1];
            a += colors.omega[b3 - 1];
            bq += five_omega[b3 - 1];
        }
    }
    running_best_c best;
    if (!near.Decide(best))
        return Plain(colors, bounds);
    return best.Answer(k, bounds);
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

[[gnu::target("avx512f,avx512dq,avx512vl")]] bool CutsInOctets(const split_colors_c& colors, i32 bounds[5])
{
    return Search<f64_octet_c>(colors, bounds);
}
#endif

} // namespace

bool BestFourGroupSplit(const split_colors_c& colors, i32 bounds[5], i32 lanes)
{
    if (lanes == 1)
        return Plain(colors, bounds);
#if defined(__x86_64__)
    switch (LaneCount(lanes)) {
    case 8: return CutsInOctets(colors, bounds);
    case 4: return CutsInQuads(colors, bounds);
    }
#endif
    return CutsInPairs(colors, bounds);
}
