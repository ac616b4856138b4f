#pragma once
// The choice, in the quantisation of the full colour fit, between the two
// nearest 5:6:5 levels of each end point in each channel.
#include "foundation/types.h"

// What one quantisation chooses among.
struct level_errors_c {
    i32 count = 0;       // unique colours, 1..16
    f64 omega[16];       // share of the block's texels
    f64 channels[3][16]; // weighted colours by channel, all 16 set (zero past `count`)
    f64 weight[3];       // channel weights
    // Per channel and choice (bit 0: end point 0 takes its high level, bit 1:
    // end point 1 does): the palette entries as 8-bit values.
    f64 level[3][4][4];
    i32 entries = 4; // 3 or 4: a three-entry palette's fourth entry is infinitely far
    f64 limit = 0.0; // a combination must score below it
};

struct level_choice_c {
    // The first of the 64 combinations of choices (red's varying fastest,
    // then green's, then blue's) with the strictly lowest score below the
    // limit, 0 when none is. A score is Σ ω · min over the entries of
    // (red + green + blue), summed over the colours in order, each term the
    // squared distance (colour - level · weight / 255)².
    i32 combo = 0;
    // Each colour's nearest entry under `combo` (the first on ties) and its
    // distance; slots past `count` hold what their zero colours gave.
    i32 index[16];
    f64 least[16];
};

// Combinations are scored eight (AVX-512), four (AVX2) or two at a time;
// `lanes` asks for at most that many (0: the most the processor runs), so
// that the paths can be compared.
level_choice_c ChooseLevels(const level_errors_c& errors, i32 lanes = 0);
