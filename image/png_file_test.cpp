#include "image/png_file.h"

#include <png.h>
#include <cstdio>
#include <jpeglib.h>
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "foundation/memory_file.h"
#include "image/file_bytes.h"
#include "image/image.h"
#include "image/pixel.h"
#include "image/testing/image_files.h"

namespace {

// Encodes rows of raw samples with libpng itself, for pictures the image
// library never writes (16-bit, low depths, transparency chunks).
struct png_fixture_s {
    u32 width;
    u32 height;
    int depth;
    int colour_type;
    std::vector<u8> samples; // packed rows as PNG stores them
    std::vector<png_color> palette;
    std::vector<u8> transparency;
    bool grey_transparency = false;
    bool interlaced = false;
};

void Collect(png_structp png, png_bytep bytes, png_size_t count)
{
    auto* out = static_cast<std::vector<u8>*>(png_get_io_ptr(png));
    out->insert(out->end(), bytes, bytes + count);
}

std::vector<u8> Encode(const png_fixture_s& f)
{
    std::vector<u8> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "fixture encoding failed";
        return {};
    }
    png_set_write_fn(png, &out, Collect, nullptr);
    png_set_IHDR(png, info, f.width, f.height, f.depth, f.colour_type,
                 f.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!f.palette.empty())
        png_set_PLTE(png, info, f.palette.data(), int(f.palette.size()));
    if (!f.transparency.empty())
        png_set_tRNS(png, info, f.transparency.data(), int(f.transparency.size()), nullptr);
    if (f.grey_transparency) {
        png_color_16 grey{};
        grey.gray = 0;
        png_set_tRNS(png, info, nullptr, 0, &grey);
    }
    png_write_info(png, info);
    const size_t row = f.samples.size() / f.height;
    const int passes = f.interlaced ? png_set_interlace_handling(png) : 1;
    for (int pass = 0; pass < passes; ++pass)
        for (u32 y = 0; y < f.height; ++y)
            png_write_row(png, f.samples.data() + y * row);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

image_c Read(const std::vector<u8>& bytes)
{
    input_file_c file(bytes.data(), u32(bytes.size()));
    image_c image;
    ReadPng(image, file);
    return image;
}

u32 Pixel(const image_c& image, int x, int y)
{
    return LoadPixel(image.GetFormat(), image.GetData() + y * image.GetPitch(), x);
}

TEST(PngReadTest, SixteenBitRgbaKeepsTheHighBytes)
{
    png_fixture_s f{2, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA, {}, {}, {}};
    f.samples = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    const image_c image = Read(Encode(f));
    ASSERT_EQ(image.GetFormat(), format_a8r8g8b8);
    EXPECT_EQ(Pixel(image, 0, 0), 0xDE12569Au);
    EXPECT_EQ(Pixel(image, 1, 0), 0x07010305u);
}

TEST(PngReadTest, TwoBitGreyExpands)
{
    png_fixture_s f{4, 1, 2, PNG_COLOR_TYPE_GRAY, {0x1B}, {}, {}}; // 0, 1, 2, 3
    const image_c image = Read(Encode(f));
    ASSERT_EQ(image.GetFormat(), format_l8);
    EXPECT_EQ(std::vector<u8>(image.GetData(), image.GetData() + 4), (std::vector<u8>{0, 85, 170, 255}));
}

TEST(PngReadTest, LowDepthGreyWithTransparencyIsRefused)
{
    png_fixture_s f{4, 1, 2, PNG_COLOR_TYPE_GRAY, {0x1B}, {}, {}};
    f.grey_transparency = true;
    const std::vector<u8> bytes = Encode(f);
    image_c image;
    EXPECT_EQ(FailureMessage([&] { image = Read(bytes); }), "Unsupported color depth!");
    EXPECT_FALSE(image.IsValid());
}

TEST(PngReadTest, ColourTypesAndFormats)
{
    {
        png_fixture_s f{1, 1, 8, PNG_COLOR_TYPE_RGB, {0x11, 0x22, 0x33}, {}, {}};
        const image_c image = Read(Encode(f));
        EXPECT_EQ(image.GetFormat(), format_x8r8g8b8);
        EXPECT_EQ(Pixel(image, 0, 0), 0x00112233u);
    }
    {
        png_fixture_s f{2, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, {0x40, 0x80, 0xC0, 0xFF}, {}, {}};
        const image_c image = Read(Encode(f));
        EXPECT_EQ(image.GetFormat(), format_a8r8g8b8);
        EXPECT_EQ(Pixel(image, 0, 0), 0x80404040u);
        EXPECT_EQ(Pixel(image, 1, 0), 0xFFC0C0C0u);
    }
    {
        png_fixture_s f{2, 1, 4, PNG_COLOR_TYPE_PALETTE, {0x10}, {{1, 2, 3}, {4, 5, 6}}, {0x7F}};
        const image_c image = Read(Encode(f));
        // Palette with transparency still reads as colour without alpha.
        EXPECT_EQ(image.GetFormat(), format_x8r8g8b8);
        EXPECT_EQ(Pixel(image, 0, 0), 0x00040506u);
        EXPECT_EQ(Pixel(image, 1, 0), 0x00010203u);
    }
    {
        png_fixture_s f{3, 3, 8, PNG_COLOR_TYPE_GRAY, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {}, {}};
        f.interlaced = true;
        const image_c image = Read(Encode(f));
        EXPECT_EQ(std::vector<u8>(image.GetData(), image.GetData() + 9), (std::vector<u8>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    }
}

TEST(PngReadTest, TruncatedAndDamagedFiles)
{
    png_fixture_s f{8, 8, 8, PNG_COLOR_TYPE_RGB, std::vector<u8>(8 * 8 * 3, 0x5A), {}, {}};
    const std::vector<u8> bytes = Encode(f);
    for (size_t cut : {size_t(3), size_t(20), size_t(40), bytes.size() - 20}) {
        const std::vector<u8> part(bytes.begin(), bytes.begin() + cut);
        EXPECT_NE(FailureMessage([&] { Read(part); }), "no error") << cut;
    }
    EXPECT_EQ(FailureMessage([&] { Read(std::vector<u8>(bytes.begin(), bytes.begin() + 3)); }),
              "Unexpected end of file!");
    std::vector<u8> damaged = bytes;
    damaged[20] ^= 0xFF; // the header chunk's checksum no longer matches
    EXPECT_NE(FailureMessage([&] { Read(damaged); }), "no error");
}

TEST(PngReadTest, FailureCarriesTheFileName)
{
    png_fixture_s f{8, 8, 8, PNG_COLOR_TYPE_RGB, std::vector<u8>(8 * 8 * 3, 0x5A), {}, {}};
    std::vector<u8> bytes = Encode(f);
    bytes.resize(bytes.size() / 2);
    scratch_file_c disk(bytes);
    EXPECT_EQ(FileFailure([&] { image_c image(disk.GetName()); }),
              std::string(disk.GetName()) + "|Unexpected end of file!");
}

TEST(PngReadTest, SignatureTest)
{
    const u8 signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    input_file_c three(signature, 3);
    EXPECT_TRUE(IsPng(three));
    input_file_c whole(signature, 8);
    EXPECT_TRUE(IsPng(whole));
    const u8 other[8] = {0xFF, 0xD8, 0xFF, 0, 0, 0, 0, 0};
    input_file_c jpeg(other, 8);
    EXPECT_FALSE(IsPng(jpeg));
    // Three bytes that begin like a signature go to the PNG reader and end there.
    image_c image;
    input_file_c short_file(signature, 3);
    EXPECT_EQ(FailureMessage([&] { image.Load(short_file); }), "Unexpected end of file!");
}

image_c Sample(format_e format)
{
    image_c image;
    image.Create(5, 3, format_a8r8g8b8);
    for (int i = 0; i < 15; ++i)
        StoreU32(image.GetData() + 4 * i, u32(i * 0x11223344u + 0x80402010u));
    // Relabelling keeps the top bytes; the library's own x8r8g8b8 pictures hold 0 there.
    if (format == format_x8r8g8b8)
        for (int i = 0; i < 15; ++i)
            image.GetData()[4 * i + 3] = 0;
    image.ChangeFormat(format);
    return image;
}

image_c RoundTrip(const image_c& image, int type)
{
    output_file_c out;
    image.Save(out, type);
    input_file_c in(out.GetData(), out.GetSize());
    image_c back;
    EXPECT_EQ(back.Load(in), type);
    return back;
}

TEST(PngWriteTest, RoundTripsExactly)
{
    for (format_e format : {format_l8, format_x8r8g8b8, format_a8r8g8b8}) {
        const image_c image = Sample(format);
        const image_c back = RoundTrip(image, image_file_png);
        ASSERT_EQ(back.GetFormat(), format);
        EXPECT_EQ(0, std::memcmp(back.GetData(), image.GetData(), image.GetSize())) << format;
    }
}

TEST(PngWriteTest, OtherFormatsAreWrittenAsTheirThirtyTwoBitConversion)
{
    for (format_e format : {format_r5g6b5, format_a4r4g4b4, format_dxt1}) {
        image_c image = Sample(format_a8r8g8b8);
        if (format == format_dxt1)
            image.Resize(4, 4, filter_point);
        image.ChangeFormat(format);
        const image_c back = RoundTrip(image, image_file_png);
        const format_e wide = FormatHasAlpha(format) ? format_a8r8g8b8 : format_x8r8g8b8;
        ASSERT_EQ(back.GetFormat(), wide);
        const image_c expected(image, wide);
        EXPECT_EQ(0, std::memcmp(back.GetData(), expected.GetData(), expected.GetSize())) << format;
    }
    output_file_c out;
    WritePng(Sample(format_r5g6b5), out);
    EXPECT_EQ(out.GetData()[25], PNG_COLOR_TYPE_RGB);
    output_file_c alpha;
    WritePng(Sample(format_a4r4g4b4), alpha);
    EXPECT_EQ(alpha.GetData()[25], PNG_COLOR_TYPE_RGB_ALPHA);
}

TEST(JpegTest, RoundTripsWithinTolerance)
{
    image_c image;
    image.Create(16, 16, format_x8r8g8b8);
    image.Fill(0x00406080);
    const image_c back = RoundTrip(image, image_file_jpeg);
    ASSERT_EQ(back.GetFormat(), format_x8r8g8b8);
    ASSERT_EQ(back.GetWidth(), 16);
    for (int i = 0; i < 256; ++i) {
        const u32 p = LoadU32(back.GetData() + 4 * i);
        EXPECT_EQ(p >> 24, 0u);
        EXPECT_NEAR(int((p >> 16) & 0xFF), 0x40, 3);
        EXPECT_NEAR(int((p >> 8) & 0xFF), 0x60, 3);
        EXPECT_NEAR(int(p & 0xFF), 0x80, 3);
    }

    image_c grey;
    grey.Create(9, 7, format_l8);
    grey.Fill(0xFF909090);
    const image_c grey_back = RoundTrip(grey, image_file_jpeg);
    ASSERT_EQ(grey_back.GetFormat(), format_l8);
    for (int i = 0; i < 63; ++i)
        EXPECT_NEAR(int(grey_back.GetData()[i]), 0x90, 2);
}

TEST(JpegTest, AlphaIsDropped)
{
    image_c image;
    image.Create(8, 8, format_a8r8g8b8);
    image.Fill(0x11FF0000);
    const image_c back = RoundTrip(image, image_file_jpeg);
    ASSERT_EQ(back.GetFormat(), format_x8r8g8b8);
    EXPECT_EQ(LoadU32(back.GetData()) >> 24, 0u);
    EXPECT_GT(int((LoadU32(back.GetData()) >> 16) & 0xFF), 240);
}

std::vector<u8> CmykJpeg()
{
    image_c source;
    source.Create(8, 8, format_a8r8g8b8);
    source.Fill(0x10203040);
    output_file_c out;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 8;
    info.image_height = 8;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < 8; ++y) {
        JSAMPROW row = source.GetData() + y * 32;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<u8> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

TEST(JpegTest, CmykIsRefused)
{
    const std::vector<u8> bytes = CmykJpeg();
    input_file_c file(bytes.data(), u32(bytes.size()));
    image_c image;
    EXPECT_EQ(FailureMessage([&] { ReadJpeg(image, file); }), "Unsupported color depth!");
    EXPECT_FALSE(image.IsValid());
}

TEST(JpegTest, TruncatedAndForeignDataFail)
{
    image_c image;
    image.Create(32, 32, format_x8r8g8b8);
    image.Fill(0x00123456);
    output_file_c out;
    WriteJpeg(image, out);
    for (u32 cut : {2u, 100u, out.GetSize() - 10}) {
        input_file_c part(out.GetData(), cut);
        image_c back;
        EXPECT_NE(FailureMessage([&] { ReadJpeg(back, part); }), "no error") << cut;
        EXPECT_FALSE(back.IsValid());
    }
    const u8 text[] = "neither a bitmap nor a picture";
    input_file_c foreign(text, sizeof text);
    image_c back;
    EXPECT_NE(FailureMessage([&] { back.Load(foreign); }), "no error");
}

TEST(JpegTest, FailureCarriesTheFileName)
{
    const std::vector<u8> bytes = {0xFF, 0xD8, 0xFF};
    scratch_file_c disk(bytes);
    const std::string failure = FileFailure([&] { image_c image(disk.GetName()); });
    EXPECT_EQ(failure.substr(0, failure.find('|')), disk.GetName());
}

TEST(CodecTest, InvalidImagesWriteNothing)
{
    output_file_c out;
    WritePng(image_c(), out);
    WriteJpeg(image_c(), out);
    EXPECT_EQ(out.GetSize(), 0u);
}

} // namespace
