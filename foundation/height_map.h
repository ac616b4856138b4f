#pragma once
// A grid of height samples over the x/z plane, read by position.
#include "foundation/types.h"

// What GetHeight answers outside the grid.
inline constexpr float kHeightOutside = 16777216.0f;

class height_map_c {
public:
    float centerX = 0.0f, centerZ = 0.0f;
    float extentX = 0.0f, extentZ = 0.0f;
    const float* samples = nullptr; // rows * columns, row by row; not owned
    int columns = 0;
    int rows = 0;

    // The sample under (x, z). A point is inside when it lies strictly
    // between the grid's edges; outside, or with no samples, kHeightOutside.
    // Rounding next to the far edges is clamped to the last row and column.
    float GetHeight(float x, float z) const;
};
