#include "render_d3d9/texture.h"
#include "render_d3d9/d3d_error.h"
#include "render_d3d9/state_cache.h"
#include "render_d3d9/testing/record_fixture.h"
#include "render_d3d9/testing/test_shaders.h"

#include <cstring>

namespace {

// A definition whose image has every byte of level l, face f set to
// (l * 16 + f * 64 + byte index) & 0xFF.
texture_def_c Definition(int _width, int _height, format_e _format, bool _mipmaps = false, bool _cubic = false,
                         texture_type_e _type = texture_type_image)
{
    texture_def_c definition;
    definition.type = _type;
    definition.image.Create(_width, _height, _format, _mipmaps, _cubic);
    for (int face = 0; face < definition.image.GetFaceCount(); ++face) {
        for (int level = 0; level < definition.image.GetLevelCount(); ++level) {
            image_c& image = definition.image.GetLevel(level, face);
            for (int i = 0; i < image.GetSize(); ++i) {
                image.GetData()[i] = static_cast<u8>(level * 16 + face * 64 + i);
            }
        }
    }
    return definition;
}

// Whether the surface holds the image's rows.
void ExpectRows(record_surface_c* _surface, const image_c& _image)
{
    const u64 row = static_cast<u64>(_image.GetPitch());
    const u64 rows = static_cast<u64>(_image.GetSize()) / row;
    for (u64 y = 0; y < rows; ++y) {
        EXPECT_EQ(std::memcmp(_surface->GetBytes().data() + y * _surface->GetPitch(), _image.GetData() + y * row, row),
                  0)
            << "row " << y;
    }
}

class Texture : public record_fixture_c {
protected:
    void SetUp() override
    {
        record_fixture_c::SetUp();
        Make();
        ASSERT_TRUE(cache.Init(device, d3d_vp_hardware, 4, false, true, shaders.set, 1));
        const D3DFORMAT formats[12] = {D3DFMT_UNKNOWN,  D3DFMT_L8,       D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8,
                                       D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_X4R4G4B4,
                                       D3DFMT_A4R4G4B4, D3DFMT_DXT1,     D3DFMT_DXT3,     D3DFMT_DXT5};
        for (u32 row = 0; row < 2; ++row) {
            std::memcpy(table.rows[row], formats, sizeof(formats));
            table.alphaOnly[row] = D3DFMT_A8;
            table.bump[row] = D3DFMT_V8U8;
        }
    }

