#include "game/ground_height_map.h"

#include "engine/null_object.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr f32 kSpacing = 2.0f;
constexpr u32 kMaxSamples = 129;
constexpr f32 kProbeHeight = 10000.0f;

// Samples along one side and their spacing; one sample for no extent.
void Lay(f32 _extent, u32& _count, f32& _step)
{
    if (!(_extent > 0.0f)) {
        _count = 1;
        _step = 0.0f;
        return;
    }
    const f32 wanted = std::ceil(_extent / kSpacing) + 1.0f;
    _count = static_cast<u32>(std::min(wanted, static_cast<f32>(kMaxSamples)));
    _step = _extent / static_cast<f32>(_count - 1);
}

// Cell index and blend factor of a coordinate; false outside.
bool Locate(f32 _offset, f32 _step, u32 _count, u32& _cell, f32& _blend)
{
    if (_count == 1) {
        _cell = 0;
        _blend = 0.0f;
        return _offset == 0.0f;
    }
    const f32 position = _offset / _step;
    const f32 last = static_cast<f32>(_count - 1);
    if (!(position >= 0.0f && position <= last))
        return false;
    _cell = std::min(static_cast<u32>(position), _count - 2);
    _blend = position - static_cast<f32>(_cell);
    return true;
}

} // namespace

void ground_height_map_c::Sample(null_object_c* _terrain, f32 _x0, f32 _z0, f32 _x1, f32 _z1, f32 _fallback_height)
{
    minX = std::min(_x0, _x1);
    minZ = std::min(_z0, _z1);
    Lay(std::fabs(_x1 - _x0), columns, stepX);
    Lay(std::fabs(_z1 - _z0), rows, stepZ);
    heights.assign(static_cast<size_t>(columns) * rows, _fallback_height);
    if (!_terrain)
        return;
    for (u32 row = 0; row < rows; ++row)
        for (u32 column = 0; column < columns; ++column) {
            const vec3_c from(minX + stepX * static_cast<f32>(column), kProbeHeight,
                              minZ + stepZ * static_cast<f32>(row));
            f32 distance = 0.0f;
            vec3_c normal;
            const bool hit =
                _terrain->RayTest(distance, normal, ray_c(from, vec3_c(0.0f, -1.0f, 0.0f)), false, true, ray_miss);
            heights[static_cast<size_t>(row) * columns + column] =
                hit ? kProbeHeight - distance : ground_invalid_height;
        }
}

f32 ground_height_map_c::GetHeight(f32 _x, f32 _z) const
{
    u32 column = 0, row = 0;
    f32 u = 0.0f, v = 0.0f;
    if (heights.empty() || !Locate(_x - minX, stepX, columns, column, u) || !Locate(_z - minZ, stepZ, rows, row, v))
        return ground_invalid_height;
    const u32 right = std::min(column + 1, columns - 1);
    const u32 below = std::min(row + 1, rows - 1);
    const f32 corners[4] = {At(column, row), At(right, row), At(column, below), At(right, below)};
    for (f32 corner : corners)
        if (!(corner < ground_invalid_height))
            return ground_invalid_height;
    const f32 top = corners[0] + (corners[1] - corners[0]) * u;
    const f32 bottom = corners[2] + (corners[3] - corners[2]) * u;
    return top + (bottom - top) * v;
}
