#include "dxt/level_generator.h"

#include "dxt/float_plane.h"
#include "dxt/level_encoder.h"
#include "dxt/mip_chain.h"
#include "dxt/ordered_dither.h"
#include "dxt/testing/capture.h"
#include "dxt/testing/reference_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

u32 Argb(u32 a, u32 r, u32 g, u32 b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

std::vector<std::pair<i32, size_t>> Shape()
{
    std::vector<std::pair<i32, size_t>> s;
    for (const delivery_c& d : Deliveries())
        s.push_back({d.level, d.bytes.size()});
    return s;
}

using shape = std::vector<std::pair<i32, size_t>>;

TEST(LevelGenerator, FullChainOfA4x4Face)
{
    std::vector<u32> p(16, 0xFF336699);
    ASSERT_EQ(Capture(p, 4, 4, OptionsFor(10, 0)), 0);
    EXPECT_EQ(Shape(), (shape{{0, 8}, {1, 8}, {2, 8}}));
}

TEST(LevelGenerator, MipCountLimitsTheChain)
{
    std::vector<u32> p(64 * 64, 0xFF336699);
    ASSERT_EQ(Capture(p, 64, 64, OptionsFor(12, 31)), 0);
    EXPECT_EQ(Shape(), (shape{{0, 4096}}));
    dxt_options_c o = OptionsFor(12, 31);
    o.mip_count = 2;
    ASSERT_EQ(Capture(p, 64, 64, o), 0);
    EXPECT_EQ(Shape(), (shape{{0, 4096}, {1, 1024}}));
}

TEST(LevelGenerator, CubeFacesComeInOrderWithTheirLevels)
{
    std::vector<u32> p(384 * 64);
    for (i32 y = 0; y < 64; ++y)
        for (i32 x = 0; x < 384; ++x)
            p[y * 384 + x] = Argb(255, (x / 64) * 40, 0, 0);
    dxt_options_c o = OptionsFor(17, 0);
    o.texture_kind = 81;
    ASSERT_EQ(Capture(p, 384, 64, o), 0);
    ASSERT_EQ(Deliveries().size(), 6u * 7);
    for (i32 f = 0; f < 6; ++f)
        for (i32 l = 0; l < 7; ++l) {
            const delivery_c& d = Deliveries()[f * 7 + l];
            EXPECT_EQ(d.level, l);
            EXPECT_EQ(d.bytes.size(), static_cast<size_t>(4 * (64 >> l) * (64 >> l)));
            EXPECT_NEAR(d.bytes[2], f * 40, 1) << f << " " << l;
        }
}

TEST(LevelGenerator, VolumeSlicesFollowOneAnother)
{
    std::vector<u32> p(256 * 64);
    for (i32 y = 0; y < 64; ++y)
        for (i32 x = 0; x < 256; ++x)
            p[y * 256 + x] = Argb(255, 0, (x / 64) * 50, 0);
    dxt_options_c o = OptionsFor(17, 33);
    o.texture_kind = 83;
    ASSERT_EQ(Capture(p, 256, 64, o), 0);
    ASSERT_EQ(Deliveries().size(), 4u);
    for (i32 s = 0; s < 4; ++s)
        EXPECT_EQ(Deliveries()[s].bytes[1], s * 50);
}

TEST(LevelGenerator, TwoByTwoDxt3IsOneBlock)
{
    std::vector<u32> p(4, 0x80FF0000);
    ASSERT_EQ(Capture(p, 2, 2, OptionsFor(12)), 0);
    ASSERT_EQ(Shape(), (shape{{0, 16}}));
    const std::vector<u32> d = DecodeDxtLevel(Deliveries()[0].bytes.data(), 2, 2, 12);
    for (u32 px : d)
        EXPECT_EQ(px, 0x88FF0000u);
}

TEST(LevelGenerator, UncheckedFormatsTakeAnySize)
{
    std::vector<u32> p(100 * 60, 0xFFFF0000);
    ASSERT_EQ(Capture(p, 100, 60, OptionsFor(16)), 0);
    ASSERT_EQ(Shape(), (shape{{0, 100 * 60 * 2}}));
    EXPECT_EQ(Deliveries()[0].bytes[0], 0x00);
    EXPECT_EQ(Deliveries()[0].bytes[1], 0xF8);
}

TEST(LevelGenerator, PackingOfEveryPlainFormat)
{
    struct row_c {
        i32 format;
        u32 pixel;
        std::vector<u8> bytes;
    };
    const row_c rows[] = {
        {14, 0x80FF8040, {0x84, 0x8F}},
        {15, 0x80FF8040, {0x08, 0xFE}},
        {16, 0xFFFF0000, {0x00, 0xF8}},
        {17, 0x80FF8040, {0x40, 0x80, 0xFF, 0x80}},
        {18, 0x80FF8040, {0x40, 0x80, 0xFF}},
        {19, 0x80FF8040, {0x08, 0x7E}},
        {21, 0x80FF8040, {0xFF, 0x80}},
        {22, 0x80FF8040, {0xFF, 0x80}},
        {23, 0x80FF8040, {0x80}},
    };
    for (const row_c& r : rows) {
        ASSERT_EQ(Capture({r.pixel}, 1, 1, OptionsFor(r.format)), 0);
        EXPECT_EQ(Deliveries()[0].bytes, r.bytes) << r.format;
    }
}

TEST(LevelGenerator, AlphaCutoutAtTheCutoff)
{
    dxt_options_c o = OptionsFor(23);
    o.alpha_cutout = 1;
    o.alpha_cutoff = 128;
    ASSERT_EQ(Capture({0x7F000000, 0x80000000}, 2, 1, o), 0);
    EXPECT_EQ(Deliveries()[0].bytes, (std::vector<u8>{0, 255}));
}

TEST(LevelGenerator, BordersAndSwap)
{
    std::vector<u32> p(9, 0xFF102030);
    dxt_options_c o = OptionsFor(17);
    o.clear_border_alpha = 1;
    o.border_color_on = 1;
    o.border_color[0] = 1;
    o.border_color[1] = 2;
    o.border_color[2] = 3;
    o.swap_red_blue = 1;
    ASSERT_EQ(Capture(p, 3, 3, o), 0);
    const std::vector<u8>& b = Deliveries()[0].bytes;
    // Corner: border colour (then swapped), alpha 0; centre: swapped only.
    EXPECT_EQ((std::vector<u8>(b.begin(), b.begin() + 4)), (std::vector<u8>{3, 2, 1, 0}));
    EXPECT_EQ((std::vector<u8>(b.begin() + 16, b.begin() + 20)), (std::vector<u8>{0x10, 0x20, 0x30, 0xFF}));
}

TEST(LevelGenerator, FadeStartsAfterTheFirstLevel)
{
    std::vector<u32> p(8 * 8, 0xFF646464);
    dxt_options_c o = OptionsFor(17, 0);
    o.fade_color_on = 1;
    o.fade_first_level = 0;
    o.fade_percent = 50;
    ASSERT_EQ(Capture(p, 8, 8, o), 0);
    ASSERT_EQ(Deliveries().size(), 4u);
    EXPECT_EQ(Deliveries()[0].bytes[0], 100);
    EXPECT_NEAR(Deliveries()[1].bytes[0], 50, 1);
    EXPECT_NEAR(Deliveries()[2].bytes[0], 25, 1);
    // The 1x1 level is boxed from the faded 2x2 level and faded again.
    EXPECT_NEAR(Deliveries()[3].bytes[0], 4, 1);
    EXPECT_EQ(Deliveries()[3].bytes[3], 255);
}

TEST(LevelGenerator, FadeOfAlphaTowardsItsTarget)
{
    std::vector<u32> p(4 * 4, 0xC8000000);
    dxt_options_c o = OptionsFor(23, 0);
    o.fade_alpha_on = 1;
    o.fade_alpha = 0;
    o.fade_first_level = 1;
    o.fade_percent = 50;
    ASSERT_EQ(Capture(p, 4, 4, o), 0);
    ASSERT_EQ(Deliveries().size(), 3u);
    EXPECT_EQ(Deliveries()[0].bytes[0], 200);
    EXPECT_NEAR(Deliveries()[1].bytes[0], 100, 1);
    EXPECT_NEAR(Deliveries()[2].bytes[0], 25, 1);
}

TEST(LevelGenerator, LevelsGivenSideBySide)
{
    // A 6x4 strip: a 4x4 level of 10s, then a 2x2 level of 20s, then a 1x1 of 30.
    std::vector<u32> p(8 * 4, 0);
    for (i32 y = 0; y < 4; ++y)
        for (i32 x = 0; x < 8; ++x)
            p[y * 8 + x] = x < 4 ? 10 : (x < 6 ? (y < 2 ? 20 : 0) : (x == 6 && y == 0 ? 30 : 0));
    dxt_options_c o = OptionsFor(23, 32);
    ASSERT_EQ(Capture(p, 8, 4, o), 0);
    ASSERT_EQ(Deliveries().size(), 3u);
    EXPECT_EQ(Deliveries()[0].bytes, std::vector<u8>(16, 0));
    std::vector<u8> red;
    for (const delivery_c& d : Deliveries())
        red.push_back(static_cast<u8>(d.bytes.size()));
    EXPECT_EQ(red, (std::vector<u8>{16, 4, 1}));
    o = OptionsFor(17, 32);
    ASSERT_EQ(Capture(p, 8, 4, o), 0);
    EXPECT_EQ(Deliveries()[1].bytes[0], 20);
    EXPECT_EQ(Deliveries()[2].bytes[0], 30);
}

TEST(LevelGenerator, RenormalizeMakesUnitNormals)
{
    dxt_options_c o = OptionsFor(17, 0);
    o.renormalize = 1;
    // Two pixels whose mean is not a unit vector.
    ASSERT_EQ(Capture({Argb(255, 255, 128, 128), Argb(255, 128, 255, 128)}, 2, 1, o), 0);
    ASSERT_EQ(Deliveries().size(), 2u);
    const std::vector<u8>& b = Deliveries()[1].bytes;
    const f64 x = b[2] * 2.0 / 255 - 1, y = b[1] * 2.0 / 255 - 1, z = b[0] * 2.0 / 255 - 1;
    EXPECT_NEAR(x * x + y * y + z * z, 1.0, 0.02);
}

TEST(LevelGenerator, OrderedDitherRaisesBySteps)
{
    // Blue 5 bits of density 4 (value 4): pattern 1010 0101 ... in cell 0.
    EXPECT_EQ(DitherPixel(0xFF000004, 0, 0, 16) & 0xff, 8u);
    EXPECT_EQ(DitherPixel(0xFF000004, 1, 0, 16) & 0xff, 0u);
    EXPECT_EQ(DitherPixel(0xFF000004, 1, 1, 16) & 0xff, 8u);
    // The top step is never raised.
    EXPECT_EQ(DitherPixel(0xFF0000FF, 0, 0, 16) & 0xff, 248u);
    // Formats without reduced precision are left alone.
    EXPECT_EQ(DitherPixel(0x12345678, 0, 0, 17), 0x12345678u);
    // 1:5:5:5 keeps only the top bit of alpha.
    EXPECT_EQ(DitherPixel(0xC0000000, 0, 0, 15) >> 24, 0x80u);
}

TEST(LevelGenerator, DitherOnReadKeepsTheMean)
{
    std::vector<u32> p(16 * 16, Argb(255, 0, 0, 3));
    dxt_options_c o = OptionsFor(16);
    o.dither_on_read = 1;
    ASSERT_EQ(Capture(p, 16, 16, o), 0);
    i32 raised = 0;
    const std::vector<u8>& b = Deliveries()[0].bytes;
    for (size_t i = 0; i < b.size(); i += 2)
        raised += (b[i] & 0x1f) == 1;
    // Density 3 of 8 raises 3/8 of the pixels.
    EXPECT_EQ(raised, 96);
}

TEST(LevelGenerator, BoxChainDoesNotDrift)
{
    std::vector<u32> p(64 * 64, 0xC9C9C9C9);
    ASSERT_EQ(Capture(p, 64, 64, OptionsFor(17, 0)), 0);
    ASSERT_EQ(Deliveries().size(), 7u);
    for (const delivery_c& d : Deliveries())
        for (u8 b : d.bytes)
            ASSERT_EQ(b, 0xC9) << d.level;
}

// The box filter's levels, made on the pixels a level at a time, are the
// float chain's levels turned into pixels, with sides that leave odd rows and
// columns. (That the work image's fading stays out of the levels below shows
// in FadeStartsAfterTheFirstLevel.)
TEST(LevelGenerator, BoxLevelsAreTheFloatChainsLevels)
{
    const i32 w = 37, h = 21;
    const std::vector<u32> p = NoisePixels(static_cast<size_t>(w) * h, 12345);
    const dxt_options_c o = OptionsFor(17, 0);
    ASSERT_TRUE(IsBoxFilter(o.mip_filter));
    ASSERT_EQ(Capture(p, w, h, o), 0);
    const std::vector<float_image_c> chain = BuildChain(p.data(), w, h, o);
    ASSERT_EQ(Deliveries().size(), chain.size());
    for (size_t level = 0; level < chain.size(); ++level) {
        std::vector<u32> pixels(static_cast<size_t>(chain[level].width) * chain[level].height);
        ImageToPixels(chain[level], pixels.data());
        std::vector<u8> expected;
        for (const u32 q : pixels)
            for (i32 c = 0; c < 4; ++c)
                expected.push_back(static_cast<u8>(q >> (8 * c)));
        EXPECT_EQ(Deliveries()[level].bytes, expected) << level;
    }
}

// The deliveries of one compression of rows `pitch` bytes apart.
std::vector<delivery_c> Compressed(const std::vector<u8>& bytes, i32 width, i32 height, i32 pitch, i32 bpp,
                                   const dxt_options_c& o)
{
    Deliveries().clear();
    EXPECT_EQ(CompressDxt(bytes.data(), width, height, pitch, &o, bpp, CaptureLevel), 0);
    return Deliveries();
}

void ExpectSameDeliveries(const std::vector<delivery_c>& a, const std::vector<delivery_c>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].level, b[i].level) << i;
        EXPECT_TRUE(a[i].bytes == b[i].bytes) << i;
    }
}

