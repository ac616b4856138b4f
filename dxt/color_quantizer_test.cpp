#include "dxt/color_quantizer.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

namespace {

std::vector<u8> Bgra(const std::vector<std::array<u8, 3>>& rgb)
{
    std::vector<u8> p;
    for (const auto& c : rgb)
        p.insert(p.end(), {c[2], c[1], c[0], 77});
    return p;
}

TEST(ColorQuantizer, OneColourGivesOneBox)
{
    std::vector<u8> p = Bgra(std::vector<std::array<u8, 3>>(20, {200, 100, 50}));
    quantized_colors_c q;
    QuantizeColors(p.data(), 5, 4, 4, q, 8, 4, false);
    EXPECT_EQ(q.boxes, 1);
    EXPECT_EQ(q.palette[0], (std::array<i32, 3>{200, 100, 50}));
    for (u8 i : q.indices)
        EXPECT_EQ(i, 0);
}

TEST(ColorQuantizer, DistinctCellsKeepTheirColours)
{
    // 64 colours on multiples of 8 fall in 64 cells: each gets its own entry.
    std::vector<std::array<u8, 3>> rgb;
    for (i32 i = 0; i < 64; ++i)
        rgb.push_back(
            {static_cast<u8>((i % 4) * 64), static_cast<u8>((i / 4 % 4) * 64), static_cast<u8>((i / 16) * 64)});
    std::vector<u8> p = Bgra(rgb);
    quantized_colors_c q;
    QuantizeColors(p.data(), 8, 8, 4, q, 8, 4, false);
    EXPECT_EQ(q.boxes, 64);
    std::set<i32> used;
    for (size_t i = 0; i < rgb.size(); ++i) {
        const auto& e = q.palette[q.indices[i]];
        EXPECT_EQ(e, (std::array<i32, 3>{rgb[i][0], rgb[i][1], rgb[i][2]})) << i;
        used.insert(q.indices[i]);
    }
    EXPECT_EQ(used.size(), 64u);
}

TEST(ColorQuantizer, LowBitsShareACell)
{
    std::vector<u8> p = Bgra({{16, 16, 16}, {23, 23, 23}, {16, 16, 16}, {22, 22, 22}});
    quantized_colors_c q;
    QuantizeColors(p.data(), 4, 1, 4, q, 8, 4, false);
    EXPECT_EQ(q.boxes, 1);
    EXPECT_EQ(q.palette[0], (std::array<i32, 3>{19, 19, 19}));
}

TEST(ColorQuantizer, ManyColoursMakeAtMost256Entries)
{
    std::vector<u8> p(64 * 64 * 3);
    std::mt19937 rng(3);
    for (u8& v : p)
        v = static_cast<u8>(rng() >> 24);
    quantized_colors_c q;
    QuantizeColors(p.data(), 64, 64, 3, q, 8, 4, false);
    EXPECT_EQ(q.boxes, 256);
    // Every pixel lies near its entry.
    f64 err = 0.0;
    for (size_t i = 0; i < q.indices.size(); ++i)
        for (i32 c = 0; c < 3; ++c) {
            const f64 d = static_cast<f64>(p[i * 3 + 2 - c]) - q.palette[q.indices[i]][c];
            err += d * d;
        }
    EXPECT_LT(err / (3.0 * q.indices.size()), 40.0 * 40.0);
}

} // namespace
