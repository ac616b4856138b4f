#include "engine/bucket_sort.h"

#include <array>
#include <cmath>

namespace {

constexpr u32 bucket_count = 1024;

} // namespace

void BucketSortPositions(const std::vector<f32>& _keys, bool _descending, std::vector<u32>& _positions)
{
    const size_t n = _keys.size();
    _positions.assign(n, 0);
    if (n < 2)
        return;
    f32 low = 0.0f;
    f32 high = 0.0f;
    bool any = false;
    for (f32 key : _keys) {
        if (std::isnan(key))
            continue;
        if (!any || key < low)
            low = key;
        if (!any || key > high)
            high = key;
        any = true;
    }
    std::vector<u32> buckets(n, 0);
    const double span = static_cast<double>(high) - static_cast<double>(low);
    if (any && span > 0.0) {
        for (size_t i = 0; i < n; ++i) {
            const double place = (static_cast<double>(_keys[i]) - low) * (bucket_count - 1) / span;
            // NaN keys and infinite spans fail both tests and stay in bucket 0.
            if (place >= static_cast<double>(bucket_count - 1))
                buckets[i] = bucket_count - 1;
            else if (place > 0.0)
                buckets[i] = static_cast<u32>(std::floor(place + 0.5));
        }
    }
    std::array<u32, bucket_count> start{};
    for (u32 bucket : buckets)
        ++start[bucket];
    u32 sum = 0;
    for (u32& count : start) {
        const u32 here = count;
        count = sum;
        sum += here;
    }
    for (size_t i = 0; i < n; ++i) {
        const u32 p = start[buckets[i]]++;
        _positions[i] = _descending ? static_cast<u32>(n - 1 - p) : p;
    }
}