TEST(LevelGenerator, FacesAreReadRowByRowAtTheirOffset)
{
    // Six 8x8 faces side by side, rows padded; every byte differs from its neighbours.
    const i32 side = 8, pitch = 6 * side * 4 + 12;
    std::vector<u8> bytes(static_cast<size_t>(pitch) * side);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<u8>(i * 7 + 3);
    dxt_options_c o = OptionsFor(17);
    o.texture_kind = 81;
    const std::vector<delivery_c> faces = Compressed(bytes, 6 * side, side, pitch, 4, o);
    ASSERT_EQ(faces.size(), 6u);
    for (i32 f = 0; f < 6; ++f) {
        std::vector<u8> expected;
        for (i32 y = 0; y < side; ++y) {
            const auto row = bytes.begin() + y * pitch + f * side * 4;
            expected.insert(expected.end(), row, row + side * 4);
        }
        EXPECT_EQ(faces[f].bytes, expected) << f;
    }
}

// Four-byte pixels with no per-pixel option are copied as they lie; the same
// picture read through the options' path, as three-byte pixels or with red
// and blue swapped back, must give every byte alike, on any number of
// threads (the picture is large enough to be read in bands).
TEST(LevelGenerator, PlainReadIsTheOptionsRead)
{
    const i32 w = 1024, h = 512;
    std::vector<u8> rgba(static_cast<size_t>(w) * h * 4), opaque(rgba.size()), rgb, swapped(rgba.size());
    u32 seed = 99;
    for (u8& b : rgba)
        b = static_cast<u8>((seed = seed * 1664525u + 1013904223u) >> 24);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        for (i32 c = 0; c < 3; ++c)
            rgb.push_back(rgba[i + c]);
        std::copy(&rgba[i], &rgba[i] + 3, &opaque[i]);
        opaque[i + 3] = 255;
        swapped[i] = rgba[i + 2];
        swapped[i + 1] = rgba[i + 1];
        swapped[i + 2] = rgba[i];
        swapped[i + 3] = rgba[i + 3];
    }
    const dxt_options_c plain = OptionsFor(17, 0);
    dxt_options_c swap = plain;
    swap.swap_red_blue = 1;
    for (const u32 threads : {1u, 4u}) {
        SetDxtLevelThreads(threads);
        ExpectSameDeliveries(Compressed(opaque, w, h, w * 4, 4, plain), Compressed(rgb, w, h, w * 3, 3, plain));
        ExpectSameDeliveries(Compressed(rgba, w, h, w * 4, 4, plain), Compressed(swapped, w, h, w * 4, 4, swap));
    }
    SetDxtLevelThreads(0);
}

