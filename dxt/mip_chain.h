#pragma once
// Builders of a face's mip chain in floating point, chosen by the mip filter:
// 134 cubic spline (2x2 box below 5 pixels), 135 frequency domain, 136 and
// 137 Kaiser-windowed sinc kernels (137 in a gamma space), else a 2x2 box.
#include "dxt/dxt_options.h"
#include "dxt/float_plane.h"
#include "foundation/types.h"

#include <vector>

// Level 0 is the face itself. Throws std::invalid_argument for filter
// parameters that make no kernel and for frequency-domain levels of sides
// that are not powers of two.
std::vector<float_image_c> BuildChain(const u32* pixels, i32 width, i32 height, const dxt_options_c& options);

// True when the filter is the 2x2 box (none of the others).
bool IsBoxFilter(i32 filter);

// Kernel L (1 to 12) of the windowed-sinc filters.
float_kernel_c KaiserSincKernel(i32 level, i32 taps_param, f32 beta);

// The modified Bessel function of order 0 by its power series.
f64 BesselI0(f64 x);
