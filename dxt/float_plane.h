#pragma once
// Single-precision planes that the mip-chain builders and the edge steps
// work on: mirrored addressing, two-to-one reductions by kernel or in the
// frequency domain, per-sample operations and sampled Gaussian kernels.
#include "foundation/types.h"

#include <array>
#include <functional>
#include <vector>

struct float_plane_c {
    i32 width = 0;
    i32 height = 0;
    std::vector<f32> data; // width x height, row order

    float_plane_c() = default;
    float_plane_c(i32 w, i32 h);
    f32& At(i32 x, i32 y) { return data[static_cast<size_t>(y) * width + x]; }
    f32 At(i32 x, i32 y) const { return data[static_cast<size_t>(y) * width + x]; }

    void Clamp(f32 lo, f32 hi);
    void Power(f32 exponent);
};

// Four planes of one size, one per byte of the work pixel (blue, green, red, alpha).
struct float_image_c {
    i32 width = 0;
    i32 height = 0;
    std::array<float_plane_c, 4> planes;

    float_image_c() = default;
    float_image_c(i32 w, i32 h);

    void Clamp(f32 lo, f32 hi);
    void Power(f32 exponent);
};

// A reduction kernel: `count` taps, zeroed on creation.
struct float_kernel_c {
    std::vector<f32> taps;

    explicit float_kernel_c(i32 count) : taps(static_cast<size_t>(count), 0.0f) {}
    i32 Count() const { return static_cast<i32>(taps.size()); }
    // Divides every tap by the taps' sum when that is not 0.
    void Normalize();
};

// Index of (x, y) after reflecting each coordinate into the plane: -1 maps
// to 1, width to width - 1.
i32 MirrorCoordinate(i32 v, i32 size);
size_t MirrorIndex(const float_plane_c& plane, i32 x, i32 y);

// Separable two-to-one reduction with a kernel: width/2 x height/2.
float_plane_c ReduceWithKernel(const float_plane_c& src, const float_kernel_c& kernel);
// The same followed by `picks` reductions with the two-tap kernel (0, 1),
// which keep every second sample; only the surviving samples are computed.
float_plane_c ReduceWithKernelThenPick(const float_plane_c& src, const float_kernel_c& kernel, i32 picks);
float_image_c ReduceWithKernelThenPick(const float_image_c& src, const float_kernel_c& kernel, i32 picks);
// Two-to-one reduction in the frequency domain; sides must be powers of two.
float_plane_c ReduceByFft(const float_plane_c& src);

float_image_c ReduceWithKernel(const float_image_c& src, const float_kernel_c& kernel);
float_image_c ReduceByFft(const float_image_c& src);

// Texels a plane must hold for its reduction to be worth a thread of its
// own: a 128x128 plane's takes about as long as starting one.
inline constexpr size_t kPlaneThreadTexels = size_t{1} << 14;

// ForEachTask over the four planes, threaded when they hold `texels` each,
// at least kPlaneThreadTexels.
void ForEachPlane(size_t texels, const std::function<void(i32)>& each_plane);

// A sampled kernel of 2r + 1 taps along x (horizontal) or y.
struct sampled_kernel_c {
    std::vector<f32> taps;
    bool horizontal = true;
    i32 Radius() const { return static_cast<i32>(taps.size() / 2); }
};

f32 Gauss(f32 x);
f32 GaussDerivative(f32 x);
// Tap r + i = f(3i / r): the kernel spans three units of f on each side.
sampled_kernel_c SampleKernel(f32 (*function)(f32), i32 r, bool horizontal);
// Samples within the radius of the border along the kernel's direction stay 0.
float_plane_c Convolve(const float_plane_c& plane, const sampled_kernel_c& kernel);

// A work level (0xAARRGGBB pixels) as planes of byte x (1/255).
float_image_c ImageFromPixels(const u32* pixels, i32 width, i32 height);
// Back to pixels: floor(v x 255 + 0.5), clamped to 0..255.
void ImageToPixels(const float_image_c& image, u32* pixels);
u8 UnitSampleToByte(f32 v);