// The box levels below are made from the clean level above, not from the
// dithered one that was delivered, whenever both its sides are 3 or more.
TEST(LevelGenerator, PerLevelDitherStaysOutOfTheLevelsBelow)
{
    const i32 w = 37, h = 21;
    const std::vector<u32> p = NoisePixels(static_cast<size_t>(w) * h, 777);
    ASSERT_EQ(Capture(p, w, h, OptionsFor(17, 0)), 0);
    const std::vector<delivery_c> clean = Deliveries();
    dxt_options_c o = OptionsFor(16, 0);
    o.dither_per_level = 1;
    ASSERT_EQ(Capture(p, w, h, o), 0);
    ASSERT_EQ(Deliveries().size(), clean.size());
    i32 lw = w, lh = h;
    for (size_t level = 0; level < clean.size(); ++level) {
        const std::vector<u8>& b = clean[level].bytes;
        std::vector<u8> expected;
        for (i32 y = 0; y < lh; ++y)
            for (i32 x = 0; x < lw; ++x) {
                const size_t i = (static_cast<size_t>(y) * lw + x) * 4;
                const u32 q = DitherPixel(
                    b[i] | (b[i + 1] << 8) | (b[i + 2] << 16) | (static_cast<u32>(b[i + 3]) << 24), x, y, 16);
                const u32 packed = ((q >> 8) & 0xf800) | ((q >> 5) & 0x07e0) | ((q >> 3) & 0x001f);
                expected.push_back(static_cast<u8>(packed));
                expected.push_back(static_cast<u8>(packed >> 8));
            }
        EXPECT_EQ(Deliveries()[level].bytes, expected) << level;
        if (lw < 3 || lh < 3)
            break;
        lw = (lw + 1) / 2;
        lh = (lh + 1) / 2;
    }
}

