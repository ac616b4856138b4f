#pragma once
// Pixel formats of images and their table properties.
//
// 32-bit pixels are little-endian 0xAARRGGBB words (bytes B, G, R, A in
// memory). The ignored top bits of the X formats are always written as 0.
// format_dxt1 counts as having no alpha: its one-bit transparency appears only
// when a 32-bit picture with alpha is compressed.
#include "foundation/types.h"

enum format_e : int {
    format_none = 0,
    format_l8 = 1,
    format_x8r8g8b8 = 2,
    format_a8r8g8b8 = 3,
    format_r5g6b5 = 4,
    format_x1r5g5b5 = 5,
    format_a1r5g5b5 = 6,
    format_x4r4g4b4 = 7,
    format_a4r4g4b4 = 8,
    format_dxt1 = 9,
    format_dxt3 = 10,
    format_dxt5 = 11,
};

// Number of format_e values (format_none included).
constexpr int format_count = 12;

// Table lookups; a value outside the enumeration reads as format_none.
bool FormatHasAlpha(format_e format);
bool FormatIsCompressed(format_e format);
int FormatBitsPerPixel(format_e format);

// True for the pairs that share one memory layout and differ only in whether
// the top bits are alpha: x8r8g8b8/a8r8g8b8, x1r5g5b5/a1r5g5b5, x4r4g4b4/a4r4g4b4.
constexpr bool FormatsShareLayout(format_e a, format_e b)
{
    auto base = [](format_e f) {
        switch (f) {
        case format_a8r8g8b8: return format_x8r8g8b8;
        case format_a1r5g5b5: return format_x1r5g5b5;
        case format_a4r4g4b4: return format_x4r4g4b4;
        default: return f;
        }
    };
    return base(a) == base(b);
}

// True when n >= 1 and n has exactly one bit set.
constexpr bool IsPow2(int n)
{
    return n >= 1 && (n & (n - 1)) == 0;
}

// Row pitch in bytes. Uncompressed: (bits * (width + padding)) / 8. Compressed:
// the bytes of one row of 4x4 blocks, or 0 when padding is not 0.
int GetPitch(int width, int padding, format_e format);

// Byte size of the pixels (padding not counted); compressed sides round up to
// multiples of 4. Computed in 64 bits; negative sides count as 0.
i64 GetSize64(int width, int height, format_e format);

// GetSize64 narrowed to int: exact for every size an image can hold (see
// IsImageSizeAllowed), saturated at INT32_MAX beyond that.
int GetSize(int width, int height, format_e format);

// Images larger than this are refused by Create and by every file reader:
// sides from files are untrusted and would otherwise ask for huge buffers.
constexpr int max_image_side = 32768;
constexpr i64 max_image_bytes = i64(1) << 28;

// Sides in 1..max_image_side and GetSize64 within max_image_bytes.
bool IsImageSizeAllowed(i64 width, i64 height, format_e format);

// The validity test of images over loose fields: sides >= 1, padding >= 0, a
// format, data; compressed formats also need power-of-two sides and padding 0.
bool IsValidImage(int width, int height, int padding, format_e format, const void* data);
