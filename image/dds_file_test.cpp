#include "image/dds_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "foundation/memory_file.h"
#include "image/file_bytes.h"
#include "image/pixel.h"
#include "image/testing/image_files.h"
#include "image/texture_image.h"

namespace {

struct dds_spec_s {
    u32 width = 4;
    u32 height = 4;
    u32 flags = 0x1007;
    u32 pitch = 0;
    u32 mip_count = 0;
    u32 pf_size = 32;
    u32 pf_flags = 0x4;
    const char* fourcc = "DXT1";
    u32 bits = 0;
    u32 masks[4] = {};
    u32 caps = 0x1000;
    u32 caps2 = 0;
    u32 header_size = 124;
    size_t data_bytes = 8;
};

std::vector<u8> MakeDds(const dds_spec_s& s)
{
    std::vector<u8> out;
    Put32(out, 0x20534444);
    Put32(out, s.header_size);
    Put32(out, s.flags);
    Put32(out, s.height);
    Put32(out, s.width);
    Put32(out, s.pitch);
    Put32(out, 0);
    Put32(out, s.mip_count);
    for (int i = 0; i < 11; ++i)
        Put32(out, 0);
    Put32(out, s.pf_size);
    Put32(out, s.pf_flags);
    u32 fourcc = 0;
    if (s.fourcc)
        std::memcpy(&fourcc, s.fourcc, 4);
    Put32(out, fourcc);
    Put32(out, s.bits);
    for (u32 m : s.masks)
        Put32(out, m);
    Put32(out, s.caps);
    Put32(out, s.caps2);
    for (int i = 0; i < 3; ++i)
        Put32(out, 0);
    for (size_t i = 0; i < s.data_bytes; ++i)
        out.push_back(u8(i * 7 + 1));
    return out;
}

std::string Failure(const std::vector<u8>& bytes)
{
    return FailureMessage([&] {
        input_file_c file(bytes.data(), u32(bytes.size()));
        texture_image_c texture;
        ReadDds(texture, file);
    });
}

texture_image_c Read(const std::vector<u8>& bytes)
{
    input_file_c file(bytes.data(), u32(bytes.size()));
    texture_image_c texture;
    ReadDds(texture, file);
    return texture;
}

TEST(DdsReadTest, MipChainOfDxt1)
{
    dds_spec_s s;
    s.width = s.height = 64;
    s.flags |= 0x20000;
    s.mip_count = 7;
    s.caps |= 0x400008;
    s.data_bytes = 8 * (256 + 64 + 16 + 4 + 1 + 1 + 1);
    const texture_image_c texture = Read(MakeDds(s));
    ASSERT_EQ(texture.GetLevelCount(), 7);
    EXPECT_EQ(texture.GetFormat(), format_dxt1);
    EXPECT_TRUE(texture.IsValid());
    EXPECT_EQ(texture.GetLevel(6).GetWidth(), 1);
    // Level 1 starts after the 2048 bytes of level 0.
    EXPECT_EQ(texture.GetLevel(1).GetData()[0], u8(2048 * 7 + 1));

    s.mip_count = 6;
    EXPECT_EQ(Failure(MakeDds(s)), "Unsupported file structure!");
}

TEST(DdsReadTest, Rectangular24BitMipChain)
{
    dds_spec_s s;
    s.width = 4;
    s.height = 2;
    s.flags = 0x2100F;
    s.pitch = 12;
    s.mip_count = 3;
    s.pf_flags = 0x40;
    s.fourcc = nullptr;
    s.bits = 24;
    s.masks[0] = 0xFF0000;
    s.masks[1] = 0xFF00;
    s.masks[2] = 0xFF;
    s.caps |= 0x400008;
    s.data_bytes = 12 * 2 + 8 + 4;
    const texture_image_c texture = Read(MakeDds(s));
    ASSERT_EQ(texture.GetLevelCount(), 3);
    EXPECT_EQ(texture.GetFormat(), format_x8r8g8b8);
    EXPECT_EQ(texture.GetLevel(1).GetWidth(), 2);
    EXPECT_EQ(texture.GetLevel(1).GetHeight(), 1);
    EXPECT_EQ(LoadU32(texture.GetLevel(0).GetData()), 0x000F0801u);
}

TEST(DdsReadTest, TwentyFourBitRowsOfWidthThree)
{
    dds_spec_s s;
    s.width = 3;
    s.height = 1;
    s.flags = 0x100F;
    s.pitch = 12;
    s.pf_flags = 0x40;
    s.fourcc = nullptr;
    s.bits = 24;
    s.masks[0] = 0xFF0000;
    s.masks[1] = 0xFF00;
    s.masks[2] = 0xFF;
    s.data_bytes = 12;
    const texture_image_c texture = Read(MakeDds(s));
    const u8* p = texture.GetLevel(0).GetData();
    // Bytes 1, 8, 15 | 22, 29, 36 | 43, 50, 57: blue, green, red, then 0.
    EXPECT_EQ(LoadU32(p), 0x000F0801u);
    EXPECT_EQ(LoadU32(p + 4), 0x00241D16u);
    EXPECT_EQ(LoadU32(p + 8), 0x0039322Bu);
}

TEST(DdsReadTest, HeaderChecks)
{
    struct row_s {
        void (*change)(dds_spec_s&);
        const char* message;
    } rows[] = {
        {[](dds_spec_s& s) {
             s.data_bytes = 0;
             s.header_size = 124;
         },
         "Unexpected end of file!"},
        {[](dds_spec_s& s) { s.header_size = 100; }, "Invalid file structure!"},
        {[](dds_spec_s& s) { s.flags = 0x1005; }, "Invalid file structure!"},
        {[](dds_spec_s& s) { s.pf_size = 24; }, "Invalid file structure!"},
        {[](dds_spec_s& s) { s.caps = 0; }, "Invalid file structure!"},
        {[](dds_spec_s& s) { s.pf_flags = 0; }, "Invalid color format!"},
        {[](dds_spec_s& s) {
             s.pf_flags = 0x44;
             s.bits = 32;
         },
         "Invalid file structure!"},
        {[](dds_spec_s& s) {
             s.flags |= 0x80000;
             s.pitch = 16;
         },
         "Invalid file structure!"},
        {[](dds_spec_s& s) { s.width = 6; }, "Invalid image size!"},
        {[](dds_spec_s& s) { s.width = 0; }, "Invalid image size!"},
        {[](dds_spec_s& s) { s.height = 0; }, "Invalid image size!"},
        {[](dds_spec_s& s) { s.width = 0x80000000; }, "Invalid image size!"},
        {[](dds_spec_s& s) {
             s.caps |= 0x400000;
             s.flags |= 0x20000;
             s.mip_count = 3;
         },
         "Invalid file structure!"},
        {[](dds_spec_s& s) {
             s.caps |= 0x400008;
             s.mip_count = 3;
         },
         "Unsupported file structure!"},
        {[](dds_spec_s& s) { s.caps2 = 0x200 | 0x7C00; }, "Unsupported file structure!"},
        {[](dds_spec_s& s) {
             s.caps2 = 0xFE00;
             s.width = 8;
         },
         "Invalid image size!"},
        {[](dds_spec_s& s) { s.fourcc = "DXT2"; }, "Unsupported color format!"},
        {[](dds_spec_s& s) { s.data_bytes = 7; }, "Unexpected end of file!"},
        {[](dds_spec_s& s) {
             s.caps2 = 0xFE00;
             s.data_bytes = 8 * 5;
         },
         "Unexpected end of file!"},
    };
    ASSERT_EQ(Failure(MakeDds(dds_spec_s())), "no error");
    for (const row_s& row : rows) {
        dds_spec_s s;
        row.change(s);
        std::vector<u8> bytes = MakeDds(s);
        if (s.data_bytes == 0)
            bytes.resize(127);
        EXPECT_EQ(Failure(bytes), row.message) << &row - rows;
    }
    {
        std::vector<u8> bytes = MakeDds(dds_spec_s());
        bytes[0] = 'X';
        EXPECT_EQ(Failure(bytes), "Invalid file type!");
    }
    {
        // An uncompressed layout without a colour mask, and one with a wrong pitch.
        dds_spec_s s;
        s.fourcc = nullptr;
        s.pf_flags = 0x40;
        s.bits = 16;
        s.masks[0] = 0xF800;
        s.masks[1] = 0x07E0;
        s.data_bytes = 32;
        EXPECT_EQ(Failure(MakeDds(s)), "Invalid file structure!");
        s.masks[2] = 0x001F;
        EXPECT_EQ(Failure(MakeDds(s)), "no error");
        s.flags |= 0x8;
        s.pitch = 10;
        EXPECT_EQ(Failure(MakeDds(s)), "Invalid file structure!");
    }
}

TEST(DdsReadTest, ZeroSidedUncompressedFileIsRefused)
{
    dds_spec_s s;
    s.fourcc = nullptr;
    s.pf_flags = 0x40;
    s.bits = 32;
    s.masks[0] = 0xFF0000;
    s.masks[1] = 0xFF00;
    s.masks[2] = 0xFF;
    s.width = 0;
    s.data_bytes = 0;
    std::vector<u8> bytes = MakeDds(s);
    bytes.resize(128);
    EXPECT_EQ(Failure(bytes), "Invalid image size!");
}

TEST(DdsReadTest, MissingPicturesAreFoundBeforeAllocating)
{
    dds_spec_s s;
    s.width = s.height = 4096;
    s.fourcc = nullptr;
    s.pf_flags = 0x41;
    s.bits = 32;
    s.masks[0] = 0xFF0000;
    s.masks[1] = 0xFF00;
    s.masks[2] = 0xFF;
    s.masks[3] = 0xFF000000;
    s.caps2 = 0xFE00;
    s.data_bytes = 4096 * 4096 * 4;
    EXPECT_EQ(Failure(MakeDds(s)), "Unexpected end of file!");
}

TEST(DdsReadTest, FailureCarriesTheNameAndEmptiesTheTexture)
{
    dds_spec_s s;
    s.width = 6;
    const std::vector<u8> bytes = MakeDds(s);
    input_file_c file(bytes.data(), u32(bytes.size()));
    texture_image_c texture(4, 4, format_l8, false, false);
    EXPECT_THROW(ReadDds(texture, file), file_error_c);
    EXPECT_EQ(texture.GetLevelCount(), 0);
    EXPECT_FALSE(texture.IsValid());
}

TEST(DdsReadTest, DetectionNeedsMagicAndFullHeader)
{
    std::vector<u8> bytes = MakeDds(dds_spec_s());
    input_file_c whole(bytes.data(), u32(bytes.size()));
    EXPECT_TRUE(IsDds(whole));
    input_file_c short_file(bytes.data(), 127);
    EXPECT_FALSE(IsDds(short_file));
    bytes[3] = 'X';
    input_file_c other(bytes.data(), u32(bytes.size()));
    EXPECT_FALSE(IsDds(other));
}

void FillLevels(texture_image_c& texture)
{
    u8 seed = 3;
    for (int f = 0; f < texture.GetFaceCount(); ++f)
        for (int k = 0; k < texture.GetLevelCount(); ++k) {
            image_c& level = texture.GetLevel(k, f);
            for (int i = 0; i < level.GetSize(); ++i)
                level.GetData()[i] = seed += 29;
            if (!level.IsCompressed() && !level.HasAlpha() && level.GetFormat() != format_r5g6b5 &&
                level.GetFormat() != format_l8) {
                // Clear the ignored bits: this is what every image of the library holds.
                image_c clean(level, level.GetFormat() == format_x8r8g8b8   ? format_a8r8g8b8
                                     : level.GetFormat() == format_x1r5g5b5 ? format_a1r5g5b5
                                                                            : format_a4r4g4b4);
                clean.ChangeFormat(format_l8);
                clean.ChangeFormat(level.GetFormat());
                level = clean;
            }
        }
}

TEST(DdsWriteTest, EveryFormatRoundTripsWithMipsAndCubeFaces)
{
    for (format_e format : {format_l8, format_x8r8g8b8, format_a8r8g8b8, format_r5g6b5, format_x1r5g5b5,
                            format_a1r5g5b5, format_x4r4g4b4, format_a4r4g4b4, format_dxt1, format_dxt3, format_dxt5}) {
        for (bool cubic : {false, true}) {
            texture_image_c texture(cubic ? 8 : 16, 8, format, true, cubic);
            ASSERT_TRUE(texture.IsValid());
            FillLevels(texture);
            output_file_c out;
            EXPECT_EQ(WriteDds(texture, out), 1);
            // Uncompressed rows are padded to 4 bytes in the file.
            u64 expected = 128;
            for (int f = 0; f < texture.GetFaceCount(); ++f)
                for (int k = 0; k < texture.GetLevelCount(); ++k) {
                    const image_c& level = texture.GetLevel(k, f);
                    expected +=
                        FormatIsCompressed(format)
                            ? u64(level.GetSize())
                            : u64(((level.GetWidth() * FormatBitsPerPixel(format) / 8) + 3) & ~3) * level.GetHeight();
                }
            EXPECT_EQ(out.GetSize(), expected) << format;
            const texture_image_c back = Read(std::vector<u8>(out.GetData(), out.GetData() + out.GetSize()));
            ASSERT_EQ(back.GetFormat(), format) << format;
            ASSERT_EQ(back.GetLevelCount(), texture.GetLevelCount());
            ASSERT_EQ(back.IsCubic(), cubic);
            for (int f = 0; f < texture.GetFaceCount(); ++f)
                for (int k = 0; k < texture.GetLevelCount(); ++k)
                    EXPECT_EQ(0, std::memcmp(back.GetLevel(k, f).GetData(), texture.GetLevel(k, f).GetData(),
                                             texture.GetLevel(k, f).GetSize()))
                        << format << " face " << f << " level " << k;
        }
    }
}

TEST(DdsWriteTest, HeaderOfACompressedTexture)
{
    texture_image_c texture(2, 2, format_dxt5, false, false);
    output_file_c out;
    WriteDds(texture, out);
    const u8* p = out.GetData();
    EXPECT_EQ(ReadLe32(p + 8), 0x81007u);
    EXPECT_EQ(ReadLe32(p + 20), 16u);
    EXPECT_EQ(ReadLe32(p + 80), 0x4u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 84), 4), "DXT5");
    EXPECT_EQ(ReadLe32(p + 108), 0x1000u);

    texture_image_c rows(3, 1, format_r5g6b5, false, false);
    output_file_c padded;
    WriteDds(rows, padded);
    EXPECT_EQ(ReadLe32(padded.GetData() + 8), 0x100Fu);
    EXPECT_EQ(ReadLe32(padded.GetData() + 20), 8u);
    EXPECT_EQ(padded.GetSize(), 128u + 8);
}

TEST(DdsWriteTest, InvalidTextureWritesNothing)
{
    texture_image_c texture;
    output_file_c out;
    EXPECT_EQ(WriteDds(texture, out), 0);
    EXPECT_EQ(out.GetSize(), 0u);
}

} // namespace
