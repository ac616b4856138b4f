#pragma once
// One MPEG audio frame header: the 32 bits after which a frame's data follows.
#include "foundation/types.h"

struct mpeg_header_c {
    u32 version = 0;        // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5
    u32 layer = 0;          // 0 = I, 1 = II, 2 = III
    bool crc = false;       // a 16-bit CRC follows the header
    u32 bit_rate_index = 0; // 0 is free format, 15 is forbidden
    u32 rate_index = 0;     // 0..2
    u32 padding = 0;
    u32 mode = 0; // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    u32 mode_extension = 0;

    // Fills the fields from the four header bytes; false when the word is no
    // valid header (no sync, reserved version, layer or rate, bit-rate index 0
    // or 15, or an MPEG-2.5 stream of a layer other than III).
    bool Parse(u32 word);

    u32 BitRate() const;    // bits per second
    u32 SampleRate() const; // samples per second
    u32 Channels() const { return mode == 3 ? 1 : 2; }
    u32 FrameBytes() const;    // whole frame, header included
    u32 Samples() const;       // samples per channel: 384, 1152 or 576
    u32 SideInfoBytes() const; // layer III side information after header and CRC
    // Index of the layer III scale-factor band tables.
    u32 RateNumber() const { return version * 3 + rate_index; }
    // Channel mode with joint stereo counted as stereo.
    u32 StereoClass() const { return mode == 1 ? 0 : mode; }
};

// Big-endian 32-bit word at p.
inline u32 MpegWord(const u8* p)
{
    return (u32(p[0]) << 24) | (u32(p[1]) << 16) | (u32(p[2]) << 8) | u32(p[3]);
}
