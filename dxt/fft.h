#pragma once
// Radix-2 complex FFT of single-precision data: an in-order iterative
// Cooley-Tukey transform with a bit-reversed copy from input to output.
#include "foundation/types.h"

bool is_power_of_two(u32 x);
// log2 of a power of two.
u32 bits_needed(u32 power_of_two);
// The low bit_count bits of index in reverse order.
u32 reverse_bits(u32 index, u32 bit_count);

// Transforms num_samples complex values; imag_in may be null (zeros). The
// inverse is scaled by 1/N. Outputs must not alias the inputs. Throws
// std::invalid_argument for a size that is not a power of two or a missing array.
void fft_float(u32 num_samples, int inverse, const f32* real_in, const f32* imag_in, f32* real_out, f32* imag_out);
