#pragma once
// Reduces 8-bit channels in place to fewer bits with error diffusion, so that
// the quantisation error spreads to the neighbours instead of forming bands.
#include "foundation/types.h"

// Pixels of 3 or 4 bytes, rows packed; bitsN is the precision kept for byte N.
void DiffuseErrors3(u8* pixels, i32 width, i32 height, i32 bits0, i32 bits1, i32 bits2);
void DiffuseErrors4(u8* pixels, i32 width, i32 height, i32 bits0, i32 bits1, i32 bits2, i32 bits3);
