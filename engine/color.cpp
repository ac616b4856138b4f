#include "engine/color.h"

namespace {

u32 ChannelByte(f32 value)
{
    const f32 scaled = value * 255.0f;
    // Compared before the conversion so that any float, NaN included, gives
    // a defined byte.
    if (!(scaled > 0.0f))
        return 0;
    if (scaled >= 255.0f)
        return 255;
    return static_cast<u32>(scaled);
}

} // namespace

u32 ColorToBgra(f32 _red, f32 _green, f32 _blue)
{
    return ChannelByte(_blue) | ChannelByte(_green) << 8 | ChannelByte(_red) << 16;
}

u32 ColorAlphaToBgra(f32 _red, f32 _green, f32 _blue, f32 _alpha)
{
    return ColorToBgra(_red, _green, _blue) | ChannelByte(_alpha) << 24;
}
