#include <gtest/gtest.h>

#include <cstring>

#include "image/dxt_codec.h"
#include "image/image.h"
#include "image/pixel.h"

namespace {

// Pixel i of a block takes index i % 4 (colour blocks) from its index word.
u32 CyclingIndices()
{
    u32 word = 0;
    for (int i = 0; i < 16; ++i)
        word |= u32(i & 3) << (2 * i);
    return word;
}

void PutColourBlock(u8* block, u16 c0, u16 c1, u32 indices)
{
    StoreU16(block, c0);
    StoreU16(block + 2, c1);
    StoreU32(block + 4, indices);
}

TEST(DxtDecodeTest, Dxt1FourColours)
{
    u8 block[8];
    PutColourBlock(block, 0xF800, 0x001F, CyclingIndices());
    u32 pixels[16];
    DecodeDxtBlock(block, format_dxt1, pixels);
    // Red and blue, then their thirds: (2*255 + 0 + 1) / 3 = 170, (255 + 1) / 3 = 85.
    const u32 expected[4] = {0xFFFF0000, 0xFF0000FF, 0xFFAA0055, 0xFF5500AA};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(pixels[i], expected[i & 3]) << i;
}

TEST(DxtDecodeTest, Dxt1ThreeColoursAndTransparentBlack)
{
    u8 block[8];
    PutColourBlock(block, 0x001F, 0xF800, CyclingIndices());
    u32 pixels[16];
    DecodeDxtBlock(block, format_dxt1, pixels);
    EXPECT_EQ(pixels[0], 0xFF0000FFu);
    EXPECT_EQ(pixels[1], 0xFFFF0000u);
    EXPECT_EQ(pixels[2], 0xFF7F007Fu);
    EXPECT_EQ(pixels[3], 0u);

    PutColourBlock(block, 0x8410, 0x8410, 0xFFFFFFFF);
    DecodeDxtBlock(block, format_dxt1, pixels);
    for (u32 p : pixels)
        EXPECT_EQ(p, 0u);
}

TEST(DxtDecodeTest, Dxt3ExplicitAlphaAndAlwaysFourColours)
{
    u8 block[16];
    for (int i = 0; i < 8; ++i)
        block[i] = u8((2 * i) | ((2 * i + 1) << 4));
    PutColourBlock(block + 8, 0x001F, 0xF800, CyclingIndices());
    u32 pixels[16];
    DecodeDxtBlock(block, format_dxt3, pixels);
    const u32 colours[4] = {0x0000FF, 0xFF0000, 0x5500AA, 0xAA0055};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(pixels[i], (u32(i * 17) << 24) | colours[i & 3]) << i;
}

void PutDxt5Alpha(u8* block, u8 a0, u8 a1)
{
    block[0] = a0;
    block[1] = a1;
    // Pixel i takes alpha index i % 8.
    for (int group = 0; group < 2; ++group) {
        u32 word = 0;
        for (int i = 0; i < 8; ++i)
            word |= u32(i) << (3 * i);
        block[2 + 3 * group] = u8(word);
        block[3 + 3 * group] = u8(word >> 8);
        block[4 + 3 * group] = u8(word >> 16);
    }
}

TEST(DxtDecodeTest, Dxt5EightAlphas)
{
    u8 block[16];
    PutDxt5Alpha(block, 255, 0);
    PutColourBlock(block + 8, 0xFFFF, 0xFFFF, 0);
    u32 pixels[16];
    DecodeDxtBlock(block, format_dxt5, pixels);
    const u32 alphas[8] = {255, 0, 219, 182, 146, 109, 73, 36};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(pixels[i], (alphas[i % 8] << 24) | 0xFFFFFF) << i;
}

TEST(DxtDecodeTest, Dxt5SixAlphasWithEnds)
{
    u8 block[16];
    PutDxt5Alpha(block, 0, 255);
    PutColourBlock(block + 8, 0, 0, 0);
    u32 pixels[16];
    DecodeDxtBlock(block, format_dxt5, pixels);
    const u32 alphas[8] = {0, 255, 51, 102, 153, 204, 0, 255};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(pixels[i] >> 24, alphas[i % 8]) << i;
}

TEST(DxtDecodeTest, BlocksLandLeftToRightThenDown)
{
    image_c image;
    image.Create(8, 8, format_dxt1);
    for (int b = 0; b < 4; ++b) {
        const u16 colours[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
        PutColourBlock(image.GetData() + 8 * b, colours[b], 0, 0);
    }
    image.ChangeFormat(format_x8r8g8b8);
    ASSERT_EQ(image.GetFormat(), format_x8r8g8b8);
    auto at = [&](int x, int y) { return LoadU32(image.GetData() + y * 32 + x * 4); };
    EXPECT_EQ(at(0, 0), 0x00FF0000u);
    EXPECT_EQ(at(7, 3), 0x0000FF00u);
    EXPECT_EQ(at(0, 4), 0x000000FFu);
    EXPECT_EQ(at(7, 7), 0x00FFFFFFu);
}

TEST(DxtDecodeTest, DecodingToAlphaFormatKeepsAlpha)
{
    image_c image;
    image.Create(4, 4, format_dxt1);
    // Pixels 0 and 1 opaque black, the rest transparent black.
    PutColourBlock(image.GetData(), 0, 0xFFFF, 0xFFFFFFF0);
    image_c opaque(image, format_x8r8g8b8);
    EXPECT_EQ(LoadU32(opaque.GetData()), 0u);
    image.ChangeFormat(format_a8r8g8b8);
    EXPECT_EQ(image.GetFormat(), format_a8r8g8b8);
    EXPECT_EQ(LoadU32(image.GetData()), 0xFF000000u);
    EXPECT_EQ(LoadU32(image.GetData() + 60), 0u);
}

TEST(DxtDecodeTest, SmallPicturesWriteOnlyTheirPixels)
{
    u8 block[8];
    PutColourBlock(block, 0xF800, 0, 0);
    u8 dst[2 * 2 * 4 + 16];
    std::memset(dst, 0xCC, sizeof dst);
    DecodeDxt(dst, 0, format_x8r8g8b8, block, format_dxt1, 2, 2);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(LoadU32(dst + 4 * i), 0x00FF0000u);
    for (size_t i = 16; i < sizeof dst; ++i)
        EXPECT_EQ(dst[i], 0xCC);
}

TEST(DxtDecodeTest, ChangeToSixteenBitsDecodesThenTruncates)
{
    image_c image;
    image.Create(4, 4, format_dxt1);
    PutColourBlock(image.GetData(), 0x8410, 0x8410, 0);
    image.ChangeFormat(format_r5g6b5);
    EXPECT_EQ(image.GetFormat(), format_r5g6b5);
    // 0x8410 expands to (131, 129, 131) and truncates back to itself.
    EXPECT_EQ(LoadU16(image.GetData() + 10), 0x8410);
}

} // namespace
