#include "engine/renderer.h"
#include "engine/testing/recording_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>
#include <string>

namespace {

// Exposes the ramp controls an implementation may set.
class ramp_renderer_c : public recording_renderer_c {
public:
    void SetControls(f32 _brightness, f32 _contrast, f32 _levels, bool _inverted)
    {
        brightness = _brightness;
        contrast = _contrast;
        levels = _levels;
        inverted = _inverted;
    }

    // Marks the ramp dirty and builds it.
    const gamma_ramp_t& Build()
    {
        gammaDirty = true;
        BuildGammaRamp();
        return gammaRamps.back();
    }
};

struct viewport_case_t {
    f32 x, y, w, h;
    i32 ex, ey, ew, eh;
};

class ViewportTest : public testing::TestWithParam<viewport_case_t> {};

} // namespace

TEST(RendererTest, ConstructionDefaults)
{
    recording_renderer_c renderer;
    EXPECT_EQ(renderer.GetOutputWidth(), 0);
    EXPECT_EQ(renderer.GetPixelAspect(), 1.0f);
    EXPECT_EQ(renderer.GetViewportAspect(), 1.0f);
    EXPECT_EQ(renderer.GetGamma(), 1.0f);
    EXPECT_FALSE(renderer.IsGammaDirty());
    EXPECT_EQ(renderer.GetWarningLog().GetLength(), 0u);
    EXPECT_EQ(renderer.GetViewportWidth(), 0);
}

TEST_P(ViewportTest, ClampsIntoTheOutput)
{
    const viewport_case_t c = GetParam();
    recording_renderer_c renderer(640, 480);
    renderer.ClearCalls();
    renderer.SetViewport(c.x, c.y, c.w, c.h, 1.25f);
    EXPECT_EQ(renderer.GetViewportX(), c.ex);
    EXPECT_EQ(renderer.GetViewportY(), c.ey);
    EXPECT_EQ(renderer.GetViewportWidth(), c.ew);
    EXPECT_EQ(renderer.GetViewportHeight(), c.eh);
    EXPECT_EQ(renderer.GetHalfViewportWidth(), c.ew * 0.5f);
    EXPECT_EQ(renderer.GetHalfViewportHeight(), c.eh * 0.5f);
    EXPECT_EQ(renderer.GetViewportAspect(), 1.25f);
    const recorded_call_c* call = renderer.FindCall("SetViewportRect");
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->numbers, (std::vector<double>{double(c.ex), double(c.ey), double(c.ew), double(c.eh)}));
}

INSTANTIATE_TEST_SUITE_P(Output640x480, ViewportTest,
                         testing::Values(viewport_case_t{0, 0, 1, 1, 0, 0, 640, 480},
                                         viewport_case_t{-0.25f, 0, 1, 1, 0, 0, 480, 480},
                                         viewport_case_t{0.9f, 0.9f, 0.5f, 0.5f, 576, 432, 64, 48},
                                         viewport_case_t{0, -0.5f, 1, 0.25f, 0, 0, 640, 0},
                                         viewport_case_t{2, 2, 1, 1, 640, 480, 0, 0},
                                         viewport_case_t{0.5f, 0.5f, -1, -1, 320, 240, 0, 0},
                                         viewport_case_t{0, 0, 1e30f, -1e30f, 0, 0, 640, 0}));

TEST(RendererTest, ResolutionAndPixelAspect)
{
    recording_renderer_c renderer;
    renderer.SetResolution(640, 480);
    EXPECT_EQ(renderer.GetPixelAspect(), 1.0f);
    renderer.SetResolution(800, 480);
    EXPECT_FLOAT_EQ(renderer.GetPixelAspect(), 0.8f);
    renderer.SetResolution(0, 480);
    EXPECT_EQ(renderer.GetPixelAspect(), 1.0f);
    EXPECT_EQ(renderer.GetOutputWidth(), 0);
    EXPECT_EQ(renderer.GetOutputHeight(), 480);
    renderer.SetResolution(-5, 100);
    EXPECT_EQ(renderer.GetOutputWidth(), 0);
    // The implementation receives the values unchanged.
    const recorded_call_c* call = renderer.FindCall("SetOutputSize", 3);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->numbers, (std::vector<double>{-5, 100}));

    renderer.SetResolutionAspect(1280, 720, 16, 9);
    EXPECT_EQ(renderer.GetOutputWidth(), 1280);
    EXPECT_FLOAT_EQ(renderer.GetPixelAspect(), 0.75f);
    renderer.SetResolutionAspect(1280, 720, 0, 9);
    EXPECT_EQ(renderer.GetPixelAspect(), 1.0f);
}

