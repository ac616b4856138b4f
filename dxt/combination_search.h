#pragma once
// The choice, in the quantisation of the full colour fit, between the two
// nearest 5:6:5 levels of each end point in each channel.
#include "foundation/types.h"

// The error of every choice against every palette entry.
struct level_errors_c {
    i32 count = 0; // unique colours, 1..16
    f64 omega[16]; // share of the block's texels
    // Per channel, choice (bit 0: end point 0 takes its high level, bit 1: end
    // point 1 does) and palette entry: the weighted squared distance of each
    // unique colour; a three-entry palette's fourth entry is HUGE_VAL.
    f64 error[3][4][4][16];
};

// The first of the 64 combinations of choices (red's varying fastest, then
// green's, then blue's) with the strictly lowest score Σ ω · min over the
// entries of (red + green + blue), summed over the colours in order, among
// those below `limit`; 0 when none is. Combinations are scored four (AVX2) or
// two at a time; `lanes` = 2 asks for two on any processor, so that the
// paths can be compared.
i32 BestLevelCombination(const level_errors_c& errors, f64 limit, i32 lanes = 0);
