#include "audio/mpeg_synthesis.h"

#include <immintrin.h>

#include <cmath>
#include <cstring>

#include "audio/mpeg_tables.h"
#include "foundation/processor_dispatch.h"

namespace {

struct synthesis_tables_c {
    alignas(16) float window[512];
    // 1 / (2 cos(pi (2n + 1) / (2N))) for the DCT stages N = 32, 16, 8, 4, 2.
    float factors32[16], factors16[8], factors8[4], factors4[2], factors2[1];

    synthesis_tables_c()
    {
        for (int i = 0; i <= 256; ++i)
            window[i] = float(mpeg_synthesis_window[i] / 65536.0);
        for (int i = 1; i < 256; ++i)
            window[512 - i] = (i % 64 == 0) ? window[i] : -window[i];
        Factors(factors32, 32);
        Factors(factors16, 16);
        Factors(factors8, 8);
        Factors(factors4, 4);
        Factors(factors2, 2);
    }
    static void Factors(float* out, int n)
    {
        for (int i = 0; i < n / 2; ++i)
            out[i] = float(1.0 / (2.0 * std::cos(M_PI * (2 * i + 1) / (2.0 * n))));
    }
    const float* FactorsFor(int n) const
    {
        switch (n) {
        case 32: return factors32;
        case 16: return factors16;
        case 8: return factors8;
        case 4: return factors4;
        default: return factors2;
        }
    }
};

const synthesis_tables_c& Tables()
{
    static const synthesis_tables_c tables;
    return tables;
}

// DCT-II, X[k] = sum x[n] cos(pi (2n + 1) k / (2N)), by Lee's even-odd split.
template <int N>
[[gnu::always_inline]] inline void Dct(const float* in, float* out, const synthesis_tables_c& tables)
{
    if constexpr (N == 1) {
        out[0] = in[0];
    } else {
        constexpr int H = N / 2;
        const float* factors = tables.FactorsFor(N);
        float even[H], odd[H], even_out[H], odd_out[H];
        for (int n = 0; n < H; ++n) {
            even[n] = in[n] + in[N - 1 - n];
            odd[n] = (in[n] - in[N - 1 - n]) * factors[n];
        }
        Dct<H>(even, even_out, tables);
        Dct<H>(odd, odd_out, tables);
        for (int k = 0; k < H - 1; ++k) {
            out[2 * k] = even_out[k];
            out[2 * k + 1] = odd_out[k] + odd_out[k + 1];
        }
        out[N - 2] = even_out[H - 1];
        out[N - 1] = odd_out[H - 1];
    }
}

// One time slot through the DCT, into the ring v at its new offset, and the
// window. Built plain and for AVX2 below.
[[gnu::always_inline]] inline void SlotBody(float* ring, u32& offset, const float subbands[32], float out[32])
{
    const synthesis_tables_c& tables = Tables();
    float x[32];
    Dct<32>(subbands, x, tables);

    offset = (offset - 64) & 1023;
    float* v = ring + offset;
    // V[i] = sum S[k] cos((16 + i)(2k + 1) pi / 64), folded onto the DCT.
    for (int i = 0; i < 16; ++i)
        v[i] = x[16 + i];
    v[16] = 0.0f;
    for (int i = 17; i < 48; ++i)
        v[i] = -x[48 - i];
    for (int i = 48; i < 64; ++i)
        v[i] = -x[i - 48];

    // Eight accumulators of four outputs stay in registers over the 16 taps.
    __m128 sum[8];
    for (__m128& s : sum)
        s = _mm_setzero_ps();
    const float* window = tables.window;
    for (int m = 0; m < 8; ++m) {
        const float* a = ring + ((offset + 128 * m) & 1023);
        const float* b = ring + ((offset + 128 * m + 96) & 1023);
        const float* wa = window + 64 * m;
        const float* wb = window + 64 * m + 32;
#pragma GCC unroll 8
        for (int q = 0; q < 8; ++q) {
            const __m128 product = _mm_add_ps(_mm_mul_ps(_mm_load_ps(a + 4 * q), _mm_load_ps(wa + 4 * q)),
                                              _mm_mul_ps(_mm_load_ps(b + 4 * q), _mm_load_ps(wb + 4 * q)));
            sum[q] = _mm_add_ps(sum[q], product);
        }
    }
    for (int q = 0; q < 8; ++q)
        _mm_storeu_ps(out + 4 * q, sum[q]);
}

void SynthesizeSlotPlain(float* ring, u32& offset, const float* subbands, float* out)
{
    SlotBody(ring, offset, subbands, out);
}

[[gnu::target("avx2")]] void SynthesizeSlotAvx2(float* ring, u32& offset, const float* subbands, float* out)
{
    SlotBody(ring, offset, subbands, out);
}

using synthesize_slot_c = processor_dispatch_c<&SynthesizeSlotPlain, &SynthesizeSlotAvx2>;

} // namespace

void mpeg_synthesis_c::Reset()
{
    std::memset(_v, 0, sizeof(_v));
    _offset = 0;
}

void mpeg_synthesis_c::Synthesize(const float subbands[32], float out[32])
{
    synthesize_slot_c::Call(_v, _offset, subbands, out);
}
