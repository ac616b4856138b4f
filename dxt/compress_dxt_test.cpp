#include "dxt/compress_dxt.h"

#include "dxt/testing/capture.h"
#include "dxt/testing/reference_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>

namespace {

u32 Argb(u32 a, u32 r, u32 g, u32 b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

std::vector<u32> Picture(i32 w, i32 h)
{
    std::vector<u32> p(static_cast<size_t>(w) * h);
    for (i32 y = 0; y < h; ++y)
        for (i32 x = 0; x < w; ++x) {
            const u32 r = (x * 255) / std::max(1, w - 1), g = (y * 255) / std::max(1, h - 1);
            const u32 b = static_cast<u32>(128 + 100 * std::sin(x * 0.2) * std::cos(y * 0.15));
            const u32 a = ((x / 8 + y / 8) % 2) ? 255 : static_cast<u32>((x * 4 + y) % 256);
            p[static_cast<size_t>(y) * w + x] = Argb(a, r, g, b);
        }
    return p;
}

TEST(CompressDxt, RefusesBadArguments)
{
    const dxt_options_c o = OptionsFor(12);
    const u8 pixels[64 * 64 * 4] = {};
    EXPECT_EQ(CompressDxt(nullptr, 4, 4, 16, &o, 4, CaptureLevel), -1);
    EXPECT_EQ(CompressDxt(nullptr, 4, 4, 16, &o, 2, CaptureLevel), -1);
    EXPECT_EQ(CompressDxt(pixels, 4, 4, 16, &o, 2, CaptureLevel), -2);
    EXPECT_EQ(CompressDxt(pixels, 4, 4, 16, &o, 5, CaptureLevel), -2);
}

TEST(CompressDxt, NonPowerOfTwoWithoutRescalingIsRefused)
{
    std::vector<u32> p(96 * 64, 0xFF808080);
    Deliveries().clear();
    for (i32 format = 10; format <= 13; ++format) {
        EXPECT_EQ(Capture(p, 96, 64, OptionsFor(format)), -3) << format;
        EXPECT_EQ(Capture(p, 64, 48, OptionsFor(format)), -3) << format;
    }
    EXPECT_TRUE(Deliveries().empty());
    dxt_options_c cube = OptionsFor(12);
    cube.texture_kind = 81;
    std::vector<u32> strip(600 * 100);
    EXPECT_EQ(Capture(strip, 600, 100, cube), -3);
    std::vector<u32> good(768 * 128);
    EXPECT_EQ(Capture(good, 768, 128, cube), 0);
    EXPECT_EQ(Deliveries().size(), 6u);
}

TEST(CompressDxt, RescalingMakesPowersOfTwo)
{
    std::vector<u32> p(96 * 64, 0xFF808080);
    dxt_options_c o = OptionsFor(12);
    o.rescale_mode = 2;
    ASSERT_EQ(Capture(p, 96, 64, o), 0);
    ASSERT_EQ(Deliveries().size(), 1u);
    EXPECT_EQ(Deliveries()[0].bytes.size(), 16u * 32 * 16);
    const std::vector<u32> decoded = DecodeDxtLevel(Deliveries()[0].bytes.data(), 128, 64, 12);
    for (u32 px : decoded)
        EXPECT_NEAR(static_cast<i32>((px >> 8) & 0xff), 0x80, 4);
}

TEST(CompressDxt, ExplicitSizesMustBeUsable)
{
    std::vector<u32> p(16 * 16, 0xFF808080);
    dxt_options_c o = OptionsFor(17);
    o.rescale_mode = 4;
    o.rescale_width = 100.5f;
    o.rescale_height = 3.0f;
    ASSERT_EQ(Capture(p, 16, 16, o), 0);
    EXPECT_EQ(Deliveries()[0].bytes.size(), 100u * 3 * 4);
    for (f32 bad : {0.0f, -4.0f, 1e12f, NAN}) {
        o.rescale_width = bad;
        EXPECT_EQ(Capture(p, 16, 16, o), -4) << bad;
    }
}

TEST(CompressDxt, DxtFaceThatStaysNonPowerOfTwoIsAFailure)
{
    // Rescale modes look at the whole strip; the faces of this one stay 100 wide.
    std::vector<u32> strip(600 * 128);
    dxt_options_c o = OptionsFor(10);
    o.texture_kind = 81;
    o.rescale_mode = 1;
    EXPECT_EQ(Capture(strip, 600, 128, o), -4);
    EXPECT_TRUE(Deliveries().empty());
}

struct format_case_c {
    i32 format;
    f64 max_rms;       // colour channels, 0..255, full fit with equal weights
    f64 max_quick_rms; // the same with the quick fit
    i32 alpha_tolerance;
};

class DecodesClose : public ::testing::TestWithParam<format_case_c> {};

TEST_P(DecodesClose, WithinStatedError)
{
    const format_case_c c = GetParam();
    const i32 w = 64, h = 32;
    std::vector<u32> p = Picture(w, h);
    if (c.format == 11)
        for (u32& px : p)
            px = (px >> 24) > 128 ? px | 0xFF000000 : px & 0x00FFFFFF;
    for (const bool quick : {false, true}) {
        dxt_options_c o = OptionsFor(c.format);
        o.quick_fit = quick;
        o.uniform_weights = 1;
        ASSERT_EQ(Capture(p, w, h, o), 0);
        ASSERT_EQ(Deliveries().size(), 1u);
        const std::vector<u32> d = DecodeDxtLevel(Deliveries()[0].bytes.data(), w, h, c.format);
        f64 sum = 0.0;
        for (size_t i = 0; i < p.size(); ++i) {
            const bool transparent = c.format == 11 && (p[i] >> 24) <= 128;
            if (transparent) {
                EXPECT_EQ(d[i] >> 24, 0u) << i;
                continue;
            }
            for (i32 ch = 0; ch < 3; ++ch) {
                const f64 e = static_cast<f64>((p[i] >> (8 * ch)) & 0xff) - ((d[i] >> (8 * ch)) & 0xff);
                sum += e * e;
            }
            if (c.format >= 12) {
                EXPECT_NEAR(static_cast<i32>(d[i] >> 24), static_cast<i32>(p[i] >> 24), c.alpha_tolerance) << i;
            }
        }
        EXPECT_LT(std::sqrt(sum / (3.0 * p.size())), quick ? c.max_quick_rms : c.max_rms) << "quick " << quick;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, DecodesClose,
                         ::testing::Values(format_case_c{10, 5.2, 8.0, 0}, format_case_c{11, 5.2, 8.0, 0},
                                           format_case_c{12, 5.2, 8.0, 8}, format_case_c{13, 5.2, 8.0, 12}));

// The default weights favour green: its error stays well below the others'.
TEST(CompressDxt, PerceptualWeightsFavourGreen)
{
    const std::vector<u32> p = Picture(64, 32);
    ASSERT_EQ(Capture(p, 64, 32, OptionsFor(10)), 0);
    const std::vector<u32> d = DecodeDxtLevel(Deliveries()[0].bytes.data(), 64, 32, 10);
    f64 sum[3] = {};
    for (size_t i = 0; i < p.size(); ++i)
        for (i32 ch = 0; ch < 3; ++ch) {
            const f64 e = static_cast<f64>((p[i] >> (8 * ch)) & 0xff) - ((d[i] >> (8 * ch)) & 0xff);
            sum[ch] += e * e;
        }
    const f64 n = static_cast<f64>(p.size());
    EXPECT_LT(std::sqrt(sum[1] / n), 2.0);
    EXPECT_LT(std::sqrt(sum[2] / n), 6.0);
    EXPECT_LT(std::sqrt(sum[0] / n), 13.0);
}

TEST(CompressDxt, UnknownOutputFormatIsRefused)
{
    std::vector<u32> p(16, 0);
    for (i32 format : {0, 9, 24, -1})
        EXPECT_EQ(Capture(p, 4, 4, OptionsFor(format)), -4) << format;
    EXPECT_EQ(Capture(p, 0, 4, OptionsFor(17)), -4);
}

TEST(CompressDxt, ThreeBytePixelsAreOpaque)
{
    const u8 pixels[4 * 4 * 3] = {10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30, 10,
                                  20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20,
                                  30, 10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30, 10, 20, 30};
    const dxt_options_c o = OptionsFor(17);
    Deliveries().clear();
    ASSERT_EQ(CompressDxt(pixels, 4, 4, 12, &o, 3, CaptureLevel), 0);
    ASSERT_EQ(Deliveries()[0].bytes.size(), 64u);
    EXPECT_EQ(Deliveries()[0].bytes[0], 10);
    EXPECT_EQ(Deliveries()[0].bytes[2], 30);
    EXPECT_EQ(Deliveries()[0].bytes[3], 255);
}

TEST(CompressDxt, OneLevelOf256x256Dxt5)
{
    std::vector<u32> p = Picture(256, 256);
    ASSERT_EQ(Capture(p, 256, 256, OptionsFor(13)), 0);
    ASSERT_EQ(Deliveries().size(), 1u);
    EXPECT_EQ(Deliveries()[0].level, 0);
    EXPECT_EQ(Deliveries()[0].bytes.size(), 65536u);
}

TEST(CompressDxt, NullCallbackDoesTheWork)
{
    std::vector<u32> p = Picture(64, 64);
    const dxt_options_c o = OptionsFor(10, 0);
    EXPECT_EQ(CompressDxt(reinterpret_cast<const u8*>(p.data()), 64, 64, 256, &o, 4, nullptr), 0);
}

TEST(CompressDxt, RowPitchShorterThanARowIsRefused)
{
    std::vector<u32> p(64 * 64);
    const dxt_options_c o = OptionsFor(10);
    EXPECT_EQ(CompressDxt(reinterpret_cast<const u8*>(p.data()), 64, 64, 128, &o, 4, CaptureLevel), -4);
}

i32 Reenter(const u8*, i32, u32)
{
    u32 pixel = 0;
    const dxt_options_c o = OptionsFor(17);
    Deliveries().push_back({CompressDxt(reinterpret_cast<const u8*>(&pixel), 1, 1, 4, &o, 4, CaptureLevel), {}});
    return 0;
}

TEST(CompressDxt, ACallFromInsideACallbackIsRefused)
{
    u32 pixel = 0;
    const dxt_options_c o = OptionsFor(17);
    Deliveries().clear();
    ASSERT_EQ(CompressDxt(reinterpret_cast<const u8*>(&pixel), 1, 1, 4, &o, 4, Reenter), 0);
    ASSERT_EQ(Deliveries().size(), 1u);
    EXPECT_EQ(Deliveries()[0].level, -4);
}

u64 checksum_sink[2];
thread_local u64 running_sum = 0;
i32 SumLevel(const u8* data, i32, u32 n)
{
    for (u32 i = 0; i < n; ++i)
        running_sum = running_sum * 31 + data[i];
    return 0;
}

TEST(CompressDxt, CallsFromTwoThreadsGiveTheSameBytes)
{
    const std::vector<u32> p = Picture(128, 128);
    const dxt_options_c o = OptionsFor(13, 0);
    auto run = [&](i32 slot) {
        for (i32 i = 0; i < 3; ++i) {
            running_sum = 0;
            CompressDxt(reinterpret_cast<const u8*>(p.data()), 128, 128, 512, &o, 4, SumLevel);
        }
        checksum_sink[slot] = running_sum;
    };
    std::thread a(run, 0), b(run, 1);
    a.join();
    b.join();
    EXPECT_EQ(checksum_sink[0], checksum_sink[1]);
}

TEST(CompressDxt, OptionsAreCopiedAtEntry)
{
    std::vector<u32> p(8 * 8, 0xFF102030);
    static dxt_options_c shared;
    shared = OptionsFor(16, 0);
    struct local {
        static i32 Spoil(const u8* d, i32 l, u32 n)
        {
            shared.output_format = 17;
            return CaptureLevel(d, l, n);
        }
    };
    Deliveries().clear();
    ASSERT_EQ(CompressDxt(reinterpret_cast<const u8*>(p.data()), 8, 8, 32, &shared, 4, local::Spoil), 0);
    ASSERT_EQ(Deliveries().size(), 4u);
    EXPECT_EQ(Deliveries()[0].bytes.size(), 8u * 8 * 2);
    EXPECT_EQ(Deliveries()[1].bytes.size(), 4u * 4 * 2);
}

} // namespace

namespace {

TEST(CompressDxt, EnhancementWithoutARadiusIsRefused)
{
    std::vector<u32> p(16 * 16, 0xFF808080);
    dxt_options_c enhance = OptionsFor(13, 0);
    enhance.enhance_on = 1;
    enhance.enhance_min_size = -1;
    EXPECT_EQ(Capture(p, 16, 16, enhance), -4);
    EXPECT_TRUE(Deliveries().empty());
    // One level never reaches the enhancement step.
    enhance.mip_mode = 33;
    EXPECT_EQ(Capture(p, 16, 16, enhance), 0);
}

} // namespace
