#include "image/image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "foundation/memory_file.h"
#include "image/pixel.h"
#include "image/testing/image_files.h"
#include "image/texture_image.h"

namespace {

TEST(FormatTest, TablesMatchTheLayouts)
{
    struct row_s {
        format_e format;
        int bits;
        bool alpha;
        bool compressed;
    } rows[] = {
        {format_none, 0, false, false},     {format_l8, 8, false, false},        {format_x8r8g8b8, 32, false, false},
        {format_a8r8g8b8, 32, true, false}, {format_r5g6b5, 16, false, false},   {format_x1r5g5b5, 16, false, false},
        {format_a1r5g5b5, 16, true, false}, {format_x4r4g4b4, 16, false, false}, {format_a4r4g4b4, 16, true, false},
        {format_dxt1, 4, false, true},      {format_dxt3, 8, true, true},        {format_dxt5, 8, true, true},
    };
    for (const row_s& row : rows) {
        EXPECT_EQ(FormatBitsPerPixel(row.format), row.bits) << row.format;
        EXPECT_EQ(FormatHasAlpha(row.format), row.alpha) << row.format;
        EXPECT_EQ(FormatIsCompressed(row.format), row.compressed) << row.format;
    }
    EXPECT_EQ(FormatBitsPerPixel(format_e(40)), 0);
}

TEST(FormatTest, PitchAndSize)
{
    EXPECT_EQ(GetPitch(8, 0, format_dxt1), 16);
    EXPECT_EQ(GetPitch(8, 0, format_dxt3), 32);
    EXPECT_EQ(GetPitch(8, 1, format_dxt3), 0);
    EXPECT_EQ(GetPitch(6, 2, format_r5g6b5), 16);
    EXPECT_EQ(GetSize(5, 5, format_dxt5), 64);
    EXPECT_EQ(GetSize(2, 2, format_dxt1), 8);
    EXPECT_EQ(GetSize(6, 8, format_r5g6b5), 96);
    EXPECT_EQ(GetSize64(30000, 30000, format_a8r8g8b8), i64(3600000000));
    EXPECT_EQ(GetSize(30000, 30000, format_a8r8g8b8), INT32_MAX);
    EXPECT_TRUE(IsPow2(1));
    EXPECT_TRUE(IsPow2(1024));
    EXPECT_FALSE(IsPow2(0));
    EXPECT_FALSE(IsPow2(6));
    EXPECT_FALSE(IsPow2(-4));
}

TEST(ImageTest, CreateSetsFieldsAndKeepsPixelsOnRepeat)
{
    image_c image;
    image.Create(8, 8, format_dxt1);
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(image.GetSize(), 32);
    EXPECT_EQ(image.GetPitch(), 16);

    image.Create(6, 8, format_r5g6b5);
    EXPECT_EQ(image.GetSize(), 96);
    EXPECT_EQ(image.GetPitch(), 12);
    image.GetData()[5] = 0xAB;
    const u8* before = image.GetData();
    image.Create(6, 8, format_r5g6b5);
    EXPECT_EQ(image.GetData(), before);
    EXPECT_EQ(image.GetData()[5], 0xAB);
}

TEST(ImageTest, CreateRefusesCompressedNonPowerOfTwo)
{
    image_c image;
    image.Create(4, 4, format_l8);
    try {
        image.Create(6, 8, format_dxt1);
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "void image_c::Create(int _width, int _height, format_e _format)");
    }
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetData(), nullptr);
}

TEST(ImageTest, CreateRefusesHugePictures)
{
    image_c image;
    EXPECT_THROW(image.Create(max_image_side + 1, 1, format_l8), std::invalid_argument);
    EXPECT_THROW(image.Create(16384, 16384, format_a8r8g8b8), std::invalid_argument);
    EXPECT_FALSE(image.IsValid());
}

TEST(ImageTest, CreateWithEmptyArgumentsLeavesEmpty)
{
    image_c image;
    image.Create(0, 5, format_l8);
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    EXPECT_FALSE(image.IsValid());
    image.Create(5, 5, format_none);
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetFormat(), format_none);
    EXPECT_EQ(image.GetData(), nullptr);
}

TEST(ImageTest, SmallCompressedImagesAreValid)
{
    image_c image;
    image.Create(2, 2, format_dxt1);
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(image.GetSize(), 8);
    image.Create(2, 2, format_dxt5);
    EXPECT_EQ(image.GetSize(), 16);
}

TEST(ImageTest, FillStoresTheConvertedColour)
{
    struct row_s {
        format_e format;
        u32 expected;
    } rows[] = {
        {format_l8, (0xFF * 19661 + 0x80 * 38666 + 0x40 * 7209) >> 16},
        {format_x8r8g8b8, 0x00FF8040},
        {format_a8r8g8b8, 0x80FF8040},
        {format_r5g6b5, (31 << 11) | (32 << 5) | 8},
        {format_x1r5g5b5, (31 << 10) | (16 << 5) | 8},
        {format_a1r5g5b5, 0xFE08},
        {format_x4r4g4b4, 0x0F84},
        {format_a4r4g4b4, 0x8F84},
    };
    for (const row_s& row : rows) {
        image_c image;
        image.Create(3, 2, row.format);
        image.Fill(0x80FF8040);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(LoadPixel(row.format, image.GetData() + y * image.GetPitch(), x), row.expected) << row.format;
    }
}

TEST(ImageTest, FillOnCompressedThrows)
{
    image_c image;
    image.Create(4, 4, format_dxt3);
    try {
        image.Fill(0);
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "void image_c::Fill(dword _bgra)");
    }
}

