#include "render_d3d9/device_setup.h"
#include "platform/d3d9/record_config.h"

#include <gtest/gtest.h>

namespace {

class DeviceSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallRecordBackend(config);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
    }
    void TearDown() override
    {
        d3d->Release();
        RemoveRecordBackend();
    }

    record_config_c config;
    IDirect3D9* d3d = nullptr;
};

TEST(CheckCaps, TheDefaultDeviceIsHardware)
{
    record_config_c config;
    d3d_caps_wishes_s wishes;
    wishes.stencil = true;
    wishes.maxLights = 4;
    ASSERT_TRUE(CheckCaps(config.caps, wishes));
    EXPECT_EQ(wishes.vertexProcessing, 2u);
    EXPECT_EQ(wishes.maxLights, 4u);
    EXPECT_TRUE(wishes.stencil);
    EXPECT_FALSE(wishes.vsync);
}

TEST(CheckCaps, WishesFallWithTheDevice)
{
    const struct {
        const char* what;
        void (*change)(D3DCAPS9&);
        u32 processing;
        bool stencil, vsync, palette, passes;
    } cases[] = {
        {"no indexed blending", [](D3DCAPS9& _c) { _c.MaxVertexBlendMatrixIndex = 0; }, 1, true, false, true, true},
        {"index 15 is enough", [](D3DCAPS9& _c) { _c.MaxVertexBlendMatrixIndex = 15; }, 2, true, false, true, true},
        {"no tweening", [](D3DCAPS9& _c) { _c.VertexProcessingCaps &= ~D3DVTXPCAPS_TWEENING; }, 1, true, false, true,
         true},
        {"no lights in hardware",
         [](D3DCAPS9& _c) {
             _c.MaxStreams = 1;
             _c.VertexProcessingCaps &= ~D3DVTXPCAPS_POSITIONALLIGHTS;
         },
         0, true, false, true, true},
        {"no stencil decrement", [](D3DCAPS9& _c) { _c.StencilCaps &= ~D3DSTENCILCAPS_DECR; }, 2, false, false, true,
         true},
        {"only synchronised presents", [](D3DCAPS9& _c) { _c.PresentationIntervals = D3DPRESENT_INTERVAL_ONE; }, 2,
         true, true, true, true},
        {"no presents at all", [](D3DCAPS9& _c) { _c.PresentationIntervals = 0; }, 2, true, true, true, false},
        {"no alpha palette", [](D3DCAPS9& _c) { _c.TextureCaps &= ~D3DPTEXTURECAPS_ALPHAPALETTE; }, 2, true, false,
         false, true},
        {"no vertex fog", [](D3DCAPS9& _c) { _c.RasterCaps &= ~D3DPRASTERCAPS_FOGVERTEX; }, 2, true, false, true,
         false},
        {"no texture stage", [](D3DCAPS9& _c) { _c.MaxTextureBlendStages = 0; }, 2, true, false, true, false},
    };
    for (const auto& c : cases) {
        record_config_c config;
        c.change(config.caps);
        d3d_caps_wishes_s wishes;
        wishes.stencil = true;
        EXPECT_EQ(CheckCaps(config.caps, wishes), c.passes) << c.what;
        EXPECT_EQ(wishes.vertexProcessing, c.processing) << c.what;
        EXPECT_EQ(wishes.stencil, c.stencil) << c.what;
        EXPECT_EQ(wishes.vsync, c.vsync) << c.what;
        EXPECT_EQ(wishes.alphaPalette, c.palette) << c.what;
    }
}

TEST_F(DeviceSetup, DepthFormatsFollowStencilPreferenceAndDisplay)
{
    const struct {
        bool stencil;
        u32 flags;
        D3DFORMAT display;
        D3DFORMAT first;
    } cases[] = {
        {true, 0, D3DFMT_R5G6B5, D3DFMT_D15S1},
        {true, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8},
        {true, d3d_flag_depth_16, D3DFMT_X8R8G8B8, D3DFMT_D15S1},
        {false, 0, D3DFMT_R5G6B5, D3DFMT_D16},
        {false, d3d_flag_depth_deep, D3DFMT_R5G6B5, D3DFMT_D32},
        {false, 0, D3DFMT_X8R8G8B8, D3DFMT_D32},
    };
    for (const auto& c : cases) {
        const auto candidates = DepthCandidates(c.stencil, c.flags, c.display);
        EXPECT_EQ(candidates.front(), c.first);
        EXPECT_EQ(candidates.back(), D3DFMT_UNKNOWN);
        EXPECT_EQ(FindDepthFormat(d3d, c.display, c.display, candidates), c.first);
    }
    config.depthMatches = {D3DFMT_D24X4S4};
    EXPECT_EQ(FindDepthFormat(d3d, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, DepthCandidates(true, 0, D3DFMT_X8R8G8B8)),
              D3DFMT_D24X4S4);
    config.depthMatches.clear();
    EXPECT_EQ(FindDepthFormat(d3d, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, DepthCandidates(true, 0, D3DFMT_X8R8G8B8)),
              D3DFMT_UNKNOWN);
}

