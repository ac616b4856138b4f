#include "image/bmp_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "foundation/memory_file.h"
#include "image/image.h"
#include "image/pixel.h"
#include "image/file_bytes.h"
#include "image/testing/image_files.h"

namespace {

struct bmp_spec_s {
    i32 width = 1;
    i32 height = 1;
    u16 bits = 24;
    u32 compression = 0;
    u32 header_size = 40;
    u32 colours_used = 0;
    std::vector<u32> masks;   // after a 40-byte header, or inside a longer one
    std::vector<u32> palette; // 0x00RRGGBB entries
    std::vector<u8> pixels;
    i64 file_size_change = 0;
};

std::vector<u8> MakeBmp(const bmp_spec_s& s)
{
    std::vector<u8> info;
    Put32(info, s.header_size);
    Put32(info, u32(s.width));
    Put32(info, u32(s.height));
    Put16(info, 1);
    Put16(info, s.bits);
    Put32(info, s.compression);
    Put32(info, u32(s.pixels.size()));
    Put32(info, 0);
    Put32(info, 0);
    Put32(info, s.colours_used);
    Put32(info, 0);
    if (s.header_size > 40) {
        for (u32 m : s.masks)
            Put32(info, m);
    }
    info.resize(s.header_size, 0);
    if (s.header_size <= 40)
        for (u32 m : s.masks)
            Put32(info, m);
    for (u32 entry : s.palette)
        Put32(info, entry);
    std::vector<u8> file;
    const u32 offset = 14 + u32(info.size());
    Put16(file, 0x4D42);
    Put32(file, u32(i64(offset + s.pixels.size()) + s.file_size_change));
    Put32(file, 0);
    Put32(file, offset);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), s.pixels.begin(), s.pixels.end());
    return file;
}

image_c Read(const std::vector<u8>& bytes)
{
    input_file_c file(bytes.data(), u32(bytes.size()));
    image_c image;
    ReadBmp(image, file);
    return image;
}

std::string Failure(const std::vector<u8>& bytes)
{
    return FailureMessage([&] { Read(bytes); });
}

u32 Pixel(const image_c& image, int x, int y)
{
    return LoadPixel(image.GetFormat(), image.GetData() + y * image.GetPitch(), x);
}

TEST(BmpReadTest, TwentyFourBitRowsArePaddedToFourBytes)
{
    bmp_spec_s s;
    s.width = 3;
    s.height = 2;
    // Bottom row first: 9 bytes of pixels and 3 of padding each.
    s.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    const image_c image = Read(MakeBmp(s));
    ASSERT_EQ(image.GetFormat(), format_x8r8g8b8);
    EXPECT_EQ(Pixel(image, 0, 0), 0x000C0B0Au);
    EXPECT_EQ(Pixel(image, 2, 0), 0x00121110u);
    EXPECT_EQ(Pixel(image, 0, 1), 0x00030201u);
    EXPECT_EQ(Pixel(image, 2, 1), 0x00090807u);
}

TEST(BmpReadTest, TopDownRowsStayInOrder)
{
    bmp_spec_s s;
    s.width = 1;
    s.height = -2;
    s.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    const image_c image = Read(MakeBmp(s));
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(Pixel(image, 0, 0), 0x00030201u);
    EXPECT_EQ(Pixel(image, 0, 1), 0x00060504u);
}

TEST(BmpReadTest, MissingPaletteBecomesAGreyRamp)
{
    bmp_spec_s s;
    s.width = 4;
    s.bits = 8;
    s.pixels = {0, 7, 128, 255};
    const image_c image = Read(MakeBmp(s));
    ASSERT_EQ(image.GetFormat(), format_l8);
    EXPECT_EQ(std::vector<u8>(image.GetData(), image.GetData() + 4), (std::vector<u8>{0, 7, 128, 255}));

    bmp_spec_s one;
    one.width = 3;
    one.bits = 1;
    one.pixels = {0xA0, 0, 0, 0};
    const image_c bits = Read(MakeBmp(one));
    ASSERT_EQ(bits.GetFormat(), format_l8);
    EXPECT_EQ(std::vector<u8>(bits.GetData(), bits.GetData() + 3), (std::vector<u8>{255, 0, 255}));

    bmp_spec_s four;
    four.width = 2;
    four.bits = 4;
    four.pixels = {0x1F, 0, 0, 0};
    const image_c nibbles = Read(MakeBmp(four));
    EXPECT_EQ(std::vector<u8>(nibbles.GetData(), nibbles.GetData() + 2), (std::vector<u8>{17, 255}));
}

