#pragma once
// Resizing of the compressor's input: power-of-two size rules and a
// separable cubic-spline resampler that treats each byte channel on its own.
#include "foundation/types.h"

#include <vector>

bool IsPow2(i64 n);
// Each returns n when it is a power of two; -1 when no power of two brackets
// n (n <= 0 or n > 2^30).
i32 NearestPow2(i32 n);
i32 NextPow2(i32 n);
i32 PrevPow2(i32 n);

// New sides for rescale modes 1 (nearest), 2 (next larger), 3 (next
// smaller); a side that is a power of two stays. False when a side has none.
bool PickPow2Size(i32 mode, i32 width, i32 height, i32& new_width, i32& new_height);

// Resamples `values` (n of them) to m values along the interpolating cubic
// spline with not-a-knot ends.
void ResampleLine(const f32* values, i32 n, f32* out, i32 m);

// The image resampled to new_width x new_height, rows packed without gaps.
std::vector<u8> RescaleImage(const u8* pixels, i32 width, i32 height, i32 bytes_per_pixel, i64 row_pitch, i32 new_width,
                             i32 new_height);
