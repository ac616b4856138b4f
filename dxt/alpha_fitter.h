#pragma once
// End-point fitting of the interpolated alpha half of a DXT5 block.
#include "foundation/types.h"

struct dxt_alpha_block_c {
    i32 count = 0;         // alpha values in `alpha` (0 to 16)
    f32 alpha[16] = {};    // 0..1
    i32 keep_zero = 0;     // an alpha of exactly 0 must decode to 0
    i32 keep_one = 0;      // an alpha of exactly 1 must decode to 255
    i32 mode = 8;          // out: 8 interpolated values, or 6 plus the fixed 0 and 255
    i32 endpoints[2] = {}; // out: 8-bit a0, a1 in the fitter's order
    i32 indices[16] = {};  // out: 0 = a0, 1 = a1, 2..7 interpolated; mode 6: 6 = 0, 7 = 255
};

// Fits a block with at least one value; `quick` takes the min/max path.
void FitAlphaBlock(dxt_alpha_block_c& block, bool quick);

// The decoded alpha palette of a mode 8 or mode 6 block.
void AlphaPalette(i32 a0, i32 a1, i32 mode, i32 palette[8]);
