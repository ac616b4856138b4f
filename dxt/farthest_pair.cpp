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

// Each colour's distances to the later ones, eight at a time and kept;
// the largest of all is found once, then the first pair at it, so that no
// branch depends on the distances but the last search's.
[[gnu::target("avx512f,avx512dq,avx512vl")]] void FarthestInOctets(const f64 (*channels)[16], i32 count, i32& first,
                                                                   i32& second)
{
    f64_octet_c red[2], green[2], blue[2];
    for (i32 half = 0; half < 2; ++half) {
        LoadLanes(red[half], channels[0] + 8 * half);
        LoadLanes(green[half], channels[1] + 8 * half);
        LoadLanes(blue[half], channels[2] + 8 * half);
    }
    // Pairs that are not pairs, or whose distance is not a number, hold -∞.
    f64_octet_c distances[16][2];
    f64_octet_c top = f64_octet_c{} - INFINITY;
    const u32 present = (1u << count) - 1;
    for (i32 u = 0; u + 1 < count; ++u) {
        const u32 later = present & ~((2u << u) - 1);
        for (i32 half = 0; half < 2; ++half) {
            const f64_octet_c dr = channels[0][u] - red[half], dg = channels[1][u] - green[half],
                              db = channels[2][u] - blue[half];
            const f64_octet_c dd = dr * dr + dg * dg + db * db;
            const __mmask8 numbers =
                _mm512_mask_cmp_pd_mask(static_cast<__mmask8>(later >> 8 * half), dd, dd, _CMP_ORD_Q);
            distances[u][half] = _mm512_mask_mov_pd(f64_octet_c{} - INFINITY, numbers, dd);
            top = Larger(top, distances[u][half]);
        }
    }
    // The largest in every lane, by swapping halves, quarters and neighbours.
    top = Larger(top, __builtin_shufflevector(top, top, 4, 5, 6, 7, 0, 1, 2, 3));
    top = Larger(top, __builtin_shufflevector(top, top, 2, 3, 0, 1, 6, 7, 4, 5));
    top = Larger(top, __builtin_shufflevector(top, top, 1, 0, 3, 2, 5, 4, 7, 6));
    first = second = 0;
    if (top[0] == -INFINITY)
        return;
    for (i32 u = 0;; ++u)
        for (i32 half = 0; half < 2; ++half)
            if (const u32 at = _mm512_cmp_pd_mask(distances[u][half], top, _CMP_EQ_OQ)) {
                first = u;
                second = 8 * half + std::countr_zero(at);
                return;
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
