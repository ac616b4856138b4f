#include "image/bmp_file.h"

#include <bit>
#include <cstring>
#include <vector>

#include "foundation/memory_file.h"
#include "image/file_bytes.h"
#include "image/image.h"
#include "image/pixel.h"

namespace {

constexpr u16 bmp_magic = 0x4D42;
constexpr u32 file_header_size = 14;
constexpr u32 max_header_size = 108;

struct bmp_header_s {
    u32 size;
    i32 width;
    i32 height;
    u16 bits;
    u32 compression;
    u32 colours_used;
    u32 masks[4]; // red, green, blue, alpha
};

bmp_header_s ParseHeader(const u8* p, u32 header_size)
{
    u8 raw[max_header_size] = {};
    std::memcpy(raw, p, header_size < max_header_size ? header_size : max_header_size);
    bmp_header_s h;
    h.size = ReadLe32(raw);
    h.width = i32(ReadLe32(raw + 4));
    h.height = i32(ReadLe32(raw + 8));
    h.bits = ReadLe16(raw + 14);
    h.compression = ReadLe32(raw + 16);
    h.colours_used = ReadLe32(raw + 32);
    for (int i = 0; i < 4; ++i)
        h.masks[i] = ReadLe32(raw + 40 + 4 * i);
    return h;
}

bool MasksAre(const u32 masks[4], u32 r, u32 g, u32 b, u32 a)
{
    return masks[0] == r && masks[1] == g && masks[2] == b && masks[3] == a;
}

format_e BitFieldFormat(const bmp_header_s& h)
{
    const u32* m = h.masks;
    if (h.bits == 16) {
        if (MasksAre(m, 0xF800, 0x07E0, 0x001F, 0))
            return format_r5g6b5;
        if (MasksAre(m, 0x7C00, 0x03E0, 0x001F, 0))
            return format_x1r5g5b5;
        if (MasksAre(m, 0x7C00, 0x03E0, 0x001F, 0x8000))
            return format_a1r5g5b5;
        if (MasksAre(m, 0x0F00, 0x00F0, 0x000F, 0))
            return format_x4r4g4b4;
        if (MasksAre(m, 0x0F00, 0x00F0, 0x000F, 0xF000))
            return format_a4r4g4b4;
    }
    return m[3] != 0 ? format_a8r8g8b8 : format_x8r8g8b8;
}

// One channel of a bit-field pixel scaled to 0..255.
struct channel_s {
    u32 mask = 0;
    int shift = 0;
    u32 max = 0;

    explicit channel_s(u32 m) : mask(m)
    {
        if (m != 0) {
            // Channels wider than 8 bits keep their top 8.
            shift = std::countr_zero(m);
            while ((m >> shift) > 255)
                ++shift;
            max = m >> shift;
        }
    }
    u32 operator()(u32 pixel) const
    {
        const u32 v = (pixel & mask) >> shift;
        if (max == 255 || max == 0)
            return v & 0xFF;
        return u32(u64(v) * 255 / max);
    }
};

class bmp_reader_c {
public:
    bmp_reader_c(image_c& image, const file_bytes_s& file) : image(image), file(file) {}

    void Read();

private:
    [[noreturn]] void Fail(const char* message) { ThrowFileError(file.name, message); }
    void ReadPalette(u32 palette_start, u32 pixel_offset);
    void DecodeRows(const u8* pixels, u64 row_size);
    void DecodeRle(const u8* pixels, u64 size);
    void PutIndex(int x, int y, u32 index);

