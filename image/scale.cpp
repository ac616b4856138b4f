#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "image/image.h"
#include "image/pixel.h"

namespace {

bool IsScalable(format_e format)
{
    return format == format_l8 || format == format_x8r8g8b8 || format == format_a8r8g8b8;
}

bool CanScale(u8* dst, int dst_width, int dst_height, int dst_padding, const u8* src, int src_width, int src_height,
              int src_padding, format_e format, const char* signature)
{
    if (!IsValidImage(dst_width, dst_height, dst_padding, format, dst) ||
        !IsValidImage(src_width, src_height, src_padding, format, src))
        return false;
    if (!IsScalable(format))
        throw std::invalid_argument(signature);
    return dst_width != src_width || dst_height != src_height;
}

// Bytes per pixel, channels filtered (x8r8g8b8 leaves its top byte 0) and
// row pitches of one scaling call.
struct scale_rows_s {
    int bytes;
    int channels;
    size_t dst_pitch;
    size_t src_pitch;

    scale_rows_s(format_e format, int dst_width, int dst_padding, int src_width, int src_padding)
        : bytes(PixelBytes(format)), channels(format == format_l8         ? 1
                                              : format == format_x8r8g8b8 ? 3
                                                                          : 4),
          dst_pitch(size_t(dst_width + dst_padding) * bytes), src_pitch(size_t(src_width + src_padding) * bytes)
    {}
};

// 16.16 step of n samples over m source pixels.
i64 FixedStep(int m, int n)
{
    return i64(double(m) * 65536.0 / n);
}

// Source taps and 8-bit weight of the bilinear filter for each sample.
struct linear_tap_s {
    int i0, i1;
    int f;
};

std::vector<linear_tap_s> LinearTaps(int m, int n)
{
    std::vector<linear_tap_s> taps(n);
    const i64 step = FixedStep(m, n);
    for (int j = 0; j < n; ++j) {
        const i64 p = step / 2 + j * step;
        const i64 lo = (p - 32768) >> 16;
        const i64 hi = (p + 32768) >> 16;
        taps[j].i0 = int(std::clamp<i64>(lo, 0, m - 1));
        taps[j].i1 = int(std::clamp<i64>(hi, 0, m - 1));
        taps[j].f = int(((p + 32768) >> 8) & 0xFF);
    }
    return taps;
}

// Source taps and cubic-convolution weights (a = -0.5) for each sample.
struct cubic_tap_s {
    int index[4];
    float weight[4];
};

std::vector<cubic_tap_s> CubicTaps(int m, int n)
{
    std::vector<cubic_tap_s> taps(n);
    const float a = -0.5f;
    const float r = float(m) / float(n);
    for (int j = 0; j < n; ++j) {
        const float p = (float(j) + 0.5f) * r + 0.5f;
        const int i = int(p);
        const float t = p - float(i);
        const float t2 = t * t;
        const float t3 = t2 * t;
        cubic_tap_s& tap = taps[j];
        tap.index[0] = std::clamp(i - 2, 0, m - 1);
        tap.index[1] = std::clamp(i - 1, 0, m - 1);
        tap.index[2] = std::clamp(i, 0, m - 1);
        tap.index[3] = std::clamp(i + 1, 0, m - 1);
        tap.weight[0] = a * t3 - 2 * a * t2 + a * t;
        tap.weight[1] = (a + 2) * t3 - (a + 3) * t2 + 1;
        tap.weight[2] = (2 * a + 3) * t2 - (a + 2) * t3 - a * t;
        tap.weight[3] = a * (t2 - t3);
    }
    return taps;
}

inline u8 ClampToByte(float v)
{
    const int i = int(v);
    return u8(i < 0 ? 0 : i > 255 ? 255 : i);
}

} // namespace

void image_c::PointScale(u8* dst, int dst_width, int dst_height, int dst_padding, const u8* src, int src_width,
                         int src_height, int src_padding, format_e format)
{
    if (!CanScale(dst, dst_width, dst_height, dst_padding, src, src_width, src_height, src_padding, format,
                  "void image_c::PointScale(...)"))
        return;
    const auto [bytes, channels, dst_pitch, src_pitch] =
        scale_rows_s(format, dst_width, dst_padding, src_width, src_padding);
    std::vector<int> columns(dst_width);
    const i64 step_x = FixedStep(src_width, dst_width);
    for (int x = 0; x < dst_width; ++x)
        columns[x] = int(std::min<i64>((step_x / 2 + x * step_x) >> 16, src_width - 1));
    const i64 step_y = FixedStep(src_height, dst_height);
    for (int y = 0; y < dst_height; ++y) {
        const i64 sy = std::min<i64>((step_y / 2 + y * step_y) >> 16, src_height - 1);
        const u8* s = src + size_t(sy) * src_pitch;
        u8* d = dst + size_t(y) * dst_pitch;
        if (bytes == 1) {
            for (int x = 0; x < dst_width; ++x)
                d[x] = s[columns[x]];
        } else {
            for (int x = 0; x < dst_width; ++x)
                StoreU32(d + 4 * x, LoadU32(s + 4 * columns[x]));
        }
    }
}

