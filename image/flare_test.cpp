#include "image/flare.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "foundation/memory_file.h"
#include "image/image.h"
#include "image/pixel.h"

namespace {

// 34x34: centre at column and row 17, radius R = 16.
image_c Picture(format_e format = format_x8r8g8b8)
{
    image_c image;
    image.Create(34, 34, format);
    image.Fill(0xFFABCDEF);
    return image;
}

u32 At(const image_c& image, int column, int row)
{
    return LoadPixel(image.GetFormat(), image.GetData() + row * image.GetPitch(), column);
}

bool AllBlack(const image_c& image)
{
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (At(image, x, y) != 0)
                return false;
    return true;
}

void White(f32 c[3])
{
    c[0] = c[1] = c[2] = 1;
}

TEST(FlareTest, DefaultsDrawNothing)
{
    flare_def_c def;
    EXPECT_EQ(def.intensity, 1.0f);
    EXPECT_EQ(def.glowFalloff, 6.0f);
    EXPECT_EQ(def.ringSize, 0.22f);
    EXPECT_EQ(def.rayAngle, 1.5707964f);
    EXPECT_EQ(def.streakWidth, 0.016666668f);
    EXPECT_EQ(def.rayCount, 0);
    image_c image = Picture();
    image.MakeFlare(def);
    EXPECT_TRUE(AllBlack(image));
}

TEST(FlareTest, NoSizeOrIntensityDrawsNothing)
{
    for (int which = 0; which < 2; ++which) {
        flare_def_c def;
        White(def.glowColor);
        (which == 0 ? def.size : def.intensity) = 0;
        image_c image = Picture();
        image.MakeFlare(def);
        EXPECT_TRUE(AllBlack(image));
    }
}

TEST(FlareTest, GlowFalloffBelowOneIsLinear)
{
    flare_def_c def;
    White(def.glowColor);
    def.glowFalloff = 0.5f;
    image_c image = Picture();
    image.MakeFlare(def);
    EXPECT_EQ(At(image, 17, 17), 0x00FFFFFFu);
    // d = 8 of S = 16: f = 0.5, b = 127.5.
    EXPECT_EQ(At(image, 25, 17), 0x007F7F7Fu);
    EXPECT_EQ(At(image, 17 + 16, 17), 0u);
}

TEST(FlareTest, HardDiscWithZeroEdge)
{
    flare_def_c def;
    def.discColor[0] = 1;
    def.discSize = 0.5f;
    def.discEdge = 0;
    image_c image = Picture();
    image.MakeFlare(def);
    EXPECT_EQ(At(image, 17 + 7, 17), 0x00FF0000u);
    EXPECT_EQ(At(image, 17, 17 - 7), 0x00FF0000u);
    EXPECT_EQ(At(image, 17 + 8, 17), 0u);
    EXPECT_EQ(At(image, 17 + 9, 17), 0u);
}

TEST(FlareTest, SoftDiscEdge)
{
    flare_def_c def;
    def.discColor[2] = 1;
    def.discSize = 0.5f;
    def.discEdge = 0.25f; // Ri = (0.5 - 0.125) * 16 = 6, edge 4 pixels
    image_c image = Picture();
    image.MakeFlare(def);
    EXPECT_EQ(At(image, 17 + 5, 17), 0x000000FFu);
    // d = 8: u = 0.5, cos(pi / 4)^2 = 0.5.
    const f32 k = std::cos(0.5f * std::numbers::pi_v<f32> / 2);
    EXPECT_EQ(At(image, 17 + 8, 17), u32(k * k * 255));
    EXPECT_EQ(At(image, 17 + 10, 17), 0u);
}

TEST(FlareTest, RaysPointWhereTheAngleSays)
{
    flare_def_c def;
    White(def.color);
    def.rayCount = 4;
    image_c image = Picture();
    image.MakeFlare(def);
    // Rays and streaks put y = 0 on row 16 (y = 16 - row) and x = 0 on column 17:
    // up, left, down and right are lit, diagonals not.
    for (auto [column, row] : {std::pair{17, 9}, {9, 16}, {17, 24}, {25, 16}})
        EXPECT_NE(At(image, column, row), 0u) << column << "," << row;
    EXPECT_EQ(At(image, 23, 11), 0u);
    EXPECT_EQ(At(image, 11, 23), 0u);

    def.rayCount = 0;
    def.ray2Count = 4;
    def.ray2Length = 1;
    image_c turned = Picture();
    turned.MakeFlare(def);
    EXPECT_NE(At(turned, 21, 12), 0u);
    EXPECT_EQ(At(turned, 17, 9), 0u);
}

TEST(FlareTest, NegativeCountsDrawNothing)
{
    flare_def_c def;
    White(def.color);
    def.rayCount = -4;
    def.ray2Count = -1;
    def.streakCount = -3;
    image_c image = Picture();
    image.MakeFlare(def);
    EXPECT_TRUE(AllBlack(image));
}

TEST(FlareTest, StreaksChangeFromPictureToPicture)
{
    flare_def_c def;
    White(def.color);
    def.streakCount = 3;
    def.streakWidth = 0.2f;
    def.streakIntensity = 1;
    image_c first = Picture();
    first.MakeFlare(def);
    image_c second = Picture();
    second.MakeFlare(def);
    EXPECT_FALSE(AllBlack(first));
    EXPECT_NE(0, std::memcmp(first.GetData(), second.GetData(), first.GetSize()));
}

TEST(FlareTest, OverlapsSaturate)
{
    flare_def_c def;
    White(def.discColor);
    White(def.haloColor);
    White(def.glowColor);
    image_c image = Picture();
    image.MakeFlare(def);
    EXPECT_EQ(At(image, 17, 17), 0x00FFFFFFu);
}

TEST(FlareTest, GreyPicturesStoreTheGreyOfTheSums)
{
    flare_def_c def;
    def.discColor[0] = 1;
    def.discEdge = 0;
    image_c image = Picture(format_l8);
    image.MakeFlare(def);
    EXPECT_EQ(At(image, 17, 17), (255u * 19661) >> 16);
}

TEST(FlareTest, ZeroRingWidthAndTinyPicturesAreSafe)
{
    flare_def_c def;
    White(def.ringColor);
    def.ringWidth = 0;
    image_c image = Picture();
    image.MakeFlare(def);
    EXPECT_TRUE(AllBlack(image));

    flare_def_c glow;
    White(glow.glowColor);
    image_c tiny;
    tiny.Create(2, 2, format_a8r8g8b8);
    tiny.MakeFlare(glow);
    EXPECT_TRUE(AllBlack(tiny));
}

TEST(FlareTest, SixteenBitPicturesThrow)
{
    image_c image;
    image.Create(8, 8, format_r5g6b5);
    try {
        image.MakeFlare(flare_def_c());
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "void image_c::MakeFlare(const flare_def_c& _flare_def)");
    }
}

