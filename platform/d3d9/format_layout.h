#pragma once
// How a format lays its pixels out in memory: bytes per pixel, or per 4x4
// block for the compressed formats. Surfaces of every backend are sized
// and locked by these rules.
#include "platform/d3d9/d3d9_types.h"

// True for DXT1 to DXT5.
bool D3DFormatIsBlock(D3DFORMAT _format);
// Bytes of one pixel, or of one 4x4 block; 0 for a format that has no
// memory layout here.
u32 D3DFormatUnitBytes(D3DFORMAT _format);
// Bytes of one row of pixels (one row of blocks for block formats).
u64 D3DFormatRowBytes(D3DFORMAT _format, u32 _width);
// Rows of pixels, or rows of blocks.
u32 D3DFormatRowCount(D3DFORMAT _format, u32 _height);