    image_c& image;
    file_bytes_s file;
    bmp_header_s h{};
    format_e format = format_none;
    u32 palette[256] = {};
    bool grey = false;
    int rows = 0;
};

void bmp_reader_c::ReadPalette(u32 palette_start, u32 pixel_offset)
{
    const u32 n = 1u << h.bits;
    const u64 count = h.colours_used != 0 ? h.colours_used : n;
    const u64 space = pixel_offset - palette_start;
    const u32 table = n > 256 ? 256 : n;
    if (space < 4 * count) {
        for (u32 i = 0; i < table; ++i) {
            const u32 v = n == 256 ? i : i * 255 / (n - 1);
            palette[i] = (v << 16) | (v << 8) | v;
        }
        grey = true;
        return;
    }
    const u32 copied = count < table ? u32(count) : table;
    grey = true;
    for (u32 i = 0; i < copied; ++i) {
        // The reserved byte is dropped: it would land in the ignored top bits.
        palette[i] = ReadLe32(file.data + palette_start + 4 * i) & 0x00FFFFFF;
        const u32 b = palette[i] & 0xFF, g = (palette[i] >> 8) & 0xFF, r = (palette[i] >> 16) & 0xFF;
        if (b != g || g != r)
            grey = false;
    }
}

void bmp_reader_c::Read()
{
    if (file.size < file_header_size)
        Fail("Unexpected end of file!");
    if (ReadLe16(file.data) != bmp_magic)
        Fail("Invalid file type!");
    const u64 file_size = ReadLe32(file.data + 2);
    if (file_size > file.size)
        Fail("Unexpected end of file!");
    const u32 offset = ReadLe32(file.data + 10);
    if (offset < file_header_size)
        Fail("Invalid file offset!");
    if (offset > file.size)
        Fail("Unexpected end of file!");
    const u32 header_space = offset - file_header_size;
    if (header_space < 40)
        Fail("Unexpected end of file!");
    const u32 header_size = ReadLe32(file.data + file_header_size);
    if (header_size > header_space)
        Fail("Unexpected end of file!");
    h = ParseHeader(file.data + file_header_size, header_size);
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN)
        Fail("Invalid image size!");

    u32 palette_start = file_header_size + header_size;
    if (header_size <= 40 && h.compression == 3 && (h.bits == 16 || h.bits == 32)) {
        if (u64(palette_start) + 12 > offset)
            Fail("Unexpected end of file!");
        for (int i = 0; i < 3; ++i)
            h.masks[i] = ReadLe32(file.data + palette_start + 4 * i);
        h.masks[3] = 0;
        palette_start += 12;
    }
    if (h.bits >= 1 && h.bits <= 15)
        ReadPalette(palette_start, offset);

    const format_e palette_format = grey ? format_l8 : format_x8r8g8b8;
    switch (h.compression) {
    case 0:
        if (h.bits == 1 || h.bits == 4 || h.bits == 8)
            format = palette_format;
        else if (h.bits == 16)
            format = format_x1r5g5b5;
        else if (h.bits == 24 || h.bits == 32)
            format = format_x8r8g8b8;
        break;
    case 1:
        if (h.bits == 8)
            format = palette_format;
        break;
    case 2:
        if (h.bits == 4)
            format = palette_format;
        break;
    case 3:
        if (h.bits == 16 || h.bits == 32) {
            // A colour channel without bits cannot be decoded.
            if (h.masks[0] == 0 || h.masks[1] == 0 || h.masks[2] == 0)
                Fail("Unsupported color format!");
            format = BitFieldFormat(h);
        }
        break;
    }
    if (format == format_none)
        Fail("Unsupported color format!");

    const i64 height = h.height < 0 ? -i64(h.height) : i64(h.height);
    if (!IsImageSizeAllowed(h.width, height, format))
        Fail("Invalid image size!");
    rows = int(height);
    const bool rle = h.compression == 1 || h.compression == 2;
    if (rle && h.height < 0)
        Fail("Top-down bitmap cannot be compressed!");
    const u64 data_size = file_size > offset ? file_size - offset : 0;
    const u64 row_size = ((u64(h.bits) * u64(h.width) + 31) & ~u64(31)) / 8;
    if (!rle && data_size < u64(height) * row_size)
        Fail("Unexpected end of file!");

    image.Create(h.width, rows, format);
    if (rle) {
        const u32 first = palette[0];
        image.Fill(first);
        DecodeRle(file.data + offset, data_size);
    } else {
        DecodeRows(file.data + offset, row_size);
    }
}