TEST(ImageTest, CopiesAndAssignments)
{
    image_c source;
    source.Create(3, 2, format_x1r5g5b5);
    for (int i = 0; i < 6; ++i)
        StoreU16(source.GetData() + 2 * i, u16(i * 1000));

    image_c copy(source);
    ASSERT_TRUE(copy.IsValid());
    EXPECT_NE(copy.GetData(), source.GetData());
    EXPECT_EQ(0, std::memcmp(copy.GetData(), source.GetData(), 12));

    image_c relabelled(source, format_a1r5g5b5);
    EXPECT_EQ(relabelled.GetFormat(), format_a1r5g5b5);
    EXPECT_EQ(0, std::memcmp(relabelled.GetData(), source.GetData(), 12));

    image_c converted(source, format_x8r8g8b8);
    EXPECT_EQ(LoadU32(converted.GetData() + 4), UnpackPixel(format_x1r5g5b5, 1000).b |
                                                    (UnpackPixel(format_x1r5g5b5, 1000).g << 8) |
                                                    (UnpackPixel(format_x1r5g5b5, 1000).r << 16));

    image_c same_size;
    same_size.Create(3, 2, format_x1r5g5b5);
    const u8* buffer = same_size.GetData();
    same_size = source;
    EXPECT_EQ(same_size.GetData(), buffer);
    EXPECT_EQ(0, std::memcmp(same_size.GetData(), source.GetData(), 12));

    image_c other;
    other.Create(1, 1, format_l8);
    other = source;
    EXPECT_EQ(other.GetWidth(), 3);
    EXPECT_EQ(other.GetFormat(), format_x1r5g5b5);
    EXPECT_EQ(0, std::memcmp(other.GetData(), source.GetData(), 12));

    image_c& self = other;
    other = self;
    EXPECT_TRUE(other.IsValid());
}

TEST(ImageTest, CopyOfInvalidImageHasNoData)
{
    image_c empty;
    image_c copy(empty);
    EXPECT_FALSE(copy.IsValid());
    EXPECT_EQ(copy.GetData(), nullptr);
}

TEST(ImageTest, ConvertingCopyOfUnsupportedPairThrows)
{
    image_c source;
    source.Create(4, 4, format_l8);
    EXPECT_THROW(image_c(source, format_dxt1), std::invalid_argument);
}

// A picture inside the limit in one format may pass it in a wider one.
TEST(ImageTest, ConversionsStayWithinThePictureLimit)
{
    image_c source;
    source.Create(max_image_side, 8192, format_l8); // exactly the limit
    ASSERT_TRUE(source.IsValid());
    EXPECT_THROW(image_c(source, format_x8r8g8b8), std::invalid_argument);
    EXPECT_THROW(image_c(source, format_r5g6b5), std::invalid_argument);
    EXPECT_THROW(source.ChangeFormat(format_a4r4g4b4), std::invalid_argument);
    EXPECT_EQ(source.GetFormat(), format_l8);
    EXPECT_TRUE(source.IsValid());
    const image_c same(source, format_l8);
    EXPECT_TRUE(same.IsValid());
}

TEST(ImageTest, CompressedPicturesDecodeWithinThePictureLimit)
{
    image_c source;
    source.Create(16384, 16384, format_dxt5); // 256 MiB of blocks
    ASSERT_TRUE(source.IsValid());
    EXPECT_THROW(source.ChangeFormat(format_r5g6b5), std::invalid_argument);
    EXPECT_EQ(source.GetFormat(), format_dxt5);
    EXPECT_TRUE(source.IsValid());
}

TEST(ImageTest, LoadNamesDataNoReaderKnows)
{
    const u8 png_damaged[] = {0x89, 'P', 'N', 'X', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0};
    const u8 bmp_short[] = {'B', 'M', 14, 0, 0, 0, 0, 0, 0, 0, 14, 0};
    const u8 text[] = "neither a bitmap nor a picture";
    struct row_s {
        const u8* bytes;
        u32 size;
        const char* message;
    };
    const row_s rows[] = {
        {png_damaged, sizeof png_damaged, "Unknown file format!"},
        {text, sizeof text, "Unknown file format!"},
        {bmp_short, sizeof bmp_short, "Unexpected end of file!"},
        {text, 0, "Unknown file format!"},
    };
    for (const row_s& row : rows) {
        input_file_c file(row.bytes, row.size);
        image_c image;
        image.Create(1, 1, format_l8);
        EXPECT_EQ(FailureMessage([&] { image.Load(file); }), row.message) << row.bytes;
        EXPECT_FALSE(image.IsValid());
    }

    std::vector<u8> dds_short(100, 0);
    std::memcpy(dds_short.data(), "DDS ", 4);
    input_file_c dds_file(dds_short.data(), u32(dds_short.size()));
    texture_image_c texture;
    EXPECT_EQ(FailureMessage([&] { texture.Load(dds_file); }), "Unexpected end of file!");
}

TEST(ImageTest, CopyPixelsHonoursPaddingOnBothSides)
{
    const u8 src[] = {1, 2, 9, 3, 4, 9}; // 2x2 l8 with one padding pixel
    u8 dst[2 * 4] = {};
    CopyPixels(dst, 2, src, 1, 2, 2, format_l8);
    const u8 expected[] = {1, 2, 0, 0, 3, 4, 0, 0};
    EXPECT_EQ(0, std::memcmp(dst, expected, sizeof dst));
}

TEST(ImageTest, MoveLeavesSourceEmpty)
{
    image_c source;
    source.Create(2, 2, format_l8);
    image_c moved(std::move(source));
    EXPECT_TRUE(moved.IsValid());
    EXPECT_FALSE(source.IsValid());
    EXPECT_EQ(source.GetWidth(), 0);
}

} // namespace
