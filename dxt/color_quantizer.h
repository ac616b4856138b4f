#pragma once
// Variance-minimising colour quantisation on a 32x32x32 histogram: at most
// 256 colours and one palette index per pixel. Alpha is ignored.
#include "foundation/types.h"

#include <array>
#include <vector>

struct quantized_colors_c {
    i32 components = 3;
    i32 entries = 256;
    std::array<std::array<i32, 3>, 256> palette{}; // red, green, blue; unused entries 0
    i32 boxes = 0;                                 // entries actually made
    std::vector<u8> indices;                       // one per pixel
};

// Pixels of 3 or 4 bytes (blue, green, red[, alpha]), rows packed. With
// `dither`, the pixels are first error-diffused in place: four bytes with
// (first_bits, other_bits x 3), three with (other_bits x 3).
void QuantizeColors(u8* pixels, i32 width, i32 height, i32 bytes_per_pixel, quantized_colors_c& result, i32 first_bits,
                    i32 other_bits, bool dither);
