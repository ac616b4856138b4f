#pragma once
// Collects what the compressor hands to its level callback.
#include "dxt/compress_dxt.h"

#include <vector>

struct delivery_c {
    i32 level;
    std::vector<u8> bytes;
};

// The deliveries of the last compression run through `Capture`.
std::vector<delivery_c>& Deliveries();
i32 CaptureLevel(const u8* data, i32 level, u32 byte_count);

// Options for one output format, all else zero.
dxt_options_c OptionsFor(i32 output_format, i16 mip_mode = 33);

// `count` pixels of every value, the same for the same `seed`.
std::vector<u32> NoisePixels(size_t count, u32 seed);

// Compresses and returns the result; the deliveries are in Deliveries().
i32 Capture(const std::vector<u32>& pixels, i32 width, i32 height, const dxt_options_c& options);
