#include "dxt/color_fitter.h"

#include "dxt/combination_search.h"
#include "dxt/farthest_pair.h"
#include "dxt/projection_order.h"
#include "dxt/rounding.h"
#include "dxt/split_search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

using vec3 = std::array<f64, 3>;

vec3 Sub(const vec3& a, const vec3& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
vec3 Add(const vec3& a, const vec3& b)
{
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
vec3 Scale(const vec3& a, f64 s)
{
    return {a[0] * s, a[1] * s, a[2] * s};
}
f64 Dot(const vec3& a, const vec3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// An expanded 8-bit level from a quantised value of `bits` bits.
i32 ExpandLevel(i32 q, i32 bits)
{
    return (q << (8 - bits)) | (q >> (2 * bits - 8));
}
// The same from a value already shifted to the top of the byte.
i32 ExpandTop(i32 top, i32 bits)
{
    return top + (top >> bits);
}

// The 6-bit green level that decodes closest to a 5-bit red level, so that a
// grey block stays grey (twice the red level would turn white into 255,251,255).
i32 GreyGreenSearch(i32 red)
{
    const i32 target = ExpandLevel(red, 5);
    i32 best = 0;
    for (i32 g = 1; g < 64; ++g)
        if (std::abs(ExpandLevel(g, 6) - target) < std::abs(ExpandLevel(best, 6) - target))
            best = g;
    return best;
}

i32 GreyGreen(i32 red)
{
    static const std::array<i32, 32> greens = [] {
        std::array<i32, 32> t{};
        for (i32 r = 0; r < 32; ++r)
            t[r] = GreyGreenSearch(r);
        return t;
    }();
    return greens[red & 31];
}

// ---- quick path ----

void QuickColorBlock(dxt_color_block_c& b)
{
    const i32 n = b.count;
    i32 bi = 0, bj = 0;
    f64 best = -1.0;
    for (i32 i = 0; i < n; ++i)
        for (i32 j = i + 1; j < n; ++j) {
            f64 d = 0.0;
            for (i32 c = 0; c < 3; ++c)
                d += (b.colors[i][c] - b.colors[j][c]) * (b.colors[i][c] - b.colors[j][c]);
            if (d > best) {
                best = d;
                bi = i;
                bj = j;
            }
        }
    vec3 e0{b.colors[bi][0], b.colors[bi][1], b.colors[bi][2]};
    vec3 e1{b.colors[bj][0], b.colors[bj][1], b.colors[bj][2]};
    vec3 pal3[3] = {e0, e1, Scale(Add(e0, e1), 0.5)};
    const f64 third = 1.0 / 255.0;
    vec3 pal4[4] = {e0, e1, {}, {}};
    for (i32 c = 0; c < 3; ++c) {
        pal4[2][c] = (2.0 * e0[c] + e1[c] + third) / 3.0;
        pal4[3][c] = (e0[c] + 2.0 * e1[c] + third) / 3.0;
    }
    auto assign = [&](const vec3* pal, i32 entries, i32* idx) {
        f64 total = 0.0;
        for (i32 i = 0; i < n; ++i) {
            f64 bestd = 0.0;
            for (i32 p = 0; p < entries; ++p) {
                f64 d = 0.0;
                for (i32 c = 0; c < 3; ++c) {
                    const f64 w = b.channel_weight[c], diff = b.colors[i][c] - pal[p][c];
                    d += w * w * diff * diff;
                }
                if (p == 0 || d < bestd) {
                    bestd = d;
                    idx[i] = p;
                }
            }
            total += bestd;
        }
        return total;
    };
    i32 idx3[16] = {}, idx4[16] = {};
    bool four;
    if (b.force_four) {
        assign(pal4, 4, idx4);
        four = true;
    } else if (b.has_transparent) {
        assign(pal3, 3, idx3);
        four = false;
    } else {
        const f64 err3 = assign(pal3, 3, idx3);
        const f64 err4 = assign(pal4, 4, idx4);
        four = err4 <= err3;
    }
    b.palette_size = four ? 4 : 3;
    for (i32 i = 0; i < n; ++i)
        b.indices[i] = four ? idx4[i] : idx3[i];
    const i32 shift[3] = {3, 2, 3};
    for (i32 c = 0; c < 3; ++c) {
        b.endpoints[0][c] = UnitToByte(e0[c]) >> shift[c];
        b.endpoints[1][c] = UnitToByte(e1[c]) >> shift[c];
    }
}

// ---- single colour ----

struct exact_pair_c {
    bool present = false;
    bool everywhere = false; // decoders that truncate the two-thirds entry make the same value
    u8 e0 = 0, e1 = 0;       // expanded levels
};

// For each quantisation width (5, 6 bits), combination (E0; (E0+E1)/2;
// (E0+2E1+1)/3) and 8-bit target, the closest pair of levels that makes it.
struct exact_tables_c {
    exact_pair_c table[2][3][256];
    // The nearest target at or above (below) each value that has a pair, or
    // -1: a block of one colour looks them up instead of searching.
    i16 up[2][3][256];
    i16 down[2][3][256];
    exact_tables_c()
    {
        for (i32 w = 0; w < 2; ++w) {
            const i32 bits = w == 0 ? 5 : 6;
            const i32 levels = 1 << bits;
            for (i32 q0 = levels - 1; q0 >= 0; --q0)
                for (i32 q1 = levels - 1; q1 >= 0; --q1) {
                    const i32 e0 = ExpandLevel(q0, bits), e1 = ExpandLevel(q1, bits);
                    const i32 values[3] = {e0, (e0 + e1) / 2, (e0 + 2 * e1 + 1) / 3};
                    for (i32 k = 0; k < 3; ++k) {
                        // The two-thirds entry is (E0+2E1+1)/3 here, but some
                        // decoders truncate (E0+2E1)/3: a pair both agree on
                        // comes first, then the closer pair.
                        const bool everywhere = k != 2 || (e0 + 2 * e1) % 3 == 0;
                        exact_pair_c& p = table[w][k][values[k]];
                        if (!p.present || (everywhere && !p.everywhere) ||
                            (everywhere == p.everywhere && std::abs(e1 - e0) < std::abs(p.e1 - p.e0))) {
                            p.present = true;
                            p.everywhere = everywhere;
                            p.e0 = static_cast<u8>(e0);
                            p.e1 = static_cast<u8>(e1);
                        }
                    }
                }
            for (i32 k = 0; k < 3; ++k) {
                i16 next = -1;
                for (i32 v = 255; v >= 0; --v)
                    up[w][k][v] = next = table[w][k][v].present ? static_cast<i16>(v) : next;
                next = -1;
                for (i32 v = 0; v < 256; ++v)
                    down[w][k][v] = next = table[w][k][v].present ? static_cast<i16>(v) : next;
            }
        }
    }
};

const exact_tables_c& ExactTables()
{
    static const exact_tables_c tables;
    return tables;
}

void FitSingleColor(dxt_color_block_c& b, const i32 bits[3], bool grey)
{
    const exact_tables_c& tables = ExactTables();
    const i32 combos = b.palette_request - 1;
    f64 error[3] = {};
    exact_pair_c chosen[3][3];
    for (i32 k = 0; k < combos; ++k) {
        for (i32 c = 0; c < 3; ++c) {
            const i32 width = bits[c] == 5 ? 0 : 1;
            const exact_pair_c* row = tables.table[width][k];
            const f64 w = b.channel_weight[c];
            const f64 colour = b.colors[0][c];
            const i32 t = UnitToByte(colour);
            const i32 up = tables.up[width][k][t], down = tables.down[width][k][t];
            auto err = [&](i32 v) {
                const f64 d = v * w - colour * w * 255.0;
                return b.count * d * d;
            };
            i32 pick;
            if (up < 0)
                pick = down;
            else if (down < 0)
                pick = up;
            else {
                const f64 eu = err(up), ed = err(down);
                if (eu < ed)
                    pick = up;
                else if (ed < eu)
                    pick = down;
                else
                    pick = (t % 2 == 0) ? down : up;
            }
            chosen[k][c] = row[pick];
            error[k] += err(pick);
        }
    }
    i32 k;
    if (b.palette_request == 4 && !b.force_four) {
        if (error[0] > error[1])
            k = error[1] <= error[2] ? 1 : 2;
        else
            k = error[0] <= error[2] ? 0 : 2;
    } else if (b.palette_request == 4) {
        k = error[0] <= error[2] ? 0 : 2;
    } else {
        k = error[0] <= error[1] ? 0 : 1;
    }
    for (i32 c = 0; c < 3; ++c) {
        b.endpoints[0][c] = chosen[k][c].e0 >> (8 - bits[c]);
        b.endpoints[1][c] = chosen[k][c].e1 >> (8 - bits[c]);
    }
    if (grey) {
        b.endpoints[0][1] = GreyGreen(b.endpoints[0][0]);
        b.endpoints[1][1] = GreyGreen(b.endpoints[1][0]);
    }
    for (i32 i = 0; i < b.count; ++i)
        b.indices[i] = k + 1;
    if (k == 1)
        b.palette_size = 3;
    else if (k == 2)
        b.palette_size = 4;
    else
        b.palette_size = b.palette_request;
}

// ---- full path ----

struct cluster_fit_c {
    bool valid = false;
    vec3 e0{}, e1{}; // centred, weighted
    vec3 direction{};
    f64 error = 0.0;
    i32 size = 0;
};

struct quantized_c {
    i32 endpoints[2][3] = {};
    i32 indices[16] = {};
    f64 error = 0.0;
    i32 size = 4;
};

// Unique colours in the order of their projections; fixed size, so that the
// passes make no allocations.
struct ordering_c {
    i32 count = 0;
    i32 at[16];
    // Some colours project equally, so the other tie-break orders them apart.
    bool ties = true;
    // Compared in place: a library call costs more than these few places.
    bool operator==(const ordering_c& o) const
    {
        if (count != o.count)
            return false;
        for (i32 i = 0; i < count; ++i)
            if (at[i] != o.at[i])
                return false;
        return true;
    }
    // The same colours in reverse order.
    bool Reverses(const ordering_c& o) const
    {
        if (count != o.count)
            return false;
        for (i32 i = 0; i < count; ++i)
            if (at[i] != o.at[count - 1 - i])
                return false;
        return true;
    }
    i32 operator[](i32 i) const { return at[i]; }
};

class color_fit_c {
public:
    explicit color_fit_c(dxt_color_block_c& block) : b_(block) {}
    void Run();

private:
    vec3 PrincipalAxis() const;
    vec3 FarthestPairAxis() const;
    ordering_c SortByProjection(const vec3& axis, i32 tie_break) const;
    cluster_fit_c ClusterFit(const ordering_c& order, bool clamped) const;
    bool Repeats(const ordering_c& order) const;
    void Remember(const ordering_c& order);
    cluster_fit_c RunPass(vec3 axis, const ordering_c* start, bool clamped, i32 max_iterations, ordering_c& last);
    quantized_c Quantize(const vec3& e0, const vec3& e1, i32 palette);

    void Refine(const vec3& e0, const vec3& e1, i32 fitted);
    bool OutsideBox(const vec3& p) const;

    dxt_color_block_c& b_;
    i32 n_ = 0;
    i32 bits_[3] = {5, 6, 5};
    vec3 w_{};
    vec3 mean_{};
    // Entries beyond n_ (colours) and k_ (unique colours) are never read, so
    // they are left unset: a block is fitted many thousand times a level.
    vec3 d_[16];
    // unique colours
    i32 k_ = 0;
    vec3 uc_[16]; // weighted, not centred
    vec3 s_[16];  // sum of the centred members over n
    f64 omega_[16];
    i32 member_[16];
    f64 spread_ = 0.0; // mean squared centred distance
    // What the quantisations choose among; each sets its own levels and
    // entries in place, the rest is the block's. Left unset until then, as d_.
    level_errors_c levels_;
    ordering_c history_[16];
    size_t history_count_ = 0;
    size_t history_next_ = 0;
};

void color_fit_c::Run()
{
    n_ = b_.count;
    for (i32 c = 0; c < 3; ++c)
        w_[c] = std::max(0.0, b_.channel_weight[c]);
    for (i32 c = 0; c < 3; ++c)
        b_.channel_weight[c] = w_[c];
    if (b_.force_four)
        b_.palette_request = b_.palette_size = 4;

    // Every colour is tested, with no early way out: the answers come as
    // bits, without a branch to mispredict.
    bool grey = true, single = true;
    for (i32 i = 0; i < n_; ++i) {
        const i32 r = UnitToByte(b_.colors[i][0]), g = UnitToByte(b_.colors[i][1]), bl = UnitToByte(b_.colors[i][2]);
        grey &= (std::abs(r - g) <= 2) & (std::abs(r - bl) <= 2) & (std::abs(g - bl) <= 2);
        single &= (b_.colors[i][0] == b_.colors[0][0]) & (b_.colors[i][1] == b_.colors[0][1]) &
                  (b_.colors[i][2] == b_.colors[0][2]);
    }
    if (grey)
        bits_[1] = 5;
    if (single) {
        FitSingleColor(b_, bits_, grey);
        return;
    }

    vec3 c[16];
    mean_ = {};
    for (i32 i = 0; i < n_; ++i) {
        for (i32 ch = 0; ch < 3; ++ch)
            c[i][ch] = b_.colors[i][ch] * w_[ch];
        mean_ = Add(mean_, c[i]);
    }
    mean_ = Scale(mean_, 1.0 / n_);
    for (i32 i = 0; i < n_; ++i)
        d_[i] = Sub(c[i], mean_);

    // Colours are merged by value; a key of their bits (negative zero made
    // positive) rules out most unequal pairs with one comparison.
    auto key = [](const vec3& v) {
        u64 k = 0;
        for (const f64 x : v) {
            u64 bits;
            const f64 positive_zero = x + 0.0;
            std::memcpy(&bits, &positive_zero, sizeof bits);
            k = (k ^ bits) * 0x9E3779B97F4A7C15ull;
        }
        return k;
    };
    u64 keys[16];
    k_ = 0;
    for (i32 i = 0; i < n_; ++i) {
        const u64 ki = key(c[i]);
        i32 u = 0;
        while (u < k_ && !(keys[u] == ki && uc_[u] == c[i]))
            ++u;
        if (u == k_) {
            keys[k_] = ki;
            uc_[k_] = c[i];
            s_[k_] = {};
            omega_[k_] = 0.0;
            ++k_;
        }
        member_[i] = u;
        omega_[u] += 1.0 / n_;
        s_[u] = Add(s_[u], Scale(d_[i], 1.0 / n_));
    }
    // What every quantisation of the block shares: the unique colours, their
    // shares and the weights.
    levels_.count = k_;
    std::copy(omega_, omega_ + k_, levels_.omega);
    for (i32 c = 0; c < 3; ++c) {
        for (i32 u = 0; u < 16; ++u)
            levels_.channels[c][u] = u < k_ ? uc_[u][c] : 0.0;
        levels_.weight[c] = w_[c];
    }
    levels_.limit = 32.0 * Dot(w_, w_);
    spread_ = 0.0;
    for (i32 i = 0; i < n_; ++i)
        spread_ += Dot(d_[i], d_[i]) / n_;

    vec3 e0, e1;
    i32 fitted;
    if (k_ <= 2) {
        // Two colours need no search: they are the end points.
        e0 = uc_[0];
        e1 = uc_[k_ - 1];
        fitted = b_.force_four ? 4 : 2;
    } else {
        ordering_c last_a, last_b;
        const cluster_fit_c a = RunPass(PrincipalAxis(), nullptr, false, 17, last_a);
        const cluster_fit_c bp = RunPass(FarthestPairAxis(), nullptr, false, 17, last_b);
        const bool b_wins = bp.valid && (!a.valid || bp.error <= a.error);
        cluster_fit_c win = b_wins ? bp : a;
        ordering_c last = b_wins ? last_b : last_a;
        if (win.valid && (OutsideBox(win.e0) || OutsideBox(win.e1))) {
            history_count_ = 0;
            history_next_ = 0;
            ordering_c unused;
            const cluster_fit_c clamped = RunPass(win.direction, &last, true, 9, unused);
            if (clamped.valid)
                win = clamped;
        }
        if (!win.valid) {
            win.e0 = Sub(uc_[0], mean_);
            win.e1 = Sub(uc_[k_ - 1], mean_);
            win.size = 2;
        }
        e0 = Add(win.e0, mean_);
        e1 = Add(win.e1, mean_);
        fitted = b_.force_four ? 4 : win.size;
    }
    Refine(e0, e1, fitted);
}

bool color_fit_c::OutsideBox(const vec3& p) const
{
    for (i32 c = 0; c < 3; ++c)
        if (p[c] < -mean_[c] || p[c] > w_[c] - mean_[c])
            return true;
    return false;
}

// A symmetric 3x3 matrix by its upper half, held in registers.
struct symmetric3_c {
    f64 xx, xy, xz, yy, yz, zz;

    f64 At(i32 r, i32 c) const
    {
        const f64 upper[3][3] = {{xx, xy, xz}, {xy, yy, yz}, {xz, yz, zz}};
        return upper[r][c];
    }
    // The square, each entry summed in the order of a plain product; its
    // lower half would equal the upper to the last bit (each product there
    // equals one here), so only the upper is formed. A plain product starts
    // from zero, which could only turn a zero's sign, and the axis made from
    // the matrix serves only to compare projections, where signs of zero are
    // alike: left out, each square waits on one addition less.
    symmetric3_c Squared() const
    {
        return {xx * xx + xy * xy + xz * xz, xx * xy + xy * yy + xz * yz, xx * xz + xy * yz + xz * zz,
                xy * xy + yy * yy + yz * yz, xy * xz + yy * yz + yz * zz, xz * xz + yz * yz + zz * zz};
    }
    void Scale(f64 s)
    {
        for (f64* v : {&xx, &xy, &xz, &yy, &yz, &zz})
            *v *= s;
    }
};

vec3 color_fit_c::PrincipalAxis() const
{
    f64 m[3][3] = {};
    for (i32 i = 0; i < n_; ++i)
        for (i32 r = 0; r < 3; ++r)
            for (i32 c = r; c < 3; ++c)
                m[r][c] += d_[i][r] * d_[i][c];
    symmetric3_c last{m[0][0], m[0][1], m[0][2], m[1][1], m[1][2], m[2][2]};
    symmetric3_c prev = last; // the matrix before the last squaring
    const vec3 fallback{1.0 / std::sqrt(3.0), 1.0 / std::sqrt(3.0), 1.0 / std::sqrt(3.0)};
    for (i32 round = 0; round < 3; ++round) {
        const f64 trace = last.xx + last.yy + last.zz;
        if (!(trace > 0.0) || !std::isfinite(trace))
            return fallback;
        last.Scale(3.5 / trace);
        for (i32 sq = 0; sq < 8; ++sq) {
            prev = last;
            last = last.Squared();
        }
    }
    i32 k;
    if (last.xx <= last.yy)
        k = last.zz < last.yy ? 1 : 2;
    else
        k = last.zz < last.xx ? 0 : 2;
    const f64 norm = std::sqrt(last.At(k, k));
    if (!(norm > 0.0) || !std::isfinite(norm))
        return fallback;
    return {prev.At(0, k) / norm, prev.At(1, k) / norm, prev.At(2, k) / norm};
}

vec3 color_fit_c::FarthestPairAxis() const
{
    i32 bi, bj;
    FarthestPair(levels_.channels, k_, bi, bj);
    const vec3 d = Sub(uc_[bi], uc_[bj]);
    const f64 len = std::sqrt(Dot(d, d));
    return len > 0.0 ? Scale(d, 1.0 / len) : vec3{1.0, 0.0, 0.0};
}

ordering_c color_fit_c::SortByProjection(const vec3& axis, i32 tie_break) const
{
    ordering_c order;
    order.count = k_;
    // Every slot at once from the colours by channel, which are zero past
    // the last: a fixed count of lanes.
    f64 proj[16];
    for (i32 u = 0; u < 16; ++u)
        proj[u] =
            axis[0] * levels_.channels[0][u] + axis[1] * levels_.channels[1][u] + axis[2] * levels_.channels[2][u];
    if (OrderByProjection(proj, k_, tie_break, order.at)) {
        order.ties = false;
        for (i32 i = 1; i < k_; ++i)
            order.ties |= proj[order.at[i - 1]] == proj[order.at[i]];
        return order;
    }
    for (i32 u = 0; u < k_; ++u)
        order.at[u] = u;
    std::sort(order.at, order.at + k_, [&](i32 a, i32 b) {
        if (proj[a] != proj[b])
            return proj[a] < proj[b];
        return tie_break == 0 ? a < b : a > b;
    });
    return order;
}

bool color_fit_c::Repeats(const ordering_c& order) const
{
    for (size_t i = 0; i < history_count_; ++i)
        if (history_[i] == order || history_[i].Reverses(order))
            return true;
    return false;
}

void color_fit_c::Remember(const ordering_c& order)
{
    if (history_count_ < 16) {
        history_[history_count_++] = order;
    } else {
        history_[history_next_] = order;
        history_next_ = (history_next_ + 1) % 16;
    }
}

cluster_fit_c color_fit_c::RunPass(vec3 axis, const ordering_c* start, bool clamped, i32 max_iterations,
                                   ordering_c& last)
{
    cluster_fit_c best;
    for (i32 it = 0; it < max_iterations; ++it) {
        ordering_c order;
        if (it == 0 && start) {
            order = *start;
        } else {
            order = SortByProjection(axis, 0);
            if (Repeats(order)) {
                // Without equal projections the other tie-break gives the
                // same order, which repeats too.
                if (!order.ties)
                    break;
                order = SortByProjection(axis, 1);
                if (Repeats(order))
                    break;
            }
        }
        Remember(order);
        last = order;
        const cluster_fit_c fit = ClusterFit(order, clamped);
        if (!fit.valid)
            break;
        if (!best.valid || fit.error < best.error)
            best = fit;
        axis = fit.direction;
    }
    return best;
}

cluster_fit_c color_fit_c::ClusterFit(const ordering_c& order, bool clamped) const
{
    const i32 k = k_;
    // Prefix sums over the ordering: weight and centred sums.
    f64 pw[17] = {};
    vec3 ps[17]{};
    for (i32 i = 0; i < k; ++i) {
        pw[i + 1] = pw[i] + omega_[order[i]];
        ps[i + 1] = Add(ps[i], s_[order[i]]);
    }
    const bool four = b_.palette_request == 4;
    const i32 groups = four ? 4 : 3;

    // The fit of one split; bounds[g]..bounds[g+1] is group g (t = g).
    auto fit_split = [&](const i32* bounds) {
        f64 wsum[4] = {};
        vec3 ssum[4]{};
        i32 occupied = 0, top = 0, g0 = -1, g1 = -1;
        f64 a = 0.0, bq = 0.0;
        vec3 x{};
        for (i32 g = 0; g < groups; ++g) {
            wsum[g] = pw[bounds[g + 1]] - pw[bounds[g]];
            ssum[g] = Sub(ps[bounds[g + 1]], ps[bounds[g]]);
            if (bounds[g + 1] > bounds[g]) {
                ++occupied;
                top = g;
                (g0 < 0 ? g0 : g1) = g;
            }
            a += g * wsum[g];
            bq += g * g * wsum[g];
            x = Add(x, Scale(ssum[g], g));
        }
        cluster_fit_c fit;
        const f64 d = bq - a * a;
        if (occupied < 2 || !(d > 0.0))
            return fit;
        fit.valid = true;
        if (occupied == 2) {
            fit.e0 = Scale(ssum[g0], 1.0 / wsum[g0]);
            fit.e1 = Scale(ssum[g1], 1.0 / wsum[g1]);
            fit.size = 2;
        } else {
            const vec3 slope = Scale(x, 1.0 / d);
            fit.e0 = Scale(slope, -a);
            fit.e1 = Scale(slope, top - a);
            fit.size = top + 1;
        }
        fit.error = -Dot(x, x) / d;
        if (clamped) {
            for (i32 c = 0; c < 3; ++c) {
                fit.e0[c] = std::clamp(fit.e0[c], -mean_[c], w_[c] - mean_[c]);
                fit.e1[c] = std::clamp(fit.e1[c], -mean_[c], w_[c] - mean_[c]);
            }
            // Squared error of the members against the clamped line.
            f64 err = spread_;
            for (i32 g = 0; g < groups; ++g) {
                if (bounds[g + 1] == bounds[g])
                    continue;
                const f64 t = fit.size == 2 ? (g == g1 ? 1.0 : 0.0) : static_cast<f64>(g) / top;
                const vec3 p = Add(fit.e0, Scale(Sub(fit.e1, fit.e0), t));
                err += -2.0 * Dot(p, ssum[g]) + wsum[g] * Dot(p, p);
            }
            fit.error = err;
        }
        fit.direction = Sub(fit.e1, fit.e0);
        return fit;
    };

    // The clamped fit's squared error from the split's running sums: the
    // members' sum is 0 about the mean, so only X, A and B are needed.
    auto clamped_error = [&](const i32* bounds, const vec3& x, f64 a, f64 bq) {
        i32 occupied = 0, top = 0, g0 = -1, g1 = -1;
        for (i32 g = 0; g < groups; ++g)
            if (bounds[g + 1] > bounds[g]) {
                ++occupied;
                top = g;
                (g0 < 0 ? g0 : g1) = g;
            }
        if (occupied == 2) {
            f64 err = spread_;
            for (const i32 g : {g0, g1}) {
                const f64 wg = pw[bounds[g + 1]] - pw[bounds[g]];
                const vec3 sg = Sub(ps[bounds[g + 1]], ps[bounds[g]]);
                err -= Dot(sg, sg) / wg;
            }
            return err;
        }
        const f64 d = bq - a * a;
        const vec3 slope = Scale(x, 1.0 / d);
        vec3 e0 = Scale(slope, -a), e1 = Scale(slope, top - a);
        for (i32 c = 0; c < 3; ++c) {
            e0[c] = std::clamp(e0[c], -mean_[c], w_[c] - mean_[c]);
            e1[c] = std::clamp(e1[c], -mean_[c], w_[c] - mean_[c]);
        }
        const vec3 delta = Scale(Sub(e1, e0), 1.0 / top);
        return spread_ - 2.0 * Dot(delta, x) + Dot(e0, e0) + 2.0 * a * Dot(e0, delta) + bq * Dot(delta, delta);
    };

    i32 best_bounds[5] = {};
    if (four && !clamped) {
        split_colors_c sorted;
        sorted.count = k;
        for (i32 i = 0; i < k; ++i) {
            sorted.omega[i] = omega_[order[i]];
            for (i32 c = 0; c < 3; ++c)
                sorted.s[c][i] = s_[order[i]][c];
        }
        if (!BestFourGroupSplit(sorted, best_bounds))
            return cluster_fit_c{};
        return fit_split(best_bounds);
    }
    bool have = false;
    f64 best_x2 = 0.0, best_d = 1.0, best_err = 0.0;
    i32 bounds[5];
    bounds[0] = 0;
    bounds[groups] = k;
    auto remember = [&]() {
        std::copy(bounds, bounds + 5, best_bounds);
        have = true;
    };
    for (i32 b1 = 1; b1 <= k; ++b1) {
        bounds[1] = b1;
        const f64 w0 = pw[b1];
        for (i32 step = b1; step <= k; ++step) {
            // With three groups b2 is the last boundary: it runs down from the far end.
            const i32 b2 = four ? step : k - (step - b1);
            bounds[2] = b2;
            const i32 inner_end = four ? b2 : k;
            // Groups 1 and (for four colours) 2 and 3, the last boundary running down from the far end.
            f64 w1 = pw[b2] - w0;
            vec3 s1 = Sub(ps[b2], ps[b1]);
            if (!four) {
                // Three groups: b2 is the last boundary; group 2 = [b2, k).
                const f64 w2 = pw[k] - pw[b2];
                const vec3 s2 = Sub(ps[k], ps[b2]);
                const i32 occupied = 1 + (b2 > b1) + (k > b2);
                if (occupied >= 2) {
                    const f64 a = w1 + 2.0 * w2, d = w1 + 4.0 * w2 - a * a;
                    if (d > 0.0) {
                        const vec3 x = Add(s1, Scale(s2, 2.0));
                        if (clamped) {
                            const f64 err = clamped_error(bounds, x, a, w1 + 4.0 * w2);
                            if (!have || err <= best_err) {
                                best_err = err;
                                remember();
                            }
                        } else {
                            const f64 x2 = Dot(x, x);
                            if (!have || x2 * best_d >= best_x2 * d) {
                                best_x2 = x2;
                                best_d = d;
                                remember();
                            }
                        }
                    }
                }
                continue;
            }
            // Four groups, clamped (the plain search is BestFourGroupSplit's):
            // group 3 grows from the far end; X, A and B follow one colour at
            // a time.
            const vec3 s2_all = Sub(ps[k], ps[b2]);
            const f64 w2_all = pw[k] - pw[b2];
            vec3 x = Add(s1, Scale(s2_all, 2.0));
            f64 a = w1 + 2.0 * w2_all, bq = w1 + 4.0 * w2_all;
            for (i32 b3 = k; b3 >= inner_end; --b3) {
                if (b3 < k) {
                    const i32 u = order[b3];
                    x = Add(x, s_[u]);
                    a += omega_[u];
                    bq += 5.0 * omega_[u];
                }
                const i32 occupied = 1 + (b2 > b1) + (b3 > b2) + (k > b3);
                if (occupied < 2)
                    continue;
                const f64 d = bq - a * a;
                if (!(d > 0.0))
                    continue;
                bounds[3] = b3;
                const f64 err = clamped_error(bounds, x, a, bq);
                if (!have || err <= best_err) {
                    best_err = err;
                    remember();
                }
            }
        }
    }
    if (!have)
        return cluster_fit_c{};
    return fit_split(best_bounds);
}

quantized_c color_fit_c::Quantize(const vec3& e0, const vec3& e1, i32 palette)
{
    // Two candidate levels per end point and channel, as expanded 8-bit values.
    i32 cand[3][2][2];
    for (i32 c = 0; c < 3; ++c) {
        const i32 bits = bits_[c], s = 1 << (8 - bits);
        const vec3* e[2] = {&e0, &e1};
        for (i32 j = 0; j < 2; ++j) {
            const f64 v = w_[c] > 0.0 ? (*e[j])[c] / w_[c] * 255.0 : 0.0;
            f64 fr = std::floor(v);
            i32 r;
            if (!(fr >= 0.0))
                r = 0;
            else if (fr > 255.0)
                r = 256 - s;
            else
                r = static_cast<i32>(fr);
            i32 q = r & ~(s - 1);
            if (v < ExpandTop(q, bits) && q - s >= 0)
                q -= s;
            const i32 hi = q + s < 256 ? q + s : q;
            cand[c][j][0] = ExpandTop(q, bits);
            cand[c][j][1] = ExpandTop(hi, bits);
        }
    }
    for (i32 c = 0; c < 3; ++c)
        for (i32 choice = 0; choice < 4; ++choice) {
            const i32 a = cand[c][0][choice & 1], bb = cand[c][1][choice >> 1];
            f64* level = levels_.level[c][choice];
            level[0] = a;
            level[1] = bb;
            level[2] = palette == 4 ? (2 * a + bb + 1) / 3 : (a + bb) / 2;
            level[3] = (a + 2 * bb + 1) / 3;
        }
    levels_.entries = palette == 4 ? 4 : 3;
    const level_choice_c chosen = ChooseLevels(levels_);
    quantized_c q;
    q.size = palette;
    const i32 choice[3] = {chosen.combo & 3, (chosen.combo >> 2) & 3, chosen.combo >> 4};
    for (i32 c = 0; c < 3; ++c) {
        q.endpoints[0][c] = cand[c][0][choice[c] & 1] >> (8 - bits_[c]);
        q.endpoints[1][c] = cand[c][1][choice[c] >> 1] >> (8 - bits_[c]);
    }
    for (i32 u = 0; u < k_; ++u) {
        q.indices[u] = chosen.index[u];
        q.error += omega_[u] * chosen.least[u];
    }
    return q;
}

void color_fit_c::Refine(const vec3& e0, const vec3& e1, i32 fitted)
{
    quantized_c kept = Quantize(e0, e1, fitted == 4 ? 4 : 3);
    auto lerp = [](const vec3& a, const vec3& b, f64 ka, f64 kb) { return Add(Scale(a, ka), Scale(b, kb)); };
    auto attempt = [&](const vec3& a, const vec3& b, i32 palette) {
        const quantized_c q = Quantize(a, b, palette);
        if (q.error < kept.error)
            kept = q;
    };
    if (!b_.force_four) {
        if (fitted == 2) {
            attempt(lerp(e0, e1, 2.0, -1.0), e1, 3);
            attempt(e0, lerp(e1, e0, 2.0, -1.0), 3);
        }
    }
    if (b_.palette_request == 4) {
        if (fitted == 2) {
            attempt(e0, e1, 4);
            attempt(e0, lerp(e1, e0, 3.0, -2.0), 4);
            attempt(lerp(e0, e1, 3.0, -2.0), e1, 4);
            attempt(lerp(e0, e1, 2.0, -1.0), lerp(e1, e0, 2.0, -1.0), 4);
            attempt(lerp(e0, e1, 1.5, -0.5), e1, 4);
            attempt(e0, lerp(e1, e0, 1.5, -0.5), 4);
        } else if (fitted == 3) {
            attempt(lerp(e0, e1, 1.5, -0.5), e1, 4);
            attempt(e0, lerp(e1, e0, 1.5, -0.5), 4);
        }
    }
    b_.palette_size = kept.size;
    for (i32 j = 0; j < 2; ++j)
        for (i32 c = 0; c < 3; ++c)
            b_.endpoints[j][c] = kept.endpoints[j][c];
    if (bits_[1] == 5) {
        b_.endpoints[0][1] = GreyGreen(b_.endpoints[0][0]);
        b_.endpoints[1][1] = GreyGreen(b_.endpoints[1][0]);
    }
    for (i32 i = 0; i < n_; ++i)
        b_.indices[i] = kept.indices[member_[i]];
}

} // namespace

void FitColorBlock(dxt_color_block_c& block, bool quick)
{
    if (block.count <= 0)
        return;
    if (block.count > 16)
        block.count = 16;
    if (quick) {
        QuickColorBlock(block);
        return;
    }
    color_fit_c fit(block);
    fit.Run();
}