// The game's colour weights as the compressor divides them.
const f32* GameWeights()
{
    static dxt_work_state_c state;
    SetColorWeights(state, 0.309f, 0.609f, 0.082f);
    return state.weights;
}

// Every face's DXT levels come out in order, each the level the 32-bit
// output gives encoded on its own, on any number of threads.
TEST(LevelGenerator, DxtLevelsOfEveryFaceComeInOrderOnAnyNumberOfThreads)
{
    for (const u16 kind : {80, 81}) {
        const i32 face_w = kind == 81 ? 64 : 256, face_h = 64, width = kind == 81 ? 6 * face_w : face_w;
        std::vector<u32> p(static_cast<size_t>(width) * face_h);
        u32 seed = 31;
        for (i32 y = 0; y < face_h; ++y)
            for (i32 x = 0; x < width; ++x) {
                seed = seed * 1664525u + 1013904223u;
                // Flat squares among noise: whole blocks of one colour and blocks of many.
                p[static_cast<size_t>(y) * width + x] =
                    (x / 8 + y / 8) % 3 == 0 ? Argb(255, x / 8 * 9 % 256, y * 3, 70) : seed;
            }
        dxt_options_c raw = OptionsFor(17, 0);
        raw.texture_kind = kind;
        ASSERT_EQ(Capture(p, width, face_h, raw), 0);
        const std::vector<delivery_c> levels = Deliveries();
        for (const i32 format : {10, 13}) {
            const i32 code = format == 10 ? dxt_code_dxt1 : dxt_code_dxt5;
            std::vector<delivery_c> expected;
            i32 w = face_w, h = face_h;
            for (const delivery_c& level : levels) {
                if (level.level == 0) {
                    w = face_w;
                    h = face_h;
                }
                std::vector<u32> pixels(level.bytes.size() / 4);
                std::memcpy(pixels.data(), level.bytes.data(), level.bytes.size());
                ASSERT_EQ(pixels.size(), static_cast<size_t>(w) * h);
                expected.push_back(
                    {level.level, EncodeDxtLevel({pixels.data(), w, h, w}, code, GameWeights(), false, false, 1)});
                w = std::max(1, w / 2);
                h = std::max(1, h / 2);
            }
            dxt_options_c o = OptionsFor(format, 0);
            o.texture_kind = kind;
            for (const u32 threads : {1u, 2u, 3u, 0u}) {
                SetDxtLevelThreads(threads);
                ASSERT_EQ(Capture(p, width, face_h, o), 0);
                ExpectSameDeliveries(Deliveries(), expected);
            }
            SetDxtLevelThreads(0);
        }
    }
}

