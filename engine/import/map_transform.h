#pragma once
// Texture placement of the 3DS and ASE materials as a map transform: the
// row-vector product, applied to (u, v, 1), of a flip into the exporters'
// texture space, a turn about the texture centre by _angle after moving by
// the offsets, a scale by (_uScale, _vScale), and the flip back. _out gets
// the three rows and a zero row; false (and _out untouched) when offsets
// are 0, scales 1 and the angle exactly 0.
#include "foundation/types.h"

bool MapTransform(f32 _uOffset, f32 _vOffset, f32 _uScale, f32 _vScale, f32 _angle, f32 (&_out)[4][3]);
