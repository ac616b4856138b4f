#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "image/image.h"
#include "image/pixel.h"

namespace {

// Four source pixels per format with their 8-bit channels worked out by hand
// (5-bit 1 -> 8, 16 -> 131; 6-bit 1 -> 4, 32 -> 129; 4-bit v -> v * 17).
struct sample_s {
    u32 raw;
    u32 r, g, b, a;
};

struct source_s {
    format_e format;
    sample_s samples[4];
};

const source_s sources[] = {
    {format_l8, {{0x00, 0, 0, 0, 0}, {0x80, 128, 128, 128, 0}, {0xFF, 255, 255, 255, 0}, {0x37, 55, 55, 55, 0}}},
    {format_x8r8g8b8,
     {{0xAB112233, 0x11, 0x22, 0x33, 0},
      {0x00FF8040, 255, 128, 64, 0},
      {0xFFFFFFFF, 255, 255, 255, 0},
      {0, 0, 0, 0, 0}}},
    {format_a8r8g8b8,
     {{0x80FF8040, 255, 128, 64, 128},
      {0x00102030, 16, 32, 48, 0},
      {0xFFFFFFFF, 255, 255, 255, 255},
      {0x7F000000, 0, 0, 0, 127}}},
    {format_r5g6b5,
     {{0x8410, 131, 129, 131, 0}, {0xFFFF, 255, 255, 255, 0}, {0x0821, 8, 4, 8, 0}, {0xF800, 255, 0, 0, 0}}},
    {format_x1r5g5b5,
     {{0xC210, 131, 131, 131, 0}, {0x7FFF, 255, 255, 255, 0}, {0x0421, 8, 8, 8, 0}, {0x7C00, 255, 0, 0, 0}}},
    {format_a1r5g5b5,
     {{0xC210, 131, 131, 131, 255}, {0x7FFF, 255, 255, 255, 0}, {0x8421, 8, 8, 8, 255}, {0x001F, 0, 0, 255, 0}}},
    {format_x4r4g4b4, {{0xF123, 17, 34, 51, 0}, {0x0FFF, 255, 255, 255, 0}, {0x0800, 136, 0, 0, 0}, {0, 0, 0, 0, 0}}},
    {format_a4r4g4b4,
     {{0xF123, 17, 34, 51, 255}, {0x8FFF, 255, 255, 255, 136}, {0x1800, 136, 0, 0, 17}, {0, 0, 0, 0, 0}}},
};

// The packing rule written out per target: top bits, the grey weights, and
// alpha only when both formats have it.
u32 Expected(format_e target, const sample_s& s, bool source_alpha)
{
    const u32 a = source_alpha ? s.a : 0;
    switch (target) {
    case format_l8: return (s.r * 19661 + s.g * 38666 + s.b * 7209) >> 16;
    case format_x8r8g8b8: return s.r << 16 | s.g << 8 | s.b;
    case format_a8r8g8b8: return a << 24 | s.r << 16 | s.g << 8 | s.b;
    case format_r5g6b5: return (s.r >> 3) << 11 | (s.g >> 2) << 5 | s.b >> 3;
    case format_x1r5g5b5: return (s.r >> 3) << 10 | (s.g >> 3) << 5 | s.b >> 3;
    case format_a1r5g5b5: return (a >> 7) << 15 | (s.r >> 3) << 10 | (s.g >> 3) << 5 | s.b >> 3;
    case format_x4r4g4b4: return (s.r >> 4) << 8 | (s.g >> 4) << 4 | s.b >> 4;
    case format_a4r4g4b4: return (a >> 4) << 12 | (s.r >> 4) << 8 | (s.g >> 4) << 4 | s.b >> 4;
    default: return 0;
    }
}

const std::vector<format_e> direct_targets[] = {
    {},
    {format_x8r8g8b8, format_a8r8g8b8, format_r5g6b5, format_x1r5g5b5, format_a1r5g5b5, format_x4r4g4b4,
     format_a4r4g4b4},
    {format_l8, format_r5g6b5, format_x1r5g5b5, format_a1r5g5b5, format_x4r4g4b4, format_a4r4g4b4},
    {format_l8, format_r5g6b5, format_x1r5g5b5, format_a1r5g5b5, format_x4r4g4b4, format_a4r4g4b4},
    {format_l8, format_x8r8g8b8, format_a8r8g8b8, format_x1r5g5b5, format_a1r5g5b5, format_x4r4g4b4, format_a4r4g4b4},
    {format_l8, format_x8r8g8b8, format_a8r8g8b8, format_r5g6b5, format_x4r4g4b4, format_a4r4g4b4},
    {format_l8, format_x8r8g8b8, format_a8r8g8b8, format_r5g6b5, format_x4r4g4b4, format_a4r4g4b4},
    {format_l8, format_x8r8g8b8, format_a8r8g8b8, format_r5g6b5, format_x1r5g5b5, format_a1r5g5b5},
    {format_l8, format_x8r8g8b8, format_a8r8g8b8, format_r5g6b5, format_x1r5g5b5, format_a1r5g5b5},
};

const std::vector<format_e> throwing_targets[] = {
    {},
    {format_dxt1, format_dxt3, format_dxt5},
    {format_x8r8g8b8, format_a8r8g8b8},
    {format_x8r8g8b8, format_a8r8g8b8},
    {format_r5g6b5, format_dxt1, format_dxt3, format_dxt5},
    {format_x1r5g5b5, format_a1r5g5b5, format_dxt1, format_dxt3, format_dxt5},
    {format_x1r5g5b5, format_a1r5g5b5, format_dxt1, format_dxt3, format_dxt5},
    {format_x4r4g4b4, format_a4r4g4b4, format_dxt1, format_dxt3, format_dxt5},
    {format_x4r4g4b4, format_a4r4g4b4, format_dxt1, format_dxt3, format_dxt5},
};

TEST(ConvertTest, EveryDirectPairFollowsTheChannelRules)
{
    int pairs = 0;
    for (const source_s& source : sources) {
        // A 2x2 source with one padding pixel per row.
        const int src_bytes = PixelBytes(source.format);
        std::vector<u8> src(3 * 2 * src_bytes, 0xEE);
        for (int i = 0; i < 4; ++i)
            StorePixel(source.format, src.data() + (i / 2) * 3 * src_bytes, i % 2, source.samples[i].raw);
        for (format_e target : direct_targets[source.format]) {
            // Destination with two padding pixels per row, which must stay untouched.
            const int dst_bytes = PixelBytes(target);
            std::vector<u8> dst(4 * 2 * dst_bytes, 0x5A);
            ConvertPixels(dst.data(), 2, target, src.data(), 1, source.format, 2, 2);
            for (int i = 0; i < 4; ++i) {
                const u8* row = dst.data() + (i / 2) * 4 * dst_bytes;
                EXPECT_EQ(LoadPixel(target, row, i % 2),
                          Expected(target, source.samples[i], FormatHasAlpha(source.format)))
                    << "from " << source.format << " to " << target << " pixel " << i;
                for (int b = 2 * dst_bytes; b < 4 * dst_bytes; ++b)
                    EXPECT_EQ(row[b], 0x5A);
            }
            ++pairs;
        }
    }
    EXPECT_EQ(pairs, 50);
}

TEST(ConvertTest, StatedExamples)
{
    u8 src[4];
    u8 dst[4];
    StoreU16(src, 0xFFFF);
    ConvertPixels(dst, 0, format_a4r4g4b4, src, 0, format_a1r5g5b5, 1, 1);
    EXPECT_EQ(LoadU16(dst), 0xFFFF);
    StoreU16(src, 0x8410);
    ConvertPixels(dst, 0, format_x8r8g8b8, src, 0, format_r5g6b5, 1, 1);
    EXPECT_EQ(LoadU32(dst), 0x00838183u);
    StoreU32(src, 0x00FF8040);
    ConvertPixels(dst, 0, format_l8, src, 0, format_x8r8g8b8, 1, 1);
    EXPECT_EQ(dst[0], 159);
}

TEST(ConvertTest, UnsupportedPairsThrow)
{
    for (const source_s& source : sources) {
        image_c image;
        image.Create(4, 4, source.format);
        image.Fill(0);
        for (format_e target : throwing_targets[source.format]) {
            std::vector<u8> dst(GetSize(4, 4, target) + 64);
            try {
                ConvertPixels(dst.data(), 0, target, image.GetData(), 0, source.format, 4, 4);
                ADD_FAILURE() << source.format << " to " << target;
            } catch (const std::invalid_argument& e) {
                EXPECT_STREQ(e.what(), "void image_c::ChangeFormat(...)");
            }
        }
    }
    image_c dxt;
    dxt.Create(4, 4, format_dxt1);
    std::memset(dxt.GetData(), 0, dxt.GetSize());
    for (format_e target : {format_l8, format_r5g6b5, format_a4r4g4b4, format_dxt3}) {
        std::vector<u8> dst(64);
        EXPECT_THROW(ConvertPixels(dst.data(), 0, target, dxt.GetData(), 0, format_dxt1, 4, 4), std::invalid_argument);
    }
}

TEST(ConvertTest, InvalidSourceOrDestinationDoesNothing)
{
    u8 src[4] = {1, 2, 3, 4};
    u8 dst[8] = {};
    ConvertPixels(dst, 0, format_r5g6b5, src, 0, format_l8, 0, 1);
    ConvertPixels(dst, 0, format_r5g6b5, nullptr, 0, format_l8, 2, 2);
    ConvertPixels(dst, 0, format_dxt1, src, 0, format_x8r8g8b8, 3, 4);
    for (u8 b : dst)
        EXPECT_EQ(b, 0);
}

TEST(ChangeFormatTest, SameLayoutPairOnlyRelabels)
{
    image_c image;
    image.Create(2, 1, format_x8r8g8b8);
    StoreU32(image.GetData(), 0x12345678);
    StoreU32(image.GetData() + 4, 0x00ABCDEF);
    const u8* buffer = image.GetData();
    image.ChangeFormat(format_a8r8g8b8);
    EXPECT_EQ(image.GetFormat(), format_a8r8g8b8);
    EXPECT_EQ(image.GetData(), buffer);
    EXPECT_EQ(LoadU32(buffer), 0x12345678u);
    EXPECT_EQ(LoadU32(buffer + 4), 0x00ABCDEFu);
}

TEST(ChangeFormatTest, SameSizeRunsInPlace)
{
    image_c image;
    image.Create(2, 2, format_r5g6b5);
    image.Fill(0xFFFF0000);
    const u8* buffer = image.GetData();
    image.ChangeFormat(format_x1r5g5b5);
    EXPECT_EQ(image.GetData(), buffer);
    EXPECT_EQ(LoadU16(buffer + 6), 0x7C00);
}

TEST(ChangeFormatTest, GrowingAndShrinkingReplaceTheBuffer)
{
    image_c image;
    image.Create(3, 1, format_l8);
    image.GetData()[0] = 0;
    image.GetData()[1] = 0x80;
    image.GetData()[2] = 0xFF;
    image.ChangeFormat(format_a8r8g8b8);
    EXPECT_EQ(image.GetFormat(), format_a8r8g8b8);
    EXPECT_EQ(LoadU32(image.GetData() + 4), 0x00808080u);
    image.ChangeFormat(format_x4r4g4b4);
    EXPECT_EQ(image.GetSize(), 6);
    EXPECT_EQ(LoadU16(image.GetData() + 4), 0x0FFF);
}

TEST(ChangeFormatTest, ToNoneDropsThePixels)
{
    image_c image;
    image.Create(2, 2, format_l8);
    image.ChangeFormat(format_none);
    EXPECT_EQ(image.GetFormat(), format_none);
    EXPECT_EQ(image.GetData(), nullptr);
    EXPECT_FALSE(image.IsValid());
}

TEST(ChangeFormatTest, CompressedTargetWithOddSidesIsRefusedUnchanged)
{
    image_c image;
    image.Create(6, 4, format_r5g6b5);
    image.Fill(0xFF102030);
    std::vector<u8> before(image.GetData(), image.GetData() + image.GetSize());
    try {
        image.ChangeFormat(format_dxt5);
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "void image_c::ChangeFormat(format_e target)");
    }
    EXPECT_EQ(image.GetFormat(), format_r5g6b5);
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(std::vector<u8>(image.GetData(), image.GetData() + image.GetSize()), before);
}

