#include "engine/texture_def.h"
#include "engine/testing/memory_file_system.h"
#include "engine/testing/recording_renderer.h"

#include "foundation/file_error.h"
#include "foundation/memory_file.h"
#include "foundation/path.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<u8> Bytes(const output_file_c& out)
{
    return std::vector<u8>(out.GetData(), out.GetData() + out.GetSize());
}

std::vector<u8> Picture(int width, int height, format_e format, int type, u32 colour = 0xFF336699)
{
    image_c picture;
    picture.Create(width, height, format);
    picture.Fill(colour);
    output_file_c out;
    picture.Save(out, type);
    return Bytes(out);
}

} // namespace

TEST(TextureDefTest, PowerOfTwoRule)
{
    const std::pair<i32, i32> cases[] = {{300, 256},   {4096, 2048}, {1, 1},       {0, 1}, {-7, 1},
                                         {1500, 1024}, {2048, 2048}, {1024, 1024}, {3, 2}, {2049, 2048}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(FitTextureSide(value, 1, 2048), expected) << value;
    EXPECT_EQ(FitTextureSide(100, 1, 64), 64);
}

TEST(TextureDefTest, Constructors)
{
    const texture_def_c plain;
    EXPECT_EQ(plain.type, texture_type_image);
    EXPECT_EQ(plain.imagePath.GetLength(), 0u);
    EXPECT_FALSE(plain.mipmapping);

    const texture_def_c bump(texture_type_bump, "h.png", true, false);
    EXPECT_EQ(bump.type, texture_type_bump);
    EXPECT_EQ(bump.imagePath, "h.png");
    EXPECT_TRUE(bump.mipmapping);

    const texture_def_c flare(flare_def_c(), 128);
    EXPECT_EQ(flare.type, texture_type_flare);
    EXPECT_EQ(flare.width, 128);
    EXPECT_EQ(flare.height, 128);
    EXPECT_TRUE(flare.mipmapping);
    EXPECT_TRUE(flare.highQuality);

    try {
        texture_def_c bad(texture_type_flare, "x", false, false);
        FAIL() << "no exception";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "texture_def_c::texture_def_c(texture_type_e _type, const char* _image_path, "
                                   "bool _mipmapping, bool _high_quality)");
    }
}

TEST(TextureDefTest, CopiesLeaveTheImageBehind)
{
    texture_def_c source(flare_def_c(), 8);
    source.LoadImage();
    ASSERT_TRUE(source.image.IsValid());
    const texture_def_c copy(source);
    EXPECT_EQ(copy.width, 8);
    EXPECT_FALSE(copy.image.IsValid());

    texture_def_c target(flare_def_c(), 4);
    target.LoadImage();
    target = source;
    EXPECT_EQ(target.width, 8);
    EXPECT_FALSE(target.image.IsValid());
    texture_def_c& self = source;
    source = self;
    EXPECT_TRUE(source.image.IsValid());
}

TEST(TextureDefTest, StreamFormRoundTrip)
{
    flare_def_c flare;
    flare.rayCount = 6;
    texture_def_c def(flare, 32);
    def.imagePath = "p";
    output_file_c out;
    def.Write(out);
    // u8 type, string "p", 38 words, two words, two bytes.
    ASSERT_EQ(out.GetSize(), 4u + 4 + 2 + 2 + 38 * 4 + 8 + 2);
    EXPECT_EQ(out.GetData()[0], 3);
    u32 width;
    std::memcpy(&width, out.GetData() + 12 + 38 * 4, 4);
    EXPECT_EQ(width, 32u);

    input_file_c in(out.GetData(), out.GetSize());
    texture_def_c back;
    back.Read(in);
    EXPECT_EQ(in.GetPosition(), out.GetSize());
    EXPECT_EQ(back.type, texture_type_flare);
    EXPECT_EQ(back.imagePath, "p");
    EXPECT_EQ(back.flareDef.rayCount, 6);
    EXPECT_EQ(back.height, 32);
    EXPECT_TRUE(back.mipmapping);
    EXPECT_TRUE(back.highQuality);

    input_file_c cut(out.GetData(), out.GetSize() - 1);
    EXPECT_THROW(back.Read(cut), file_error_c);
}

TEST(TextureDefTest, FlaresAreDrawn)
{
    texture_def_c def(flare_def_c(), 16);
    def.LoadImage();
    EXPECT_EQ(def.image.GetFormat(), format_x8r8g8b8);
    EXPECT_EQ(def.image.GetWidth(), 16);
    EXPECT_EQ(def.image.GetLevelCount(), 5);

    texture_def_c empty(flare_def_c(), 0);
    empty.LoadImage();
    EXPECT_FALSE(empty.image.IsValid());
}

