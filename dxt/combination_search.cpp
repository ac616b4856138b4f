#include "dxt/combination_search.h"

#include "dxt/lanes.h"

namespace {

// Every combination is scored, colour by colour, with red's choices side by
// side in lanes: stopping a combination early saves little, since scores
// stay close until the last colours. A colour's sums of red and green serve
// all four blues.
template <class V>
[[gnu::always_inline]] inline i32 Search(const level_errors_c& e, f64 limit)
{
    constexpr i32 kLanes = sizeof(V) / sizeof(f64);
    constexpr i32 kParts = 4 / kLanes;
    // Scores by blue, green and the part of red's choices, as combinations
    // are numbered.
    V score[4][4][kParts] = {};
    for (i32 u = 0; u < e.count; ++u) {
        // Red's four choices for each entry.
        f64 red[4][4];
        for (i32 p = 0; p < 4; ++p)
            for (i32 choice = 0; choice < 4; ++choice)
                red[p][choice] = e.error[0][choice][p][u];
        const f64 omega = e.omega[u];
        for (i32 part = 0; part < kParts; ++part) {
            V r0, r1, r2, r3;
            LoadLanes(r0, red[0] + part * kLanes);
            LoadLanes(r1, red[1] + part * kLanes);
            LoadLanes(r2, red[2] + part * kLanes);
            LoadLanes(r3, red[3] + part * kLanes);
            for (i32 g = 0; g < 4; ++g) {
                const f64* green = &e.error[1][g][0][u];
                const V rg0 = r0 + green[0], rg1 = r1 + green[16], rg2 = r2 + green[32], rg3 = r3 + green[48];
                for (i32 b = 0; b < 4; ++b) {
                    const f64* blue = &e.error[2][b][0][u];
                    const V e0 = rg0 + blue[0], e1 = rg1 + blue[16], e2 = rg2 + blue[32], e3 = rg3 + blue[48];
                    const V near01 = e1 < e0 ? e1 : e0;
                    const V near23 = e3 < e2 ? e3 : e2;
                    score[b][g][part] += omega * (near23 < near01 ? near23 : near01);
                }
            }
        }
    }
    f64 best = limit;
    i32 best_combo = 0;
    for (i32 combo = 0; combo < 64; ++combo) {
        const f64 s = score[combo >> 4][(combo >> 2) & 3][(combo & 3) / kLanes][combo % kLanes];
        if (s < best) {
            best = s;
            best_combo = combo;
        }
    }
    return best_combo;
}

i32 CombinationsInPairs(const level_errors_c& errors, f64 limit)
{
    return Search<f64_pair_c>(errors, limit);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] i32 CombinationsInQuads(const level_errors_c& errors, f64 limit)
{
    return Search<f64_quad_c>(errors, limit);
}
#endif

} // namespace

i32 BestLevelCombination(const level_errors_c& errors, f64 limit, i32 lanes)
{
#if defined(__x86_64__)
    if (HasQuadLanes() && lanes != 2)
        return CombinationsInQuads(errors, limit);
#endif
    return CombinationsInPairs(errors, limit);
}