TEST(FlareTest, HsvConversions)
{
    struct row_s {
        f32 r, g, b, h, s, v;
    } rows[] = {
        {1, 0, 0, 0, 1, 1},  {0, 1, 0, 120, 1, 1}, {0, 0, 1, 240, 1, 1},
        {1, 1, 0, 60, 1, 1}, {1, 0, 1, 300, 1, 1}, {0.5f, 0.25f, 0.25f, 0, 0.5f, 0.5f},
    };
    for (const row_s& row : rows) {
        f32 h, s, v;
        RgbToHsv(row.r, row.g, row.b, h, s, v);
        EXPECT_FLOAT_EQ(h, row.h);
        EXPECT_FLOAT_EQ(s, row.s);
        EXPECT_FLOAT_EQ(v, row.v);
        f32 r, g, b;
        HsvToRgb(h, s, v, r, g, b);
        EXPECT_NEAR(r, row.r, 1e-6);
        EXPECT_NEAR(g, row.g, 1e-6);
        EXPECT_NEAR(b, row.b, 1e-6);
    }
    f32 h, s, v;
    RgbToHsv(0.3f, 0.3f, 0.3f, h, s, v);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(s, 0);
    f32 r, g, b;
    HsvToRgb(360, 1, 1, r, g, b);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(g, 0);
    HsvToRgb(-1, 1, 0.25f, r, g, b);
    EXPECT_EQ(r, 0.25f);
    EXPECT_EQ(b, 0.25f);
}

TEST(FlareTest, StreamsThirtyEightWords)
{
    flare_def_c def;
    def.rayCount = 6;
    def.color[1] = 0.5f;
    output_file_c out;
    out.WriteU8(7);
    WriteFlareDef(out, def);
    EXPECT_EQ(out.GetSize(), 4u + 38 * 4);

    input_file_c in(out.GetData(), out.GetSize());
    u8 first;
    in.ReadU8(first);
    flare_def_c back;
    back.rayCount = 0;
    ReadFlareDef(in, back);
    EXPECT_EQ(0, std::memcmp(&back, &def, sizeof def));

    input_file_c cut(out.GetData(), out.GetSize() - 4);
    cut.ReadU8(first);
    EXPECT_THROW(ReadFlareDef(cut, back), std::runtime_error);
}

} // namespace
