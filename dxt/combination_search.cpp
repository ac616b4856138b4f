#include "dxt/combination_search.h"

#include "dxt/lanes.h"

namespace {

// Red's choices side by side, in lanes.
template <class V>
[[gnu::always_inline]] inline i32 Search(const level_errors_c& e, f64 limit)
{
    constexpr i32 kLanes = sizeof(V) / sizeof(f64);
    const i32 n = e.count;
    // Red with its choices innermost, so that a load takes a lane's worth.
    f64 red[16][4][4];
    for (i32 u = 0; u < n; ++u)
        for (i32 p = 0; p < 4; ++p)
            for (i32 choice = 0; choice < 4; ++choice)
                red[u][p][choice] = e.error[0][choice][p][u];
    f64 best = limit;
    i32 best_combo = 0;
    for (i32 gb = 0; gb < 16; ++gb) {
        const f64(*green)[16] = e.error[1][gb & 3];
        const f64(*blue)[16] = e.error[2][gb >> 2];
        for (i32 first = 0; first < 4; first += kLanes) {
            // Scores only grow with each colour: the lanes stop once none can
            // win, and a lane that could not is never taken below.
            V score = {};
            for (i32 u = 0; u < n && AnyLane(score < best); ++u) {
                const f64* r = red[u][0] + first;
                V e0, e1, e2, e3;
                LoadLanes(e0, r);
                LoadLanes(e1, r + 4);
                LoadLanes(e2, r + 8);
                LoadLanes(e3, r + 12);
                e0 = (e0 + green[0][u]) + blue[0][u];
                e1 = (e1 + green[1][u]) + blue[1][u];
                e2 = (e2 + green[2][u]) + blue[2][u];
                e3 = (e3 + green[3][u]) + blue[3][u];
                const V near01 = e1 < e0 ? e1 : e0;
                const V near23 = e3 < e2 ? e3 : e2;
                score += e.omega[u] * (near23 < near01 ? near23 : near01);
            }
            for (i32 j = 0; j < kLanes; ++j)
                if (score[j] < best) {
                    best = score[j];
                    best_combo = gb * 4 + first + j;
                }
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