TEST(TextureDefTest, PicturesAreFittedAndCompressed)
{
    memory_file_system_c files;
    files.Add("tex\\wide.bmp", Picture(300, 100, format_x8r8g8b8, image_file_bmp));
    files.Add("tex\\clear.png", Picture(64, 32, format_a8r8g8b8, image_file_png, 0x80FFFFFF));

    texture_def_c wide("tex\\wide.bmp", false, false);
    wide.LoadImage();
    EXPECT_EQ(wide.image.GetWidth(), 256);
    EXPECT_EQ(wide.image.GetHeight(), 64);
    EXPECT_EQ(wide.image.GetFormat(), format_dxt1);

    texture_def_c kept("tex\\wide.bmp", true, true);
    kept.LoadImage();
    EXPECT_EQ(kept.image.GetFormat(), format_x8r8g8b8);
    EXPECT_EQ(kept.image.GetLevelCount(), 9); // 256 x 64 down to 1 x 1

    texture_def_c clear("tex\\clear.png", false, false);
    clear.LoadImage();
    EXPECT_EQ(clear.image.GetFormat(), format_dxt3);

    texture_def_c mask(texture_type_alpha, "tex\\clear.png", false, false);
    mask.LoadImage();
    EXPECT_EQ(mask.image.GetFormat(), format_l8);
}

TEST(TextureDefTest, LargePicturesShrinkTo2048)
{
    memory_file_system_c files;
    files.Add("big.bmp", Picture(4096, 2, format_x8r8g8b8, image_file_bmp));
    files.Add("dot.bmp", Picture(1, 1, format_x8r8g8b8, image_file_bmp));
    texture_def_c big("big.bmp", false, true);
    big.LoadImage();
    EXPECT_EQ(big.image.GetWidth(), 2048);
    EXPECT_EQ(big.image.GetHeight(), 2);
    texture_def_c dot("dot.bmp", false, true);
    dot.LoadImage();
    EXPECT_EQ(dot.image.GetWidth(), 1);
    EXPECT_EQ(dot.image.GetHeight(), 1);
}

TEST(TextureDefTest, DdsFilesStayAsLoaded)
{
    texture_image_c source(8, 8, format_x8r8g8b8, false, false);
    source.GetLevel(0).Fill(0xFF00FF00);
    output_file_c dds;
    source.SaveDds(dds);
    memory_file_system_c files;
    files.Add("t.dds", dds);

    texture_def_c def("t.dds", true, false);
    def.LoadImage();
    EXPECT_EQ(def.image.GetFormat(), format_x8r8g8b8);
    EXPECT_EQ(def.image.GetLevelCount(), 1);
}

TEST(TextureDefTest, PathsResolveFromTheRootWhateverTheCurrentDirectory)
{
    memory_file_system_c files;
    files.Add("tex\\a.bmp", Picture(4, 4, format_x8r8g8b8, image_file_bmp));
    directory_cache_c model("models\\plane.lwo");
    texture_def_c def("tex\\a.bmp", false, true);
    def.LoadImage();
    EXPECT_TRUE(def.image.IsValid());
    EXPECT_STREQ(MakeFullPath("x.bmp"), "models\\x.bmp");
}

TEST(TextureDefTest, MissingFilesAndEmptyPaths)
{
    memory_file_system_c files;
    texture_def_c missing("nothing.bmp", false, false);
    try {
        missing.LoadImage();
        FAIL() << "no exception";
    } catch (const file_error_c& error) {
        EXPECT_STREQ(error.what(), "File does not exist!");
    }
    texture_def_c unnamed;
    unnamed.LoadImage();
    EXPECT_FALSE(unnamed.image.IsValid());
    texture_def_c other;
    other.type = static_cast<texture_type_e>(9);
    other.imagePath = "nothing.bmp";
    other.LoadImage();
    EXPECT_FALSE(other.image.IsValid());
}

TEST(TextureDefTest, PathsDifferingOnlyInCaseShareOneCachedTexture)
{
    memory_file_system_c files;
    files.Add("tex\\Sky.bmp", Picture(8, 8, format_x8r8g8b8, image_file_bmp));
    recording_renderer_c renderer;
    texture_c* first = renderer.GetTexture(texture_def_c("tex\\Sky.bmp", false, true));
    EXPECT_EQ(renderer.GetTexture(texture_def_c("TEX\\sky.BMP", false, true)), first);
    EXPECT_EQ(renderer.createdTextures, 1u);
    // The texture's extents come from the loaded picture.
    EXPECT_EQ(first->GetWidth(), 8u);
    EXPECT_EQ(first->GetLevelCount(), 1u);
    EXPECT_EQ(first->GetSize(), 8u * 8 * 4);
    EXPECT_NE(renderer.GetTexture(texture_def_c("tex\\Sky.bmp", true, true)), first);
}
