#include "image/dds_file.h"

#include <cstring>
#include <vector>

#include "foundation/memory_file.h"
#include "image/file_bytes.h"
#include "image/texture_image.h"

namespace {

constexpr u32 dds_magic = 0x20534444;
constexpr u32 dds_file_header = 128;

constexpr u32 flag_caps = 0x1, flag_height = 0x2, flag_width = 0x4, flag_pitch = 0x8;
constexpr u32 flag_pixelformat = 0x1000, flag_mipmapcount = 0x20000, flag_linearsize = 0x80000;
constexpr u32 pf_alphapixels = 0x1, pf_fourcc = 0x4, pf_rgb = 0x40, pf_luminance = 0x20000;
constexpr u32 caps_complex = 0x8, caps_texture = 0x1000, caps_mipmap = 0x400000;
constexpr u32 caps2_cubemap = 0x200, caps2_faces = 0xFC00;

constexpr u32 FourCc(const char (&text)[5])
{
    return u32(u8(text[0])) | (u32(u8(text[1])) << 8) | (u32(u8(text[2])) << 16) | (u32(u8(text[3])) << 24);
}

struct dds_layout_s {
    format_e format;
    u32 fourcc;
    u32 bits;
    u32 masks[4]; // red, green, blue, alpha
};

const dds_layout_s layouts[] = {
    {format_dxt1, FourCc("DXT1"), 0, {}},
    {format_dxt3, FourCc("DXT3"), 0, {}},
    {format_dxt5, FourCc("DXT5"), 0, {}},
    {format_r5g6b5, 0, 16, {0xF800, 0x07E0, 0x001F, 0}},
    {format_x1r5g5b5, 0, 16, {0x7C00, 0x03E0, 0x001F, 0}},
    {format_a1r5g5b5, 0, 16, {0x7C00, 0x03E0, 0x001F, 0x8000}},
    {format_x4r4g4b4, 0, 16, {0x0F00, 0x00F0, 0x000F, 0}},
    {format_a4r4g4b4, 0, 16, {0x0F00, 0x00F0, 0x000F, 0xF000}},
    {format_x8r8g8b8, 0, 32, {0x00FF0000, 0x0000FF00, 0x000000FF, 0}},
    {format_a8r8g8b8, 0, 32, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}},
    {format_x8r8g8b8, 0, 24, {0x00FF0000, 0x0000FF00, 0x000000FF, 0}},
    {format_l8, 0, 8, {0xFF, 0, 0, 0}},
};

u64 PaddedRow(u64 width, u64 bits)
{
    return ((width * bits) / 8 + 3) & ~u64(3);
}

u32 LinearSize(format_e format, u32 width, u32 height)
{
    const u32 block = format == format_dxt1 ? 8 : 16;
    return block * (width / 4 > 1 ? width / 4 : 1) * (height / 4 > 1 ? height / 4 : 1);
}

} // namespace

bool IsDds(const input_file_c& file)
{
    const file_bytes_s bytes = RemainingBytes(file);
    if (bytes.size < dds_file_header)
        return false;
    const u32 skip = (4 - (file.GetPosition() & 3)) & 3;
    if (bytes.size < u64(skip) + 4)
        return false;
    return ReadLe32(bytes.data + skip) == dds_magic;
}

