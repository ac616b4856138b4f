#include "dxt/level_encoder.h"

#include "dxt/testing/reference_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

const f32 kWeights[3] = {0.4484f, 0.8840f, 0.1190f};

u32 Argb(u32 a, u32 r, u32 g, u32 b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

std::vector<u8> Block(const std::array<u32, 16>& texels, i32 code, bool force_four = false, bool quick = false)
{
    bool present[16];
    for (bool& p : present)
        p = true;
    std::vector<u8> out((code & 0xff00) ? 16 : 8);
    EncodeDxtBlock(texels.data(), present, code, kWeights, force_four, quick, out.data());
    return out;
}

std::array<u32, 16> Fill(u32 top, u32 bottom)
{
    std::array<u32, 16> t;
    for (i32 i = 0; i < 16; ++i)
        t[i] = i < 8 ? top : bottom;
    return t;
}

using bytes = std::vector<u8>;

TEST(LevelEncoder, OneColourKeepsItsExactValue)
{
    // Equal end points: c0 is raised by one and every texel points at c1.
    EXPECT_EQ(Block(Fill(Argb(255, 255, 0, 0), Argb(255, 255, 0, 0)), dxt_code_dxt1),
              (bytes{0x01, 0xF8, 0x00, 0xF8, 0x55, 0x55, 0x55, 0x55}));
}

TEST(LevelEncoder, WhiteWrapsAroundAndStaysWhite)
{
    // 0xFFFF + 1 wraps to 0; the pair is swapped and every index becomes 0.
    const bytes out = Block(Fill(0xFFFFFFFF, 0xFFFFFFFF), dxt_code_dxt1);
    EXPECT_EQ(out, (bytes{0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
    u32 decoded[16];
    DecodeColorBlock(out.data(), true, decoded);
    for (u32 p : decoded)
        EXPECT_EQ(p, 0xFFFFFFFFu);
}

TEST(LevelEncoder, TwoColoursBecomeTheEndPointsOfAThreeColourBlock)
{
    // Red over blue: a three-colour block wants c0 <= c1, so the pair is swapped.
    EXPECT_EQ(Block(Fill(Argb(255, 255, 0, 0), Argb(255, 0, 0, 255)), dxt_code_dxt1),
              (bytes{0x1F, 0x00, 0x00, 0xF8, 0x55, 0x55, 0x00, 0x00}));
    // Black over white: a grey block keeps a grey green end point.
    EXPECT_EQ(Block(Fill(Argb(255, 0, 0, 0), 0xFFFFFFFF), dxt_code_dxt1),
              (bytes{0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x55, 0x55}));
}

TEST(LevelEncoder, GradientUsesTheFourColourPalette)
{
    std::array<u32, 16> t;
    for (i32 i = 0; i < 16; ++i)
        t[i] = Argb(255, 85 * (i % 4), 0, 0);
    EXPECT_EQ(Block(t, dxt_code_dxt1), (bytes{0x00, 0xF8, 0x00, 0x00, 0x2D, 0x2D, 0x2D, 0x2D}));
}

TEST(LevelEncoder, OneBitAlphaMarksTransparentTexels)
{
    std::array<u32, 16> t;
    for (i32 i = 0; i < 16; ++i)
        t[i] = (i % 4) < 2 ? Argb(0, 0, 0, 0) : Argb(255, 255, 0, 0);
    const bytes out = Block(t, dxt_code_dxt1_alpha);
    EXPECT_EQ(out, (bytes{0x00, 0xF8, 0x01, 0xF8, 0x0F, 0x0F, 0x0F, 0x0F}));
    u32 decoded[16];
    DecodeColorBlock(out.data(), true, decoded);
    for (i32 i = 0; i < 16; ++i)
        EXPECT_EQ(decoded[i], (i % 4) < 2 ? 0u : Argb(255, 255, 0, 0));
}

TEST(LevelEncoder, AlphaOf128IsTransparentAnd129Opaque)
{
    std::array<u32, 16> t;
    for (i32 i = 0; i < 16; ++i)
        t[i] = Argb(i < 8 ? 128 : 129, 0, 255, 0);
    u32 decoded[16];
    DecodeColorBlock(Block(t, dxt_code_dxt1_alpha).data(), true, decoded);
    for (i32 i = 0; i < 16; ++i)
        EXPECT_EQ(decoded[i] >> 24, i < 8 ? 0u : 255u) << i;
}

TEST(LevelEncoder, ExplicitAlphaQuantisesToFourBits)
{
    std::array<u32, 16> t;
    t.fill(Argb(255, 0, 0, 0));
    t[1] = Argb(8, 0, 0, 0);
    t[2] = Argb(9, 0, 0, 0);
    const bytes out = Block(t, dxt_code_dxt3);
    // Row 0: 15, 0, 1, 15 from the lowest nibble up.
    EXPECT_EQ(out[0], 0x0F);
    EXPECT_EQ(out[1], 0xF1);
    for (i32 i = 2; i < 8; ++i)
        EXPECT_EQ(out[i], 0xFF);
}

TEST(LevelEncoder, InterpolatedAlphaOfOneValue)
{
    const bytes out = Block(Fill(0xFF000000, 0xFF000000), dxt_code_dxt5);
    EXPECT_EQ(bytes(out.begin(), out.begin() + 8), (bytes{0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
}

TEST(LevelEncoder, InterpolatedAlphaOfTwoValuesIsExact)
{
    const bytes out = Block(Fill(0x00000000, 0xFF000000), dxt_code_dxt5);
    EXPECT_EQ(bytes(out.begin(), out.begin() + 8), (bytes{0xFF, 0x00, 0x49, 0x92, 0x24, 0, 0, 0}));
}

TEST(LevelEncoder, FixedZeroAndOneSurviveAOneValueFit)
{
    std::array<u32, 16> t;
    for (i32 i = 0; i < 16; ++i)
        t[i] = Argb(i < 5 ? 0 : (i < 10 ? 255 : 128), 0, 0, 0);
    u32 decoded[16] = {};
    DecodeInterpolatedAlpha(Block(t, dxt_code_dxt5).data(), decoded);
    for (i32 i = 0; i < 16; ++i) {
        const i32 want = i < 5 ? 0 : (i < 10 ? 255 : 128);
        EXPECT_NEAR(static_cast<i32>(decoded[i] >> 24), want, 1) << i;
    }
    for (i32 i = 0; i < 10; ++i)
        EXPECT_EQ(static_cast<i32>(decoded[i] >> 24), i < 5 ? 0 : 255) << i;
}

TEST(LevelEncoder, ForceFourColoursNeverGivesAThreeColourBlock)
{
    const bytes out = Block(Fill(Argb(255, 255, 0, 0), Argb(255, 0, 0, 255)), dxt_code_dxt1, true);
    const u32 c0 = out[0] | (out[1] << 8), c1 = out[2] | (out[3] << 8);
    EXPECT_GT(c0, c1);
}

TEST(LevelEncoder, SmallLevelsIgnoreTheTexelsOutsideThem)
{
    // A 2x2 red level in a 4x4 work image whose other texels are black.
    std::vector<u32> work(16, 0);
    for (i32 y = 0; y < 2; ++y)
        for (i32 x = 0; x < 2; ++x)
            work[y * 4 + x] = Argb(255, 255, 0, 0);
    for (i32 code : {dxt_code_dxt1, dxt_code_dxt1_alpha, dxt_code_dxt3, dxt_code_dxt5}) {
        const std::vector<u8> out = EncodeDxtLevel({work.data(), 2, 2, 4}, code, kWeights, false, false);
        const i32 format = code == dxt_code_dxt1         ? 10
                           : code == dxt_code_dxt1_alpha ? 11
                           : code == dxt_code_dxt3       ? 12
                                                         : 13;
        ASSERT_EQ(out.size(), code & 0xff00 ? 16u : 8u);
        const std::vector<u32> decoded = DecodeDxtLevel(out.data(), 2, 2, format);
        for (u32 p : decoded)
            EXPECT_EQ(p, Argb(255, 255, 0, 0)) << code;
    }
}

TEST(LevelEncoder, LevelSizes)
{
    EXPECT_EQ(DxtLevelSize(1, 1, dxt_code_dxt1), 8u);
    EXPECT_EQ(DxtLevelSize(2, 2, dxt_code_dxt5), 16u);
    EXPECT_EQ(DxtLevelSize(256, 256, dxt_code_dxt5), 65536u);
    EXPECT_EQ(DxtLevelSize(5, 9, dxt_code_dxt1), 8u * 2 * 3);
}

TEST(LevelEncoder, QuickPathDecodesTwoColoursExactly)
{
    const std::array<u32, 16> t = Fill(Argb(255, 255, 0, 0), Argb(255, 0, 0, 255));
    for (i32 code : {dxt_code_dxt1, dxt_code_dxt5}) {
        const bytes out = Block(t, code, false, true);
        u32 decoded[16];
        DecodeColorBlock(code == dxt_code_dxt5 ? out.data() + 8 : out.data(), code == dxt_code_dxt1, decoded);
        for (i32 i = 0; i < 16; ++i)
            EXPECT_EQ(decoded[i] & 0xFFFFFF, t[i] & 0xFFFFFF) << code;
    }
}

// A flat colour whose best four-colour fit uses a two-thirds entry decodes
// to the same value whether a decoder rounds that entry, as the reference
// decoder does, or truncates it, as some do: the end points are chosen so
// that both agree wherever a pair of levels allows it, as it does for these.
TEST(LevelEncoder, FlatColoursDecodeAlikeWhenTheThirdsAreTruncated)
{
    const f32 uniform[3] = {1.0f, 1.0f, 1.0f};
    for (const u32 colour : {Argb(255, 220, 40, 30), Argb(255, 40, 90, 200), Argb(255, 128, 128, 128),
                             Argb(255, 60, 220, 100), Argb(255, 90, 10, 170), Argb(255, 200, 150, 220)}) {
        std::array<u32, 16> t;
        t.fill(colour);
        bool present[16];
        std::fill(present, present + 16, true);
        u8 out[8];
        EncodeDxtBlock(t.data(), present, dxt_code_dxt1, uniform, true, false, out);
        u32 rounded[16];
        DecodeColorBlock(out, true, rounded);
        // The same block's palette with (2a + b) / 3 and (a + 2b) / 3 truncated.
        const u32 c0 = out[0] | (out[1] << 8), c1 = out[2] | (out[3] << 8);
        auto expand = [](u32 _v, u32 _bits) { return (_v << (8 - _bits)) | (_v >> (2 * _bits - 8)); };
        const u32 index = out[4] & 3;
        u32 truncated = 0xFF000000u;
        for (const auto& [shift, bits] : {std::pair{11u, 5u}, std::pair{5u, 6u}, std::pair{0u, 5u}}) {
            const u32 a = expand((c0 >> shift) & ((1u << bits) - 1), bits);
            const u32 b = expand((c1 >> shift) & ((1u << bits) - 1), bits);
            const u32 entries[4] = {a, b, (2 * a + b) / 3, (a + 2 * b) / 3};
            truncated |= entries[index] << (shift == 11 ? 16 : shift == 5 ? 8 : 0);
        }
        EXPECT_EQ(truncated, rounded[0]) << std::hex << colour;
    }
}

} // namespace

namespace {

// A 64x64 level with a quarter each of smooth gradient, flat-coloured
// discs, grey steps and noise (alpha varied too), so that blocks of one,
// two, a few and sixteen colours, grey and coloured, all occur.
std::vector<u32> MixedLevel()
{
    std::vector<u32> p(64 * 64);
    u32 seed = 4321;
    for (i32 y = 0; y < 64; ++y)
        for (i32 x = 0; x < 64; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const u32 noise = seed >> 8;
            u32 a = 255, r, g, b;
            if (x < 32 && y < 32) {
                r = static_cast<u32>(x * 7);
                g = static_cast<u32>(y * 6 + x);
                b = static_cast<u32>(255 - x * 3 - y * 2);
                a = static_cast<u32>(128 + x * 4 - y);
            } else if (y < 32) {
                const i32 cx = x % 16 - 8, cy = y % 16 - 8;
                const bool inside = cx * cx + cy * cy < 30;
                r = inside ? 220 : 10;
                g = inside ? 40 + (x / 16) * 60 : 10;
                b = inside ? 30 : 12;
                a = inside ? 255 : 0;
            } else if (x < 32) {
                r = g = b = static_cast<u32>(((x / 3) * 23 + y) & 0xff);
                a = (x + y) % 3 ? 255 : 100;
            } else {
                r = noise & 0xff;
                g = (noise >> 8) & 0xff;
                b = (noise >> 16) & 0xff;
                a = (noise >> 4) & 0xff;
            }
            p[y * 64 + x] = Argb(a, r & 0xff, g & 0xff, b & 0xff);
        }
    return p;
}

u64 Fingerprint(const std::vector<u8>& bytes, u64 h)
{
    for (u8 b : bytes)
        h = (h ^ b) * 1099511628211ull;
    return h;
}

} // namespace

// Every code, both weightings, four-colour forcing and both fitters over a
// level of varied blocks: the bytes the encoder has always written.
TEST(LevelEncoder, MixedLevelEncodesToTheBytesItAlwaysHas)
{
    const std::vector<u32> level = MixedLevel();
    const f32 uniform[3] = {1.0f, 1.0f, 1.0f};
    u64 h = 14695981039346656037ull;
    for (const i32 code : {dxt_code_dxt1, dxt_code_dxt1_alpha, dxt_code_dxt3, dxt_code_dxt5})
        for (const f32* weights : {kWeights, uniform})
            for (const bool force_four : {false, true})
                for (const bool quick : {false, true})
                    h = Fingerprint(EncodeDxtLevel({level.data(), 64, 64, 64}, code, weights, force_four, quick), h);
    EXPECT_EQ(h, 8469688150412387853ull);
}

// Levels large enough to be shared among threads, with sides that leave
// partial blocks, encode to the same bytes on any number of threads.
TEST(LevelEncoder, ThreadsDoNotChangeTheBytes)
{
    const std::vector<u32> tile = MixedLevel();
    for (const auto& [width, height] : {std::pair{256, 256}, std::pair{250, 130}}) {
        std::vector<u32> level(static_cast<size_t>(width) * height);
        for (i32 y = 0; y < height; ++y)
            for (i32 x = 0; x < width; ++x)
                level[static_cast<size_t>(y) * width + x] = tile[(y % 64) * 64 + (x + y / 64 * 13) % 64] ^ (x / 64);
        for (const i32 code : {dxt_code_dxt1, dxt_code_dxt5}) {
            const dxt_level_c view{level.data(), width, height, width};
            const std::vector<u8> one = EncodeDxtLevel(view, code, kWeights, false, false, 1);
            ASSERT_EQ(one.size(), DxtLevelSize(width, height, code));
            for (const u32 threads : {2u, 3u, 7u, 0u})
                EXPECT_EQ(EncodeDxtLevel(view, code, kWeights, false, false, threads), one) << threads;
        }
    }
}

// The level's blocks one after another, each read for itself.
std::vector<u8> BlockByBlock(const dxt_level_c& level, i32 code, bool quick)
{
    const size_t block_bytes = (code & 0xff00) ? 16 : 8;
    std::vector<u8> out;
    for (i32 y = 0; y < level.height; y += 4)
        for (i32 x = 0; x < level.width; x += 4) {
            u32 texels[16] = {};
            bool present[16] = {};
            for (i32 t = 0; t < 16; ++t)
                if (x + t % 4 < level.width && y + t / 4 < level.height) {
                    present[t] = true;
                    texels[t] = level.pixels[static_cast<size_t>(y + t / 4) * level.pitch + x + t % 4];
                }
            out.resize(out.size() + block_bytes);
            EncodeDxtBlock(texels, present, code, kWeights, false, quick, out.data() + out.size() - block_bytes);
        }
    return out;
}

// A run of levels of many shapes, each level different in every row: one
// that comes back out of order, or with a row left out or put in another
// row's place, differs from the level encoded block by block. Levels one
// block wide hand out many rows at once; the 100-wide one is read from a
// wider picture.
TEST(LevelEncoder, ChainLevelsComeBackInOrderWithEveryRowOnAnyNumberOfThreads)
{
    const std::vector<u32> tile = MixedLevel();
    const std::vector<std::pair<i32, i32>> shapes = {{256, 256}, {250, 130}, {4, 256}, {128, 8}, {1, 1},
                                                     {3, 5},     {100, 60},  {64, 64}, {8, 200}, {2, 2}};
    std::vector<std::vector<u32>> pictures;
    std::vector<dxt_level_c> levels;
    for (size_t i = 0; i < shapes.size(); ++i) {
        const auto [width, height] = shapes[i];
        const i32 pitch = width == 100 ? 128 : width;
        std::vector<u32>& p = pictures.emplace_back(static_cast<size_t>(pitch) * height);
        for (i32 y = 0; y < height; ++y)
            for (i32 x = 0; x < pitch; ++x)
                p[static_cast<size_t>(y) * pitch + x] =
                    tile[(y % 64) * 64 + (x + y / 64 * 13 + static_cast<i32>(i) * 7) % 64] ^ static_cast<u32>(y / 4);
        levels.push_back({p.data(), width, height, pitch});
    }
    for (const i32 code : {dxt_code_dxt1, dxt_code_dxt5})
        for (const bool quick : {false, true}) {
            std::vector<std::vector<u8>> expected;
            for (const dxt_level_c& level : levels)
                expected.push_back(BlockByBlock(level, code, quick));
            for (const u32 threads : {1u, 2u, 3u, 7u, 0u}) {
                dxt_chain_encoder_c encoder(code, kWeights, false, quick, threads);
                for (const dxt_level_c& level : levels)
                    encoder.Add(level);
                const std::vector<std::vector<u8>> chain = encoder.Finish();
                ASSERT_EQ(chain.size(), levels.size()) << threads;
                for (size_t i = 0; i < levels.size(); ++i)
                    EXPECT_TRUE(chain[i] == expected[i])
                        << "code " << code << " quick " << quick << " threads " << threads << " level " << i;
            }
        }
}

TEST(LevelEncoder, ChainWithoutLevelsGivesNone)
{
    for (const u32 threads : {1u, 0u})
        EXPECT_TRUE(dxt_chain_encoder_c(dxt_code_dxt1, kWeights, false, false, threads).Finish().empty());
}
