#include "dxt/float_plane.h"

#include <cmath>

float_plane_c::float_plane_c(i32 w, i32 h) : width(w), height(h), data(static_cast<size_t>(w) * h, 0.0f) {}

float_image_c::float_image_c(i32 w, i32 h) : width(w), height(h) {
  for (float_plane_c& p : planes) p = float_plane_c(w, h);
}

float_image_c ImageFromPixels(const u32* pixels, i32 width, i32 height) {
  float_image_c image(width, height);
  const f32 scale = 1.0f / 255.0f;
  const size_t n = static_cast<size_t>(width) * height;
  for (size_t i = 0; i < n; ++i)
    for (i32 c = 0; c < 4; ++c) image.planes[c].data[i] = static_cast<f32>((pixels[i] >> (8 * c)) & 0xff) * scale;
  return image;
}

u8 UnitSampleToByte(f32 v) {
  // Nearest: adding 0.5 and then rounding again would raise odd values by
  // one at every level of a chain.
  const f32 t = std::floor(v * 255.0f + 0.5f);
  if (!(t > 0.0f)) return 0;
  if (t > 255.0f) return 255;
  return static_cast<u8>(t);
}

void ImageToPixels(const float_image_c& image, u32* pixels) {
  const size_t n = static_cast<size_t>(image.width) * image.height;
  for (size_t i = 0; i < n; ++i) {
    u32 p = 0;
    for (i32 c = 0; c < 4; ++c) p |= static_cast<u32>(UnitSampleToByte(image.planes[c].data[i])) << (8 * c);
    pixels[i] = p;
  }
}
