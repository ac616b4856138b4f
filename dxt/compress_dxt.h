#pragma once
// The texture compressor's entry: turns one 24- or 32-bit image (bytes blue,
// green, red[, alpha]; 3-byte pixels are opaque) into DXT1, DXT3 or DXT5
// blocks or one of the other packed formats of `dxt_options_c`, level by
// level, handing each packed level to `callback`. A null callback discards
// the output.
//
// Results: 0 done; -1 `pixels` is null; -2 `bytes_per_pixel` is neither 3
// nor 4; -3 a DXT output with a side that is not a power of two while the
// rescale mode is 0; -4 the options or sizes cannot be served (nothing or
// only part was delivered); -5 out of memory.
//
// One compression runs at a time in the process; a call made from inside a
// level callback is refused with -4.
#include "dxt/dxt_options.h"
#include "foundation/types.h"

enum dxt_result_e : i32 {
    dxt_done = 0,
    dxt_null_pixels = -1,
    dxt_bad_pixel_size = -2,
    dxt_not_power_of_two = -3,
    dxt_refused = -4,
    dxt_out_of_memory = -5,
};

i32 CompressDxt(const u8* pixels, u32 width, u32 height, u32 row_pitch, const dxt_options_c* options,
                i32 bytes_per_pixel, dxt_level_callback callback);
