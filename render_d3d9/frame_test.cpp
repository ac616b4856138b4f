#include "render_d3d9/frame.h"
#include "image/image.h"
#include "render_d3d9/d3d_error.h"
#include "render_d3d9/state_cache.h"
#include "render_d3d9/texture.h"
#include "render_d3d9/testing/record_fixture.h"
#include "render_d3d9/testing/test_shaders.h"

#include <cstring>
#include <vector>

namespace {

class Frame : public record_fixture_c {
protected:
    void SetUp() override
    {
        record_fixture_c::SetUp();
        Make();
        ASSERT_TRUE(cache.Init(device, d3d_vp_hardware, 4, false, true, shaders.set, 1));
        frame.SetOutputSize(640, 480);
        frame.SetViewportRect(0, 0, 640, 480);
        config.ClearLog();
    }

    test_shader_set_s shaders = MakeTestShaderSet();
    d3d_state_cache_c cache;
    d3d_frame_c frame{cache, true};
};

TEST_F(Frame, GammaRampsAreTruncatedHeldAndOnlyWhole)
{
    std::vector<vec3_c> ramp(257, vec3_c{0.5f, 0.5f, 0.5f});
    frame.SetGammaRamp(ramp.data(), 255);
    frame.SetGammaRamp(ramp.data(), 257);
    EXPECT_FALSE(rec->GammaRampSet());
    ramp[0] = {-0.5f, 2.0f, 100.7f / 65535.0f};
    ramp[1] = {1.0f, 0.0f, 0.5f};
    frame.SetGammaRamp(ramp.data(), 256);
    ASSERT_TRUE(rec->GammaRampSet());
    EXPECT_EQ(rec->GammaRamp().red[0], 0);
    EXPECT_EQ(rec->GammaRamp().green[0], 65535);
    EXPECT_EQ(rec->GammaRamp().blue[0], 100) << "truncated, not rounded";
    EXPECT_EQ(rec->GammaRamp().red[1], 65535);
    EXPECT_EQ(rec->GammaRamp().blue[1], 32767);
}

TEST_F(Frame, ClearRules)
{
    frame.Clear({}, 0, false, false, false, nullptr);
    EXPECT_EQ(config.Count("Clear"), 0u) << "nothing asked";
    d3d_frame_c without_stencil(cache, false);
    without_stencil.SetOutputSize(640, 480);
    without_stencil.SetViewportRect(0, 0, 640, 480);
    without_stencil.Clear({}, 0, false, false, true, nullptr);
    EXPECT_EQ(config.Count("Clear"), 0u) << "only the stencil, and the flags have none";
    frame.Clear({}, 0, false, false, true, nullptr);
    ASSERT_EQ(rec->Clears().size(), 1u);
    EXPECT_EQ(rec->Clears()[0].flags, D3DCLEAR_STENCIL);

    frame.SetViewportRect(10, 20, 100, 50);
    frame.Clear({1.0f, 0.0f, 0.0f}, 7, true, true, true, nullptr);
    ASSERT_EQ(rec->Clears().size(), 2u);
    const record_clear_s& clear = rec->Clears()[1];
    EXPECT_EQ(clear.flags, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL);
    EXPECT_EQ(clear.color, 0x00FF0000u);
    EXPECT_EQ(clear.stencil, 7u);
    EXPECT_EQ(clear.z, 1.0f);
    EXPECT_EQ(clear.viewport.X, 10u);
    EXPECT_EQ(clear.target, rec->BackBuffer());

    frame.SetViewportRect(0, 0, 0, 50);
    frame.Clear({}, 0, true, false, false, nullptr);
    EXPECT_EQ(rec->Clears().size(), 2u) << "an empty viewport clears nothing";
}

TEST_F(Frame, TheGlowBufferIsClearedOnlyWithARealClear)
{
    texture_def_c definition;
    definition.width = 80;
    definition.height = 60;
    d3d_texture_c glow(device, "Glow Buffer", definition, true, D3DFMT_X8R8G8B8);
    frame.Clear({}, 0, false, false, false, &glow);
    EXPECT_EQ(rec->Clears().size(), 0u);
    frame.Clear({0.5f, 0.5f, 0.5f}, 0, false, true, false, &glow);
    ASSERT_EQ(rec->Clears().size(), 2u);
    EXPECT_EQ(rec->Clears()[1].flags, D3DCLEAR_TARGET);
    EXPECT_EQ(rec->Clears()[1].color, 0u);
    EXPECT_EQ(rec->Clears()[1].target, glow.GetSurface());
    frame.BeginScene();
    frame.EndScene();
    EXPECT_EQ(rec->State().renderTargets[0], rec->BackBuffer());
}

TEST_F(Frame, SceneBracketsAndPresent)
{
    frame.EndScene();
    EXPECT_EQ(config.Count("EndScene"), 0u);
    frame.BeginScene();
    frame.BeginScene();
    EXPECT_EQ(config.Count("BeginScene"), 1u);
    frame.Present();
    frame.Clear({}, 0, true, false, false, nullptr);
    EXPECT_EQ(config.Count("Present"), 0u) << "nothing is presented inside a scene";
    EXPECT_EQ(config.Count("Clear"), 0u);
    cache.SetPixelShader(1);
    frame.EndScene();
    EXPECT_EQ(rec->State().pixelShader, nullptr);
    EXPECT_EQ(rec->State().declaration, nullptr);
    EXPECT_EQ(rec->State().fvf, 0u);
    EXPECT_EQ(rec->CursorShows(), 1u);
    frame.Present();
    EXPECT_EQ(rec->PresentCount(), 1u);
    config.Fail("Present", E_FAIL);
    EXPECT_NO_THROW(frame.Present()) << "other results are ignored";
    config.Fail("Present", D3DERR_DEVICELOST);
    try {
        frame.Present();
        FAIL() << "a lost device must be reported";
    } catch (const d3d_error_c& error) {
        EXPECT_STREQ(error.what(), "Direct3D device lost!");
    }
}

TEST_F(Frame, CaptureCopiesTheDisplayedViewport)
{
    for (const u32 padding : {0u, 8u}) {
        config.pitchPadding = padding;
        frame.SetViewportRect(0, 0, 640, 480);
        frame.Clear({0.0f, 0.0f, 1.0f}, 0, true, false, false, nullptr);
        frame.SetViewportRect(100, 50, 20, 10);
        frame.Clear({1.0f, 1.0f, 0.0f}, 0, true, false, false, nullptr);
        frame.Present();
        frame.SetViewportRect(110, 40, 20, 20);
        image_c image;
        frame.CaptureScreen(image);
        ASSERT_EQ(image.GetWidth(), 20);
        ASSERT_EQ(image.GetFormat(), format_x8r8g8b8);
        auto pixel = [&](int _x, int _y) {
            u32 value;
            std::memcpy(&value, image.GetData() + (_y * 20 + _x) * 4, 4);
            return value;
        };
        EXPECT_EQ(pixel(0, 0), 0x000000FFu) << padding;
        EXPECT_EQ(pixel(0, 10), 0x00FFFF00u) << padding;
        EXPECT_EQ(pixel(15, 19), 0x000000FFu) << padding;
    }
    config.Fail("GetFrontBufferData");
    image_c untouched;
    frame.CaptureScreen(untouched);
    EXPECT_FALSE(untouched.IsValid());
}

TEST_F(Frame, DisplayModesAreListedAndSorted)
{
    config.modes[D3DFMT_X8R8G8B8] = {{1024, 768, 75, D3DFMT_X8R8G8B8},
                                     {640, 480, 60, D3DFMT_X8R8G8B8},
                                     {1024, 768, 60, D3DFMT_X8R8G8B8},
                                     {640, 480, 60, D3DFMT_X8R8G8B8}};
    config.modes[D3DFMT_R5G6B5] = {{640, 480, 60, D3DFMT_R5G6B5}};
    std::vector<display_mode_s> modes;
    ASSERT_TRUE(d3d_frame_c::EnumDisplayModes(nullptr, modes));
    const std::vector<display_mode_s> expected = {
        {640, 480, 16, 60}, {640, 480, 32, 60}, {640, 480, 32, 60}, {1024, 768, 32, 60}, {1024, 768, 32, 75}};
    EXPECT_EQ(modes, expected);
    config.modes.erase(D3DFMT_R5G6B5);
    ASSERT_TRUE(d3d_frame_c::EnumDisplayModes(d3d, modes));
    EXPECT_EQ(modes.size(), 4u) << "no 16-bit modes, only 32-bit records";
    config.Fail("Direct3DCreate9");
    EXPECT_FALSE(d3d_frame_c::EnumDisplayModes(nullptr, modes));
    EXPECT_TRUE(modes.empty());
}

}
