#include "dxt/codebook.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

namespace {

std::vector<u8> RandomColours(i32 pixels, i32 distinct, u32 seed)
{
    std::mt19937 rng(seed);
    std::vector<std::array<u8, 3>> palette(distinct);
    for (auto& c : palette)
        for (u8& v : c)
            v = static_cast<u8>(rng());
    std::vector<u8> image;
    for (i32 i = 0; i < pixels; ++i) {
        const auto& c = palette[i < distinct ? i : rng() % distinct];
        image.insert(image.end(), c.begin(), c.end());
    }
    return image;
}

TEST(Codebook, FewColoursAreKeptExactly)
{
    const i32 w = 32, h = 32;
    const std::vector<u8> image = RandomColours(w * h, 256, 5);
    codebook_c cb;
    BuildCodebook(image.data(), cb, h, w, 3, 1, 1, 256);
    std::set<std::vector<u8>> distinct;
    for (size_t i = 0; i < image.size(); i += 3)
        distinct.insert({image[i], image[i + 1], image[i + 2]});
    EXPECT_EQ(cb.entries, static_cast<i32>(distinct.size()));
    i32 total = 0;
    for (i32 c : cb.counts)
        total += c;
    EXPECT_EQ(total, w * h);
    index_list_c list;
    MapToCodebook(cb, image.data(), h, w, list);
    std::vector<u8> out(image.size());
    ASSERT_EQ(ExpandIndices(cb, list, out.data()), 0);
    EXPECT_EQ(out, image);
}

TEST(Codebook, OneColourIsOneEntry)
{
    const std::vector<u8> image(5 * 3 * 3, 42);
    codebook_c cb;
    BuildCodebook(image.data(), cb, 3, 5, 3, 1, 1, 256);
    ASSERT_EQ(cb.entries, 1);
    EXPECT_EQ(cb.counts[0], 15);
    EXPECT_EQ(cb.data, (std::vector<i32>{42, 42, 42}));
}

TEST(Codebook, ManyColoursMergeDownToTheLimit)
{
    const std::vector<u8> image = RandomColours(64 * 64, 2000, 9);
    for (i32 limit : {256, 16, 1}) {
        codebook_c cb;
        BuildCodebook(image.data(), cb, 64, 64, 3, 1, 1, limit);
        EXPECT_LE(cb.entries, limit);
        EXPECT_GE(cb.entries, 1);
        i32 total = 0;
        for (i32 c : cb.counts)
            total += c;
        EXPECT_EQ(total, 64 * 64) << limit;
    }
}

TEST(Codebook, TwoColoursInOneLeafStillMergeToOne)
{
    const std::vector<u8> image = {0, 0, 0, 10, 20, 30};
    codebook_c cb;
    BuildCodebook(image.data(), cb, 1, 2, 3, 1, 1, 1);
    ASSERT_EQ(cb.entries, 1);
    EXPECT_EQ(cb.data, (std::vector<i32>{5, 10, 15}));
}

TEST(Codebook, NearestEntryMatchesABruteForceSearch)
{
    const std::vector<u8> palette_image = RandomColours(200, 200, 11);
    codebook_c palette;
    BuildCodebook(palette_image.data(), palette, 1, 200, 3, 1, 1, 256);
    const std::vector<u8> image = RandomColours(1000, 1000, 12);
    index_list_c list;
    MapToCodebook(palette, image.data(), 1, 1000, list);
    ASSERT_EQ(list.indices.size(), 1000u);
    for (i32 i = 0; i < 1000; ++i) {
        i64 best = -1;
        for (i32 e = 0; e < palette.entries; ++e) {
            i64 d = 0;
            for (i32 c = 0; c < 3; ++c) {
                const i64 diff = static_cast<i64>(image[i * 3 + c]) - palette.data[e * 3 + c];
                d += diff * diff;
            }
            if (best < 0 || d < best)
                best = d;
        }
        i64 got = 0;
        for (i32 c = 0; c < 3; ++c) {
            const i64 diff = static_cast<i64>(image[i * 3 + c]) - palette.data[list.indices[i] * 3 + c];
            got += diff * diff;
        }
        EXPECT_EQ(got, best) << i;
    }
}

TEST(Codebook, TilesOfSeveralPixels)
{
    // 4x2 image of 2x2 tiles: two different tiles.
    const std::vector<u8> image = {1, 2, 3, 4, 5, 6, 7, 8};
    codebook_c cb;
    BuildCodebook(image.data(), cb, 2, 4, 1, 2, 2, 16);
    EXPECT_EQ(cb.entries, 2);
    index_list_c list;
    MapToCodebook(cb, image.data(), 2, 4, list);
    std::vector<u8> out(8);
    ASSERT_EQ(ExpandIndices(cb, list, out.data()), 0);
    EXPECT_EQ(out, image);
    EXPECT_THROW(BuildCodebook(image.data(), cb, 2, 3, 1, 2, 2, 16), std::invalid_argument);
}

TEST(Codebook, IndicesOfAnotherCodebookAreRefused)
{
    const std::vector<u8> image = {9, 9, 9};
    codebook_c a, b;
    BuildCodebook(image.data(), a, 1, 1, 3, 1, 1, 4);
    BuildCodebook(image.data(), b, 1, 1, 3, 1, 1, 4);
    EXPECT_NE(a.id, b.id);
    index_list_c list;
    MapToCodebook(a, image.data(), 1, 1, list);
    std::vector<u8> out(3, 0);
    EXPECT_EQ(ExpandIndices(b, list, out.data()), -1);
    EXPECT_EQ(out, (std::vector<u8>{0, 0, 0}));
    list.indices[0] = 5;
    EXPECT_EQ(ExpandIndices(a, list, out.data()), -1);
}

TEST(Codebook, MapsAnotherCodebooksEntries)
{
    const std::vector<u8> palette_image = {0, 0, 0, 255, 255, 255};
    codebook_c palette, colours;
    BuildCodebook(palette_image.data(), palette, 1, 2, 3, 1, 1, 256);
    const std::vector<u8> image = {10, 10, 10, 250, 240, 230, 100, 100, 100};
    BuildCodebook(image.data(), colours, 1, 3, 3, 1, 1, 1 << 24);
    index_list_c list;
    MapToCodebook(palette, colours, list);
    ASSERT_EQ(list.indices.size(), 3u);
    for (i32 i = 0; i < 3; ++i) {
        const i32 expect_white = colours.data[i * 3] > 127;
        EXPECT_EQ(palette.data[list.indices[i] * 3] > 127, expect_white) << i;
    }
}

} // namespace
