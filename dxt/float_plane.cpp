#include "dxt/float_plane.h"

#include "dxt/fft.h"
#include "dxt/task_threads.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

float_plane_c::float_plane_c(i32 w, i32 h) : width(w), height(h), data(static_cast<size_t>(w) * h, 0.0f) {}

float_image_c::float_image_c(i32 w, i32 h) : width(w), height(h)
{
    for (float_plane_c& p : planes)
        p = float_plane_c(w, h);
}

void float_plane_c::Clamp(f32 lo, f32 hi)
{
    for (f32& v : data)
        v = std::max(lo, std::min(hi, v));
}

void float_plane_c::Power(f32 exponent)
{
    for (f32& v : data)
        v = std::pow(v, exponent);
}

void float_image_c::Clamp(f32 lo, f32 hi)
{
    for (float_plane_c& p : planes)
        p.Clamp(lo, hi);
}

void float_image_c::Power(f32 exponent)
{
    ForEachPlane(planes[0].data.size(), [&](i32 c) { planes[c].Power(exponent); });
}

void float_kernel_c::Normalize()
{
    f32 sum = 0.0f;
    for (f32 t : taps)
        sum += t;
    if (sum != 0.0f)
        for (f32& t : taps)
            t /= sum;
}

i32 MirrorCoordinate(i32 v, i32 size)
{
    if (size <= 1)
        return 0;
    while (v < 0 || v >= size) {
        if (v < 0)
            v = -v;
        if (v >= size)
            v = 2 * size - v - 1;
    }
    return v;
}

size_t MirrorIndex(const float_plane_c& plane, i32 x, i32 y)
{
    return static_cast<size_t>(MirrorCoordinate(y, plane.height)) * plane.width + MirrorCoordinate(x, plane.width);
}

float_plane_c ReduceWithKernel(const float_plane_c& src, const float_kernel_c& kernel)
{
    return ReduceWithKernelThenPick(src, kernel, 0);
}

float_plane_c ReduceWithKernelThenPick(const float_plane_c& src, const float_kernel_c& kernel, i32 picks)
{
    const i32 taps = kernel.Count(), half = taps / 2;
    i32 w = src.width / 2, h = src.height / 2;
    for (i32 k = 0; k < picks; ++k) {
        w /= 2;
        h /= 2;
    }
    // Output i comes from sample i x 2^picks + 2^picks - 1 of the kernel's output.
    const i32 stride = 1 << picks, offset = stride - 1;
    float_plane_c temp(w, src.height), out(w, h);
    for (i32 y = 0; y < src.height; ++y)
        for (i32 i = 0; i < w; ++i) {
            const i32 x = 2 * (i * stride + offset);
            f32 sum = 0.0f;
            for (i32 k = 0; k < taps; ++k)
                sum += kernel.taps[k] * src.data[MirrorIndex(src, x + 1 - half + k, y)];
            temp.At(i, y) = sum;
        }
    // Rows are mirrored against the whole first-pass height, as the unpicked reduction would be.
    for (i32 j = 0; j < h; ++j) {
        const i32 y = 2 * (j * stride + offset);
        for (i32 i = 0; i < w; ++i) {
            f32 sum = 0.0f;
            for (i32 k = 0; k < taps; ++k)
                sum += kernel.taps[k] * temp.At(i, MirrorCoordinate(y + 1 - half + k, src.height));
            out.At(i, j) = sum;
        }
    }
    return out;
}

float_plane_c ReduceByFft(const float_plane_c& src)
{
    const i32 w = src.width, h = src.height;
    const size_t n = static_cast<size_t>(w) * h;
    std::vector<f32> re(n), im(n), line_re(std::max(w, h)), line_im(std::max(w, h)), out_re(std::max(w, h)),
        out_im(std::max(w, h));
    // Rows, then columns.
    for (i32 y = 0; y < h; ++y) {
        fft_float(w, 0, &src.data[static_cast<size_t>(y) * w], nullptr, &re[static_cast<size_t>(y) * w],
                  &im[static_cast<size_t>(y) * w]);
    }
    auto columns = [&](int inverse) {
        for (i32 x = 0; x < w; ++x) {
            for (i32 y = 0; y < h; ++y) {
                line_re[y] = re[static_cast<size_t>(y) * w + x];
                line_im[y] = im[static_cast<size_t>(y) * w + x];
            }
            fft_float(h, inverse, line_re.data(), line_im.data(), out_re.data(), out_im.data());
            for (i32 y = 0; y < h; ++y) {
                re[static_cast<size_t>(y) * w + x] = out_re[y];
                im[static_cast<size_t>(y) * w + x] = out_im[y];
            }
        }
    };
    columns(0);
    // The upper half of the band in either direction goes.
    for (i32 y = 0; y < h; ++y)
        for (i32 x = 0; x < w; ++x) {
            const bool cut_x = x >= w / 4 && x < w / 4 + w / 2, cut_y = y >= h / 4 && y < h / 4 + h / 2;
            if (cut_x || cut_y)
                re[static_cast<size_t>(y) * w + x] = im[static_cast<size_t>(y) * w + x] = 0.0f;
        }
    columns(1);
    float_plane_c out(w / 2, h / 2);
    for (i32 y = 0; y < h; ++y) {
        fft_float(w, 1, &re[static_cast<size_t>(y) * w], &im[static_cast<size_t>(y) * w], out_re.data(), out_im.data());
        if (y % 2 == 0 && y / 2 < out.height)
            for (i32 x = 0; x < out.width; ++x)
                out.At(x, y / 2) = out_re[2 * x];
    }
    return out;
}

