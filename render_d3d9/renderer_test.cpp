#include "render_d3d9/renderer.h"
#include "engine/camera.h"
#include "engine/light.h"
#include "engine/scene.h"
#include "platform/d3d9/record_config.h"
#include "platform/d3d9/record_device.h"
#include "platform/win32/testing/display_double.h"
#include "render_d3d9/d3d_error.h"
#include "render_d3d9/testing/test_window.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class Renderer : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallRecordBackend(config);
        SetDisplayBackend(display);
    }
    void TearDown() override
    {
        SetDisplayBackend(nullptr);
        RemoveRecordBackend();
    }
    record_device_c* Device() const { return config.LastDevice(); }
    HWND TestWindow() const { return window.Get(); }

    record_config_c config;
    std::shared_ptr<display_double_c> display = std::make_shared<display_double_c>();
    test_window_c window{640, 480};
    u32 flags = d3d_flag_stencil;
};

TEST_F(Renderer, AWindowedDeviceIsSetUpWhole)
{
    d3d_renderer_c renderer(&flags);
    ASSERT_TRUE(renderer.create_device(TestWindow(), true));
    EXPECT_EQ(renderer.GetOutputWidth(), 640);
    EXPECT_EQ(renderer.GetOutputHeight(), 480);
    EXPECT_TRUE(renderer.GetStateCache().IsReady());
    const D3DPRESENT_PARAMETERS& parameters = renderer.GetPresentParameters();
    EXPECT_EQ(parameters.BackBufferWidth, 0u);
    EXPECT_EQ(parameters.Windowed, 1);
    EXPECT_EQ(parameters.AutoDepthStencilFormat, D3DFMT_D24S8);
    EXPECT_EQ(parameters.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    EXPECT_EQ(parameters.MultiSampleType, D3DMULTISAMPLE_NONE);
    EXPECT_EQ(Device()->Behaviour(), D3DCREATE_HARDWARE_VERTEXPROCESSING);
    EXPECT_EQ(renderer.GetDepthBits().stencil, 8u);
    EXPECT_EQ(renderer.GetBackBufferBits().color, 24u);
    ASSERT_NE(renderer.GetDiffuseMap(), nullptr);
    EXPECT_EQ(renderer.GetDiffuseMap()->GetFormat(), D3DFMT_L8);
    EXPECT_EQ(renderer.GetDiffuseMap()->GetLevelCount(), 7u);
    ASSERT_NE(renderer.GetSpecularMap(9), nullptr);
    EXPECT_EQ(renderer.GetSpecularMap(9)->GetWidth(), 32u);
    ASSERT_NE(renderer.GetSpriteGeometry(), nullptr);
    EXPECT_EQ(renderer.GetSpriteGeometry()->GetGroups()[0].vertexCount, 1024u);
    EXPECT_EQ(renderer.GetGlowBuffer(0), nullptr) << "no glow without its flag";
    EXPECT_EQ(renderer.GetStateCache().GetVertexProcessing(), d3d_vp_hardware);
}

TEST_F(Renderer, DepthFormatFollowsASixteenBitDesktop)
{
    config.displayMode.Format = D3DFMT_R5G6B5;
    d3d_renderer_c renderer(&flags);
    ASSERT_TRUE(renderer.create_device(TestWindow(), true));
    EXPECT_EQ(renderer.GetPresentParameters().AutoDepthStencilFormat, D3DFMT_D15S1);
    u32 plain = 0;
    d3d_renderer_c without_stencil(&plain);
    ASSERT_TRUE(without_stencil.create_device(TestWindow(), true));
    EXPECT_EQ(without_stencil.GetPresentParameters().AutoDepthStencilFormat, D3DFMT_D16);
}

TEST_F(Renderer, DevicesWithoutAGreyFormatUseThirtyTwoBitFalloffMaps)
{
    for (const D3DFORMAT fallback : {D3DFMT_X8R8G8B8, D3DFMT_X8B8G8R8}) {
        record_config_c local;
        local.Accept(D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, D3DFMT_X8R8G8B8);
        local.Accept(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D24S8);
        local.Accept(0, D3DRTYPE_TEXTURE, fallback);
        InstallRecordBackend(local);
        d3d_renderer_c renderer(&flags);
        ASSERT_TRUE(renderer.create_device(TestWindow(), true)) << fallback;
        EXPECT_EQ(renderer.GetFallbackFormat(), fallback);
        EXPECT_EQ(renderer.GetDiffuseMap()->GetFormat(), fallback);
        auto* texture = static_cast<record_texture_c*>(renderer.GetDiffuseMap()->GetD3DTexture());
        const u8* centre = texture->Level(0)->GetBytes().data() + 32 * texture->Level(0)->GetPitch() + 32 * 4;
        EXPECT_EQ(centre[0], 255);
        EXPECT_EQ(centre[2], 255);
        EXPECT_EQ(centre[3], 0);
    }
    record_config_c bare;
    bare.Accept(D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, D3DFMT_X8R8G8B8);
    bare.Accept(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D24S8);
    InstallRecordBackend(bare);
    d3d_renderer_c renderer(&flags);
    EXPECT_FALSE(renderer.create_device(TestWindow(), true)) << "neither grey nor a 32-bit fallback";
    InstallRecordBackend(config);
}

TEST_F(Renderer, FailedSetUpsLeaveNothingBehind)
{
    const struct {
        const char* what;
        void (*change)(record_config_c&);
    } cases[] = {
        {"no Direct3D", [](record_config_c& _c) { _c.Fail("Direct3DCreate9"); }},
        {"no device", [](record_config_c& _c) { _c.Fail("CreateDevice"); }},
        {"no caps", [](record_config_c& _c) { _c.Fail("GetDeviceCaps"); }},
        {"stencil required, none offered", [](record_config_c& _c) { _c.caps.StencilCaps = 0; }},
        {"no depth format", [](record_config_c& _c) { _c.depthMatches.clear(); }},
        {"no declarations", [](record_config_c& _c) { _c.Fail("CreateVertexDeclaration", E_FAIL, 10); }},
        {"falloff map upload", [](record_config_c& _c) { _c.Fail("LockRect", E_FAIL, 3); }},
        {"sprite geometry", [](record_config_c& _c) { _c.Fail("CreateVertexBuffer"); }},
    };
    for (const auto& c : cases) {
        record_config_c local;
        c.change(local);
        InstallRecordBackend(local);
        d3d_renderer_c renderer(&flags);
        EXPECT_FALSE(renderer.create_device(TestWindow(), true)) << c.what;
        EXPECT_EQ(renderer.GetDevice(), nullptr) << c.what;
        EXPECT_FALSE(renderer.GetStateCache().IsReady()) << c.what;
        EXPECT_EQ(renderer.GetDiffuseMap(), nullptr) << c.what;
    }
    InstallRecordBackend(config);
}

TEST_F(Renderer, MultisamplingAskedWithoutSupportRunsWithout)
{
    config.multisampleTypes.clear();
    flags |= d3d_flag_multisample;
    d3d_renderer_c renderer(&flags);
    ASSERT_TRUE(renderer.create_device(TestWindow(), true));
    EXPECT_EQ(renderer.GetPresentParameters().MultiSampleType, D3DMULTISAMPLE_NONE);
}

TEST_F(Renderer, GlowTargetsNeedTheFlagTheShaderAndEightPixels)
{
    flags |= d3d_flag_glow;
    {
        d3d_renderer_c renderer(&flags);
        ASSERT_TRUE(renderer.create_device(TestWindow(), true));
        ASSERT_NE(renderer.GetGlowBuffer(1), nullptr);
        EXPECT_EQ(renderer.GetGlowBuffer(0)->GetWidth(), 640u);
        EXPECT_EQ(renderer.GetGlowBuffer(1)->GetWidth(), 80u);
        EXPECT_EQ(renderer.GetGlowBuffer(1)->GetHeight(), 60u);
    }
    {
        test_window_c narrow(7, 100);
        d3d_renderer_c renderer(&flags);
        ASSERT_TRUE(renderer.create_device(narrow.Get(), true)) << "a narrow output is no failure";
        EXPECT_EQ(renderer.GetOutputWidth(), 7);
        EXPECT_EQ(renderer.GetGlowBuffer(0), nullptr);
    }
    config.caps.PixelShaderVersion = D3DPS_VERSION(1, 4);
    d3d_renderer_c renderer(&flags);
    ASSERT_TRUE(renderer.create_device(TestWindow(), true));
    EXPECT_EQ(renderer.GetGlowBuffer(0), nullptr);
}

TEST_F(Renderer, PalettesAreGreyRampsWithAlphaWhenP8CarriesIt)
{
    config.Accept(D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, D3DFMT_X8R8G8B8);
    config.Accept(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D24S8);
    config.Accept(0, D3DRTYPE_TEXTURE, D3DFMT_P8);
    d3d_renderer_c renderer(&flags);
    ASSERT_TRUE(renderer.create_device(TestWindow(), true));
    EXPECT_EQ(renderer.GetFormatTable().alphaOnly[0], D3DFMT_P8);
    EXPECT_EQ(Device()->State().currentPalette, 0u);
    EXPECT_EQ(Device()->State().palette[200], (PALETTEENTRY{200, 200, 200, 200}));
}

TEST_F(Renderer, FullScreenModesAreChangedAndAlwaysRestored)
{
    {
        const display_mode_s desktop{0, 0, 0, 0};
        d3d_fullscreen_renderer_c renderer(TestWindow(), &flags, &desktop);
        EXPECT_TRUE(display->changes.empty()) << "bits 0 keeps the desktop mode";
        EXPECT_EQ(renderer.GetOutputWidth(), GetSystemMetrics(SM_CXSCREEN));
    }
    EXPECT_EQ(display->restores, 0u);
    const display_mode_s mode{640, 480, 32, 60};
    {
        d3d_fullscreen_renderer_c renderer(TestWindow(), &flags, &mode);
        EXPECT_EQ(display->changes.back(), std::make_tuple(640u, 480u, 32u, 60u));
        EXPECT_EQ(Device()->Parameters().Windowed, 0);
    }
    EXPECT_EQ(display->restores, 1u);
    const display_mode_s odd{300, 200, 8, 0};
    try {
        d3d_fullscreen_renderer_c renderer(TestWindow(), &flags, &odd);
        ADD_FAILURE();
    } catch (const d3d_error_c& error) {
        EXPECT_STREQ(error.what(), "Could not change display mode!");
    }
    EXPECT_EQ(display->restores, 1u);
    config.Fail("CreateDevice");
    try {
        d3d_fullscreen_renderer_c renderer(TestWindow(), &flags, &mode);
        ADD_FAILURE();
    } catch (const d3d_error_c& error) {
        EXPECT_STREQ(error.what(), "Could not create Direct3D device!");
    }
    EXPECT_EQ(display->restores, 2u) << "a failed device gives the desktop its mode back";
    EXPECT_FALSE(display->changed);
}

TEST_F(Renderer, SetSceneTakesLightsFogAndMapsOncePerScene)
{
    config.caps.MaxActiveLights = 2;
    d3d_renderer_c renderer(&flags);
    ASSERT_TRUE(renderer.create_device(TestWindow(), true));
    scene_c scene("scene", &renderer);
    scene.SetFlag(0x2000000 | 0x800000, true);
    scene.fogMode = 1;
    scene.fogDensity = 0.5f;
    scene.dissolve = 0.25f;
    camera_c camera("camera");
    std::vector<std::unique_ptr<light_c>> owned;
    std::vector<light_c*> lights;
    for (u32 i = 0; i < 6; ++i) {
        owned.push_back(std::make_unique<light_c>("light"));
        if (i == 1) {
            owned.back()->SetType(light_point);
        }
        lights.push_back(owned.back().get());
    }
    renderer.SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    renderer.SetScene(&scene, &camera, lights, nullptr);
    EXPECT_FALSE(renderer.IsSceneSet()) << "only inside a scene";
    renderer.BeginScene();
    renderer.SetScene(&scene, &camera, lights, lights[0]);
    ASSERT_TRUE(renderer.IsSceneSet());
    EXPECT_EQ(config.Count("SetLight"), 2u) << "never past the light set";
    EXPECT_TRUE(Device()->State().lights[1].enabled);
    EXPECT_FALSE(Device()->State().lights[2].enabled);
    EXPECT_EQ(renderer.GetDiffuseLights().size(), 3u);
    EXPECT_EQ(renderer.GetDiffuseLights()[1], lights[2]) << "point lights stay out";
    EXPECT_EQ(renderer.GetSpecularLights().size(), 3u);
    ASSERT_NE(renderer.GetFog(), nullptr);
    EXPECT_EQ(renderer.GetFog()->mode, 1u);
    EXPECT_EQ(renderer.GetSceneOpacity(), 0.75f);
    EXPECT_EQ(renderer.GetShadowLight(), lights[0]);
    EXPECT_EQ(Device()->State().renderStates[D3DRS_FILLMODE], D3DFILL_WIREFRAME);
    scene.SetFlag(0x800000, false);
    renderer.SetScene(&scene, &camera, lights, nullptr);
    EXPECT_EQ(Device()->State().renderStates[D3DRS_FILLMODE], D3DFILL_WIREFRAME) << "once until the lists reset";
    renderer.ResetRenderLists();
    renderer.SetScene(&scene, &camera, lights, nullptr);
    EXPECT_EQ(Device()->State().renderStates[D3DRS_FILLMODE], D3DFILL_SOLID);
    renderer.EndScene();
}

TEST_F(Renderer, StatisticsNameTheAdapterAndTheDevice)
{
    d3d_renderer_c renderer(&flags);
    ASSERT_TRUE(renderer.create_device(TestWindow(), true));
    std::ostringstream text;
    renderer.PrintStatistics(text);
    EXPECT_EQ(text.str().rfind("Adapter Driver: \"record.drv\"\nAdapter Description: Recording device\n"
                               "Adapter Version: 6.14.10.2\nMaximum Point Size: 256\n",
                               0),
              0u)
        << text.str();
    EXPECT_NE(text.str().find("Hardware Vertex Processing\n\n"), std::string::npos);
    std::string driver, description, version;
    d3d_renderer_c without(&flags);
    EXPECT_TRUE(without.GetAdapterInfo(driver, description, version)) << "a Direct3D object of its own";
    config.Fail("Direct3DCreate9");
    EXPECT_FALSE(without.GetAdapterInfo(driver, description, version));
}

TEST_F(Renderer, FramesRunThroughTheRendererAndLostDevicesAreReported)
{
    d3d_renderer_c renderer(&flags);
    ASSERT_TRUE(renderer.create_device(TestWindow(), true));
    renderer.Clear({0.0f, 1.0f, 0.0f}, 0, true, true, false, false);
    EXPECT_TRUE(Device()->Clears().empty()) << "no viewport yet";
    renderer.SetViewport(0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    renderer.Clear({0.0f, 1.0f, 0.0f}, 0, true, true, false, false);
    ASSERT_EQ(Device()->Clears().size(), 1u);
    EXPECT_EQ(Device()->Clears()[0].viewport.Width, 640u);
    renderer.BeginScene();
    EXPECT_TRUE(renderer.IsInScene());
    renderer.EndScene();
    renderer.Present();
    EXPECT_EQ(Device()->PresentCount(), 1u);
    config.Fail("Present", D3DERR_DEVICELOST);
    EXPECT_THROW(renderer.Present(), d3d_error_c);
}

}
