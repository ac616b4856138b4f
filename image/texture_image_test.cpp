#include "image/texture_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "foundation/memory_file.h"
#include "image/dds_file.h"
#include "image/pixel.h"
#include "image/testing/image_files.h"

namespace {

std::vector<std::pair<int, int>> Sides(const texture_image_c& texture, int face = 0)
{
    std::vector<std::pair<int, int>> sides;
    for (int k = 0; k < texture.GetLevelCount(); ++k)
        sides.emplace_back(texture.GetLevel(k, face).GetWidth(), texture.GetLevel(k, face).GetHeight());
    return sides;
}

const char* const create_text =
    "void texture_image_c::Create(int _width, int _height, format_e _format, bool _mipmaps, bool _cubic)";

TEST(TextureImageTest, DefaultIsEmpty)
{
    texture_image_c texture;
    EXPECT_EQ(texture.GetLevelCount(), 0);
    EXPECT_FALSE(texture.IsValid());
    EXPECT_FALSE(texture.IsCubic());
}

TEST(TextureImageTest, MipChainHalvesEachSide)
{
    texture_image_c texture(8, 2, format_x8r8g8b8, true, false);
    EXPECT_EQ(Sides(texture), (std::vector<std::pair<int, int>>{{8, 2}, {4, 1}, {2, 1}, {1, 1}}));
    EXPECT_TRUE(texture.IsValid());
    EXPECT_EQ(texture.GetSize(), 4 * (16 + 4 + 2 + 1));
}

TEST(TextureImageTest, CreateRules)
{
    texture_image_c texture;
    for (auto [w, h, f, mips, cube] : {std::tuple{6, 6, format_x8r8g8b8, true, false},
                                       {6, 8, format_dxt1, false, false},
                                       {8, 4, format_dxt1, false, true}}) {
        try {
            texture.Create(w, h, f, mips, cube);
            ADD_FAILURE();
        } catch (const std::invalid_argument& e) {
            EXPECT_STREQ(e.what(), create_text);
        }
    }
    texture.Create(6, 6, format_x8r8g8b8, false, false);
    EXPECT_EQ(texture.GetLevelCount(), 1);
    EXPECT_TRUE(texture.IsValid());
    texture.Create(0, 6, format_x8r8g8b8, false, false);
    EXPECT_EQ(texture.GetWidth(), 0);
    EXPECT_FALSE(texture.IsValid());
}

TEST(TextureImageTest, RepeatedCreateKeepsPixels)
{
    texture_image_c texture(4, 4, format_l8, true, true);
    texture.GetLevel(1, 5).GetData()[0] = 77;
    texture.Create(4, 4, format_l8, true, true);
    EXPECT_EQ(texture.GetLevel(1, 5).GetData()[0], 77);
    EXPECT_EQ(texture.GetFaceCount(), 6);
}

TEST(TextureImageTest, CreateMipmapsAveragesDown)
{
    texture_image_c texture(4, 4, format_l8, false, false);
    texture.GetLevel(0).Fill(0xFF646464);
    texture.CreateMipmaps();
    ASSERT_EQ(texture.GetLevelCount(), 3);
    EXPECT_TRUE(texture.IsValid());
    EXPECT_EQ(texture.GetLevel(2).GetData()[0], 0x64);

    texture_image_c odd(6, 4, format_l8, false, false);
    try {
        odd.CreateMipmaps();
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "void texture_image_c::CreateMipmaps()");
    }
    texture_image_c wide(4, 4, format_r5g6b5, false, false);
    try {
        wide.CreateMipmaps();
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "void image_c::BilinearScale(...)");
    }
    EXPECT_EQ(wide.GetLevelCount(), 1);
    EXPECT_TRUE(wide.IsValid());
}

