#include "foundation/height_map.h"

#include <algorithm>

namespace {

// Cell index of t in (0, 1), kept inside [0, count) where float rounding
// would otherwise give count, one past the samples.
int CellIndex(float t, int count)
{
    return std::clamp(static_cast<int>(t * count), 0, count - 1);
}

} // namespace

float height_map_c::GetHeight(float x, float z) const
{
    if (!samples || columns <= 0 || rows <= 0)
        return kHeightOutside;
    const float left = centerX - extentX / 2;
    const float front = centerZ - extentZ / 2;
    if (!(left < x && x < left + extentX && front < z && z < front + extentZ))
        return kHeightOutside;
    const int row = CellIndex((z - front) / extentZ, rows);
    const int column = CellIndex((x - left) / extentX, columns);
    return samples[static_cast<i64>(row) * columns + column];
}
