// Any options record and a small picture: the compressor must return, never
// crash or read outside the picture.
#include "dxt/compress_dxt.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
i32 Ignore(const u8*, i32, u32)
{
    return 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size < sizeof(dxt_options_c) + 3)
        return 0;
    dxt_options_c o;
    std::memcpy(&o, data, sizeof o);
    data += sizeof o;
    size -= sizeof o;
    // Keep the work small: explicit sizes up to 64, sides up to 32.
    if (!(std::fabs(o.rescale_width) <= 64.0f))
        o.rescale_width = 64.0f;
    if (!(std::fabs(o.rescale_height) <= 64.0f))
        o.rescale_height = 64.0f;
    if (!(std::fabs(o.enhance_param_1) <= 100.0f))
        o.enhance_param_1 = 1.0f;
    const u32 width = data[0] % 32 + 1, height = data[1] % 32 + 1;
    const i32 bpp = (data[2] & 1) ? 4 : 3;
    const u32 pitch = width * bpp + (data[2] >> 1) % 8;
    data += 3;
    size -= 3;
    std::vector<u8> pixels(static_cast<size_t>(pitch) * height);
    std::memcpy(pixels.data(), data, std::min(size, pixels.size()));
    CompressDxt(pixels.data(), width, height, pitch, &o, bpp, Ignore);
    return 0;
}
