#pragma once
// The image-enhancement step: a displacement field that pulls pixels toward
// the edges of the level's luminance, from two screened diffusion solves,
// then a warp along it (first method) or sharpening or detail transfer from
// two warps (second method).
#include "dxt/edge_maps.h"
#include "foundation/types.h"

struct enhance_params_c {
    i32 size = 0; // radius of the edge detector
    f32 factor = 1.0f;
    f32 k = 0.0f; // conductance range above 1
    f32 lambda = 0.0f;
    bool weighted = false;
    bool sharpen = false;
    bool thin = false;
    f32 strength = 0.0f;
};

// The field each pixel samples: the solved X and Y positions.
vector_grid_c DisplacementField(const byte_image_c& level, const enhance_params_c& params, bool second_method);

// `level` has three planes (red, green, blue); the result has the same shape.
byte_image_c EnhanceLevel(const byte_image_c& level, const enhance_params_c& params, bool second_method);
