#pragma once
// Packing of float colours into the 32-bit words used by cache keys, vertex
// colours, text colours and clear colours.
#include "foundation/types.h"

// Float RGB (0..1) to bytes blue, green, red, 0: each channel x 255,
// truncated toward zero and clamped to 0..255.
u32 ColorToBgra(f32 _red, f32 _green, f32 _blue);
// The same with a float alpha in the fourth byte.
u32 ColorAlphaToBgra(f32 _red, f32 _green, f32 _blue, f32 _alpha);
