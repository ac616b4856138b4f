#pragma once
// The split search at the heart of the full colour fit: colours sorted along
// a line are cut into four consecutive groups, the palette entries t = 0..3.
#include "foundation/types.h"

// The colours in their order along the line.
struct split_colors_c {
    i32 count = 0; // 1..16
    f64 omega[16]; // share of the block's texels
    f64 s[3][16];  // weighted centred colour times the share
};

// The cut with the largest |X|² / D, X = Σ ω·t·s and D = Σ ω·t² - (Σ ω·t)²,
// over every cut whose first group is not empty and that leaves two groups
// occupied. Cuts are met with the first boundary rising slowest, the second
// next and the third falling from the far end fastest; ratios are compared
// cross-multiplied with "greater or equal", so a later cut replaces an equal
// one. Writes the boundaries (0, b1, b2, b3, count) to `bounds`; false when no
// cut has D > 0. Cuts are measured eight at a time where the processor has
// AVX-512, four where it has AVX2, else two; `lanes` = 2, 4 or 8 asks for at
// most that many and 1 for one at a time, all in order, so that the paths can
// be compared.
bool BestFourGroupSplit(const split_colors_c& colors, i32 bounds[5], i32 lanes = 0);
