#pragma once
// Building blocks of the image-enhancement step: luminance and Gaussian-
// derivative edge maps, conductance planes, displacement fields, bilinear
// warps and rescales of 8-bit images, sharpening and detail transfer.
#include "dxt/float_plane.h"
#include "foundation/types.h"

#include <utility>
#include <vector>

using scalar_plane_c = float_plane_c;

// One or three 8-bit planes of one size.
struct byte_image_c {
    i32 width = 0;
    i32 height = 0;
    std::vector<std::vector<u8>> planes;

    byte_image_c() = default;
    byte_image_c(i32 w, i32 h, i32 plane_count);
    u8 At(i32 plane, i32 x, i32 y) const { return planes[plane][static_cast<size_t>(y) * width + x]; }
};

struct vector_value_c {
    f64 x = 0.0;
    f64 y = 0.0;
};

struct vector_grid_c {
    i32 width = 0;
    i32 height = 0;
    std::vector<vector_value_c> values;
};

scalar_plane_c Luminance(const byte_image_c& image, bool second_plane_only);
std::pair<f32, f32> MinMax(const scalar_plane_c& plane);
scalar_plane_c GradientX(const scalar_plane_c& plane, i32 r);
scalar_plane_c GradientY(const scalar_plane_c& plane, i32 r);
scalar_plane_c GradientMagnitude(const scalar_plane_c& gx, const scalar_plane_c& gy);
scalar_plane_c SuppressNonMaxima(const scalar_plane_c& gx, const scalar_plane_c& gy, const scalar_plane_c& magnitude);
// Conductances from 1 to 1 + k along x and y; a flat plane gives 1 everywhere.
std::pair<scalar_plane_c, scalar_plane_c> EdgeConductance(const scalar_plane_c& plane, f32 k, i32 r, bool thin);

vector_grid_c VectorGridFromPlanes(i32 width, i32 height, const f32* x, const f32* y);
vector_value_c SampleVectorGrid(const vector_grid_c& grid, f64 x, f64 y);

byte_image_c Warp(const byte_image_c& src, const vector_grid_c& field, f32 scale, bool relative);
byte_image_c Rescale(const byte_image_c& src, f32 scale);
byte_image_c Sharpen(const byte_image_c& a, const byte_image_c& blurred, f32 k);
byte_image_c TransferDetail(const byte_image_c& base, const byte_image_c& low, const byte_image_c& high, f32 k);
