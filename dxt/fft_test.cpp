#include "dxt/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

TEST(Fft, ForwardThenInverseReturnsTheInput)
{
    for (u32 n : {2u, 8u, 64u, 1024u}) {
        std::vector<f32> re(n), im(n), fr(n), fi(n), br(n), bi(n);
        for (u32 i = 0; i < n; ++i) {
            re[i] = std::sin(0.37f * i) * 100.0f + static_cast<f32>(i % 7);
            im[i] = std::cos(0.11f * i);
        }
        fft_float(n, 0, re.data(), im.data(), fr.data(), fi.data());
        fft_float(n, 1, fr.data(), fi.data(), br.data(), bi.data());
        for (u32 i = 0; i < n; ++i) {
            EXPECT_NEAR(br[i], re[i], 1e-3f) << n << " " << i;
            EXPECT_NEAR(bi[i], im[i], 1e-4f) << n << " " << i;
        }
    }
}

TEST(Fft, ForwardGivesTheSpectrum)
{
    // A cosine of frequency 1 over 8 samples: 4 at bins 1 and 7.
    const u32 n = 8;
    std::vector<f32> re(n), fr(n), fi(n);
    for (u32 i = 0; i < n; ++i)
        re[i] = std::cos(2.0 * 3.14159265358979 * i / n);
    fft_float(n, 0, re.data(), nullptr, fr.data(), fi.data());
    for (u32 i = 0; i < n; ++i) {
        EXPECT_NEAR(fr[i], (i == 1 || i == 7) ? 4.0f : 0.0f, 1e-5f) << i;
        EXPECT_NEAR(fi[i], 0.0f, 1e-5f) << i;
    }
}

TEST(Fft, OneSampleIsCopied)
{
    const f32 re = 3.5f, im = -2.0f;
    f32 r = 0, i = 0;
    fft_float(1, 0, &re, &im, &r, &i);
    EXPECT_EQ(r, 3.5f);
    EXPECT_EQ(i, -2.0f);
    fft_float(1, 1, &re, nullptr, &r, &i);
    EXPECT_EQ(r, 3.5f);
    EXPECT_EQ(i, 0.0f);
}

TEST(Fft, BadArgumentsThrowInsteadOfEndingTheProcess)
{
    std::vector<f32> a(8), b(8), c(8);
    auto message = [&](u32 n, const f32* in, f32* ro, f32* io) {
        try {
            fft_float(n, 0, in, nullptr, ro, io);
        } catch (const std::invalid_argument& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message(6, a.data(), b.data(), c.data()), "Error in fft():  NumSamples=6 is not power of two");
    EXPECT_EQ(message(0, a.data(), b.data(), c.data()), "Error in fft():  NumSamples=0 is not power of two");
    EXPECT_EQ(message(8, nullptr, b.data(), c.data()), "Error in fft_float():  RealIn == NULL");
    EXPECT_EQ(message(8, a.data(), nullptr, c.data()), "Error in fft_float():  RealOut == NULL");
    EXPECT_EQ(message(8, a.data(), b.data(), nullptr), "Error in fft_float():  ImagOut == NULL");
}

TEST(Fft, BitHelpers)
{
    EXPECT_TRUE(is_power_of_two(1));
    EXPECT_FALSE(is_power_of_two(0));
    EXPECT_FALSE(is_power_of_two(12));
    EXPECT_EQ(bits_needed(1), 0u);
    EXPECT_EQ(bits_needed(1024), 10u);
    EXPECT_EQ(reverse_bits(1, 3), 4u);
    EXPECT_EQ(reverse_bits(6, 3), 3u);
}

} // namespace
