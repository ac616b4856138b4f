#pragma once
// Channel arithmetic shared by the converters, Fill and the codecs: one pixel
// of any uncompressed format expands to 8-bit red, green, blue and alpha and
// packs back by keeping the top bits. Grey comes from the weights
// 19661/38666/7209 (sum 65536); a format without alpha unpacks with alpha 0.
#include <cstring>

#include "foundation/types.h"
#include "image/format.h"

struct rgba_s {
    u32 r, g, b, a;
};

inline u16 LoadU16(const u8* p)
{
    u16 v;
    std::memcpy(&v, p, 2);
    return v;
}
inline u32 LoadU32(const u8* p)
{
    u32 v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void StoreU16(u8* p, u16 v)
{
    std::memcpy(p, &v, 2);
}
inline void StoreU32(u8* p, u32 v)
{
    std::memcpy(p, &v, 4);
}

inline u32 GreyOf(u32 r, u32 g, u32 b)
{
    return (r * 19661 + g * 38666 + b * 7209) >> 16;
}

inline u32 Expand5(u32 v)
{
    return (v * 2106) >> 8;
}
inline u32 Expand6(u32 v)
{
    return (v * 1037) >> 8;
}
inline u32 Expand4(u32 v)
{
    return v * 17;
}

// The stored value of one pixel (u8, u16 or u32 widened) to 8-bit channels.
inline rgba_s UnpackPixel(format_e format, u32 v)
{
    switch (format) {
    case format_l8: return {v & 0xFF, v & 0xFF, v & 0xFF, 0};
    case format_x8r8g8b8: return {(v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF, 0};
    case format_a8r8g8b8: return {(v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF, v >> 24};
    case format_r5g6b5: return {Expand5((v >> 11) & 31), Expand6((v >> 5) & 63), Expand5(v & 31), 0};
    case format_x1r5g5b5: return {Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31), 0};
    case format_a1r5g5b5:
        return {Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31), (v & 0x8000) ? 255u : 0u};
    case format_x4r4g4b4: return {Expand4((v >> 8) & 15), Expand4((v >> 4) & 15), Expand4(v & 15), 0};
    case format_a4r4g4b4:
        return {Expand4((v >> 8) & 15), Expand4((v >> 4) & 15), Expand4(v & 15), Expand4((v >> 12) & 15)};
    default: return {0, 0, 0, 0};
    }
}

// 8-bit channels to the stored value of one pixel; alpha is kept only by
// formats that have it.
inline u32 PackPixel(format_e format, rgba_s c)
{
    switch (format) {
    case format_l8: return GreyOf(c.r, c.g, c.b);
    case format_x8r8g8b8: return (c.r << 16) | (c.g << 8) | c.b;
    case format_a8r8g8b8: return (c.a << 24) | (c.r << 16) | (c.g << 8) | c.b;
    case format_r5g6b5: return ((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3);
    case format_x1r5g5b5: return ((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3);
    case format_a1r5g5b5: return ((c.a >> 7) << 15) | ((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3);
    case format_x4r4g4b4: return ((c.r >> 4) << 8) | ((c.g >> 4) << 4) | (c.b >> 4);
    case format_a4r4g4b4: return ((c.a >> 4) << 12) | ((c.r >> 4) << 8) | ((c.g >> 4) << 4) | (c.b >> 4);
    default: return 0;
    }
}

// Bytes of one pixel of an uncompressed format, usable in constant expressions.
constexpr int PixelBytes(format_e format)
{
    switch (format) {
    case format_l8: return 1;
    case format_x8r8g8b8:
    case format_a8r8g8b8: return 4;
    case format_r5g6b5:
    case format_x1r5g5b5:
    case format_a1r5g5b5:
    case format_x4r4g4b4:
    case format_a4r4g4b4: return 2;
    default: return 0;
    }
}

// Reads or writes the stored value of pixel x of a row.
inline u32 LoadPixel(format_e format, const u8* row, int x)
{
    switch (PixelBytes(format)) {
    case 1: return row[x];
    case 2: return LoadU16(row + 2 * x);
    default: return LoadU32(row + 4 * x);
    }
}
inline void StorePixel(format_e format, u8* row, int x, u32 v)
{
    switch (PixelBytes(format)) {
    case 1: row[x] = u8(v); break;
    case 2: StoreU16(row + 2 * x, u16(v)); break;
    default: StoreU32(row + 4 * x, v); break;
    }
}
