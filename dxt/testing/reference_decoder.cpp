#include "dxt/testing/reference_decoder.h"

namespace {
void Expand565(u32 c, u32 out[3])
{
    const u32 r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    out[0] = (r << 3) | (r >> 2);
    out[1] = (g << 2) | (g >> 4);
    out[2] = (b << 3) | (b >> 2);
}
u32 Pack(u32 a, u32 r, u32 g, u32 b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}
} // namespace

void DecodeColorBlock(const u8* block, bool dxt1, u32 out[16])
{
    const u32 c0 = block[0] | (block[1] << 8), c1 = block[2] | (block[3] << 8);
    u32 e0[3], e1[3];
    Expand565(c0, e0);
    Expand565(c1, e1);
    u32 pal[4];
    pal[0] = Pack(255, e0[0], e0[1], e0[2]);
    pal[1] = Pack(255, e1[0], e1[1], e1[2]);
    if (c0 > c1 || !dxt1) {
        u32 p2[3], p3[3];
        for (int i = 0; i < 3; ++i) {
            p2[i] = (2 * e0[i] + e1[i] + 1) / 3;
            p3[i] = (e0[i] + 2 * e1[i] + 1) / 3;
        }
        pal[2] = Pack(255, p2[0], p2[1], p2[2]);
        pal[3] = Pack(255, p3[0], p3[1], p3[2]);
    } else {
        pal[2] = Pack(255, (e0[0] + e1[0]) / 2, (e0[1] + e1[1]) / 2, (e0[2] + e1[2]) / 2);
        pal[3] = 0;
    }
    const u32 bits = block[4] | (block[5] << 8) | (block[6] << 16) | (static_cast<u32>(block[7]) << 24);
    for (int t = 0; t < 16; ++t)
        out[t] = pal[(bits >> (2 * t)) & 3];
}

void DecodeExplicitAlpha(const u8* block, u32 out[16])
{
    for (int t = 0; t < 16; ++t) {
        const u32 nibble = (block[t / 2] >> (4 * (t % 2))) & 15;
        out[t] = (out[t] & 0x00ffffff) | ((nibble * 17) << 24);
    }
}

void DecodeInterpolatedAlpha(const u8* block, u32 out[16])
{
    const u32 a0 = block[0], a1 = block[1];
    u32 pal[8] = {a0, a1};
    if (a0 > a1) {
        for (int i = 1; i <= 6; ++i)
            pal[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    } else {
        for (int i = 1; i <= 4; ++i)
            pal[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        pal[6] = 0;
        pal[7] = 255;
    }
    u64 bits = 0;
    for (int i = 0; i < 6; ++i)
        bits |= static_cast<u64>(block[2 + i]) << (8 * i);
    for (int t = 0; t < 16; ++t)
        out[t] = (out[t] & 0x00ffffff) | (pal[(bits >> (3 * t)) & 7] << 24);
}

std::vector<u32> DecodeDxtLevel(const u8* data, i32 width, i32 height, i32 format)
{
    std::vector<u32> out(static_cast<size_t>(width) * height);
    const int block_bytes = format >= 12 ? 16 : 8;
    for (i32 y = 0; y < height; y += 4)
        for (i32 x = 0; x < width; x += 4) {
            u32 texels[16];
            const u8* colour = format >= 12 ? data + 8 : data;
            DecodeColorBlock(colour, format <= 11, texels);
            if (format == 12)
                DecodeExplicitAlpha(data, texels);
            if (format == 13)
                DecodeInterpolatedAlpha(data, texels);
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c)
                    if (x + c < width && y + r < height)
                        out[static_cast<size_t>(y + r) * width + x + c] = texels[r * 4 + c];
            data += block_bytes;
        }
    return out;
}