TEST(BmpReadTest, PaletteDecidesGreyOrColour)
{
    bmp_spec_s s;
    s.width = 2;
    s.bits = 8;
    s.colours_used = 2;
    s.palette = {0x00102030, 0xFF405060};
    s.pixels = {1, 0, 0, 0};
    const image_c colour = Read(MakeBmp(s));
    ASSERT_EQ(colour.GetFormat(), format_x8r8g8b8);
    EXPECT_EQ(Pixel(colour, 0, 0), 0x00405060u); // the reserved byte is not kept
    EXPECT_EQ(Pixel(colour, 1, 0), 0x00102030u);

    s.palette = {0x00101010, 0x00808080};
    const image_c grey = Read(MakeBmp(s));
    ASSERT_EQ(grey.GetFormat(), format_l8);
    EXPECT_EQ(grey.GetData()[0], 0x80);
    EXPECT_EQ(grey.GetData()[1], 0x10);
}

TEST(BmpReadTest, BitFieldFormats)
{
    struct row_s {
        u16 bits;
        std::vector<u32> masks;
        u32 header_size;
        format_e format;
    } rows[] = {
        {16, {0xF800, 0x07E0, 0x001F}, 40, format_r5g6b5},
        {16, {0x7C00, 0x03E0, 0x001F, 0x8000}, 56, format_a1r5g5b5},
        {16, {0x0F00, 0x00F0, 0x000F, 0}, 56, format_x4r4g4b4},
        {16, {0x0F00, 0x00F0, 0x000F, 0xF000}, 108, format_a4r4g4b4},
        {32, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, 56, format_a8r8g8b8},
        {32, {0x00FF0000, 0x0000FF00, 0x000000FF}, 40, format_x8r8g8b8},
        {16, {0x001F, 0x03E0, 0x7C00}, 40, format_x8r8g8b8},
    };
    for (const row_s& row : rows) {
        bmp_spec_s s;
        s.bits = row.bits;
        s.compression = 3;
        s.header_size = row.header_size;
        s.masks = row.masks;
        s.pixels.assign(4, 0);
        EXPECT_EQ(Read(MakeBmp(s)).GetFormat(), row.format) << row.bits << " " << row.header_size;
    }
}

TEST(BmpReadTest, BitFieldChannelsAreScaled)
{
    bmp_spec_s s;
    s.width = 2;
    s.bits = 32;
    s.compression = 3;
    // Ten bits of red and blue keep their top eight; two bits of green are
    // scaled up.
    s.masks = {0x3FF00000, 0x000C0000, 0x000003FF};
    s.pixels.resize(8);
    const u32 pixels[2] = {0x3FF00000 | 0x00080000 | 0x200, 0x20300000 | 0x000C0000 | 0x3FF};
    std::memcpy(s.pixels.data(), pixels, 8);
    const image_c image = Read(MakeBmp(s));
    ASSERT_EQ(image.GetFormat(), format_x8r8g8b8);
    EXPECT_EQ(Pixel(image, 0, 0), u32(255 << 16 | (2 * 255 / 3) << 8 | 0x80));
    EXPECT_EQ(Pixel(image, 1, 0), u32(0x80 << 16 | 255 << 8 | 255));
}

TEST(BmpReadTest, IgnoredBitsReadAsZero)
{
    bmp_spec_s s;
    s.width = 2;
    s.bits = 16;
    s.pixels = {0xFF, 0xFF, 0x00, 0x80};
    const image_c image = Read(MakeBmp(s));
    ASSERT_EQ(image.GetFormat(), format_x1r5g5b5);
    EXPECT_EQ(Pixel(image, 0, 0), 0x7FFFu);
    EXPECT_EQ(Pixel(image, 1, 0), 0u);

    bmp_spec_s wide;
    wide.bits = 32;
    wide.pixels = {1, 2, 3, 0xAA};
    EXPECT_EQ(Pixel(Read(MakeBmp(wide)), 0, 0), 0x00030201u);
}

