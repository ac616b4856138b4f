#include "dxt/combination_search.h"

#include "dxt/lanes.h"

#include <cmath>

namespace {

// Rows run to `count` rounded up to four, a whole number of lanes; colours
// past the last are never read back.
constexpr i32 kRow = 16;

template <class V>
[[gnu::always_inline]] inline level_choice_c Choose(const level_errors_c& in)
{
    constexpr i32 kLanes = sizeof(V) / sizeof(f64);
    constexpr i32 kParts = 4 / kLanes;
    const i32 n = in.count, columns = (n + 3) / 4 * 4;

    // Per channel, choice and entry: each colour's squared distance.
    f64 error[3][4][4][kRow];
    for (i32 c = 0; c < 3; ++c)
        for (i32 choice = 0; choice < 4; ++choice) {
            V level;
            for (i32 p = 0; p < 4; p += kLanes) {
                LoadLanes(level, in.level[c][choice] + p);
                const V entry = level * in.weight[c] / 255.0;
                for (i32 j = 0; j < kLanes; ++j) {
                    f64* row = error[c][choice][p + j];
                    for (i32 u = 0; u < columns; u += kLanes) {
                        V colour;
                        LoadLanes(colour, in.channels[c] + u);
                        const V diff = colour - entry[j];
                        StoreLanes(row + u, p + j < in.entries ? diff * diff : V{} + HUGE_VAL);
                    }
                }
            }
        }

    // Every combination is scored, colour by colour, with red's choices side
    // by side in lanes: stopping a combination early saves little, since
    // scores stay close until the last colours. A colour's sums of red and
    // green serve all four blues.
    V score[4][4][kParts] = {};
    for (i32 u = 0; u < n; ++u) {
        f64 red[4][4];
        for (i32 p = 0; p < 4; ++p)
            for (i32 choice = 0; choice < 4; ++choice)
                red[p][choice] = error[0][choice][p][u];
        const f64 omega = in.omega[u];
        for (i32 part = 0; part < kParts; ++part) {
            V r0, r1, r2, r3;
            LoadLanes(r0, red[0] + part * kLanes);
            LoadLanes(r1, red[1] + part * kLanes);
            LoadLanes(r2, red[2] + part * kLanes);
            LoadLanes(r3, red[3] + part * kLanes);
            for (i32 g = 0; g < 4; ++g) {
                const f64(*green)[kRow] = error[1][g];
                const V rg0 = r0 + green[0][u], rg1 = r1 + green[1][u], rg2 = r2 + green[2][u], rg3 = r3 + green[3][u];
                for (i32 b = 0; b < 4; ++b) {
                    const f64(*blue)[kRow] = error[2][b];
                    const V e0 = rg0 + blue[0][u], e1 = rg1 + blue[1][u], e2 = rg2 + blue[2][u], e3 = rg3 + blue[3][u];
                    const V near01 = e1 < e0 ? e1 : e0;
                    const V near23 = e3 < e2 ? e3 : e2;
                    score[b][g][part] += omega * (near23 < near01 ? near23 : near01);
                }
            }
        }
    }
    level_choice_c out;
    f64 best = in.limit;
    for (i32 combo = 0; combo < 64; ++combo) {
        const f64 s = score[combo >> 4][(combo >> 2) & 3][(combo & 3) / kLanes][combo % kLanes];
        if (s < best) {
            best = s;
            out.combo = combo;
        }
    }

    // Each colour's nearest entry under the winner; the entry numbers are
    // doubles, so that they stay in the lanes.
    const f64(*r)[kRow] = error[0][out.combo & 3];
    const f64(*g)[kRow] = error[1][(out.combo >> 2) & 3];
    const f64(*b)[kRow] = error[2][out.combo >> 4];
    f64 index[kRow];
    for (i32 u = 0; u < columns; u += kLanes) {
        V least, number = {}, rv, gv, bv;
        LoadLanes(rv, r[0] + u);
        LoadLanes(gv, g[0] + u);
        LoadLanes(bv, b[0] + u);
        least = (rv + gv) + bv;
        for (i32 p = 1; p < in.entries; ++p) {
            LoadLanes(rv, r[p] + u);
            LoadLanes(gv, g[p] + u);
            LoadLanes(bv, b[p] + u);
            const V e = (rv + gv) + bv;
            const auto nearer = e < least;
            number = nearer ? V{} + p : number;
            least = nearer ? e : least;
        }
        StoreLanes(out.least + u, least);
        StoreLanes(index + u, number);
    }
    for (i32 u = 0; u < n; ++u)
        out.index[u] = static_cast<i32>(index[u]);
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
#endif

} // namespace

level_choice_c ChooseLevels(const level_errors_c& errors, i32 lanes)
{
#if defined(__x86_64__)
    if (HasQuadLanes() && lanes != 2)
        return ChooseInQuads(errors);
#endif
    return ChooseInPairs(errors);
}
