#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "image/dxt_codec.h"
#include "image/image.h"
#include "image/pixel.h"

namespace {

// A picture of flat 4x4 blocks, which any DXT encoder reproduces closely.
image_c Blocks(format_e format, u32 alpha)
{
    image_c image;
    image.Create(8, 8, format_a8r8g8b8);
    const u32 colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            StoreU32(image.GetData() + 4 * (y * 8 + x), alpha << 24 | colours[(y / 4) * 2 + x / 4]);
    image.ChangeFormat(format);
    return image;
}

void ExpectNear(u32 got, u32 want, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        EXPECT_NEAR(int((got >> shift) & 0xFF), int((want >> shift) & 0xFF), tolerance)
            << std::hex << got << " " << want;
}

TEST(DxtEncodeTest, SixteenBitPictureGoesThroughThirtyTwoBits)
{
    image_c image = Blocks(format_r5g6b5, 0);
    image.ChangeFormat(format_dxt5);
    ASSERT_EQ(image.GetFormat(), format_dxt5);
    EXPECT_EQ(image.GetSize(), 64);
    image.ChangeFormat(format_a8r8g8b8);
    // No alpha in the source: the compressor takes it as opaque.
    ExpectNear(LoadU32(image.GetData()), 0xFFFF0000, 8);
    ExpectNear(LoadU32(image.GetData() + 4 * (7 * 8 + 7)), 0xFF848284, 8);
}

TEST(DxtEncodeTest, AlphaSurvivesDxt3AndDxt5)
{
    for (format_e target : {format_dxt3, format_dxt5}) {
        image_c image = Blocks(format_a8r8g8b8, 0x80);
        image.ChangeFormat(target);
        ASSERT_EQ(image.GetFormat(), target);
        image.ChangeFormat(format_a8r8g8b8);
        ExpectNear(LoadU32(image.GetData() + 4 * 4), 0x8000FF00, 9);
    }
}

TEST(DxtEncodeTest, Dxt1KeepsOneBitAlphaFromAlphaPictures)
{
    image_c image = Blocks(format_a8r8g8b8, 0);
    image.ChangeFormat(format_dxt1);
    image.ChangeFormat(format_a8r8g8b8);
    EXPECT_EQ(LoadU32(image.GetData()) >> 24, 0u);

    image_c opaque = Blocks(format_x8r8g8b8, 0);
    opaque.ChangeFormat(format_dxt1);
    opaque.ChangeFormat(format_a8r8g8b8);
    ExpectNear(LoadU32(opaque.GetData()), 0xFFFF0000, 8);
}

TEST(DxtEncodeTest, DxtToDxtDecodesFirst)
{
    image_c image = Blocks(format_a8r8g8b8, 0xFF);
    image.ChangeFormat(format_dxt5);
    image.ChangeFormat(format_dxt1);
    ASSERT_EQ(image.GetFormat(), format_dxt1);
    EXPECT_EQ(image.GetSize(), 32);
    image_c decoded(image, format_x8r8g8b8);
    ExpectNear(LoadU32(decoded.GetData() + 4 * 63), 0x00848284, 8);
}

// The source's alpha picks the 32-bit picture between two DXT formats.
TEST(DxtEncodeTest, DxtToDxtKeepsTheSourcesAlpha)
{
    for (format_e source : {format_dxt3, format_dxt5}) {
        image_c image = Blocks(format_a8r8g8b8, 0);
        image.ChangeFormat(source);
        image.ChangeFormat(format_dxt1);
        ASSERT_EQ(image.GetFormat(), format_dxt1);
        image.ChangeFormat(format_a8r8g8b8);
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(LoadU32(image.GetData() + 4 * i), 0u) << i; // transparent, not opaque black
    }

    // Transparent DXT1 texels become opaque: DXT1 has no alpha to carry over.
    for (format_e target : {format_dxt3, format_dxt5}) {
        image_c image = Blocks(format_a8r8g8b8, 0);
        image.ChangeFormat(format_dxt1);
        image.ChangeFormat(target);
        image.ChangeFormat(format_a8r8g8b8);
        EXPECT_EQ(LoadU32(image.GetData()) >> 24, 0xFFu) << target;
    }
}

TEST(DxtEncodeTest, ConvertingCopyEncodes)
{
    const image_c source = Blocks(format_x8r8g8b8, 0);
    const image_c compressed(source, format_dxt3);
    ASSERT_TRUE(compressed.IsValid());
    image_c back(compressed, format_x8r8g8b8);
    ExpectNear(LoadU32(back.GetData() + 4 * 8 * 4), 0x000000FF, 8);
}

// A picture without alpha uses the four-colour palette in every DXT1 block
// (first end point above the second), never the three-colour one with black.
TEST(DxtEncodeTest, OpaqueDxt1BlocksUseFourColours)
{
    image_c image;
    image.Create(4, 4, format_x8r8g8b8);
    for (int i = 0; i < 16; ++i)
        StoreU32(image.GetData() + 4 * i, i < 8 ? 0x000000u : 0x00FFFFFFu);
    image.ChangeFormat(format_dxt1);
    u16 ends[2];
    std::memcpy(ends, image.GetData(), sizeof ends);
    EXPECT_GT(ends[0], ends[1]);
}

// Encodings on several threads each get their own bytes, as in one thread.
TEST(DxtEncodeTest, ConcurrentEncodingsKeepTheirOwnOutput)
{
    std::vector<image_c> expected;
    for (u32 alpha : {0x10u, 0x80u, 0xF0u, 0xFFu}) {
        expected.push_back(Blocks(format_a8r8g8b8, alpha));
        expected.back().ChangeFormat(format_dxt5);
    }
    for (int round = 0; round < 20; ++round) {
        std::vector<image_c> results(expected.size());
        std::vector<std::thread> threads;
        const u32 alphas[4] = {0x10u, 0x80u, 0xF0u, 0xFFu};
        for (size_t i = 0; i < results.size(); ++i)
            threads.emplace_back([&results, &alphas, i] {
                results[i] = Blocks(format_a8r8g8b8, alphas[i]);
                results[i].ChangeFormat(format_dxt5);
            });
        for (std::thread& thread : threads)
            thread.join();
        for (size_t i = 0; i < results.size(); ++i)
            ASSERT_EQ(std::memcmp(results[i].GetData(), expected[i].GetData(), 64), 0) << "picture " << i;
    }
}

} // namespace
