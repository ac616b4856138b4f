#include "dxt/enhance.h"

#include "dxt/testing/capture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

byte_image_c Edges(i32 w, i32 h)
{
    byte_image_c img(w, h, 3);
    for (i32 p = 0; p < 3; ++p)
        for (i32 y = 0; y < h; ++y)
            for (i32 x = 0; x < w; ++x)
                img.planes[p][y * w + x] = static_cast<u8>(((x / 8 + y / 8) % 2) ? 200 : 40);
    return img;
}

TEST(Enhance, BorderPixelsKeepTheirPlace)
{
    enhance_params_c p;
    p.size = 2;
    p.k = 5.0f;
    p.lambda = 0.5f;
    for (const bool weighted : {false, true})
        for (const bool second : {false, true}) {
            p.weighted = weighted;
            const vector_grid_c field = DisplacementField(Edges(24, 16), p, second);
            for (i32 x = 0; x < 24; ++x) {
                EXPECT_FLOAT_EQ(field.values[x].x, x);
                EXPECT_FLOAT_EQ(field.values[x].y, 0.0f);
                EXPECT_FLOAT_EQ(field.values[15 * 24 + x].y, 15.0f);
            }
            for (i32 y = 0; y < 16; ++y)
                EXPECT_FLOAT_EQ(field.values[y * 24 + 23].x, 23.0f);
        }
}

TEST(Enhance, FirstMethodOnAFlatImageChangesLittle)
{
    byte_image_c flat(16, 16, 3);
    for (auto& plane : flat.planes)
        for (u8& v : plane)
            v = 120;
    enhance_params_c p;
    p.size = 1;
    p.k = 2.0f;
    p.lambda = 1.0f;
    const byte_image_c out = EnhanceLevel(flat, p, false);
    ASSERT_EQ(out.width, 16);
    i32 kept = 0;
    for (const auto& plane : out.planes)
        for (u8 v : plane)
            kept += v == 120;
    // The field drifts from the pixel positions only inside, and stays in the image.
    EXPECT_GT(kept, 16 * 16 * 3 / 2);
}

TEST(Enhance, SecondMethodSharpensOrTransfers)
{
    enhance_params_c p;
    p.size = 1;
    p.k = 3.0f;
    p.lambda = 0.5f;
    p.strength = 0.0f;
    const byte_image_c level = Edges(16, 16);
    // Strength 0 transfers no detail: the level comes back unchanged.
    EXPECT_EQ(EnhanceLevel(level, p, true).planes, level.planes);
    p.sharpen = true;
    const byte_image_c sharp = EnhanceLevel(level, p, true);
    EXPECT_EQ(sharp.width, 16);
    EXPECT_EQ(sharp.planes.size(), 3u);
}

// Soft edges: the field moves sample positions along the slopes.
std::vector<u32> Checker(i32 w, i32 h)
{
    std::vector<u32> p(static_cast<size_t>(w) * h);
    for (i32 y = 0; y < h; ++y)
        for (i32 x = 0; x < w; ++x) {
            const u32 v = static_cast<u32>(120 + 100 * std::sin(x / 5.0) * std::cos(y / 7.0));
            p[y * w + x] = 0xFF000000u | v * 0x010101u;
        }
    return p;
}

// The first level of a one-level chain, with and without the enhancement step.
std::pair<std::vector<u8>, std::vector<u8>> WithAndWithout(i32 w, i32 h)
{
    dxt_options_c o = OptionsFor(17, 31);
    o.mip_count = 1;
    o.enhance_on = 1;
    o.enhance_min_size = 8;
    o.enhance_param_1 = 4.0f;
    o.enhance_param_2 = 0.5f;
    EXPECT_EQ(Capture(Checker(w, h), w, h, o), 0);
    const std::vector<u8> enhanced = Deliveries()[0].bytes;
    o.enhance_on = 0;
    EXPECT_EQ(Capture(Checker(w, h), w, h, o), 0);
    return {enhanced, Deliveries()[0].bytes};
}

TEST(Enhance, RunsOnlyAboveTheMinimumSize)
{
    const auto [enhanced, plain] = WithAndWithout(128, 128);
    EXPECT_NE(enhanced, plain);
    // A side of 8 is not above the minimum of 8: left alone.
    const auto [narrow_enhanced, narrow_plain] = WithAndWithout(8, 128);
    EXPECT_EQ(narrow_enhanced, narrow_plain);
}

TEST(Enhance, FactorsThatAreNotNumbersAreRefused)
{
    for (int field = 0; field < 3; ++field) {
        dxt_options_c o = OptionsFor(17, 31);
        o.mip_count = 1;
        o.enhance_on = 1;
        o.enhance_min_size = 8;
        o.enhance_param_1 = 4.0f;
        o.enhance_param_2 = 0.5f;
        (field == 0 ? o.enhance_param_1 : field == 1 ? o.enhance_param_2 : o.enhance_param_3) = std::nanf("");
        EXPECT_EQ(Capture(Checker(64, 64), 64, 64, o), -4) << "field " << field;
    }
}

// Huge but finite factors overflow inside the step; the result must still be
// bytes (the sanitizer build checks the conversions).
TEST(Enhance, HugeFactorsStillGiveBytes)
{
    dxt_options_c o = OptionsFor(17, 31);
    o.mip_count = 1;
    o.enhance_on = 1;
    o.enhance_min_size = 8;
    o.enhance_param_1 = 1.0f;
    o.enhance_param_2 = -1.4e26f;
    o.enhance_param_3 = 3.0e38f;
    o.enhance_flag_1 = o.enhance_flag_2 = o.enhance_flag_3 = 1;
    for (u8 method : {0, 1}) {
        o.enhance_method = method;
        EXPECT_EQ(Capture(Checker(64, 64), 64, 64, o), 0) << "method " << int(method);
    }
}

} // namespace