namespace {

void ReadDdsBody(texture_image_c& texture, const file_bytes_s& file)
{
    auto fail = [&](const char* message) { ThrowFileError(file.name, message); };
    if (file.size < dds_file_header)
        fail("Unexpected end of file!");
    const u8* p = file.data;
    if (ReadLe32(p) != dds_magic)
        fail("Invalid file type!");
    const u32 flags = ReadLe32(p + 8);
    const u32 height = ReadLe32(p + 12);
    const u32 width = ReadLe32(p + 16);
    const u32 pitch = ReadLe32(p + 20);
    const u32 mip_count = ReadLe32(p + 28);
    const u32 pf_size = ReadLe32(p + 76);
    const u32 pf_flags = ReadLe32(p + 80);
    const u32 caps = ReadLe32(p + 108);
    const u32 caps2 = ReadLe32(p + 112);
    const u32 required = flag_caps | flag_height | flag_width | flag_pixelformat;
    if (ReadLe32(p + 4) != 124 || (flags & required) != required || pf_size != 32 || !(caps & caps_texture))
        fail("Invalid file structure!");

    const u32 fourcc = (pf_flags & pf_fourcc) ? ReadLe32(p + 84) : 0;
    const bool has_masks = (pf_flags & (pf_rgb | pf_luminance)) != 0;
    const u32 bits = has_masks ? ReadLe32(p + 88) : 0;
    u32 masks[4] = {};
    if (has_masks)
        for (int i = 0; i < 3; ++i)
            masks[i] = ReadLe32(p + 92 + 4 * i);
    if (pf_flags & pf_alphapixels)
        masks[3] = ReadLe32(p + 104);
    const bool mipmapped = (caps & caps_mipmap) != 0;
    const bool cubic = (caps2 & caps2_cubemap) != 0;

    // Sides from the file are bounded before any size is computed from them.
    if (width == 0 || height == 0 || width > u32(max_image_side) || height > u32(max_image_side))
        fail("Invalid image size!");
    if (fourcc == 0 && bits == 0)
        fail("Invalid color format!");
    if (fourcc != 0) {
        if (bits != 0 || masks[0] || masks[1] || masks[2] || masks[3])
            fail("Invalid file structure!");
        if ((flags & flag_linearsize) &&
            pitch != LinearSize(fourcc == FourCc("DXT1") ? format_dxt1 : format_dxt3, width, height))
            fail("Invalid file structure!");
        if (!IsPow2(int(width)) || !IsPow2(int(height)))
            fail("Invalid image size!");
    } else {
        if (masks[0] == 0 || ((pf_flags & pf_rgb) && (masks[1] == 0 || masks[2] == 0)))
            fail("Invalid file structure!");
        if ((flags & flag_pitch) && pitch != PaddedRow(width, bits))
            fail("Invalid file structure!");
    }
    if (mipmapped) {
        if (!(caps & caps_complex))
            fail("Invalid file structure!");
        if (!IsPow2(int(width)) || !IsPow2(int(height)))
            fail("Invalid image size!");
        if (!(flags & flag_mipmapcount) || mip_count != u32(FullChainLength(int(width), int(height))))
            fail("Unsupported file structure!");
    }
    if (cubic) {
        if ((caps2 & caps2_faces) != caps2_faces)
            fail("Unsupported file structure!");
        if (width != height)
            fail("Invalid image size!");
    }

    const dds_layout_s* layout = nullptr;
    for (const dds_layout_s& l : layouts) {
        const bool match = fourcc != 0
                               ? l.fourcc == fourcc
                               : (l.fourcc == 0 && l.bits == bits && std::memcmp(l.masks, masks, sizeof masks) == 0 &&
                                  ((pf_flags & pf_luminance) != 0) == (l.format == format_l8));
        if (match) {
            layout = &l;
            break;
        }
    }
    if (layout == nullptr)
        fail("Unsupported color format!");
    if (!IsImageSizeAllowed(width, height, layout->format))
        fail("Invalid image size!");

    // The pictures must all be there before anything is allocated for them: a
    // header alone could otherwise ask for six faces of the largest size.
    const int levels = mipmapped ? FullChainLength(int(width), int(height)) : 1;
    u64 needed = 0;
    for (int k = 0; k < levels; ++k) {
        const int w = LevelSide(int(width), k), h = LevelSide(int(height), k);
        needed += FormatIsCompressed(layout->format) ? u64(GetSize64(w, h, layout->format))
                                                     : PaddedRow(u64(w), bits) * u64(h);
    }
    if (cubic)
        needed *= 6;
    if (file.size - dds_file_header < needed)
        fail("Unexpected end of file!");

    texture.Create(int(width), int(height), layout->format, mipmapped, cubic);
    u64 at = dds_file_header;
    for (int f = 0; f < texture.GetFaceCount(); ++f) {
        for (int k = 0; k < texture.GetLevelCount(); ++k) {
            image_c& level = texture.GetLevel(k, f);
            if (FormatIsCompressed(layout->format)) {
                const u64 size = u64(level.GetSize());
                if (file.size - at < size)
                    fail("Unexpected end of file!");
                std::memcpy(level.GetData(), file.data + at, size);
                at += size;
                continue;
            }
            const u64 row = PaddedRow(u64(level.GetWidth()), bits);
            const u64 need = row * u64(level.GetHeight());
            if (file.size - at < need)
                fail("Unexpected end of file!");
            const size_t pitch_out = size_t(level.GetPitch());
            for (int y = 0; y < level.GetHeight(); ++y) {
                const u8* src = file.data + at + y * row;
                u8* dst = level.GetData() + y * pitch_out;
                if (bits == 24) {
                    for (int x = 0; x < level.GetWidth(); ++x)
                        WriteLe32(dst + 4 * x,
                                  u32(src[3 * x]) | (u32(src[3 * x + 1]) << 8) | (u32(src[3 * x + 2]) << 16));
                } else {
                    std::memcpy(dst, src, size_t(level.GetWidth()) * (bits / 8));
                    // The ignored bits of the X formats are stored as 0 whatever the file holds.
                    if (layout->format == format_x8r8g8b8) {
                        for (int x = 0; x < level.GetWidth(); ++x)
                            dst[4 * x + 3] = 0;
                    } else if (layout->format == format_x1r5g5b5 || layout->format == format_x4r4g4b4) {
                        const u16 keep = layout->format == format_x1r5g5b5 ? 0x7FFF : 0x0FFF;
                        for (int x = 0; x < level.GetWidth(); ++x)
                            WriteLe16(dst + 2 * x, ReadLe16(dst + 2 * x) & keep);
                    }
                }
            }
            at += need;
        }
    }
}

} // namespace