bmp_spec_s Rle8(std::vector<u8> data, i32 width = 4, i32 height = 2)
{
    bmp_spec_s s;
    s.width = width;
    s.height = height;
    s.bits = 8;
    s.compression = 1;
    s.colours_used = 4;
    s.palette = {0x00000000, 0x00404040, 0x00808080, 0x00FFFFFF};
    s.pixels = std::move(data);
    return s;
}

std::vector<u8> Grey(const image_c& image)
{
    return std::vector<u8>(image.GetData(), image.GetData() + image.GetSize());
}

TEST(BmpRleTest, Rle8RunsAbsoluteRunsAndDeltas)
{
    // Bottom row: an absolute run 3, 2, 1 (odd: one pad byte), then a run of
    // one 1. End of line; a delta right by 1 and a run of one 2; end of picture.
    const image_c image = Read(MakeBmp(Rle8({0, 3, 3, 2, 1, 0, 1, 1, 0, 0, 0, 2, 1, 0, 1, 2, 0, 1})));
    ASSERT_EQ(image.GetFormat(), format_l8);
    EXPECT_EQ(Grey(image), (std::vector<u8>{0, 0x80, 0, 0, 0xFF, 0x80, 0x40, 0x40}));
}

TEST(BmpRleTest, Rle8FillsWithEntryZeroFirst)
{
    bmp_spec_s s = Rle8({0, 1});
    s.palette[0] = 0x00202020;
    EXPECT_EQ(Grey(Read(MakeBmp(s))), std::vector<u8>(8, 0x20));
}

TEST(BmpRleTest, Rle4AlternatesNibbles)
{
    bmp_spec_s s = Rle8({3, 0x12, 0, 4, 0x31, 0x20, 0, 1}, 7, 1);
    s.bits = 4;
    s.compression = 2;
    const image_c image = Read(MakeBmp(s));
    EXPECT_EQ(Grey(image), (std::vector<u8>{0x40, 0x80, 0x40, 0xFF, 0x40, 0x80, 0}));
}

TEST(BmpRleTest, DamagedRunsAreSkippedAndThePictureKept)
{
    const u8 o = 0, a = 0x40, b = 0x80, c = 0xFF;
    struct row_s {
        const char* what;
        std::vector<u8> data;
        std::vector<u8> grey; // top row, then bottom row
    };
    const std::vector<row_s> rows = {
        {"run wider than the row", {5, 1, 1, 2, 0, 1}, {o, o, o, o, b, o, o, o}},
        {"run after a delta moved near the edge", {0, 2, 3, 0, 2, 1, 1, 3, 0, 1}, {o, o, o, o, o, o, o, c}},
        {"absolute run wider than the row: its bytes are commands", {0, 5, 1, 1, 1, 2, 0, 1}, {o, o, o, o, a, b, o, o}},
        {"run below the last row", {0, 0, 0, 0, 1, 1, 0, 1}, {o, o, o, o, o, o, o, o}},
        {"delta cut short ends the picture", {1, 3, 0, 2, 1}, {o, o, o, o, c, o, o, o}},
        {"absolute run cut short", {0, 3, 1, 2}, {o, o, o, o, a, b, o, o}},
    };
    for (const row_s& row : rows) {
        image_c image;
        ASSERT_EQ(FailureMessage([&] { image = Read(MakeBmp(Rle8(row.data))); }), "no error") << row.what;
        EXPECT_EQ(Grey(image), row.grey) << row.what;
    }

    bmp_spec_s s = Rle8({0, 3, 0x12}, 4, 1);
    s.bits = 4;
    s.compression = 2;
    s.palette[0] = 0x00101010;
    EXPECT_EQ(Grey(Read(MakeBmp(s))), (std::vector<u8>{a, b, 0x10, 0x10})) << "RLE4 absolute run cut short";
}

