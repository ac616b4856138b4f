#include "dxt/combination_search.h"

#include "dxt/lanes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

namespace {

// Room for a block's colours; rows are filled and read to `count` only.
constexpr i32 kRow = 16;

// Lanes of red and green choices for part `kPart` of the 16 pairs (lane j
// holds pair kPart·lanes + j: red choice pair mod 4, green choice pair div
// 4), from one entry's four red and four green choices.
template <class V, i32 kPart>
[[gnu::always_inline]] inline void PairLanes(const f64_quad_c& red4, const f64_quad_c& green4, V& red, V& green)
{
    if constexpr (sizeof(V) == 8 * sizeof(f64)) {
        red = __builtin_shufflevector(red4, red4, 0, 1, 2, 3, 0, 1, 2, 3);
        green = __builtin_shufflevector(green4, green4, 2 * kPart, 2 * kPart, 2 * kPart, 2 * kPart, 2 * kPart + 1,
                                        2 * kPart + 1, 2 * kPart + 1, 2 * kPart + 1);
    } else if constexpr (sizeof(V) == 4 * sizeof(f64)) {
        red = red4;
        green = V{} + green4[kPart];
    } else {
        red = __builtin_shufflevector(red4, red4, 2 * (kPart & 1), 2 * (kPart & 1) + 1);
        green = V{} + green4[kPart >> 1];
    }
}

// The scores of part `kPart` of the red and green pairs under each blue
// choice, colour by colour: stopping a combination early saves little, since
// scores stay close until the last colours. A colour's sums of red and green
// serve all four blues.
template <class V, i32 kPart>
[[gnu::always_inline]] inline void ScorePart(const f64_quad_c (*error)[4][kRow], const level_errors_c& in,
                                             V (*score)[16 / (sizeof(V) / sizeof(f64))])
{
    V sum0 = {}, sum1 = {}, sum2 = {}, sum3 = {};
    for (i32 u = 0; u < in.count; ++u) {
        V rg[4];
        for (i32 p = 0; p < 4; ++p) {
            V r, g;
            PairLanes<V, kPart>(error[0][p][u], error[1][p][u], r, g);
            rg[p] = r + g;
        }
        const f64 omega = in.omega[u];
        const auto add_nearest = [&](V& sum, i32 b) {
            V near01 = rg[0] + error[2][0][u][b], near23 = rg[2] + error[2][2][u][b];
            KeepLess(near01, rg[1] + error[2][1][u][b]);
            KeepLess(near23, rg[3] + error[2][3][u][b]);
            KeepLess(near01, near23);
            sum += omega * near01;
        };
        add_nearest(sum0, 0);
        add_nearest(sum1, 1);
        add_nearest(sum2, 2);
        add_nearest(sum3, 3);
    }
    score[0][kPart] = sum0;
    score[1][kPart] = sum1;
    score[2][kPart] = sum2;
    score[3][kPart] = sum3;
}

template <class V, i32... kPart>
[[gnu::always_inline]] inline void ScoreParts(const f64_quad_c (*error)[4][kRow], const level_errors_c& in,
                                              V (*score)[sizeof...(kPart)], std::integer_sequence<i32, kPart...>)
{
    (ScorePart<V, kPart>(error, in, score), ...);
}

template <class V>
[[gnu::always_inline]] inline level_choice_c Choose(const level_errors_c& in)
{
    constexpr i32 kLanes = sizeof(V) / sizeof(f64);
    // Red and green choices side by side: the 16 pairs fill whole vectors.
    constexpr i32 kParts = 16 / kLanes;

    // Per channel, entry and colour: the squared distance under each of the
    // four choices, side by side.
    f64_quad_c error[3][4][kRow];
    // The entries by channel and choice, a choice's four divisions in one.
    f64 scaled[3][4][4];
    for (i32 c = 0; c < 3; ++c) {
        for (i32 choice = 0; choice < 4; ++choice) {
            f64_quad_c levels;
            LoadLanes(levels, in.level[c][choice]);
            StoreLanes(scaled[c][choice], levels * in.weight[c] / 255.0);
        }
        for (i32 p = 0; p < 4; ++p) {
            const f64_quad_c entry = {scaled[c][0][p], scaled[c][1][p], scaled[c][2][p], scaled[c][3][p]};
            for (i32 u = 0; u < in.count; ++u) {
                const f64_quad_c diff = in.channels[c][u] - entry;
                error[c][p][u] = diff * diff;
            }
        }
    }
    // A three-entry palette's fourth entry is infinitely far.
    if (in.entries == 3)
        for (auto& channel : error)
            std::fill(channel[3], channel[3] + in.count, f64_quad_c{} + HUGE_VAL);
    V score[4][kParts];
    ScoreParts<V>(error, in, score, std::make_integer_sequence<i32, kParts>{});
    // The lowest score below the limit, then the first combination with it:
    // the scores lie in the order of the combinations.
    V lowest = V{} + in.limit;
    for (const V* s = &score[0][0]; s != &score[0][0] + 4 * kParts; ++s)
        KeepLess(lowest, *s);
    f64 best = lowest[0];
    for (i32 j = 1; j < kLanes; ++j)
        best = lowest[j] < best ? lowest[j] : best;
    level_choice_c out;
    if (best < in.limit)
        for (i32 v = 0;; ++v)
            if (const u32 equal = EqualBits(score[v / kParts][v % kParts], V{} + best)) {
                out.combo = v * kLanes + std::countr_zero(equal);
                break;
            }

    // Each colour's nearest entry under the winner, colours side by side;
    // the first of equals, as a running comparison would keep it.
    const i32 choice[3] = {out.combo & 3, (out.combo >> 2) & 3, out.combo >> 4};
    for (i32 u = 0; u < in.count; u += kLanes) {
        V distance[4];
        for (i32 p = 0; p < 4; ++p) {
            V sum[3];
            for (i32 c = 0; c < 3; ++c) {
                V colour;
                LoadLanes(colour, in.channels[c] + u);
                const V diff = colour - scaled[c][choice[c]][p];
                sum[c] = diff * diff;
            }
            distance[p] = p < in.entries ? (sum[0] + sum[1]) + sum[2] : V{} + HUGE_VAL;
        }
        V least = distance[0];
        for (i32 p = 1; p < 4; ++p)
            KeepLess(least, distance[p]);
        StoreLanes(out.least + u, least);
        u32 at[4];
        for (i32 p = 0; p < 4; ++p)
            at[p] = EqualBits(distance[p], least);
        for (i32 j = 0; j < kLanes; ++j)
            out.index[u + j] = at[0] >> j & 1 ? 0 : at[1] >> j & 1 ? 1 : at[2] >> j & 1 ? 2 : at[3] >> j & 1 ? 3 : 0;
    }
    return out;
}

level_choice_c ChooseInPairs(const level_errors_c& errors)
{
    return Choose<f64_pair_c>(errors);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] level_choice_c ChooseInQuads(const level_errors_c& errors)
{
    return Choose<f64_quad_c>(errors);
}

[[gnu::target("avx512f,avx512dq,avx512vl")]] level_choice_c ChooseInOctets(const level_errors_c& errors)
{
    return Choose<f64_octet_c>(errors);
}
#endif

} // namespace

level_choice_c ChooseLevels(const level_errors_c& errors, i32 lanes)
{
#if defined(__x86_64__)
    switch (LaneCount(lanes)) {
    case 8: return ChooseInOctets(errors);
    case 4: return ChooseInQuads(errors);
    }
#endif
    return ChooseInPairs(errors);
}
