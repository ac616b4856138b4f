#pragma once
// End-point fitting of the colour half of a DXT block: chooses the two 5:6:5
// end points, the palette size (3 or 4) and each colour's palette index.
#include "foundation/types.h"

// One block's colours as gathered by the level encoder, and the fit.
struct dxt_color_block_c {
    bool has_transparent = false; // DXT1 with 1-bit alpha must make some texels transparent
    i32 count = 0;                // colours in `colors` (0 to 16)
    f64 colors[16][3] = {};       // R, G, B in 0..1
    f64 channel_weight[3] = {};   // weights of R, G, B in every error measure
    i32 palette_request = 4;      // the largest palette the block may use: 3 or 4
    bool force_four = false;      // the four-colour palette is mandatory
    i32 palette_size = 4;         // out: 3 or 4
    i32 endpoints[2][3] = {};     // out: R (5 bits), G (6 bits), B (5 bits) of end points 0 and 1
    i32 indices[16] = {};         // out: palette index of each colour, in the order of `colors`
};

// Fits the block; `quick` takes the farthest-pair path. A block without
// colours is left as it is.
void FitColorBlock(dxt_color_block_c& block, bool quick);