TEST(BmpRleTest, TopDownRleIsRefused)
{
    bmp_spec_s s = Rle8({0, 1});
    s.height = -2;
    EXPECT_EQ(Failure(MakeBmp(s)), "Top-down bitmap cannot be compressed!");
}

TEST(BmpReadTest, BadHeadersGiveTheirMessages)
{
    bmp_spec_s good;
    good.pixels = {1, 2, 3, 0};
    const std::vector<u8> valid = MakeBmp(good);
    ASSERT_EQ(Failure(valid), "no error");

    struct row_s {
        std::vector<u8> bytes;
        const char* message;
    };
    std::vector<row_s> rows;
    rows.push_back({std::vector<u8>(valid.begin(), valid.begin() + 13), "Unexpected end of file!"});
    {
        // The file header alone, its offset pointing at the end: no info header
        // may be read.
        std::vector<u8> b(valid.begin(), valid.begin() + 14);
        b[2] = 14;
        b[10] = 14;
        rows.push_back({b, "Unexpected end of file!"});
    }
    {
        std::vector<u8> b = valid;
        b[0] = 'X';
        rows.push_back({b, "Invalid file type!"});
    }
    {
        bmp_spec_s s = good;
        s.file_size_change = 1;
        rows.push_back({MakeBmp(s), "Unexpected end of file!"});
    }
    {
        std::vector<u8> b = valid;
        b[10] = 13;
        rows.push_back({b, "Invalid file offset!"});
        b[10] = 200;
        rows.push_back({b, "Unexpected end of file!"});
        b[10] = 14 + 39;
        rows.push_back({b, "Unexpected end of file!"});
    }
    for (auto [width, height] : {std::pair{0, 1}, {-3, 1}, {1, 0}, {1, INT_MIN}, {40000, 1}, {1, 40000}}) {
        bmp_spec_s s = good;
        s.width = width;
        s.height = height;
        rows.push_back({MakeBmp(s), "Invalid image size!"});
    }
    {
        bmp_spec_s s = good;
        s.compression = 3;
        s.bits = 32;
        rows.push_back({MakeBmp(s), "Unexpected end of file!"}); // masks missing
        s.masks = {0xF800, 0, 0x1F};
        s.bits = 16;
        rows.push_back({MakeBmp(s), "Unsupported color format!"}); // a mask without bits
    }
    for (u16 bits : {2, 12, 48}) {
        bmp_spec_s s = good;
        s.bits = bits;
        rows.push_back({MakeBmp(s), "Unsupported color format!"});
    }
    {
        bmp_spec_s s = good;
        s.compression = 4;
        rows.push_back({MakeBmp(s), "Unsupported color format!"});
        s.compression = 1;
        rows.push_back({MakeBmp(s), "Unsupported color format!"}); // RLE8 needs 8 bits
    }
    {
        bmp_spec_s s = good;
        s.width = 2;
        s.height = 2;
        rows.push_back({MakeBmp(s), "Unexpected end of file!"}); // rows cut short
    }
    for (const row_s& row : rows) {
        EXPECT_EQ(Failure(row.bytes), row.message);
    }
}

TEST(BmpReadTest, FailureCarriesTheFileNameAndLeavesTheImageEmpty)
{
    bmp_spec_s s;
    s.width = 0;
    scratch_file_c disk(MakeBmp(s));
    image_c image;
    image.Create(2, 2, format_l8);
    EXPECT_EQ(FileFailure([&] {
                  input_file_c file(disk.GetName());
                  ReadBmp(image, file);
              }),
              std::string(disk.GetName()) + "|Invalid image size!");
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetData(), nullptr);
}

TEST(BmpReadTest, PositionIsNotMoved)
{
    bmp_spec_s s;
    s.pixels = {1, 2, 3, 0};
    std::vector<u8> bytes(4, 0);
    const std::vector<u8> bmp = MakeBmp(s);
    bytes.insert(bytes.end(), bmp.begin(), bmp.end());
    input_file_c file(bytes.data(), u32(bytes.size()));
    file.Seek(4, 0);
    image_c image;
    EXPECT_EQ(image.Load(file), image_file_bmp);
    EXPECT_EQ(file.GetPosition(), 4u);
    EXPECT_EQ(Pixel(image, 0, 0), 0x00030201u);
}

