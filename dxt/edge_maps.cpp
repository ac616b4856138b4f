#include "dxt/edge_maps.h"

#include "dxt/rounding.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numbers>
#include <stdexcept>

byte_image_c::byte_image_c(i32 w, i32 h, i32 plane_count)
    : width(w), height(h), planes(plane_count, std::vector<u8>(static_cast<size_t>(w) * h, 0))
{}

namespace {

// Extreme factors can make a value that is not a number; it counts as black.
u8 ToByte(f64 v)
{
    return v == v ? static_cast<u8>(std::clamp(RoundHalfEven(v), 0.0, 255.0)) : 0;
}

// Bilinear sample of one plane; the position is held inside the image so
// that no neighbour lies before the first row or column.
f64 Bilinear(const std::vector<u8>& p, i32 w, i32 h, f64 x, f64 y)
{
    x = std::clamp(x, 0.0, static_cast<f64>(w - 1));
    y = std::clamp(y, 0.0, static_cast<f64>(h - 1));
    const i32 i = static_cast<i32>(std::floor(x)), j = static_cast<i32>(std::floor(y));
    const f64 fx = x - i, fy = y - j;
    const i32 i1 = std::min(i + 1, w - 1), j1 = std::min(j + 1, h - 1);
    auto at = [&](i32 a, i32 b) { return static_cast<f64>(p[static_cast<size_t>(b) * w + a]); };
    return at(i, j) * (1 - fx) * (1 - fy) + at(i1, j) * fx * (1 - fy) + at(i, j1) * (1 - fx) * fy +
           at(i1, j1) * fx * fy;
}

i32 Scaled(i32 side, f32 scale)
{
    return static_cast<i32>(RoundHalfEven(static_cast<f64>(side) * scale));
}

void SameShape(const byte_image_c& a, const byte_image_c& b)
{
    if (a.width != b.width || a.height != b.height || a.planes.size() != b.planes.size())
        throw std::invalid_argument("Images of different shapes");
}

} // namespace

scalar_plane_c Luminance(const byte_image_c& image, bool second_plane_only)
{
    scalar_plane_c out(image.width, image.height);
    for (size_t i = 0; i < out.data.size(); ++i) {
        if (image.planes.size() == 1)
            out.data[i] = image.planes[0][i];
        else if (second_plane_only)
            out.data[i] = image.planes[1][i];
        else
            out.data[i] = 0.299f * image.planes[0][i] + 0.587f * image.planes[1][i] + 0.114f * image.planes[2][i];
    }
    return out;
}

std::pair<f32, f32> MinMax(const scalar_plane_c& plane)
{
    f32 mn = FLT_MAX, mx = -FLT_MAX;
    for (f32 v : plane.data) {
        mn = std::min(mn, v);
        mx = std::max(mx, v);
    }
    return {mn, mx};
}

scalar_plane_c GradientX(const scalar_plane_c& plane, i32 r)
{
    return Convolve(Convolve(plane, SampleKernel(GaussDerivative, r, true)), SampleKernel(Gauss, r, false));
}

scalar_plane_c GradientY(const scalar_plane_c& plane, i32 r)
{
    return Convolve(Convolve(plane, SampleKernel(Gauss, r, true)), SampleKernel(GaussDerivative, r, false));
}

scalar_plane_c GradientMagnitude(const scalar_plane_c& gx, const scalar_plane_c& gy)
{
    const f32 t = (MinMax(gx).second + MinMax(gy).second) / 512.0f;
    scalar_plane_c out(gx.width, gx.height);
    for (size_t i = 0; i < out.data.size(); ++i) {
        const f32 s = gx.data[i] * gx.data[i] + gy.data[i] * gy.data[i];
        out.data[i] = s > t ? std::sqrt(s) : 0.0f;
    }
    return out;
}

scalar_plane_c SuppressNonMaxima(const scalar_plane_c& gx, const scalar_plane_c& gy, const scalar_plane_c& m)
{
    const f32 t8 = static_cast<f32>(std::tan(std::numbers::pi / 8.0));
    scalar_plane_c out(m.width, m.height);
    auto at = [&](i32 x, i32 y) { return (x < 0 || y < 0 || x >= m.width || y >= m.height) ? 0.0f : m.At(x, y); };
    for (i32 y = 0; y < m.height; ++y)
        for (i32 x = 0; x < m.width; ++x) {
            const f32 v = m.At(x, y);
            if (v == 0.0f)
                continue;
            const f32 ax = std::fabs(gx.At(x, y)), ay = std::fabs(gy.At(x, y));
            f32 a, b;
            if (ax * t8 > ay) {
                a = at(x - 1, y);
                b = at(x + 1, y);
            } else if (ay * t8 > ax) {
                a = at(x, y - 1);
                b = at(x, y + 1);
            } else if (gx.At(x, y) * gy.At(x, y) > 0.0f) {
                a = at(x + 1, y + 1);
                b = at(x - 1, y - 1);
            } else {
                a = at(x - 1, y + 1);
                b = at(x + 1, y - 1);
            }
            if (v >= a && v >= b)
                out.At(x, y) = v;
        }
    return out;
}