TEST(TextureImageTest, ResizeRebuildsTheChain)
{
    texture_image_c texture(8, 8, format_a8r8g8b8, true, false);
    for (int k = 0; k < texture.GetLevelCount(); ++k)
        texture.GetLevel(k).Fill(0x80402010);
    texture.Resize(4, 4, filter_bilinear);
    EXPECT_EQ(Sides(texture), (std::vector<std::pair<int, int>>{{4, 4}, {2, 2}, {1, 1}}));
    EXPECT_TRUE(texture.IsValid());
    EXPECT_EQ(LoadU32(texture.GetLevel(2).GetData()), 0x80402010u);

    texture.Resize(16, 4, filter_point);
    EXPECT_EQ(Sides(texture), (std::vector<std::pair<int, int>>{{16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}}));
    EXPECT_TRUE(texture.IsValid());
    EXPECT_EQ(LoadU32(texture.GetLevel(4).GetData()), 0x80402010u);

    EXPECT_THROW(texture.Resize(12, 4, filter_point), std::invalid_argument);
    EXPECT_TRUE(texture.IsValid());
    EXPECT_EQ(texture.GetWidth(), 16);
}

TEST(TextureImageTest, ConvertAndDiffuseEveryLevel)
{
    texture_image_c texture(4, 4, format_x8r8g8b8, true, true);
    for (int f = 0; f < 6; ++f)
        for (int k = 0; k < 3; ++k)
            texture.GetLevel(k, f).Fill(0x00070707);
    texture.DiffuseError(format_r5g6b5);
    EXPECT_EQ(texture.GetFormat(), format_x8r8g8b8);
    EXPECT_EQ(LoadU32(texture.GetLevel(2, 5).GetData()), 0x00000400u);
    texture.ChangeFormat(format_r5g6b5);
    EXPECT_EQ(texture.GetFormat(), format_r5g6b5);
    EXPECT_TRUE(texture.IsValid());
    EXPECT_EQ(texture.GetLevel(1, 3).GetFormat(), format_r5g6b5);
}

TEST(TextureImageTest, LoadDispatchesByContents)
{
    texture_image_c source(4, 4, format_dxt5, true, false);
    for (int k = 0; k < 3; ++k)
        std::memset(source.GetLevel(k).GetData(), k, 16);
    output_file_c dds;
    source.SaveDds(dds);
    input_file_c dds_in(dds.GetData(), dds.GetSize());
    texture_image_c texture;
    EXPECT_EQ(texture.Load(dds_in), image_file_dds);
    EXPECT_EQ(texture.GetLevelCount(), 3);
    EXPECT_EQ(texture.GetFormat(), format_dxt5);

    image_c picture;
    picture.Create(3, 2, format_a8r8g8b8);
    picture.Fill(0x11223344);
    output_file_c png;
    picture.Save(png, image_file_png);
    input_file_c png_in(png.GetData(), png.GetSize());
    EXPECT_EQ(texture.Load(png_in), image_file_png);
    EXPECT_EQ(texture.GetLevelCount(), 1);
    EXPECT_EQ(texture.GetWidth(), 3);
    EXPECT_EQ(texture.GetFormat(), format_a8r8g8b8);
    EXPECT_TRUE(texture.IsValid());
    EXPECT_FALSE(texture.IsCubic());

    output_file_c bmp;
    picture.Save(bmp, image_file_bmp);
    input_file_c bmp_in(bmp.GetData(), bmp.GetSize());
    EXPECT_EQ(texture.Load(bmp_in), image_file_bmp);
}

TEST(TextureImageTest, SaveAndLoadByName)
{
    texture_image_c source(2, 2, format_l8, false, false);
    source.GetLevel(0).Fill(0xFF808080);
    output_file_c out;
    source.SaveDds(out);
    scratch_file_c disk(std::vector<u8>(out.GetData(), out.GetData() + out.GetSize()));
    texture_image_c texture;
    EXPECT_EQ(texture.Load(disk.GetName()), image_file_dds);
    EXPECT_EQ(texture.GetFormat(), format_l8);
    EXPECT_EQ(texture.GetLevel(0).GetData()[3], 0x80);
}

TEST(TextureImageTest, InvalidTexturesAreLeftAlone)
{
    texture_image_c texture;
    texture.CreateMipmaps();
    texture.Resize(4, 4, filter_point);
    texture.ChangeFormat(format_l8);
    output_file_c out;
    texture.SaveDds(out);
    EXPECT_EQ(out.GetSize(), 0u);
    EXPECT_EQ(texture.GetLevelCount(), 0);
}

} // namespace
