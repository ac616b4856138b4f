#include "dxt/testing/capture.h"

#include <cstring>

std::vector<delivery_c>& Deliveries()
{
    static std::vector<delivery_c> deliveries;
    return deliveries;
}

i32 CaptureLevel(const u8* data, i32 level, u32 byte_count)
{
    Deliveries().push_back({level, std::vector<u8>(data, data + byte_count)});
    return 0;
}

std::vector<u32> NoisePixels(size_t count, u32 seed)
{
    std::vector<u32> pixels(count);
    for (u32& v : pixels)
        v = seed = seed * 1664525u + 1013904223u;
    return pixels;
}

dxt_options_c OptionsFor(i32 output_format, i16 mip_mode)
{
    dxt_options_c o;
    std::memset(&o, 0, sizeof o);
    o.output_format = static_cast<i16>(output_format);
    o.mip_mode = mip_mode;
    o.texture_kind = 80;
    return o;
}

i32 Capture(const std::vector<u32>& pixels, i32 width, i32 height, const dxt_options_c& options)
{
    Deliveries().clear();
    return CompressDxt(reinterpret_cast<const u8*>(pixels.data()), width, height, width * 4, &options, 4, CaptureLevel);
}