TEST_F(DeviceSetup, FormatTableFollowsTheAcceptedFormats)
{
    config.Accept(0, D3DRTYPE_TEXTURE, D3DFMT_P8);
    config.Accept(0, D3DRTYPE_TEXTURE, D3DFMT_X8R8G8B8);
    config.Accept(0, D3DRTYPE_TEXTURE, D3DFMT_DXT1);
    config.Accept(0, D3DRTYPE_CUBETEXTURE, D3DFMT_A8R8G8B8);
    config.Accept(0, D3DRTYPE_CUBETEXTURE, D3DFMT_P8);
    config.Accept(0, D3DRTYPE_TEXTURE, D3DFMT_V8U8);
    const d3d_format_table_s table = FillFormatTable(d3d, D3DFMT_X8R8G8B8, true);
    EXPECT_EQ(table.rows[0][format_l8], D3DFMT_P8);
    EXPECT_EQ(table.rows[0][format_x8r8g8b8], D3DFMT_X8R8G8B8);
    EXPECT_EQ(table.rows[0][format_a8r8g8b8], D3DFMT_UNKNOWN);
    EXPECT_EQ(table.rows[0][format_dxt1], D3DFMT_DXT1);
    EXPECT_EQ(table.rows[1][format_a8r8g8b8], D3DFMT_A8R8G8B8);
    EXPECT_EQ(table.rows[1][format_x8r8g8b8], D3DFMT_UNKNOWN);
    EXPECT_EQ(table.rows[0][format_none], D3DFMT_UNKNOWN);
    EXPECT_EQ(table.alphaOnly[0], D3DFMT_P8);
    EXPECT_EQ(table.bump[0], D3DFMT_V8U8);
    EXPECT_EQ(table.bump[1], D3DFMT_UNKNOWN);
    EXPECT_EQ(FillFormatTable(d3d, D3DFMT_X8R8G8B8, false).alphaOnly[0], D3DFMT_UNKNOWN) << "P8 needs alpha palettes";
}

TEST_F(DeviceSetup, MultisamplingFallsBackSilently)
{
    config.multisampleTypes = {D3DMULTISAMPLE_2_SAMPLES};
    EXPECT_EQ(FindMultiSampleType(d3d, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true), D3DMULTISAMPLE_NONE);
    EXPECT_EQ(FindMultiSampleType(d3d, d3d_flag_multisample | d3d_flag_samples_4, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true),
              D3DMULTISAMPLE_2_SAMPLES);
    config.multisampleTypes = {D3DMULTISAMPLE_4_SAMPLES};
    EXPECT_EQ(FindMultiSampleType(d3d, d3d_flag_multisample, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true), D3DMULTISAMPLE_NONE);
}

TEST(FormatBits, ColourDepthAndStorage)
{
    EXPECT_EQ(GetFormatBits(D3DFMT_A1R5G5B5).color, 15u);
    EXPECT_EQ(GetFormatBits(D3DFMT_A1R5G5B5).alpha, 1u);
    EXPECT_EQ(GetFormatBits(D3DFMT_D24X4S4).stencil, 4u);
    EXPECT_EQ(GetFormatBits(D3DFMT_D15S1).depth, 15u);
    EXPECT_EQ(GetFormatBits(D3DFMT_DXT1).color, 0u);
    EXPECT_EQ(GetFormatBitsPerPixel(D3DFMT_D24S8), 32u);
    EXPECT_EQ(GetFormatBitsPerPixel(D3DFMT_R5G6B5), 16u);
    EXPECT_EQ(GetFormatBitsPerPixel(D3DFMT_R8G8B8), 24u);
}

TEST(FalloffMap, BrightestInTheMiddleAndZeroOutside)
{
    for (const bool grey : {true, false}) {
        texture_image_c image;
        MakeFalloffMap(image, 64, 64, 1.0f, grey);
        EXPECT_EQ(image.GetLevelCount(), 7);
        const image_c& level = image.GetLevel(0);
        const int bytes = grey ? 1 : 4;
        auto at = [&](int _x, int _y) { return level.GetData()[(_y * 64 + _x) * bytes]; };
        EXPECT_EQ(at(32, 32), 255) << "d = 0 at the centre";
        EXPECT_EQ(at(0, 0), 0);
        EXPECT_EQ(at(32, 0), 0) << "d = 1 on the edge";
        // d = 16² / 32² = 0.25: 255 x 0.75^0.5 = 220.8.
        EXPECT_EQ(at(48, 32), 220);
        if (!grey) {
            EXPECT_EQ(level.GetData()[(32 * 64 + 32) * 4 + 3], 0);
            EXPECT_EQ(level.GetData()[(32 * 64 + 32) * 4 + 1], 255);
        }
    }
    texture_image_c specular;
    MakeFalloffMap(specular, 32, 32, 2048.0f, true);
    EXPECT_EQ(specular.GetLevel(0).GetData()[16 * 32 + 16], 255);
    EXPECT_EQ(specular.GetLevel(0).GetData()[16 * 32 + 20], 0) << "a high exponent falls off at once";
}

TEST(SpriteGeometry, QuadsCarryTheirIndexInAlpha)
{
    const geometry_def_c definition = MakeSpriteGeometryDef();
    ASSERT_TRUE(definition.IsIntegral());
    EXPECT_EQ(definition.GetVertexCount(), 1024u);
    EXPECT_EQ(definition.GetPrimitiveCount(0), 512u);
    const primitive_set_c& set = *definition.primitiveSets[0];
    EXPECT_EQ(set.vertices[4 * 7].diffuse, 0x07FFFFFFu);
    EXPECT_EQ(set.vertices[4 * 255 + 3].position.x, 1.0f);
    EXPECT_EQ(set.vertices[4 * 255 + 3].texCoords[0][1], 1.0f);
    EXPECT_EQ(set.indices[6 * 3], 12u);
    EXPECT_EQ(definition.format.GetStride(), 24u);
}

}