void ReadDds(texture_image_c& texture, input_file_c& file)
{
    texture.Destroy();
    try {
        ReadDdsBody(texture, RemainingBytes(file));
    } catch (...) {
        texture.Destroy();
        throw;
    }
}

int WriteDds(const texture_image_c& texture, output_file_c& file)
{
    if (!texture.IsValid())
        return 0;
    const format_e format = texture.GetFormat();
    const dds_layout_s* layout = nullptr;
    for (const dds_layout_s& l : layouts)
        if (l.format == format && l.bits != 24) {
            layout = &l;
            break;
        }
    if (layout == nullptr)
        return 0;
    const u32 width = u32(texture.GetWidth());
    const u32 height = u32(texture.GetHeight());
    const int levels = texture.GetLevelCount();
    const bool compressed = FormatIsCompressed(format);
    const u32 bits = u32(FormatBitsPerPixel(format));

    u8 header[dds_file_header] = {};
    u32 flags = flag_caps | flag_height | flag_width | flag_pixelformat;
    flags |= compressed ? flag_linearsize : flag_pitch;
    if (levels > 1)
        flags |= flag_mipmapcount;
    WriteLe32(header, dds_magic);
    WriteLe32(header + 4, 124);
    WriteLe32(header + 8, flags);
    WriteLe32(header + 12, height);
    WriteLe32(header + 16, width);
    WriteLe32(header + 20, compressed ? LinearSize(format, width, height) : u32(PaddedRow(width, bits)));
    if (levels > 1)
        WriteLe32(header + 28, u32(levels));
    WriteLe32(header + 76, 32);
    if (compressed) {
        WriteLe32(header + 80, pf_fourcc);
        WriteLe32(header + 84, layout->fourcc);
    } else {
        u32 pf_flags = format == format_l8 ? pf_luminance : pf_rgb;
        if (FormatHasAlpha(format))
            pf_flags |= pf_alphapixels;
        WriteLe32(header + 80, pf_flags);
        WriteLe32(header + 88, bits);
        for (int i = 0; i < 4; ++i)
            WriteLe32(header + 92 + 4 * i, layout->masks[i]);
    }
    u32 caps = caps_texture;
    if (levels > 1)
        caps |= caps_mipmap | caps_complex;
    if (texture.IsCubic())
        caps |= caps_complex;
    WriteLe32(header + 108, caps);
    if (texture.IsCubic())
        WriteLe32(header + 112, caps2_cubemap | caps2_faces);

    std::vector<u8> bytes(header, header + dds_file_header);
    for (int f = 0; f < texture.GetFaceCount(); ++f) {
        for (int k = 0; k < levels; ++k) {
            const image_c& level = texture.GetLevel(k, f);
            if (compressed) {
                bytes.insert(bytes.end(), level.GetData(), level.GetData() + level.GetSize());
                continue;
            }
            const size_t row = size_t(PaddedRow(u64(level.GetWidth()), bits));
            const size_t used = size_t(level.GetWidth()) * (bits / 8);
            for (int y = 0; y < level.GetHeight(); ++y) {
                const u8* src = level.GetData() + size_t(y) * size_t(level.GetPitch());
                bytes.insert(bytes.end(), src, src + used);
                bytes.insert(bytes.end(), row - used, 0);
            }
        }
    }
    AppendBytes(file, bytes.data(), bytes.size());
    return 1;
}