// A face whose later levels lie outside the picture is refused, but the
// levels read before still come out, in order, as they did when each was
// delivered as soon as it was made.
TEST(LevelGenerator, DxtLevelsMadeBeforeAFailureStillComeOut)
{
    // A 1x16 face with its levels side by side in a picture two pixels wide:
    // the third level would lie past its right edge.
    const std::vector<u32> p = NoisePixels(2 * 16, 5);
    const std::vector<u8> first = EncodeDxtLevel({p.data(), 1, 16, 2}, dxt_code_dxt1, GameWeights(), false, false, 1);
    const std::vector<u8> second =
        EncodeDxtLevel({p.data() + 1, 1, 8, 2}, dxt_code_dxt1, GameWeights(), false, false, 1);
    for (const u32 threads : {1u, 0u}) {
        SetDxtLevelThreads(threads);
        EXPECT_EQ(Capture(p, 2, 16, OptionsFor(10, 32)), -4);
        ExpectSameDeliveries(Deliveries(), {{0, first}, {1, second}});
    }
    SetDxtLevelThreads(0);
}

TEST(LevelGenerator, ColourWeightsAreNormalised)
{
    dxt_work_state_c s;
    SetColorWeights(s, 3.0f, 4.0f, 0.0f);
    EXPECT_FLOAT_EQ(s.weights[0], 0.6f);
    EXPECT_FLOAT_EQ(s.weights[1], 0.8f);
    SetColorWeights(s, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(s.weights[0], 0.0f);
}

} // namespace

