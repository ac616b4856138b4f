#pragma once
// Ordered dithering of a work pixel (0xAARRGGBB) to the precision of an
// output format, by the pixel's place in its face or level.
#include "foundation/types.h"

u32 DitherPixel(u32 pixel, i32 x, i32 y, i32 output_format);
