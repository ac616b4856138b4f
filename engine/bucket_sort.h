#pragma once
// The 1024-bucket sort of lights and render lists. Keys are mapped linearly
// from [min, max] onto buckets 0..1023; items keep their input order inside
// a bucket when ascending and reverse it when descending. A key that is not
// a number (or cannot be placed) lands in bucket 0.
#include "foundation/types.h"

#include <vector>

// _positions[i] becomes the output position of item i.
void BucketSortPositions(const std::vector<f32>& _keys, bool _descending, std::vector<u32>& _positions);

template <class T>
void BucketSort(const std::vector<T*>& _items, const std::vector<f32>& _keys, bool _descending, std::vector<T*>& _out)
{
    std::vector<u32> positions;
    BucketSortPositions(_keys, _descending, positions);
    _out.assign(_items.size(), nullptr);
    for (size_t i = 0; i < _items.size(); ++i)
        _out[positions[i]] = _items[i];
}
