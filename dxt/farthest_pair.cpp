#include "dxt/farthest_pair.h"

#include "dxt/lanes.h"

#include <bit>
#include <cmath>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

void FarthestInTurn(const f64 (*channels)[16], i32 count, i32& first, i32& second)
{
    f64 best = -1.0;
    first = second = 0;
    for (i32 u = 0; u < count; ++u)
        for (i32 v = u + 1; v < count; ++v) {
            const f64 dr = channels[0][u] - channels[0][v], dg = channels[1][u] - channels[1][v],
                      db = channels[2][u] - channels[2][v];
            const f64 dd = dr * dr + dg * dg + db * db;
            if (dd > best) {
                best = dd;
                first = u;
                second = v;
            }
        }
}

#if defined(__x86_64__)
// Vector arithmetic rather than the intrinsics: GCC's headers for those
// warn of their own placeholder operands.
[[gnu::target("avx512f"), gnu::always_inline]] inline f64_octet_c Larger(const f64_octet_c& a, const f64_octet_c& b)
{
    return a > b ? a : b;
}

// A row's later colours eight at a time: the first of a row's largest
// distances wins when it beats the best so far, so that a branch is taken
// per eight pairs, not per pair.
[[gnu::target("avx512f,avx512dq,avx512vl")]] void FarthestInOctets(const f64 (*channels)[16], i32 count, i32& first,
                                                                   i32& second)
{
    f64 best = -1.0;
    first = second = 0;
    const u32 present = (1u << count) - 1;
    for (i32 u = 0; u + 1 < count; ++u) {
        const u32 later = present & ~((2u << u) - 1);
        for (i32 half = (u + 1) / 8; half < 2; ++half) {
            const __mmask8 lanes = static_cast<__mmask8>(later >> 8 * half);
            if (lanes == 0)
                break;
            f64_octet_c red, green, blue;
            LoadLanes(red, channels[0] + 8 * half);
            LoadLanes(green, channels[1] + 8 * half);
            LoadLanes(blue, channels[2] + 8 * half);
            const f64_octet_c dr = channels[0][u] - red, dg = channels[1][u] - green, db = channels[2][u] - blue;
            const f64_octet_c dd = dr * dr + dg * dg + db * db;
            const __mmask8 numbers = _mm512_mask_cmp_pd_mask(lanes, dd, dd, _CMP_ORD_Q);
            if (numbers == 0)
                continue;
            // The largest in every lane, by swapping halves, quarters and neighbours.
            f64_octet_c top = _mm512_mask_mov_pd(f64_octet_c{} - INFINITY, numbers, dd);
            top = Larger(top, __builtin_shufflevector(top, top, 4, 5, 6, 7, 0, 1, 2, 3));
            top = Larger(top, __builtin_shufflevector(top, top, 2, 3, 0, 1, 6, 7, 4, 5));
            top = Larger(top, __builtin_shufflevector(top, top, 1, 0, 3, 2, 5, 4, 7, 6));
            if (top[0] > best) {
                best = top[0];
                first = u;
                second = 8 * half +
                         std::countr_zero(static_cast<u32>(_mm512_mask_cmp_pd_mask(numbers, dd, top, _CMP_EQ_OQ)));
            }
        }
    }
}
#endif

} // namespace

void FarthestPair(const f64 (*channels)[16], i32 count, i32& first, i32& second, i32 lanes)
{
#if defined(__x86_64__)
    if (lanes != 1 && HasOctetLanes())
        return FarthestInOctets(channels, count, first, second);
#endif
    FarthestInTurn(channels, count, first, second);
}