    test_shader_set_s shaders = MakeTestShaderSet();
    d3d_state_cache_c cache;
    d3d_format_table_s table;
};

TEST_F(Texture, EveryFormatPairUploadsWithOddPitches)
{
    for (const u32 padding : {0u, 12u}) {
        config.pitchPadding = padding;
        for (int index = format_l8; index <= format_dxt5; ++index) {
            const auto image_format = static_cast<format_e>(index);
            const texture_def_c definition = Definition(8, 4, image_format, true);
            std::unique_ptr<d3d_texture_c> texture(CreateD3DTexture(cache, table, "t", definition));
            auto* made = static_cast<record_texture_c*>(texture->GetD3DTexture());
            ASSERT_NE(made, nullptr) << index;
            ASSERT_EQ(made->GetLevelCount(), 4u);
            EXPECT_EQ(texture->GetLevelCount(), 4u);
            for (u32 level = 0; level < 4; ++level) {
                ExpectRows(made->Level(level), definition.image.GetLevel(static_cast<int>(level)));
            }
        }
    }
}

TEST_F(Texture, CubeFacesGoUpInOrder)
{
    config.pitchPadding = 4;
    const texture_def_c definition = Definition(4, 4, format_a8r8g8b8, true, true);
    std::unique_ptr<d3d_texture_c> texture(CreateD3DTexture(cache, table, "cube", definition));
    ASSERT_TRUE(texture->IsCubic());
    auto* cube = static_cast<record_cube_texture_c*>(texture->GetD3DTexture());
    for (u32 face = 0; face < 6; ++face) {
        for (u32 level = 0; level < 3; ++level) {
            ExpectRows(cube->Level(static_cast<D3DCUBEMAP_FACES>(face), level),
                       definition.image.GetLevel(static_cast<int>(level), static_cast<int>(face)));
        }
    }
}

TEST_F(Texture, BumpMapsAreSlopesOfTheHeights)
{
    texture_def_c definition = Definition(4, 3, format_l8, false, false, texture_type_bump);
    const u8 heights[12] = {0, 100, 20, 50, 10, 10, 200, 7, 30, 40, 60, 80};
    std::memcpy(definition.image.GetLevel(0).GetData(), heights, 12);
    std::unique_ptr<d3d_texture_c> texture(CreateD3DTexture(cache, table, "bump", definition));
    EXPECT_EQ(texture->GetFormat(), D3DFMT_V8U8);
    auto* made = static_cast<record_texture_c*>(texture->GetD3DTexture());
    const auto* texels = reinterpret_cast<const i8*>(made->Level(0)->GetBytes().data());
    const u32 pitch = made->Level(0)->GetPitch();
    EXPECT_EQ(texels[0], (50 - 100) / 2) << "U wraps to the last column";
    EXPECT_EQ(texels[1], (30 - 10) / 2) << "V wraps to the last row";
    EXPECT_EQ(texels[pitch + 2], (10 - 200) / 2);
    EXPECT_EQ(texels[pitch + 3], (100 - 40) / 2);
}

TEST_F(Texture, TheFallbackFormatTakesThirtyTwoBitImages)
{
    table.rows[0][format_x8r8g8b8] = D3DFMT_X8B8G8R8;
    texture_def_c definition = Definition(2, 1, format_x8r8g8b8);
    const u8 pixels[8] = {1, 2, 3, 0, 4, 5, 6, 0};
    std::memcpy(definition.image.GetLevel(0).GetData(), pixels, 8);
    std::unique_ptr<d3d_texture_c> texture(CreateD3DTexture(cache, table, "fallback", definition));
    auto* made = static_cast<record_texture_c*>(texture->GetD3DTexture());
    const u8 expected[8] = {3, 2, 1, 0, 6, 5, 4, 0};
    EXPECT_EQ(std::memcmp(made->Level(0)->GetBytes().data(), expected, 8), 0);
}

TEST_F(Texture, FactoryRefusals)
{
    const texture_def_c alpha = Definition(4, 4, format_a8r8g8b8, false, false, texture_type_alpha);
    try {
        delete CreateD3DTexture(cache, table, "alpha", alpha);
        ADD_FAILURE();
    } catch (const d3d_error_c& error) {
        EXPECT_STREQ(error.what(), "Invalid texture format!");
    }
    config.caps.MaxTextureAspectRatio = 8;
    ASSERT_TRUE(cache.Init(device, d3d_vp_hardware, 4, false, true, shaders.set, 1));
    const texture_def_c wide = Definition(512, 16, format_l8);
    try {
        delete CreateD3DTexture(cache, table, "wide", wide);
        ADD_FAILURE();
    } catch (const d3d_error_c& error) {
        EXPECT_STREQ(error.what(), "Invalid texture image!");
    }
    EXPECT_THROW(delete CreateD3DTexture(cache, table, "empty", texture_def_c{}), d3d_error_c);
    config.caps.MaxTextureWidth = 256;
    ASSERT_TRUE(cache.Init(device, d3d_vp_hardware, 4, false, true, shaders.set, 1));
    EXPECT_THROW(delete CreateD3DTexture(cache, table, "large", Definition(512, 512, format_l8)), d3d_error_c);
}

TEST_F(Texture, AFormatTheTableLacksGivesAnEmptyTexture)
{
    table.rows[0][format_r5g6b5] = D3DFMT_UNKNOWN;
    std::unique_ptr<d3d_texture_c> texture(CreateD3DTexture(cache, table, "none", Definition(4, 4, format_r5g6b5)));
    EXPECT_EQ(texture->GetD3DTexture(), nullptr);
    EXPECT_EQ(config.Count("CreateTexture"), 0u);
}

TEST_F(Texture, DeviceFailuresGiveTheirMessages)
{
    const struct {
        const char* call;
        bool cube;
        const char* message;
    } cases[] = {{"CreateTexture", false, "Could not create texture!"},
                 {"CreateCubeTexture", true, "Could not create cube texture!"},
                 {"LockRect", false, "Could not upload texture!"},
                 {"LockRect", true, "Could not upload texture!"}};
    for (const auto& c : cases) {
        config.ClearFailures();
        config.Fail(c.call, E_FAIL, 1);
        const texture_def_c definition = Definition(4, 4, format_l8, true, c.cube);
        try {
            // The first call of the name succeeds (a texture made before).
            delete CreateD3DTexture(cache, table, "first", Definition(4, 4, format_l8, false, c.cube));
            delete CreateD3DTexture(cache, table, "second", definition);
            ADD_FAILURE() << c.call;
        } catch (const d3d_error_c& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

TEST_F(Texture, RenderTargetsKeepTheirSurfaceAndTakeOverShares)
{
    texture_def_c definition;
    definition.width = 32;
    definition.height = 16;
    auto* target = new d3d_texture_c(device, "Glow Buffer", definition, true, D3DFMT_X8R8G8B8);
    ASSERT_NE(target->GetSurface(), nullptr);
    EXPECT_EQ(target->GetWidth(), 32u);
    EXPECT_EQ(target->GetLevelCount(), 1u);
    d3d_texture_c copy(device, "copy", definition, false, D3DFMT_UNKNOWN);
    copy.TakeOver(target);
    auto* texture = static_cast<record_texture_c*>(target->GetD3DTexture());
    EXPECT_EQ(texture->GetRefCount(), 2u);
    delete target;
    EXPECT_EQ(texture->GetRefCount(), 1u);
    EXPECT_EQ(copy.GetD3DTexture(), texture);
    EXPECT_EQ(copy.GetFormat(), D3DFMT_X8R8G8B8);
}

TEST(TextureFit, SidesAreHeldToTheDevice)
{
    D3DCAPS9 caps;
    caps.MaxTextureWidth = 1024;
    caps.MaxTextureHeight = 512;
    caps.MaxTextureAspectRatio = 4;
    const struct {
        DWORD textureCaps;
        u32 width, height, fitWidth, fitHeight;
    } cases[] = {
        {0, 0, 0, 1, 1},
        {0, 2000, 100, 1024, 256},
        {D3DPTEXTURECAPS_POW2, 300, 100, 256, 64},
        {D3DPTEXTURECAPS_SQUAREONLY, 64, 16, 64, 64},
        {0, 16, 512, 128, 512},
    };
    for (const auto& c : cases) {
        caps.TextureCaps = c.textureCaps;
        u32 width = c.width;
        u32 height = c.height;
        FitTextureSize(caps, width, height);
        EXPECT_EQ(width, c.fitWidth) << c.width << "x" << c.height;
        EXPECT_EQ(height, c.fitHeight) << c.width << "x" << c.height;
    }
}

TEST(FormatProperties, FollowTheFormat)
{
    EXPECT_EQ(D3DFormatProperties(D3DFMT_DXT1).bitsPerPixel, 4u);
    EXPECT_TRUE(D3DFormatProperties(D3DFMT_DXT3).alpha);
    EXPECT_EQ(D3DFormatProperties(D3DFMT_A8).channels, 0u);
    EXPECT_EQ(D3DFormatProperties(D3DFMT_L8).channels, 1u);
    EXPECT_EQ(D3DFormatProperties(D3DFMT_G16R16).channels, 2u);
    EXPECT_EQ(D3DFormatProperties(D3DFMT_V8U8).bitsPerPixel, 16u);
    EXPECT_EQ(D3DFormatProperties(D3DFMT_UNKNOWN).bitsPerPixel, 0u);
}

}