TEST(RendererTest, GammaIsRaisedToEpsilonAndMarksTheRampDirty)
{
    recording_renderer_c renderer;
    renderer.SetGamma(0.0f, false);
    EXPECT_EQ(renderer.GetGamma(), 1.1920929e-7f);
    EXPECT_TRUE(renderer.IsGammaDirty());
    EXPECT_EQ(renderer.CountCalls("SetGammaRamp"), 0u);

    renderer.BuildGammaRamp();
    EXPECT_FALSE(renderer.IsGammaDirty());
    renderer.SetGamma(1.1920929e-7f, true); // the stored value: nothing happens
    EXPECT_FALSE(renderer.IsGammaDirty());
    EXPECT_EQ(renderer.CountCalls("SetGammaRamp"), 1u);

    renderer.SetGamma(2.0f, true);
    EXPECT_FALSE(renderer.IsGammaDirty());
    EXPECT_EQ(renderer.CountCalls("SetGammaRamp"), 2u);
    renderer.BuildGammaRamp(); // clean: nothing
    EXPECT_EQ(renderer.CountCalls("SetGammaRamp"), 2u);
}

TEST(RendererTest, DefaultRampIsTheIdentity)
{
    ramp_renderer_c renderer;
    const gamma_ramp_t& ramp = renderer.Build();
    for (int i = 0; i < 256; ++i) {
        EXPECT_FLOAT_EQ(ramp[i].x, i / 255.0f) << i;
        EXPECT_EQ(ramp[i].x, ramp[i].z);
    }
}

TEST(RendererTest, RampGammaExponent)
{
    ramp_renderer_c renderer;
    renderer.SetGamma(2.0f, true);
    const gamma_ramp_t& ramp = renderer.gammaRamps.back();
    EXPECT_NEAR(ramp[64].y, std::sqrt(64 / 255.0f), 1e-6f);
    EXPECT_EQ(ramp[0].y, 0.0f);
    EXPECT_FLOAT_EQ(ramp[255].y, 1.0f);
}

TEST(RendererTest, RampInversionBrightnessAndContrast)
{
    ramp_renderer_c renderer;
    renderer.SetControls(0.0f, 0.0f, 1.0f, true);
    gamma_ramp_t ramp = renderer.Build();
    EXPECT_EQ(ramp[0].x, 1.0f);
    EXPECT_FLOAT_EQ(ramp[255].x, 0.0f);

    renderer.SetControls(0.5f, 0.0f, 1.0f, false);
    ramp = renderer.Build();
    EXPECT_FLOAT_EQ(ramp[0].x, 0.5f);
    EXPECT_EQ(ramp[200].x, 1.0f); // clamped

    // Contrast 0.5: slope tan(3 pi / 8) around the middle, clamped.
    renderer.SetControls(0.0f, 0.5f, 1.0f, false);
    ramp = renderer.Build();
    EXPECT_NEAR(ramp[100].x, (100 / 255.0f - 0.5f) * std::tan(3 * 3.14159265f / 8) + 0.5f, 1e-5f);
    EXPECT_EQ(ramp[255].x, 1.0f);
    EXPECT_EQ(ramp[0].x, 0.0f);

    // Contrast -0.5: slope tan(pi/8) around the middle.
    renderer.SetControls(0.0f, -0.5f, 1.0f, false);
    ramp = renderer.Build();
    EXPECT_NEAR(ramp[255].x, (1.0f - 0.5f) * std::tan(3.14159265f / 8) + 0.5f, 1e-6f);
}

TEST(RendererTest, RampLevelsPosterise)
{
    ramp_renderer_c renderer;
    renderer.SetControls(0.0f, 0.0f, 0.5f, false);
    const gamma_ramp_t& ramp = renderer.Build();
    std::set<float> distinct;
    for (const vec3_c& entry : ramp)
        distinct.insert(entry.x);
    // m = 0.01 / 0.35 - 0.01: round(i x m) takes the values 0 to 5.
    EXPECT_EQ(distinct.size(), 6u);
    EXPECT_EQ(ramp[0].x, 0.0f);
}

TEST(RendererTest, WarningLogStopsAt16384Characters)
{
    recording_renderer_c renderer;
    renderer.LogWarning(string_c(std::string(16382, 'a')));
    EXPECT_EQ(renderer.GetWarningLog().GetLength(), 16383u);
    renderer.LogWarning("[scene.lws] Unused weight map!");
    const u32 length = renderer.GetWarningLog().GetLength();
    EXPECT_EQ(length, 16383u + 30 + 1);
    renderer.LogWarning("more");
    EXPECT_EQ(renderer.GetWarningLog().GetLength(), length);
    EXPECT_EQ(renderer.GetWarningLog()[-1], '\n');
}

TEST(RendererTest, WarningLogOfExactly16384TakesNoLine)
{
    recording_renderer_c renderer;
    renderer.LogWarning(string_c(std::string(16383, 'a')));
    ASSERT_EQ(renderer.GetWarningLog().GetLength(), 16384u);
    renderer.LogWarning("x");
    EXPECT_EQ(renderer.GetWarningLog().GetLength(), 16384u);
}

TEST(RendererTest, StatisticsOfEmptyCaches)
{
    recording_renderer_c renderer;
    std::ostringstream out;
    renderer.PrintStatistics(out);
    EXPECT_EQ(out.str(), "Geometry Cache: 0 KB, 0 element(s)\n\nTexture Cache: 0 KB, 0 element(s)\n\n"
                         "Font Cache: 0 KB, 0 element(s)\n");
}
