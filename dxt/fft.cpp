#include "dxt/fft.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

bool is_power_of_two(u32 x)
{
    return x >= 1 && (x & (x - 1)) == 0;
}

u32 bits_needed(u32 power_of_two)
{
    u32 bits = 0;
    while (bits < 32 && !(power_of_two & (1u << bits)))
        ++bits;
    return bits;
}

u32 reverse_bits(u32 index, u32 bit_count)
{
    u32 r = 0;
    for (u32 i = 0; i < bit_count; ++i) {
        r = (r << 1) | (index & 1);
        index >>= 1;
    }
    return r;
}

void fft_float(u32 n, int inverse, const f32* real_in, const f32* imag_in, f32* real_out, f32* imag_out)
{
    if (!is_power_of_two(n))
        throw std::invalid_argument("Error in fft():  NumSamples=" + std::to_string(n) + " is not power of two");
    auto missing = [](const char* name) {
        return std::invalid_argument(std::string("Error in fft_float():  ") + name + " == NULL");
    };
    if (!real_in)
        throw missing("RealIn");
    if (!real_out)
        throw missing("RealOut");
    if (!imag_out)
        throw missing("ImagOut");
    const f64 angle = inverse ? -2.0 * std::numbers::pi : 2.0 * std::numbers::pi;
    const u32 bits = bits_needed(n);
    for (u32 i = 0; i < n; ++i) {
        const u32 j = reverse_bits(i, bits);
        real_out[j] = real_in[i];
        imag_out[j] = imag_in ? imag_in[i] : 0.0f;
    }
    u32 block_end = 1;
    for (u32 block = 2; block <= n; block <<= 1) {
        const long double delta = angle / block;
        const long double sm2 = std::sin(-2 * delta), sm1 = std::sin(-delta);
        const long double cm2 = std::cos(-2 * delta), cm1 = std::cos(-delta);
        const long double w = 2 * cm1;
        for (u32 i = 0; i < n; i += block) {
            long double ar[3] = {0, cm1, cm2}, ai[3] = {0, sm1, sm2};
            for (u32 j = i, m = 0; m < block_end; ++j, ++m) {
                ar[0] = w * ar[1] - ar[2];
                ar[2] = ar[1];
                ar[1] = ar[0];
                ai[0] = w * ai[1] - ai[2];
                ai[2] = ai[1];
                ai[1] = ai[0];
                const u32 k = j + block_end;
                const f32 tr = static_cast<f32>(ar[0] * real_out[k] - ai[0] * imag_out[k]);
                const f32 ti = static_cast<f32>(ar[0] * imag_out[k] + ai[0] * real_out[k]);
                real_out[k] = real_out[j] - tr;
                imag_out[k] = imag_out[j] - ti;
                real_out[j] += tr;
                imag_out[j] += ti;
            }
        }
        block_end = block;
    }
    if (inverse) {
        const f32 scale = 1.0f / static_cast<f32>(n);
        for (u32 i = 0; i < n; ++i) {
            real_out[i] *= scale;
            imag_out[i] *= scale;
        }
    }
}
