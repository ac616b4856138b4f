#include "dxt/combination_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// The contract's quantisation step by step: the error of every choice and
// entry, combinations in order, the first strictly lowest below the limit,
// then each colour's nearest entry.
level_choice_c PlainChoice(const level_errors_c& e)
{
    f64 error[3][4][4][16];
    for (i32 c = 0; c < 3; ++c)
        for (i32 choice = 0; choice < 4; ++choice)
            for (i32 p = 0; p < 4; ++p) {
                const f64 entry = e.level[c][choice][p] * e.weight[c] / 255.0;
                for (i32 u = 0; u < e.count; ++u) {
                    const f64 diff = e.channels[c][u] - entry;
                    error[c][choice][p][u] = p < e.entries ? diff * diff : HUGE_VAL;
                }
            }
    auto distance = [&](i32 combo, i32 u, i32 p) {
        return error[0][combo & 3][p][u] + error[1][(combo >> 2) & 3][p][u] + error[2][combo >> 4][p][u];
    };
    level_choice_c out;
    f64 best = e.limit;
    for (i32 combo = 0; combo < 64; ++combo) {
        f64 score = 0.0;
        for (i32 u = 0; u < e.count; ++u) {
            f64 least = distance(combo, u, 0);
            for (i32 p = 1; p < 4; ++p)
                least = std::min(least, distance(combo, u, p));
            score += e.omega[u] * least;
        }
        if (score < best) {
            best = score;
            out.combo = combo;
        }
    }
    for (i32 u = 0; u < e.count; ++u) {
        out.index[u] = 0;
        out.least[u] = distance(out.combo, u, 0);
        for (i32 p = 1; p < e.entries; ++p)
            if (distance(out.combo, u, p) < out.least[u]) {
                out.least[u] = distance(out.combo, u, p);
                out.index[u] = p;
            }
    }
    return out;
}

// Colours and levels from a few values tie many combinations and entries;
// the colours past the count are zero, as the fit leaves them.
level_errors_c Errors(std::mt19937_64& rng, bool coarse, i32 entries)
{
    level_errors_c e;
    e.count = 1 + static_cast<i32>(rng() % 16);
    e.entries = entries;
    std::uniform_real_distribution<f64> unit(0.0, 1.0);
    for (i32 u = 0; u < e.count; ++u)
        e.omega[u] = 1.0 / e.count;
    for (i32 c = 0; c < 3; ++c) {
        e.weight[c] = coarse ? 1.0 : 0.2 + unit(rng);
        for (i32 u = 0; u < 16; ++u)
            e.channels[c][u] = u >= e.count ? 0.0 : (coarse ? (rng() % 4) * e.weight[c] / 3.0 : unit(rng));
        for (auto& choice : e.level[c])
            for (f64& level : choice)
                level = static_cast<f64>(coarse ? (rng() % 4) * 85 : rng() % 256);
    }
    e.limit = 32.0 * 3.0;
    return e;
}

TEST(CombinationSearch, EveryPathChoosesAsThePlainSearch)
{
    std::mt19937_64 rng(11);
    for (i32 round = 0; round < 6000; ++round) {
        level_errors_c e = Errors(rng, round % 2 == 0, round % 3 == 0 ? 3 : 4);
        // A limit above every score, and one some scores reach.
        for (const f64 limit : {e.limit, 0.05 + 0.1 * (round % 4)}) {
            e.limit = limit;
            const level_choice_c expected = PlainChoice(e);
            for (const i32 lanes : {0, 2, 4, 8}) {
                const level_choice_c chosen = ChooseLevels(e, lanes);
                ASSERT_EQ(chosen.combo, expected.combo)
                    << "round " << round << " limit " << limit << " lanes " << lanes;
                for (i32 u = 0; u < e.count; ++u) {
                    ASSERT_EQ(chosen.index[u], expected.index[u]) << "round " << round << " colour " << u;
                    ASSERT_EQ(chosen.least[u], expected.least[u]) << "round " << round << " colour " << u;
                }
            }
        }
    }
}

TEST(CombinationSearch, NothingBelowTheLimitGivesTheFirst)
{
    std::mt19937_64 rng(2);
    level_errors_c e = Errors(rng, false, 4);
    e.limit = 0.0;
    for (const i32 lanes : {0, 2, 4, 8})
        EXPECT_EQ(ChooseLevels(e, lanes).combo, 0);
}

} // namespace
