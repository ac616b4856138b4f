#include "dxt/mip_chain.h"

#include "dxt/rescale.h"
#include "dxt/task_threads.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace {

// 2x2 box on 8-bit values, sample indices clamped to the image.
float_image_c BoxReduce(const float_image_c& src)
{
    const i32 nw = (src.width + 1) / 2, nh = (src.height + 1) / 2;
    float_image_c out(nw, nh);
    for (i32 c = 0; c < 4; ++c) {
        const float_plane_c& p = src.planes[c];
        for (i32 y = 0; y < nh; ++y)
            for (i32 x = 0; x < nw; ++x) {
                const i32 x0 = std::min(2 * x, src.width - 1), x1 = std::min(2 * x + 1, src.width - 1);
                const i32 y0 = std::min(2 * y, src.height - 1), y1 = std::min(2 * y + 1, src.height - 1);
                const i32 sum = UnitSampleToByte(p.At(x0, y0)) + UnitSampleToByte(p.At(x1, y0)) +
                                UnitSampleToByte(p.At(x0, y1)) + UnitSampleToByte(p.At(x1, y1));
                out.planes[c].At(x, y) = static_cast<f32>(sum / 4) / 255.0f;
            }
    }
    return out;
}

float_image_c SplineReduce(const float_image_c& src)
{
    const i32 nw = (src.width + 1) / 2, nh = (src.height + 1) / 2;
    float_image_c out(nw, nh);
    ForEachPlane(src.planes[0].data.size(), [&](i32 c) {
        const float_plane_c& p = src.planes[c];
        std::vector<f32> rows(static_cast<size_t>(nw) * src.height), column(src.height), result(nh);
        for (i32 y = 0; y < src.height; ++y)
            ResampleLine(&p.data[static_cast<size_t>(y) * src.width], src.width, &rows[static_cast<size_t>(y) * nw],
                         nw);
        for (i32 x = 0; x < nw; ++x) {
            for (i32 y = 0; y < src.height; ++y)
                column[y] = rows[static_cast<size_t>(y) * nw + x];
            ResampleLine(column.data(), src.height, result.data(), nh);
            for (i32 y = 0; y < nh; ++y)
                out.planes[c].At(x, y) = result[y];
        }
    });
    return out;
}

bool Reducible(i32 width, i32 height)
{
    // The next level of the halving builders would have a side of 0, or be 1x1.
    return width / 2 >= 1 && height / 2 >= 1 && !(width / 2 == 1 && height / 2 == 1);
}

bool Reducible(const float_image_c& level)
{
    return Reducible(level.width, level.height);
}

} // namespace

f64 BesselI0(f64 x)
{
    f64 sum = 1.0, term = 1.0;
    for (i32 k = 1; k < 1000; ++k) {
        term = term * (x / 2.0) / k;
        sum += term * term;
        if (!(term * term > 1e-16 * sum))
            break;
    }
    return sum;
}

float_kernel_c KaiserSincKernel(i32 level, i32 p, f32 beta)
{
    const i64 product = static_cast<i64>(p) << (level - 1);
    const i64 n = product + ((p % 2 == 1 && product % 2 == 0) ? 1 : 0);
    float_kernel_c kernel(static_cast<i32>(n));
    const i64 h = n / 2;
    const f64 scale = std::ldexp(1.0, -level), i0_beta = BesselI0(beta);
    for (i64 i = 0; i < n; ++i) {
        const f64 x = (static_cast<f64>(i - h) + 0.5) * scale;
        const f64 sinc = x == 0.0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
        // A one-tap kernel has no window to speak of.
        const f64 window = h == 0 ? 1.0 : BesselI0(beta * std::sqrt(std::max(0.0, 1.0 - (x / h) * (x / h)))) / i0_beta;
        kernel.taps[i] = static_cast<f32>(sinc * window);
    }
    kernel.Normalize();
    return kernel;
}

bool IsBoxFilter(i32 filter)
{
    return filter < 134 || filter > 137;
}

std::vector<float_image_c> BuildChain(const u32* pixels, i32 width, i32 height, const dxt_options_c& o)
{
    std::vector<float_image_c> chain;
    chain.push_back(ImageFromPixels(pixels, width, height));
    const i32 filter = o.mip_filter;
    if (filter == 136 || filter == 137) {
        if (o.filter_param_3 < 1 || o.filter_param_3 > 64)
            throw std::invalid_argument("Kernel taps " + std::to_string(o.filter_param_3) + " out of range 1..64");
        if (filter == 137 && !(o.filter_param_1 > 0.0f))
            throw std::invalid_argument("Gamma must be above 0");
        float_image_c face = chain[0];
        if (filter == 137)
            face.Power(o.filter_param_1);
        i32 direct = 0;
        for (i32 w = face.width, h = face.height; direct < 12 && Reducible(w, h); w /= 2, h /= 2)
            ++direct;
        // The first twelve levels come from the face alone, each with a kernel
        // of its own: they are made side by side, a plane at a time.
        const bool threaded = face.planes[0].data.size() >= kPlaneThreadTexels;
        std::vector<float_kernel_c> kernels(static_cast<size_t>(direct), float_kernel_c(0));
        ForEachTask(direct, threaded,
                    [&](i32 i) { kernels[i] = KaiserSincKernel(i + 1, o.filter_param_3, o.filter_param_2); });
        chain.resize(static_cast<size_t>(direct) + 1);
        ForEachTask(direct * 4, threaded, [&](i32 task) {
            const i32 level = 1 + task / 4, c = task % 4;
            // The further reductions with (0, 1) only pick samples, so they commute with the clamp and power.
            float_plane_c& plane = chain[level].planes[c];
            plane = ReduceWithKernelThenPick(face.planes[c], kernels[level - 1], level - 1);
            if (filter == 137) {
                plane.Clamp(0.0f, 100.0f);
                plane.Power(1.0f / o.filter_param_1);
            }
        });
        for (i32 level = 1; level <= direct; ++level) {
            chain[level].width = chain[level].planes[0].width;
            chain[level].height = chain[level].planes[0].height;
        }
        // Only twelve kernels exist: past them each level halves the one before with kernel 1.
        while (Reducible(chain.back())) {
            float_image_c prev = chain.back();
            if (filter == 137)
                prev.Power(o.filter_param_1);
            float_image_c next = ReduceWithKernel(prev, KaiserSincKernel(1, o.filter_param_3, o.filter_param_2));
            if (filter == 137) {
                next.Clamp(0.0f, 100.0f);
                next.Power(1.0f / o.filter_param_1);
            }
            chain.push_back(std::move(next));
        }
        return chain;
    }
    while (chain.back().width > 1 || chain.back().height > 1) {
        const float_image_c& last = chain.back();
        if (filter == 134) {
            chain.push_back(last.width < 5 || last.height < 5 ? BoxReduce(last) : SplineReduce(last));
        } else if (filter == 135) {
            if (!Reducible(last))
                break;
            chain.push_back(ReduceByFft(last));
        } else {
            chain.push_back(BoxReduce(last));
        }
    }
    return chain;
}
