#include "dxt/combination_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// The contract's search: combinations in order, each colour's least entry
// summed in order, the first strictly lowest below the limit.
i32 PlainSearch(const level_errors_c& e, f64 limit)
{
    f64 best = limit;
    i32 best_combo = 0;
    for (i32 combo = 0; combo < 64; ++combo) {
        f64 score = 0.0;
        for (i32 u = 0; u < e.count; ++u) {
            f64 least = HUGE_VAL;
            for (i32 p = 0; p < 4; ++p)
                least = std::min(least, e.error[0][combo & 3][p][u] + e.error[1][(combo >> 2) & 3][p][u] +
                                            e.error[2][combo >> 4][p][u]);
            score += e.omega[u] * least;
        }
        if (score < best) {
            best = score;
            best_combo = combo;
        }
    }
    return best_combo;
}

// Errors drawn from a few levels tie many combinations; a three-entry
// palette's fourth entry is infinitely far.
level_errors_c Errors(std::mt19937_64& rng, bool coarse, bool three)
{
    level_errors_c e;
    e.count = 1 + static_cast<i32>(rng() % 16);
    for (i32 u = 0; u < e.count; ++u)
        e.omega[u] = 1.0 / e.count;
    std::uniform_real_distribution<f64> unit(0.0, 1.0);
    for (auto& channel : e.error)
        for (auto& choice : channel)
            for (i32 u = 0; u < e.count; ++u)
                for (i32 p = 0; p < 4; ++p)
                    choice[p][u] =
                        three && p == 3 ? HUGE_VAL : (coarse ? static_cast<f64>(rng() % 3) * 0.25 : unit(rng));
    return e;
}

TEST(CombinationSearch, EveryPathFindsThePlainSearchsCombination)
{
    std::mt19937_64 rng(11);
    for (i32 round = 0; round < 6000; ++round) {
        const level_errors_c e = Errors(rng, round % 2 == 0, round % 3 == 0);
        // A limit above every score, and one some scores reach.
        for (const f64 limit : {1e9, 0.05 + 0.1 * (round % 4)}) {
            const i32 expected = PlainSearch(e, limit);
            for (const i32 lanes : {0, 2})
                ASSERT_EQ(BestLevelCombination(e, limit, lanes), expected)
                    << "round " << round << " limit " << limit << " lanes " << lanes;
        }
    }
}

TEST(CombinationSearch, NothingBelowTheLimitGivesTheFirst)
{
    std::mt19937_64 rng(2);
    const level_errors_c e = Errors(rng, false, false);
    for (const i32 lanes : {0, 2})
        EXPECT_EQ(BestLevelCombination(e, 0.0, lanes), 0);
}

} // namespace