std::pair<scalar_plane_c, scalar_plane_c> EdgeConductance(const scalar_plane_c& plane, f32 k, i32 r, bool thin)
{
    const scalar_plane_c gx = GradientX(plane, r), gy = GradientY(plane, r), m = GradientMagnitude(gx, gy);
    scalar_plane_c cx(plane.width, plane.height), cy(plane.width, plane.height);
    const scalar_plane_c s = thin ? SuppressNonMaxima(gx, gy, m) : scalar_plane_c{};
    for (size_t i = 0; i < cx.data.size(); ++i) {
        if (thin) {
            if (s.data[i] == 0.0f)
                continue;
            cx.data[i] = std::fabs(gx.data[i]) * s.data[i] / m.data[i];
            cy.data[i] = std::fabs(gy.data[i]) * s.data[i] / m.data[i];
        } else {
            if (m.data[i] == 0.0f)
                continue;
            cx.data[i] = std::fabs(gx.data[i]);
            cy.data[i] = std::fabs(gy.data[i]);
        }
    }
    for (scalar_plane_c* c : {&cx, &cy}) {
        const f32 mx = MinMax(*c).second;
        // A plane without edges conducts everywhere alike.
        const f32 factor = mx > 0.0f ? k / mx : 0.0f;
        for (f32& v : c->data)
            v = factor * v + 1.0f;
    }
    return {std::move(cx), std::move(cy)};
}

vector_grid_c VectorGridFromPlanes(i32 width, i32 height, const f32* x, const f32* y)
{
    vector_grid_c g;
    g.width = width;
    g.height = height;
    g.values.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < g.values.size(); ++i)
        g.values[i] = {x[i], y[i]};
    return g;
}

vector_value_c SampleVectorGrid(const vector_grid_c& grid, f64 x, f64 y)
{
    x = std::clamp(x, 0.0, static_cast<f64>(grid.width - 1));
    y = std::clamp(y, 0.0, static_cast<f64>(grid.height - 1));
    const i32 i = static_cast<i32>(std::floor(x)), j = static_cast<i32>(std::floor(y));
    const f64 fx = x - i, fy = y - j;
    const i32 i1 = std::min(i + 1, grid.width - 1), j1 = std::min(j + 1, grid.height - 1);
    auto at = [&](i32 a, i32 b) { return grid.values[static_cast<size_t>(b) * grid.width + a]; };
    const vector_value_c a = at(i, j), b = at(i1, j), c = at(i, j1), d = at(i1, j1);
    const f64 wa = (1 - fx) * (1 - fy), wb = fx * (1 - fy), wc = (1 - fx) * fy, wd = fx * fy;
    return {a.x * wa + b.x * wb + c.x * wc + d.x * wd, a.y * wa + b.y * wb + c.y * wc + d.y * wd};
}

byte_image_c Warp(const byte_image_c& src, const vector_grid_c& field, f32 scale, bool relative)
{
    const i32 w = Scaled(src.width, scale), h = Scaled(src.height, scale);
    if (field.width != src.width || field.height != src.height)
        throw std::invalid_argument("Field of another size");
    byte_image_c out(w, h, static_cast<i32>(src.planes.size()));
    for (i32 y = 0; y < h; ++y)
        for (i32 x = 0; x < w; ++x) {
            const vector_value_c v = scale == 1.0f ? field.values[static_cast<size_t>(y) * field.width + x]
                                                   : SampleVectorGrid(field, x / scale, y / scale);
            f64 sx = v.x, sy = v.y;
            if (relative) {
                sx = std::min(x, src.width - 1) + 2.0 * v.x;
                sy = std::min(y, src.height - 1) + 2.0 * v.y;
            }
            const f64 rx = RoundHalfEven(sx), ry = RoundHalfEven(sy);
            if (!(rx >= 0.0 && ry >= 0.0 && rx < src.width && ry < src.height))
                continue;
            for (size_t p = 0; p < src.planes.size(); ++p)
                out.planes[p][static_cast<size_t>(y) * w + x] =
                    ToByte(Bilinear(src.planes[p], src.width, src.height, sx, sy));
        }
    return out;
}

byte_image_c Rescale(const byte_image_c& src, f32 scale)
{
    const i32 w = Scaled(src.width, scale), h = Scaled(src.height, scale);
    byte_image_c out(w, h, static_cast<i32>(src.planes.size()));
    for (i32 y = 0; y < h; ++y)
        for (i32 x = 0; x < w; ++x)
            for (size_t p = 0; p < src.planes.size(); ++p)
                out.planes[p][static_cast<size_t>(y) * w + x] =
                    ToByte(Bilinear(src.planes[p], src.width, src.height, x / scale, y / scale));
    return out;
}

byte_image_c Sharpen(const byte_image_c& a, const byte_image_c& blurred, f32 k)
{
    SameShape(a, blurred);
    byte_image_c out = a;
    for (size_t p = 0; p < a.planes.size(); ++p)
        for (size_t i = 0; i < a.planes[p].size(); ++i)
            out.planes[p][i] = ToByte(a.planes[p][i] * (1.0 + k) - blurred.planes[p][i] * static_cast<f64>(k));
    return out;
}

byte_image_c TransferDetail(const byte_image_c& base, const byte_image_c& low, const byte_image_c& high, f32 k)
{
    SameShape(base, low);
    SameShape(base, high);
    byte_image_c out = base;
    for (size_t p = 0; p < base.planes.size(); ++p)
        for (size_t i = 0; i < base.planes[p].size(); ++i)
            out.planes[p][i] = ToByte(base.planes[p][i] +
                                      static_cast<f64>(k) * (static_cast<f64>(high.planes[p][i]) - low.planes[p][i]));
    return out;
}