image_c Sample(format_e format, int width, int height)
{
    image_c image;
    image.Create(width, height, format);
    for (int i = 0; i < image.GetSize(); ++i)
        image.GetData()[i] = u8(i * 37 + 11);
    // Keep the ignored bits 0 as every image of the library does.
    if (format == format_x8r8g8b8 || format == format_x1r5g5b5 || format == format_x4r4g4b4) {
        image_c clean(image, format_a8r8g8b8);
        image = image_c(clean, format);
        if (format == format_x8r8g8b8)
            for (int i = 0; i < width * height; ++i)
                image.GetData()[4 * i + 3] = 0;
    }
    return image;
}

TEST(BmpWriteTest, EveryUncompressedFormatReadsBackTheSame)
{
    for (format_e format : {format_l8, format_x8r8g8b8, format_a8r8g8b8, format_r5g6b5, format_x1r5g5b5,
                            format_a1r5g5b5, format_x4r4g4b4, format_a4r4g4b4}) {
        const image_c image = Sample(format, 3, 5);
        output_file_c out;
        WriteBmp(image, out);
        input_file_c in(out.GetData(), out.GetSize());
        image_c back;
        ReadBmp(back, in);
        ASSERT_EQ(back.GetFormat(), format) << format;
        ASSERT_EQ(back.GetWidth(), 3);
        ASSERT_EQ(back.GetHeight(), 5);
        EXPECT_EQ(0, std::memcmp(back.GetData(), image.GetData(), image.GetSize())) << format;
    }
}

TEST(BmpWriteTest, HeaderFields)
{
    const image_c image = Sample(format_x8r8g8b8, 3, 2);
    output_file_c out;
    out.WriteU8(9);
    WriteBmp(image, out);
    EXPECT_EQ(out.GetPosition(), 1u + 54 + 24);
    const u8* p = out.GetData() + 1;
    EXPECT_EQ(p[0], 'B');
    EXPECT_EQ(ReadLe32(p + 2), 54u + 24);
    EXPECT_EQ(ReadLe32(p + 10), 54u);
    EXPECT_EQ(ReadLe32(p + 14), 40u);
    EXPECT_EQ(p[28], 24);
    EXPECT_EQ(ReadLe32(p + 34), 24u);

    output_file_c grey;
    WriteBmp(Sample(format_l8, 1, 1), grey);
    EXPECT_EQ(ReadLe32(grey.GetData() + 10), 14u + 40 + 1024);
    EXPECT_EQ(ReadLe32(grey.GetData() + 46), 256u);
    EXPECT_EQ(ReadLe32(grey.GetData() + 54 + 4 * 200), 0x00C8C8C8u);

    output_file_c masks;
    WriteBmp(Sample(format_a1r5g5b5, 1, 1), masks);
    EXPECT_EQ(ReadLe32(masks.GetData() + 10), 14u + 56 + 12);
    EXPECT_EQ(ReadLe32(masks.GetData() + 14 + 52), 0x8000u);
    EXPECT_EQ(ReadLe32(masks.GetData() + 14 + 56), 0x7C00u);
}

TEST(BmpWriteTest, CompressedImagesAreWrittenDecoded)
{
    image_c image;
    image.Create(4, 4, format_dxt5);
    std::memset(image.GetData(), 0, 16);
    image.GetData()[0] = 0x80; // alpha 0: 0x80 for every pixel
    output_file_c out;
    image.Save(out, image_file_bmp);
    input_file_c in(out.GetData(), out.GetSize());
    image_c back;
    ReadBmp(back, in);
    EXPECT_EQ(back.GetFormat(), format_a8r8g8b8);
    EXPECT_EQ(Pixel(back, 3, 3), 0x80000000u);
}

TEST(BmpWriteTest, InvalidImagesAndUnknownTypesWriteNothing)
{
    output_file_c out;
    WriteBmp(image_c(), out);
    image_c image;
    image.Create(2, 2, format_l8);
    image.Save(out, 3);
    EXPECT_EQ(out.GetSize(), 0u);
}

} // namespace
