#pragma once
// Single-precision planes that the mip-chain builders work on.
#include "foundation/types.h"

#include <array>
#include <vector>

struct float_plane_c {
  i32 width = 0;
  i32 height = 0;
  std::vector<f32> data;  // width x height, row order

  float_plane_c() = default;
  float_plane_c(i32 w, i32 h);
  f32& At(i32 x, i32 y) { return data[static_cast<size_t>(y) * width + x]; }
  f32 At(i32 x, i32 y) const { return data[static_cast<size_t>(y) * width + x]; }
};

// Four planes of one size, one per byte of the work pixel (blue, green, red, alpha).
struct float_image_c {
  i32 width = 0;
  i32 height = 0;
  std::array<float_plane_c, 4> planes;

  float_image_c() = default;
  float_image_c(i32 w, i32 h);
};

// A work level (0xAARRGGBB pixels) as planes of byte x (1/255).
float_image_c ImageFromPixels(const u32* pixels, i32 width, i32 height);
// Back to pixels: floor(v x 255 + 0.5), clamped to 0..255.
void ImageToPixels(const float_image_c& image, u32* pixels);
u8 UnitSampleToByte(f32 v);