void ForEachPlane(size_t texels, const std::function<void(i32)>& each_plane)
{
    ForEachTask(4, texels >= kPlaneThreadTexels, each_plane);
}

float_image_c ReduceWithKernel(const float_image_c& src, const float_kernel_c& kernel)
{
    return ReduceWithKernelThenPick(src, kernel, 0);
}

float_image_c ReduceWithKernelThenPick(const float_image_c& src, const float_kernel_c& kernel, i32 picks)
{
    float_image_c out;
    ForEachPlane(src.planes[0].data.size(),
                 [&](i32 c) { out.planes[c] = ReduceWithKernelThenPick(src.planes[c], kernel, picks); });
    out.width = out.planes[0].width;
    out.height = out.planes[0].height;
    return out;
}

float_image_c ReduceByFft(const float_image_c& src)
{
    float_image_c out;
    ForEachPlane(src.planes[0].data.size(), [&](i32 c) { out.planes[c] = ReduceByFft(src.planes[c]); });
    out.width = out.planes[0].width;
    out.height = out.planes[0].height;
    return out;
}

f32 Gauss(f32 x)
{
    return std::exp(-x * x);
}
f32 GaussDerivative(f32 x)
{
    return -2.0f * x * std::exp(-x * x);
}

sampled_kernel_c SampleKernel(f32 (*function)(f32), i32 r, bool horizontal)
{
    if (r < 0)
        throw std::invalid_argument("Kernel radius must not be negative");
    sampled_kernel_c k;
    k.horizontal = horizontal;
    k.taps.assign(2 * static_cast<size_t>(r) + 1, 0.0f);
    k.taps[r] = function(0.0f);
    for (i32 i = 1; i <= r; ++i) {
        k.taps[r + i] = function(3.0f * i / r);
        k.taps[r - i] = function(-3.0f * i / r);
    }
    return k;
}

float_plane_c Convolve(const float_plane_c& in, const sampled_kernel_c& kernel)
{
    const i32 r = kernel.Radius();
    float_plane_c out(in.width, in.height);
    for (i32 y = 0; y < in.height; ++y)
        for (i32 x = 0; x < in.width; ++x) {
            const i32 along = kernel.horizontal ? x : y, size = kernel.horizontal ? in.width : in.height;
            if (along < r || along >= size - r)
                continue;
            // Taps at +k and -k are paired so that a flat run gives exactly 0 under an odd kernel.
            auto sample = [&](i32 k) { return kernel.horizontal ? in.At(x + k, y) : in.At(x, y + k); };
            f32 sum = kernel.taps[r] * sample(0);
            for (i32 k = 1; k <= r; ++k)
                sum += kernel.taps[r + k] * sample(k) + kernel.taps[r - k] * sample(-k);
            out.At(x, y) = sum;
        }
    return out;
}

float_image_c ImageFromPixels(const u32* pixels, i32 width, i32 height)
{
    float_image_c image(width, height);
    const f32 scale = 1.0f / 255.0f;
    const size_t n = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < n; ++i)
        for (i32 c = 0; c < 4; ++c)
            image.planes[c].data[i] = static_cast<f32>((pixels[i] >> (8 * c)) & 0xff) * scale;
    return image;
}

u8 UnitSampleToByte(f32 v)
{
    // Nearest: adding 0.5 and then rounding again would raise odd values by
    // one at every level of a chain.
    const f32 t = std::floor(v * 255.0f + 0.5f);
    if (!(t > 0.0f))
        return 0;
    if (t > 255.0f)
        return 255;
    return static_cast<u8>(t);
}

void ImageToPixels(const float_image_c& image, u32* pixels)
{
    const size_t n = static_cast<size_t>(image.width) * image.height;
    for (size_t i = 0; i < n; ++i) {
        u32 p = 0;
        for (i32 c = 0; c < 4; ++c)
            p |= static_cast<u32>(UnitSampleToByte(image.planes[c].data[i])) << (8 * c);
        pixels[i] = p;
    }
}