TEST(ChangeFormatTest, InvalidImageIsLeftAlone)
{
    image_c image;
    image.ChangeFormat(format_l8);
    EXPECT_EQ(image.GetFormat(), format_none);
}

TEST(DiffuseErrorTest, ColourKernelSpreadsTheError)
{
    image_c image;
    image.Create(2, 2, format_x8r8g8b8);
    image.Fill(0xFF070707);
    image.DiffuseError(format_r5g6b5);
    // Worked by hand: errors (7, 3, 7) spread 7/16 right, 5/16 below, 1/16 below right.
    EXPECT_EQ(LoadU32(image.GetData() + 0), 0x00000400u);
    EXPECT_EQ(LoadU32(image.GetData() + 4), 0x00080808u);
    EXPECT_EQ(LoadU32(image.GetData() + 8), 0x00080408u);
    EXPECT_EQ(LoadU32(image.GetData() + 12), 0x00000800u);
    EXPECT_EQ(image.GetFormat(), format_x8r8g8b8);
}

TEST(DiffuseErrorTest, AlphaKernelCarriesAlpha)
{
    image_c image;
    image.Create(2, 1, format_a8r8g8b8);
    StoreU32(image.GetData(), 0x0F0F0F0F);
    StoreU32(image.GetData() + 4, 0x0A0A0A0A);
    image.DiffuseError(format_a4r4g4b4);
    EXPECT_EQ(LoadU32(image.GetData()), 0u);
    EXPECT_EQ(LoadU32(image.GetData() + 4), 0x10101010u);
}

