#pragma once
// DXT1/DXT3/DXT5 blocks: decoding is the image library's own; encoding hands
// a 32-bit picture to the DXT compressor.
#include "foundation/types.h"
#include "image/format.h"

// Decodes the blocks of a compressed picture (rows of (width + 3) / 4 blocks,
// block rows from the top) into 32-bit pixels with pitch
// (width + dst_padding) * 4. format_x8r8g8b8 gets 0 in its top byte,
// format_a8r8g8b8 the decoded alpha. Pixels of a block that fall outside the
// picture are not written.
void DecodeDxt(u8* dst, int dst_padding, format_e dst_format, const u8* src, format_e src_format, int width,
               int height);

// Decodes one block into 16 pixels 0xAARRGGBB, row by row.
void DecodeDxtBlock(const u8* block, format_e format, u32 pixels[16]);

// Encodes a 32-bit picture (pitch (width + src_padding) * 4) into exactly
// GetSize(width, height, dst_format) bytes of blocks. Sides must be powers of
// two. Throws std::runtime_error when the compressor fails or hands back a
// level of another size.
void EncodeDxt(u8* dst, format_e dst_format, const u8* src, int src_padding, format_e src_format, int width,
               int height);
