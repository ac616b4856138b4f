#pragma once
// Layers I and II: bit allocation, scale factors and requantised subband samples.
#include "audio/mpeg_header.h"

// Subband samples of one frame: [channel][time slot][subband].
using mpeg_subband_block = float[2][36][32];

// Decodes one layer I frame (12 time slots) or layer II frame (36 time slots).
// `body` is the frame after its header and CRC, `size` its byte count, with
// four readable bytes beyond. Returns the number of time slots, or 0 when
// the frame is damaged (its data would run past its end).
u32 DecodeMpegLayer1(const mpeg_header_c& header, const u8* body, u32 size, mpeg_subband_block& out);
u32 DecodeMpegLayer2(const mpeg_header_c& header, const u8* body, u32 size, mpeg_subband_block& out);