namespace {

std::vector<u32> FourColours(i32 side)
{
    const u32 colours[4] = {0xFFF80000, 0xFF00F800, 0xFF0000F8, 0xFF808080};
    std::vector<u32> p(static_cast<size_t>(side) * side);
    for (i32 y = 0; y < side; ++y)
        for (i32 x = 0; x < side; ++x)
            p[y * side + x] = colours[(x * 2 / side) + 2 * (y * 2 / side)];
    return p;
}

u32 PaletteColour(const std::vector<u8>& palette, u8 index)
{
    return 0xFF000000u | (palette[index * 4] << 16) | (palette[index * 4 + 1] << 8) | palette[index * 4 + 2];
}

TEST(LevelGenerator, PaletteOutputSendsThePaletteFirst)
{
    const std::vector<u32> p = FourColours(4);
    ASSERT_EQ(Capture(p, 4, 4, OptionsFor(20)), 0);
    ASSERT_EQ(Shape(), (shape{{0, 1024}, {0, 16}}));
    const std::vector<u8>& palette = Deliveries()[0].bytes;
    for (i32 k = 0; k < 256; ++k)
        EXPECT_EQ(palette[k * 4 + 3], 255);
    for (i32 i = 0; i < 16; ++i)
        EXPECT_EQ(PaletteColour(palette, Deliveries()[1].bytes[i]), p[i]) << i;
}

TEST(LevelGenerator, LaterLevelsMapToTheFirstPalette)
{
    const std::vector<u32> p = FourColours(8);
    ASSERT_EQ(Capture(p, 8, 8, OptionsFor(20, 0)), 0);
    ASSERT_EQ(Shape(), (shape{{0, 1024}, {0, 64}, {1, 16}, {2, 4}, {3, 1}}));
    const std::vector<u8>& palette = Deliveries()[0].bytes;
    // Level 1 keeps the four quadrants; level 2 one pixel each.
    const std::vector<u32> quarter = FourColours(4), two = FourColours(2);
    for (i32 i = 0; i < 16; ++i)
        EXPECT_EQ(PaletteColour(palette, Deliveries()[2].bytes[i]), quarter[i]) << i;
    for (i32 i = 0; i < 4; ++i)
        EXPECT_EQ(PaletteColour(palette, Deliveries()[3].bytes[i]), two[i]) << i;
}

TEST(LevelGenerator, PaletteOutputWithErrorDiffusion)
{
    std::vector<u32> p(16 * 16);
    for (i32 i = 0; i < 256; ++i)
        p[i] = 0xFF000000u | (static_cast<u32>(i) << 16) | 0x4020;
    dxt_options_c o = OptionsFor(20, 0);
    o.dither_on_read = 1;
    ASSERT_EQ(Capture(p, 16, 16, o), 0);
    ASSERT_EQ(Deliveries().size(), 6u);
    // The red ramp survives as a ramp in the mean.
    const std::vector<u8>& palette = Deliveries()[0].bytes;
    f64 sum = 0.0;
    for (u8 index : Deliveries()[1].bytes)
        sum += palette[index * 4];
    EXPECT_NEAR(sum / 256.0, 127.5, 8.0);
}

} // namespace
