#include <algorithm>

#include "image/dxt_codec.h"
#include "image/pixel.h"

namespace {

// The four colours of a colour block; c0 <= c1 selects the three-colour mode
// with transparent black only when allowed (DXT1).
void ColourPalette(const u8* block, bool allow_three, u32 colours[4])
{
    const u32 c0 = LoadU16(block);
    const u32 c1 = LoadU16(block + 2);
    const rgba_s a = UnpackPixel(format_r5g6b5, c0);
    const rgba_s b = UnpackPixel(format_r5g6b5, c1);
    auto pack = [](u32 r, u32 g, u32 bl) { return 0xFF000000u | (r << 16) | (g << 8) | bl; };
    colours[0] = pack(a.r, a.g, a.b);
    colours[1] = pack(b.r, b.g, b.b);
    if (c0 > c1 || !allow_three) {
        colours[2] = pack((2 * a.r + b.r + 1) / 3, (2 * a.g + b.g + 1) / 3, (2 * a.b + b.b + 1) / 3);
        colours[3] = pack((a.r + 2 * b.r + 1) / 3, (a.g + 2 * b.g + 1) / 3, (a.b + 2 * b.b + 1) / 3);
    } else {
        colours[2] = pack((a.r + b.r) >> 1, (a.g + b.g) >> 1, (a.b + b.b) >> 1);
        colours[3] = 0;
    }
}

void ColourBlock(const u8* block, bool allow_three, u32 pixels[16])
{
    u32 colours[4];
    ColourPalette(block, allow_three, colours);
    const u32 indices = LoadU32(block + 4);
    for (int i = 0; i < 16; ++i)
        pixels[i] = colours[(indices >> (2 * i)) & 3];
}

void Dxt5Alpha(const u8* block, u32 alpha[16])
{
    const u32 a0 = block[0];
    const u32 a1 = block[1];
    u32 table[8] = {a0, a1};
    if (a0 > a1) {
        for (u32 k = 1; k <= 6; ++k)
            table[k + 1] = ((7 - k) * a0 + k * a1 + 3) / 7;
    } else {
        for (u32 k = 1; k <= 4; ++k)
            table[k + 1] = ((5 - k) * a0 + k * a1 + 2) / 5;
        table[6] = 0;
        table[7] = 255;
    }
    for (int group = 0; group < 2; ++group) {
        const u8* bits = block + 2 + 3 * group;
        const u32 word = bits[0] | (u32(bits[1]) << 8) | (u32(bits[2]) << 16);
        for (int i = 0; i < 8; ++i)
            alpha[group * 8 + i] = table[(word >> (3 * i)) & 7];
    }
}

} // namespace

void DecodeDxtBlock(const u8* block, format_e format, u32 pixels[16])
{
    switch (format) {
    case format_dxt1: ColourBlock(block, true, pixels); break;
    case format_dxt3: {
        ColourBlock(block + 8, false, pixels);
        for (int i = 0; i < 16; ++i) {
            const u32 a = (block[i / 2] >> (4 * (i & 1))) & 15;
            pixels[i] = (pixels[i] & 0x00FFFFFF) | (Expand4(a) << 24);
        }
        break;
    }
    case format_dxt5: {
        ColourBlock(block + 8, false, pixels);
        u32 alpha[16];
        Dxt5Alpha(block, alpha);
        for (int i = 0; i < 16; ++i)
            pixels[i] = (pixels[i] & 0x00FFFFFF) | (alpha[i] << 24);
        break;
    }
    default:
        for (int i = 0; i < 16; ++i)
            pixels[i] = 0;
        break;
    }
}

void DecodeDxt(u8* dst, int dst_padding, format_e dst_format, const u8* src, format_e src_format, int width, int height)
{
    const size_t block_bytes = src_format == format_dxt1 ? 8 : 16;
    const size_t pitch = size_t(width + dst_padding) * 4;
    const u32 alpha_mask = dst_format == format_a8r8g8b8 ? 0xFFFFFFFFu : 0x00FFFFFFu;
    const int blocks_x = (width + 3) / 4;
    const int blocks_y = (height + 3) / 4;
    u32 pixels[16];
    for (int by = 0; by < blocks_y; ++by) {
        for (int bx = 0; bx < blocks_x; ++bx, src += block_bytes) {
            DecodeDxtBlock(src, src_format, pixels);
            const int rows = std::min(4, height - by * 4);
            const int columns = std::min(4, width - bx * 4);
            for (int y = 0; y < rows; ++y) {
                u8* row = dst + size_t(by * 4 + y) * pitch + size_t(bx) * 16;
                for (int x = 0; x < columns; ++x)
                    StoreU32(row + 4 * x, pixels[y * 4 + x] & alpha_mask);
            }
        }
    }
}
