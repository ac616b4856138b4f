#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "image/image.h"
#include "image/pixel.h"

namespace {

image_c GreyRow(const std::vector<u8>& values)
{
    image_c image;
    image.Create(int(values.size()), 1, format_l8);
    for (size_t i = 0; i < values.size(); ++i)
        image.GetData()[i] = values[i];
    return image;
}

std::vector<u8> Bytes(const image_c& image)
{
    return std::vector<u8>(image.GetData(), image.GetData() + image.GetSize());
}

TEST(ScaleTest, PointSamplesPixelCentres)
{
    image_c down = GreyRow({10, 11, 12, 13});
    down.Resize(2, 1, filter_point);
    EXPECT_EQ(Bytes(down), (std::vector<u8>{11, 13}));

    image_c up = GreyRow({10, 11, 12, 13});
    up.Resize(8, 1, filter_point);
    EXPECT_EQ(Bytes(up), (std::vector<u8>{10, 10, 11, 11, 12, 12, 13, 13}));
}

TEST(ScaleTest, PointCopiesWholePixels)
{
    image_c image;
    image.Create(2, 2, format_a8r8g8b8);
    const u32 pixels[4] = {0x11223344, 0x55667788, 0x99AABBCC, 0xDDEEFF00};
    for (int i = 0; i < 4; ++i)
        StoreU32(image.GetData() + 4 * i, pixels[i]);
    image.Resize(1, 1, filter_point);
    EXPECT_EQ(LoadU32(image.GetData()), 0xDDEEFF00u);
}

TEST(ScaleTest, BilinearInterpolatesBetweenCentres)
{
    // Samples at 0.25, 0.75, 1.25 and 1.75 source pixels: 0, 63.75, 191.25, 255.
    image_c image = GreyRow({0, 255});
    image.Resize(4, 1, filter_bilinear);
    EXPECT_EQ(Bytes(image), (std::vector<u8>{0, 63, 191, 255}));
}

TEST(ScaleTest, BilinearKeepsAConstantAndClearsTheXByte)
{
    image_c image;
    image.Create(5, 3, format_x8r8g8b8);
    for (int i = 0; i < 15; ++i)
        StoreU32(image.GetData() + 4 * i, 0xFF336699);
    image.Resize(7, 6, filter_bilinear);
    for (int i = 0; i < 42; ++i)
        EXPECT_EQ(LoadU32(image.GetData() + 4 * i), 0x00336699u) << i;

    image_c alpha;
    alpha.Create(3, 3, format_a8r8g8b8);
    alpha.Fill(0x80336699);
    alpha.Resize(2, 2, filter_bilinear);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(LoadU32(alpha.GetData() + 4 * i), 0x80336699u);
}

// Cubic convolution with a = -0.5 evaluated in double precision, as an
// independent reference for the filter.
double Keys(double x)
{
    const double a = -0.5;
    x = std::fabs(x);
    if (x < 1)
        return (a + 2) * x * x * x - (a + 3) * x * x + 1;
    if (x < 2)
        return a * x * x * x - 5 * a * x * x + 8 * a * x - 4 * a;
    return 0;
}

TEST(ScaleTest, BicubicFollowsTheCubicKernelAndClamps)
{
    const std::vector<u8> source = {0, 0, 0, 255, 255, 255};
    image_c image = GreyRow(source);
    image.Resize(12, 1, filter_bicubic);
    const int m = 6, n = 12;
    bool overshoot = false;
    for (int j = 0; j < n; ++j) {
        const double centre = (j + 0.5) * m / n - 0.5;
        double sum = 0;
        for (int k = int(std::floor(centre)) - 1; k <= int(std::floor(centre)) + 2; ++k)
            sum += Keys(centre - k) * source[std::clamp(k, 0, m - 1)];
        if (sum > 255 || sum < 0)
            overshoot = true;
        const int expected = std::clamp(int(sum), 0, 255);
        EXPECT_NEAR(image.GetData()[j], expected, 1) << j;
    }
    EXPECT_TRUE(overshoot);
}

TEST(ScaleTest, BicubicDownscalesTwoDimensions)
{
    image_c image;
    image.Create(4, 4, format_x8r8g8b8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            StoreU32(image.GetData() + 4 * (y * 4 + x), 0xFF000000 | u32(x * 60) << 16 | u32(y * 60));
    image.Resize(2, 2, filter_bicubic);
    // Halving samples at source positions 0.5 and 2.5: taps weight -1/16, 9/16, 9/16, -1/16.
    const double red[2] = {(-0.0 + 9 * 0 + 9 * 60 - 1 * 120) / 16.0, (-60 + 9 * 120 + 9 * 180 - 180) / 16.0};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            const u32 p = LoadU32(image.GetData() + 4 * (y * 2 + x));
            EXPECT_EQ(p >> 24, 0u);
            EXPECT_NEAR(double((p >> 16) & 0xFF), red[x], 1.0);
            EXPECT_NEAR(double(p & 0xFF), red[y], 1.0);
        }
}

TEST(ScaleTest, UnknownFilterIsRefusedBeforeChange)
{
    image_c image = GreyRow({1, 2, 3, 4});
    const u8* before = image.GetData();
    try {
        image.Resize(2, 1, 7);
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "void image_c::Resize(int width, int height, int filter)");
    }
    EXPECT_EQ(image.GetWidth(), 4);
    EXPECT_EQ(image.GetData(), before);
    EXPECT_EQ(Bytes(image), (std::vector<u8>{1, 2, 3, 4}));
}

TEST(ScaleTest, UnsupportedFormatsThrowTheScalerText)
{
    struct row_s {
        int filter;
        const char* text;
    } rows[] = {
        {filter_point, "void image_c::PointScale(...)"},
        {filter_bilinear, "void image_c::BilinearScale(...)"},
        {filter_bicubic, "void image_c::BicubicScale(...)"},
    };
    for (const row_s& row : rows) {
        image_c image;
        image.Create(4, 4, format_r5g6b5);
        try {
            image.Resize(2, 2, row.filter);
            ADD_FAILURE();
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), row.text);
        }
        EXPECT_EQ(image.GetWidth(), 4);
        EXPECT_TRUE(image.IsValid());
    }
    std::vector<u8> dst(8), src(32);
    EXPECT_THROW(image_c::BilinearScale(dst.data(), 2, 2, 0, src.data(), 4, 4, 0, format_r5g6b5),
                 std::invalid_argument);
}

TEST(ScaleTest, ScalersHonourPaddingAndIgnoreEqualSides)
{
    const u8 src[] = {10, 20, 99, 30, 40, 99}; // 2x2 l8, one padding pixel per row
    u8 dst[4 * 4];
    std::fill(std::begin(dst), std::end(dst), 0xEE);
    image_c::PointScale(dst, 2, 4, 2, src, 2, 2, 1, format_l8);
    const u8 expected[] = {10, 20, 0xEE, 0xEE, 10, 20, 0xEE, 0xEE, 30, 40, 0xEE, 0xEE, 30, 40, 0xEE, 0xEE};
    EXPECT_EQ(0, std::memcmp(dst, expected, sizeof dst));

    u8 same[4] = {1, 1, 1, 1};
    image_c::BicubicScale(same, 2, 2, 0, src, 2, 2, 1, format_l8);
    EXPECT_EQ(same[0], 1);
}

} // namespace
