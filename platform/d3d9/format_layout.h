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

// The byte offset of a locked rectangle's first unit in a surface whose
// rows are _pitch bytes apart; false for a rectangle that is empty, leaves
// the surface or, on a block format, does not start on a block.
bool D3DLockOffset(D3DFORMAT _format, u32 _width, u32 _height, u64 _pitch, const RECT* _rect, u64* _offset);

// Levels of a mipmap chain: all of them down to 1x1 when _levels is 0,
// otherwise _levels at most.
u32 D3DChainLength(u32 _width, u32 _height, u32 _levels);
// The edge of a level: halved per level, never below 1.
u32 D3DLevelSize(u32 _size, u32 _level);
