#include "dxt/projection_order.h"

#include "dxt/lanes.h"

#include <bit>
#include <limits>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Each colour's place is the number of colours before it: no branches on the
// data, and the same order as any sort by (projection, index).
template <class V>
[[gnu::always_inline]] inline bool Order(const f64* projection, i32 count, i32 tie_break, i32* order)
{
    constexpr i32 kLanes = sizeof(V) / sizeof(f64);
    // Padding that compares with nothing.
    f64 proj[16 + kLanes];
    for (i32 v = 0; v < 16 + kLanes; ++v)
        proj[v] = v < count ? projection[v] : std::numeric_limits<f64>::quiet_NaN();
    V first_index;
    for (i32 j = 0; j < kLanes; ++j)
        first_index[j] = j;
    u32 placed = 0;
    for (i32 u = 0; u < count; ++u) {
        const f64 pu = proj[u], fu = u;
        decltype(V{} < V{}) before = {};
        for (i32 v = 0; v < count; v += kLanes) {
            V pv;
            LoadLanes(pv, proj + v);
            const V index = first_index + v;
            const auto tied = pv == pu && (tie_break == 0 ? index < fu : index > fu);
            before -= pv < pu || tied;
        }
        i64 place = 0;
        for (i32 j = 0; j < kLanes; ++j)
            place += before[j];
        order[place] = u;
        placed |= 1u << place;
    }
    return placed == (1u << count) - 1;
}

bool OrderInPairs(const f64* projection, i32 count, i32 tie_break, i32* order)
{
    return Order<f64_pair_c>(projection, count, tie_break, order);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] bool OrderInQuads(const f64* projection, i32 count, i32 tie_break, i32* order)
{
    return Order<f64_quad_c>(projection, count, tie_break, order);
}

// As Order, with the comparisons of all sixteen colours gathered as bits: a
// colour's place is the count of those less, and of those equal on the side
// the tie-break puts first.
[[gnu::target("avx512f,avx512dq,avx512vl,popcnt")]] bool OrderInOctets(const f64* projection, i32 count, i32 tie_break,
                                                                       i32* order)
{
    f64 proj[16];
    for (i32 v = 0; v < 16; ++v)
        proj[v] = v < count ? projection[v] : std::numeric_limits<f64>::quiet_NaN();
    const __m512d low = _mm512_loadu_pd(proj), high = _mm512_loadu_pd(proj + 8);
    u32 placed = 0;
    for (i32 u = 0; u < count; ++u) {
        const __m512d pu = _mm512_set1_pd(proj[u]);
        const u32 less = _mm512_cmp_pd_mask(low, pu, _CMP_LT_OQ) | _mm512_cmp_pd_mask(high, pu, _CMP_LT_OQ) << 8;
        const u32 equal = _mm512_cmp_pd_mask(low, pu, _CMP_EQ_OQ) | _mm512_cmp_pd_mask(high, pu, _CMP_EQ_OQ) << 8;
        const u32 lower = (1u << u) - 1;
        const u32 first_on_ties = tie_break == 0 ? lower : ~(lower | 1u << u);
        const i32 place = std::popcount(less | (equal & first_on_ties));
        order[place] = u;
        placed |= 1u << place;
    }
    return placed == (1u << count) - 1;
}
#endif

} // namespace

bool OrderByProjection(const f64* projection, i32 count, i32 tie_break, i32* order, i32 lanes)
{
#if defined(__x86_64__)
    switch (LaneCount(lanes)) {
    case 8: return OrderInOctets(projection, count, tie_break, order);
    case 4: return OrderInQuads(projection, count, tie_break, order);
    }
#endif
    return OrderInPairs(projection, count, tie_break, order);
}
