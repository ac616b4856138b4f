#include "audio/mpeg_header.h"

#include "audio/mpeg_tables.h"

bool mpeg_header_c::Parse(u32 word)
{
    if ((word & 0xFFE00000u) != 0xFFE00000u)
        return false;
    const u32 version_bits = (word >> 19) & 3;
    const u32 layer_bits = (word >> 17) & 3;
    if (version_bits == 1 || layer_bits == 0)
        return false;
    version = version_bits == 3 ? 0 : version_bits == 2 ? 1 : 2;
    layer = 3 - layer_bits;
    crc = ((word >> 16) & 1) == 0;
    bit_rate_index = (word >> 12) & 15;
    rate_index = (word >> 10) & 3;
    padding = (word >> 9) & 1;
    mode = (word >> 6) & 3;
    mode_extension = (word >> 4) & 3;
    if (rate_index == 3 || bit_rate_index == 0 || bit_rate_index == 15)
        return false;
    if (version == 2 && layer != 2)
        return false;
    return true;
}

u32 mpeg_header_c::BitRate() const
{
    return u32(mpeg_bit_rates[version == 0 ? 0 : 1][layer][bit_rate_index]) * 1000;
}

u32 mpeg_header_c::SampleRate() const
{
    return mpeg_sample_rates[rate_index] >> version;
}

u32 mpeg_header_c::FrameBytes() const
{
    const u32 rate = SampleRate();
    if (layer == 0)
        return (12 * BitRate() / rate + padding) * 4;
    if (layer == 2 && version != 0)
        return 72 * BitRate() / rate + padding;
    return 144 * BitRate() / rate + padding;
}

u32 mpeg_header_c::Samples() const
{
    if (layer == 0)
        return 384;
    if (layer == 2 && version != 0)
        return 576;
    return 1152;
}

u32 mpeg_header_c::SideInfoBytes() const
{
    if (version == 0)
        return Channels() == 1 ? 17 : 32;
    return Channels() == 1 ? 9 : 17;
}