void bmp_reader_c::DecodeRows(const u8* pixels, u64 row_size)
{
    const int width = image.GetWidth();
    const size_t pitch = size_t(image.GetPitch());
    const bool bitfield_to_32 = h.compression == 3 && (format == format_x8r8g8b8 || format == format_a8r8g8b8);
    const bool standard_32 =
        h.bits == 32 && h.masks[0] == 0x00FF0000 && h.masks[1] == 0x0000FF00 && h.masks[2] == 0x000000FF;
    const channel_s red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);
    for (int y = 0; y < rows; ++y) {
        const u8* src = pixels + size_t(h.height < 0 ? y : rows - 1 - y) * row_size;
        u8* dst = image.GetData() + size_t(y) * pitch;
        if (h.bits <= 8) {
            const int per_byte = 8 / h.bits;
            const u32 index_mask = (1u << h.bits) - 1;
            for (int x = 0; x < width; ++x) {
                const int shift = 8 - h.bits * (x % per_byte + 1);
                const u32 entry = palette[(src[x / per_byte] >> shift) & index_mask];
                if (format == format_l8)
                    dst[x] = u8(GreyOf((entry >> 16) & 0xFF, (entry >> 8) & 0xFF, entry & 0xFF));
                else
                    StoreU32(dst + 4 * x, entry);
            }
        } else if (h.bits == 24) {
            for (int x = 0; x < width; ++x)
                StoreU32(dst + 4 * x, u32(src[3 * x]) | (u32(src[3 * x + 1]) << 8) | (u32(src[3 * x + 2]) << 16));
        } else if (bitfield_to_32 && !(standard_32 && (h.masks[3] == 0xFF000000 || h.masks[3] == 0))) {
            for (int x = 0; x < width; ++x) {
                const u32 p = h.bits == 16 ? LoadU16(src + 2 * x) : LoadU32(src + 4 * x);
                const u32 a = format == format_a8r8g8b8 ? alpha(p) : 0;
                StoreU32(dst + 4 * x, (a << 24) | (red(p) << 16) | (green(p) << 8) | blue(p));
            }
        } else {
            std::memcpy(dst, src, size_t(width) * (h.bits / 8));
            // The ignored bits of the X formats are stored as 0 whatever the file holds.
            if (format == format_x8r8g8b8) {
                for (int x = 0; x < width; ++x)
                    dst[4 * x + 3] = 0;
            } else if (format == format_x1r5g5b5 || format == format_x4r4g4b4) {
                const u16 keep = format == format_x1r5g5b5 ? 0x7FFF : 0x0FFF;
                for (int x = 0; x < width; ++x)
                    StoreU16(dst + 2 * x, LoadU16(dst + 2 * x) & keep);
            }
        }
    }
}

void bmp_reader_c::PutIndex(int x, int y, u32 index)
{
    // Row 0 of the encoded picture is the bottom row of the image.
    u8* row = image.GetData() + size_t(rows - 1 - y) * size_t(image.GetPitch());
    const u32 entry = palette[index & 0xFF];
    if (format == format_l8)
        row[x] = u8(GreyOf((entry >> 16) & 0xFF, (entry >> 8) & 0xFF, entry & 0xFF));
    else
        StoreU32(row + 4 * x, entry);
}

void bmp_reader_c::DecodeRle(const u8* pixels, u64 size)
{
    const bool rle4 = h.compression == 2;
    const i64 width = image.GetWidth();
    i64 x = 0, y = 0;
    u64 at = 0;
    // Runs that leave their row or the picture are dropped, as other viewers do.
    auto fits = [&](i64 count) { return y < rows && x + count <= width; };
    // Index bytes missing at the end of the data count as 0.
    auto byte_at = [&](u64 i) -> u32 { return i < size ? pixels[i] : 0; };
    while (size - at >= 2) {
        const u32 count = pixels[at];
        const u32 value = pixels[at + 1];
        at += 2;
        if (count > 0) {
            if (!fits(count))
                continue;
            for (u32 i = 0; i < count; ++i) {
                const u32 index = rle4 ? ((i & 1) ? value & 15 : value >> 4) : value;
                PutIndex(int(x++), int(y), index);
            }
            continue;
        }
        switch (value) {
        case 0:
            x = 0;
            ++y;
            break;
        case 1: return;
        case 2:
            if (size - at < 2)
                return;
            x += pixels[at];
            y += pixels[at + 1];
            at += 2;
            break;
        default: {
            if (!fits(value))
                break;
            const u64 bytes = rle4 ? (value + 1) / 2 : value;
            for (u32 i = 0; i < value; ++i) {
                const u32 index =
                    rle4 ? ((i & 1) ? byte_at(at + i / 2) & 15 : byte_at(at + i / 2) >> 4) : byte_at(at + i);
                PutIndex(int(x++), int(y), index);
            }
            const u64 padded = bytes + (bytes & 1);
            at += padded < size - at ? padded : size - at;
            break;
        }
        }
    }
}

} // namespace