void image_c::BilinearScale(u8* dst, int dst_width, int dst_height, int dst_padding, const u8* src, int src_width,
                            int src_height, int src_padding, format_e format)
{
    if (!CanScale(dst, dst_width, dst_height, dst_padding, src, src_width, src_height, src_padding, format,
                  "void image_c::BilinearScale(...)"))
        return;
    const auto [bytes, channels, dst_pitch, src_pitch] =
        scale_rows_s(format, dst_width, dst_padding, src_width, src_padding);
    const std::vector<linear_tap_s> xs = LinearTaps(src_width, dst_width);
    const std::vector<linear_tap_s> ys = LinearTaps(src_height, dst_height);
    for (int y = 0; y < dst_height; ++y) {
        const u8* a = src + size_t(ys[y].i0) * src_pitch;
        const u8* b = src + size_t(ys[y].i1) * src_pitch;
        const int fy = ys[y].f;
        u8* d = dst + size_t(y) * dst_pitch;
        for (int x = 0; x < dst_width; ++x) {
            const int o0 = xs[x].i0 * bytes;
            const int o1 = xs[x].i1 * bytes;
            const int fx = xs[x].f;
            for (int c = 0; c < bytes; ++c) {
                if (c >= channels) {
                    d[x * bytes + c] = 0;
                    continue;
                }
                const int top = (a[o0 + c] << 8) + (a[o1 + c] - a[o0 + c]) * fx;
                const int bottom = (b[o0 + c] << 8) + (b[o1 + c] - b[o0 + c]) * fx;
                d[x * bytes + c] = u8(((bottom - top) * fy + (top << 8)) >> 16);
            }
        }
    }
}

void image_c::BicubicScale(u8* dst, int dst_width, int dst_height, int dst_padding, const u8* src, int src_width,
                           int src_height, int src_padding, format_e format)
{
    if (!CanScale(dst, dst_width, dst_height, dst_padding, src, src_width, src_height, src_padding, format,
                  "void image_c::BicubicScale(...)"))
        return;
    // A plain object rather than bindings: the row-sum lambda below captures it.
    const scale_rows_s geometry(format, dst_width, dst_padding, src_width, src_padding);
    const int bytes = geometry.bytes;
    const int channels = geometry.channels;
    const std::vector<cubic_tap_s> xs = CubicTaps(src_width, dst_width);
    const std::vector<cubic_tap_s> ys = CubicTaps(src_height, dst_height);

    // Each source row is filtered across once per destination column; the
    // destination rows then weight four of these row sums. The taps of
    // successive rows only move forward, so four slots (by row index modulo 4)
    // hold every row sum still needed.
    const size_t row_floats = size_t(dst_width) * channels;
    std::vector<float> sums(4 * row_floats);
    int slot_row[4] = {-1, -1, -1, -1};
    auto row_sums = [&](int sy) -> const float* {
        float* out = sums.data() + size_t(sy & 3) * row_floats;
        if (slot_row[sy & 3] == sy)
            return out;
        slot_row[sy & 3] = sy;
        const u8* s = src + size_t(sy) * geometry.src_pitch;
        for (int x = 0; x < dst_width; ++x) {
            const cubic_tap_s& t = xs[x];
            const u8* p0 = s + t.index[0] * bytes;
            const u8* p1 = s + t.index[1] * bytes;
            const u8* p2 = s + t.index[2] * bytes;
            const u8* p3 = s + t.index[3] * bytes;
            for (int c = 0; c < channels; ++c) {
                out[x * channels + c] =
                    t.weight[0] * p0[c] + t.weight[1] * p1[c] + t.weight[2] * p2[c] + t.weight[3] * p3[c];
            }
        }
        return out;
    };
    for (int y = 0; y < dst_height; ++y) {
        const cubic_tap_s& t = ys[y];
        const float* r0 = row_sums(t.index[0]);
        const float* r1 = row_sums(t.index[1]);
        const float* r2 = row_sums(t.index[2]);
        const float* r3 = row_sums(t.index[3]);
        u8* d = dst + size_t(y) * geometry.dst_pitch;
        for (int x = 0; x < dst_width; ++x) {
            for (int c = 0; c < channels; ++c) {
                const size_t k = size_t(x) * channels + c;
                d[x * bytes + c] =
                    ClampToByte(t.weight[0] * r0[k] + t.weight[1] * r1[k] + t.weight[2] * r2[k] + t.weight[3] * r3[k]);
            }
            for (int c = channels; c < bytes; ++c)
                d[x * bytes + c] = 0;
        }
    }
}

void image_c::Resize(int _width, int _height, int filter)
{
    if (!IsValid() || _width <= 0 || _height <= 0 || (_width == width && _height == height))
        return;
    decltype(&image_c::PointScale) scaler;
    const char* signature;
    switch (filter) {
    case filter_point: scaler = &image_c::PointScale, signature = "void image_c::PointScale(...)"; break;
    case filter_bilinear: scaler = &image_c::BilinearScale, signature = "void image_c::BilinearScale(...)"; break;
    case filter_bicubic: scaler = &image_c::BicubicScale, signature = "void image_c::BicubicScale(...)"; break;
    default: throw std::invalid_argument("void image_c::Resize(int width, int height, int filter)");
    }
    // Refused before the buffer is replaced, so the image never holds unwritten pixels.
    if (!IsScalable(format))
        throw std::invalid_argument(signature);
    if (!IsImageSizeAllowed(_width, _height, format))
        throw std::invalid_argument("void image_c::Resize(int width, int height, int filter)");
    auto scaled = std::make_unique_for_overwrite<u8[]>(::GetSize(_width, _height, format));
    scaler(scaled.get(), _width, _height, 0, data.get(), width, height, padding, format);
    data = std::move(scaled);
    width = _width;
    height = _height;
    padding = 0;
}