TEST(DiffuseErrorTest, SaturatesAtTheTop)
{
    image_c image;
    image.Create(2, 1, format_x8r8g8b8);
    StoreU32(image.GetData(), 0x00070707);
    StoreU32(image.GetData() + 4, 0x00FFFFFF);
    image.DiffuseError(format_x1r5g5b5);
    EXPECT_EQ(LoadU32(image.GetData() + 4), 0x00F8F8F8u);
}

TEST(DiffuseErrorTest, FullPrecisionTargetsChangeNothing)
{
    image_c image;
    image.Create(2, 2, format_a8r8g8b8);
    image.Fill(0x87654321);
    image.DiffuseError(format_a8r8g8b8);
    image.DiffuseError(format_x8r8g8b8);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(LoadU32(image.GetData() + 4 * i), 0x87654321u);
}

TEST(DiffuseErrorTest, OnePixelIsOnlyMasked)
{
    image_c image;
    image.Create(1, 1, format_a8r8g8b8);
    StoreU32(image.GetData(), 0xFFFFFFFF);
    image.DiffuseError(format_a1r5g5b5);
    EXPECT_EQ(LoadU32(image.GetData()), 0x80F8F8F8u);
}

TEST(DiffuseErrorTest, RefusesBadTargetsAndFormats)
{
    image_c image;
    image.Create(2, 2, format_x8r8g8b8);
    for (format_e target : {format_l8, format_none}) {
        try {
            image.DiffuseError(target);
            ADD_FAILURE();
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), "void image_c::DiffuseError(format_e _format)");
        }
    }
    image.Create(2, 2, format_r5g6b5);
    EXPECT_THROW(image.DiffuseError(format_r5g6b5), std::invalid_argument);
}

} // namespace
