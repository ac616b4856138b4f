#include "dxt/split_search.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

namespace {

// The search as the contract states it: every cut in order, one running
// cross-multiplied comparison.
bool PlainSearch(const split_colors_c& c, std::array<i32, 5>& bounds)
{
    const i32 k = c.count;
    f64 pw[17] = {}, ps[17][3] = {};
    for (i32 i = 0; i < k; ++i) {
        pw[i + 1] = pw[i] + c.omega[i];
        for (i32 ch = 0; ch < 3; ++ch)
            ps[i + 1][ch] = ps[i][ch] + c.s[ch][i];
    }
    bool have = false;
    f64 best_x2 = 0.0, best_d = 1.0;
    for (i32 b1 = 1; b1 <= k; ++b1)
        for (i32 b2 = b1; b2 <= k; ++b2) {
            f64 x[3];
            for (i32 ch = 0; ch < 3; ++ch)
                x[ch] = (ps[b2][ch] - ps[b1][ch]) + (ps[k][ch] - ps[b2][ch]) * 2.0;
            const f64 w1 = pw[b2] - pw[b1], w2 = pw[k] - pw[b2];
            f64 a = w1 + 2.0 * w2, bq = w1 + 4.0 * w2;
            for (i32 b3 = k; b3 >= b2; --b3) {
                if (b3 < k) {
                    for (i32 ch = 0; ch < 3; ++ch)
                        x[ch] += c.s[ch][b3];
                    a += c.omega[b3];
                    bq += 5.0 * c.omega[b3];
                }
                if (1 + (b2 > b1) + (b3 > b2) + (k > b3) < 2)
                    continue;
                const f64 d = bq - a * a;
                if (!(d > 0.0))
                    continue;
                const f64 x2 = x[0] * x[0] + x[1] * x[1] + x[2] * x[2];
                if (!have || x2 * best_d >= best_x2 * d) {
                    best_x2 = x2;
                    best_d = d;
                    bounds = {0, b1, b2, b3, k};
                    have = true;
                }
            }
        }
    return have;
}

enum class shape_c { coarse, line, tiny, flat_green, noisy };

// Centred, weighted colours of the given shape: coarse levels and lines make
// many cuts of exactly equal ratio, where the order of the search decides.
split_colors_c Colors(shape_c shape, i32 count, std::mt19937_64& rng)
{
    split_colors_c c;
    c.count = count;
    f64 total = 0.0;
    for (i32 i = 0; i < count; ++i)
        total += c.omega[i] = shape == shape_c::coarse ? 1.0 : static_cast<f64>(1 + rng() % 4);
    for (i32 i = 0; i < count; ++i)
        c.omega[i] /= total;
    std::uniform_real_distribution<f64> unit(-1.0, 1.0);
    for (i32 ch = 0; ch < 3; ++ch) {
        f64 values[16], mean = 0.0;
        for (i32 i = 0; i < count; ++i) {
            switch (shape) {
            case shape_c::coarse: values[i] = static_cast<f64>(static_cast<i32>(rng() % 5) - 2); break;
            case shape_c::line: values[i] = (i - count / 2) * (ch + 1); break;
            case shape_c::tiny: values[i] = unit(rng) * 1e-3; break;
            case shape_c::flat_green: values[i] = ch == 1 ? 0.0 : unit(rng); break;
            case shape_c::noisy: values[i] = unit(rng) + 0.1 * i; break;
            }
            mean += values[i] * c.omega[i];
        }
        for (i32 i = 0; i < count; ++i)
            c.s[ch][i] = (values[i] - mean) * c.omega[i];
    }
    return c;
}

TEST(SplitSearch, EveryPathFindsThePlainSearchsCut)
{
    std::mt19937_64 rng(7);
    for (const shape_c shape : {shape_c::coarse, shape_c::line, shape_c::tiny, shape_c::flat_green, shape_c::noisy})
        for (i32 round = 0; round < 3000; ++round) {
            const split_colors_c colors = Colors(shape, 1 + static_cast<i32>(rng() % 16), rng);
            std::array<i32, 5> expected{};
            const bool found = PlainSearch(colors, expected);
            for (const i32 lanes : {0, 1, 2, 4, 8}) {
                std::array<i32, 5> bounds{};
                ASSERT_EQ(BestFourGroupSplit(colors, bounds.data(), lanes), found)
                    << "shape " << static_cast<i32>(shape) << " round " << round << " lanes " << lanes;
                if (found) {
                    ASSERT_EQ(bounds, expected)
                        << "shape " << static_cast<i32>(shape) << " round " << round << " lanes " << lanes;
                }
            }
        }
}

// One colour, or colours that all sit at one point, leave no cut with D > 0
// or no X: the search still answers as the plain one does.
TEST(SplitSearch, DegenerateColours)
{
    split_colors_c one;
    one.count = 1;
    one.omega[0] = 1.0;
    one.s[0][0] = one.s[1][0] = one.s[2][0] = 0.0;
    std::array<i32, 5> bounds{};
    EXPECT_FALSE(BestFourGroupSplit(one, bounds.data()));

    split_colors_c still;
    still.count = 5;
    for (i32 i = 0; i < 5; ++i) {
        still.omega[i] = 0.2;
        still.s[0][i] = still.s[1][i] = still.s[2][i] = 0.0;
    }
    std::array<i32, 5> expected{};
    ASSERT_TRUE(PlainSearch(still, expected));
    for (const i32 lanes : {0, 1, 2, 4, 8}) {
        ASSERT_TRUE(BestFourGroupSplit(still, bounds.data(), lanes));
        EXPECT_EQ(bounds, expected);
    }
}

// A colour that is not a number takes the first cut in the plain search and
// keeps it; the shortcut must not pass it by.
TEST(SplitSearch, NotANumberKeepsThePlainSearchsAnswer)
{
    std::mt19937_64 rng(3);
    split_colors_c colors = Colors(shape_c::noisy, 9, rng);
    colors.s[0][8] = std::nan("");
    std::array<i32, 5> expected{};
    const bool found = PlainSearch(colors, expected);
    for (const i32 lanes : {0, 1, 2, 4, 8}) {
        std::array<i32, 5> bounds{};
        ASSERT_EQ(BestFourGroupSplit(colors, bounds.data(), lanes), found);
        EXPECT_EQ(bounds, expected);
    }
}

} // namespace
