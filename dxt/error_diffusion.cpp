#include "dxt/error_diffusion.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

void Diffuse(u8* pixels, i32 width, i32 height, i32 channels, const i32* bits)
{
    if (width <= 0 || height <= 0)
        return;
    for (i32 c = 0; c < channels; ++c)
        if (bits[c] < 1 || bits[c] > 8)
            throw std::invalid_argument("Bit count out of range 1..8");
    const size_t n = static_cast<size_t>(width) * height * channels;
    // 12-bit fixed point working copy.
    std::vector<i16> work(n);
    for (size_t i = 0; i < n; ++i)
        work[i] = static_cast<i16>(pixels[i] * 16);
    auto at = [&](i32 x, i32 y, i32 c) -> i16& { return work[(static_cast<size_t>(y) * width + x) * channels + c]; };
    auto quantise = [&](i32 x, i32 y, i32 c) {
        const i32 s = 1 << (12 - bits[c]);
        const i32 w = at(x, y, c);
        const i32 q = (w + (s - 1) / 2) & ~(s - 1);
        at(x, y, c) = static_cast<i16>(q);
        return static_cast<i16>(w - q);
    };
    auto spread = [&](i32 x, i32 y, i32 c, i32 amount) { at(x, y, c) = static_cast<i16>(at(x, y, c) + amount); };
    for (i32 y = 0; y + 1 < height; ++y) {
        for (i32 x = 0; x + 1 < width; ++x)
            for (i32 c = 0; c < channels; ++c) {
                const i32 e = quantise(x, y, c);
                spread(x + 1, y, c, e / 2);
                spread(x, y + 1, c, e / 4);
                if (x >= 1)
                    spread(x - 1, y + 1, c, e / 8);
                if (x >= 3)
                    spread(x - 3, y + 1, c, e / 8);
            }
        for (i32 c = 0; c < channels; ++c)
            quantise(width - 1, y, c);
    }
    for (i32 x = 0; x < width; ++x)
        for (i32 c = 0; c < channels; ++c)
            quantise(x, height - 1, c);
    for (size_t i = 0; i < n; ++i)
        pixels[i] = static_cast<u8>(std::clamp(work[i] >> 4, 0, 255));
}

} // namespace

void DiffuseErrors3(u8* pixels, i32 width, i32 height, i32 bits0, i32 bits1, i32 bits2)
{
    const i32 bits[3] = {bits0, bits1, bits2};
    Diffuse(pixels, width, height, 3, bits);
}

void DiffuseErrors4(u8* pixels, i32 width, i32 height, i32 bits0, i32 bits1, i32 bits2, i32 bits3)
{
    const i32 bits[4] = {bits0, bits1, bits2, bits3};
    Diffuse(pixels, width, height, 4, bits);
}