void ReadBmp(image_c& image, input_file_c& file)
{
    image.Destroy();
    try {
        bmp_reader_c(image, RemainingBytes(file)).Read();
    } catch (...) {
        image.Destroy();
        throw;
    }
}

void WriteBmp(const image_c& source, output_file_c& file)
{
    if (!source.IsValid())
        return;
    if (source.IsCompressed()) {
        const image_c decoded(source, source.HasAlpha() ? format_a8r8g8b8 : format_x8r8g8b8);
        WriteBmp(decoded, file);
        return;
    }
    struct layout_s {
        u32 bits, compression, header_size, table_entries;
        u32 masks[4];
    };
    layout_s layout{};
    switch (source.GetFormat()) {
    case format_l8: layout = {8, 0, 40, 256, {}}; break;
    case format_x8r8g8b8: layout = {24, 0, 40, 0, {}}; break;
    case format_a8r8g8b8: layout = {32, 3, 56, 3, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}}; break;
    case format_r5g6b5: layout = {16, 3, 56, 3, {0xF800, 0x07E0, 0x001F, 0}}; break;
    case format_x1r5g5b5: layout = {16, 0, 40, 0, {}}; break;
    case format_a1r5g5b5: layout = {16, 3, 56, 3, {0x7C00, 0x03E0, 0x001F, 0x8000}}; break;
    case format_x4r4g4b4: layout = {16, 3, 56, 3, {0x0F00, 0x00F0, 0x000F, 0}}; break;
    case format_a4r4g4b4: layout = {16, 3, 56, 3, {0x0F00, 0x00F0, 0x000F, 0xF000}}; break;
    default: return;
    }
    const int width = source.GetWidth();
    const int height = source.GetHeight();
    const u64 row_size = ((u64(layout.bits) * u64(width) + 31) & ~u64(31)) / 8;
    const u64 image_size = row_size * u64(height);
    const u32 offset = file_header_size + layout.header_size + 4 * layout.table_entries;
    const u64 total = offset + image_size;

    std::vector<u8> bytes(total, 0);
    u8* p = bytes.data();
    WriteLe16(p, bmp_magic);
    WriteLe32(p + 2, u32(total));
    WriteLe32(p + 10, offset);
    u8* info = p + file_header_size;
    WriteLe32(info, layout.header_size);
    WriteLe32(info + 4, u32(width));
    WriteLe32(info + 8, u32(height));
    WriteLe16(info + 12, 1);
    WriteLe16(info + 14, layout.bits);
    WriteLe32(info + 16, layout.compression);
    WriteLe32(info + 20, u32(image_size));
    WriteLe32(info + 32, source.GetFormat() == format_l8 ? 256 : 0);
    u8* table = info + layout.header_size;
    if (layout.header_size > 40) {
        for (int i = 0; i < 4; ++i)
            WriteLe32(info + 40 + 4 * i, layout.masks[i]);
        for (int i = 0; i < 3; ++i)
            WriteLe32(table + 4 * i, layout.masks[i]);
    } else if (source.GetFormat() == format_l8) {
        for (u32 i = 0; i < 256; ++i)
            WriteLe32(table + 4 * i, (i << 16) | (i << 8) | i);
    }

    const size_t pitch = size_t(source.GetPitch());
    for (int y = 0; y < height; ++y) {
        const u8* src = source.GetData() + size_t(height - 1 - y) * pitch;
        u8* dst = p + offset + size_t(y) * row_size;
        if (layout.bits == 24) {
            for (int x = 0; x < width; ++x) {
                dst[3 * x] = src[4 * x];
                dst[3 * x + 1] = src[4 * x + 1];
                dst[3 * x + 2] = src[4 * x + 2];
            }
        } else {
            std::memcpy(dst, src, size_t(width) * (layout.bits / 8));
        }
    }
    AppendBytes(file, bytes.data(), bytes.size());
}
