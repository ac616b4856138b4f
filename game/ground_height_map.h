#pragma once
// ground_height_map_c: the height of the ground over one rectangle of the
// world, as a grid of samples taken from the terrain once (when the level
// loads) and read back with bilinear blending. The terrain keeps no height
// map of its own, and the figures that walk on the ground ask for heights
// every frame, so a crowd samples the ground of each of its areas here
// instead of casting rays while it runs.
//
// A sample is the height where a ray from 10000 straight down meets the
// terrain; where it meets nothing the sample is invalid. Without a terrain
// every sample is the fallback height (flat ground). Outside the rectangle,
// or next to an invalid sample, GetHeight answers ground_invalid_height:
// whoever walks there has left the map.
//
// Samples lie at most 2 units apart, at most 129 along a side (a larger
// rectangle gets wider spacing). A rectangle of no width or depth holds one
// row or column of samples and answers only on its line.
#include "foundation/types.h"
#include "foundation/vector_math.h"

#include <vector>

class null_object_c;

// Heights at or above this are not ground.
inline constexpr f32 ground_invalid_height = 16777216.0f;

class ground_height_map_c {
public:
    // _terrain may be null; corners in any order.
    void Sample(null_object_c* _terrain, f32 _x0, f32 _z0, f32 _x1, f32 _z1, f32 _fallback_height);
    // The blended height at (x, z), or ground_invalid_height.
    f32 GetHeight(f32 _x, f32 _z) const;

    u32 GetColumns() const { return columns; }
    u32 GetRows() const { return rows; }

private:
    f32 At(u32 _column, u32 _row) const { return heights[static_cast<size_t>(_row) * columns + _column]; }

    f32 minX = 0.0f, minZ = 0.0f;
    f32 stepX = 0.0f, stepZ = 0.0f;
    u32 columns = 0, rows = 0;
    std::vector<f32> heights;
};
