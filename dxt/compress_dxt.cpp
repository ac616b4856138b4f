#include "dxt/compress_dxt.h"

#include "dxt/level_generator.h"
#include "dxt/rescale.h"
#include "dxt/rounding.h"

#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

std::mutex compress_lock;
thread_local bool inside_compression = false;

constexpr i64 kLargestSide = i64{1} << 30;

bool IsDxtFormat(i32 format)
{
    return format >= 10 && format <= 13;
}

// Options that cannot be served: an edge detector needs a radius of at least
// 0, and the enhancement factors must be numbers.
bool Unusable(const dxt_options_c& o)
{
    if (!o.enhance_on)
        return false;
    // Every pixel of the enhancement step passes through these factors.
    if (!std::isfinite(o.enhance_param_1) || !std::isfinite(o.enhance_param_2) || !std::isfinite(o.enhance_param_3))
        return true;
    return !SingleLevel(o) && o.enhance_min_size < 0;
}

bool ExplicitSide(f32 v, i32& side)
{
    if (!(v == v))
        return false;
    const f64 r = RoundHalfEven(v);
    if (r < 1.0 || r > static_cast<f64>(kLargestSide))
        return false;
    side = static_cast<i32>(r);
    return true;
}

i32 Compress(const u8* pixels, i32 width, i32 height, i64 row_pitch, const dxt_options_c& options, i32 bpp,
             dxt_level_callback callback)
{
    dxt_work_state_c state;
    std::memcpy(&state.options, &options, sizeof state.options);
    const dxt_options_c& o = state.options;
    if (o.output_format < 10 || o.output_format > 23 || Unusable(o))
        return dxt_refused;

    std::vector<u8> rescaled;
    const bool not_pow2 = !IsPow2(width) || !IsPow2(height);
    i32 new_width = width, new_height = height;
    bool rescale = false;
    if (o.rescale_mode >= 1 && o.rescale_mode <= 3 && not_pow2) {
        if (!PickPow2Size(o.rescale_mode, width, height, new_width, new_height))
            return dxt_refused;
        rescale = true;
    } else if (o.rescale_mode == 4) {
        if (!ExplicitSide(o.rescale_width, new_width) || !ExplicitSide(o.rescale_height, new_height))
            return dxt_refused;
        rescale = true;
    }
    if (rescale) {
        rescaled = RescaleImage(pixels, width, height, bpp, row_pitch, new_width, new_height);
        pixels = rescaled.data();
        width = new_width;
        height = new_height;
        row_pitch = static_cast<i64>(new_width) * bpp;
    }
    state.pixels = pixels;
    state.width = width;
    state.height = height;
    state.bytes_per_pixel = bpp;
    state.row_pitch = row_pitch;
    return GenerateLevels(state, o.output_format, callback) == 1 ? dxt_done : dxt_refused;
}

} // namespace

i32 CompressDxt(const u8* pixels, u32 width, u32 height, u32 row_pitch, const dxt_options_c* options,
                i32 bytes_per_pixel, dxt_level_callback callback)
{
    if (!pixels)
        return dxt_null_pixels;
    if (bytes_per_pixel != 3 && bytes_per_pixel != 4)
        return dxt_bad_pixel_size;
    if (!options)
        return dxt_refused;
    dxt_options_c o;
    std::memcpy(&o, options, sizeof o);
    if (IsDxtFormat(o.output_format)) {
        u32 side = width;
        if (o.texture_kind == 81)
            side = width / 6;
        if (o.texture_kind == 83)
            side = height;
        if ((!IsPow2(side) || !IsPow2(height)) && o.rescale_mode == 0)
            return dxt_not_power_of_two;
    }
    if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide ||
        static_cast<u64>(row_pitch) < static_cast<u64>(width) * bytes_per_pixel)
        return dxt_refused;
    if (inside_compression)
        return dxt_refused;
    std::lock_guard<std::mutex> guard(compress_lock);
    inside_compression = true;
    i32 result;
    try {
        result = Compress(pixels, static_cast<i32>(width), static_cast<i32>(height), row_pitch, o, bytes_per_pixel,
                          callback);
    } catch (const std::bad_alloc&) {
        result = dxt_out_of_memory;
    } catch (const std::exception&) {
        result = dxt_refused;
    }
    inside_compression = false;
    return result;
}
