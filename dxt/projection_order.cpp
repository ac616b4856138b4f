#include "dxt/projection_order.h"

#include "dxt/lanes.h"

#include <limits>

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
#endif

} // namespace

bool OrderByProjection(const f64* projection, i32 count, i32 tie_break, i32* order, i32 lanes)
{
#if defined(__x86_64__)
    if (HasQuadLanes() && lanes != 2)
        return OrderInQuads(projection, count, tie_break, order);
#endif
    return OrderInPairs(projection, count, tie_break, order);
}
