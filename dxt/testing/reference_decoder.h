#pragma once
// A plain DXT decoder written from the published block layouts, used by the
// tests to check what the encoder produces.
#include "foundation/types.h"

#include <vector>

// Decodes one 8-byte colour block into 16 pixels 0xAARRGGBB (t = 4 x row +
// column). `dxt1` enables the three-colour mode with transparent index 3.
void DecodeColorBlock(const u8* block, bool dxt1, u32 out[16]);
// Replaces the alpha of 16 pixels from an explicit (DXT3) or interpolated (DXT5) alpha block.
void DecodeExplicitAlpha(const u8* block, u32 out[16]);
void DecodeInterpolatedAlpha(const u8* block, u32 out[16]);

// Decodes a whole level; format 10 or 11 is DXT1, 12 DXT3, 13 DXT5.
std::vector<u32> DecodeDxtLevel(const u8* data, i32 width, i32 height, i32 format);
